// The few socket calls the HTTP server makes, over POSIX sockets (Socket_posix.cpp) and
// Winsock (Socket_win.cpp), so that one server serves on Linux and on Windows.
#pragma once

#include "service/core/Result.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tervane::service {

// A socket: a descriptor on POSIX, a SOCKET (an unsigned handle) on Windows.
using SocketHandle = std::uintptr_t;
inline constexpr SocketHandle kNoSocket = ~SocketHandle{0};

struct ListeningSocket {
    SocketHandle socket = kNoSocket;
    unsigned short port = 0; // the one bound (a free one when 0 was asked for)
    bool loopback = true;
};

// Starts the platform's socket library (Winsock) once; a no-op on POSIX.
void StartSockets();

// Resolves host and listens on the first of its addresses that can be bound. With
// loopbackOnly, a host that resolves to any address other than a loopback one is refused
// (403) before anything is bound. An address in use where nothing listens fails with
// kAddressHeld: a connection holds the port, and it goes when the connection has ended.
Result<ListeningSocket> Listen(const std::string& host, unsigned short port, bool loopbackOnly);

// The system gives ports of its ephemeral range (the default port among them) to outgoing
// connections too, and a closed connection keeps its port for a minute or two (TIME_WAIT).
inline constexpr int kAddressHeld = 409;

// A newcomer, and its address as text; kNoSocket when none could be taken.
SocketHandle Accept(SocketHandle listener, std::string& address);

// No request waits on TCP's timers: segments leave at once (TCP_NODELAY) and, where the
// system allows it (Linux's TCP_QUICKACK), the next read is acknowledged at once.
void AcknowledgeAtOnce(SocketHandle socket);

// Every connection's socket: no send waits on a client that does not read (the server waits
// for room with a deadline of its own, WaitWritable).
void MakeNonBlocking(SocketHandle socket);

// Bytes sent or received, 0 at the end of the stream, negative on failure (a write to a
// client that went away fails; it never ends the process). A send to a client whose window
// is full gives kWouldBlock.
inline constexpr long kWouldBlock = -2;
long SendSome(SocketHandle socket, std::string_view data);
long ReceiveSome(SocketHandle socket, char* buffer, std::size_t size);

// Ends reading: a thread waiting in WaitReadable on the socket wakes and reads its end (on a
// listener, Accept then gives kNoSocket).
void ShutdownRead(SocketHandle socket);
void ShutdownWrite(SocketHandle socket);
void CloseSocket(SocketHandle socket);

// Waits until one of the sockets has something to read (or its end); sets readable for
// each. Gives the number of ready sockets, 0 on time-out, negative on failure.
struct WaitEntry {
    SocketHandle socket = kNoSocket;
    bool readable = false;
};
int WaitReadable(std::vector<WaitEntry>& entries, int timeoutMs);

// Waits until the socket takes more data (or has failed): > 0 then, 0 on time-out.
int WaitWritable(SocketHandle socket, int timeoutMs);

} // namespace tervane::service
