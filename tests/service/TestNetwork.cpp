#include "TestNetwork.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sched.h>
#include <stdexcept>
#include <unistd.h>

namespace tervane::testing {

namespace {

bool Run(const std::string& command) {
    return std::system(("(" + command + ") >/dev/null 2>&1").c_str()) == 0;
}

std::vector<std::string> Inside(const std::string& name, std::vector<std::string> argv) {
    argv.insert(argv.begin(), {"ip", "netns", "exec", name});
    return argv;
}

} // namespace

TestNetwork::TestNetwork()
    : server_("tervane-srv-" + std::to_string(::getpid())),
      client_("tervane-cli-" + std::to_string(::getpid())) {
    const std::string s = "ip -n " + server_ + " ";
    const std::string c = "ip -n " + client_ + " ";
    // nodad: the addresses serve at once instead of after duplicate detection.
    std::string setup = "ip netns add " + server_ + " && ip netns add " + client_ +
                        " && ip link add tv0 netns " + server_ + " type veth peer name tv1 netns " +
                        client_ + " && " + s + "link set lo up && " + s + "link set tv0 up && " +
                        c + "link set lo up && " + c + "link set tv1 up && " + s + "addr add " +
                        kServerV4 + "/24 dev tv0 && " + c + "addr add " + kClientV4 +
                        "/24 dev tv1 && " + s + "addr add " + kServerV6 + "/64 dev tv0 nodad && " +
                        s + "addr add fd00:232:0:1::1/64 dev tv0 nodad && " + c + "addr add " +
                        kOtherClientV6 + "/64 dev tv1 nodad";
    for (int i = 0; i < kClientV6Count; ++i)
        setup += " && " + c + "addr add " + ClientV6(i) + "/64 dev tv1 nodad";
    made_ = Run(setup);
}

TestNetwork::~TestNetwork() {
    Run("ip netns del " + client_);
    Run("ip netns del " + server_);
}

std::vector<std::string> TestNetwork::InServer(std::vector<std::string> argv) const {
    return Inside(server_, std::move(argv));
}

std::vector<std::string> TestNetwork::InClient(std::vector<std::string> argv) const {
    return Inside(client_, std::move(argv));
}

void TestNetwork::Enter(const std::string& name) {
    const int fd = ::open(("/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("cannot open the network namespace " + name);
    const int entered = ::setns(fd, CLONE_NEWNET);
    ::close(fd);
    if (entered != 0)
        throw std::runtime_error("cannot enter the network namespace " + name);
}

std::pair<int, std::string> TestNetwork::CurlFromClient(const std::string& from,
                                                        const std::string& url) const {
    const std::string command = "ip netns exec " + client_ +
                                " curl -s -g --max-time 30 --interface " + from +
                                " -w '\\n%{http_code}' '" + url + "'";
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, got);
        ::pclose(pipe);
    }
    const std::size_t last = output.rfind('\n');
    if (last == std::string::npos)
        return {0, output};
    return {std::atoi(output.c_str() + last + 1), output.substr(0, last)};
}

std::string HttpOrigin(const std::string& address, unsigned short port) {
    const bool v6 = address.find(':') != std::string::npos;
    return "http://" + (v6 ? "[" + address + "]" : address) + ":" + std::to_string(port);
}

} // namespace tervane::testing
