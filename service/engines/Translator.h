// Routes a request over the engines in their order and runs the chain of the first engine
// that has one, hop by hop.
#pragma once

#include "service/engines/EngineRow.h"
#include "service/engines/WorkBudget.h"
#include "service/http/Admission.h"

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tervane::service {

struct Translation {
    Result<std::string> text; // the translation, or why there is none (422 when no route)
    std::string route;        // for the log: pair ids, "identity" or "none"
    std::string engine;       // the engine that translated; empty when none did
    bool busy = false;        // refused at once for want of a turn (503, try again)
};

// Turns: offline and remote translations wait for turns of their own, so that a remote
// server that hangs holds none of the offline engine's.
struct TranslationBounds {
    std::size_t maxActive = 8;   // offline translations at once
    std::size_t maxRemote = 4;   // translations by remote engines at once
    std::size_t maxWaiting = 32; // waiting for a turn, for each of the two
};

// The turns now: translations running and waiting, offline and remote.
struct TurnCounts {
    std::size_t offlineActive = 0;
    std::size_t offlineWaiting = 0;
    std::size_t remoteActive = 0;
    std::size_t remoteWaiting = 0;
};

struct RouteChoice {
    std::string engine;
    std::vector<Hop> route;
};

// The route a translation takes: which engine of the row, and its hops.
struct PlannedRoute {
    std::size_t engine = 0;
    std::vector<Hop> route;
};

struct RouteListing {
    // For each distinct code of the program's table, every code of the table it reaches,
    // through the engine that would translate it.
    std::map<std::string, std::map<std::string, RouteChoice>> targets;
    // Engines left out because they could not list their pairs, with why.
    std::vector<std::pair<std::string, Error>> unavailable;
};

class Translator {
  public:
    Translator(EngineRow& engines, std::size_t maxHops, TranslationBounds bounds = {});

    // source and target are known table codes; text is valid UTF-8 without NUL. The chain
    // runs once the engine's turn came; a request whose deadline passes while it waits for
    // one gets 504 without anything started.
    Translation Translate(const std::string& source, const std::string& target,
                          const std::string& text, Clock::time_point deadline);

    // The route Translate takes between two languages of the routing graph (table codes,
    // or pivots such as "epo"), or why there is none: 422 naming what would make one, or
    // the failure of an engine that could not list its pairs. Not for equal languages.
    Result<PlannedRoute> Plan(const std::string& source, const std::string& target,
                              Clock::time_point deadline);

    // Runs a route of one engine (from Plan, or hops of its own pair listing) under that
    // engine's turns, as Translate does. Each hop takes its cost from budget (the text's own
    // when none is given); a request that has spent it ends with 413.
    Translation Run(const PlannedRoute& planned, const std::string& text,
                    Clock::time_point deadline, WorkBudget* budget = nullptr);

    // Work of one engine other than a translation (a dictionary of words), under the same
    // turns: its text is work's, or the refusal (503, busy) when no turn came.
    Translation RunWithTurn(std::size_t engine, Clock::time_point deadline,
                            const std::function<Result<std::string>(Engine&)>& work);

    // Engines that cannot list their pairs by the deadline are left out, named.
    RouteListing ListRoutes(Clock::time_point deadline);

    EngineRow& UsedEngine() { return engines_; }
    TurnCounts Turns();
    // The remote engines' failed translations so far, by engine and status (502, 503, 504).
    std::map<std::pair<std::string, int>, std::uint64_t> RemoteErrors();
    std::size_t MaxHops() const { return maxHops_; }

  private:
    // An engine's graph and the routes found on it, kept while its pairs stay the same.
    struct Routes {
        std::optional<PairListing> listing;
        PairGraph graph;
        std::map<std::pair<std::string, std::string>, std::optional<std::vector<Hop>>> found;
    };
    Routes& RoutesFor(std::size_t engine, PairListing listing);
    // Whether a hop of the route is no longer among its engine's pairs.
    bool RouteLeftOut(const PlannedRoute& planned);

    EngineRow& engines_;
    std::size_t maxHops_;
    std::mutex mutex_;
    std::vector<Routes> routes_; // one per engine
    Admission local_;
    Admission remote_;
    std::map<std::pair<std::string, int>, std::uint64_t> remoteErrors_; // under mutex_
};

PairGraph BuildGraph(const PairListing& listing);

} // namespace tervane::service
