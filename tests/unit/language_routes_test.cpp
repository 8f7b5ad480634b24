// The service's language listing as the pickers read it: the routes of a /languages answer,
// the request, and every answer that is not a listing.
#include "tests/unit/FakeHttpTransport.h"
#include "translate/LanguageRoutes.h"

#include <gtest/gtest.h>

using namespace tervane;

namespace {

using Fake = FakeHttpTransport;

// The shape the service answers (service/faces/ProgramFace.cpp), trimmed to three languages.
constexpr const char* kListing = R"json({"engine":"apertium","languages":[
  {"code":"fr","name":"French","targets":[
    {"code":"en","engine":"apertium","route":["fr-es","spa-eng"]},
    {"code":"es","engine":"apertium","route":["fr-es"]}]},
  {"code":"zh-tw","name":"Chinese(T)","targets":[]},
  {"code":"iw","name":"Hebrew","targets":[{"code":"zh-tw","engine":"x","route":[]}]}],
  "unavailable":[{"engine":"apy","reason":"down"}]})json";

TEST(LanguageRoutes, AListingGivesEachSourceTheTargetsItReaches) {
    const std::optional<LanguageRoutes> routes = ParseLanguageRoutes(kListing);
    ASSERT_TRUE(routes);
    EXPECT_TRUE(routes->Reaches("fr", "en"));
    EXPECT_TRUE(routes->Reaches("FR", "ES")) << "the table's upper-case codes";
    EXPECT_FALSE(routes->Reaches("FR", "JA"));
    EXPECT_FALSE(routes->Reaches("EN", "FR")) << "a source the listing leaves out reaches none";
    EXPECT_FALSE(routes->Reaches("ZH-TW", "EN"));
    EXPECT_TRUE(routes->Reaches("IW", "ZH-TW"));
    EXPECT_TRUE(routes->Reaches("JA", "ja")) << "a language reaches itself";
}

TEST(LanguageRoutes, WhatIsNotAListingGivesNothing) {
    for (const char* text :
         {"", "not json", "[]", "{}", R"({"languages":{}})", R"({"languages":[{"code":"fr"}]})",
          R"({"languages":[{"code":1,"targets":[]}]})",
          R"({"languages":[{"code":"fr","targets":[{"engine":"x"}]}]})",
          R"({"languages":[{"code":"fr","targets":[]}])"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ParseLanguageRoutes(text));
    }
    EXPECT_TRUE(ParseLanguageRoutes(R"({"languages":[]})")) << "an engine with no pairs";
}

TEST(LanguageRoutes, TheListingIsAskedBesideTheTranslationAddress) {
    EXPECT_EQ(LanguagesAddress(), "http://127.0.0.1:58470/languages");
    FakeHttpClient client;
    client.fake.script = {Fake::Answer(200, "OK", kListing), Fake::Answer(503, "Unavailable"),
                          std::nullopt, Fake::Answer(200, "OK", "<html>")};
    const auto routes = RequestLanguageRoutes(client.http, LanguagesAddress());
    ASSERT_TRUE(routes);
    EXPECT_TRUE(routes->Reaches("FR", "EN"));
    ASSERT_EQ(client.fake.requests.size(), 1u);
    EXPECT_EQ(client.fake.requests[0].method, "GET");
    EXPECT_EQ(client.fake.requests[0].url, "http://127.0.0.1:58470/languages");
    // An error status, no service, something else: nothing, never an exception.
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(RequestLanguageRoutes(client.http, LanguagesAddress()));
}

} // namespace
