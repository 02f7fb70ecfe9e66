// Report files: what the writer produces and what the loader reads back.
#include <doctest.h>

#include <atomic>

#include "fakes/fake_files.h"
#include "scan/load_res.h"
#include "scan/report.h"

using scan::LoadedReport;
using scan::TFound;

namespace {

TFound Found(std::string path, int64_t size, int64_t at = 0, uint32_t crc = 0, uint8_t digest = 0) {
    TFound f;
    f.path = std::move(path);
    f.size = size;
    f.lastAccess = at;
    f.lastWrite = at + 1;
    f.creation = at + 2;
    f.checksum = crc;
    if (digest) f.digest = scan::Digest{digest};
    return f;
}

os::LocaleFormats Locale() {
    os::LocaleFormats l;
    l.shortDate = "dd.MM.yyyy";
    l.longTime = "HH:mm:ss";
    return l;
}

const os::LocalTime kNow = [] {
    os::LocalTime t;
    t.year = 2024, t.month = 5, t.day = 6, t.hour = 7, t.minute = 8, t.second = 9;
    return t;
}();

std::string Text(int kind, const std::vector<TFound>& a, const std::vector<TFound>& b = {},
                 const std::vector<TFound>& c = {}, bool stop = false) {
    scan::ReportInput in;
    in.kind = kind;
    in.lists[0] = &a;
    in.lists[1] = &b;
    in.lists[2] = &c;
    in.fileCounter = 10, in.candidateCount = 4, in.duplicateCount = 3;
    std::atomic<bool> flag{stop};
    return scan::ReportText(in, kNow, Locale(), flag);
}

struct Recorder : scan::LoadListener {
    std::vector<std::string> calls;
    void RowsAdded(int list) override { calls.push_back("rows" + std::to_string(list)); }
    void SectionDone(int list) override { calls.push_back("done" + std::to_string(list)); }
    void Progress(int) override {}
    void Done() override { calls.push_back("end"); }
};

LoadedReport Load(int kind, std::string_view bytes, Recorder* rec = nullptr,
                  std::function<bool(const std::string&)> exists = {}) {
    LoadedReport out;
    scan::ParseHooks hooks;
    hooks.listener = rec;
    hooks.exists = std::move(exists);
    std::atomic<bool> stop{false};
    scan::ParseReport(kind, bytes, out, hooks, stop);
    return out;
}

const int64_t k2020 = 132223104000000000LL;  // 2020-01-01 00:00 UTC as a FILETIME

}  // namespace

TEST_CASE("the writer's layout for each kind") {
    const std::string header = "Zelmora report v1.0. Creation time: 06.05.2024 07:08:09";
    std::string big =
        "C:\\big\t1\t1\t" + std::to_string(uint32_t(k2020)) + "\t" +
        std::to_string(uint32_t(k2020 >> 32)) + "\t" + std::to_string(uint32_t(k2020 + 1)) + "\t" +
        std::to_string(uint32_t((k2020 + 1) >> 32)) + "\t" + std::to_string(uint32_t(k2020 + 2)) +
        "\t" + std::to_string(uint32_t((k2020 + 2) >> 32));
    CHECK(Text(0, {Found("C:\\big", (int64_t(1) << 32) + 1, k2020)}, {}, {}) ==
          header + "\r\nBiggest files:\r\n" + big +
              "\r\nOldest files:\r\nTemporary files:\r\n\r\n");

    TFound changed = Found("C:\\c", 5);
    changed.change = -7;
    CHECK(Text(1, {changed}, {Found("C:\\n", 2)}, {Found("C:\\d", 3)}) ==
          header + "\r\nChanged files:\r\nC:\\c\t5\t0\t0\t0\t1\t0\t2\t0\t-7\r\nNew files:\r\n" +
              "C:\\n\t2\t0\t0\t0\t1\t0\t2\t0\r\nDeleted "
              "files:\r\nC:\\d\t3\t0\t0\t0\t1\t0\t2\t0\r\n\r\n");

    CHECK(Text(2, {Found("a", 1, 0, 9, 1), Found("b", 1, 0, 9, 1), Found("c", 1, 0, 9, 2)}) ==
          header + " Total files: 10; MD5: 4; Doubles: 3\r\nFile duplicates:\r\n" +
              "a\t1\t0\t0\t0\t1\t0\t2\t0\t1\r\nb\t1\t0\t0\t0\t1\t0\t2\t0\t1\r\n\r\n" +
              "c\t1\t0\t0\t0\t1\t0\t2\t0\t2\r\n\r\n");

    // Stopped: each section ends after its first row, the rest of the layout stays.
    CHECK(Text(0, {Found("a", 1), Found("b", 1)}, {Found("c", 1), Found("d", 1)}, {}, true) ==
          header + "\r\nBiggest files:\r\na\t1\t0\t0\t0\t1\t0\t2\t0\r\nOldest files:\r\n" +
              "c\t1\t0\t0\t0\t1\t0\t2\t0\r\nTemporary files:\r\n\r\n");
}

TEST_CASE("round trips of every kind") {
    std::vector<TFound> a = {Found("/x/one", (int64_t(3) << 32) + 5, k2020), Found("/x/two", 0)};
    TFound ch = Found("/x/changed", 10, k2020);
    ch.change = -(int64_t(1) << 40);

    SUBCASE("free space: three sections, sizes and dates") {
        auto r = Load(0, Text(0, a, {a[1]}, {a[0], a[1]}));
        REQUIRE(r.lists[0].size() == 2);
        CHECK(r.lists[0][0].path == "/x/one");
        CHECK(r.lists[0][0].size == (int64_t(3) << 32) + 5);
        CHECK(r.lists[0][0].lastAccess == doctest::Approx(43831.0));  // 2020-01-01
        CHECK(r.lists[0][1].lastAccess == 0);                         // a FILETIME of 0 is no date
        CHECK(r.lists[1].size() == 1);
        CHECK(r.lists[2].size() == 2);
        CHECK(r.totals[2] == (int64_t(3) << 32) + 5);
    }
    SUBCASE("changes: the change column, and deleted files although they do not exist") {
        auto r = Load(1, Text(1, {ch}, {a[0]}, {a[1]}), nullptr,
                      [](const std::string&) { return false; });
        REQUIRE(r.lists[0].size() == 1);
        CHECK(r.lists[0][0].change == -(int64_t(1) << 40));
        CHECK(r.lists[1].size() == 1);
        CHECK(r.lists[2].size() == 1);
        CHECK(r.lists[1][0].change == 0);
    }
    SUBCASE("duplicates: group numbers, alternating shades, last write") {
        std::vector<TFound> g = {Found("a", 1, k2020, 1, 1), Found("b", 1, 0, 1, 1),
                                 Found("c", 2, 0, 2, 2),     Found("d", 2, 0, 2, 2),
                                 Found("e", 3, 0, 3, 3),     Found("f", 3, 0, 3, 3)};
        auto r = Load(2, Text(2, g));
        REQUIRE(r.lists[0].size() == 6);
        std::vector<int> numbers;
        std::vector<bool> shades;
        for (auto& item : r.lists[0])
            numbers.push_back(item.groupNumber), shades.push_back(item.groupShade);
        CHECK(numbers == std::vector<int>{1, 1, 2, 2, 3, 3});
        CHECK(shades == std::vector<bool>{true, true, false, false, true, true});
        CHECK(r.lists[0][0].lastWrite > 43830.99);
    }
    SUBCASE("rows whose files are gone are left out, except in the changes report") {
        auto exists = [](const std::string& p) { return p != "/x/two"; };
        auto r = Load(0, Text(0, a, a, a), nullptr, exists);
        CHECK(r.lists[0].size() == 1);
        CHECK(r.lists[2].size() == 1);
        auto none = Load(0, Text(0, a, a, a), nullptr, [](const std::string&) { return false; });
        CHECK(none.lists[0].empty());
        CHECK(none.lists[1].empty());
        CHECK(none.lists[2].empty());
    }
}

TEST_CASE("the loader's line rules, header check and malformed rows") {
    const std::string head =
        "junk Zelmora report v1.0. Creation time: whenever\r\nBiggest files:\r\n";
    struct Case {
        const char* name;
        std::string bytes;
        size_t rows0, rows1, rows2;
    };
    const Case cases[] = {
        {"no header", "Zelmora report v1.1\r\nBiggest files:\r\na\t1\t0\t0\t0\t\r\n\r\n", 0, 0, 0},
        {"four TABs are not a row", head + "a\t1\t0\t0\t0\r\nb\t1\t0\t0\t0\t\r\n\r\n", 1, 0, 0},
        {"unreadable numbers count as 0", head + "a\tx\ty\tz\tw\t\r\n\r\n", 1, 0, 0},
        {"LF line ends",
         "Zelmora report v1.0. Creation time: \nBiggest files:\na\t1\t0\t0\t0\t\n"
         "Oldest files:\nb\t1\t0\t0\t0\t\nTemporary files:\nc\t1\t0\t0\t0\t\n\n",
         1, 1, 1},
        {"a last line without its end is not read", head + "a\t1\t0\t0\t0\t\r\nb\t1\t0\t0\t0\t", 1,
         0, 0},
        {"section titles are case-sensitive", head + "oldest files:\r\nb\t1\t0\t0\t0\t\r\n\r\n", 1,
         0, 0},
        {"empty", "", 0, 0, 0},
        {"header only", "Zelmora report v1.0. Creation time: ", 0, 0, 0},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        auto r = Load(0, c.bytes);
        CHECK(r.lists[0].size() == c.rows0);
        CHECK(r.lists[1].size() == c.rows1);
        CHECK(r.lists[2].size() == c.rows2);
    }
    auto r = Load(0, head + "a\tx\ty\t1\t2\t\r\n\r\n");
    REQUIRE(r.lists[0].size() == 1);
    CHECK(r.lists[0][0].size == 0);

    // A report in the ANSI code page: "é" is one byte there.
    auto ansi = Load(0, head + "caf\xE9\t1\t0\t0\t0\t\r\n\r\n");
    REQUIRE(ansi.lists[0].size() == 1);
    CHECK(ansi.lists[0][0].path == "caf\xC3\xA9");

    // A group number that is not a number keeps the row, in group 0.
    auto dup = Load(2,
                    "Zelmora report v1.0. Creation time: \r\nFile duplicates:\r\n"
                    "a\t1\t0\t0\t0\t0\t0\t0\t0\tseven\r\n\r\n");
    REQUIRE(dup.lists[0].size() == 1);
    CHECK(dup.lists[0][0].groupNumber == 0);
}

TEST_CASE("dates outside 1901..2999 are absent") {
    struct Case {
        uint64_t ft;
        bool present;
    };
    const Case cases[] = {{0, false},
                          {94354848000000000ULL, false},  // 1900-01-01
                          {94670208000000000ULL, true},   // 1901-01-01
                          {uint64_t(k2020), true},
                          {0xFFFFFFFFFFFFFFFFULL, false}};
    for (const Case& c : cases) {
        CAPTURE(c.ft);
        CHECK((scan::DateOfFileTime(c.ft) != 0) == c.present);
    }
}

TEST_CASE("TLoadRes maps the file, sends batches of 100 and section ends, and can be cancelled") {
    fakes::TempTree t;
    auto files = std::shared_ptr<os::Files>(os::MakePosixFiles());
    std::vector<TFound> rows;
    for (int i = 0; i < 250; ++i) rows.push_back(Found("gone" + std::to_string(i), i));
    REQUIRE(os::WriteWholeFile(*files, t.Path("Changes.txt"), Text(1, rows, {rows[0]}, {})));

    Recorder rec;
    LoadedReport target;
    {
        scan::TLoadRes loader(1, t.Path("Changes.txt"), files, rec, target);
        loader.Start();
    }  // the destructor waits for the end
    CHECK(rec.calls ==
          std::vector<std::string>{"rows0", "rows0", "done0", "done1", "done2", "end"});
    CHECK(target.lists[0].size() == 250);
    CHECK(target.totals[0] == 250 * 249 / 2);

    Recorder missing;
    LoadedReport none;
    scan::TLoadRes absent(0, t.Path("Search.txt"), files, missing, none);
    absent.Execute();
    CHECK(missing.calls == std::vector<std::string>{"end"});

    Recorder stopped;
    LoadedReport part;
    scan::TLoadRes cancelled(1, t.Path("Changes.txt"), files, stopped, part);
    cancelled.Terminate();
    cancelled.Execute();
    CHECK(part.lists[0].empty());
    CHECK(stopped.calls == std::vector<std::string>{"end"});
}
