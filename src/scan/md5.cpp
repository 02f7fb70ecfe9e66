#include "scan/md5.h"

#include <cstring>
#include <vector>

#include "os/files.h"

namespace scan {

namespace {
constexpr uint32_t kK[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};
inline uint32_t Rotl(uint32_t x, int c) {
    return (x << c) | (x >> (32 - c));
}
}  // namespace

Md5::Md5() : a_(0x67452301), b_(0xefcdab89), c_(0x98badcfe), d_(0x10325476) {}

// The four round functions, one step each; the rounds are written out so
// that the compiler keeps every word in a register.
#define ZM_MD5_STEP(f, a, b, c, d, x, t, s) \
    a += f(b, c, d) + (x) + (t);            \
    a = Rotl(a, s) + b
#define ZM_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define ZM_G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define ZM_H(x, y, z) ((x) ^ (y) ^ (z))
#define ZM_I(x, y, z) ((y) ^ ((x) | ~(z)))
#define StepF(a, b, c, d, x, t, s) ZM_MD5_STEP(ZM_F, a, b, c, d, x, t, s)
#define StepG(a, b, c, d, x, t, s) ZM_MD5_STEP(ZM_G, a, b, c, d, x, t, s)
#define StepH(a, b, c, d, x, t, s) ZM_MD5_STEP(ZM_H, a, b, c, d, x, t, s)
#define StepI(a, b, c, d, x, t, s) ZM_MD5_STEP(ZM_I, a, b, c, d, x, t, s)

void Md5::Block(const uint8_t* p) {
    uint32_t m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = uint32_t(p[i * 4]) | uint32_t(p[i * 4 + 1]) << 8 | uint32_t(p[i * 4 + 2]) << 16 |
               uint32_t(p[i * 4 + 3]) << 24;
    uint32_t a = a_, b = b_, c = c_, d = d_;
    StepF(a, b, c, d, m[0], kK[0], 7);
    StepF(d, a, b, c, m[1], kK[1], 12);
    StepF(c, d, a, b, m[2], kK[2], 17);
    StepF(b, c, d, a, m[3], kK[3], 22);
    StepF(a, b, c, d, m[4], kK[4], 7);
    StepF(d, a, b, c, m[5], kK[5], 12);
    StepF(c, d, a, b, m[6], kK[6], 17);
    StepF(b, c, d, a, m[7], kK[7], 22);
    StepF(a, b, c, d, m[8], kK[8], 7);
    StepF(d, a, b, c, m[9], kK[9], 12);
    StepF(c, d, a, b, m[10], kK[10], 17);
    StepF(b, c, d, a, m[11], kK[11], 22);
    StepF(a, b, c, d, m[12], kK[12], 7);
    StepF(d, a, b, c, m[13], kK[13], 12);
    StepF(c, d, a, b, m[14], kK[14], 17);
    StepF(b, c, d, a, m[15], kK[15], 22);
    StepG(a, b, c, d, m[1], kK[16], 5);
    StepG(d, a, b, c, m[6], kK[17], 9);
    StepG(c, d, a, b, m[11], kK[18], 14);
    StepG(b, c, d, a, m[0], kK[19], 20);
    StepG(a, b, c, d, m[5], kK[20], 5);
    StepG(d, a, b, c, m[10], kK[21], 9);
    StepG(c, d, a, b, m[15], kK[22], 14);
    StepG(b, c, d, a, m[4], kK[23], 20);
    StepG(a, b, c, d, m[9], kK[24], 5);
    StepG(d, a, b, c, m[14], kK[25], 9);
    StepG(c, d, a, b, m[3], kK[26], 14);
    StepG(b, c, d, a, m[8], kK[27], 20);
    StepG(a, b, c, d, m[13], kK[28], 5);
    StepG(d, a, b, c, m[2], kK[29], 9);
    StepG(c, d, a, b, m[7], kK[30], 14);
    StepG(b, c, d, a, m[12], kK[31], 20);
    StepH(a, b, c, d, m[5], kK[32], 4);
    StepH(d, a, b, c, m[8], kK[33], 11);
    StepH(c, d, a, b, m[11], kK[34], 16);
    StepH(b, c, d, a, m[14], kK[35], 23);
    StepH(a, b, c, d, m[1], kK[36], 4);
    StepH(d, a, b, c, m[4], kK[37], 11);
    StepH(c, d, a, b, m[7], kK[38], 16);
    StepH(b, c, d, a, m[10], kK[39], 23);
    StepH(a, b, c, d, m[13], kK[40], 4);
    StepH(d, a, b, c, m[0], kK[41], 11);
    StepH(c, d, a, b, m[3], kK[42], 16);
    StepH(b, c, d, a, m[6], kK[43], 23);
    StepH(a, b, c, d, m[9], kK[44], 4);
    StepH(d, a, b, c, m[12], kK[45], 11);
    StepH(c, d, a, b, m[15], kK[46], 16);
    StepH(b, c, d, a, m[2], kK[47], 23);
    StepI(a, b, c, d, m[0], kK[48], 6);
    StepI(d, a, b, c, m[7], kK[49], 10);
    StepI(c, d, a, b, m[14], kK[50], 15);
    StepI(b, c, d, a, m[5], kK[51], 21);
    StepI(a, b, c, d, m[12], kK[52], 6);
    StepI(d, a, b, c, m[3], kK[53], 10);
    StepI(c, d, a, b, m[10], kK[54], 15);
    StepI(b, c, d, a, m[1], kK[55], 21);
    StepI(a, b, c, d, m[8], kK[56], 6);
    StepI(d, a, b, c, m[15], kK[57], 10);
    StepI(c, d, a, b, m[6], kK[58], 15);
    StepI(b, c, d, a, m[13], kK[59], 21);
    StepI(a, b, c, d, m[4], kK[60], 6);
    StepI(d, a, b, c, m[11], kK[61], 10);
    StepI(c, d, a, b, m[2], kK[62], 15);
    StepI(b, c, d, a, m[9], kK[63], 21);
    a_ += a;
    b_ += b;
    c_ += c;
    d_ += d;
}

#undef StepF
#undef StepG
#undef StepH
#undef StepI
#undef ZM_F
#undef ZM_G
#undef ZM_H
#undef ZM_I
#undef ZM_MD5_STEP

void Md5::Update(const void* data, size_t n) {
    const auto* p = static_cast<const uint8_t*>(data);
    length_ += n;
    if (used_) {
        size_t take = std::min(n, 64 - used_);
        std::memcpy(buffer_ + used_, p, take);
        used_ += take;
        p += take;
        n -= take;
        if (used_ < 64) return;
        Block(buffer_);
        used_ = 0;
    }
    for (; n >= 64; p += 64, n -= 64) Block(p);
    std::memcpy(buffer_, p, n);
    used_ = n;
}

Digest Md5::Final() {
    uint64_t bits = length_ * 8;
    uint8_t pad[72] = {0x80};
    size_t padLen = (used_ < 56) ? 56 - used_ : 120 - used_;
    Update(pad, padLen);
    uint8_t len[8];
    for (int i = 0; i < 8; ++i) len[i] = static_cast<uint8_t>(bits >> (8 * i));
    Update(len, 8);
    Digest out;
    uint32_t words[4] = {a_, b_, c_, d_};
    for (int i = 0; i < 16; ++i) out[i] = static_cast<uint8_t>(words[i / 4] >> (8 * (i % 4)));
    return out;
}

Digest Md5Of(const void* data, size_t n) {
    Md5 m;
    m.Update(data, n);
    return m.Final();
}

std::string DigestHex(const Digest& d) {
    static const char* hex = "0123456789abcdef";
    std::string s;
    for (uint8_t b : d) {
        s += hex[b >> 4];
        s += hex[b & 15];
    }
    return s;
}

bool Md5OfFile(os::Files& files, const std::string& path, Digest& out,
               const std::atomic<bool>* stop) {
    auto h = files.OpenRead(path);
    if (!h) return false;
    int64_t size = h->Size();
    if (size < 0) return false;
    thread_local std::vector<char> buffer(1 << 18);
    Md5 m;
    int64_t done = 0;
    for (;;) {
        if (stop && *stop) return false;
        int64_t n = h->Read(buffer.data(), buffer.size());
        if (n < 0) return false;
        if (n == 0) break;
        m.Update(buffer.data(), static_cast<size_t>(n));
        done += n;
    }
    out = m.Final();
    return done == size;
}

}  // namespace scan
