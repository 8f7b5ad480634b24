#include "service/http/Socket.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "service/http/SocketAddress.h"

namespace tervane::service {
namespace {

int Fd(SocketHandle socket) {
    return static_cast<int>(socket);
}

// Whether something accepts connections where a listener bound to ai's address would.
// The port is in the range connections take theirs from: once it is free, the probe itself
// may be given it and connect to itself. That is no listener, and its close is a reset, so
// that no TIME_WAIT of the probe's holds the port for another minute.
bool Listened(const addrinfo* ai) {
    const sockaddr_storage target = socket_address::Reachable(ai);
    const int fd = ::socket(target.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return true; // cannot tell: taken as a listener, so the failure is not waited out
    bool accepted = ::connect(fd, reinterpret_cast<const sockaddr*>(&target), ai->ai_addrlen) == 0;
    if (accepted) {
        sockaddr_storage own{};
        socklen_t length = sizeof own;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&own), &length);
        accepted = socket_address::Port(own) != socket_address::Port(target);
    }
    const linger reset{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    ::close(fd);
    return accepted;
}

} // namespace

void StartSockets() {}

Result<ListeningSocket> Listen(const std::string& host, unsigned short port, bool loopbackOnly) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found); rc != 0)
        return Error{500, "cannot resolve " + host + ": " + ::gai_strerror(rc)};
    if (loopbackOnly && !socket_address::AllLoopback(found)) {
        ::freeaddrinfo(found);
        return Error{403, host + " is not a loopback address; add --allow-remote to serve other "
                                 "machines"};
    }
    std::string error = "no address for " + host;
    bool held = false;
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
            ::freeaddrinfo(found);
            return ListeningSocket{static_cast<SocketHandle>(fd), socket_address::Port(bound),
                                   socket_address::IsLoopback(bound)};
        }
        const int failure = errno;
        error = "cannot listen on " + host + ":" + service + ": " + std::strerror(failure);
        ::close(fd);
        held = failure == EADDRINUSE && !Listened(ai);
    }
    ::freeaddrinfo(found);
    return Error{held ? kAddressHeld : 500, error};
}

SocketHandle Accept(SocketHandle listener, std::string& address) {
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    const int fd =
        ::accept4(Fd(listener), reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
    if (fd < 0)
        return kNoSocket;
    address = socket_address::Text(peer);
    return static_cast<SocketHandle>(fd);
}

// A client that writes a request's head and body in two sends without TCP_NODELAY (WinHTTP
// under Wine does) holds the body back until the head is acknowledged, and Linux delays that
// acknowledgement by about 40 ms once a kept-alive connection looks interactive. So every
// read of a request is preceded by TCP_QUICKACK (Linux clears it again by itself, so it does
// not stay set), and the answer leaves at once (TCP_NODELAY).
void AcknowledgeAtOnce(SocketHandle socket) {
    const int one = 1;
    ::setsockopt(Fd(socket), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::setsockopt(Fd(socket), IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
}

void MakeNonBlocking(SocketHandle socket) {
    ::fcntl(Fd(socket), F_SETFL, ::fcntl(Fd(socket), F_GETFL) | O_NONBLOCK);
}

long SendSome(SocketHandle socket, std::string_view data) {
    ssize_t sent;
    do {
        sent = ::send(Fd(socket), data.data(), data.size(), MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
        return kWouldBlock;
    return static_cast<long>(sent);
}

long ReceiveSome(SocketHandle socket, char* buffer, std::size_t size) {
    ssize_t got;
    do {
        got = ::recv(Fd(socket), buffer, size, 0);
    } while (got < 0 && errno == EINTR);
    return static_cast<long>(got);
}

void ShutdownRead(SocketHandle socket) {
    ::shutdown(Fd(socket), SHUT_RD);
}

void ShutdownWrite(SocketHandle socket) {
    ::shutdown(Fd(socket), SHUT_WR);
}

void CloseSocket(SocketHandle socket) {
    ::close(Fd(socket));
}

int WaitReadable(std::vector<WaitEntry>& entries, int timeoutMs) {
    std::vector<pollfd> fds;
    for (const WaitEntry& entry : entries)
        fds.push_back({Fd(entry.socket), POLLIN, 0});
    const int ready = ::poll(fds.data(), fds.size(), timeoutMs);
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i].readable = ready > 0 && fds[i].revents != 0;
    return ready;
}

int WaitWritable(SocketHandle socket, int timeoutMs) {
    pollfd fd{Fd(socket), POLLOUT, 0};
    int ready = 0;
    while ((ready = ::poll(&fd, 1, timeoutMs)) < 0 && errno == EINTR) {
    }
    return ready;
}

} // namespace tervane::service
