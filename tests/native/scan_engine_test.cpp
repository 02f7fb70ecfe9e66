// The walk, its skip rules, the free-space selection, cancellation and the
// engine's life on its own thread.
#include <doctest.h>

#include <future>

#include "native/scan_fixture.h"
#include "scan/masks.h"

using fixture::Names;
using fixture::ScanEnv;
using scan::ScanJob;

namespace {

ScanJob Job(int kind, const fakes::TempTree& t, std::vector<std::string> roots) {
    ScanJob job;
    job.kind = kind;
    job.roots = std::move(roots);
    job.programFolder = t.Path("prog");
    t.Folder("prog");
    return job;
}

std::string ReadText(const std::string& path) {
    std::string s;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "<missing>";
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    std::fclose(f);
    return s;
}

}  // namespace

TEST_CASE(
    "the walk skips dot folders, system folders and, for free space only, the Windows folder") {
    fakes::TempTree t;
    t.File("data/.cache/a.bak", "x");
    t.File("data/sys/b.bak", "xx");
    t.File("data/win/sub/c.bak", "same");
    t.File("data/plain/d.bak", "same");
    t.File("data/sysfile.bak", "xxxxx");
    ScanEnv env;
    env.files->systemNames = {"sys", "sysfile.bak"};
    env.files->windowsFolder = t.Path("DATA/Win");  // compared without regard to case
    std::string root = t.Path("data");

    SUBCASE("free-space scan, exclude system on") {
        auto r = env.Run(Job(0, t, {root}));
        CHECK(Names(r.third) == std::vector<std::string>{"d.bak"});
        CHECK(r.fileCounter == 2);  // the system file is counted, not listed
    }
    SUBCASE("free-space scan, exclude system off") {
        ScanJob job = Job(0, t, {root});
        job.ExcludeSystemFiles = false;
        auto r = env.Run(job);
        auto names = Names(r.third);
        std::sort(names.begin(), names.end());
        CHECK(names == std::vector<std::string>{"b.bak", "c.bak", "d.bak", "sysfile.bak"});
        CHECK(r.fileCounter == 4);
    }
    SUBCASE("the duplicates scan walks the Windows folder") {
        auto r = env.Run(Job(2, t, {root}));
        CHECK(Names(r.first) == std::vector<std::string>{"d.bak", "c.bak"});
    }
}

TEST_CASE("largest and oldest lists keep N files; a tie does not displace the first found") {
    fakes::TempTree t;
    // name, size, last access (seconds since 1970)
    struct F {
        const char* name;
        size_t size;
        long atime;
    };
    for (F f :
         {F{"a", 10, 1000}, F{"b", 20, 500}, F{"c", 10, 500}, F{"d", 20, 100}, F{"e", 30, 2000}})
        t.File(std::string("r/") + f.name, std::string(f.size, 'x'), f.atime);
    ScanEnv env;

    SUBCASE("full lists") {
        ScanJob job = Job(0, t, {t.Path("r")});
        job.ResQuanity = 2;
        auto r = env.Run(job);
        CHECK(Names(r.first) == std::vector<std::string>{"e", "b"});
        CHECK(Names(r.second) == std::vector<std::string>{"d", "b"});
        CHECK(r.first[0].size == 30);
        CHECK(r.second[0].lastAccess == 116444736000000000LL + 100LL * 10000000);
    }
    SUBCASE("fewer files than N stay in the order found") {
        auto r = env.Run(Job(0, t, {t.Path("r")}));
        CHECK(Names(r.first) == std::vector<std::string>{"a", "b", "c", "d", "e"});
        CHECK(Names(r.second) == std::vector<std::string>{"a", "b", "c", "d", "e"});
    }
    SUBCASE("roots are walked in order and the counter runs over all of them") {
        t.File("s/f", "y");
        auto r = env.Run(Job(0, t, {t.Path("s"), t.Path("r")}));
        CHECK(Names(r.first).front() == "f");
        CHECK(r.fileCounter == 6);
        int begins = 0, ends = 0;
        for (auto& e : r.listener->Events()) begins += e.what == 'b', ends += e.what == 'e';
        CHECK(begins == 2);
        CHECK(ends == 2);
    }
}

TEST_CASE("masks") {
    struct Case {
        const char* mask;
        const char* name;
        bool match;
    };
    const Case cases[] = {
        {"*.bak", "old.BAK", true},
        {"thumbs.db", "THUMBS.DB", true},
        {"*.~*", "a.~1", true},
        {"*.*~", "file.txt~", true},
        {"~$*.*", "~$doc.docx", true},
        {"~$*.*", "doc.docx", false},
        {"?.tmp", "a.tmp", true},
        {"?.tmp", "ab.tmp", false},
        {"?.tmp", "\xC3\xA9.tmp", true},  // one character, two bytes
        {"[abc].x", "B.x", true},
        {"[abc].x", "d.x", false},
        {"[a-c]*", "cat", true},
        {"*.[", "x.[", true},  // unclosed: a plain "["
        {"[ab", "[ab", true},
        {"[ab", "a", false},
        {"*a*a*a*a*a*b", std::string(200, 'a').c_str(), false},
        {"*.tmp", "tmp", false},
        {"*", "", true},
    };
    for (const Case& c : cases) {
        CAPTURE(c.mask);
        CAPTURE(c.name);
        CHECK(scan::MatchMask(c.mask, c.name) == c.match);
        CHECK(scan::MaskSet({c.mask}).FirstMatch(c.name) == (c.match ? 0 : -1));
    }

    CHECK(scan::SplitMasks(" *.bak,tmp  \"my file.x\",, ~*") ==
          std::vector<std::string>{"*.bak", "*.tmp", "my file.x", "*.~*"});
    scan::MaskSet set(scan::SplitMasks("*.bak, old*.*, new"));
    CHECK(set.FirstMatch("old.bak") == 0);
    CHECK(set.FirstMatch("older.txt") == 1);
    CHECK(set.FirstMatch("x.NEW") == 2);
    CHECK(set.FirstMatch("new.txt") == -1);
}

TEST_CASE("a file matching two masks is listed once; masks without a dot mean an extension") {
    fakes::TempTree t;
    t.File("r/old.bak", "1");
    t.File("r/x.chk", "1");
    ScanEnv env;
    ScanJob job = Job(0, t, {t.Path("r")});
    job.TempFilesExts = "*.bak old* chk";
    auto r = env.Run(job);
    CHECK(Names(r.third) == std::vector<std::string>{"old.bak", "x.chk"});

    job.SearchForTempFiles = false;
    CHECK(env.Run(job).third.empty());
}

TEST_CASE("cancelling during the walk stops after the current entry and still reports the end") {
    fakes::TempTree t;
    for (int i = 0; i < 40; ++i) t.File("r/f" + std::to_string(100 + i), std::string(i + 1, 'x'));
    ScanEnv env;
    std::shared_ptr<scan::ScanControl> control;
    // The listener cancels at the first file-counter report, as a user would.
    ScanJob job = Job(0, t, {t.Path("r")});
    job.ResQuanity = 5;
    auto listener = std::make_shared<fixture::RecordingListener>();
    listener->onEvent = [&](const fixture::Event& e) {
        if (e.what == 's' && e.code == scan::kStatusFileCount && control) control->Terminate();
    };
    scan::ScanServices svc{env.files, env.volumes, listener, &env.clock, {}};
    auto engine = std::make_unique<scan::TScan>(job, svc);
    control = engine->Control();
    engine->Execute();
    CHECK(engine->FileCounter() == 10);
    CHECK(engine->Outcome() == scan::ScanOutcome::Cancelled);
    engine.reset();
    auto events = listener->Events();
    REQUIRE(!events.empty());
    CHECK(events.back().what == 'f');
    // A cancelled free-space report keeps one row per section.
    std::string report = ReadText(t.Path("prog/Search.txt"));
    CHECK(report.find("Biggest files:\r\n") != std::string::npos);
    size_t rows = std::count(report.begin(), report.end(), '\n') - 5;  // header, 3 titles, last
    CHECK(rows == 2);  // largest and oldest; no temporary files
}

TEST_CASE("an unwritable program folder ends the scan at once with result flag 0") {
    fakes::TempTree t;
    t.File("r/a", "1");
    for (int kind : {0, 1, 2}) {
        ScanEnv env;
        ScanJob job = Job(kind, t, {t.Path("r")});
        job.programFolder = t.Path("no/such/folder");
        auto r = env.Run(job);
        auto events = r.listener->Events();
        REQUIRE(events.size() == 1);
        CHECK(events[0].what == 'f');
        CHECK(events[0].value == 0);
        CHECK(r.outcome == scan::ScanOutcome::Failed);
    }
}

TEST_CASE("a link back to an ancestor does not make the walk loop") {
    fakes::TempTree t;
    t.File("r/a/file.txt", "content");
    REQUIRE(symlink(t.Path("r").c_str(), t.Path("r/a/back").c_str()) == 0);
    t.File("other/o.txt", "o");
    REQUIRE(symlink(t.Path("other").c_str(), t.Path("r/a/elsewhere").c_str()) == 0);
    ScanEnv env;
    auto r = env.Run(Job(0, t, {t.Path("r")}));
    CHECK(r.fileCounter == 2);  // file.txt, and o.txt through the link that leads elsewhere
}

TEST_CASE("started on its own thread the engine frees itself and reports its end") {
    fakes::TempTree t;
    t.File("r/a.tmp", "1");
    ScanEnv env;
    struct Done : fixture::RecordingListener {
        std::promise<void> ended;
        void Finished(bool result, scan::ScanOutcome o) override {
            RecordingListener::Finished(result, o);
            ended.set_value();
        }
    };
    auto listener = std::make_shared<Done>();
    auto ended = listener->ended.get_future();
    scan::ScanServices svc{env.files, env.volumes, listener, &env.clock, {}};
    auto control = scan::TScan::Start(std::make_unique<scan::TScan>(Job(0, t, {t.Path("r")}), svc));
    REQUIRE(ended.wait_for(std::chrono::seconds(20)) == std::future_status::ready);
    CHECK(control->CurrentFolder() == t.Path("r"));
    control->Terminate();  // after the end: harmless, the control outlives the engine
    CHECK(ReadText(t.Path("prog/Search.txt")).find("a.tmp\t1\t0\t") != std::string::npos);
}
