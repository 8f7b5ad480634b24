#include "service/HttpServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

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

std::string AddressText(const sockaddr_storage& address) {
    char text[INET6_ADDRSTRLEN] = "?";
    if (address.ss_family == AF_INET) {
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(&address)->sin_addr, text,
                    sizeof text);
    } else if (address.ss_family == AF_INET6) {
        ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(&address)->sin6_addr, text,
                    sizeof text);
    }
    return text;
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
    void Add(int fd) {
        if (sockets_.size() >= kMax) {
            ::close(sockets_.front().fd);
            sockets_.erase(sockets_.begin());
        }
        sockets_.push_back({fd, std::chrono::steady_clock::now() + kRefusalDelay, false});
    }
    // Appends those answered to a poll set; gives the poll time-out to use.
    int AddToPoll(std::vector<pollfd>& fds, int timeoutMs) const {
        for (const Socket& socket : sockets_) {
            if (socket.answered)
                fds.push_back({socket.fd, POLLIN, 0});
            timeoutMs = std::min(timeoutMs, MillisecondsLeft(socket.until));
        }
        return timeoutMs;
    }
    // Answers those whose time came; closes those at their end or past their time. fds
    // holds the answered ones from `first` on, in the order AddToPoll put them.
    void Service(const std::vector<pollfd>& fds, std::size_t first) {
        const auto now = std::chrono::steady_clock::now();
        char sink[4096];
        std::size_t next = first;
        std::erase_if(sockets_, [&](Socket& socket) {
            const bool polled = socket.answered && next < fds.size() && fds[next].fd == socket.fd;
            const bool readable = polled && fds[next].revents != 0;
            next += polled;
            if (!socket.answered) {
                if (socket.until > now)
                    return false;
                ::send(socket.fd, answer_.data(), answer_.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
                ::shutdown(socket.fd, SHUT_WR);
                socket.answered = true;
                socket.until = now + std::chrono::seconds(1);
                return false;
            }
            bool done = socket.until <= now;
            if (!done && readable)
                done = ::recv(socket.fd, sink, sizeof sink, MSG_DONTWAIT) <= 0;
            if (done)
                ::close(socket.fd);
            return done;
        });
    }
    ~ClosingSockets() {
        for (const Socket& socket : sockets_)
            ::close(socket.fd);
    }

  private:
    struct Socket {
        int fd;
        std::chrono::steady_clock::time_point until; // to answer, then to close
        bool answered;
    };
    static constexpr std::size_t kMax = 512;
    std::string answer_;
    std::vector<Socket> sockets_;
};

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
    for (const auto& entry : open_)
        ::shutdown(entry.first, SHUT_RD);
    work_.notify_all();
}

bool HttpServer::Run(std::chrono::milliseconds grace) {
    ClosingSockets closing(SerializeResponse(
        BusyResponse("Service busy: too many open connections, try again"), false));
    std::vector<pollfd> fds;
    while (!stopping_) {
        fds.assign(1, pollfd{listenFd_, POLLIN, 0});
        const int timeout = closing.AddToPoll(fds, 500);
        const int ready = ::poll(fds.data(), fds.size(), timeout);
        closing.Service(fds, 1);
        if (ready <= 0 || !(fds[0].revents & POLLIN))
            continue;
        sockaddr_storage peer{};
        socklen_t length = sizeof peer;
        const int fd =
            ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        if (!Admit(fd, AddressText(peer))) {
            // Refused at the cap: a few system calls, counted, not logged line by line.
            closing.Add(fd);
            if (log_.busy)
                log_.busy();
        }
    }
    std::unique_lock lock(mutex_);
    work_.notify_all();
    return idle_.wait_for(lock, grace, [this] { return workers_ == 0; });
}

bool HttpServer::Admit(int fd, std::string address) {
    std::lock_guard lock(mutex_);
    if (open_.size() >= limits_.maxConnections && !MakeRoom(address))
        return false;
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
        const int fd = waiting_.front();
        waiting_.pop_front();
        lock.unlock();
        if (!stopping_)
            ServeConnection(fd);
        lock.lock();
        open_.erase(fd);
        ::close(fd);
    }
    if (--workers_ == 0)
        idle_.notify_all();
}

bool HttpServer::MakeRoom(const std::string& newcomer) {
    // Room is taken from the address that holds the most connections (the newcomer's own
    // when it is that one), so each client keeps a fair share; within it, from the
    // connection idle longest, else from the one that has been sending its request longest.
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
                std::make_pair(c.phase != Phase::Idle, c.since) <
                    std::make_pair(victim->second.phase != Phase::Idle, victim->second.since)) {
                victim = it;
            }
        }
        if (victim != open_.end()) {
            // Its thread wakes to a closed reading side, finds itself gone from open_, and
            // answers 408 if a request had begun.
            ::shutdown(victim->first, SHUT_RD);
            open_.erase(victim);
            if (log_.closedForRoom)
                log_.closedForRoom();
            return true;
        }
    }
    return false;
}

bool HttpServer::Enter(int fd, Phase phase) {
    std::lock_guard lock(mutex_);
    const auto it = open_.find(fd);
    if (it == open_.end())
        return false;
    it->second.phase = phase;
    it->second.since = std::chrono::steady_clock::now();
    return true;
}

bool HttpServer::ClosedForRoom(int fd) {
    std::lock_guard lock(mutex_);
    return !stopping_ && open_.find(fd) == open_.end();
}

HttpServer::Read HttpServer::ReadMore(int fd, std::string& buffer, int timeoutMs) {
    AcknowledgeAtOnce(fd);
    pollfd pfd{fd, POLLIN, 0};
    const int ready = ::poll(&pfd, 1, timeoutMs);
    if (ready == 0)
        return Read::Timeout;
    if (ready < 0)
        return Read::Closed;
    char chunk[16 * 1024];
    const ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
    if (got <= 0)
        return Read::Closed;
    buffer.append(chunk, static_cast<std::size_t>(got));
    return Read::Data;
}

void HttpServer::Refuse(int fd, const Error& error) {
    if (log_.line)
        log_.line("refused status=" + std::to_string(error.status) + " " + error.reason);
    {
        // The slot is free for others while the answer lingers.
        std::lock_guard lock(mutex_);
        open_.erase(fd);
    }
    SendAll(fd, SerializeResponse(ErrorResponse(error), false));
    LingeringClose(fd);
}

void HttpServer::ServeConnection(int fd) {
    using std::chrono::steady_clock;
    const Error roomNeeded{408, "Request not received in time: the connection was closed to "
                                "make room for other clients"};
    std::string buffer;
    while (!stopping_) {
        // Wait for a request to begin (idle time), then for its head, then for its body.
        if (buffer.empty() && ReadMore(fd, buffer, limits_.idleSeconds * 1000) != Read::Data)
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
        if (request.contentLength > limits_.maxBody) {
            // Refuse before reading: the body never enters memory.
            return Refuse(
                fd, Error{413, "Request body too large: " + std::to_string(request.contentLength) +
                                   " bytes, the limit is " + std::to_string(limits_.maxBody)});
        }
        buffer.erase(0, head.Value()->length);
        if (request.expectContinue && buffer.size() < request.contentLength &&
            !SendAll(fd, "HTTP/1.1 100 Continue\r\n\r\n")) {
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
        if (!SendAll(fd, SerializeResponse(response, keepAlive, request.method != "HEAD")))
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
