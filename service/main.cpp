// tervane-service: the program's translation service. Offline by default (Apertium).
#include "service/EngineMetrics.h"
#include "service/ServiceHandler.h"
#include "service/core/Options.h"
#include "service/engines/ApertiumSetup.h"
#include "service/engines/EngineRow.h"
#include "service/engines/EngineTable.h"
#include "service/http/HttpServer.h"
#include "service/http/SharedRateStorage.h"
#include "service/platform/LogFile.h"
#include "service/platform/LogQueue.h"
#include "service/platform/ServiceProcess.h"

#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>

namespace {

using namespace tervane::service;

LogQueue* logQueue = nullptr;
bool logToFile = false;

// Written by the log's own thread: a request never waits for it.
LogQueue& Log() {
    return *logQueue;
}

// Standard error, or the log file given (or the platform's default one).
Result<LogOutput> OpenLogOutput(const Options& options) {
    const std::filesystem::path path =
        options.logFile.empty() ? DefaultLogFile() : PathFromUtf8(options.logFile);
    if (path.empty() || options.logFile == "-")
        return StandardErrorOutput();
    logToFile = true;
    return LogFileOutput(path);
}

void LogLine(const std::string& line) {
    Log().Post(line);
}

// Every message of a failed start goes out in order before the process ends.
// A failed start is told to whoever started the service too, when its log is a file.
int ExitWith(int code, const std::string& message) {
    if (!message.empty()) {
        LogLine(message);
        if (logToFile)
            std::cerr << "tervane-service: " << message << std::endl;
    }
    Log().Stop(std::chrono::milliseconds(500));
    return code;
}

// Serving other machines: the keys they must send and their rate, or null when the service
// serves only this one.
Result<std::unique_ptr<RemoteAccess>> MakeRemoteAccess(const Options& options, bool loopback) {
    // The keys file is checked in every mode: a path that is wrong today is refused now,
    // not on the day the service is opened to other machines.
    std::unique_ptr<ApiKeys> keys;
    if (!options.acceptedKeysFile.empty()) {
        keys = std::make_unique<ApiKeys>(PathFromUtf8(options.acceptedKeysFile),
                                         options.acceptedKeysFile, loopback ? nullptr : LogLine);
        if (const Result<std::size_t> loaded = keys->Load(); !loaded.Ok())
            return Error{500, "cannot use --api-keys: " + loaded.Failure().reason};
    }
    // So is the Redis's address; the Redis itself may come later.
    std::optional<RedisAddress> redis;
    if (!options.rateLimitStorage.empty()) {
        Result<RedisAddress> parsed = ParseRedisUrl(options.rateLimitStorage);
        if (!parsed.Ok())
            return Error{400, "bad value '" + options.rateLimitStorage +
                                  "' for --rate-limit-storage: " + parsed.Failure().reason};
        redis = std::move(parsed).Value();
    }
    if (loopback) {
        if (!options.acceptedKeysFile.empty() || options.rateLimitPerMinute != 0)
            LogLine("listening on loopback: no other machine can reach the service, so "
                    "--api-keys and --rate-limit are not used");
        return std::unique_ptr<RemoteAccess>();
    }
    if (!keys) {
        LogLine("serving other machines without API keys: any of them may translate (see "
                "--api-keys)");
    }
    std::unique_ptr<RateStorage> rates;
    if (redis) {
        Result<std::unique_ptr<RateStorage>> shared =
            MakeSharedRateStorage(*redis, options.rateLimitPerMinute, LogLine);
        if (!shared.Ok())
            return shared.Failure();
        rates = std::move(shared).Value();
    }
    return std::make_unique<RemoteAccess>(std::move(keys), options.rateLimitPerMinute,
                                          std::move(rates));
}

Result<std::unique_ptr<EngineRow>> MakeEngines(const Options& options) {
    std::vector<std::unique_ptr<Engine>> engines;
    for (const std::string& name : options.engines) {
        Result<std::unique_ptr<Engine>> made = MakeEngine(name, options, LogLine);
        if (!made.Ok())
            return made.Failure();
        engines.push_back(std::move(made).Value());
    }
    return std::make_unique<EngineRow>(std::move(engines));
}

int RequestStopAndSay(const Options& options) {
    constexpr std::chrono::seconds kStopWait(10);
    const std::string service = "tervane-service on port " + std::to_string(options.port);
    switch (RequestStop(options.port, kStopWait)) {
    case StopOutcome::Stopped:
        std::cout << "tervane-service: stopped the " << service << "\n";
        return 0;
    case StopOutcome::NoneRunning:
        std::cout << "tervane-service: no " << service << " was running\n";
        return 1;
    case StopOutcome::StillRunning:
        std::cerr << "tervane-service: the " << service << " was asked to stop and is still "
                  << "running after " << kStopWait.count() << " s\n";
        return 3;
    case StopOutcome::Unsupported:
        break;
    }
    std::cerr << "tervane-service: --stop is not supported here; stop the service with "
                 "SIGTERM or SIGINT\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    PrepareProcess();
    const Result<Options> parsed = ParseOptions(CommandLineArguments(argc, argv), EngineSyntaxes());
    if (!parsed.Ok()) {
        std::cerr << "tervane-service: " << parsed.Failure().reason << "\n";
        return 2;
    }
    const Options& options = parsed.Value();
    if (options.help) {
        std::cout << Usage("tervane-service", EngineSyntaxes());
        return 0;
    }
    if (options.version) {
        std::cout << "tervane-service " << TERVANE_SERVICE_VERSION << "\n";
        return 0;
    }
    if (options.stop)
        return RequestStopAndSay(options);
    Result<LogOutput> output = OpenLogOutput(options);
    if (!output.Ok()) {
        std::cerr << "tervane-service: " << output.Failure().reason << "\n";
        return 2;
    }
    logQueue = new LogQueue(std::move(output).Value(), "tervane-service");

    Result<std::unique_ptr<EngineRow>> made = MakeEngines(options);
    if (!made.Ok())
        return ExitWith(2, made.Failure().reason);
    EngineRow& engine = *made.Value();
    engine.LastPairs(); // remote engines' pair lists begin to come, for /health and the first use
    Translator translator(
        engine, options.maxHops,
        TranslationBounds{options.maxActive, options.maxRemote, options.maxQueue});
    HandlerSettings settings;
    settings.timeout =
        std::chrono::milliseconds(static_cast<long long>(options.timeoutSeconds * 1000));
    settings.faces.charLimit = options.charLimit;
    settings.faces.version = TERVANE_SERVICE_VERSION;

    ServerLimits limits;
    limits.maxBody = options.maxBody;
    limits.maxConnections = options.maxConnections;
    std::unique_ptr<ServiceHandler> handler;
    HttpServer server(limits,
                      [&handler](const HttpRequest& request) { return handler->Handle(request); });
    server.SetLog({LogLine, [] { Log().CountBusy(); }, [] { Log().CountClosedForRoom(); }});
    // A non-loopback address without --allow-remote is refused before anything is bound.
    const Result<unsigned short> port =
        server.Bind(options.host, options.port, !options.allowRemote);
    if (!port.Ok())
        return ExitWith(port.Failure().status == 403 ? 2 : 1, port.Failure().reason);
    TrustedProxies proxies;
    for (const std::string& proxy : options.trustedProxies) {
        if (const auto wrong = proxies.Add(proxy))
            return ExitWith(2, "bad value '" + proxy + "' for --trusted-proxy: " + *wrong);
    }
    server.SetTrustedProxies(proxies);
    if (!proxies.Empty()) {
        std::string named;
        for (const std::string& proxy : options.trustedProxies)
            named += (named.empty() ? "" : ", ") + proxy;
        LogLine("trusted proxies: " + named +
                "; the clients they forward for are the requests' "
                "clients");
    }
    // Behind a proxy on loopback, other machines reach the service through it.
    settings.loopbackOnly = server.BoundToLoopback() && proxies.Empty();
    Result<std::unique_ptr<RemoteAccess>> access = MakeRemoteAccess(options, settings.loopbackOnly);
    if (!access.Ok())
        return ExitWith(2, access.Failure().reason);
    settings.access = access.Value().get();
    settings.faces.keysRequired = settings.access && !options.acceptedKeysFile.empty();
    settings.draining = [&server] { return server.Stopping(); };
    Metrics metrics;
    metrics.AddSource([&translator] { return EngineMetrics(translator); });
    if (settings.access && settings.access->RateState())
        metrics.AddSource([access = settings.access] {
            return std::vector<MetricFamily>{RateStorageMetric(*access->RateState())};
        });
    settings.metrics = &metrics;
    handler = std::make_unique<ServiceHandler>(translator, settings,
                                               HandlerLog{LogLine, [] { Log().CountBusy(); }});
    LogLine("listening on " + options.host + ":" + std::to_string(port.Value()) + " (engine " +
            engine.Name() + ")");

    // Run returns after the waiter called Stop() and every request in flight was answered,
    // or at --drain-timeout if some are still translating: then the process ends without
    // waiting for them (its pipelines read the end of their input and exit).
    bool finished = false;
    {
        StopWaiter waiter(
            port.Value(),
            [&server](const std::string& what) {
                server.Stop();
                LogLine("stopping on " + what + ": answering the requests in flight");
            },
            [] {
                Log().Reopen();
                LogLine("log reopened on SIGHUP");
            });
        finished = server.Run(
            std::chrono::milliseconds(static_cast<long long>(options.drainTimeoutSeconds * 1000)));
    }
    // No pair host or stage process outlives the service, hung or not.
    constexpr std::chrono::seconds kProcessesGrace{2};
    if (!finished) {
        LogLine("stopped with translations still running");
        EndApertiumProcesses(kProcessesGrace);
        Log().Stop(std::chrono::milliseconds(200));
        std::_Exit(0);
    }
    EndApertiumProcesses(kProcessesGrace);
    return ExitWith(0, "");
}
