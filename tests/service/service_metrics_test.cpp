// GET /metrics as Prometheus reads it: Debian's promtool must accept a live answer, which
// counts what the service answered, its pipelines and turns, and a remote engine's failures.
#include "ChildProcess.h"
#include "ServiceClient.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace tervane::testing;

// Apertium with LibreTranslate behind it: the fake server refuses the service (no key), so
// German, which only it offers, is a remote engine's error.
TEST(Metrics, PromtoolAcceptsThemAndTheyCountAnswersPipelinesTurnsAndRemoteErrors) {
    RunningServer fake = StartListening({FAKE_LIBRETRANSLATE_BINARY, "--api-key", "s3cret"});
    RunningServer server = StartListening(
        ServiceCommand({"--engine", "apertium,libretranslate", "--libretranslate-url",
                        "http://127.0.0.1:" + std::to_string(fake.port)}));
    ASSERT_EQ(PostTranslate(server.port, "Le chat est noir.", "fr", "es").status, 200);
    ASSERT_EQ(PostTranslate(server.port, "Die Katze.", "de", "en").status, 502);
    ASSERT_EQ(PostTranslate(server.port, "Le chat.", "fr", "xx").status, 400);
    ASSERT_EQ(GetJson(server.port, "/translate?langpair=fra|spa&q=chat").status, 200);
    const Reply metrics = GetPath(server.port, "/metrics");
    ASSERT_EQ(metrics.status, 200);
    EXPECT_EQ(metrics.contentType, "text/plain; version=0.0.4; charset=utf-8");
    for (const char* line : {"tervane_requests_total{face=\"program\",route=\"/translate\","
                             "status=\"200\"} 1\n",
                             "tervane_requests_total{face=\"program\",route=\"/translate\","
                             "status=\"400\"} 1\n",
                             "tervane_requests_total{face=\"apy\",route=\"/translate\","
                             "status=\"200\"} 1\n",
                             "tervane_request_duration_seconds_count{face=\"program\"} 3\n",
                             "tervane_rate_limit_refusals_total 0\n",
                             "tervane_pipelines{pair=\"fr-es\",state=\"idle\"} 1\n",
                             "tervane_pipelines{pair=\"fr-es\",state=\"busy\"} 0\n",
                             "tervane_admission_queue_length{turns=\"offline\"} 0\n",
                             "tervane_translations_running{turns=\"remote\"} 0\n",
                             "tervane_remote_engine_errors_total{engine=\"libretranslate\","
                             "status=\"502\"} 1\n"}) {
        EXPECT_NE(metrics.body.find(line), std::string::npos) << line << metrics.body;
    }

    const auto file =
        std::filesystem::temp_directory_path() / ("tervane-metrics-" + std::to_string(::getpid()));
    std::ofstream(file) << metrics.body;
    const std::string command = "promtool check metrics < " + file.string() + " 2>&1";
    std::string said;
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        said.append(buffer, got);
    EXPECT_EQ(::pclose(pipe), 0) << said;
    EXPECT_EQ(said, "") << said; // no lint warning either
    std::filesystem::remove(file);
}
