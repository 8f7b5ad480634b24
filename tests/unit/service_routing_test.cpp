// From the program's codes to an engine's pairs, and the chain taken between them.
#include "service/Engine.h"
#include "service/LanguageCodes.h"
#include "service/Router.h"
#include "service/Translator.h"

#include <gtest/gtest.h>

#include <map>

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

TEST(Routing, PrefersPlainPairsAndTheBestConnectedPivot) {
    const PairGraph graph = GraphOf({{"en", "ca", "eng-cat_valencia", true},
                                     {"en", "ca", "eng-cat", false},
                                     {"es", "en", "spa-eng_US", true},
                                     {"fr", "ca", "fra-cat", false},
                                     {"ca", "en", "cat-eng", false},
                                     {"fr", "es", "fr-es", false},
                                     {"es", "en", "spa-eng", false},
                                     {"es", "fr", "es-fr", false},
                                     {"en", "es", "eng-spa", false},
                                     {"es", "pt", "es-pt", false}});
    EXPECT_EQ(RouteText(graph, "en", "ca"), "eng-cat");
    EXPECT_EQ(RouteText(graph, "es", "en"), "spa-eng");
    // Two equally short chains; Spanish has more pairs than Catalan.
    EXPECT_EQ(RouteText(graph, "fr", "en"), "fr-es,spa-eng");
    const auto reachable = graph.ReachableFrom("fr", 3);
    EXPECT_EQ(reachable.size(), 4u); // ca, es, en, pt
    EXPECT_EQ(DescribeRoute(reachable.at("pt")), "fr-es,es-pt");
    // A variant is used where nothing plain serves the direction.
    EXPECT_EQ(RouteText(GraphOf({{"es", "pt", "spa-por_BR", true}}), "es", "pt"), "spa-por_BR");
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

    std::string Name() const override { return "recording"; }
    Result<PairListing> Pairs() override {
        if (listingFails)
            return *listingFails;
        return offered;
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

TEST(Translator, RunsTheChainInOrderAndReportsEachKindOfFailure) {
    RecordingEngine engine;
    engine.offered = {{Hop{"fr", "es", "fr-es"}, false}, {Hop{"es", "en", "spa-eng"}, false}};
    Translator translator(engine, 3);
    const auto deadline = Clock::now() + std::chrono::seconds(5);

    const Translation done = translator.Translate("fr", "en", "chat", deadline);
    ASSERT_TRUE(done.text.Ok());
    EXPECT_EQ(done.text.Value(), "chat>es>en");
    EXPECT_EQ(done.route, "fr-es,spa-eng");
    EXPECT_EQ(engine.asked, (std::vector<std::string>{"fr-es:chat", "spa-eng:chat>es"}));

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
