// A small HTTP/1.1 server over the sockets of service/Socket.h: a thread per connection up to a cap
// (threads are kept for the next connection rather than started for each), bounded heads and
// bodies, and the reason phrase the handler chooses (the program shows it to the user, so it must
// say what went wrong).
//
// Under overload it stays fair: at the connection cap the connections that are idle, stuck
// writing an answer the client does not read, or slow to send their request, are closed
// first (408 for a request begun), taken from the client
// address that holds the most; only when none can go is the newcomer refused with 503,
// Retry-After and Connection: close, at a cost of a few system calls and no log line. Every
// such refusal, the handler's too, is held kRefusalDelay before it is sent.
#pragma once

#include "service/http/HttpMessage.h"
#include "service/http/Socket.h"
#include "service/http/TrustedProxies.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>

namespace tervane::service {

// How long a refusal of an overloaded service (503) is held before it is sent. A refused
// client that tries again at once (load generators and impatient scripts do, whatever
// Retry-After says) then comes back at a pace that leaves the CPU to the admitted work.
inline constexpr std::chrono::milliseconds kRefusalDelay{500};

struct ServerLimits {
    HeadLimits head;
    std::size_t maxBody = 64 * 1024;
    std::size_t maxConnections = 64;
    int headSeconds = 5;  // from a request's first byte to the end of its head
    int bodySeconds = 30; // from the end of the head to the end of the body
    int idleSeconds = 10; // for a request to begin on a new or kept-alive connection
    // An answer the client takes no byte of for this long ends the connection: a client
    // that never reads holds no thread for longer.
    int writeStallSeconds = 5;
    // Idle or sending its request for this long: closed first when a newcomer needs room.
    std::chrono::milliseconds evictableAfter{200};
};

// What the server tells the log.
struct ServerLog {
    std::function<void(const std::string&)> line; // each answer it gives itself (400, 408,
                                                  // 413), and a wait for its port
    std::function<void()> busy;                   // each newcomer refused at the cap (503)
    std::function<void()> closedForRoom;          // each connection closed to make room
};

class HttpServer {
  public:
    using Handler = std::function<HttpResponse(const HttpRequest&)>;

    HttpServer(ServerLimits limits, Handler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds and listens; gives the port listened on (port 0 takes a free one). With
    // loopbackOnly a host that is not loopback is refused (403) before anything is bound.
    // While a connection, not a listener, holds the port, it waits (a while, said in the
    // log) for the port to come free.
    Result<unsigned short> Bind(const std::string& host, unsigned short port, bool loopbackOnly);
    bool BoundToLoopback() const { return loopback_; }
    void SetLog(ServerLog log) { log_ = std::move(log); }
    // Behind these proxies a request's peer is the client they forward for.
    void SetTrustedProxies(TrustedProxies proxies) { proxies_ = std::move(proxies); }

    // Accepts until Stop(); then closes the listener and waits up to grace for the open
    // connections to answer the requests they hold and end (the drain). False when some had
    // not by then (their threads still use the handler).
    bool Run(std::chrono::milliseconds grace = std::chrono::milliseconds(500));
    void Stop();
    bool Stopping() const { return stopping_; }

  private:
    enum class Phase { Idle, Receiving, Handling, Writing };
    struct Connection {
        std::string address;
        Phase phase = Phase::Idle;
        std::chrono::steady_clock::time_point since;
        bool closedForRoom = false;
    };
    enum class Read { Data, Timeout, Closed };

    bool Admit(SocketHandle fd, std::string address);
    void Work(); // a worker thread: serves connections in turn
    bool MakeRoom(const std::string& newcomer);
    // Moves the connection to a phase; false when it was closed to make room meanwhile.
    bool Enter(SocketHandle fd, Phase phase);
    bool ClosedForRoom(SocketHandle fd);
    void ServeConnection(SocketHandle fd);
    // Waits for the first bytes of a request: false when none came within the idle time,
    // or none is on its way once the server is draining.
    bool AwaitRequest(SocketHandle fd, std::string& buffer);
    Read ReadMore(SocketHandle fd, std::string& buffer, int timeoutMs);
    // Sends all of data unless the client takes nothing for writeStallSeconds or, when the
    // connection is counted (evictable), it is closed to make room meanwhile.
    bool Write(SocketHandle fd, std::string_view data, bool evictable);
    void Refuse(SocketHandle fd, const Error& error);

    ServerLimits limits_;
    Handler handler_;
    ServerLog log_;
    TrustedProxies proxies_;
    SocketHandle listenFd_ = kNoSocket;
    bool loopback_ = true;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::condition_variable idle_;     // the last worker ended
    std::condition_variable work_;     // a connection waits for a worker, or stopping
    std::deque<SocketHandle> waiting_; // accepted connections not yet taken by a worker
    std::size_t workers_ = 0;
    std::size_t idleWorkers_ = 0;
    std::map<SocketHandle, Connection> open_; // connections counted against the cap, by socket
};

} // namespace tervane::service
