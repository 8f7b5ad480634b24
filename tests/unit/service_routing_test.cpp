// From the program's codes to an engine's pairs, and the chain taken between them.
#include "service/engines/DebianPairs.h"
#include "service/engines/Engine.h"
#include "service/engines/LanguageCodes.h"
#include "service/engines/Router.h"
#include "service/engines/Translator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

using namespace tervane::service;

namespace {

std::vector<std::string_view> Codes(std::initializer_list<std::string_view> list) {
    return list;
}

PairGraph
GraphOf(std::initializer_list<std::tuple<const char*, const char*, const char*, bool>> pairs) {
    PairGraph graph;
    for (const auto& [from, to, id, variant] : pairs)
        graph.Add(Hop{from, to, id}, variant);
    return graph;
}

std::string RouteText(const PairGraph& graph, const char* from, const char* to,
                      std::size_t max = 3) {
    const auto route = graph.Route(from, to, max);
    return route ? DescribeRoute(*route) : "none";
}

} // namespace

TEST(LanguageCodes, MapApertiumNamesToTheProgramsCodes) {
    EXPECT_EQ(TableCodesForApertium("fra"), Codes({"fr"}));
    EXPECT_EQ(TableCodesForApertium("fr"), Codes({"fr"}));
    EXPECT_EQ(TableCodesForApertium("eng"), Codes({"en"}));
    EXPECT_EQ(TableCodesForApertium("spa"), Codes({"es"}));
    EXPECT_EQ(TableCodesForApertium("cat"), Codes({"ca"}));
    EXPECT_EQ(TableCodesForApertium("por"), Codes({"pt"}));
    EXPECT_EQ(TableCodesForApertium("ita"), Codes({"it"}));
    EXPECT_EQ(TableCodesForApertium("nob"), Codes({"no"}));
    EXPECT_EQ(TableCodesForApertium("hbs"), Codes({"hr", "sr"}));
    EXPECT_EQ(TableCodesForApertium("heb"), Codes({"iw"}));
    EXPECT_EQ(TableCodesForApertium("tgl"), Codes({"tl"}));
    EXPECT_EQ(TableCodesForApertium("zho_TW"), Codes({"zh-tw"}));
    EXPECT_EQ(TableCodesForApertium("por_BR"), Codes({"pt"}));
    EXPECT_EQ(TableCodesForApertium("cat_valencia"), Codes({"ca"}));
    EXPECT_TRUE(TableCodesForApertium("sme").empty());
    EXPECT_TRUE(TableCodesForApertium("").empty());
    EXPECT_TRUE(IsApertiumVariant("eng_US"));
    EXPECT_FALSE(IsApertiumVariant("eng"));
    EXPECT_EQ(PreferredApertiumCode("ja"), "jpn");
    EXPECT_EQ(PreferredApertiumCode("iw"), "heb");
}

TEST(LanguageCodes, MapLibreTranslateNamesBothWays) {
    EXPECT_EQ(LibreTranslateCode("iw"), "he");
    EXPECT_EQ(LibreTranslateCode("zh-tw"), "zt");
    EXPECT_EQ(LibreTranslateCode("no"), "nb");
    EXPECT_EQ(LibreTranslateCode("fr"), "fr");
    EXPECT_EQ(TableCodesForLibreTranslate("he"), Codes({"iw"}));
    EXPECT_EQ(TableCodesForLibreTranslate("zt"), Codes({"zh-tw"}));
    EXPECT_EQ(TableCodesForLibreTranslate("zh-Hant"), Codes({"zh-tw"}));
    EXPECT_EQ(TableCodesForLibreTranslate("en"), Codes({"en"}));
    EXPECT_TRUE(TableCodesForLibreTranslate("eo").empty());
}

TEST(Routing, TakesTheDirectPairThenTheShortestChain) {
    const PairGraph graph = GraphOf({{"fr", "es", "fr-es", false},
                                     {"es", "en", "spa-eng", false},
                                     {"en", "ca", "eng-cat", false},
                                     {"ca", "it", "cat-ita", false},
                                     {"fr", "it", "fra-ita", false}});
    EXPECT_EQ(RouteText(graph, "fr", "es"), "fr-es");
    EXPECT_EQ(RouteText(graph, "fr", "en"), "fr-es,spa-eng");
    EXPECT_EQ(RouteText(graph, "fr", "ca"), "fr-es,spa-eng,eng-cat");
    EXPECT_EQ(RouteText(graph, "fr", "it"), "fra-ita"); // not the four-hop way round
    EXPECT_EQ(RouteText(graph, "fr", "ca", 2), "none"); // chain longer than allowed
    EXPECT_EQ(RouteText(graph, "es", "fr"), "none");    // pairs are one-way
    EXPECT_EQ(RouteText(graph, "fr", "ja"), "none");
    EXPECT_EQ(RouteText(graph, "fr", "fr"), "identity");
}

TEST(Routing, BreaksTiesTowardsEnglishAndSpanishThenAFixedOrderWhateverTheInstallOrder) {
    // Equally short chains from Danish to Galician: through English, Spanish, Catalan, or
    // Esperanto (outside the table); from Danish to Italian only through pivots that are
    // neither English nor Spanish, so the fixed order (by code) decides.
    std::vector<std::tuple<const char*, const char*, const char*, bool>> pairs = {
        {"da", "ca", "dan-cat", false},  {"ca", "gl", "cat-glg", false},
        {"da", "epo", "dan-epo", false}, {"epo", "gl", "epo-glg", false},
        {"da", "es", "dan-spa", false},  {"es", "gl", "es-gl", false},
        {"da", "en", "dan-eng", false},  {"en", "gl", "en-gl", false},
        {"ca", "it", "cat-ita", false},  {"epo", "it", "epo-ita", false},
        {"da", "sv", "dan-swe", false},  {"sv", "is", "swe-isl", false},
        {"epo", "is", "epo-isl", false}, {"en", "is", "eng-isl", false}};
    std::set<std::string> seen;
    do {
        PairGraph graph;
        for (const auto& [from, to, id, variant] : pairs)
            graph.Add(Hop{from, to, id}, variant);
        std::string routes = RouteText(graph, "da", "gl") + " " + RouteText(graph, "da", "it") +
                             " " + RouteText(graph, "da", "is");
        seen.insert(routes);
    } while (std::next_permutation(pairs.begin(), pairs.begin() + 6));
    EXPECT_EQ(seen, (std::set<std::string>{"dan-eng,en-gl dan-cat,cat-ita dan-eng,eng-isl"}));

    // With English out, Spanish; with both out, a table language before one outside it only
    // by the order of codes ("ca" < "epo"), and a chain of English and Spanish pivots before
    // one that has any other.
    EXPECT_EQ(RouteText(GraphOf({{"da", "epo", "dan-epo", false},
                                 {"epo", "gl", "epo-glg", false},
                                 {"da", "es", "dan-spa", false},
                                 {"es", "gl", "es-gl", false}}),
                        "da", "gl"),
              "dan-spa,es-gl");
    EXPECT_EQ(RouteText(GraphOf({{"da", "ca", "dan-cat", false},
                                 {"ca", "es", "cat-spa", false},
                                 {"es", "gl", "es-gl", false},
                                 {"da", "en", "dan-eng", false},
                                 {"en", "es", "eng-spa", false}}),
                        "da", "gl"),
              "dan-eng,eng-spa,es-gl");
}

TEST(Routing, NeverDefaultsToAVariantLeavesCyclesAndRespectsTheHopLimit) {
    const PairGraph graph = GraphOf({{"en", "ca", "eng-cat_valencia", true},
                                     {"en", "ca", "eng-cat", false},
                                     {"en", "ca", "eng-cat_iec2017", true},
                                     {"es", "en", "spa-eng_US", true},
                                     {"es", "en", "spa-eng", false},
                                     {"no", "nno", "nob-nno_e", true},
                                     {"no", "nno", "nob-nno", false},
                                     {"nno", "da", "nno-dan", false},
                                     // a cycle: ca -> oci -> es -> ca
                                     {"ca", "oci", "ca-oc", false},
                                     {"oci", "es", "oc-es", false},
                                     {"es", "ca", "spa-cat", false}});
    EXPECT_EQ(RouteText(graph, "en", "ca"), "eng-cat");
    EXPECT_EQ(RouteText(graph, "es", "en"), "spa-eng");
    EXPECT_EQ(RouteText(graph, "no", "da"), "nob-nno,nno-dan"); // through a pivot outside
    EXPECT_EQ(RouteText(graph, "ca", "es"), "ca-oc,oc-es");
    EXPECT_EQ(RouteText(graph, "ca", "fr", 8), "none"); // the cycle does not loop
    const auto reachable = graph.ReachableFrom("ca", 8);
    EXPECT_EQ(reachable.size(), 3u); // oci, es, en
    EXPECT_EQ(DescribeRoute(reachable.at("en")), "ca-oc,oc-es,spa-eng");
    EXPECT_EQ(RouteText(graph, "ca", "en", 2), "none");
    // A variant is used where nothing plain serves the direction.
    EXPECT_EQ(RouteText(GraphOf({{"es", "pt", "spa-por_BR", true}}), "es", "pt"), "spa-por_BR");
}

TEST(Routing, NamesLanguagesOutsideTheTableOnceAsPivots) {
    EXPECT_EQ(RoutingNodesForApertium("fra"), (std::vector<std::string>{"fr"}));
    EXPECT_EQ(RoutingNodesForApertium("hbs"), (std::vector<std::string>{"hr", "sr"}));
    EXPECT_EQ(RoutingNodesForApertium("oc"), (std::vector<std::string>{"oci"}));
    EXPECT_EQ(RoutingNodesForApertium("oci"), (std::vector<std::string>{"oci"}));
    EXPECT_EQ(RoutingNodesForApertium("oc_aran"), (std::vector<std::string>{"oci"}));
    EXPECT_EQ(RoutingNodesForApertium("eo"), (std::vector<std::string>{"epo"}));
    EXPECT_EQ(RoutingNodesForApertium("nno_e"), (std::vector<std::string>{"nno"}));
    EXPECT_TRUE(RoutingNodesForApertium("Cyrl").empty()); // a script, not a language
}

namespace {

// A portable stand-in for an engine: records the hops asked for and answers by rule.
class RecordingEngine : public Engine {
  public:
    PairListing offered;
    std::optional<Error> listingFails;
    std::optional<Error> failOn; // on the hop failId
    std::string failId;
    std::vector<std::string> asked;

    std::string name = "recording";

    std::string Name() const override { return name; }
    Result<PairListing> Pairs(Clock::time_point) override {
        if (listingFails)
            return *listingFails;
        return offered;
    }
    void Prepare(const std::vector<Hop>& route) override {
        std::string ids;
        for (const Hop& hop : route)
            ids += (ids.empty() ? "" : ",") + hop.id;
        asked.push_back("prepare:" + ids);
    }
    Result<std::string> Translate(const Hop& hop, const std::string& text,
                                  Clock::time_point) override {
        asked.push_back(hop.id + ":" + text);
        if (failOn && hop.id == failId)
            return *failOn;
        return text + ">" + hop.to;
    }
    std::string MissingPairHint(std::string_view from, std::string_view to) const override {
        return "add " + std::string(from) + "-" + std::string(to);
    }
};

} // namespace

// A row holding one recording engine, and the engine to look at.
struct OneEngine {
    OneEngine() {
        auto owned = std::make_unique<RecordingEngine>();
        engine = owned.get();
        std::vector<std::unique_ptr<Engine>> engines;
        engines.push_back(std::move(owned));
        row = std::make_unique<EngineRow>(std::move(engines));
    }
    RecordingEngine* engine;
    std::unique_ptr<EngineRow> row;
};

TEST(Translator, RunsTheChainInOrderAndReportsEachKindOfFailure) {
    OneEngine one;
    RecordingEngine& engine = *one.engine;
    engine.offered = {{Hop{"fr", "es", "fr-es"}, false}, {Hop{"es", "en", "spa-eng"}, false}};
    Translator translator(*one.row, 3);
    const auto deadline = Clock::now() + std::chrono::seconds(5);

    const Translation done = translator.Translate("fr", "en", "chat", deadline);
    ASSERT_TRUE(done.text.Ok());
    EXPECT_EQ(done.text.Value(), "chat>es>en");
    EXPECT_EQ(done.route, "fr-es,spa-eng");
    // The whole route is announced before its first hop, so later pairs can start meanwhile.
    EXPECT_EQ(engine.asked,
              (std::vector<std::string>{"prepare:fr-es,spa-eng", "fr-es:chat", "spa-eng:chat>es"}));

    const Translation same = translator.Translate("fr", "fr", "chat", deadline);
    ASSERT_TRUE(same.text.Ok());
    EXPECT_EQ(same.text.Value(), "chat");

    const Translation none = translator.Translate("fr", "ja", "chat", deadline);
    ASSERT_FALSE(none.text.Ok());
    EXPECT_EQ(none.text.Failure().status, 422);
    EXPECT_EQ(none.text.Failure().reason,
              "No translation route from French to Japanese: add fr-ja");

    engine.failOn = Error{504, "too slow"};
    engine.failId = "spa-eng";
    const Translation failed = translator.Translate("fr", "en", "chat", deadline);
    ASSERT_FALSE(failed.text.Ok());
    EXPECT_EQ(failed.text.Failure().status, 504);
    EXPECT_EQ(failed.text.Failure().reason, "too slow");

    engine.listingFails = Error{502, "APy unreachable"};
    const Translation unlisted = translator.Translate("fr", "en", "chat", deadline);
    ASSERT_FALSE(unlisted.text.Ok());
    EXPECT_EQ(unlisted.text.Failure().status, 502);
    EXPECT_EQ(unlisted.text.Failure().reason, "APy unreachable");
}

TEST(Translator, AsksTheEnginesInTurnAndLetsTheFirstWithARouteTranslate) {
    auto offline = std::make_unique<RecordingEngine>();
    auto remote = std::make_unique<RecordingEngine>();
    RecordingEngine& first = *offline;
    RecordingEngine& second = *remote;
    first.name = "offline";
    second.name = "remote";
    first.offered = {{Hop{"fr", "es", "fr-es"}, false}};
    second.offered = {{Hop{"fr", "es", "fr>es"}, false}, {Hop{"de", "en", "de>en"}, false}};
    std::vector<std::unique_ptr<Engine>> engines;
    engines.push_back(std::move(offline));
    engines.push_back(std::move(remote));
    EngineRow row(std::move(engines));
    EXPECT_EQ(row.Name(), "offline,remote");
    Translator translator(row, 4);
    const auto deadline = Clock::now() + std::chrono::seconds(5);

    const Translation french = translator.Translate("fr", "es", "chat", deadline);
    EXPECT_EQ(french.engine, "offline");
    EXPECT_EQ(french.route, "fr-es");
    const Translation german = translator.Translate("de", "en", "Hund", deadline);
    EXPECT_EQ(german.engine, "remote");
    EXPECT_EQ(german.text.Value(), "Hund>en");
    EXPECT_EQ(first.asked, (std::vector<std::string>{"fr-es:chat"}));

    const Translation none = translator.Translate("fr", "ja", "chat", deadline);
    ASSERT_FALSE(none.text.Ok());
    EXPECT_EQ(none.text.Failure().status, 422);
    EXPECT_EQ(none.text.Failure().reason,
              "No translation route from French to Japanese: add fr-ja; or add fr-ja");

    const RouteListing listing = translator.ListRoutes(deadline);
    EXPECT_EQ(listing.targets.size(), 53u);
    EXPECT_EQ(listing.targets.at("fr").at("es").engine, "offline");
    EXPECT_EQ(listing.targets.at("de").at("en").engine, "remote");

    // A remote engine that cannot list its pairs leaves the offline routes working, and is
    // what a request it might have served hears about.
    second.listingFails = Error{502, "LibreTranslate unreachable"};
    EXPECT_TRUE(translator.Translate("fr", "es", "chat", deadline).text.Ok());
    const Translation down = translator.Translate("de", "en", "Hund", deadline);
    EXPECT_EQ(down.text.Failure().reason, "LibreTranslate unreachable");
    const RouteListing partial = translator.ListRoutes(deadline);
    EXPECT_EQ(partial.targets.at("fr").size(), 1u);
    ASSERT_EQ(partial.unavailable.size(), 1u);
    EXPECT_EQ(partial.unavailable[0].first, "remote");
}

TEST(DebianPairs, AHintNamesOnlyAPackageDebianHasInEitherDirection) {
    EXPECT_EQ(DebianPairPackage("fr", "es"), "apertium-fr-es");
    EXPECT_EQ(DebianPairPackage("es", "fr"), "apertium-fr-es");
    EXPECT_EQ(DebianPairPackage("en", "es"), "apertium-eng-spa") << "the current name first";
    EXPECT_EQ(DebianPairPackage("hr", "en"), "apertium-hbs-eng");
    EXPECT_EQ(DebianPairPackage("de", "en"), std::nullopt);
    EXPECT_EQ(DebianPairPackage("fr", "ja"), std::nullopt);
}
