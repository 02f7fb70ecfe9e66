#include "app/settings.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "disks/debug_log.h"
#include "intl/messages.h"

namespace app {

using os::RegRoot;
using os::RegType;

namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;

// The values in the order they are read. The same walk writes them back, so
// the two can never disagree about names or types.
template <class V>
void VisitStoredValues(V& v, Options& o) {
    v.Flag("CloseZM", o.CloseZM);
    v.Flag("SearchForTempFiles", o.SearchForTempFiles);
    v.Flag("ShowFixedDrives", o.ShowFixedDrives);
    v.Flag("ShowNetworkDrives", o.ShowNetworkDrives);
    v.Flag("ShowRamdisk", o.ShowRamdisk);
    v.Flag("ShowOccuped", o.ShowOccuped);
    v.Flag("ShowFree", o.ShowFree);
    v.Flag("ShowLabels", o.ShowLabels);
    v.Flag("ShowTotal", o.ShowTotal);
    v.Flag("ShowAvail", o.ShowAvail);
    v.Flag("ShowPercents", o.ShowPercents);
    v.Flag("ShowUsedPercents", o.ShowUsedPercents);
    v.Flag("ClickThrough", o.ClickThrough);
    v.Flag("DrawArrow", o.DrawArrow);
    v.Number("UpArrowColor", o.UpArrowColor);
    v.Number("DownArrowColor", o.DownArrowColor);
    v.Number("ShowIn", o.ShowIn);
    v.Flag("UseColors", o.UseColors);
    v.Number("BarTextColor", o.BarTextColor);
    v.Number("BarColor", o.BarColor);
    v.Number("BarColor1", o.BarColor1);
    v.Number("BarColor2", o.BarColor2);
    v.Number("BarLimit1", o.BarLimit1);
    v.Number("BarLimit2", o.BarLimit2);
    v.Number("BarUnits1", o.BarUnits1);
    v.Number("BarUnits2", o.BarUnits2);
    v.Text("ToolsString", o.ToolsString);
    v.Number("UpdateInterval", o.UpdateInterval);
    v.Number("ResQuanity", o.ResQuanity);
    v.Text("TempFilesExts", o.TempFilesExts);
    v.Text("CurrentLanguage", o.CurrentLanguage);
    v.Text("DisabledDisks", o.DisabledDisks);
    v.Text("EnabledDisks", o.EnabledDisks);
    v.Text("TrayDisks", o.TrayDisks);
    v.ViewMode(o.ViewMode);
    v.Number("StickerColor", o.StickerColor);
    v.Number("StickerFontColor", o.StickerFontColor);
    v.Number("StickerFontSize", o.StickerFontSize);
    v.Flag("StickerShowCols", o.StickerShowCols);
    v.Flag("StickerShowPercents", o.StickerShowPercents);
    v.Flag("StayOnTop", o.StayOnTop);
    v.Flag("StoreCurrentResult", o.StoreCurrentResult);
    v.Number("Top", o.Top);
    v.Number("Left", o.Left);
    v.Number("TipOfDayMode", o.TipOfDayMode);
    v.Double("TipOfDayDate", o.TipOfDayDate);
    v.Flag("LoadAtStartup", o.LoadAtStartup);
    v.Flag("DisplaySplash", o.DisplaySplash);
    v.Flag("ExcludeSystemFiles", o.ExcludeSystemFiles);
    v.Text("StayOnTopShortCut", o.StayOnTopShortCut);
    v.Text("HideToTrayShortCut", o.HideToTrayShortCut);
    v.Text("SMTPSrv", o.SMTPSrv);
    v.Text("SMTPLogin", o.SMTPLogin);
    v.Flag("SMTPAuth", o.SMTPAuth);
    v.Text("SMTPPassword", o.SMTPPassword);
    v.Flag("Visible", o.Visible);
    v.PieFont(o.PieLabelFont);
    v.Text("NtfConditions", o.NtfConditions);
    for (int i = 0; i < kColumnCount; ++i) v.Number("Column_" + std::to_string(i), o.Column[i]);
}

class Loader {
  public:
    Loader(os::Registry& reg, const std::string& path) : reg_(reg), path_(path) {}
    const std::string& StoppedAt() const { return stoppedAt_; }

    void Flag(const std::string& name, bool& f) {
        uint32_t v;
        if (Dword(name, v)) f = v != 0;
    }
    // Narrow fields keep the low bits of the stored number.
    template <class T>
    void Number(const std::string& name, T& f) {
        uint32_t v;
        if (Dword(name, v)) f = static_cast<T>(v);
    }
    void Text(const std::string& name, std::string& f) {
        if (!Present(name, RegType::String)) return;
        if (auto s = reg_.ReadString(kUser, path_, name)) f = *s;
    }
    void Double(const std::string& name, double& f) {
        if (!Present(name, RegType::Binary)) return;
        auto bytes = reg_.ReadBinary(kUser, path_, name);
        if (!bytes || bytes->size() != sizeof(double)) return Stop(name);
        std::memcpy(&f, bytes->data(), sizeof(double));
    }
    void ViewMode(int32_t& f) {
        if (stopped()) return;
        if (reg_.TypeOf(kUser, path_, "ViewMode") != RegType::Missing) return Number("ViewMode", f);
        bool sticker = false;
        if (reg_.TypeOf(kUser, path_, "StickerView") == RegType::Missing) return;
        Flag("StickerView", sticker);
        if (!stopped()) f = sticker ? 1 : 0;
    }
    void PieFont(FontSpec& font) {
        if (stopped() || reg_.TypeOf(kUser, path_, "PieLabelFont.FontName") == RegType::Missing)
            return;
        Text("PieLabelFont.FontName", font.FontName);
        Required("PieLabelFont.Color", font.Color);
        Required("PieLabelFont.CharSet", font.CharSet);
        Required("PieLabelFont.Size", font.Size);
        Required("PieLabelFont.Style", font.Style);
    }

  private:
    bool stopped() const { return !stoppedAt_.empty(); }
    void Stop(const std::string& name) {
        if (!stopped()) stoppedAt_ = name;
    }
    // True when the value exists with the expected type; a value of another
    // type stops the load.
    bool Present(const std::string& name, RegType type) {
        if (stopped()) return false;
        RegType t = reg_.TypeOf(kUser, path_, name);
        if (t == RegType::Missing) return false;
        if (t != type) {
            Stop(name);
            return false;
        }
        return true;
    }
    bool Dword(const std::string& name, uint32_t& v) {
        if (!Present(name, RegType::Dword)) return false;
        auto d = reg_.ReadDword(kUser, path_, name);
        if (!d) {
            Stop(name);
            return false;
        }
        v = *d;
        return true;
    }
    template <class T>
    void Required(const std::string& name, T& f) {
        if (stopped()) return;
        if (reg_.TypeOf(kUser, path_, name) == RegType::Missing) return Stop(name);
        Number(name, f);
    }

    os::Registry& reg_;
    const std::string& path_;
    std::string stoppedAt_;
};

// One value as it goes to the registry.
struct StoredValue {
    std::string name;
    RegType type;
    uint32_t dword = 0;
    std::string text;
    std::vector<uint8_t> bytes;
    bool operator==(const StoredValue&) const = default;

    static StoredValue Dword(const std::string& n, uint32_t v) {
        return {n, RegType::Dword, v, {}, {}};
    }
    static StoredValue String(const std::string& n, const std::string& v) {
        return {n, RegType::String, 0, v, {}};
    }
    static StoredValue Binary(const std::string& n, const std::vector<uint8_t>& v) {
        return {n, RegType::Binary, 0, {}, v};
    }
};

// Lists the values of a set of options in the order they are stored.
class Recorder {
  public:
    std::vector<StoredValue> values;

    void Flag(const std::string& name, bool f) {
        values.push_back(StoredValue::Dword(name, f ? 1u : 0u));
    }
    template <class T>
    void Number(const std::string& name, T f) {
        values.push_back(StoredValue::Dword(name, static_cast<uint32_t>(static_cast<int32_t>(f))));
    }
    void Text(const std::string& name, const std::string& f) {
        values.push_back(StoredValue::String(name, f));
    }
    void Double(const std::string& name, double f) {
        std::vector<uint8_t> bytes(sizeof f);
        std::memcpy(bytes.data(), &f, sizeof f);
        values.push_back(StoredValue::Binary(name, bytes));
    }
    void ViewMode(int32_t f) { Number("ViewMode", f); }
    void PieFont(const FontSpec& font) {
        Text("PieLabelFont.FontName", font.FontName);
        Number("PieLabelFont.Color", font.Color);
        Number("PieLabelFont.CharSet", font.CharSet);
        Number("PieLabelFont.Size", font.Size);
        Number("PieLabelFont.Style", font.Style);
    }
};

std::vector<StoredValue> Record(const Options& o) {
    Recorder r;
    VisitStoredValues(r, const_cast<Options&>(o));
    return r.values;
}

bool Write(os::Registry& reg, const std::string& path, const StoredValue& v) {
    switch (v.type) {
        case RegType::Dword:
            return reg.WriteDword(kUser, path, v.name, v.dword);
        case RegType::String:
            return reg.WriteString(kUser, path, v.name, v.text);
        default:
            return reg.WriteBinary(kUser, path, v.name, v.bytes);
    }
}

}  // namespace

std::string StickerFontNameFor(int size) {
    return size >= 8 ? "TAHOMA" : "SMALL FONTS";
}

void SetDefaultOptions(Options& o, int screenWidth) {
    o = Options();
    o.Left = screenWidth - 370;
    o.Top = 0;
}

std::string GetToolsList(const ToolsEnvironment& env) {
    disks::LogScope scope("GetToolsList");
    struct Tool {
        const char* file;
        int caption;
        const char* icon;  // file in the same folder, or " " for the tool's own icon
        bool passDrives;
    };
    std::string list;
    auto test = [&](const std::string& folder, const Tool& t) {
        std::string path = folder + t.file;
        disks::LogLine(path);
        if (!env.fileExists || !env.fileExists(path)) return;
        std::string icon = std::strcmp(t.icon, " ") == 0 ? " " : folder + t.icon;
        list = intl::Msg(t.caption) + "|" + path + "|" + icon + "|" +
               (t.passDrives ? "TRUE" : "FALSE") + "||" + list;
    };
    if (env.platformNT && env.majorVersion == 5 && !env.systemFolder.empty()) {
        const Tool tools[] = {{"dfrg.msc", 61, "dfrgres.dll", true},
                              {"Cleanmgr.exe", 96, " ", true},
                              {"diskmgmt.msc", 94, "dmdskres.dll", false}};
        for (const Tool& t : tools) test(env.systemFolder, t);
    } else if (!env.platformNT && !env.windowsFolder.empty()) {
        const Tool tools[] = {{"Scandskw.exe", 97, " ", true},
                              {"Defrag.exe", 61, " ", true},
                              {"Cleanmgr.exe", 96, " ", true}};
        for (const Tool& t : tools) test(env.windowsFolder, t);
    }
    return list;
}

LoadReport LoadOptions(os::Registry& reg, const std::string& keyPath, Options& o, int screenWidth,
                       const ToolsEnvironment& tools) {
    disks::LogScope scope("LoadOptions");
    SetDefaultOptions(o, screenWidth);
    LoadReport report;
    report.keyFound = reg.KeyExists(kUser, keyPath);
    if (report.keyFound) {
        Loader loader(reg, keyPath);
        VisitStoredValues(loader, o);
        report.stoppedAt = loader.StoppedAt();
        if (!report.stoppedAt.empty()) report.unread = UnreadValues{report.stoppedAt, o};
    }
    if (o.ToolsString.empty()) o.ToolsString = GetToolsList(tools);
    o.StickerFontName = StickerFontNameFor(o.StickerFontSize);
    return report;
}

bool SaveOptions(os::Registry& reg, const std::string& keyPath, const Options& o,
                 const std::string& foldersList, const UnreadValues* unread) {
    std::vector<StoredValue> values = Record(o);
    values.push_back(StoredValue::Dword("Transparency", static_cast<uint32_t>(o.Transparency)));
    values.push_back(StoredValue::String("FoldersList", foldersList));
    std::vector<StoredValue> atLoad;
    std::string stoppedAt;
    if (unread && !unread->stoppedAt.empty()) {
        atLoad = Record(unread->atLoad);
        stoppedAt = unread->stoppedAt == "StickerView" ? "ViewMode" : unread->stoppedAt;
    }
    // The first write creates the key; when even that fails nothing is written.
    if (!Write(reg, keyPath, values.front())) return false;
    bool past = values.front().name == stoppedAt;
    for (size_t i = 1; i < values.size(); ++i) {
        const StoredValue& v = values[i];
        // Values the load never reached still hold what the user stored; a
        // default that nobody changed must not overwrite them.
        if (past && i < atLoad.size() && atLoad[i] == v) continue;
        Write(reg, keyPath, v);
        if (v.name == stoppedAt) past = true;
    }
    return true;
}

bool ResetOptions(os::Registry& reg, const std::string& keyPath) {
    return DeleteRegKey(reg, kUser, keyPath, true);
}

std::string ReadRegString(os::Registry& reg, RegRoot root, const std::string& path,
                          const std::string& name) {
    return reg.ReadString(root, path, name).value_or("");
}

int32_t ReadRegInteger(os::Registry& reg, RegRoot root, const std::string& path,
                       const std::string& name) {
    auto v = reg.ReadDword(root, path, name);
    return v ? static_cast<int32_t>(*v) : -1;
}

bool WriteRegString(os::Registry& reg, RegRoot root, const std::string& path,
                    const std::string& name, const std::string& value) {
    return reg.WriteString(root, path, name, value);
}

bool WriteRegInteger(os::Registry& reg, RegRoot root, const std::string& path,
                     const std::string& name, int32_t value) {
    return reg.WriteDword(root, path, name, static_cast<uint32_t>(value));
}

bool DeleteRegKey(os::Registry& reg, RegRoot root, const std::string& path, bool subkeysToo) {
    if (!reg.KeyExists(root, path)) return false;
    uint32_t index = 0;
    while (auto sub = reg.SubKeyAt(root, path, index)) {
        if (!subkeysToo) return false;
        // A subkey that cannot be deleted stays; the walk moves past it.
        if (!DeleteRegKey(reg, root, path + "\\" + *sub, true)) ++index;
    }
    return reg.DeleteLeafKey(root, path);
}

std::string NibbleEncode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char ch : bytes) {
        unsigned char c = static_cast<unsigned char>(ch);
        out += static_cast<char>('A' + (c & 0x0F));
        out += static_cast<char>('A' + (c >> 4));
    }
    return out;
}

std::string NibbleDecode(std::string_view s) {
    std::string out;
    size_t i = 0;
    while (i + 1 < s.size()) {
        unsigned char first = static_cast<unsigned char>(s[i]);
        if (first <= 64) {
            ++i;
            continue;
        }
        unsigned char second = static_cast<unsigned char>(s[i + 1]);
        out += static_cast<char>((first - 65) + 16 * (second - 65));
        i += 2;
    }
    return out;
}

std::string EncodePassword(std::string_view password) {
    std::string reversed(password.rbegin(), password.rend());
    return NibbleEncode(reversed);
}

std::string DecodePassword(std::string_view stored) {
    std::string plain = NibbleDecode(stored);
    std::reverse(plain.begin(), plain.end());
    return plain;
}

}  // namespace app
