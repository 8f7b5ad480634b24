#include "service/http/HttpServer.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <thread>
#include <vector>

namespace tervane::service {
namespace {

// How long a writer waits for room at most before it looks whether its connection was
// closed to make room.
constexpr int kWriteSliceMs = 250;
constexpr int kDrainSliceMs = 250;

// After an early answer (413 before the body was read) the client may still be sending;
// closing at once would reset the connection and lose the answer. So stop writing, then
// read and drop what still comes, for a bounded time and amount, before closing.
void LingeringClose(SocketHandle fd) {
    ShutdownWrite(fd);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    std::size_t dropped = 0;
    char sink[16 * 1024];
    while (dropped < 16u * 1024 * 1024) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        std::vector<WaitEntry> wait{{fd}};
        if (left.count() <= 0 || WaitReadable(wait, static_cast<int>(left.count())) <= 0)
            return;
        const long got = ReceiveSome(fd, sink, sizeof sink);
        if (got <= 0)
            return;
        dropped += static_cast<std::size_t>(got);
    }
}

int MillisecondsLeft(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

// Sockets refused at the connection cap, held by the accepting thread. Each is answered
// after kRefusalDelay (a client that retries at once then does so at a pace that leaves the
// CPU to the admitted work) and then kept open for a moment so that the request the client
// is still sending is read and dropped: closing at once would reset the connection and
// could lose the answer.
class ClosingSockets {
  public:
    explicit ClosingSockets(std::string answer) : answer_(std::move(answer)) {}
    void Add(SocketHandle fd) {
        MakeNonBlocking(fd);
        if (sockets_.size() >= kMax) {
            CloseSocket(sockets_.front().fd);
            sockets_.erase(sockets_.begin());
        }
        sockets_.push_back({fd, std::chrono::steady_clock::now() + kRefusalDelay, false});
    }
    // Appends those answered to a poll set; gives the poll time-out to use.
    int AddToPoll(std::vector<WaitEntry>& fds, int timeoutMs) const {
        for (const Socket& socket : sockets_) {
            if (socket.answered)
                fds.push_back({socket.fd});
            timeoutMs = std::min(timeoutMs, MillisecondsLeft(socket.until));
        }
        return timeoutMs;
    }
    // Answers those whose time came; closes those at their end or past their time. fds
    // holds the answered ones from `first` on, in the order AddToPoll put them.
    void Service(const std::vector<WaitEntry>& fds, std::size_t first) {
        const auto now = std::chrono::steady_clock::now();
        char sink[4096];
        std::size_t next = first;
        std::erase_if(sockets_, [&](Socket& socket) {
            const bool polled =
                socket.answered && next < fds.size() && fds[next].socket == socket.fd;
            const bool readable = polled && fds[next].readable;
            next += polled;
            if (!socket.answered) {
                if (socket.until > now)
                    return false;
                SendSome(socket.fd, answer_);
                ShutdownWrite(socket.fd);
                socket.answered = true;
                socket.until = now + std::chrono::seconds(1);
                return false;
            }
            bool done = socket.until <= now;
            if (!done && readable)
                done = ReceiveSome(socket.fd, sink, sizeof sink) <= 0;
            if (done)
                CloseSocket(socket.fd);
            return done;
        });
    }
    ~ClosingSockets() {
        for (const Socket& socket : sockets_)
            CloseSocket(socket.fd);
    }

  private:
    struct Socket {
        SocketHandle fd;
        std::chrono::steady_clock::time_point until; // to answer, then to close
        bool answered;
    };
    static constexpr std::size_t kMax = 512;
    std::string answer_;
    std::vector<Socket> sockets_;
};

// A closed connection holds its port for a minute on Linux, for up to two on Windows.
constexpr std::chrono::seconds kHeldAddressWait{120};

} // namespace

HttpServer::HttpServer(ServerLimits limits, Handler handler)
    : limits_(limits), handler_(std::move(handler)) {}

HttpServer::~HttpServer() {
    if (listenFd_ != kNoSocket)
        CloseSocket(listenFd_);
}

Result<unsigned short> HttpServer::Bind(const std::string& host, unsigned short port,
                                        bool loopbackOnly) {
    Result<ListeningSocket> listening = Listen(host, port, loopbackOnly);
    if (!listening.Ok() && listening.Failure().status == kAddressHeld) {
        if (log_.line)
            log_.line(listening.Failure().reason + "; a connection holds the port: waiting up to " +
                      std::to_string(kHeldAddressWait.count()) + " s for it to end");
        const auto giveUp = std::chrono::steady_clock::now() + kHeldAddressWait;
        while (!listening.Ok() && listening.Failure().status == kAddressHeld &&
               std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            listening = Listen(host, port, loopbackOnly);
        }
    }
    if (!listening.Ok())
        return listening.Failure();
    listenFd_ = listening.Value().socket;
    loopback_ = listening.Value().loopback;
    return listening.Value().port;
}

// Draining: no connection is accepted any more, and a connection ends once it has no
// request begun; every request already sent is read, handled and answered.
void HttpServer::Stop() {
    stopping_ = true;
    if (listenFd_ != kNoSocket)
        ShutdownRead(listenFd_);
    std::lock_guard lock(mutex_);
    work_.notify_all();
}

bool HttpServer::Run(std::chrono::milliseconds grace) {
    ClosingSockets closing(SerializeResponse(
        BusyResponse("Service busy: too many open connections, try again"), false));
    std::vector<WaitEntry> fds;
    while (!stopping_) {
        fds.assign(1, WaitEntry{listenFd_});
        const int timeout = closing.AddToPoll(fds, 500);
        const int ready = WaitReadable(fds, timeout);
        closing.Service(fds, 1);
        if (ready <= 0 || !fds[0].readable)
            continue;
        std::string address;
        const SocketHandle fd = Accept(listenFd_, address);
        if (fd == kNoSocket)
            continue;
        if (!Admit(fd, std::move(address))) {
            // Refused at the cap: a few system calls, counted, not logged line by line.
            closing.Add(fd);
            if (log_.busy)
                log_.busy();
        }
    }
    // New connections are refused from here on, not left waiting in the backlog.
    CloseSocket(listenFd_);
    listenFd_ = kNoSocket;
    std::unique_lock lock(mutex_);
    work_.notify_all();
    return idle_.wait_for(lock, grace, [this] { return workers_ == 0; });
}

bool HttpServer::Admit(SocketHandle fd, std::string address) {
    std::lock_guard lock(mutex_);
    if (open_.size() >= limits_.maxConnections && !MakeRoom(address))
        return false;
    MakeNonBlocking(fd);
    open_[fd] = Connection{std::move(address), Phase::Idle, std::chrono::steady_clock::now()};
    waiting_.push_back(fd);
    if (waiting_.size() <= idleWorkers_) {
        work_.notify_one();
        return true;
    }
    try {
        std::thread([this] { Work(); }).detach();
        ++workers_;
    } catch (const std::system_error&) {
        // No thread to be had: the connection waits for one to come free.
    }
    return true;
}

void HttpServer::Work() {
    std::unique_lock lock(mutex_);
    while (true) {
        ++idleWorkers_;
        // A worker left idle for a while ends; a busy spell starts new ones.
        const bool got = work_.wait_for(lock, std::chrono::seconds(30),
                                        [this] { return !waiting_.empty() || stopping_; });
        --idleWorkers_;
        if (!got || waiting_.empty())
            break;
        const SocketHandle fd = waiting_.front();
        waiting_.pop_front();
        lock.unlock();
        ServeConnection(fd); // also while draining: its request may be on its way
        lock.lock();
        open_.erase(fd);
        CloseSocket(fd);
    }
    if (--workers_ == 0)
        idle_.notify_all();
}

bool HttpServer::MakeRoom(const std::string& newcomer) {
    // Room is taken from the address that holds the most connections (the newcomer's own
    // when it is that one), so each client keeps a fair share; within it, from the
    // connection idle longest (one stuck writing an answer its client does not read counts
    // as idle since its last progress), else from the one sending its request longest.
    std::map<std::string, std::size_t> held{{newcomer, 1}};
    for (const auto& entry : open_)
        ++held[entry.second.address];
    std::vector<std::pair<std::size_t, std::string>> heaviest;
    for (const auto& [address, count] : held)
        heaviest.emplace_back(count, address);
    std::sort(heaviest.begin(), heaviest.end(), std::greater<>());
    const auto now = std::chrono::steady_clock::now();
    for (const auto& [count, address] : heaviest) {
        auto victim = open_.end();
        for (auto it = open_.begin(); it != open_.end(); ++it) {
            const Connection& c = it->second;
            if (c.address != address || c.phase == Phase::Handling ||
                now - c.since < limits_.evictableAfter) {
                continue;
            }
            if (victim == open_.end() ||
                std::make_pair(c.phase == Phase::Receiving, c.since) <
                    std::make_pair(victim->second.phase == Phase::Receiving,
                                   victim->second.since)) {
                victim = it;
            }
        }
        if (victim != open_.end()) {
            // Its thread wakes to a closed reading side (or, writing, looks within a slice),
            // finds itself gone from open_, and answers 408 if a request had begun.
            ShutdownRead(victim->first);
            open_.erase(victim);
            if (log_.closedForRoom)
                log_.closedForRoom();
            return true;
        }
    }
    return false;
}

bool HttpServer::Enter(SocketHandle fd, Phase phase) {
    std::lock_guard lock(mutex_);
    const auto it = open_.find(fd);
    if (it == open_.end())
        return false;
    it->second.phase = phase;
    it->second.since = std::chrono::steady_clock::now();
    return true;
}

bool HttpServer::ClosedForRoom(SocketHandle fd) {
    std::lock_guard lock(mutex_);
    return !stopping_ && open_.find(fd) == open_.end();
}

// In slices, so that an idle connection ends soon after the drain begins, while one
// whose request is already on its way is still served.
bool HttpServer::AwaitRequest(SocketHandle fd, std::string& buffer) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(limits_.idleSeconds);
    while (true) {
        const int left = MillisecondsLeft(deadline);
        if (left == 0)
            return false;
        const Read read = ReadMore(fd, buffer, std::min(left, kDrainSliceMs));
        if (read != Read::Timeout)
            return read == Read::Data;
        if (stopping_)
            return false;
    }
}

HttpServer::Read HttpServer::ReadMore(SocketHandle fd, std::string& buffer, int timeoutMs) {
    AcknowledgeAtOnce(fd);
    std::vector<WaitEntry> wait{{fd}};
    const int ready = WaitReadable(wait, timeoutMs);
    if (ready == 0)
        return Read::Timeout;
    if (ready < 0)
        return Read::Closed;
    char chunk[16 * 1024];
    const long got = ReceiveSome(fd, chunk, sizeof chunk);
    if (got <= 0)
        return Read::Closed;
    buffer.append(chunk, static_cast<std::size_t>(got));
    return Read::Data;
}

bool HttpServer::Write(SocketHandle fd, std::string_view data, bool evictable) {
    using std::chrono::steady_clock;
    const auto stall = std::chrono::seconds(limits_.writeStallSeconds);
    auto progress = steady_clock::now();
    while (!data.empty()) {
        const long sent = SendSome(fd, data);
        if (sent > 0) {
            data.remove_prefix(static_cast<std::size_t>(sent));
            progress = steady_clock::now();
            if (evictable && !data.empty() && !Enter(fd, Phase::Writing))
                return false;
            continue;
        }
        if (sent != kWouldBlock || (evictable && ClosedForRoom(fd)))
            return false;
        const int left = MillisecondsLeft(progress + stall);
        if (left == 0)
            return false; // the client took nothing for writeStallSeconds
        WaitWritable(fd, std::min(left, kWriteSliceMs));
    }
    return true;
}

void HttpServer::Refuse(SocketHandle fd, const Error& error) {
    if (log_.line)
        log_.line("refused status=" + std::to_string(error.status) + " " + error.reason);
    {
        // The slot is free for others while the answer lingers.
        std::lock_guard lock(mutex_);
        open_.erase(fd);
    }
    Write(fd, SerializeResponse(ErrorResponse(error), false), false);
    LingeringClose(fd);
}

void HttpServer::ServeConnection(SocketHandle fd) {
    using std::chrono::steady_clock;
    const Error roomNeeded{408, "Request not received in time: the connection was closed to "
                                "make room for other clients"};
    std::string buffer;
    std::string peer;
    {
        std::lock_guard lock(mutex_);
        if (const auto it = open_.find(fd); it != open_.end())
            peer = it->second.address;
    }
    while (true) {
        // Wait for a request to begin (idle time), then for its head, then for its body.
        if (buffer.empty() && !AwaitRequest(fd, buffer))
            return; // nothing begun, nothing to answer
        if (!Enter(fd, Phase::Receiving))
            return;
        const auto headDeadline = steady_clock::now() + std::chrono::seconds(limits_.headSeconds);
        Result<std::optional<RequestHead>> head = ParseRequestHead(buffer, limits_.head);
        while (head.Ok() && !head.Value()) {
            const Read read = ReadMore(fd, buffer, MillisecondsLeft(headDeadline));
            if (read == Read::Closed && !ClosedForRoom(fd))
                return; // the client went away
            if (read != Read::Data) {
                return Refuse(fd, ClosedForRoom(fd)
                                      ? roomNeeded
                                      : Error{408, "Request head not received in time"});
            }
            head = ParseRequestHead(buffer, limits_.head);
        }
        if (!head.Ok())
            return Refuse(fd, head.Failure());
        HttpRequest& request = head.Value()->request;
        request.peer = peer;
        if (!proxies_.Empty())
            request.peer = proxies_.ClientOf(request);
        if (request.contentLength > limits_.maxBody) {
            // Refuse before reading: the body never enters memory.
            return Refuse(
                fd, Error{413, "Request body too large: " + std::to_string(request.contentLength) +
                                   " bytes, the limit is " + std::to_string(limits_.maxBody)});
        }
        buffer.erase(0, head.Value()->length);
        if (request.expectContinue && buffer.size() < request.contentLength &&
            !Write(fd, "HTTP/1.1 100 Continue\r\n\r\n", true)) {
            return;
        }
        const auto bodyDeadline = steady_clock::now() + std::chrono::seconds(limits_.bodySeconds);
        while (buffer.size() < request.contentLength) {
            if (ReadMore(fd, buffer, MillisecondsLeft(bodyDeadline)) != Read::Data) {
                return Refuse(fd, ClosedForRoom(fd)
                                      ? roomNeeded
                                      : Error{408, "Request body incomplete: "
                                                   "fewer bytes than Content-Length"});
            }
        }
        request.body = buffer.substr(0, request.contentLength);
        buffer.erase(0, request.contentLength);
        if (!Enter(fd, Phase::Handling))
            return Refuse(fd, roomNeeded);
        const HttpResponse response = handler_(request);
        if (response.status == 503 && response.close)
            std::this_thread::sleep_for(kRefusalDelay);
        const bool keepAlive = request.keepAlive && !response.close && !stopping_;
        if (!Enter(fd, Phase::Writing) ||
            !Write(fd, SerializeResponse(response, keepAlive, request.method != "HEAD"), true))
            return;
        if (!keepAlive) {
            std::lock_guard lock(mutex_);
            open_.erase(fd); // the slot is free while the client reads the answer and closes
        }
        if (!keepAlive)
            return LingeringClose(fd);
        if (!Enter(fd, Phase::Idle))
            return;
    }
}

} // namespace tervane::service
