// A small HTTP/1.1 server over POSIX sockets: one thread per connection up to a cap,
// bounded heads and bodies, and the reason phrase the handler chooses (the program shows
// it to the user, so it must say what went wrong).
#pragma once

#include "service/HttpMessage.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <string>

namespace tervane::service {

struct ServerLimits {
    HeadLimits head;
    std::size_t maxBody = 64 * 1024;
    std::size_t maxConnections = 64;
    int requestSeconds = 30; // to receive one whole request
    int idleSeconds = 10;    // between requests on a kept-alive connection
};

class HttpServer {
  public:
    using Handler = std::function<HttpResponse(const HttpRequest&)>;

    HttpServer(ServerLimits limits, Handler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds and listens; gives the port listened on (port 0 takes a free one).
    Result<unsigned short> Bind(const std::string& host, unsigned short port);
    bool BoundToLoopback() const { return loopback_; }

    // Accepts until Stop(); then waits for the open connections to finish.
    void Run();
    void Stop();

    // Told of requests refused before they reach the handler (413, 431, ...), one line each.
    void SetRefusalLog(std::function<void(const std::string&)> log) {
        refusalLog_ = std::move(log);
    }

  private:
    void ServeConnection(int fd);
    bool ReadMore(int fd, std::string& buffer, int timeoutMs);

    ServerLimits limits_;
    Handler handler_;
    std::function<void(const std::string&)> refusalLog_;
    int listenFd_ = -1;
    bool loopback_ = true;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::condition_variable idle_;
    std::size_t connections_ = 0;
    std::set<int> openFds_; // shut down on Stop() so idle connections end at once
};

} // namespace tervane::service
