// Other machines for the service's tests, made of two network namespaces of the test's own
// joined by a veth pair: the service runs in the server's namespace (InServer), where its
// loopback is "this machine", and another machine's clients in the client's (InClient,
// OnClient). Nothing leaves the two namespaces and no address of this machine's own
// interfaces is ever used. Making them needs root and `ip netns`; without them Made() is
// false and the test skips.
#pragma once

#include <exception>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace tervane::testing {

class TestNetwork {
  public:
    // The veth's addresses: the server's end and the client's. The client also has
    // kClientV6Count addresses of one /64 (kClientV6Prefix + 2, 3, ...) and one of another
    // /64 (kOtherClientV6), as another machine could.
    static constexpr const char* kServerV4 = "10.232.0.1";
    static constexpr const char* kClientV4 = "10.232.0.2";
    static constexpr const char* kServerV6 = "fd00:232::1";
    static constexpr const char* kServerOtherV6 = "fd00:232:0:1::1";
    static constexpr const char* kClientV6Prefix = "fd00:232::";
    static constexpr int kClientV6Count = 12;
    static constexpr const char* kOtherClientV6 = "fd00:232:0:1::2";

    TestNetwork();
    ~TestNetwork();
    TestNetwork(const TestNetwork&) = delete;
    TestNetwork& operator=(const TestNetwork&) = delete;

    bool Made() const { return made_; }
    static std::string ClientV6(int index) { return kClientV6Prefix + std::to_string(index + 2); }

    // A command run in one of the namespaces (`ip netns exec` runs it in place, same pid).
    std::vector<std::string> InServer(std::vector<std::string> argv) const;
    std::vector<std::string> InClient(std::vector<std::string> argv) const;

    // Runs work on a thread that entered the namespace: the sockets it opens are there.
    template <class Work> auto OnServer(Work work) const { return On(server_, std::move(work)); }
    template <class Work> auto OnClient(Work work) const { return On(client_, std::move(work)); }

    // curl in the client's namespace from one of its addresses: the status, then the body.
    std::pair<int, std::string> CurlFromClient(const std::string& from,
                                               const std::string& url) const;

  private:
    static void Enter(const std::string& name);
    template <class Work> static auto On(const std::string& name, Work work) {
        std::optional<decltype(work())> result;
        std::exception_ptr error;
        std::thread([&] {
            try {
                Enter(name);
                result.emplace(work());
            } catch (...) {
                error = std::current_exception();
            }
        }).join();
        if (error)
            std::rethrow_exception(error);
        return std::move(*result);
    }

    std::string server_, client_;
    bool made_ = false;
};

// "http://192.0.2.2:8080", "http://[fd00::2]:8080".
std::string HttpOrigin(const std::string& address, unsigned short port);

} // namespace tervane::testing
