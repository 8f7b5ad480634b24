// tervane-service: the program's translation service. Offline by default (Apertium).
#include "service/ApertiumEngine.h"
#include "service/ApyEngine.h"
#include "service/HttpServer.h"
#include "service/LibreTranslateEngine.h"
#include "service/Options.h"
#include "service/ServiceHandler.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <thread>

namespace {

using namespace tervane::service;

std::mutex logMutex;

void logLine(const std::string &line) {
  std::lock_guard lock(logMutex);
  std::fprintf(stderr, "tervane-service: %s\n", line.c_str());
  std::fflush(stderr);
}

std::unique_ptr<Engine> makeEngine(const Options &options, std::string &error) {
  if (options.engine == "apertium") {
    std::vector<std::string> skipped;
    auto engine = std::make_unique<ApertiumEngine>(
        ApertiumSettings{options.modesDir, options.pipesPerPair, 16}, &skipped);
    for (const std::string &line : skipped) logLine("skipped mode " + line);
    const std::size_t pairs = engine->pairs().pairs.size();
    logLine("apertium: " + std::to_string(pairs) + " language directions from " + options.modesDir);
    if (pairs == 0) logLine("warning: no usable Apertium pairs; install apertium-* packages");
    return engine;
  }
  const std::string &url = options.engine == "apy" ? options.apyUrl : options.libreTranslateUrl;
  const auto remote = parseRemoteUrl(url);
  if (!remote) {
    error = "not an http:// or https:// URL: " + url;
    return nullptr;
  }
  if (options.engine == "apy") return std::make_unique<ApyEngine>(*remote);
  std::string key;
  if (!options.apiKeyFile.empty()) {
    std::ifstream in(options.apiKeyFile);
    if (!in || !std::getline(in, key)) {
      error = "cannot read an API key from " + options.apiKeyFile;
      return nullptr;
    }
    while (!key.empty() && (key.back() == '\r' || key.back() == ' ')) key.pop_back();
  }
  return std::make_unique<LibreTranslateEngine>(*remote, key);
}

} // namespace

int main(int argc, char **argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  auto parsed = parseOptions(args);
  if (auto *error = std::get_if<OptionsError>(&parsed)) {
    std::cerr << "tervane-service: " << error->message << "\n";
    return 2;
  }
  const Options options = std::get<Options>(parsed);
  if (options.help) {
    std::cout << usage("tervane-service");
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

  std::string error;
  std::unique_ptr<Engine> engine = makeEngine(options, error);
  if (!engine) {
    std::cerr << "tervane-service: " << error << "\n";
    return 2;
  }
  Translator translator(*engine, options.maxHops);
  HandlerSettings settings;
  settings.timeout = std::chrono::milliseconds(static_cast<long long>(options.timeoutSeconds * 1000));
  settings.maxActive = options.maxActive;
  settings.maxWaiting = options.maxQueue;
  ServiceHandler handler(translator, settings, logLine);

  ServerLimits limits;
  limits.maxBody = options.maxBody;
  limits.maxConnections = options.maxConnections;
  HttpServer server(limits, [&handler](const HttpRequest &request) { return handler.handle(request); });
  server.setRefusalLog(logLine);
  error = server.bind(options.host, options.port);
  if (!error.empty()) {
    std::cerr << "tervane-service: " << error << "\n";
    return 1;
  }
  if (!server.boundToLoopback() && !options.allowRemote) {
    std::cerr << "tervane-service: " << options.host
              << " is not a loopback address; add --allow-remote to serve other machines\n";
    return 2;
  }
  logLine("listening on " + options.host + ":" + std::to_string(server.port()) + " (engine " +
          engine->name() + ")");

  std::thread signalWaiter([&server, stopSignals] {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    logLine("stopping on signal " + std::to_string(signal));
    server.stop();
  });
  server.run(); // returns only after the waiter called stop()
  signalWaiter.join();
  return 0;
}
