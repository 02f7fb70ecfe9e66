#include "os/files.h"

namespace os {

bool ReadWholeFile(Files& files, const std::string& path, std::string& out, int64_t limit) {
    out.clear();
    auto h = files.OpenRead(path);
    if (!h) return false;
    int64_t size = h->Size();
    if (size < 0 || size > limit) return false;
    out.resize(static_cast<size_t>(size));
    size_t done = 0;
    while (done < out.size()) {
        int64_t n = h->Read(out.data() + done, out.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    out.resize(done);
    return done == static_cast<size_t>(size);
}

bool WriteWholeFile(Files& files, const std::string& path, std::string_view bytes) {
    auto w = files.Create(path);
    if (!w) return false;
    bool ok = w->Write(bytes);
    return w->Close() && ok;
}

bool BufferedWriteHandle::Write(std::string_view bytes) {
    if (closed_) return false;
    if (buffer_.size() + bytes.size() > kBuffer) {
        if (!Flush()) return false;
        if (bytes.size() > kBuffer) return ok_ = WriteRaw(bytes) && ok_;
    }
    buffer_.append(bytes);
    return true;
}

bool BufferedWriteHandle::Close() {
    if (closed_) return ok_;
    closed_ = true;
    if (!Flush()) ok_ = false;
    if (!CloseRaw()) ok_ = false;
    return ok_;
}

bool BufferedWriteHandle::Flush() {
    bool ok = WriteRaw(buffer_);
    buffer_.clear();
    if (!ok) ok_ = false;
    return ok;
}

}  // namespace os
