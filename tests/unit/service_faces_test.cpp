// The faces' portable rules: which API a request speaks (the program's must never be taken
// for another), HTML split for translation, APy's codes.
#include "protocol/ServiceProtocol.h"
#include "service/faces/ApyCodes.h"
#include "service/faces/FaceTable.h"
#include "service/faces/HtmlText.h"

#include <gtest/gtest.h>

using namespace tervane::service;

namespace {

HttpRequest Request(std::string method, std::string target, std::string body = "",
                    std::vector<std::pair<std::string, std::string>> headers = {}) {
    HttpRequest request;
    request.method = std::move(method);
    request.target = std::move(target);
    request.body = std::move(body);
    request.headers = std::move(headers);
    return request;
}

const std::pair<std::string, std::string> kForm{"Content-Type",
                                                "application/x-www-form-urlencoded"};
const std::pair<std::string, std::string> kJson{"Content-Type", "application/json"};

// The face that claims the request, and no other face claims it too (the program's, the last
// row, claims every request).
std::string ClaimedBy(const HttpRequest& request) {
    const FaceDefinition& face = ClaimingFace(request);
    for (const FaceDefinition& other : FaceTable()) {
        if (&other != &face && &other != &FaceTable().back()) {
            EXPECT_FALSE(other.claims(request)) << other.name << " claims it too";
        }
    }
    return face.name;
}

// Markup kept as "[...]", text to translate as "{...}", wordless text as it is.
std::string Show(const std::vector<HtmlPiece>& pieces) {
    std::string shown;
    for (const HtmlPiece& piece : pieces)
        shown += piece.translate                              ? "{" + piece.text + "}"
                 : piece.text.empty() || piece.text[0] != '<' ? piece.text
                                                              : "[" + piece.text + "]";
    return shown;
}

} // namespace

TEST(FaceTable, LeavesEveryRequestOfTheProgramToItsProtocol) {
    const std::string form = tervane::protocol::BuildRequestBody("q=1&langpair=x", "fr", "es");
    EXPECT_EQ(ClaimedBy(Request("POST", "/translate", form, {kForm})), "program");
    EXPECT_EQ(ClaimedBy(Request("POST", "/translate", form)), "program");
    // Its refusals stay its own: a malformed form, a missing field, a wrong type, GET.
    EXPECT_EQ(ClaimedBy(Request("POST", "/translate", "text=%zz&q=1", {kForm})), "program");
    EXPECT_EQ(ClaimedBy(Request("POST", "/translate", "source=fr", {kForm})), "program");
    EXPECT_EQ(ClaimedBy(Request("POST", "/translate", "q=1", {{"Content-Type", "text/plain"}})),
              "program");
    EXPECT_EQ(ClaimedBy(Request("GET", "/translate")), "program");
    EXPECT_EQ(ClaimedBy(Request("GET", "/languages", "", {{"Accept", "Text/HTML, */*"}})),
              "program");
    EXPECT_EQ(ClaimedBy(Request("HEAD", "/languages")), "program");
    EXPECT_EQ(ClaimedBy(Request("GET", "/health", "", {kJson})), "program");
}

TEST(FaceTable, KnowsApysAndLibreTranslatesClients) {
    EXPECT_EQ(ClaimedBy(Request("GET", "/translate?langpair=fra|spa&q=chat")), "apy");
    EXPECT_EQ(ClaimedBy(Request("GET", "/translate?q=chat")), "apy");
    EXPECT_EQ(ClaimedBy(Request("POST", "/translate?langpair=fra%7Cspa&q=chat")), "apy");
    EXPECT_EQ(ClaimedBy(Request("POST", "/translate", "langpair=fra|spa&q=x", {kForm})), "apy");
    EXPECT_EQ(ClaimedBy(Request("POST", "/listPairs")), "apy");
    EXPECT_EQ(ClaimedBy(Request("GET", "/translateChain?langpairs=fra|spa|eng")), "apy");

    EXPECT_EQ(ClaimedBy(Request("POST", "/translate", "{\"q\":\"x\"}",
                                {{"Content-Type", "application/json; charset=utf-8"}})),
              "libretranslate");
    EXPECT_EQ(ClaimedBy(Request("POST", "/translate?langpair=fra|spa", "{\"q\":\"x\"}", {kJson})),
              "libretranslate");
    EXPECT_EQ(ClaimedBy(Request("POST", "/translate", "q=x&source=fr&target=es", {kForm})),
              "libretranslate");
    EXPECT_EQ(ClaimedBy(Request("POST", "/detect", "q=x", {kForm})), "libretranslate");
    EXPECT_EQ(ClaimedBy(Request("POST", "/languages")), "libretranslate");
    EXPECT_EQ(ClaimedBy(Request("GET", "/languages", "", {kJson})), "libretranslate");
    EXPECT_EQ(ClaimedBy(Request("GET", "/languages", "", {{"Accept", "Application/JSON; q=1"}})),
              "libretranslate");
    EXPECT_EQ(ClaimedBy(Request("GET", "/languages?api_key=k")), "libretranslate");
    // Browsers' fetch, urllib and curl: any Accept but the program's, or none.
    EXPECT_EQ(ClaimedBy(Request("GET", "/languages")), "libretranslate");
    EXPECT_EQ(ClaimedBy(Request("GET", "/languages", "", {{"Accept", "*/*"}})), "libretranslate");
}

TEST(HtmlText, TranslatesTheTextBetweenTagsOnly) {
    EXPECT_EQ(Show(SplitHtml("<p class=\"a>b\">Le &amp; chat</p>")),
              "[<p class=\"a>b\">]{Le & chat}[</p>]");
    EXPECT_EQ(Show(SplitHtml("<a title='x>y' href=\"/\">lien</a>")),
              "[<a title='x>y' href=\"/\">]{lien}[</a>]");
    EXPECT_EQ(Show(SplitHtml("<p>Le chat</p>\n<p>noir</p>")),
              "[<p>]{Le chat}[</p>]\n[<p>]{noir}[</p>]");
    // Code and comments are never text; a '<' that starts no tag is.
    EXPECT_EQ(Show(SplitHtml("<script>if (a<b) go('<p>');</script>Oui<!-- x > y -->")),
              "[<script>if (a<b) go('<p>');][</script>]{Oui}[<!-- x > y -->]");
    EXPECT_EQ(Show(SplitHtml("<STYLE>p{}</STYLE>")), "[<STYLE>p{}][</STYLE>]");
    EXPECT_EQ(Show(SplitHtml("a < b")), "{a < b}");
    EXPECT_EQ(Show(SplitHtml("x <")), "{x <}");
    // References: every named one of HTML5, decimal and hexadecimal decoded; unknown or
    // invalid ones kept.
    EXPECT_EQ(Show(SplitHtml("&eacute;t&#233; &#xE9;t&#xe9; &#0; &#xD800; &bogus; R&D")),
              "{été été &#0; &#xD800; &bogus; R&D}");
    EXPECT_EQ(Show(SplitHtml("caf&eacute; &AElig;&hellip;&NotEqualTilde;&Eacute &zwj;"
                             "&CounterClockwiseContourIntegral;")),
              "{café Æ…\u2242\u0338&Eacute \u200d\u2233}");
    // Wordless text stays exactly as written.
    EXPECT_EQ(Show(SplitHtml("<td>&nbsp;|&nbsp;</td>")), "[<td>]&nbsp;|&nbsp;[</td>]");
    EXPECT_EQ(Show(SplitHtml("<b>unclosed")), "[<b>]{unclosed}");
    EXPECT_EQ(Show(SplitHtml("<b")), "[<b]");
    EXPECT_EQ(EscapeHtmlText("a<b & c>d \"é\""), "a&lt;b &amp; c&gt;d \"é\"");
}

TEST(ApyCodes, ReadsCodesAsApyDoes) {
    EXPECT_EQ(ApyAlpha3("fr"), "fra");
    EXPECT_EQ(ApyAlpha3("fra"), "fra");
    EXPECT_EQ(ApyAlpha3("pt_BR"), "por_BR");
    EXPECT_EQ(ApyAlpha3("az"), "azb"); // where ISO 639 has two, APy's choice
    EXPECT_EQ(ApyAlpha3("fa"), "pes");
    EXPECT_EQ(ApyAlpha3("zz"), "zz");
    EXPECT_EQ(ApyAlpha3(""), "");

    EXPECT_EQ(RoutingNodeForApy("fra"), "fr");
    EXPECT_EQ(RoutingNodeForApy("fr"), "fr");
    EXPECT_EQ(RoutingNodeForApy("por_BR"), "pt");
    EXPECT_EQ(RoutingNodeForApy("eo"), "epo");
    EXPECT_EQ(RoutingNodeForApy("jpn"), "ja");

    using Pair = std::pair<std::string, std::string>;
    EXPECT_EQ(ApyPairOfHop({"fr", "es", "fr-es"}), Pair("fra", "spa"));
    EXPECT_EQ(ApyPairOfHop({"en", "ca", "eng-cat_valencia"}), Pair("eng", "cat_valencia"));
    EXPECT_EQ(ApyPairOfHop({"fr", "es", "fra|spa"}), Pair("fra", "spa"));
    EXPECT_EQ(ApyPairOfHop({"hr", "iw", "hr>he"}), Pair("hbs", "heb"));
}
