#include "gtk/ServiceRoutesFetcher.h"

#include "net/HttplibTransport.h"

#include <memory>
#include <optional>
#include <utility>

namespace tervane {

namespace {

struct RoutesJob {
    std::string address;
    RoutesFetcher::Done done;
    std::optional<LanguageRoutes> routes;
};

// Each question has a client of its own: several may be out at once (the source changed
// twice), and a client keeps the last answer's state for one thread at a time.
void AskService(GTask*, gpointer, gpointer data, GCancellable*) {
    auto* job = static_cast<RoutesJob*>(data);
    HttpClient http(std::make_unique<HttplibTransport>());
    job->routes = RequestLanguageRoutes(http, job->address);
}

void OnAnswered(GObject*, GAsyncResult* result, gpointer) {
    GTask* task = G_TASK(result);
    if (g_task_return_error_if_cancelled(task))
        return;
    auto* job = static_cast<RoutesJob*>(g_task_get_task_data(task));
    job->done(std::move(job->routes));
}

} // namespace

ServiceRoutesFetcher::ServiceRoutesFetcher(std::string address)
    : address_(std::move(address)), cancellable_(g_cancellable_new()) {}

ServiceRoutesFetcher::~ServiceRoutesFetcher() {
    g_cancellable_cancel(cancellable_);
    g_object_unref(cancellable_);
}

void ServiceRoutesFetcher::Fetch(Done done) {
    auto* job = new RoutesJob{address_, std::move(done), std::nullopt};
    GTask* task = g_task_new(nullptr, cancellable_, OnAnswered, nullptr);
    g_task_set_task_data(task, job, [](gpointer data) { delete static_cast<RoutesJob*>(data); });
    g_task_run_in_thread(task, AskService);
    g_object_unref(task);
}

} // namespace tervane
