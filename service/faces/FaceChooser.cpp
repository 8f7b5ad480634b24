#include "service/faces/FaceChooser.h"

#include "protocol/ServiceProtocol.h"
#include "protocol/Utf8.h"
#include "service/faces/FaceArguments.h"

namespace tervane::service {
namespace {

namespace proto = tervane::protocol;

constexpr std::string_view kJson = "application/json";

bool Has(const Arguments& arguments, std::string_view name) {
    return LastArgument(arguments, name).has_value();
}

// APy's clients name a langpair (in the query or the form); LibreTranslate's post JSON, or
// a form with q where the program's form has text. The program posts its form, no query.
Face ChooseForTranslate(const HttpRequest& request) {
    const std::string type = RequestMediaType(request);
    if (request.method == "POST" && type == kJson)
        return Face::LibreTranslate;
    const auto arguments = ReadArguments(request, true);
    if (!arguments)
        return Face::Program;
    // The program only posts; a GET with a query is APy's, even one that misses langpair.
    if (Has(*arguments, "langpair") || (request.method == "GET" && !arguments->empty()))
        return Face::Apy;
    if (request.method == "POST" && Has(*arguments, "q") && !Has(*arguments, proto::kFieldText))
        return Face::LibreTranslate;
    return Face::Program;
}

// The program (WinHTTP and GTK alike) asks for its listing with Accept "text/html, */*";
// LibreTranslate's clients ask with "*/*", "application/json" or no Accept at all (browser
// fetches, urllib, npm's "libretranslate"), so every other GET gets LibreTranslate's list.
// HEAD keeps the program's headers, as it always had them.
Face ChooseForLanguages(const HttpRequest& request) {
    if (request.method == "HEAD")
        return Face::Program;
    if (request.method != "GET" || RequestMediaType(request) == kJson)
        return Face::LibreTranslate;
    const auto accept = request.Header("Accept");
    return accept && protocol::ToLowerAscii(*accept).find("text/html") != std::string::npos
               ? Face::Program
               : Face::LibreTranslate;
}

} // namespace

Face ChooseFace(const HttpRequest& request) {
    const std::string_view path = request.Path();
    if (path == "/listPairs" || path == "/translateChain")
        return Face::Apy;
    if (path == "/detect")
        return Face::LibreTranslate;
    if (path == proto::kTranslatePath)
        return ChooseForTranslate(request);
    if (path == "/languages")
        return ChooseForLanguages(request);
    return Face::Program;
}

} // namespace tervane::service
