// Requests to a running service as the program sends them, over a real loopback socket.
#pragma once

#include <chrono>
#include <string>

namespace tervane::testing {

struct Reply {
    int status = 0; // 0: no answer at all
    std::string reason;
    std::string body;
    std::string contentType;
};

Reply PostForm(unsigned short port, const std::string& body,
               const std::string& contentType = "application/x-www-form-urlencoded");
Reply PostTranslate(unsigned short port, const std::string& text, const std::string& source,
                    const std::string& target);
Reply GetPath(unsigned short port, const std::string& path);

// Polls GET path until it answers 200 or the time is up.
bool WaitForOk(unsigned short port, const std::string& path, std::chrono::seconds timeout);

} // namespace tervane::testing
