// The program's own client (translate/ over net/'s HttpClient, with the headers it sends)
// against the service that also speaks APy's and LibreTranslate's APIs: its translation and
// its language listing still reach the program's protocol.
#include "ChildProcess.h"

#include "net/HttpClient.h"
#include "translate/LanguageRoutes.h"
#include "translate/ServiceExchange.h"

#include <gtest/gtest.h>
#include <httplib.h>

using namespace tervane::testing;

namespace {

// One exchange over cpp-httplib, sending exactly the request HttpClient made, as the Linux
// program's transport does.
class LoopbackTransport final : public tervane::HttpTransport {
  public:
    tervane::HttpResponse Send(const tervane::HttpRequest& request) override {
        httplib::Client client(request.target.host, request.target.port);
        client.set_read_timeout(std::chrono::seconds(60));
        httplib::Request out;
        out.method = request.method;
        out.path = request.target.path;
        for (const auto& [name, value] : request.headers)
            out.headers.emplace(name, value);
        out.body = request.body;
        httplib::Response in;
        httplib::Error error = httplib::Error::Success;
        if (!client.send(out, in, error))
            throw std::runtime_error("no answer: " + httplib::to_string(error));
        return {in.version, in.status, in.reason, in.get_header_value("Location"), in.body};
    }
};

} // namespace

TEST(ProgramClient, TranslatesAndListsThroughItsOwnProtocol) {
    const RunningServer service = StartListening(ServiceCommand({}));
    const std::string base = "http://127.0.0.1:" + std::to_string(service.port);
    tervane::HttpClient http(std::make_unique<LoopbackTransport>());

    EXPECT_EQ(
        tervane::RequestTranslation(http, base + "/translate", "Le chat est noir.", "fr", "es"),
        "El gato es negro.");
    const auto routes = tervane::RequestLanguageRoutes(http, base + "/languages");
    ASSERT_TRUE(routes.has_value()) << "the program could not read the service's listing";
    EXPECT_TRUE(routes->Reaches("fr", "en"));
    EXPECT_FALSE(routes->Reaches("fr", "ja"));
    EXPECT_NE(service.process->WaitForLine("POST /translate fr->es engine=apertium", 0), "")
        << service.process->Output();
}
