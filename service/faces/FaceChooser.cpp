#include "service/faces/FaceChooser.h"

#include "protocol/ServiceProtocol.h"
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
    const auto arguments = ReadArguments(request);
    if (!arguments)
        return Face::Program;
    // The program only posts; a GET with a query is APy's, even one that misses langpair.
    if (Has(*arguments, "langpair") || (request.method == "GET" && !arguments->empty()))
        return Face::Apy;
    if (request.method == "POST" && Has(*arguments, "q") && !Has(*arguments, proto::kFieldText))
        return Face::LibreTranslate;
    return Face::Program;
}

// The program (WinHTTP and GTK alike) asks with Accept "text/html, */*", the project's tests
// and scripts with "*/*" or none: all get the program's listing, as they always did. A
// LibreTranslate client is one that asks for JSON by name (Accept or Content-Type, as npm's
// "libretranslate" sends it), gives a key in the query, or posts, which the program's
// listing never took.
Face ChooseForLanguages(const HttpRequest& request) {
    if (request.method == "POST" || RequestMediaType(request) == kJson)
        return Face::LibreTranslate;
    const auto accept = request.Header("Accept");
    if (accept && MediaType(*accept) == kJson)
        return Face::LibreTranslate;
    const auto arguments = ReadArguments(request);
    if (arguments && Has(*arguments, "api_key"))
        return Face::LibreTranslate;
    return Face::Program;
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
