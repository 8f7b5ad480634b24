// The command line as the engine table makes it (each engine's options, checked and kept,
// its --help lines), the engines its rows make, and which face each request is claimed by.
#include "service/core/Options.h"
#include "service/engines/EngineTable.h"
#include "service/faces/FaceTable.h"

#include <gtest/gtest.h>

using namespace tervane::service;

namespace {

Result<Options> Parse(const std::vector<std::string>& args) {
    return ParseOptions(args, EngineSyntaxes());
}

} // namespace

TEST(CommandLine, ParsesEveryFlagAndRefusesBadValues) {
    const Options defaults = Parse({}).Value();
    EXPECT_EQ(defaults.host, "127.0.0.1");
    EXPECT_EQ(defaults.port, 58470);
    EXPECT_EQ(defaults.engine, "apertium");
    EXPECT_EQ(defaults.maxBody, 65536u);

    const Options all = Parse({"--listen", "[::1]:0", "--engine", "libretranslate", "--modes-dir",
                               "/m", "--apy-url", "http://a:1", "--libretranslate-url",
                               "http://b:2", "--api-key-file", "/k", "--pipes-per-pair", "3",
                               "--timeout", "2.5", "--max-body", "1024", "--allow-remote"})
                            .Value();
    EXPECT_EQ(all.host, "::1");
    EXPECT_EQ(all.port, 0);
    EXPECT_EQ(all.engine, "libretranslate");
    EXPECT_EQ(all.EngineValue("--modes-dir"), "/m");
    EXPECT_EQ(all.EngineValue("--apy-url"), "http://a:1");
    EXPECT_EQ(all.EngineValue("--libretranslate-url"), "http://b:2");
    EXPECT_EQ(all.EngineValue("--api-key-file"), "/k");
    EXPECT_EQ(all.EngineValue("--pipes-per-pair"), "3");
    EXPECT_DOUBLE_EQ(all.timeoutSeconds, 2.5);
    EXPECT_EQ(all.maxBody, 1024u);
    EXPECT_TRUE(all.allowRemote);
    EXPECT_TRUE(Parse({"--help"}).Value().help);

    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--listen", "nohost"},
                                               {"--listen", "h:99999"},
                                               {"--engine", "google"},
                                               {"--pipes-per-pair", "0"},
                                               {"--timeout", "x"},
                                               {"--max-body", "10"},
                                               {"--timeout"},
                                               {"--frobnicate", "1"}}) {
        EXPECT_FALSE(Parse(bad).Ok()) << bad[0];
    }
}

TEST(CommandLine, ParsesTheEngineRowAndThePipelineLimits) {
    const Options defaults = Parse({}).Value();
    EXPECT_EQ(defaults.engines, (std::vector<std::string>{"apertium"}));
    EXPECT_EQ(defaults.maxHops, 4u);
    EXPECT_EQ(defaults.EngineValue("--max-pipelines"), "24");
    EXPECT_EQ(defaults.EngineValue("--idle-timeout"), "300");

    const Options set = Parse({"--engine", "apertium,libretranslate", "--max-pipelines", "2",
                               "--idle-timeout", "1.5", "--recycle-after", "7"})
                            .Value();
    EXPECT_EQ(set.engines, (std::vector<std::string>{"apertium", "libretranslate"}));
    EXPECT_EQ(set.EngineValue("--max-pipelines"), "2");
    EXPECT_EQ(set.EngineValue("--idle-timeout"), "1.5");
    EXPECT_EQ(set.EngineValue("--recycle-after"), "7");
    for (const char* bad : {"apertium,", "apertium,apertium", ",apy", "apertium;apy"})
        EXPECT_FALSE(Parse({"--engine", bad}).Ok()) << bad;
    EXPECT_FALSE(Parse({"--max-pipelines", "0"}).Ok());
    EXPECT_FALSE(Parse({"--recycle-after", "0"}).Ok());

    EXPECT_EQ(defaults.EngineValue("--apertium-runner"), "inprocess");
    EXPECT_EQ(defaults.EngineValue("--check-pairs"), "on");
    const Options host = Parse({"--apertium-runner", "processes", "--check-pairs", "off"}).Value();
    EXPECT_EQ(host.EngineValue("--apertium-runner"), "processes");
    EXPECT_EQ(host.EngineValue("--check-pairs"), "off");
    EXPECT_FALSE(Parse({"--apertium-runner", "threads"}).Ok());
    EXPECT_FALSE(Parse({"--check-pairs", "yes"}).Ok());
}

TEST(CommandLine, TakesBothFormsAndSaysWhatIsWrong) {
    const Options joined = Parse({"--listen=127.0.0.1:0", "--max-remote=2", "--version"}).Value();
    EXPECT_EQ(joined.port, 0);
    EXPECT_EQ(joined.maxRemote, 2u);
    EXPECT_TRUE(joined.version);
    EXPECT_EQ(joined.MaxRemoteBody(), 4 * joined.maxBody);
    const auto reason = [](std::vector<std::string> args) {
        const Result<Options> parsed = Parse(args);
        return parsed.Ok() ? std::string() : parsed.Failure().reason;
    };
    EXPECT_EQ(reason({"extra"}), "unknown option 'extra' (see --help)");
    EXPECT_EQ(reason({"--nonesuch", "1"}), "unknown option '--nonesuch' (see --help)");
    EXPECT_EQ(reason({"--timeout"}), "--timeout needs a value (see --help)");
    EXPECT_EQ(reason({"--stop=yes"}), "--stop takes no value (see --help)");
    EXPECT_EQ(reason({"--max-active=0"}), "bad value '0' for --max-active: 1 to 1024");
}

TEST(CommandLine, TakesASharedServersKeysRateAndTheTervaneEngine) {
    const Options shared =
        Parse({"--allow-remote", "--api-keys", "/etc/keys", "--rate-limit", "30/min", "--engine",
               "apertium,tervane", "--tervane-url", "http://wsl:58470", "--tervane-key-file", "/k"})
            .Value();
    EXPECT_EQ(shared.acceptedKeysFile, "/etc/keys");
    EXPECT_EQ(shared.rateLimitPerMinute, 30u);
    EXPECT_EQ(shared.engines, (std::vector<std::string>{"apertium", "tervane"}));
    EXPECT_EQ(shared.EngineValue("--tervane-url"), "http://wsl:58470");
    EXPECT_EQ(shared.EngineValue("--tervane-key-file"), "/k");
    EXPECT_EQ(shared.EngineValue("--api-key-file"), ""); // LibreTranslate's key is another one

    const auto reason = [](const std::vector<std::string>& args) {
        const Result<Options> parsed = Parse(args);
        return parsed.Ok() ? std::string("accepted") : parsed.Failure().reason;
    };
    EXPECT_EQ(reason({"--api-keys", "/k"}),
              "--api-keys is for a service that serves other machines: add --allow-remote");
    EXPECT_EQ(reason({"--rate-limit", "5/min"}),
              "--rate-limit is for a service that serves other machines: add --allow-remote");
    EXPECT_EQ(reason({"--engine", "tervane"}).rfind("--engine tervane needs --tervane-url", 0), 0u);
    EXPECT_EQ(reason({"--allow-remote", "--rate-limit-storage", "redis://cache:6379"}),
              "--rate-limit-storage keeps the counters of --rate-limit: add --rate-limit N/min");
    for (const char* rate : {"5", "0/min", "5/s", "x/min", "5/minutes"}) {
        EXPECT_EQ(reason({"--allow-remote", "--rate-limit", rate}).rfind("bad value", 0), 0u)
            << rate;
    }
}

TEST(EngineTable, MakesEachEngineByItsRowFromItsOwnOptions) {
    EXPECT_EQ(Parse({"--engine", "google"}).Failure().reason,
              "bad value 'google' for --engine: expected apertium, apy, libretranslate or "
              "tervane, or several in a row separated by commas, each once");
    const auto made = [](const std::vector<std::string>& args) {
        const Options options = Parse(args).Value();
        const Result<std::unique_ptr<Engine>> engine =
            MakeEngine(options.engines.front(), options, [](const std::string&) {});
        return engine.Ok() ? engine.Value()->Name() : engine.Failure().reason;
    };
    EXPECT_EQ(made({"--engine", "apy"}), "apy");
    EXPECT_EQ(made({"--engine", "libretranslate"}), "libretranslate");
    EXPECT_EQ(made({"--engine", "tervane", "--tervane-url", "http://127.0.0.1:1"}), "tervane");
    EXPECT_EQ(made({"--engine", "libretranslate", "--api-key-file", "/nonexistent/key"}),
              "cannot read an API key from /nonexistent/key");
    EXPECT_EQ(made({"--engine", "apy", "--apy-url", "ftp://127.0.0.1"}),
              "not an http:// or https:// URL: ftp://127.0.0.1");
    EXPECT_EQ(made({"--apertium-runner", "processes", "--modes-dir", "/nonexistent"}),
              "the modes directory /nonexistent does not exist; install apertium-* packages or "
              "give --modes-dir");
}

TEST(EngineTable, HelpHasEachEnginesOptionsInTheColumnsOfTheOthers) {
    const std::string usage = Usage("tervane-service", EngineSyntaxes());
    for (const char* lines :
         {"  --engine NAME[,NAME...]    apertium (default, offline), apy, libretranslate or "
          "tervane;\n"
          "                             several in a row (apertium,libretranslate): the first with "
          "a\n"
          "                             route translates\n"
          "  --modes-dir DIR            Apertium modes (default /usr/share/apertium/modes)\n",
          "  --tervane-url URL          for --engine tervane: another Tervane service, on another\n"
          "                             machine or in WSL (http:// or https://)\n"
          "  --tervane-key-file FILE    the key that service gave you, read from FILE (first "
          "line)\n"
          "  --api-keys FILE  "}) {
        EXPECT_NE(usage.find(lines), std::string::npos) << lines;
    }
}
