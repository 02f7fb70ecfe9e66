#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <iterator>
#include <mutex>

#include "os/sockets.h"
#include "os/win32/wide.h"

namespace os {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using win32::Utf8;
using win32::Wide;

std::string WsaText(int code) {
    wchar_t* buf = nullptr;
    DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
    std::string text = n && buf ? Utf8(std::wstring_view(buf, n)) : std::string();
    if (buf) LocalFree(buf);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    if (text.empty()) text = "Socket error";
    return text + " (socket error " + std::to_string(code) + ")";
}

// Waits until the socket can be read (or written) or the deadline passes;
// 1 ready, 0 timed out, -1 failed.
int WaitFor(SOCKET s, bool write, Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
    long long us = std::max<long long>(0, left.count());
    timeval tv;
    tv.tv_sec = static_cast<long>(std::min<long long>(us / 1000000, 1 << 30));
    tv.tv_usec = static_cast<long>(us % 1000000);
    fd_set ready, failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(s, &ready);
    FD_SET(s, &failed);
    int r = select(0, write ? nullptr : &ready, write ? &ready : nullptr, &failed, &tv);
    if (r == SOCKET_ERROR) return -1;
    return r == 0 ? 0 : 1;
}

class WinsockStream : public TcpStream {
  public:
    explicit WinsockStream(SOCKET s) : s_(s) {}
    ~WinsockStream() override { closesocket(s_); }

    NetResult Send(std::string_view bytes, milliseconds timeout) override {
        auto deadline = Clock::now() + timeout;
        while (!bytes.empty()) {
            int w = WaitFor(s_, true, deadline);
            if (w == 0) return {NetStatus::TimedOut, "Write timed out."};
            if (w < 0) return {NetStatus::Failed, WsaText(WSAGetLastError())};
            int chunk = static_cast<int>(std::min<size_t>(bytes.size(), 1 << 20));
            int n = send(s_, bytes.data(), chunk, 0);
            if (n == SOCKET_ERROR) {
                int e = WSAGetLastError();
                if (e == WSAEWOULDBLOCK || e == WSAEINTR) continue;
                return {NetStatus::Failed, WsaText(e)};
            }
            bytes.remove_prefix(static_cast<size_t>(n));
        }
        return {};
    }

    NetResult Receive(std::string& out, size_t max, milliseconds timeout) override {
        auto deadline = Clock::now() + timeout;
        for (;;) {
            int w = WaitFor(s_, false, deadline);
            if (w == 0) return {NetStatus::TimedOut, "Read timed out."};
            if (w < 0) return {NetStatus::Failed, WsaText(WSAGetLastError())};
            char buf[4096];
            int n = recv(s_, buf, static_cast<int>(std::clamp<size_t>(max, 1, sizeof buf)), 0);
            if (n == SOCKET_ERROR) {
                int e = WSAGetLastError();
                if (e == WSAEWOULDBLOCK || e == WSAEINTR) continue;
                return {NetStatus::Failed, WsaText(e)};
            }
            if (n == 0) return {NetStatus::Closed, "Connection closed gracefully."};
            out.append(buf, static_cast<size_t>(n));
            return {};
        }
    }

    std::string LocalAddressLiteral() override {
        sockaddr_storage addr{};
        int len = sizeof addr;
        wchar_t text[INET6_ADDRSTRLEN + 8] = {};
        DWORD size = static_cast<DWORD>(std::size(text));
        if (getsockname(s_, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
            // The port must not be part of the literal.
            if (addr.ss_family == AF_INET) reinterpret_cast<sockaddr_in*>(&addr)->sin_port = 0;
            if (addr.ss_family == AF_INET6) reinterpret_cast<sockaddr_in6*>(&addr)->sin6_port = 0;
            if (WSAAddressToStringW(reinterpret_cast<sockaddr*>(&addr), static_cast<DWORD>(len),
                                    nullptr, text, &size) == 0) {
                std::string a = Utf8(text);
                if (addr.ss_family == AF_INET6) {
                    if (!a.empty() && a.front() == '[') a = a.substr(1, a.find(']') - 1);
                    return "[IPv6:" + a + "]";
                }
                return "[" + a + "]";
            }
        }
        return "[127.0.0.1]";
    }

  private:
    SOCKET s_;
};

class WinsockConnector : public TcpConnector {
  public:
    std::unique_ptr<TcpStream> Connect(const std::string& host, uint16_t port, milliseconds timeout,
                                       std::string& error) override {
        static std::once_flag started;
        std::call_once(started, [] {
            // Kept for the life of the process.
            WSADATA data;
            WSAStartup(MAKEWORD(2, 2), &data);
        });
        auto deadline = Clock::now() + timeout;
        ADDRINFOW hints = {};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_protocol = IPPROTO_TCP;
        ADDRINFOW* found = nullptr;
        std::wstring service = std::to_wstring(port);
        int r = GetAddrInfoW(Wide(host).c_str(), service.c_str(), &hints, &found);
        if (r != 0) {
            error = "Host not found: " + host + ". " + WsaText(r);
            return nullptr;
        }
        error = "Connection failed.";
        std::unique_ptr<TcpStream> stream;
        for (ADDRINFOW* a = found; a && !stream; a = a->ai_next) {
            SOCKET s = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
            if (s == INVALID_SOCKET) {
                error = WsaText(WSAGetLastError());
                continue;
            }
            u_long nonBlocking = 1;
            ioctlsocket(s, FIONBIO, &nonBlocking);
            if (connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) == 0) {
                stream = std::make_unique<WinsockStream>(s);
                break;
            }
            int e = WSAGetLastError();
            if (e != WSAEWOULDBLOCK) {
                error = WsaText(e);
                closesocket(s);
                continue;
            }
            int w = WaitFor(s, true, deadline);
            int soError = 0;
            int len = sizeof soError;
            getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &len);
            if (w == 0) {
                error = "Connection timed out.";
            } else if (w < 0 || soError) {
                error = WsaText(soError ? soError : WSAGetLastError());
            } else {
                stream = std::make_unique<WinsockStream>(s);
                break;
            }
            closesocket(s);
        }
        FreeAddrInfoW(found);
        if (stream) error.clear();
        return stream;
    }
};

}  // namespace

TcpConnector& SystemTcpConnector() {
    static WinsockConnector connector;
    return connector;
}

}  // namespace os
