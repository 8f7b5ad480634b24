// The service's command line.
#pragma once

#include "service/core/Result.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tervane::service {

struct Options {
    std::string host = "127.0.0.1";
    unsigned short port = 58470;
    bool allowRemote = false;
    std::string engine = "apertium";              // as given: "apertium,libretranslate"
    std::vector<std::string> engines{"apertium"}; // the same, one name each, asked in order
    std::string modesDir = "/usr/share/apertium/modes";
    std::string apyUrl = "http://127.0.0.1:2737";
    std::string libreTranslateUrl = "http://127.0.0.1:5000";
    std::string apiKeyFile;     // the libretranslate engine's key, sent to its server
    std::string tervaneUrl;     // the tervane engine's server: another Tervane service
    std::string tervaneKeyFile; // the tervane engine's key, sent to that service
    // Serving other machines (--allow-remote): the keys they must send, and each client's
    // requests a minute (0: no limit).
    std::string acceptedKeysFile;
    std::size_t rateLimitPerMinute = 0;
    std::size_t pipesPerPair = 2;
    // How a pair's stages run: "processes" (a process per stage) or "inprocess" (one pair
    // host process per pipeline, its stages through Apertium's libraries).
    std::string apertiumRunner = "inprocess";
    bool checkPairs = true; // inprocess: each pair's check sentence at start
    double timeoutSeconds = 10;
    std::size_t maxBody = 64 * 1024;
    std::size_t maxActive = 8;
    std::size_t maxQueue = 32;
    std::size_t maxRemote = 4;     // translations by remote engines at once, apart from maxActive
    std::size_t maxRemoteBody = 0; // a remote answer's body at most; 0: 4 times maxBody
    std::size_t maxConnections = 64;
    std::size_t maxHops = 4;
    double idleTimeoutSeconds = 300;     // an unused Apertium pipeline ends after this
    std::size_t maxPipelines = 24;       // Apertium pipelines live at once, all pairs together
    unsigned long recycleAfter = 100000; // requests one pipeline serves before it is replaced
    std::string logFile; // empty: the platform's default (DefaultLogFile); "-": standard error
    bool stop = false;   // --stop: ask the service listening on host:port to stop
    bool help = false;
    bool version = false;

    std::size_t MaxRemoteBody() const { return maxRemoteBody != 0 ? maxRemoteBody : 4 * maxBody; }
};

// The options given, or what is wrong with them (400), one line.
Result<Options> ParseOptions(const std::vector<std::string>& args);

std::string Usage(const std::string& program);

} // namespace tervane::service
