#include "scan/win32/scan_window_listener.h"

#include <shellapi.h>

#include "os/win32/wide.h"
#include "scan/scan_messages.h"

namespace scan::win32 {

void ScanWindowListener::Progress(int percent) {
    PostMessageW(target_, kMsgScanProgress, static_cast<WPARAM>(percent), percent);
}
void ScanWindowListener::Status(uint32_t value, int code) {
    PostMessageW(target_, kMsgScanStatus, value, code);
}
void ScanWindowListener::RootBegins() {
    PostMessageW(target_, kMsgScanRootBegins, 0, 0);
}
void ScanWindowListener::RootEnds() {
    PostMessageW(target_, kMsgScanRootEnds, 0, 0);
}
void ScanWindowListener::Finished(bool resultFlag, ScanOutcome) {
    PostMessageW(target_, kMsgScanFinished, 0, resultFlag ? 1 : 0);
}

void LoadWindowListener::RowsAdded(int) {
    SendMessageW(browser_, kMsgLoadRows, 0, 1);
}
void LoadWindowListener::SectionDone(int) {
    SendMessageW(browser_, kMsgLoadRows, 0, 0);
}
void LoadWindowListener::Progress(int percent) {
    PostMessageW(browser_, kMsgLoadProgress, static_cast<WPARAM>(percent), percent);
}
void LoadWindowListener::Done() {
    PostMessageW(browser_, kMsgLoadProgress, static_cast<WPARAM>(-2), -2);
}

void ShellDecorate(TFileItem& item) {
    SHFILEINFOW info = {};
    if (SHGetFileInfoW(
            os::win32::Wide(item.path).c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
            SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON)) {
        item.typeName = os::win32::Utf8(info.szTypeName);
        item.iconIndex = info.iIcon;
    }
}

HIMAGELIST SystemSmallImages() {
    SHFILEINFOW info = {};
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

}  // namespace scan::win32
