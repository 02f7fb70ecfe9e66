// The path map, the ZIP container and the disk images of the changes scan.
#include <doctest.h>

#include <fcntl.h>

#include <algorithm>
#include <atomic>
#include <random>

#include "native/scan_fixture.h"
#include "scan/images.h"
#include "scan/map_strings.h"
#include "scan/zip.h"

using scan::TMapStrings;

namespace {

std::vector<std::string> All(const TMapStrings& m) {
    std::vector<std::string> out;
    for (int64_t i = 0; i < m.Count(); ++i) out.push_back(m.Get(i));
    return out;
}

// The map's order: component by component, without regard to ASCII case.
bool ModelLess(const std::string& a, const std::string& b) {
    auto pa = text::Split(a, "\\"), pb = text::Split(b, "\\");
    for (size_t i = 0; i < std::min(pa.size(), pb.size()); ++i) {
        std::string x = text::LowerAscii(pa[i]), y = text::LowerAscii(pb[i]);
        if (x != y) return x < y;
    }
    return pa.size() < pb.size();
}

}  // namespace

TEST_CASE("path map: order, duplicates and conflicts") {
    TMapStrings m;
    for (const char* s : {"b\\x.txt\t5", "a.txt\t1", "B\\Y.txt\t7", "b\\x.txt\t5", "A.TXT\t1", "",
                          "a.txt\t1\\below", "B", "c\\d\\e\t3"})
        m.Add(s);
    // "b" already is a folder, "a.txt\t1" a leaf: neither can change kind.
    CHECK(All(m) ==
          std::vector<std::string>{"a.txt\t1", "b\\x.txt\t5", "b\\Y.txt\t7", "c\\d\\e\t3"});
    CHECK(m.Count() == 4);
    CHECK(m.IndexOf("B\\X.TXT\t5") == 1);
    CHECK(m.IndexOf("b\\x.txt\t6") == -1);
    CHECK(m.IndexOf("b") == -1);  // a folder is not a stored string
    CHECK(m.IndexOfName("b\\Y.txt\t1") == 2);
    CHECK(m.IndexOfName("b\\y.txt") == -1);   // the name is compared byte for byte
    CHECK(m.IndexOfName("C\\D\\e\t0") == 3);  // folders are not
    CHECK(m.Get(4).empty());
    CHECK(m.Get(-1).empty());

    m.Delete(3);  // "c" and "c\d" are left empty and go with it
    m.Delete(99);
    CHECK(All(m) == std::vector<std::string>{"a.txt\t1", "b\\x.txt\t5", "b\\Y.txt\t7"});
    m.Add("c\t1");  // possible again now that the folder is gone
    std::string saved;
    m.SaveToStream(saved);
    CHECK(saved == "a.txt\t1\r\nb\\x.txt\t5\r\nb\\Y.txt\t7\r\nc\t1\r\n");
    m.Clear();
    CHECK(m.Count() == 0);
}

TEST_CASE("path map agrees with a model under random adds and deletes") {
    std::mt19937 rng(7);
    const char* parts[] = {"a", "B", "c", "dd", "E", "f"};
    TMapStrings m;
    std::vector<std::string> model;
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    for (int round = 0; round < 3000; ++round) {
        if (pick(4) != 0 || model.empty()) {
            std::string s;
            size_t depth = 1 + pick(4);
            for (size_t d = 0; d < depth; ++d) s += std::string(parts[pick(6)]) + "\\";
            s += std::string(parts[pick(6)]) + ".txt\t" + std::to_string(pick(3));
            m.Add(s);
            // The model accepts what neither duplicates nor conflicts.
            bool clash = false;
            for (const auto& e : model) {
                std::string a = text::LowerAscii(e), b = text::LowerAscii(s);
                if (a == b || text::StartsWith(a, b + "\\") || text::StartsWith(b, a + "\\"))
                    clash = true;
            }
            if (!clash) model.insert(std::upper_bound(model.begin(), model.end(), s, ModelLess), s);
        } else {
            size_t i = pick(model.size());
            m.Delete(static_cast<int64_t>(i));
            model.erase(model.begin() + static_cast<ptrdiff_t>(i));
        }
        if (round % 100 == 0) {
            REQUIRE(All(m) == model);
            for (size_t i = 0; i < model.size(); i += 7)
                REQUIRE(m.IndexOf(model[i]) == static_cast<int64_t>(i));
        }
    }
    while (m.Count()) {
        CHECK(m.First() == model.front());
        m.DeleteFirst();
        model.erase(model.begin());
    }
}

TEST_CASE("zip container: round trip and broken archives") {
    std::string content;
    for (int i = 0; i < 2000; ++i) content += "folder\\file" + std::to_string(i) + "\t123\r\n";
    std::string zip;
    REQUIRE(scan::ZipSingleMember("C-C.tmp", content, scan::DosStampOf(2024, 5, 6, 7, 8, 9), zip));
    CHECK(zip.size() < content.size() / 4);
    std::string out;
    CHECK(scan::ZipExtract(zip, "C-C.tmp", out));
    CHECK(out == content);
    CHECK_FALSE(scan::ZipExtract(zip, "D-D.tmp", out));  // a foreign archive

    std::string empty;
    REQUIRE(scan::ZipSingleMember("e.tmp", "", {}, empty));
    CHECK(scan::ZipExtract(empty, "e.tmp", out));
    CHECK(out.empty());

    std::string flipped = zip;
    flipped[60] ^= 0x55;  // inside the deflated data
    CHECK_FALSE(scan::ZipExtract(flipped, "C-C.tmp", out));
    CHECK_FALSE(scan::ZipExtract(zip.substr(0, zip.size() / 2), "C-C.tmp", out));
    CHECK_FALSE(scan::ZipExtract("PK\x05\x06 not an archive at all", "C-C.tmp", out));
    std::string huge = zip;  // a member that claims 4 GB
    size_t central = huge.find("PK\x01\x02");
    for (int k = 0; k < 4; ++k) huge[central + 24 + k] = '\xFE';
    CHECK_FALSE(scan::ZipExtract(huge, "C-C.tmp", out));
}

TEST_CASE("image names") {
    fakes::FakeVolumes v;
    v["C:"].details.serial = 0x1A2B3C4D;
    v["D:"].details.serial = 0;
    v["E:"].hasInfo = false;
    CHECK(scan::ImageNameOf(v, "C:") == "C-1A2B3C4D");
    CHECK(scan::ImageNameOf(v, "D:") == "D-D");
    CHECK(scan::ImageNameOf(v, "E:") == "E-E");
    std::string a = scan::ImageNameOf(v, "/home/u/data"), b = scan::ImageNameOf(v, "/home/u_data");
    CHECK(a.substr(0, 12) == "home_u_data-");
    CHECK(a != b);  // same label, told apart by the checksum of the root
    CHECK(scan::ImageNameOf(v, "/").substr(0, 5) == "root-");
    for (const std::string& n : {std::string("C-1A2B3C4D"), std::string("D-D"), a})
        CHECK(scan::IsImageFileName(n + ".tmp", ".tmp"));
    for (const char* n :
         {"notes.tmp", "C-1a2b3c4d.tmp", "C-1A2B3C4D.dat", "-1A2B3C4D.tmp", "x y-1A2B3C4D.tmp"})
        CHECK_FALSE(scan::IsImageFileName(n, ".tmp"));
}

namespace {

// A drive "X:" whose files lie in a temp folder.
struct DriveFixture {
    fakes::TempTree t;
    fixture::ScanEnv env;
    DriveFixture() {
        t.Folder("drive");
        t.Folder("prog");
        env.files->drives["X:"] = t.Path("drive");
        Serial(0x1A2B3C4D);
    }
    void Serial(uint32_t s) {
        env.volumes->SetSpace("X:", 1000000, 400000, 400000);
        (*env.volumes)["X:"].details.serial = s;
    }
    fixture::ScanRun Scan() {
        scan::ScanJob job;
        job.kind = scan::kChangesScan;
        job.roots = {"X:"};
        job.programFolder = t.Path("prog");
        return env.Run(job);
    }
    int Accept() { return scan::AcceptPendingImages(*env.files, t.Path("prog")); }
    bool Exists(const std::string& rel) { return env.files->Exists(t.Path(rel)); }
    std::vector<std::pair<std::string, int64_t>> Rows(const std::vector<scan::TFound>& l) {
        std::vector<std::pair<std::string, int64_t>> out;
        for (const auto& f : l) out.emplace_back(f.path, f.size);
        return out;
    }
};

}  // namespace

TEST_CASE("changes scan: first scan, then grown, shrunk, renamed, new and deleted files") {
    DriveFixture d;
    d.t.File("drive/grow.txt", std::string(100, 'g'));
    d.t.File("drive/sub/shrink.txt", std::string(100, 's'));
    d.t.File("drive/case.txt", "same size");
    d.t.File("drive/casesize.txt", "12345");
    d.t.File("drive/gone.txt", "bye");

    auto first = d.Scan();
    CHECK(first.resultFlag);
    CHECK(first.first.empty());
    CHECK(first.second.empty());
    CHECK(first.third.empty());
    CHECK(d.Exists("prog/X-1A2B3C4D.tmp"));
    CHECK(d.env.files->Exists(d.t.Path("prog/Changes.txt")));
    CHECK(d.Accept() == 1);
    CHECK(d.Exists("prog/X-1A2B3C4D.dat"));
    CHECK_FALSE(d.Exists("prog/X-1A2B3C4D.tmp"));

    d.t.File("drive/grow.txt", std::string(150, 'g'));
    d.t.File("drive/sub/shrink.txt", std::string(40, 's'));
    rename(d.t.Path("drive/case.txt").c_str(), d.t.Path("drive/CASE.txt").c_str());
    remove(d.t.Path("drive/casesize.txt").c_str());
    d.t.File("drive/CaseSize.txt", "123456");
    remove(d.t.Path("drive/gone.txt").c_str());
    d.t.File("drive/new/born.txt", "hi");

    auto r = d.Scan();
    CHECK(r.resultFlag);
    using Rows = std::vector<std::pair<std::string, int64_t>>;
    CHECK(d.Rows(r.first) == Rows{{"X:/grow.txt", 150}, {"X:/sub/shrink.txt", 40}});
    REQUIRE(r.first.size() == 2);
    CHECK(r.first[0].change == 50);
    CHECK(r.first[1].change == -60);
    CHECK(r.first[0].lastWrite != 0);  // read from the file
    CHECK(d.Rows(r.second) == Rows{{"X:/CaseSize.txt", 6}, {"X:/new/born.txt", 2}});
    CHECK(d.Rows(r.third) == Rows{{"X:/casesize.txt", 5}, {"X:/gone.txt", 3}});
    CHECK(r.third[0].lastAccess == 0);
    CHECK(r.listener->Has(scan::kStatusComparing));
}

TEST_CASE("changes scan: a file larger than 4 GiB keeps its full size") {
    DriveFixture d;
    const int64_t big = (int64_t(5) << 30) + 3;
    auto sparse = [&](int64_t size) {
        int fd = open(d.t.Path("drive/big.bin").c_str(), O_CREAT | O_WRONLY, 0644);
        REQUIRE(fd >= 0);
        REQUIRE(ftruncate(fd, size) == 0);
        close(fd);
    };
    sparse(big);
    d.Scan();
    std::string zip, lines;
    REQUIRE(os::ReadWholeFile(*d.env.files, d.t.Path("prog/X-1A2B3C4D.tmp"), zip));
    REQUIRE(scan::ZipExtract(zip, "X-1A2B3C4D.tmp", lines));
    CHECK(lines == "big.bin\t5368709123\r\n");
    d.Accept();
    sparse(big + (int64_t(1) << 32));
    auto r = d.Scan();
    REQUIRE(r.first.size() == 1);
    CHECK(r.first[0].change == int64_t(1) << 32);
    CHECK(r.first[0].size == big + (int64_t(1) << 32));
}

TEST_CASE("changes scan: empty walk, broken image, other volume, discarding") {
    DriveFixture d;
    d.t.File("drive/a.txt", "a");
    d.Scan();
    d.Accept();
    std::string stored;
    REQUIRE(os::ReadWholeFile(*d.env.files, d.t.Path("prog/X-1A2B3C4D.dat"), stored));

    SUBCASE("a drive whose walk finds no files keeps its image and reports nothing") {
        remove(d.t.Path("drive/a.txt").c_str());
        auto r = d.Scan();
        CHECK(r.third.empty());
        CHECK_FALSE(d.Exists("prog/X-1A2B3C4D.tmp"));
        std::string now;
        REQUIRE(os::ReadWholeFile(*d.env.files, d.t.Path("prog/X-1A2B3C4D.dat"), now));
        CHECK(now == stored);
    }
    SUBCASE("a broken stored image counts as none") {
        REQUIRE(os::WriteWholeFile(*d.env.files, d.t.Path("prog/X-1A2B3C4D.dat"), "PK garbage"));
        d.t.File("drive/b.txt", "b");
        auto r = d.Scan();
        CHECK(r.second.empty());
        CHECK(d.Exists("prog/X-1A2B3C4D.tmp"));
    }
    SUBCASE("another volume under the same letter has its own image") {
        d.Serial(0xCAFE0001);
        d.t.File("drive/b.txt", "b");
        auto r = d.Scan();
        CHECK(r.second.empty());  // a first scan for this volume
        CHECK(d.Exists("prog/X-CAFE0001.tmp"));
        d.Serial(0x1A2B3C4D);
        r = d.Scan();
        CHECK(d.Rows(r.second) == std::vector<std::pair<std::string, int64_t>>{{"X:/b.txt", 1}});
    }
    SUBCASE("discarding deletes pending images only") {
        d.t.File("drive/b.txt", "b");
        d.Scan();
        d.t.File("prog/notes.tmp", "keep me");
        CHECK(scan::DiscardPendingImages(*d.env.files, d.t.Path("prog")) == 1);
        CHECK_FALSE(d.Exists("prog/X-1A2B3C4D.tmp"));
        CHECK(d.Exists("prog/notes.tmp"));
        CHECK(d.Exists("prog/X-1A2B3C4D.dat"));
    }
}
