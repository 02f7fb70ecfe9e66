// The hash library zmc.dll: loaded before a duplicates scan, freed after it.
// Its wide-path export is used when present, so that any path can be hashed.
#pragma once
#include <windows.h>

#include <string>

#include "scan/scan.h"

namespace scan::win32 {

using CalcFileFn = BOOL(WINAPI*)(const char* path, unsigned char* digest);
using CalcFileWFn = BOOL(WINAPI*)(const wchar_t* path, unsigned char* digest);

class ZmcLibrary {
public:
    ZmcLibrary() = default;
    ~ZmcLibrary() { Free(); }
    ZmcLibrary(const ZmcLibrary&) = delete;
    ZmcLibrary& operator=(const ZmcLibrary&) = delete;

    // Loads folder\zmc.dll; false (and logged) when it cannot be loaded.
    bool Load(const std::string& folder);
    void Free();
    bool Loaded() const { return calcFile_ || calcFileW_; }

    // The digest for the scan job; null when the library is not loaded, so
    // that the scan computes the same digest itself. Paths that the ANSI code
    // page cannot hold are hashed by the program when only CalcFile exists.
    DigestFn Digest() const;

private:
    HMODULE module_ = nullptr;
    CalcFileFn calcFile_ = nullptr;
    CalcFileWFn calcFileW_ = nullptr;
};

}  // namespace scan::win32
