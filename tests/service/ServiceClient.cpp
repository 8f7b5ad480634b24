#include "ServiceClient.h"

#include "protocol/ServiceProtocol.h"
#include "protocol/WordsAnswer.h"

#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace tervane::testing {
namespace {

Reply ToReply(const httplib::Result& result) {
    Reply reply;
    if (!result)
        return reply;
    reply.status = result->status;
    reply.reason = result->reason;
    reply.body = result->body;
    reply.contentType = result->get_header_value("Content-Type");
    reply.retryAfter = result->get_header_value("Retry-After");
    return reply;
}

httplib::Client Client(unsigned short port) {
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(std::chrono::seconds(60));
    return client;
}

JsonReply ToJsonReply(const httplib::Result& result) {
    JsonReply reply;
    static_cast<Reply&>(reply) = ToReply(result);
    reply.json = nlohmann::json::parse(reply.body, nullptr, false);
    return reply;
}

httplib::Headers HttplibHeaders(const Headers& headers) {
    httplib::Headers sent;
    for (const auto& [name, value] : headers)
        sent.emplace(name, value);
    return sent;
}

} // namespace

JsonReply GetJson(unsigned short port, const std::string& pathAndQuery, const Headers& headers) {
    return ToJsonReply(Client(port).Get(pathAndQuery, HttplibHeaders(headers)));
}

JsonReply PostJson(unsigned short port, const std::string& path, const nlohmann::json& body,
                   const Headers& headers) {
    return ToJsonReply(
        Client(port).Post(path, HttplibHeaders(headers), body.dump(), "application/json"));
}

JsonReply PostFormJson(unsigned short port, const std::string& path, const std::string& form) {
    return ToJsonReply(Client(port).Post(path, form, "application/x-www-form-urlencoded"));
}

std::string UrlEncode(const std::string& text) {
    std::string encoded;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            encoded += static_cast<char>(c);
        } else {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", c);
            encoded += escape;
        }
    }
    return encoded;
}

Reply PostForm(unsigned short port, const std::string& body, const std::string& contentType) {
    return ToReply(Client(port).Post(std::string(protocol::kTranslatePath), body, contentType));
}

Reply PostTranslate(unsigned short port, const std::string& text, const std::string& source,
                    const std::string& target) {
    return PostForm(port, protocol::BuildRequestBody(text, source, target));
}

Reply PostWords(unsigned short port, const std::string& text, const std::string& source,
                const std::string& target) {
    return ToReply(Client(port).Post(std::string(protocol::kWordsPath),
                                     protocol::BuildRequestBody(text, source, target),
                                     std::string(protocol::kRequestContentType)));
}

// Asks as the program asks (its Accept picks the program's /languages listing).
Reply GetPath(unsigned short port, const std::string& path) {
    return ToReply(Client(port).Get(path, {{"Accept", std::string(protocol::kProgramAccept)}}));
}

Reply PostTranslateRetrying(unsigned short port, const std::string& text, const std::string& source,
                            const std::string& target, int attempts) {
    Reply reply;
    for (int i = 0; i < attempts; ++i) {
        reply = PostTranslate(port, text, source, target);
        if (reply.status != 503 || reply.retryAfter.empty())
            break;
        std::this_thread::sleep_for(std::chrono::seconds(std::stoi(reply.retryAfter)));
    }
    return reply;
}

std::string RawReply::Header(const std::string& lowerName) const {
    const auto found = headers.find(lowerName);
    return found == headers.end() ? std::string() : found->second;
}

std::string TranslateRequest(const std::string& text, const std::string& extraHeaders) {
    const std::string body = protocol::BuildRequestBody(text, "fr", "es");
    return "POST /translate HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extraHeaders +
           "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\n\r\n" + body;
}

RawConnection::RawConnection(unsigned short port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

RawConnection::~RawConnection() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool RawConnection::Send(std::string_view data) {
    while (!data.empty()) {
        const ssize_t sent = ::send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

bool RawConnection::Fill(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd pfd{fd_, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&pfd, 1, static_cast<int>(left.count())) <= 0)
        return false;
    char chunk[4096];
    const ssize_t got = ::recv(fd_, chunk, sizeof chunk, 0);
    if (got <= 0)
        return false;
    buffer_.append(chunk, static_cast<std::size_t>(got));
    return true;
}

RawReply RawConnection::Read(bool afterHead, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    RawReply reply;
    std::size_t end;
    while ((end = buffer_.find("\r\n\r\n")) == std::string::npos) {
        if (!Fill(deadline))
            return reply;
    }
    std::istringstream head(buffer_.substr(0, end));
    std::string statusLine;
    std::getline(head, statusLine); // HTTP/1.1 200 OK\r
    if (statusLine.size() < 13 || statusLine.back() != '\r')
        return reply;
    const int status = std::stoi(statusLine.substr(9, 3));
    reply.reason = statusLine.substr(13, statusLine.size() - 14);
    std::string line;
    while (std::getline(head, line)) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string name = line.substr(0, colon);
        for (char& c : name)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        std::string value = line.substr(colon + 1);
        while (!value.empty() && (value.front() == ' ' || value.back() == '\r')) {
            value.erase(value.front() == ' ' ? 0 : value.size() - 1, 1);
        }
        reply.headers[name] = value;
    }
    buffer_.erase(0, end + 4);
    const std::size_t length = afterHead ? 0 : std::stoul("0" + reply.Header("content-length"));
    while (buffer_.size() < length) {
        if (!Fill(deadline))
            return reply;
    }
    reply.body = buffer_.substr(0, length);
    buffer_.erase(0, length);
    reply.status = status;
    return reply;
}

bool RawConnection::ClosedByServer(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    pollfd pfd{fd_, POLLIN, 0};
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || ::poll(&pfd, 1, static_cast<int>(left.count())) <= 0)
            return false;
        char byte;
        const ssize_t got = ::recv(fd_, &byte, 1, 0);
        if (got == 0)
            return buffer_.empty();
        if (got < 0)
            return errno == ECONNRESET && buffer_.empty();
        buffer_ += byte;
    }
}

bool WaitForOk(unsigned short port, const std::string& path, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        httplib::Client probe("127.0.0.1", port);
        probe.set_connection_timeout(std::chrono::seconds(1));
        if (auto result = probe.Get(path); result && result->status == 200)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return false;
}

} // namespace tervane::testing
