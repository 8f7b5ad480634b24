#include "service/http/Socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include "base/SystemError_win.h"
#include "service/http/SocketAddress.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <set>

namespace tervane::service {
namespace {

SOCKET Handle(SocketHandle socket) {
    return static_cast<SOCKET>(socket);
}

// Winsock's shutdown(SD_RECEIVE) does not wake a thread waiting to read, as POSIX's does,
// and it resets the connection when more data comes, which could lose the answer still to
// be sent. So reading is ended here alone: the sockets are remembered, waits look at them in
// slices, and a read of one finds the end of the stream.
std::mutex shutMutex;
std::set<SocketHandle> shutSockets;
constexpr int kWaitSliceMs = 100;

bool IsShut(SocketHandle socket) {
    std::lock_guard lock(shutMutex);
    return shutSockets.count(socket) != 0;
}

std::string SocketErrorText(int error) {
    return SystemErrorText(static_cast<DWORD>(error));
}

// Whether something accepts connections where a listener bound to ai's address would.
bool Listened(const addrinfo* ai) {
    const sockaddr_storage target = socket_address::Reachable(ai);
    const SOCKET socket = ::socket(target.ss_family, SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET)
        return true; // cannot tell: taken as a listener, so the failure is not waited out
    const bool accepted = ::connect(socket, reinterpret_cast<const sockaddr*>(&target),
                                    static_cast<int>(ai->ai_addrlen)) == 0;
    ::closesocket(socket);
    return accepted;
}

} // namespace

void StartSockets() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    (void)started; // a failure shows in the first socket call's error
}

Result<ListeningSocket> Listen(const std::string& host, unsigned short port, bool loopbackOnly) {
    StartSockets();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found); rc != 0)
        return Error{500, "cannot resolve " + host + ": " + SocketErrorText(rc)};
    if (loopbackOnly && !socket_address::AllLoopback(found)) {
        ::freeaddrinfo(found);
        return Error{403, host + " is not a loopback address; add --allow-remote to serve other "
                                 "machines"};
    }
    std::string error = "no address for " + host;
    bool held = false;
    for (addrinfo* ai = found; ai != nullptr; ai = ai->ai_next) {
        const SOCKET socket = WSASocketW(ai->ai_family, ai->ai_socktype, ai->ai_protocol, nullptr,
                                         0, WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
        if (socket == INVALID_SOCKET)
            continue;
        // Windows' SO_REUSEADDR would let another program take the port from under us;
        // exclusive use is the safe choice there.
        const BOOL one = TRUE;
        ::setsockopt(socket, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&one),
                     sizeof one);
        if (ai->ai_family == AF_INET6) {
            // As on Linux, [::] serves IPv4 clients too (as mapped addresses): Windows' IPv6
            // sockets take only IPv6 unless told otherwise.
            const DWORD off = 0;
            ::setsockopt(socket, IPPROTO_IPV6, IPV6_V6ONLY, reinterpret_cast<const char*>(&off),
                         sizeof off);
        }
        if (::bind(socket, ai->ai_addr, static_cast<int>(ai->ai_addrlen)) == 0 &&
            ::listen(socket, 128) == 0) {
            sockaddr_storage bound{};
            int length = sizeof bound;
            ::getsockname(socket, reinterpret_cast<sockaddr*>(&bound), &length);
            ::freeaddrinfo(found);
            return ListeningSocket{socket, socket_address::Port(bound),
                                   socket_address::IsLoopback(bound)};
        }
        const int failure = WSAGetLastError();
        error = "cannot listen on " + host + ":" + service + ": " + SocketErrorText(failure);
        ::closesocket(socket);
        held = failure == WSAEADDRINUSE && !Listened(ai);
    }
    ::freeaddrinfo(found);
    return Error{held ? kAddressHeld : 500, error};
}

SocketHandle Accept(SocketHandle listener, std::string& address) {
    // A shut listener reads as readable; accept would then wait for a newcomer for ever.
    if (IsShut(listener))
        return kNoSocket;
    sockaddr_storage peer{};
    int length = sizeof peer;
    const SOCKET socket = ::accept(Handle(listener), reinterpret_cast<sockaddr*>(&peer), &length);
    if (socket == INVALID_SOCKET)
        return kNoSocket;
    address = socket_address::Text(peer);
    return socket;
}

void AcknowledgeAtOnce(SocketHandle socket) {
    const BOOL one = TRUE;
    ::setsockopt(Handle(socket), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one),
                 sizeof one);
}

void MakeNonBlocking(SocketHandle socket) {
    u_long on = 1;
    ::ioctlsocket(Handle(socket), FIONBIO, &on);
}

long SendSome(SocketHandle socket, std::string_view data) {
    const int size = static_cast<int>(std::min<std::size_t>(data.size(), 1 << 20));
    const int sent = ::send(Handle(socket), data.data(), size, 0);
    if (sent == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK)
        return kWouldBlock;
    return sent;
}

long ReceiveSome(SocketHandle socket, char* buffer, std::size_t size) {
    if (IsShut(socket))
        return 0;
    return ::recv(Handle(socket), buffer, static_cast<int>(size), 0);
}

void ShutdownRead(SocketHandle socket) {
    std::lock_guard lock(shutMutex);
    shutSockets.insert(socket);
}

void ShutdownWrite(SocketHandle socket) {
    ::shutdown(Handle(socket), SD_SEND);
}

void CloseSocket(SocketHandle socket) {
    {
        std::lock_guard lock(shutMutex);
        shutSockets.erase(socket);
    }
    ::closesocket(Handle(socket));
}

int WaitReadable(std::vector<WaitEntry>& entries, int timeoutMs) {
    std::vector<WSAPOLLFD> fds;
    for (const WaitEntry& entry : entries)
        fds.push_back({Handle(entry.socket), POLLRDNORM, 0});
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    while (true) {
        int ready = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            entries[i].readable = IsShut(entries[i].socket);
            ready += entries[i].readable;
        }
        if (ready > 0)
            return ready;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        const int slice = static_cast<int>(std::clamp<long long>(left, 0, kWaitSliceMs));
        ready = ::WSAPoll(fds.data(), static_cast<ULONG>(fds.size()), slice);
        if (ready != 0 || left <= kWaitSliceMs) {
            for (std::size_t i = 0; i < entries.size(); ++i)
                entries[i].readable = ready > 0 && fds[i].revents != 0;
            return ready < 0 ? -1 : ready;
        }
    }
}

int WaitWritable(SocketHandle socket, int timeoutMs) {
    WSAPOLLFD fd{Handle(socket), POLLWRNORM, 0};
    const int ready = ::WSAPoll(&fd, 1, std::max(timeoutMs, 0));
    return ready < 0 ? -1 : ready;
}

} // namespace tervane::service
