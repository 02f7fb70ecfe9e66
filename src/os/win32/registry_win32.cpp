#include <windows.h>

#include <vector>

#include "os/win32/system.h"
#include "os/win32/wide.h"

namespace os::win32 {

namespace {

HKEY RootHandle(RegRoot root) {
    return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// An open key, closed when it goes out of scope.
class Key {
  public:
    Key(RegRoot root, const std::string& path, REGSAM access, bool create) {
        std::wstring p = Wide(path);
        LONG rc = create ? RegCreateKeyExW(RootHandle(root), p.c_str(), 0, nullptr, 0, access,
                                           nullptr, &h_, nullptr)
                         : RegOpenKeyExW(RootHandle(root), p.c_str(), 0, access, &h_);
        if (rc != ERROR_SUCCESS) h_ = nullptr;
    }
    ~Key() {
        if (h_) RegCloseKey(h_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    explicit operator bool() const { return h_ != nullptr; }
    HKEY get() const { return h_; }

  private:
    HKEY h_ = nullptr;
};

// Type and size of a value; false when it is missing.
bool Query(const Key& k, const std::wstring& name, DWORD& type, DWORD& size) {
    return k &&
           RegQueryValueExW(k.get(), name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
}

class Win32Registry : public Registry {
  public:
    bool KeyExists(RegRoot root, const std::string& path) override {
        return static_cast<bool>(Key(root, path, KEY_READ, false));
    }

    RegType TypeOf(RegRoot root, const std::string& path, const std::string& name) override {
        Key k(root, path, KEY_READ, false);
        DWORD type, size;
        if (!Query(k, Wide(name), type, size)) return RegType::Missing;
        switch (type) {
            case REG_DWORD:
                return RegType::Dword;
            case REG_SZ:
            case REG_EXPAND_SZ:
                return RegType::String;
            case REG_BINARY:
                return RegType::Binary;
            default:
                return RegType::Other;
        }
    }

    std::optional<uint32_t> ReadDword(RegRoot root, const std::string& path,
                                      const std::string& name) override {
        Key k(root, path, KEY_READ, false);
        DWORD type, size = sizeof(DWORD), value = 0;
        if (!k ||
            RegQueryValueExW(k.get(), Wide(name).c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
            type != REG_DWORD)
            return std::nullopt;
        return value;
    }

    std::optional<std::string> ReadString(RegRoot root, const std::string& path,
                                          const std::string& name) override {
        Key k(root, path, KEY_READ, false);
        std::wstring n = Wide(name);
        DWORD type, size;
        if (!Query(k, n, type, size) || (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::nullopt;
        // The size is asked first; one more character leaves room for a
        // terminator the stored value may lack.
        std::vector<wchar_t> buf(size / sizeof(wchar_t) + 2, L'\0');
        DWORD bytes = static_cast<DWORD>((buf.size() - 1) * sizeof(wchar_t));
        if (RegQueryValueExW(k.get(), n.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(buf.data()), &bytes) != ERROR_SUCCESS)
            return std::nullopt;
        return Utf8(std::wstring(buf.data()));
    }

    std::optional<std::vector<uint8_t>> ReadBinary(RegRoot root, const std::string& path,
                                                   const std::string& name) override {
        Key k(root, path, KEY_READ, false);
        std::wstring n = Wide(name);
        DWORD type, size;
        if (!Query(k, n, type, size) || type != REG_BINARY) return std::nullopt;
        std::vector<uint8_t> buf(size);
        if (RegQueryValueExW(k.get(), n.c_str(), nullptr, &type, buf.data(), &size) !=
            ERROR_SUCCESS)
            return std::nullopt;
        buf.resize(size);
        return buf;
    }

    bool WriteDword(RegRoot root, const std::string& path, const std::string& name,
                    uint32_t value) override {
        DWORD v = value;
        return Set(root, path, name, REG_DWORD, &v, sizeof v);
    }

    bool WriteString(RegRoot root, const std::string& path, const std::string& name,
                     const std::string& value) override {
        std::wstring w = Wide(value);
        return Set(root, path, name, REG_SZ, w.c_str(), (w.size() + 1) * sizeof(wchar_t));
    }

    bool WriteBinary(RegRoot root, const std::string& path, const std::string& name,
                     const std::vector<uint8_t>& value) override {
        return Set(root, path, name, REG_BINARY, value.data(), value.size());
    }

    std::optional<std::string> SubKeyAt(RegRoot root, const std::string& path,
                                        uint32_t index) override {
        Key k(root, path, KEY_READ, false);
        if (!k) return std::nullopt;
        wchar_t name[256];
        DWORD len = 256;
        if (RegEnumKeyExW(k.get(), index, name, &len, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            return std::nullopt;
        return Utf8(std::wstring(name, len));
    }

    bool DeleteLeafKey(RegRoot root, const std::string& path) override {
        return RegDeleteKeyW(RootHandle(root), Wide(path).c_str()) == ERROR_SUCCESS;
    }

  private:
    bool Set(RegRoot root, const std::string& path, const std::string& name, DWORD type,
             const void* data, size_t size) {
        Key k(root, path, KEY_WRITE, true);
        return k &&
               RegSetValueExW(k.get(), Wide(name).c_str(), 0, type, static_cast<const BYTE*>(data),
                              static_cast<DWORD>(size)) == ERROR_SUCCESS;
    }
};

}  // namespace

std::unique_ptr<Registry> MakeRegistry() {
    return std::make_unique<Win32Registry>();
}

}  // namespace os::win32
