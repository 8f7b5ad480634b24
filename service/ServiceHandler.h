// Every request's way through the service: a shared service's access rules, web pages kept
// out, then the face the request speaks to (service/faces/), and its log line.
#pragma once

#include "service/RemoteAccess.h"
#include "service/engines/Translator.h"
#include "service/faces/Faces.h"
#include "service/http/HttpMessage.h"
#include "service/http/Metrics.h"

#include <chrono>
#include <functional>
#include <string>

namespace tervane::service {

struct HandlerSettings {
    std::chrono::milliseconds timeout{10000}; // whole request, waiting included
    // What the faces are told besides the timeout (--char-limit, keys, the version).
    FaceSettings faces;
    // Listening on loopback only: a request from a web page (an Origin header, or a Host
    // that is not a loopback name) is refused with 403, so that no site the user visits can
    // use the service through the browser.
    bool loopbackOnly = true;
    // Serving other machines (--allow-remote): who may, and how often; null when anyone may.
    RemoteAccess* access = nullptr;
    // True once the service drains (stopping): /health says so, so balancers send no more.
    std::function<bool()> draining;
    // Where answers are counted for GET /metrics; null: no /metrics.
    Metrics* metrics = nullptr;
};

// Where the handler reports: one line per answer, except that each refusal of an
// overloaded service (503) is only counted.
struct HandlerLog {
    std::function<void(const std::string&)> line;
    std::function<void()> busy;
};

class ServiceHandler {
  public:
    ServiceHandler(Translator& translator, HandlerSettings settings, HandlerLog log);
    HttpResponse Handle(const HttpRequest& request);

  private:
    HttpResponse Route(const HttpRequest& request, std::string& logDetail);

    HandlerSettings settings_;
    HandlerLog log_;
    Faces faces_;
};

} // namespace tervane::service
