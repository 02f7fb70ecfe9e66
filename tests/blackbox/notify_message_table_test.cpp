// zmmsg.dll and ZM.exe carry the event message table: every event's text is
// its first insertion string followed by CR LF.
#include <doctest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "common/text.h"

namespace {

std::wstring InBuildFolder(const char* name) {
    std::string path = "Z:" + text::ReplaceAll(ZM_EXE_DIR, "/", "\\") + "\\" + name;
    return std::wstring(path.begin(), path.end());
}

struct Module {
    explicit Module(const char* name)
        : handle(LoadLibraryExW(InBuildFolder(name).c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~Module() {
        if (handle) FreeLibrary(handle);
    }
    std::wstring Message(DWORD id, const wchar_t* insert) const {
        wchar_t buf[256] = {};
        DWORD flags = FORMAT_MESSAGE_FROM_HMODULE |
                      (insert ? FORMAT_MESSAGE_ARGUMENT_ARRAY : FORMAT_MESSAGE_IGNORE_INSERTS);
        DWORD_PTR args[] = {reinterpret_cast<DWORD_PTR>(insert)};
        DWORD n = FormatMessageW(flags, handle, id, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                 buf, 256, insert ? reinterpret_cast<va_list*>(args) : nullptr);
        return std::wstring(buf, n);
    }
    std::vector<char> Table() const {
        HRSRC r = FindResourceW(handle, MAKEINTRESOURCEW(1), RT_MESSAGETABLE);
        if (!r) return {};
        const char* data = static_cast<const char*>(LockResource(LoadResource(handle, r)));
        return std::vector<char>(data, data + SizeofResource(handle, r));
    }
    HMODULE handle;
};

}  // namespace

TEST_CASE("the message file and the program carry the same event message table") {
    Module dll("zmmsg.dll"), exe("ZM.exe");
    REQUIRE(dll.handle);
    REQUIRE(exe.handle);
    for (const Module* m : {&dll, &exe})
        for (DWORD id : {0x40020001u, 0x80020003u, 0xC0020002u}) {
            CAPTURE(id);
            CHECK(m->Message(id, nullptr) == L"%1\r\n");
            CHECK(m->Message(id, L"Disk C: is low") == L"Disk C: is low\r\n");
        }
    CHECK(dll.Message(0x40020002u, nullptr).empty());
    CHECK_FALSE(dll.Table().empty());
    CHECK(dll.Table() == exe.Table());
}
