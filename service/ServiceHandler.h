// The service's routes: POST /translate, GET /health, GET /languages.
#pragma once

#include "service/Admission.h"
#include "service/HttpMessage.h"
#include "service/Translator.h"

#include <chrono>
#include <functional>
#include <string>

namespace tervane::service {

struct HandlerSettings {
    std::chrono::milliseconds timeout{10000}; // whole request, waiting included
    std::size_t maxActive = 8;
    std::size_t maxWaiting = 32;
};

class ServiceHandler {
  public:
    using LogSink = std::function<void(const std::string&)>;

    ServiceHandler(Translator& translator, HandlerSettings settings, LogSink log);
    HttpResponse Handle(const HttpRequest& request);

  private:
    HttpResponse Translate(const HttpRequest& request, std::string& logDetail);
    HttpResponse Health();
    HttpResponse Languages();

    Translator& translator_;
    HandlerSettings settings_;
    Admission admission_;
    LogSink log_;
};

} // namespace tervane::service
