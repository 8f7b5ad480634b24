// The program's own client (translate/ over net/'s HttpClient, with the headers it sends)
// against the service that also speaks APy's and LibreTranslate's APIs: its translation and
// its language listing still reach the program's protocol.
#include "ChildProcess.h"

#include "net/HttpClient.h"
#include "net/HttplibTransport.h"
#include "translate/LanguageRoutes.h"
#include "translate/ServiceExchange.h"

#include <gtest/gtest.h>

using namespace tervane::testing;

TEST(ProgramClient, TranslatesAndListsThroughItsOwnProtocol) {
    const RunningServer service = StartListening(ServiceCommand({}));
    const std::string base = "http://127.0.0.1:" + std::to_string(service.port);
    // The Linux program's own transport; Apertium's first translation may take a while.
    tervane::HttpClient http(std::make_unique<tervane::HttplibTransport>(
        tervane::HttpTimeouts{5000, 5000, 5000, 60000}));

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
