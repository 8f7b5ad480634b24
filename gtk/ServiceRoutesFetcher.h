#pragma once
// Asks the service which routes it has (GET /languages) on a worker thread, so that a
// service that does not answer never holds the window up; the answer comes back on the
// main loop. Questions still out when the fetcher goes are cancelled and their answers
// dropped.
#include "app/LanguageController.h"

#include <gio/gio.h>

#include <string>

namespace tervane {

class ServiceRoutesFetcher final : public RoutesFetcher {
  public:
    // `address` is the listing's address (translate/LanguageRoutes.h: LanguagesAddress).
    explicit ServiceRoutesFetcher(std::string address);
    ~ServiceRoutesFetcher() override;
    ServiceRoutesFetcher(const ServiceRoutesFetcher&) = delete;
    ServiceRoutesFetcher& operator=(const ServiceRoutesFetcher&) = delete;

    void Fetch(Done done) override;

  private:
    std::string address_;
    GCancellable* cancellable_;
};

} // namespace tervane
