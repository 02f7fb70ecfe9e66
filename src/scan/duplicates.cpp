#include "scan/duplicates.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "disks/debug_log.h"
#include "scan/crc32.h"

namespace scan {

namespace {

// Runs work(i) for i in 0..n-1 on up to `threads` threads and calls done(i)
// on this thread in order of i as results arrive; stops taking work once
// stop is raised (done is then called only for the work that finished).
// Work is handed out in chunks, so that the threads meet rarely.
template <class Work, class Done>
void OrderedParallel(size_t n, int threads, const std::atomic<bool>& stop, Work work, Done done) {
    if (n == 0) return;
    constexpr size_t kChunk = 32;
    size_t chunks = (n + kChunk - 1) / kChunk;
    int count = std::max(1, std::min<int>(threads, static_cast<int>(std::min<size_t>(chunks, 64))));
    if (count == 1) {
        for (size_t i = 0; i < n && !stop; ++i) {
            work(i);
            done(i);
        }
        return;
    }
    std::atomic<size_t> next{0};
    std::vector<char> finished(chunks, 0);
    std::mutex lock;
    std::condition_variable ready;
    size_t left = 0;  // workers that have stopped
    std::vector<std::thread> pool;
    for (int t = 0; t < count; ++t)
        pool.emplace_back([&] {
            for (;;) {
                size_t c = next++;
                if (c >= chunks || stop) break;
                try {
                    for (size_t i = c * kChunk; i < std::min(n, (c + 1) * kChunk); ++i) work(i);
                } catch (...) {
                    // Out of memory: the rest of the chunk is left out, as unreadable files are.
                }
                std::lock_guard l(lock);
                finished[c] = 1;
                ready.notify_all();
            }
            std::lock_guard l(lock);
            ++left;
            ready.notify_all();
        });
    for (size_t c = 0; c < chunks; ++c) {
        {
            std::unique_lock l(lock);
            ready.wait(l, [&] { return finished[c] || left == pool.size(); });
            if (!finished[c]) break;
        }
        for (size_t i = c * kChunk; i < std::min(n, (c + 1) * kChunk); ++i) done(i);
    }
    for (auto& t : pool) t.join();
}

struct Probe {
    bool ok = false;
    uint32_t crc = 0;
    os::FileId id;
    Digest digest{};  // of small files, which the first read covers whole
};

Probe ProbeFile(os::Files& files, const TFound& f) {
    Probe p;
    auto h = files.OpenRead(f.path);
    if (!h || h->Size() < 0) return p;
    char buffer[kChecksumBytes];
    size_t want = static_cast<size_t>(std::min<int64_t>(f.size, kChecksumBytes));
    size_t got = 0;
    while (got < want) {
        int64_t r = h->Read(buffer + got, want - got);
        if (r <= 0) break;
        got += static_cast<size_t>(r);
    }
    if (got != want || want == 0) return p;
    p.crc = Crc32(buffer, got);
    p.id = h->Id();
    if (f.size <= kChecksumBytes) p.digest = Md5Of(buffer, got);
    p.ok = true;
    return p;
}

struct PairResult {
    bool readA = false, readB = false, equal = false;
    Digest digest{};
};

// Reads two files side by side; when their contents are equal the digest
// of the first is theirs.
PairResult ComparePair(os::Files& files, const std::string& a, const std::string& b,
                       const std::atomic<bool>& stop, bool hash = true) {
    PairResult r;
    auto ha = files.OpenRead(a), hb = files.OpenRead(b);
    r.readA = ha != nullptr;
    r.readB = hb != nullptr;
    if (!ha || !hb) return r;
    constexpr size_t kBuffer = 1 << 18;
    thread_local std::vector<char> bufA(kBuffer), bufB(kBuffer);
    auto fill = [](os::ReadHandle& h, std::vector<char>& buf) {
        size_t got = 0;
        while (got < buf.size()) {
            int64_t n = h.Read(buf.data() + got, buf.size() - got);
            if (n < 0) return int64_t(-1);
            if (n == 0) break;
            got += static_cast<size_t>(n);
        }
        return static_cast<int64_t>(got);
    };
    Md5 md5;
    for (;;) {
        if (stop) return r;
        int64_t na = fill(*ha, bufA), nb = fill(*hb, bufB);
        if (na < 0) r.readA = false;
        if (nb < 0) r.readB = false;
        if (na < 0 || nb < 0 || na != nb) return r;
        if (na == 0) break;
        if (std::memcmp(bufA.data(), bufB.data(), static_cast<size_t>(na)) != 0) return r;
        if (hash) md5.Update(bufA.data(), static_cast<size_t>(na));
    }
    r.equal = true;
    if (hash) r.digest = md5.Final();
    return r;
}

bool SameKey(const TFound& a, const TFound& b) {
    return a.checksum == b.checksum && a.size == b.size;
}

// Keeps the files that share a key with a neighbour in the sorted list.
template <class Same>
void KeepRuns(std::vector<TFound>& list, Same same) {
    std::vector<TFound> kept;
    kept.reserve(list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        bool prev = i > 0 && same(list[i - 1], list[i]);
        bool next = i + 1 < list.size() && same(list[i], list[i + 1]);
        if (prev || next) kept.push_back(std::move(list[i]));
    }
    list.swap(kept);
}

// Checksums of the files whose size another file shares; the rest never
// need to be opened. Files reached twice (same volume and file id) are kept
// once, or deleting "the copy" would delete the only one.
std::vector<TFound> Checksummed(DuplicatesContext& ctx, std::vector<TFound>& files) {
    std::vector<size_t> bySize(files.size());
    for (size_t i = 0; i < bySize.size(); ++i) bySize[i] = i;
    std::stable_sort(bySize.begin(), bySize.end(),
                     [&](size_t a, size_t b) { return files[a].size < files[b].size; });
    std::vector<size_t> wanted;
    for (size_t k = 0; k < bySize.size(); ++k) {
        int64_t size = files[bySize[k]].size;
        bool prev = k > 0 && files[bySize[k - 1]].size == size;
        bool next = k + 1 < bySize.size() && files[bySize[k + 1]].size == size;
        if (prev || next) wanted.push_back(bySize[k]);
    }
    std::vector<Probe> probes(wanted.size());
    OrderedParallel(
        wanted.size(), ctx.threads, ctx.stop,
        [&](size_t k) { probes[k] = ProbeFile(ctx.files, files[wanted[k]]); }, [](size_t) {});
    std::vector<size_t> kept;                     // indices into files
    std::set<std::pair<uint64_t, uint64_t>> ids;  // of the current size
    for (size_t k = 0; k < wanted.size(); ++k) {
        TFound& f = files[wanted[k]];
        if (k > 0 && files[wanted[k - 1]].size != f.size) ids.clear();
        const Probe& p = probes[k];
        if (!p.ok) continue;
        if (p.id.valid && !ids.insert({p.id.volume, p.id.file}).second) continue;
        f.checksum = p.crc;
        if (f.size <= kChecksumBytes) f.digest = p.digest;
        kept.push_back(wanted[k]);
    }
    // Back to the order found, which the stable sorts that follow keep among equals.
    std::sort(kept.begin(), kept.end());
    std::vector<TFound> out;
    out.reserve(kept.size());
    for (size_t i : kept) out.push_back(std::move(files[i]));
    files.clear();
    return out;
}

}  // namespace

void FindDuplicates(DuplicatesContext& ctx, std::vector<TFound>& files, std::vector<TFound>& groups,
                    uint32_t& candidateCount, uint32_t& duplicateCount) {
    candidateCount = duplicateCount = 0;
    if (ctx.stop) return;
    ctx.listener.Status(0, kStatusHashing);
    std::vector<TFound> c = Checksummed(ctx, files);
    if (ctx.stop) return;
    std::stable_sort(c.begin(), c.end(), [](const TFound& a, const TFound& b) {
        return a.checksum != b.checksum ? a.checksum < b.checksum : a.size < b.size;
    });
    KeepRuns(c, SameKey);
    candidateCount = static_cast<uint32_t>(c.size());
    uint64_t total = 0;
    for (const auto& f : c) total += static_cast<uint64_t>(f.size);
    ctx.listener.Status(static_cast<uint32_t>(total >> 32), kStatusHashTotalHigh);
    ctx.listener.Status(static_cast<uint32_t>(total), kStatusHashTotalLow);

    // Files of one checksum and size are compared with each other, each
    // against the first file of every content seen so far in the set; only
    // the first file of a content is hashed, while it is compared (equal
    // content, equal digest). A pair is thus read side by side, hashed once
    // and left at its first difference. Sets with many different contents
    // hash the rest file by file.
    std::vector<std::pair<size_t, size_t>> runs;  // first, length
    for (size_t k = 0; k < c.size(); ++k)
        if (k == 0 || !SameKey(c[k - 1], c[k]))
            runs.emplace_back(k, 1);
        else
            ++runs.back().second;
    std::vector<char> hashed(c.size(), 0);
    uint32_t i = 0;
    auto hashOne = [&](size_t k) {
        TFound& f = c[k];
        if (f.digest) {
            hashed[k] = 1;
            return;
        }
        Digest d{};
        bool ok = ctx.digest ? ctx.digest(f.path, d) : Md5OfFile(ctx.files, f.path, d, &ctx.stop);
        if (ok) f.digest = d;
        hashed[k] = ok;
    };
    auto sortRun = [&](size_t first, size_t length) {
        struct Content {
            size_t first;
            std::optional<Digest> digest;
            std::vector<size_t> files;
        };
        constexpr size_t kMaxContents = 4;
        std::vector<Content> contents;
        for (size_t k = first; k < first + length && !ctx.stop; ++k) {
            bool placed = false, readable = true;
            for (Content& seen : contents) {
                PairResult p =
                    ComparePair(ctx.files, c[seen.first].path, c[k].path, ctx.stop, !seen.digest);
                if (!p.readB) {
                    readable = false;
                    break;
                }
                if (!p.equal) continue;
                if (!seen.digest) seen.digest = p.digest;
                seen.files.push_back(k);
                placed = true;
                break;
            }
            hashed[k] = readable;
            if (!readable || placed) continue;
            if (contents.size() < kMaxContents)
                contents.push_back({k, std::nullopt, {k}});
            else
                hashOne(k);
        }
        for (const Content& seen : contents)
            if (seen.files.size() > 1 && seen.digest)
                for (size_t k : seen.files) c[k].digest = seen.digest;
    };
    OrderedParallel(
        runs.size(), ctx.threads, ctx.stop,
        [&](size_t r) {
            auto [first, length] = runs[r];
            if (c[first].digest)  // small files: digests taken with their checksums
                for (size_t k = first; k < first + length; ++k) hashOne(k);
            else
                sortRun(first, length);
        },
        [&](size_t r) {
            for (size_t k = runs[r].first; k < runs[r].first + runs[r].second; ++k) {
                disks::LogLine("=MSG Start calc MD5 for file \"" + c[k].path + "\"");
                if (!hashed[k]) continue;
                ++i;
                ctx.listener.Status(c[k].SizeHigh(), kStatusHashedSizeHigh);
                ctx.listener.Status(c[k].SizeLow(), kStatusHashedSizeLow);
                if (candidateCount < 200 || i % 10 == 0 || i < 20)
                    ctx.listener.Status(i, kStatusFileCount);
            }
        });
    if (ctx.stop) return;
    std::erase_if(c, [](const TFound& f) { return !f.digest; });
    std::stable_sort(c.begin(), c.end(),
                     [](const TFound& a, const TFound& b) { return *a.digest < *b.digest; });
    KeepRuns(c, [](const TFound& a, const TFound& b) { return *a.digest == *b.digest; });
    duplicateCount = static_cast<uint32_t>(c.size());
    groups = std::move(c);
    ctx.listener.Status(0, kStatusStoringResults);
}

}  // namespace scan
