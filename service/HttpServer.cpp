#include "service/HttpServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace tervane::service {
namespace {

bool SendAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t sent = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

// After an early answer (413 before the body was read) the client may still be sending;
// closing at once would reset the connection and lose the answer. So stop writing, then
// read and drop what still comes, for a bounded time and amount, before closing.
void LingeringClose(int fd) {
    ::shutdown(fd, SHUT_WR);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    std::size_t dropped = 0;
    char sink[16 * 1024];
    while (dropped < 16u * 1024 * 1024) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        pollfd pfd{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&pfd, 1, static_cast<int>(left.count())) <= 0)
            return;
        const ssize_t got = ::recv(fd, sink, sizeof sink, 0);
        if (got <= 0)
            return;
        dropped += static_cast<std::size_t>(got);
    }
}

// No request waits on TCP's timers. A client that writes a request's head and body in two
// sends without TCP_NODELAY (WinHTTP under Wine does) holds the body back until the head is
// acknowledged, and Linux delays that acknowledgement by about 40 ms once a kept-alive
// connection looks interactive. So every read of a request is preceded by TCP_QUICKACK
// (Linux clears it again by itself, so it does not stay set), and the answer leaves at once
// (TCP_NODELAY, set here too so that the connection code has one place for both).
void AcknowledgeAtOnce(int fd) {
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
}

bool IsLoopback(const sockaddr* address) {
    if (address->sa_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(address);
        return (ntohl(v4->sin_addr.s_addr) >> 24) == 127;
    }
    if (address->sa_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
        return IN6_IS_ADDR_LOOPBACK(&v6->sin6_addr);
    }
    return false;
}

} // namespace

HttpServer::HttpServer(ServerLimits limits, Handler handler)
    : limits_(limits), handler_(std::move(handler)) {}

HttpServer::~HttpServer() {
    if (listenFd_ >= 0)
        ::close(listenFd_);
}

Result<unsigned short> HttpServer::Bind(const std::string& host, unsigned short port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found); rc != 0) {
        return Error{500, "cannot resolve " + host + ": " + ::gai_strerror(rc)};
    }
    std::string error = "no address for " + host;
    for (addrinfo* ai = found; ai != nullptr; ai = ai->ai_next) {
        const int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC, ai->ai_protocol);
        if (fd < 0)
            continue;
        const int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (::bind(fd, ai->ai_addr, ai->ai_addrlen) == 0 && ::listen(fd, 128) == 0) {
            sockaddr_storage bound{};
            socklen_t length = sizeof bound;
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
            const unsigned short boundPort = ntohs(
                bound.ss_family == AF_INET ? reinterpret_cast<sockaddr_in*>(&bound)->sin_port
                                           : reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port);
            loopback_ = IsLoopback(reinterpret_cast<sockaddr*>(&bound));
            listenFd_ = fd;
            ::freeaddrinfo(found);
            return boundPort;
        }
        error = "cannot listen on " + host + ":" + service + ": " + std::strerror(errno);
        ::close(fd);
    }
    ::freeaddrinfo(found);
    return Error{500, error};
}

void HttpServer::Stop() {
    stopping_ = true;
    if (listenFd_ >= 0)
        ::shutdown(listenFd_, SHUT_RDWR);
    std::lock_guard lock(mutex_);
    for (const int fd : openFds_)
        ::shutdown(fd, SHUT_RD);
}

void HttpServer::Run() {
    while (!stopping_) {
        pollfd pfd{listenFd_, POLLIN, 0};
        if (::poll(&pfd, 1, 500) <= 0)
            continue;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        {
            std::lock_guard lock(mutex_);
            if (connections_ >= limits_.maxConnections) {
                // Over the cap: say so at once rather than let the client wait for a thread.
                const Error busy{503, "Service busy: too many open connections"};
                SendAll(fd, SerializeResponse(ErrorResponse(busy), false));
                ::close(fd);
                continue;
            }
            ++connections_;
            openFds_.insert(fd);
        }
        std::thread([this, fd] {
            ServeConnection(fd);
            std::lock_guard lock(mutex_);
            openFds_.erase(fd);
            ::close(fd);
            if (--connections_ == 0)
                idle_.notify_all();
        }).detach();
    }
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return connections_ == 0; });
}

bool HttpServer::ReadMore(int fd, std::string& buffer, int timeoutMs) {
    AcknowledgeAtOnce(fd);
    pollfd pfd{fd, POLLIN, 0};
    const int ready = ::poll(&pfd, 1, timeoutMs);
    if (ready <= 0)
        return false;
    char chunk[16 * 1024];
    const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
    if (got <= 0)
        return false;
    buffer.append(chunk, static_cast<std::size_t>(got));
    return true;
}

void HttpServer::ServeConnection(int fd) {
    using std::chrono::milliseconds;
    using std::chrono::steady_clock;
    std::string buffer;
    const auto answerAndClose = [this, fd](const Error& error) {
        if (refusalLog_)
            refusalLog_("refused status=" + std::to_string(error.status) + " " + error.reason);
        SendAll(fd, SerializeResponse(ErrorResponse(error), false));
        LingeringClose(fd);
    };
    while (!stopping_) {
        // Wait for a request to begin (idle time), then for its whole head (request time).
        if (buffer.empty() && !ReadMore(fd, buffer, limits_.idleSeconds * 1000))
            return;
        const auto deadline = steady_clock::now() + std::chrono::seconds(limits_.requestSeconds);
        const auto remainingMs = [&] {
            const auto left =
                std::chrono::duration_cast<milliseconds>(deadline - steady_clock::now());
            return static_cast<int>(std::max<long long>(0, left.count()));
        };
        Result<std::optional<RequestHead>> head = ParseRequestHead(buffer, limits_.head);
        while (head.Ok() && !head.Value()) {
            if (!ReadMore(fd, buffer, remainingMs()))
                return;
            head = ParseRequestHead(buffer, limits_.head);
        }
        if (!head.Ok())
            return answerAndClose(head.Failure());
        HttpRequest& request = head.Value()->request;
        if (request.contentLength > limits_.maxBody) {
            // Refuse before reading: the body never enters memory.
            return answerAndClose(
                Error{413, "Request body too large: " + std::to_string(request.contentLength) +
                               " bytes, the limit is " + std::to_string(limits_.maxBody)});
        }
        buffer.erase(0, head.Value()->length);
        if (request.expectContinue && buffer.size() < request.contentLength &&
            !SendAll(fd, "HTTP/1.1 100 Continue\r\n\r\n")) {
            return;
        }
        while (buffer.size() < request.contentLength) {
            if (!ReadMore(fd, buffer, remainingMs())) {
                return answerAndClose(
                    Error{408, "Request body incomplete: fewer bytes than Content-Length"});
            }
        }
        request.body = buffer.substr(0, request.contentLength);
        buffer.erase(0, request.contentLength);
        const HttpResponse response = handler_(request);
        if (!SendAll(fd, SerializeResponse(response, request.keepAlive)) || !request.keepAlive) {
            return;
        }
    }
}

} // namespace tervane::service
