// zmc.dll: the MD5 digest of a file's content. CalcFile takes an ANSI path,
// CalcFileW a UTF-16 one; both return nonzero when the digest was written.
// Reading never changes the file's last access time.
#include <windows.h>

#include <vector>

#include "scan/md5.h"

namespace {

BOOL Digest(const wchar_t* path, unsigned char* digest) {
    if (!path || !digest) return FALSE;
    HANDLE h = CreateFileW(path, GENERIC_READ | FILE_WRITE_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    FILETIME access{};
    bool keep = h != INVALID_HANDLE_VALUE && GetFileTime(h, nullptr, &access, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        FILETIME noUpdate = {0xFFFFFFFF, 0xFFFFFFFF};
        SetFileTime(h, nullptr, &noUpdate, nullptr);
    } else {
        h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    }
    if (h == INVALID_HANDLE_VALUE) return FALSE;
    std::vector<char> buffer(1 << 18);
    scan::Md5 md5;
    BOOL ok = TRUE;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(h, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            ok = FALSE;
            break;
        }
        if (got == 0) break;
        md5.Update(buffer.data(), got);
    }
    // Where the request was not honoured, the last access time is put back.
    FILETIME now;
    if (keep && GetFileTime(h, nullptr, &now, nullptr) &&
        (now.dwLowDateTime != access.dwLowDateTime || now.dwHighDateTime != access.dwHighDateTime))
        SetFileTime(h, nullptr, &access, nullptr);
    CloseHandle(h);
    if (!ok) return FALSE;
    scan::Digest d = md5.Final();
    for (size_t i = 0; i < d.size(); ++i) digest[i] = d[i];
    return TRUE;
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI CalcFileW(const wchar_t* path, unsigned char* digest) {
    return Digest(path, digest);
}

extern "C" __declspec(dllexport) BOOL WINAPI CalcFile(const char* path, unsigned char* digest) {
    if (!path) return FALSE;
    int n = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (n <= 0) return FALSE;
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), n);
    return Digest(wide.data(), digest);
}
