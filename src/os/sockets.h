// A TCP client connection with time-outs: what the SMTP client needs of the
// network. Every wait is bounded by the caller's time-out.
#pragma once
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace os {

enum class NetStatus { Ok, TimedOut, Closed, Failed };

struct NetResult {
    NetStatus status = NetStatus::Ok;
    std::string error;  // readable text when not Ok
    bool Ok() const { return status == NetStatus::Ok; }
};

class TcpStream {
  public:
    virtual ~TcpStream() = default;  // closes the connection
    // Sends every byte, waiting at most timeout in all.
    virtual NetResult Send(std::string_view bytes, std::chrono::milliseconds timeout) = 0;
    // Waits at most timeout for data and appends what arrived (at most max
    // bytes) to out. Closed when the peer has closed the connection.
    virtual NetResult Receive(std::string& out, size_t max, std::chrono::milliseconds timeout) = 0;
    // The local end's address as an SMTP address literal: "[127.0.0.1]",
    // "[IPv6:::1]".
    virtual std::string LocalAddressLiteral() = 0;
};

class TcpConnector {
  public:
    virtual ~TcpConnector() = default;
    // Resolves host and connects to port, waiting at most timeout for the
    // connection; nothing and an error text when it fails.
    virtual std::unique_ptr<TcpStream> Connect(const std::string& host, uint16_t port,
                                               std::chrono::milliseconds timeout,
                                               std::string& error) = 0;
};

// The platform's sockets.
TcpConnector& SystemTcpConnector();

}  // namespace os
