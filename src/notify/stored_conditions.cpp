#include "notify/stored_conditions.h"

#include <limits>
#include <optional>
#include <string_view>

#include "common/text.h"

namespace notify {

namespace {

constexpr char kSeparator = '|';
constexpr const char* kBrokenBar = "\xC2\xA6";  // U+00A6, stands in for "|"

// Consumes the stored text field by field from the front.
class FieldReader {
  public:
    explicit FieldReader(std::string_view text) : rest_(text) {}

    // Fails only when nothing is left.
    bool Take(std::string_view& field) {
        if (rest_.empty()) return false;
        size_t bar = rest_.find(kSeparator);
        if (bar == std::string_view::npos) {
            field = rest_;
            rest_ = {};
        } else {
            field = rest_.substr(0, bar);
            rest_.remove_prefix(bar + 1);
        }
        return true;
    }

    std::optional<std::string_view> Peek() const {
        if (rest_.empty()) return std::nullopt;
        return rest_.substr(0, rest_.find(kSeparator));
    }

    bool OnlyBlanksLeft() const {
        for (char c : rest_)
            if (static_cast<unsigned char>(c) > ' ') return false;
        return true;
    }

  private:
    std::string_view rest_;
};

std::optional<int32_t> ReadInt32(std::string_view field) {
    int64_t v;
    if (!text::ParseInt64(field, v)) return std::nullopt;
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(v);
}

// A field that an eight-field list would start its next condition with.
bool ReadsAsWayCode(std::string_view field) {
    std::optional<int32_t> v = ReadInt32(field);
    return v && *v >= 0 && *v <= 5;
}

std::string WithoutSeparator(const std::string& s) {
    return text::ReplaceAll(s, std::string_view(&kSeparator, 1), kBrokenBar);
}

}  // namespace

void LoadConditions(ConditionList& list, const std::string& stored) {
    FieldReader reader(stored);
    while (!reader.OnlyBlanksLeft()) {
        std::string_view f[8];
        bool complete = true;
        for (std::string_view& field : f)
            if (!reader.Take(field)) {
                complete = false;
                break;
            }
        if (!complete) break;

        auto c = std::make_shared<TCondition>();
        c->NtfWay = static_cast<int16_t>(ReadInt32(f[0]).value_or(kWayMessageBox));
        if (c->NtfWay == kWayRetired) c->NtfWay = kWayMessageBox;
        c->NtfParam = std::string(f[1]);
        c->CndParam = static_cast<int16_t>(ReadInt32(f[2]).value_or(-1));
        c->Comparison = static_cast<int16_t>(ReadInt32(f[3]).value_or(-1));
        c->Disk = std::string(f[4]);
        int64_t value;
        c->Value = text::ParseInt64(f[5], value) ? value : -1;
        c->Armed = f[6] == "1";
        c->Measuring = static_cast<uint8_t>(ReadInt32(f[7]).value_or(0));

        // The ninth field, unless it is the first field of the next condition
        // of an older eight-field list.
        std::optional<std::string_view> next = reader.Peek();
        if (next && !ReadsAsWayCode(*next)) {
            std::string_view comments;
            reader.Take(comments);
            c->Comments = std::string(comments);
        }
        if (c->CndParam < 0 || c->Comparison < 0) continue;
        list.push_back(std::move(c));
    }
    for (const auto& c : list) c->Armed = true;
}

TCondition StorableCondition(const TCondition& c) {
    TCondition s = c;
    s.NtfParam = WithoutSeparator(c.NtfParam);
    s.Disk = WithoutSeparator(c.Disk);
    s.Comments = WithoutSeparator(c.Comments);
    if (ReadsAsWayCode(s.Comments)) s.Comments += ' ';
    return s;
}

std::string SaveConditions(const ConditionList& list) {
    std::string out;
    for (const auto& item : list) {
        TCondition c = StorableCondition(*item);
        for (const std::string& field :
             {std::to_string(c.NtfWay), c.NtfParam, std::to_string(c.CndParam),
              std::to_string(c.Comparison), c.Disk, std::to_string(c.Value),
              std::string(c.Armed ? "1" : "0"), std::to_string(c.Measuring), c.Comments}) {
            out += field;
            out += kSeparator;
        }
    }
    return out;
}

}  // namespace notify
