// The scan's and the report loader's reports as window messages: posted to
// the scan wizard, sent (where the loader waits) or posted to the browser.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "scan/load_res.h"
#include "scan/scan_listener.h"

namespace scan::win32 {

class ScanWindowListener : public ScanListener {
public:
    explicit ScanWindowListener(HWND target) : target_(target) {}
    void Progress(int percent) override;
    void Status(uint32_t value, int code) override;
    void RootBegins() override;
    void RootEnds() override;
    void Finished(bool resultFlag, ScanOutcome outcome) override;

private:
    HWND target_;
};

class LoadWindowListener : public LoadListener {
public:
    explicit LoadWindowListener(HWND browser) : browser_(browser) {}
    void RowsAdded(int list) override;
    void SectionDone(int list) override;
    void Progress(int percent) override;
    void Done() override;

private:
    HWND browser_;
};

// The shell's type name and small-icon index of a path, by its name only.
void ShellDecorate(TFileItem& item);
// The system image list of small icons; shared, never to be destroyed.
HIMAGELIST SystemSmallImages();

}  // namespace scan::win32
