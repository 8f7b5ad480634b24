// tervane-service: the program's translation service. Offline by default (Apertium).
#include "service/ApertiumEngine.h"
#include "service/ApyEngine.h"
#include "service/EngineRow.h"
#include "service/HttpServer.h"
#include "service/LibreTranslateEngine.h"
#include "service/LogQueue.h"
#include "service/Options.h"
#include "service/ServiceHandler.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace tervane::service;

// Standard error, written by the log's own thread: a request never waits for it.
LogQueue& Log() {
    static LogQueue* queue = new LogQueue(STDERR_FILENO, "tervane-service");
    return *queue;
}

void LogLine(const std::string& line) {
    Log().Post(line);
}

// Every message of a failed start goes out in order before the process ends.
int ExitWith(int code, const std::string& message) {
    if (!message.empty())
        LogLine(message);
    Log().Stop(std::chrono::milliseconds(500));
    return code;
}

Result<std::unique_ptr<Engine>> MakeEngine(const Options& options, const std::string& name) {
    if (name == "apertium") {
        ApertiumSettings settings;
        settings.modesDir = options.modesDir;
        settings.pool.perPair = options.pipesPerPair;
        settings.pool.maxPipelines = options.maxPipelines;
        settings.pool.idleTimeout =
            std::chrono::milliseconds(static_cast<long long>(options.idleTimeoutSeconds * 1000));
        settings.pool.recycleAfter = options.recycleAfter;
        settings.log = LogLine;
        auto engine = std::make_unique<ApertiumEngine>(std::move(settings));
        for (const std::string& line : engine->Skipped())
            LogLine("skipped mode " + line);
        const std::size_t pairs = engine->Pairs().Value().size();
        LogLine("apertium: " + std::to_string(pairs) + " language directions from " +
                options.modesDir);
        if (pairs == 0)
            LogLine("warning: no usable Apertium pairs; install apertium-* packages");
        return engine;
    }
    const Result<RemoteUrl> remote =
        ParseRemoteUrl(name == "apy" ? options.apyUrl : options.libreTranslateUrl);
    if (!remote.Ok())
        return remote.Failure();
    if (name == "apy")
        return std::make_unique<ApyEngine>(remote.Value());
    std::string key;
    if (!options.apiKeyFile.empty()) {
        std::ifstream in(options.apiKeyFile);
        if (!in || !std::getline(in, key))
            return Error{500, "cannot read an API key from " + options.apiKeyFile};
        while (!key.empty() && (key.back() == '\r' || key.back() == ' '))
            key.pop_back();
    }
    return std::make_unique<LibreTranslateEngine>(remote.Value(), key);
}

Result<std::unique_ptr<EngineRow>> MakeEngines(const Options& options) {
    std::vector<std::unique_ptr<Engine>> engines;
    for (const std::string& name : options.engines) {
        Result<std::unique_ptr<Engine>> made = MakeEngine(options, name);
        if (!made.Ok())
            return made.Failure();
        engines.push_back(std::move(made).Value());
    }
    return std::make_unique<EngineRow>(std::move(engines));
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const Result<Options> parsed = ParseOptions(args);
    if (!parsed.Ok()) {
        std::cerr << "tervane-service: " << parsed.Failure().reason << "\n";
        return 2;
    }
    const Options& options = parsed.Value();
    if (options.help) {
        std::cout << Usage("tervane-service");
        return 0;
    }

    // Writes to a pipeline or a client that went away must fail with EPIPE, not kill us.
    std::signal(SIGPIPE, SIG_IGN);
    // SIGINT and SIGTERM are taken by one thread that stops the server.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    Result<std::unique_ptr<EngineRow>> made = MakeEngines(options);
    if (!made.Ok())
        return ExitWith(2, made.Failure().reason);
    EngineRow& engine = *made.Value();
    Translator translator(engine, options.maxHops);
    HandlerSettings settings;
    settings.timeout =
        std::chrono::milliseconds(static_cast<long long>(options.timeoutSeconds * 1000));
    settings.maxActive = options.maxActive;
    settings.maxWaiting = options.maxQueue;

    ServerLimits limits;
    limits.maxBody = options.maxBody;
    limits.maxConnections = options.maxConnections;
    std::unique_ptr<ServiceHandler> handler;
    HttpServer server(limits,
                      [&handler](const HttpRequest& request) { return handler->Handle(request); });
    server.SetLog({LogLine, [] { Log().CountBusy(); }, [] { Log().CountClosedForRoom(); }});
    const Result<unsigned short> port = server.Bind(options.host, options.port);
    if (!port.Ok())
        return ExitWith(1, port.Failure().reason);
    if (!server.BoundToLoopback() && !options.allowRemote) {
        return ExitWith(2, options.host + " is not a loopback address; add --allow-remote to "
                                          "serve other machines");
    }
    settings.loopbackOnly = server.BoundToLoopback();
    handler = std::make_unique<ServiceHandler>(translator, settings,
                                               HandlerLog{LogLine, [] { Log().CountBusy(); }});
    LogLine("listening on " + options.host + ":" + std::to_string(port.Value()) + " (engine " +
            engine.Name() + ")");

    std::thread signalWaiter([&server, stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        LogLine("stopping on signal " + std::to_string(signal));
        server.Stop();
    });
    // Run returns after the waiter called Stop() and the connections ended, or half a second
    // later if some are still translating: then the process ends without waiting for them
    // (its pipelines read the end of their input and exit).
    const bool finished = server.Run(std::chrono::milliseconds(500));
    signalWaiter.join();
    if (!finished) {
        LogLine("stopped with translations still running");
        Log().Stop(std::chrono::milliseconds(200));
        std::_Exit(0);
    }
    return ExitWith(0, "");
}
