// From the program's codes to an engine's pairs, and the chain taken between them.
#include "service/Engine.h"
#include "service/LanguageCodes.h"
#include "service/Router.h"
#include "service/Translator.h"

#include <gtest/gtest.h>

#include <map>

using namespace tervane::service;

namespace {

std::vector<std::string_view> codes(std::initializer_list<std::string_view> list) { return list; }

PairGraph graphOf(std::initializer_list<std::tuple<const char *, const char *, const char *, bool>> pairs) {
  PairGraph graph;
  for (const auto &[from, to, id, variant] : pairs) graph.add(Hop{from, to, id}, variant);
  return graph;
}

std::string routeText(const PairGraph &graph, const char *from, const char *to, std::size_t max = 3) {
  const auto route = graph.route(from, to, max);
  return route ? describeRoute(*route) : "none";
}

} // namespace

TEST(LanguageCodes, MapApertiumNamesToTheProgramsCodes) {
  EXPECT_EQ(tableCodesForApertium("fra"), codes({"fr"}));
  EXPECT_EQ(tableCodesForApertium("fr"), codes({"fr"}));
  EXPECT_EQ(tableCodesForApertium("eng"), codes({"en"}));
  EXPECT_EQ(tableCodesForApertium("spa"), codes({"es"}));
  EXPECT_EQ(tableCodesForApertium("cat"), codes({"ca"}));
  EXPECT_EQ(tableCodesForApertium("por"), codes({"pt"}));
  EXPECT_EQ(tableCodesForApertium("ita"), codes({"it"}));
  EXPECT_EQ(tableCodesForApertium("nob"), codes({"no"}));
  EXPECT_EQ(tableCodesForApertium("hbs"), codes({"hr", "sr"}));
  EXPECT_EQ(tableCodesForApertium("heb"), codes({"iw"}));
  EXPECT_EQ(tableCodesForApertium("tgl"), codes({"tl"}));
  EXPECT_EQ(tableCodesForApertium("zho_TW"), codes({"zh-tw"}));
  EXPECT_EQ(tableCodesForApertium("por_BR"), codes({"pt"}));
  EXPECT_EQ(tableCodesForApertium("cat_valencia"), codes({"ca"}));
  EXPECT_TRUE(tableCodesForApertium("sme").empty());
  EXPECT_TRUE(tableCodesForApertium("").empty());
  EXPECT_TRUE(isApertiumVariant("eng_US"));
  EXPECT_FALSE(isApertiumVariant("eng"));
  EXPECT_EQ(preferredApertiumCode("ja"), "jpn");
  EXPECT_EQ(preferredApertiumCode("iw"), "heb");
}

TEST(LanguageCodes, MapLibreTranslateNamesBothWays) {
  EXPECT_EQ(libreTranslateCode("iw"), "he");
  EXPECT_EQ(libreTranslateCode("zh-tw"), "zt");
  EXPECT_EQ(libreTranslateCode("no"), "nb");
  EXPECT_EQ(libreTranslateCode("fr"), "fr");
  EXPECT_EQ(tableCodesForLibreTranslate("he"), codes({"iw"}));
  EXPECT_EQ(tableCodesForLibreTranslate("zt"), codes({"zh-tw"}));
  EXPECT_EQ(tableCodesForLibreTranslate("zh-Hant"), codes({"zh-tw"}));
  EXPECT_EQ(tableCodesForLibreTranslate("en"), codes({"en"}));
  EXPECT_TRUE(tableCodesForLibreTranslate("eo").empty());
}

TEST(Routing, TakesTheDirectPairThenTheShortestChain) {
  const PairGraph graph = graphOf({{"fr", "es", "fr-es", false},
                                   {"es", "en", "spa-eng", false},
                                   {"en", "ca", "eng-cat", false},
                                   {"ca", "it", "cat-ita", false},
                                   {"fr", "it", "fra-ita", false}});
  EXPECT_EQ(routeText(graph, "fr", "es"), "fr-es");
  EXPECT_EQ(routeText(graph, "fr", "en"), "fr-es,spa-eng");
  EXPECT_EQ(routeText(graph, "fr", "ca"), "fr-es,spa-eng,eng-cat");
  EXPECT_EQ(routeText(graph, "fr", "it"), "fra-ita"); // not the four-hop way round
  EXPECT_EQ(routeText(graph, "fr", "ca", 2), "none");  // chain longer than allowed
  EXPECT_EQ(routeText(graph, "es", "fr"), "none");     // pairs are one-way
  EXPECT_EQ(routeText(graph, "fr", "ja"), "none");
  EXPECT_EQ(routeText(graph, "fr", "fr"), "identity");
}

TEST(Routing, PrefersPlainPairsAndTheBestConnectedPivot) {
  const PairGraph graph = graphOf({{"en", "ca", "eng-cat_valencia", true},
                                   {"en", "ca", "eng-cat", false},
                                   {"es", "en", "spa-eng_US", true},
                                   {"fr", "ca", "fra-cat", false},
                                   {"ca", "en", "cat-eng", false},
                                   {"fr", "es", "fr-es", false},
                                   {"es", "en", "spa-eng", false},
                                   {"es", "fr", "es-fr", false},
                                   {"en", "es", "eng-spa", false},
                                   {"es", "pt", "es-pt", false}});
  EXPECT_EQ(routeText(graph, "en", "ca"), "eng-cat");
  EXPECT_EQ(routeText(graph, "es", "en"), "spa-eng");
  // Two equally short chains; Spanish has more pairs than Catalan.
  EXPECT_EQ(routeText(graph, "fr", "en"), "fr-es,spa-eng");
  const auto reachable = graph.reachableFrom("fr", 3);
  EXPECT_EQ(reachable.size(), 4u); // ca, es, en, pt
  EXPECT_EQ(describeRoute(reachable.at("pt")), "fr-es,es-pt");
  // A variant is used where nothing plain serves the direction.
  EXPECT_EQ(routeText(graphOf({{"es", "pt", "spa-por_BR", true}}), "es", "pt"), "spa-por_BR");
}

namespace {

// A portable stand-in for an engine: records the hops asked for and answers by rule.
class RecordingEngine : public Engine {
public:
  std::vector<PairEntry> offered;
  std::optional<EngineError> failOn; // hop id that fails
  std::string failId;
  std::vector<std::string> asked;

  std::string name() const override { return "recording"; }
  PairListing pairs() override { return PairListing{offered, std::nullopt}; }
  HopResult translate(const Hop &hop, const std::string &text, Clock::time_point) override {
    asked.push_back(hop.id + ":" + text);
    if (failOn && hop.id == failId) return *failOn;
    return text + ">" + hop.to;
  }
  std::string missingPairHint(std::string_view from, std::string_view to) const override {
    return "add " + std::string(from) + "-" + std::string(to);
  }
};

} // namespace

TEST(Translator, RunsTheChainInOrderAndReportsEachKindOfFailure) {
  RecordingEngine engine;
  engine.offered = {{Hop{"fr", "es", "fr-es"}, false}, {Hop{"es", "en", "spa-eng"}, false}};
  Translator translator(engine, 3);
  const auto deadline = Clock::now() + std::chrono::seconds(5);

  Translation done = translator.translate("fr", "en", "chat", deadline);
  EXPECT_EQ(done.status, 200);
  EXPECT_EQ(done.text, "chat>es>en");
  EXPECT_EQ(done.route, "fr-es,spa-eng");
  EXPECT_EQ(engine.asked, (std::vector<std::string>{"fr-es:chat", "spa-eng:chat>es"}));

  Translation same = translator.translate("fr", "fr", "chat", deadline);
  EXPECT_EQ(same.status, 200);
  EXPECT_EQ(same.text, "chat");

  Translation none = translator.translate("fr", "ja", "chat", deadline);
  EXPECT_EQ(none.status, 422);
  EXPECT_EQ(none.reason, "No translation route from French to Japanese: add fr-ja");

  engine.failOn = EngineError{504, "too slow"};
  engine.failId = "spa-eng";
  Translation failed = translator.translate("fr", "en", "chat", deadline);
  EXPECT_EQ(failed.status, 504);
  EXPECT_EQ(failed.reason, "too slow");
}
