// zmscan as scripts use it: exit codes, messages, reports and images.
#include <doctest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdio>

#include "fakes/fake_files.h"

namespace {

struct Result {
    int code;
    std::string out;  // stdout and stderr together
};

Result Zmscan(const std::string& args) {
    std::string cmd = std::string(ZM_TEST_BINARY_DIR) + "/zmscan " + args + " 2>&1 </dev/null";
    Result r{-1, {}};
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int status = pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

bool Contains(const std::string& s, const std::string& part) {
    return s.find(part) != std::string::npos;
}

std::string Read(const std::string& path) {
    std::string s;
    auto files = os::MakePosixFiles();
    os::ReadWholeFile(*files, path, s);
    return s;
}

}  // namespace

TEST_CASE("zmscan rejects bad arguments with exit code 2 and a message") {
    struct Case {
        const char* args;
        const char* message;
    };
    const Case cases[] = {
        {"", "no command"},
        {"scan /tmp", "unknown command"},
        {"free", "needs at least one ROOT"},
        {"free --quantity 0 /tmp", "--quantity needs a number"},
        {"free --quantity ten /tmp", "--quantity needs a number"},
        {"changes --masks x /tmp", "does not apply"},
        {"free --bogus /tmp", "unknown option"},
        {"free --out", "needs a value"},
        {"images keep", "accept or discard"},
        {"images accept /tmp", "takes no roots"},
        {"free /no/such/folder/anywhere", "no such folder"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.args);
        Result r = Zmscan(c.args);
        CHECK(r.code == 2);
        CHECK(Contains(r.out, c.message));
    }
    Result help = Zmscan("--help");
    CHECK(help.code == 0);
    CHECK(Contains(help.out, "zmscan images accept|discard [--out DIR]"));
}

TEST_CASE("zmscan runs the three scans, keeps images in the folder and accepts them") {
    fakes::TempTree t;
    t.File("r/a/one.bak", "same");
    t.File("r/b/two", "same");
    t.File("r/c", std::string(3000, 'c'));
    std::string out = t.Path("out"), root = t.Path("r");

    Result free = Zmscan("free --quantity 2 --masks 'bak' --out " + out + " " + root + "/");
    CHECK(free.code == 0);
    CHECK(Contains(free.out, "2 largest, 2 oldest, 1 temporary files (3 files walked)"));
    std::string search = Read(out + "/Search.txt");
    CHECK(Contains(search, "Biggest files:\r\n" + root + "/c\t3000\t0\t"));
    CHECK(Contains(search, "Temporary files:\r\n" + root + "/a/one.bak\t4\t"));

    Result dup = Zmscan("duplicates -q --out " + out + " " + root);
    CHECK(dup.code == 0);
    CHECK(Contains(Read(out + "/Duplicates.txt"), "Doubles: 2\r\n"));

    CHECK(Zmscan("changes --out " + out + " " + root).code == 0);
    CHECK(Contains(Zmscan("images accept --out " + out).out, "1 pending image accepted"));
    t.File("r/new", "n");
    Result changes = Zmscan("changes --out " + out + " " + root);
    CHECK(changes.code == 0);
    CHECK(Contains(changes.out, "0 changed, 1 new, 0 deleted"));
    CHECK(Contains(Read(out + "/Changes.txt"), "New files:\r\n" + root + "/new\t1\t"));
    CHECK(Contains(Zmscan("images discard --out " + out).out, "1 pending image discarded"));
}

TEST_CASE("zmscan fails with exit code 1 when it cannot write its folder") {
    fakes::TempTree t;
    t.File("r/a", "1");
    t.File("blocker", "a file where the folder should be");
    Result r = Zmscan("free --out " + t.Path("blocker") + " " + t.Path("r"));
    CHECK(r.code == 1);
    CHECK(Contains(r.out, "cannot"));
    Result w = Zmscan("free --out " + t.Path("blocker/sub") + " " + t.Path("r"));
    CHECK(w.code == 1);
}

TEST_CASE("zmscan stops cleanly on an interrupt with exit code 130") {
    fakes::TempTree t;
    // Two large files alike in their first kilobyte: hashing them takes seconds.
    t.Folder("r");
    for (const char* n : {"r/big1", "r/big2"}) {
        FILE* f = std::fopen(t.Path(n).c_str(), "wb");
        REQUIRE(f);
        std::fputs("head", f);
        std::fclose(f);
        REQUIRE(truncate(t.Path(n).c_str(), int64_t(16) << 30) == 0);
    }
    std::string cmd = "sh -c '" + std::string(ZM_TEST_BINARY_DIR) + "/zmscan duplicates --out " +
                      t.Path("out") + " " + t.Path("r") +
                      " 2>&1 & pid=$!; sleep 1; kill -INT $pid; wait $pid; echo rc=$?'";
    auto started = std::chrono::steady_clock::now();
    FILE* p = popen(cmd.c_str(), "r");
    REQUIRE(p);
    char buf[256];
    std::string s;
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) s.append(buf, n);
    pclose(p);
    CHECK(Contains(s, "interrupted"));
    CHECK(Contains(s, "rc=130"));
    CHECK(std::chrono::steady_clock::now() - started < std::chrono::seconds(6));
    CHECK(Read(t.Path("out/Duplicates.txt")).empty());
}
