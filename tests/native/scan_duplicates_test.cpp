// The duplicate finder: which files form groups, which are read, and how.
#include <doctest.h>

#include <fcntl.h>

#include <set>

#include "native/scan_fixture.h"
#include "scan/crc32.h"
#include "scan/md5.h"

using fixture::Names;

namespace {

struct DupFixture {
    fakes::TempTree t;
    fixture::ScanEnv env;
    std::mutex lock;
    std::multiset<std::string> hashed;  // paths handed to the library

    DupFixture() { t.Folder("prog"); }
    scan::ScanJob Job(bool library = true) {
        scan::ScanJob job;
        job.kind = scan::kDuplicatesScan;
        job.roots = {t.Path("r")};
        job.programFolder = t.Path("prog");
        if (library)
            job.digest = [this](const std::string& path, scan::Digest& out) {
                {
                    std::lock_guard l(lock);
                    hashed.insert(path.substr(path.rfind('/') + 1));
                }
                return scan::Md5OfFile(*env.files, path, out);
            };
        return job;
    }
    std::string Report() {
        std::string s;
        os::ReadWholeFile(*env.files, t.Path("prog/Duplicates.txt"), s);
        return s;
    }
    // The group number (last field) of each row in the report, in order.
    std::vector<std::string> GroupColumn() {
        std::vector<std::string> out;
        for (const auto& line : text::SplitLines(Report()))
            if (std::count(line.begin(), line.end(), '\t') == 9)
                out.push_back(line.substr(line.rfind('\t') + 1));
            else if (line.empty())
                out.push_back("-");
        return out;
    }
};

std::string Big(char fill, size_t n, char last) {
    std::string s(n, fill);
    s.back() = last;
    return s;
}

}  // namespace

TEST_CASE("duplicate groups are ordered by digest and numbered from 1") {
    DupFixture d;
    d.t.File("r/a1", "alpha");
    d.t.File("r/sub/a2", "alpha");
    d.t.File("r/a3", "alpha");
    d.t.File("r/b1", Big('b', 5000, 'x'));
    d.t.File("r/b2", Big('b', 5000, 'x'));
    d.t.File("r/empty1", "");
    d.t.File("r/empty2", "");
    d.t.File("r/unique", "alphb");
    auto r = d.env.Run(d.Job());
    REQUIRE(r.first.size() == 5);
    CHECK(r.resultFlag);
    CHECK(r.duplicateCount == 5);
    CHECK(r.candidateCount == 5);
    CHECK(r.fileCounter == 8);
    // By digest: md5("alpha") begins 2c1743a3, the 5000-byte file's differs.
    bool alphaFirst = scan::Md5Of("alpha", 5) < *r.first[3].digest;
    std::vector<std::string> alpha = {"a1", "a3", "a2"}, b = {"b1", "b2"};
    std::vector<std::string> expect = alphaFirst ? alpha : b;
    expect.insert(expect.end(), (alphaFirst ? b : alpha).begin(), (alphaFirst ? b : alpha).end());
    CHECK(Names(r.first) == expect);
    auto groups = d.GroupColumn();
    // Header line (no TABs) is skipped; rows, a blank between groups, the last blank.
    std::vector<std::string> want =
        alphaFirst ? std::vector<std::string>{"1", "1", "1", "-", "2", "2", "-"}
                   : std::vector<std::string>{"1", "1", "-", "2", "2", "2", "-"};
    CHECK(groups == want);
    CHECK(d.Report().find(" Total files: 8; MD5: 5; Doubles: 5\r\n") != std::string::npos);
}

TEST_CASE("files are opened only when their size and first kilobyte are shared") {
    DupFixture d;
    d.t.File("r/lonely", std::string(3333, 'l'));  // no other file of its size
    // Six of one size and first KB with different ends: each is compared with
    // the first four contents met, the two beyond them go to the library.
    for (char k = '1'; k <= '6'; ++k) d.t.File(std::string("r/head") + k, Big('h', 4000, k));
    d.t.File("r/pair1", Big('p', 5000, '1'));  // a pair of them: compared, not hashed
    d.t.File("r/pair2", Big('p', 5000, '2'));
    d.t.File("r/start1", "A" + std::string(2999, 's'));  // same size, first KB differs
    d.t.File("r/start2", "B" + std::string(2999, 's'));
    d.t.File("r/small1", "tiny");  // a kilobyte or less: read once, never handed on
    d.t.File("r/small2", "tiny");
    auto r = d.env.Run(d.Job());
    CHECK(Names(r.first) == std::vector<std::string>{"small1", "small2"});
    CHECK(d.hashed == std::multiset<std::string>{"head5", "head6"});
    CHECK(r.candidateCount == 10);
    std::multiset<std::string> opened;
    for (const auto& p : d.env.files->openedPaths) opened.insert(p.substr(p.rfind('/') + 1));
    CHECK(opened.count("lonely") == 0);
    CHECK(opened.count("small1") == 1);
    CHECK(opened.count("start1") == 1);
    CHECK(opened.count("head6") == 6);  // first KB, beside each of the four, the library
    CHECK(opened.count("pair1") == 2);  // first kilobyte, then read beside pair2
}

TEST_CASE("the same file reached by two paths is not its own duplicate") {
    DupFixture d;
    d.t.File("r/original", "content of one file");
    REQUIRE(link(d.t.Path("r/original").c_str(), d.t.Path("r/hardlink").c_str()) == 0);
    d.t.Folder("r/dir");
    d.t.File("r/dir/inner", "inner content");
    REQUIRE(symlink(d.t.Path("r/dir").c_str(), d.t.Path("r/alias").c_str()) == 0);
    REQUIRE(symlink(d.t.Path("r").c_str(), d.t.Path("r/dir/loop").c_str()) == 0);
    auto r = d.env.Run(d.Job());
    CHECK(r.first.empty());
    CHECK_FALSE(r.resultFlag);
    CHECK(d.Report().empty());  // emptied at the start, nothing to write

    // A real copy beside them is still found, once.
    d.t.File("r/copy", "content of one file");
    r = d.env.Run(d.Job());
    CHECK(Names(r.first) == std::vector<std::string>{"copy", "hardlink"});
}

TEST_CASE("groups and digests are the same with the library, without it, and on one thread") {
    DupFixture d;
    // Five contents, six copies each; contents 3 and 4 share size and first
    // kilobyte, so their twelve files are told apart only further on.
    std::vector<std::string> contents;
    for (int c = 0; c < 5; ++c)
        contents.push_back(Big('c', 3000 + 37 * std::min(c, 3), static_cast<char>('a' + c)));
    for (int i = 0; i < 30; ++i) d.t.File("r/f" + std::to_string(100 + i), contents[i % 5]);
    d.t.File("r/odd", "x");
    auto with = d.env.Run(d.Job(true));
    auto without = d.env.Run(d.Job(false));
    auto job = d.Job(false);
    job.hashThreads = 1;
    job.walkThreads = 0;
    auto single = d.env.Run(job);
    REQUIRE(with.first.size() == 30);
    CHECK(Names(with.first) == Names(without.first));
    CHECK(Names(with.first) == Names(single.first));
    std::set<std::string> expected, got;
    for (const auto& c : contents)
        expected.insert(scan::DigestHex(scan::Md5Of(c.data(), c.size())));
    for (const auto& f : without.first) got.insert(scan::DigestHex(*f.digest));
    CHECK(got == expected);
    for (size_t k = 0; k < with.first.size(); ++k)
        CHECK(*with.first[k].digest == *without.first[k].digest);
}

TEST_CASE("hashing progress, unreadable files, and cancelling while hashing") {
    DupFixture d;
    for (int i = 0; i < 4; ++i) d.t.File("r/f" + std::to_string(i), std::string(2048, 'z'));
    d.env.files->unreadable.insert(d.t.Path("r/f3"));

    SUBCASE("progress") {
        auto r = d.env.Run(d.Job());
        CHECK(r.first.size() == 3);
        std::vector<std::pair<uint32_t, int>> status;
        for (auto& e : r.listener->Events())
            if (e.what == 's' && e.code != scan::kStatusFileCount)
                status.emplace_back(e.value, e.code);
        using P = std::pair<uint32_t, int>;
        CHECK(status == std::vector<P>{{0, 5},
                                       {0, 10},
                                       {6144, 11},
                                       {0, 12},
                                       {2048, 13},
                                       {0, 12},
                                       {2048, 13},
                                       {0, 12},
                                       {2048, 13},
                                       {0, 3}});
    }
    SUBCASE("cancel") {
        auto listener = std::make_shared<fixture::RecordingListener>();
        std::shared_ptr<scan::ScanControl> control;
        listener->onEvent = [&](const fixture::Event& e) {
            if (e.what == 's' && e.code == scan::kStatusHashedSizeLow) control->Terminate();
        };
        scan::ScanServices svc{d.env.files, d.env.volumes, listener, &d.env.clock, {}};
        auto job = d.Job();
        job.hashThreads = 1;
        auto engine = std::make_unique<scan::TScan>(job, svc);
        control = engine->Control();
        engine->Execute();
        CHECK(engine->FirstList().empty());
        CHECK(engine->Outcome() == scan::ScanOutcome::Cancelled);
        engine.reset();
        CHECK(d.Report().empty());
        CHECK(listener->Events().back().what == 'f');
    }
}

TEST_CASE("a file larger than 4 GiB is checksummed over its first kilobyte only") {
    DupFixture d;
    d.t.Folder("r");
    for (const char* name : {"huge1", "huge2"}) {
        int fd = open(d.t.Path(std::string("r/") + name).c_str(), O_CREAT | O_WRONLY, 0644);
        REQUIRE(fd >= 0);
        REQUIRE(write(fd, name, 5) == 5);  // the first kilobytes differ
        REQUIRE(ftruncate(fd, (int64_t(5) << 30)) == 0);
        close(fd);
    }
    auto r = d.env.Run(d.Job());
    CHECK(r.first.empty());
    CHECK(r.candidateCount == 0);
    CHECK(d.hashed.empty());
}

TEST_CASE("no scan changes the last access time of what it reads") {
    DupFixture d;
    const long old = 1000000000;  // 2001: older than the last write, so a read would update it
    for (const char* n : {"r/a", "r/b"}) d.t.File(n, std::string(5000, 'q'), old);
    d.t.File("r/c", "small", old);
    d.t.File("r/d", "small", old);
    d.env.Run(d.Job(false));
    for (const char* n : {"r/a", "r/b", "r/c", "r/d"}) {
        CAPTURE(n);
        CHECK(d.t.AccessTime(n) == old);
    }
}

TEST_CASE("CRC-32 and MD5 give the published check values") {
    CHECK(scan::Crc32("123456789", 9) == 0xCBF43926u);
    CHECK(scan::Crc32("6789", 4, scan::Crc32("12345", 5)) == 0xCBF43926u);
    CHECK(scan::Crc32("", 0) == 0);
    const std::pair<std::string, const char*> suite[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {std::string(80, '1').replace(
             0, 80,
             "12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [text, hex] : suite) {
        CAPTURE(text);
        CHECK(scan::DigestHex(scan::Md5Of(text.data(), text.size())) == hex);
        scan::Md5 split;  // fed in pieces across the 64-byte blocks
        for (char c : text) split.Update(&c, 1);
        CHECK(scan::DigestHex(split.Final()) == hex);
    }
}
