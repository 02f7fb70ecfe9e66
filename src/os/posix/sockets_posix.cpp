#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "os/sockets.h"

namespace os {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

int RemainingMs(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 1 << 30));
}

std::string ErrnoText(int e) {
    return std::strerror(e);
}

// Waits for the events on fd until the deadline; 1 ready, 0 timed out, -1 failed.
int WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        int r = poll(&p, 1, RemainingMs(deadline));
        if (r < 0 && errno == EINTR) continue;
        return r < 0 ? -1 : (r == 0 ? 0 : 1);
    }
}

class PosixStream : public TcpStream {
  public:
    explicit PosixStream(int fd) : fd_(fd) {}
    ~PosixStream() override { close(fd_); }

    NetResult Send(std::string_view bytes, milliseconds timeout) override {
        auto deadline = Clock::now() + timeout;
        while (!bytes.empty()) {
            int w = WaitFor(fd_, POLLOUT, deadline);
            if (w == 0) return {NetStatus::TimedOut, "Write timed out."};
            if (w < 0) return {NetStatus::Failed, ErrnoText(errno)};
            ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n < 0) {
                if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
                return {NetStatus::Failed, ErrnoText(errno)};
            }
            bytes.remove_prefix(static_cast<size_t>(n));
        }
        return {};
    }

    NetResult Receive(std::string& out, size_t max, milliseconds timeout) override {
        auto deadline = Clock::now() + timeout;
        for (;;) {
            int w = WaitFor(fd_, POLLIN, deadline);
            if (w == 0) return {NetStatus::TimedOut, "Read timed out."};
            if (w < 0) return {NetStatus::Failed, ErrnoText(errno)};
            char buf[4096];
            ssize_t n = recv(fd_, buf, std::clamp<size_t>(max, 1, sizeof buf), 0);
            if (n < 0) {
                if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
                return {NetStatus::Failed, ErrnoText(errno)};
            }
            if (n == 0) return {NetStatus::Closed, "Connection closed gracefully."};
            out.append(buf, static_cast<size_t>(n));
            return {};
        }
    }

    std::string LocalAddressLiteral() override {
        sockaddr_storage addr{};
        socklen_t len = sizeof addr;
        char text[INET6_ADDRSTRLEN] = {};
        if (getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
            if (addr.ss_family == AF_INET &&
                inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(&addr)->sin_addr, text,
                          sizeof text))
                return std::string("[").append(text).append("]");
            if (addr.ss_family == AF_INET6 &&
                inet_ntop(AF_INET6, &reinterpret_cast<sockaddr_in6*>(&addr)->sin6_addr, text,
                          sizeof text))
                return std::string("[IPv6:").append(text).append("]");
        }
        return "[127.0.0.1]";
    }

  private:
    int fd_;
};

class PosixConnector : public TcpConnector {
  public:
    std::unique_ptr<TcpStream> Connect(const std::string& host, uint16_t port, milliseconds timeout,
                                       std::string& error) override {
        auto deadline = Clock::now() + timeout;
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        std::string service = std::to_string(port);
        int r = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
        if (r != 0) {
            error = "Host not found: " + host + " (" + gai_strerror(r) + ")";
            return nullptr;
        }
        error = "Connection failed.";
        std::unique_ptr<TcpStream> stream;
        for (addrinfo* a = found; a && !stream; a = a->ai_next) {
            int fd = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
            if (fd < 0) {
                error = ErrnoText(errno);
                continue;
            }
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
            fcntl(fd, F_SETFD, FD_CLOEXEC);
            if (connect(fd, a->ai_addr, a->ai_addrlen) == 0) {
                stream = std::make_unique<PosixStream>(fd);
                break;
            }
            if (errno != EINPROGRESS) {
                error = ErrnoText(errno);
                close(fd);
                continue;
            }
            int w = WaitFor(fd, POLLOUT, deadline);
            int soError = 0;
            socklen_t len = sizeof soError;
            if (w == 0) {
                error = "Connection timed out.";
            } else if (w < 0) {
                error = ErrnoText(errno);
            } else if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &len) != 0 || soError) {
                error = ErrnoText(soError ? soError : errno);
            } else {
                stream = std::make_unique<PosixStream>(fd);
                break;
            }
            close(fd);
        }
        freeaddrinfo(found);
        if (stream) error.clear();
        return stream;
    }
};

}  // namespace

TcpConnector& SystemTcpConnector() {
    static PosixConnector connector;
    return connector;
}

}  // namespace os
