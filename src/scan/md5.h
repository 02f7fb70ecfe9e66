// MD5 (RFC 1321): the duplicate finder's whole-file digest.
#pragma once
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

namespace os {
class Files;
}

namespace scan {

using Digest = std::array<uint8_t, 16>;

class Md5 {
public:
    Md5();
    void Update(const void* data, size_t n);
    Digest Final();

private:
    void Block(const uint8_t* p);
    uint32_t a_, b_, c_, d_;
    uint64_t length_ = 0;
    uint8_t buffer_[64];
    size_t used_ = 0;
};

Digest Md5Of(const void* data, size_t n);
std::string DigestHex(const Digest& d);

// Digest of a file's content, read through the file interface (which keeps
// the last access time); false when it cannot be read to its end or stop
// was raised meanwhile.
bool Md5OfFile(os::Files& files, const std::string& path, Digest& out,
               const std::atomic<bool>* stop = nullptr);

}  // namespace scan
