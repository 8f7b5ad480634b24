// The service's LibreTranslate face: requests and answers in the shapes of LibreTranslate's
// API reference, and npm's "libretranslate" client (installed by scripts/install-deps.sh),
// against the real service with real Apertium.
#include "ChildProcess.h"
#include "ServiceClient.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace tervane::testing;
using nlohmann::json;

namespace {

constexpr const char* kNpmClient = "/opt/tervane-test-clients/node_modules/libretranslate";

class LibreTranslateFace : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        service_ = new RunningServer(StartListening(ServiceCommand({})));
    }
    static void TearDownTestSuite() {
        delete service_;
        service_ = nullptr;
    }
    static unsigned short Port() { return service_->port; }

    static RunningServer* service_;
};

RunningServer* LibreTranslateFace::service_ = nullptr;

JsonReply Translate(unsigned short port, const json& request) {
    return PostJson(port, "/translate", request);
}

} // namespace

TEST_F(LibreTranslateFace, TranslatesTextsListsFormsAndHtml) {
    const JsonReply one = Translate(
        Port(), {{"q", "Le chat est noir."}, {"source", "fr"}, {"target", "es"}, {"api_key", "k"}});
    EXPECT_EQ(one.status, 200) << one.body;
    EXPECT_EQ(one.json, json({{"translatedText", "El gato es negro."}}));

    const JsonReply list = Translate(
        Port(), {{"q", {"Le chat est noir.", "La maison."}}, {"source", "fr"}, {"target", "en"}});
    EXPECT_EQ(list.json["translatedText"], json({"The cat is black.", "The house."})) << list.body;

    const JsonReply form = PostFormJson(Port(), "/translate",
                                        "q=" + UrlEncode("Le chat est noir.") +
                                            "&source=fr&target=es&format=text&api_key=k");
    EXPECT_EQ(form.json, json({{"translatedText", "El gato es negro."}})) << form.body;

    const JsonReply html = Translate(Port(), {{"q", "<p class=\"x\">Le chat est noir.</p>"},
                                              {"source", "fr"},
                                              {"target", "es"},
                                              {"format", "html"}});
    EXPECT_EQ(html.json["translatedText"], "<p class=\"x\">El gato es negro.</p>") << html.body;

    const JsonReply alternatives = Translate(
        Port(), {{"q", "Le chat."}, {"source", "fr"}, {"target", "es"}, {"alternatives", 3}});
    EXPECT_EQ(alternatives.json["alternatives"], json::array()) << alternatives.body;
}

TEST_F(LibreTranslateFace, RefusesWithLibreTranslatesErrors) {
    const auto expectError = [&](const json& request, int status, const std::string& error) {
        SCOPED_TRACE(request.dump());
        const JsonReply reply = Translate(Port(), request);
        EXPECT_EQ(reply.status, status) << reply.body;
        EXPECT_EQ(reply.json, json({{"error", error}})) << reply.body;
    };
    expectError({{"source", "fr"}, {"target", "es"}}, 400, "Invalid request: missing q parameter");
    expectError({{"q", "chat"}, {"target", "es"}}, 400,
                "Invalid request: missing source parameter");
    expectError({{"q", "chat"}, {"source", "fr"}}, 400,
                "Invalid request: missing target parameter");
    expectError({{"q", "chat"}, {"source", "xx"}, {"target", "es"}}, 400, "xx is not supported");
    expectError({{"q", "chat"}, {"source", "fr"}, {"target", "es"}, {"format", "pdf"}}, 400,
                "pdf format is not supported");
    expectError({{"q", "chat"}, {"source", "fr"}, {"target", "ja"}}, 400,
                "Japanese (ja) is not available as a target language from French (fr)");
    const JsonReply broken = PostFormJson(Port(), "/detect", "q=%zz");
    EXPECT_EQ(broken.status, 400) << broken.body;
    EXPECT_TRUE(broken.json.contains("error")) << broken.body;
}

TEST_F(LibreTranslateFace, DetectsTheLanguageForAutoAndDetect) {
    const JsonReply detect = PostFormJson(
        Port(), "/detect", "q=" + UrlEncode("El perro come la carne en la cocina de la casa."));
    ASSERT_EQ(detect.status, 200) << detect.body;
    ASSERT_TRUE(detect.json.is_array() && !detect.json.empty()) << detect.body;
    EXPECT_EQ(detect.json[0]["language"], "es");
    EXPECT_GT(detect.json[0]["confidence"].get<double>(), 50.0);

    const JsonReply automatic = Translate(
        Port(),
        {{"q", "Le chat est noir et la maison est grande."}, {"source", "auto"}, {"target", "es"}});
    ASSERT_EQ(automatic.status, 200) << automatic.body;
    EXPECT_EQ(automatic.json["detectedLanguage"]["language"], "fr") << automatic.body;
    const JsonReply named = Translate(
        Port(),
        {{"q", "Le chat est noir et la maison est grande."}, {"source", "fr"}, {"target", "es"}});
    EXPECT_EQ(automatic.json["translatedText"], named.json["translatedText"]);
}

// GET /languages is the program's listing for the program (Accept: text/html, */*) and
// LibreTranslate's list for every other client: JSON asked for by name, anything, nothing.
TEST_F(LibreTranslateFace, ListsLanguagesForEachKindOfClient) {
    for (const Headers& headers :
         {Headers{{"Accept", "application/json"}}, Headers{{"Content-Type", "application/json"}},
          Headers{{"Accept", "*/*"}}, Headers{}}) {
        const JsonReply reply = GetJson(Port(), "/languages", headers);
        ASSERT_TRUE(reply.json.is_array()) << headers.size() << ": " << reply.body.substr(0, 200);
        bool french = false;
        for (const json& language : reply.json) {
            EXPECT_TRUE(language["name"].is_string());
            EXPECT_FALSE(language["targets"].empty());
            if (language["code"] == "fr") {
                french = true;
                EXPECT_NE(std::find(language["targets"].begin(), language["targets"].end(), "en"),
                          language["targets"].end());
            }
        }
        EXPECT_TRUE(french);
    }
    const JsonReply posted = PostFormJson(Port(), "/languages", "api_key=k");
    EXPECT_TRUE(posted.json.is_array()) << posted.body.substr(0, 200);

    const JsonReply keyed = GetJson(Port(), "/languages?api_key=k");
    EXPECT_TRUE(keyed.json.is_array()) << keyed.body.substr(0, 200);

    const JsonReply program = GetJson(Port(), "/languages", {{"Accept", "text/html, */*"}});
    ASSERT_TRUE(program.json.is_object()) << program.body.substr(0, 200);
    EXPECT_EQ(program.json["languages"].size(), 53u);
}

TEST_F(LibreTranslateFace, AnNpmClientTranslates) {
    ASSERT_TRUE(std::filesystem::exists(kNpmClient))
        << kNpmClient << " is missing: run scripts/install-deps.sh";
    const std::string script =
        "const {translate} = require('" + std::string(kNpmClient) +
        "');\n"
        "translate({query: process.argv[1], source: 'fr', target: 'es', apiurl: process.argv[2]})\n"
        "  .then(t => console.log('translated: ' + t))\n"
        "  .catch(e => { console.error('failed: ' + e); process.exit(1); });\n";
    ChildProcess node(
        {"node", "-e", script, "Le chat est noir.", "http://127.0.0.1:" + std::to_string(Port())});
    EXPECT_EQ(node.WaitExit(std::chrono::seconds(60)), 0) << node.Output();
    EXPECT_NE(node.Output().find("translated: El gato es negro.\n"), std::string::npos)
        << node.Output();
}

// What LibreTranslate's clients read of a server besides translations: GNOME's Dialect its
// /spec, /frontend/settings and /suggest; Mastodon posts HTML with source "auto".
TEST_F(LibreTranslateFace, AnswersWhatDialectAndMastodonAskOfAServer) {
    const JsonReply spec = GetJson(Port(), "/spec");
    ASSERT_EQ(spec.status, 200) << spec.body.substr(0, 200);
    EXPECT_EQ(spec.json["info"]["title"], "LibreTranslate");
    for (const char* path :
         {"/translate", "/detect", "/languages", "/frontend/settings", "/suggest"})
        EXPECT_TRUE(spec.json["paths"].contains(path)) << path;

    const JsonReply settings = GetJson(Port(), "/frontend/settings");
    ASSERT_EQ(settings.status, 200) << settings.body;
    EXPECT_EQ(settings.json["charLimit"], -1);
    EXPECT_EQ(settings.json["keyRequired"], false);
    EXPECT_EQ(settings.json["suggestions"], false);
    EXPECT_EQ(settings.json["language"]["source"]["code"], "auto");

    const JsonReply suggest = PostJson(
        Port(), "/suggest", {{"q", "chat"}, {"s", "gato"}, {"source", "fr"}, {"target", "es"}});
    EXPECT_EQ(suggest.status, 403);
    EXPECT_EQ(suggest.json, json({{"error", "Suggestions are disabled on this server."}}));

    const JsonReply mastodon =
        Translate(Port(), {{"q", "<p>Le chat est noir et la maison est "
                                 "grande.</p><p><a href=\"x\">#chat</a></p>"},
                           {"source", "auto"},
                           {"target", "es"},
                           {"format", "html"},
                           {"api_key", ""}});
    ASSERT_EQ(mastodon.status, 200) << mastodon.body;
    EXPECT_EQ(mastodon.json["detectedLanguage"]["language"], "fr");
    EXPECT_EQ(mastodon.json["translatedText"].get<std::string>().rfind("<p>El gato es negro", 0),
              0u)
        << mastodon.body;
}

// A shared service behind a proxy on this machine: the forwarded client is another machine,
// refused in LibreTranslate's own words (which Dialect tells apart), and --char-limit holds
// as LibreTranslate's does.
TEST(LibreTranslateShared, RefusesInLibreTranslatesWordsAndHoldsTheCharLimit) {
    const auto keys =
        std::filesystem::temp_directory_path() / ("tervane-lt-keys-" + std::to_string(::getpid()));
    std::ofstream(keys) << "k1\n";
    RunningServer service = StartListening(
        ServiceCommand({"--allow-remote", "--trusted-proxy", "127.0.0.1", "--api-keys",
                        keys.string(), "--rate-limit", "30/min", "--char-limit", "20"}));
    const auto from = [](const char* address) { return Headers{{"X-Forwarded-For", address}}; };
    const auto ask = [&](json request, const char* address) {
        request["source"] = "fr";
        request["target"] = "es";
        return PostJson(service.port, "/translate", request, from(address));
    };

    const JsonReply settings = GetJson(service.port, "/frontend/settings", from("192.0.2.7"));
    EXPECT_EQ(settings.json["charLimit"], 20) << settings.body;
    EXPECT_EQ(settings.json["keyRequired"], true);
    EXPECT_EQ(GetJson(service.port, "/spec", from("192.0.2.7")).status, 200);

    const JsonReply none = ask({{"q", "chat"}}, "192.0.2.7");
    EXPECT_EQ(none.status, 400);
    EXPECT_EQ(none.json, json({{"error", "Please contact the server operator to get an API key"}}));
    const JsonReply wrong = ask({{"q", "chat"}, {"api_key", "k2"}}, "192.0.2.7");
    EXPECT_EQ(wrong.status, 403);
    EXPECT_EQ(wrong.json, json({{"error", "Invalid API key"}}));
    const JsonReply one = ask({{"q", "Le chat est très noir."}, {"api_key", "k1"}}, "192.0.2.7");
    EXPECT_EQ(one.status, 400);
    EXPECT_EQ(one.json, json({{"error", "Invalid request: request (22) exceeds text limit (20)"}}));
    const JsonReply both = ask({{"q", {"Le chat.", "La maison."}}, {"api_key", "k1"}}, "192.0.2.7");
    EXPECT_EQ(both.json["translatedText"], json({"El gato.", "La casa."})) << both.body;
    const JsonReply three =
        ask({{"q", {"Le chat.", "La maison.", "Un."}}, {"api_key", "k1"}}, "192.0.2.7");
    EXPECT_EQ(three.json,
              json({{"error", "Invalid request: request (21) exceeds text limit (20)"}}));

    JsonReply limited;
    for (int i = 0; i < 40 && limited.status != 429; ++i)
        limited = ask({{"q", "chat"}}, "192.0.2.9");
    EXPECT_EQ(limited.status, 429);
    EXPECT_EQ(limited.json["error"].get<std::string>().rfind("Slowdown: ", 0), 0u) << limited.body;
    std::filesystem::remove(keys);
}
