// The service's APy face against APy itself: Debian's apertium-apy and tervane-service read
// the same Apertium modes, are sent the same requests, and must answer the same JSON.
#include "ChildProcess.h"
#include "ServiceClient.h"

#include "protocol/ServiceProtocol.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <unistd.h>

using namespace tervane::testing;
using nlohmann::json;

namespace {

namespace fs = std::filesystem;

class ApyFace : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        apyPort_ = FreeLoopbackPort();
        apyRoot_ = ApyRootWithWordModes();
        apy_ = StartApertiumApy(apyPort_, apyRoot_).release();
        // Every mode, as APy lists them: a pair the check left out (kept from an earlier
        // start) would be missing from the service's list only.
        service_ = new RunningServer(StartListening(ServiceCommand({"--check-pairs", "off"})));
    }
    static void TearDownTestSuite() {
        delete service_;
        delete apy_;
        fs::remove_all(apyRoot_);
        service_ = nullptr;
        apy_ = nullptr;
    }
    static unsigned short Port() { return service_->port; }

    // The same request to both; the answers' statuses and JSON must be equal.
    static void ExpectSameAnswer(const std::string& method, const std::string& path,
                                 const std::string& arguments) {
        SCOPED_TRACE(method + " " + path + " " + arguments);
        const auto ask = [&](unsigned short port) {
            return method == "GET" ? GetJson(port, path + "?" + arguments)
                                   : PostFormJson(port, path, arguments);
        };
        const JsonReply apy = ask(apyPort_);
        const JsonReply ours = ask(Port());
        ASSERT_NE(apy.status, 0) << apy_->Output();
        EXPECT_EQ(ours.status, apy.status) << ours.body;
        ASSERT_FALSE(ours.json.is_discarded()) << ours.body;
        EXPECT_EQ(ours.json, apy.json) << "ours: " << ours.body << "\nAPy:  " << apy.body;
        EXPECT_EQ(ours.contentType, "application/json; charset=UTF-8");
    }

    static unsigned short apyPort_;
    static std::string apyRoot_;
    static ChildProcess* apy_;
    static RunningServer* service_;
};

unsigned short ApyFace::apyPort_ = 0;
std::string ApyFace::apyRoot_;
ChildProcess* ApyFace::apy_ = nullptr;
RunningServer* ApyFace::service_ = nullptr;

std::set<std::pair<std::string, std::string>> PairsOf(const json& listing) {
    std::set<std::pair<std::string, std::string>> pairs;
    for (const json& row : listing["responseData"])
        pairs.emplace(row["sourceLanguage"], row["targetLanguage"]);
    return pairs;
}

} // namespace

TEST_F(ApyFace, TranslatesAsApyDoesByGetAndPost) {
    const std::string sentence = UrlEncode("Le chat est noir.");
    for (const std::string method : {"GET", "POST"}) {
        ExpectSameAnswer(method, "/translate", "langpair=fra|spa&q=" + sentence);
        // Two-letter codes, as APy reads them.
        ExpectSameAnswer(method, "/translate", "langpair=fr|es&q=" + sentence);
    }
    // A language outside the program's table (Esperanto), reached by a pair of its own.
    ExpectSameAnswer("GET", "/translate", "langpair=fra|epo&q=" + sentence);
    ExpectSameAnswer("GET", "/translate",
                     "langpair=spa|cat&format=txt&q=" +
                         UrlEncode("El perro come la carne.\n\nLa casa es grande."));
    ExpectSameAnswer("GET", "/translate",
                     "langpair=fra|spa&markUnknown=no&q=" + UrlEncode("Le chat xyzzy est noir."));
    ExpectSameAnswer("GET", "/translate",
                     "langpair=fra|spa&q=" +
                         UrlEncode("<p>Le chien est noir.</p><p><b>La maison</b></p>"));
}

TEST_F(ApyFace, TranslatesChainsAsApyDoes) {
    ExpectSameAnswer("GET", "/translateChain", "langpairs=fra|spa|eng&q=" + UrlEncode("Le chat."));
    ExpectSameAnswer("POST", "/translateChain", "langpairs=spa|cat|eng&q=" + UrlEncode("El gato."));
    ExpectSameAnswer("GET", "/translateChain", "langpairs=fra|spa|eng");
}

TEST_F(ApyFace, RefusesAsApyDoes) {
    ExpectSameAnswer("GET", "/translate", "langpair=fra&q=chat");
    ExpectSameAnswer("GET", "/translate", "q=chat");
    ExpectSameAnswer("GET", "/translate", "langpair=fra|spa");
    ExpectSameAnswer("GET", "/translate", "langpair=fra|jpn&q=chat");
    ExpectSameAnswer("GET", "/translate", "langpair=fra|bre&q=chat");
    ExpectSameAnswer("POST", "/translateChain", "langpairs=fra|jpn&q=chat");
    ExpectSameAnswer("GET", "/translateChain", "langpairs=fra&q=chat");
    ExpectSameAnswer("GET", "/translateChain", "langpairs=fra|jpn|eng&q=chat");
    ExpectSameAnswer("GET", "/listPairs", "q=everything");
}

TEST_F(ApyFace, AnswersPerWordAsApyDoes) {
    const std::string all = "&modes=" + UrlEncode("morph biltrans tagger translate");
    // Known and ambiguous words, an unknown one, punctuation, a multiword unit, nothing.
    ExpectSameAnswer("GET", "/perWord", "lang=fra-spa" + all + "&q=" + UrlEncode("la maison"));
    ExpectSameAnswer("POST", "/perWord", "lang=fra-spa" + all + "&q=" + UrlEncode("xyzzq chat."));
    ExpectSameAnswer("GET", "/perWord", "lang=spa-eng" + all + "&q=" + UrlEncode("por supuesto"));
    ExpectSameAnswer("GET", "/perWord",
                     "lang=spa-eng&modes=biltrans&q=" + UrlEncode("¿Qué banco?\n\nhola, ¡mundo!"));
    ExpectSameAnswer("GET", "/perWord", "lang=spa-eng&modes=tagger&q=");
    ExpectSameAnswer("GET", "/perWord",
                     "lang=spa-eng&modes=morph&pos=2&q=" + UrlEncode("el banco"));
    // A bracket is looked up escaped (APy's unescaped lookup finds nothing for it).
    const JsonReply brackets =
        GetJson(Port(), "/perWord?lang=spa-eng&modes=biltrans&q=" + UrlEncode("[banco]"));
    EXPECT_EQ(brackets.json[0], json({{"input", "["}, {"biltrans", json::array({"\\[<lpar>"})}}))
        << brackets.body;
    // Refusals: an argument missing, a mode APy lacks, a pair the service lacks.
    ExpectSameAnswer("GET", "/perWord", "modes=morph&q=banco");
    ExpectSameAnswer("GET", "/perWord", "lang=spa-eng&q=banco");
    ExpectSameAnswer("GET", "/perWord", "lang=spa-eng&modes=morph");
    ExpectSameAnswer("GET", "/perWord", "lang=spa-eng&modes=morph+lemma&q=banco");
    ExpectSameAnswer("GET", "/perWord", "lang=fra-eng&modes=morph&q=chat");
    ExpectSameAnswer("GET", "/perWord", "lang=fr-es&modes=morph&q=chat");
}

// What APy's web front end asks besides translations. Debian's APy names languages from its
// own database (in English here, where the service's names agree) and, without CLD2,
// identifies nothing; the service identifies with CLD2.
TEST_F(ApyFace, NamesAndIdentifiesLanguagesAsApyDoes) {
    ExpectSameAnswer("GET", "/listLanguageNames",
                     "locale=en&languages=" +
                         UrlEncode("fra spa eng cat epo glg por ita oci nob sh fr xyz"));
    ExpectSameAnswer("GET", "/identifyLang", "q=");
    ExpectSameAnswer("GET", "/identifyLang", "text=chat");
    const JsonReply all = GetJson(Port(), "/listLanguageNames");
    EXPECT_EQ(all.json["fr"], "French") << all.body;
    EXPECT_EQ(all.json["ast"], "Asturian") << all.body;

    const JsonReply identified = GetJson(
        Port(), "/identifyLang?q=" + UrlEncode("Le chat est noir et la maison est grande."));
    ASSERT_EQ(identified.status, 200) << identified.body;
    ASSERT_TRUE(identified.json.contains("fra")) << identified.body;
    EXPECT_GT(identified.json["fra"].get<double>(), 50.0) << identified.body;
}

TEST_F(ApyFace, ListsThePairsApyLists) {
    const JsonReply apy = GetJson(apyPort_, "/listPairs");
    const JsonReply ours = GetJson(Port(), "/listPairs");
    ASSERT_EQ(ours.status, 200) << ours.body;
    EXPECT_EQ(ours.json["responseStatus"], apy.json["responseStatus"]);
    EXPECT_EQ(ours.json["responseDetails"], apy.json["responseDetails"]);
    EXPECT_EQ(ours.json["responseData"].size(), apy.json["responseData"].size());
    EXPECT_EQ(PairsOf(ours.json), PairsOf(apy.json));
    EXPECT_EQ(PairsOf(ours.json).count({"fra", "spa"}), 1u);
}

// Where APy knows no single pair, the service still routes a chain, and says so in its log.
TEST_F(ApyFace, TranslatesThroughAChainWhereApyWouldRefuse) {
    const std::size_t mark = service_->process->OutputSize();
    const JsonReply reply =
        GetJson(Port(), "/translate?langpair=fra|eng&q=" + UrlEncode("Le chat est noir."));
    ASSERT_EQ(reply.status, 200) << reply.body;
    EXPECT_EQ(reply.json["responseData"]["translatedText"], "The cat is black.");
    const std::string line = service_->process->WaitForLine("GET /translate apy fra|eng ", mark);
    EXPECT_NE(line.find("engine=apertium route=fr-es,spa-eng "), std::string::npos) << line;
    EXPECT_NE(line.find("status=200"), std::string::npos) << line;

    const JsonReply chain = GetJson(Port(), "/translateChain?langpairs=fra|eng");
    EXPECT_EQ(chain.json["responseData"]["translationChain"], json({"fra", "spa", "eng"}));
}

// The program's form, APy's langpair and LibreTranslate's JSON on the same /translate give the
// same translation; the program's own answers stay as they were.
TEST_F(ApyFace, ThreeFacesTranslateAlike) {
    const std::vector<std::pair<std::string, std::string>> directions = {{"fr", "es"},
                                                                         {"fr", "en"}};
    for (const auto& [source, target] : directions) {
        for (const std::string text : {"Le chat est noir.", "Il a dit \"bonjour\" à Marie."}) {
            SCOPED_TRACE(source + ">" + target + ": " + text);
            const Reply program = PostTranslate(Port(), text, source, target);
            ASSERT_EQ(program.status, 200) << program.reason;
            const std::string expected = *tervane::protocol::DecodeAnswer(program.body);
            const JsonReply apy = GetJson(Port(), "/translate?format=txt&langpair=" + source + "|" +
                                                      target + "&q=" + UrlEncode(text));
            EXPECT_EQ(apy.json["responseData"]["translatedText"], expected) << apy.body;
            const JsonReply libre = PostJson(Port(), "/translate",
                                             {{"q", text}, {"source", source}, {"target", target}});
            EXPECT_EQ(libre.json["translatedText"], expected) << libre.body;
        }
    }
    EXPECT_EQ(PostTranslate(Port(), "Le chat est noir.", "fr", "es").body, "\"El gato es negro.\"");
    const Reply bare = GetPath(Port(), "/translate");
    EXPECT_EQ(bare.status, 405);
    EXPECT_EQ(bare.reason, "Use POST for /translate");
}
