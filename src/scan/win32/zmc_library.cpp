#include "scan/win32/zmc_library.h"

#include <memory>

#include "disks/debug_log.h"
#include "os/win32/files_win32.h"
#include "os/win32/wide.h"

namespace scan::win32 {

bool ZmcLibrary::Load(const std::string& folder) {
    Free();
    std::wstring path = os::win32::Wide(folder.empty() ? "zmc.dll" : folder + "\\zmc.dll");
    module_ = LoadLibraryW(path.c_str());
    if (module_) {
        calcFile_ = reinterpret_cast<CalcFileFn>(
            reinterpret_cast<void*>(GetProcAddress(module_, "CalcFile")));
        calcFileW_ = reinterpret_cast<CalcFileWFn>(
            reinterpret_cast<void*>(GetProcAddress(module_, "CalcFileW")));
    }
    if (!Loaded()) {
        disks::LogLine("-ERR LoadLibrary failed!");
        Free();
        return false;
    }
    disks::LogLine("+OK LoadLibrary success; CalcFileMD5=" +
                   std::to_string(reinterpret_cast<uintptr_t>(calcFile_)));
    return true;
}

void ZmcLibrary::Free() {
    if (module_) {
        FreeLibrary(module_);
        disks::LogLine("Free Library and etc");
    }
    module_ = nullptr;
    calcFile_ = nullptr;
    calcFileW_ = nullptr;
}

DigestFn ZmcLibrary::Digest() const {
    if (!Loaded()) return {};
    CalcFileFn ansi = calcFile_;
    CalcFileWFn wide = calcFileW_;
    auto files = std::shared_ptr<os::Files>(os::win32::MakeFiles());
    return [ansi, wide, files](const std::string& path, scan::Digest& out) -> bool {
        std::wstring w = os::win32::LongPath(path);
        if (wide) return (wide(w.c_str(), out.data()) & 0xFF) != 0;
        BOOL lost = FALSE;
        int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.c_str(), -1, nullptr, 0,
                                    nullptr, &lost);
        if (n > 0 && !lost) {
            std::string a(static_cast<size_t>(n), '\0');
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w.c_str(), -1, a.data(), n, nullptr,
                                &lost);
            if (!lost) return (ansi(a.c_str(), out.data()) & 0xFF) != 0;
        }
        return Md5OfFile(*files, path, out);
    };
}

}  // namespace scan::win32
