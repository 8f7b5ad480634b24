#include "service/engines/Translator.h"

#include "protocol/Languages.h"
#include "protocol/ServiceProtocol.h"

#include <algorithm>

namespace tervane::service {

PairGraph BuildGraph(const PairListing& listing) {
    PairGraph graph;
    for (const PairEntry& entry : listing)
        graph.Add(entry.hop, entry.variant);
    return graph;
}

Translator::Translator(EngineRow& engines, std::size_t maxHops, TranslationBounds bounds)
    : engines_(engines), maxHops_(maxHops), routes_(engines.Engines().size()),
      local_(bounds.maxActive, bounds.maxWaiting), remote_(bounds.maxRemote, bounds.maxWaiting) {}

Translator::Routes& Translator::RoutesFor(std::size_t engine, PairListing listing) {
    Routes& routes = routes_[engine];
    if (routes.listing != listing) {
        routes.graph = BuildGraph(listing);
        routes.found.clear();
        routes.listing = std::move(listing);
    }
    return routes;
}

Translation Translator::Translate(const std::string& source, const std::string& target,
                                  const std::string& text, Clock::time_point deadline) {
    if (source == target)
        return Translation{text, "identity", ""};
    for (int attempt = 0;; ++attempt) {
        const Result<PlannedRoute> planned = Plan(source, target, deadline);
        if (!planned.Ok()) {
            const Error& failure = planned.Failure();
            return Translation{failure, failure.status == 422 ? "none" : "", ""};
        }
        Translation done = Run(planned.Value(), text, deadline);
        // A pair that failed its check at its first use is no longer listed: the request
        // takes the route planned without it, once.
        if (done.text.Ok() || attempt == 1 || !RouteLeftOut(planned.Value()))
            return done;
    }
}

bool Translator::RouteLeftOut(const PlannedRoute& planned) {
    const std::optional<Result<PairListing>> listing =
        engines_.Engines().at(planned.engine)->LastPairs();
    if (!listing || !listing->Ok())
        return false;
    for (const Hop& hop : planned.route) {
        const bool listed = std::any_of(listing->Value().begin(), listing->Value().end(),
                                        [&](const PairEntry& entry) { return entry.hop == hop; });
        if (!listed)
            return true;
    }
    return false;
}

Result<PlannedRoute> Translator::Plan(const std::string& source, const std::string& target,
                                      Clock::time_point deadline) {
    std::optional<Error> unlisted;
    std::string hints;
    for (std::size_t i = 0; i < engines_.Engines().size(); ++i) {
        Engine& engine = *engines_.Engines()[i];
        Result<PairListing> listing = engine.Pairs(deadline);
        if (!listing.Ok()) {
            if (!unlisted)
                unlisted = listing.Failure();
            continue;
        }
        std::optional<std::vector<Hop>> route;
        {
            std::lock_guard lock(mutex_);
            Routes& routes = RoutesFor(i, std::move(listing).Value());
            const auto key = std::make_pair(source, target);
            auto found = routes.found.find(key);
            if (found == routes.found.end())
                found =
                    routes.found.emplace(key, routes.graph.Route(source, target, maxHops_)).first;
            route = found->second;
        }
        if (route)
            return PlannedRoute{i, std::move(*route)};
        hints += (hints.empty() ? "" : "; or ") + engine.MissingPairHint(source, target);
    }
    // An engine that could not list its pairs might have had a route: say that, not 422.
    if (unlisted)
        return *unlisted;
    // A pivot outside the table (asked for through another face) is named by its code.
    const auto name = [](const std::string& code) {
        const auto* language = protocol::FindLanguage(code);
        return language ? std::string(language->name) : "'" + code + "'";
    };
    return Error{422, "No translation route from " + name(source) + " to " + name(target) + ": " +
                          hints};
}

Translation Translator::Run(const PlannedRoute& planned, const std::string& text,
                            Clock::time_point deadline, WorkBudget* budget) {
    WorkBudget own(text.size(), planned.route.size());
    if (budget == nullptr)
        budget = &own;
    Translation result = RunWithTurn(planned.engine, deadline, [&](Engine& engine) {
        if (planned.route.size() > 1)
            engine.Prepare(planned.route);
        Result<std::string> translated = text;
        for (const Hop& hop : planned.route) {
            if (!budget->Take(translated.Value().size()))
                return Result<std::string>(
                    Error{413, "The text needs more translation work than a request may take: "
                               "send it in smaller requests"});
            translated = engine.Translate(hop, translated.Value(), deadline);
            if (!translated.Ok()) {
                if (engine.Remote()) {
                    std::lock_guard lock(mutex_);
                    ++remoteErrors_[{engine.Name(), translated.Failure().status}];
                }
                break;
            }
        }
        return translated;
    });
    result.route = DescribeRoute(planned.route);
    return result;
}

TurnCounts Translator::Turns() {
    return {local_.Active(), local_.Waiting(), remote_.Active(), remote_.Waiting()};
}

std::map<std::pair<std::string, int>, std::uint64_t> Translator::RemoteErrors() {
    std::lock_guard lock(mutex_);
    return remoteErrors_;
}

Translation Translator::RunWithTurn(std::size_t index, Clock::time_point deadline,
                                    const std::function<Result<std::string>(Engine&)>& work) {
    Engine& engine = *engines_.Engines().at(index);
    Translation result{"", "", engine.Name()};
    const AdmissionTicket turn(engine.Remote() ? remote_ : local_, deadline);
    if (turn.Outcome() == Admission::Outcome::QueueFull) {
        result.text = Error{503, "Service busy: too many translations in progress, try again"};
        result.busy = true;
    } else if (!turn.Admitted()) {
        result.text = Error{504, "Service busy: no turn for the translation came before the "
                                 "time-out, try again"};
    } else {
        result.text = work(engine);
    }
    return result;
}

RouteListing Translator::ListRoutes(Clock::time_point deadline) {
    RouteListing listing;
    for (const protocol::Language& language : protocol::LanguageTable())
        listing.targets[std::string(language.serviceCode)];
    for (std::size_t i = 0; i < engines_.Engines().size(); ++i) {
        Engine& engine = *engines_.Engines()[i];
        Result<PairListing> pairs = engine.Pairs(deadline);
        if (!pairs.Ok()) {
            listing.unavailable.emplace_back(engine.Name(), pairs.Failure());
            continue;
        }
        std::lock_guard lock(mutex_);
        const PairGraph& graph = RoutesFor(i, std::move(pairs).Value()).graph;
        for (auto& [source, targets] : listing.targets) {
            for (auto& [to, route] : graph.ReachableFrom(source, maxHops_)) {
                // Pivots outside the table are no targets; an earlier engine's route wins.
                if (listing.targets.count(to) != 0 && targets.count(to) == 0)
                    targets.emplace(to, RouteChoice{engine.Name(), std::move(route)});
            }
        }
    }
    return listing;
}

} // namespace tervane::service
