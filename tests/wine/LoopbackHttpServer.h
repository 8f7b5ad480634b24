#pragma once
// A small HTTP/1.1 server on a thread of the test, over Winsock: it keeps each request as
// it arrived and answers with what the test's handler returns, closing the connection after
// each answer. A handler that returns nothing leaves the connection open and unanswered
// until the server stops.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

struct ReceivedRequest {
    std::string method;
    std::string target; // "/path", or the whole address when sent to a proxy
    std::string version;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    std::optional<std::string> Header(std::string_view name) const {
        for (const auto& [key, value] : headers)
            if (_strnicmp(key.c_str(), name.data(), name.size()) == 0 && key.size() == name.size())
                return value;
        return std::nullopt;
    }
};

class LoopbackHttpServer {
  public:
    using Handler = std::function<std::string(const ReceivedRequest&)>;

    // A full response with Content-Length and "Connection: close".
    static std::string Response(int status, std::string_view reason, std::string_view body = {},
                                std::string_view extraHeaders = {}) {
        return "HTTP/1.1 " + std::to_string(status) + " " + std::string(reason) +
               "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " +
               std::to_string(body.size()) + "\r\nConnection: close\r\n" +
               std::string(extraHeaders) + "\r\n" + std::string(body);
    }

    explicit LoopbackHttpServer(Handler handler, std::string address = "127.0.0.1")
        : handler_(std::move(handler)) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        inet_pton(AF_INET, address.c_str(), &local.sin_addr);
        if (bind(listener_, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0 ||
            listen(listener_, 8) != 0)
            throw std::runtime_error("cannot listen on " + address);
        int length = sizeof(local);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&local), &length);
        port_ = ntohs(local.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }

    ~LoopbackHttpServer() {
        stop_ = true;
        thread_.join();
        for (SOCKET held : held_)
            closesocket(held);
        closesocket(listener_);
        WSACleanup();
    }
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    unsigned short Port() const { return port_; }

    // From now on answers go out with their head at once and their body one byte every
    // `ms` milliseconds, as from a server that trickles.
    void TrickleBody(int ms) { trickleMs_ = ms; }
    // Whether the last answer went out whole (false while a trickle is still going).
    bool AllSent() const { return allSent_; }

    std::vector<ReceivedRequest> Requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }

  private:
    void Serve() {
        while (!stop_) {
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(listener_, &ready);
            timeval wait{0, 50000};
            if (select(0, &ready, nullptr, nullptr, &wait) <= 0)
                continue;
            const SOCKET client = accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET)
                continue;
            const std::optional<ReceivedRequest> request = Read(client);
            if (!request) {
                closesocket(client);
                continue;
            }
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(*request);
            }
            const std::string response = handler_(*request);
            if (response.empty()) {
                held_.push_back(client); // accepted, never answered
                continue;
            }
            Send(client, response);
            shutdown(client, SD_SEND);
            closesocket(client);
        }
    }

    void Send(SOCKET client, const std::string& response) {
        const int ms = trickleMs_;
        allSent_ = false;
        std::size_t sent = ms ? response.find("\r\n\r\n") + 4 : response.size();
        send(client, response.data(), static_cast<int>(sent), 0);
        for (; sent < response.size() && !stop_; ++sent) {
            Sleep(static_cast<DWORD>(ms));
            if (send(client, response.data() + sent, 1, 0) != 1)
                return;
        }
        allSent_ = sent == response.size();
    }

    // One request: the head up to the blank line, then Content-Length bytes of body.
    static std::optional<ReceivedRequest> Read(SOCKET client) {
        DWORD timeoutMs = 10000;
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs),
                   sizeof(timeoutMs));
        ReceivedRequest request;
        std::string data;
        std::size_t headEnd = std::string::npos;
        std::size_t bodyLength = 0;
        char buffer[65536];
        for (;;) {
            if (headEnd != std::string::npos && data.size() >= headEnd + 4 + bodyLength)
                break;
            const int got = recv(client, buffer, sizeof(buffer), 0);
            if (got <= 0)
                return std::nullopt;
            data.append(buffer, static_cast<std::size_t>(got));
            if (headEnd == std::string::npos &&
                (headEnd = data.find("\r\n\r\n")) != std::string::npos) {
                ParseHead(data.substr(0, headEnd), request);
                if (auto length = request.Header("Content-Length"))
                    bodyLength = std::stoul(*length);
            }
        }
        request.body = data.substr(headEnd + 4, bodyLength);
        return request;
    }

    static void ParseHead(const std::string& head, ReceivedRequest& request) {
        std::size_t lineEnd = head.find("\r\n");
        const std::string first = head.substr(0, lineEnd);
        const std::size_t space1 = first.find(' ');
        const std::size_t space2 = first.find(' ', space1 + 1);
        request.method = first.substr(0, space1);
        request.target = first.substr(space1 + 1, space2 - space1 - 1);
        request.version = first.substr(space2 + 1);
        while (lineEnd != std::string::npos) {
            const std::size_t start = lineEnd + 2;
            lineEnd = head.find("\r\n", start);
            const std::string line = head.substr(start, lineEnd - start);
            const std::size_t colon = line.find(':');
            if (colon == std::string::npos)
                continue;
            std::string value = line.substr(colon + 1);
            value.erase(0, value.find_first_not_of(' '));
            request.headers.emplace_back(line.substr(0, colon), value);
        }
    }

    Handler handler_;
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> trickleMs_{0};
    std::atomic<bool> allSent_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<ReceivedRequest> requests_;
    std::vector<SOCKET> held_;
};
