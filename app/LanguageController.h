#pragma once
// The "Language" group's rules, once for every front end: the two pickers' positions over
// the language table and the service codes that follow them, the swap, and which targets the
// service reaches from the source (the others are drawn greyed, still selectable). The
// service's listing is asked for without waiting: the answer comes back later, on the UI
// thread, and one asked for an earlier source is dropped.
#include "translate/LanguageRoutes.h"

#include <functional>
#include <optional>
#include <string>

namespace tervane {

// Asks the service which routes it has (GET /languages).
class RoutesFetcher {
  public:
    virtual ~RoutesFetcher() = default;
    using Done = std::function<void(std::optional<LanguageRoutes>)>;
    // Starts the question and returns; calls `done` once, later, on the UI thread, with the
    // routes or nothing (no service, an error, a time-out). A front end whose fetcher
    // answers at once may call it before Fetch returns.
    virtual void Fetch(Done done) = 0;
};

class LanguageController {
  public:
    // `routes` must outlive the controller. Both pickers start at their initial positions
    // (French, English) with their codes; nothing is asked until Start.
    explicit LanguageController(RoutesFetcher& routes);

    // Asks for the routes the first time (the window is up).
    void Start() { RefreshRoutes(); }

    // Positions in the table, -1 for a picker without a selection.
    int SourcePosition() const { return source_; }
    int TargetPosition() const { return target_; }
    // The codes the translation sends ("FR", "ZH-TW"): each that of its picker's last entry.
    const std::string& SourceCode() const { return sourceCode_; }
    const std::string& TargetCode() const { return targetCode_; }

    // A pick (or the store's position): a position outside the table leaves the picker
    // without a selection and its code as it was. A new source asks for the routes again,
    // so that a service started (or given other engines) since is seen.
    void SelectSource(int position);
    void SelectTarget(int position);
    // A click on the group: the positions change places (a picker without a selection too)
    // and so do the codes.
    void Swap();
    // Asks for the routes again (the service's address changed).
    void RefreshRoutes();

    // Whether the target at `position` is drawn as one the service reaches from the source:
    // true for every target while the service has not answered.
    bool TargetReached(int position) const;
    bool RoutesKnown() const { return routes_.has_value(); }

    // Called after the positions or the routes changed: the view shows them again.
    std::function<void()> onChanged;

  private:
    void Changed() const;

    RoutesFetcher& fetcher_;
    int source_;
    int target_;
    std::string sourceCode_;
    std::string targetCode_;
    std::optional<LanguageRoutes> routes_;
    // Counts the questions asked; only the answer to the last one is taken.
    unsigned question_ = 0;
};

} // namespace tervane
