#pragma once
// A cpp-httplib server on a free loopback port, listening on a thread of its own for as long
// as it lives; tests add its handlers through Server().
#include <httplib.h>

#include <chrono>
#include <string>
#include <thread>

class LoopbackServer {
  public:
    LoopbackServer() {
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // stop() ends only a server that has begun to listen.
        for (int waited = 0; !server_.is_running() && waited < 10000; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~LoopbackServer() {
        server_.stop();
        thread_.join();
    }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }
    httplib::Server& Server() { return server_; }

  private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};
