// A small LibreTranslate stand-in for tests: the documented JSON API (/languages,
// /translate with q, source, target, format, api_key, alternatives) over a word list, so that the
// service's libretranslate engine is tested over real HTTP without the real models.
//
// It also misbehaves on request, as a broken or hostile server would, for the tests of the
// service's bounds: a text holding "[hang]" is never answered, "[trickle]" is answered a
// byte a second, "[flood]" with 64 MiB of translation; with --hang-languages /languages is
// never answered. Each stops by itself after a minute.
// Usage: fake_libretranslate --listen 127.0.0.1:PORT [--api-key KEY] [--hang-languages 1]
#include <httplib.h>
#include <nlohmann/json.hpp>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

using Dictionary = std::map<std::string, std::string>;

// Per direction: lower-case source word -> target word.
const std::map<std::string, Dictionary> kWords = {
    {"fr>es",
     {{"le", "el"},
      {"chat", "gato"},
      {"est", "es"},
      {"noir", "negro"},
      {"il", "él"},
      {"dit", "dice"},
      {"bonjour", "hola"},
      {"deux", "dos"},
      {"chien", "perro"},
      {"dort", "duerme"},
      {"maison", "casa"}}},
    {"fr>en",
     {{"le", "the"},
      {"chat", "cat"},
      {"est", "is"},
      {"noir", "black"},
      {"il", "he"},
      {"dit", "says"},
      {"bonjour", "hello"},
      {"deux", "two"}}},
    {"he>en", {{"\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", "hello"}}},
    {"de>en", {{"der", "the"}, {"hund", "dog"}, {"ist", "is"}, {"schwarz", "black"}}},
};

// Per direction: lower-case source word -> other translations, given when a request asks
// for "alternatives" (at most that many).
const std::map<std::string, std::map<std::string, std::vector<std::string>>> kAlternatives = {
    {"fr>es", {{"maison", {"hogar", "domicilio", "casa"}}}},
};

bool IsWordByte(unsigned char c) {
    return std::isalnum(c) || c >= 0x80;
}

// Word by word; everything between words (spaces, line breaks, quotes) is kept as is,
// as a real engine keeps layout. A capital first letter is carried over.
std::string TranslateWords(const std::string& text, const Dictionary& words) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (!IsWordByte(static_cast<unsigned char>(text[i]))) {
            out += text[i++];
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && IsWordByte(static_cast<unsigned char>(text[end])))
            ++end;
        const std::string word = text.substr(i, end - i);
        std::string lower = word;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const auto found = words.find(lower);
        std::string replaced = found == words.end() ? word : found->second;
        if (found != words.end() && std::isupper(static_cast<unsigned char>(word[0]))) {
            replaced[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(replaced[0])));
        }
        out += replaced;
        i = end;
    }
    return out;
}

constexpr auto kMisbehaviour = std::chrono::seconds(60);

// Answers the way the text asks for; false for a text that asks for nothing odd.
bool Misbehave(const std::string& text, httplib::Response& res) {
    if (text.find("[hang]") != std::string::npos) {
        std::this_thread::sleep_for(kMisbehaviour);
        return true;
    }
    if (text.find("[trickle]") != std::string::npos) {
        res.set_chunked_content_provider(
            "application/json", [](std::size_t offset, httplib::DataSink& sink) {
                const std::string answer = "{\"translatedText\": \"slow\"}";
                if (offset >= answer.size() ||
                    offset >= static_cast<std::size_t>(kMisbehaviour.count())) {
                    sink.done();
                    return true;
                }
                std::this_thread::sleep_for(std::chrono::seconds(1));
                return sink.write(answer.data() + offset, 1);
            });
        return true;
    }
    if (text.find("[flood]") != std::string::npos) {
        constexpr std::size_t kFlood = 64u << 20;
        res.set_chunked_content_provider("application/json",
                                         [](std::size_t offset, httplib::DataSink& sink) {
                                             static const std::string block(64 * 1024, 'x');
                                             if (offset == 0)
                                                 return sink.write("{\"translatedText\": \"", 20);
                                             if (offset >= kFlood) {
                                                 sink.write("\"}", 2);
                                                 sink.done();
                                                 return true;
                                             }
                                             return sink.write(block.data(), block.size());
                                         });
        return true;
    }
    return false;
}

void Fail(httplib::Response& res, int status, const std::string& message) {
    res.status = status;
    res.set_content(nlohmann::json{{"error", message}}.dump(), "application/json");
}

} // namespace

int main(int argc, char** argv) {
    std::string host = "127.0.0.1";
    int port = 0;
    std::string apiKey;
    bool hangLanguages = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        const std::string value = argv[i + 1];
        if (flag == "--listen") {
            host = value.substr(0, value.rfind(':'));
            port = std::stoi(value.substr(value.rfind(':') + 1));
        } else if (flag == "--api-key") {
            apiKey = value;
        } else if (flag == "--hang-languages") {
            hangLanguages = value == "1";
        }
    }

    httplib::Server server;
    // Hung requests must not take every thread from the well-behaved ones.
    server.new_task_queue = [] { return new httplib::ThreadPool(64); };
    server.Get("/languages", [hangLanguages](const httplib::Request&, httplib::Response& res) {
        if (hangLanguages)
            std::this_thread::sleep_for(kMisbehaviour);
        const nlohmann::json languages = nlohmann::json::array({
            {{"code", "en"}, {"name", "English"}, {"targets", {"fr", "es"}}},
            {{"code", "fr"}, {"name", "French"}, {"targets", {"en", "es"}}},
            {{"code", "es"}, {"name", "Spanish"}, {"targets", {"en", "fr"}}},
            {{"code", "he"}, {"name", "Hebrew"}, {"targets", {"en"}}},
            {{"code", "de"}, {"name", "German"}, {"targets", {"en"}}},
        });
        res.set_content(languages.dump(), "application/json");
    });
    server.Post("/translate", [&apiKey](const httplib::Request& req, httplib::Response& res) {
        // LibreTranslate takes JSON or a form; the service sends JSON.
        const auto body = nlohmann::json::parse(req.body, nullptr, false);
        if (!body.is_object())
            return Fail(res, 400, "Invalid request: JSON body expected");
        for (const char* field : {"q", "source", "target"}) {
            if (!body.contains(field) || !body[field].is_string()) {
                return Fail(res, 400,
                            std::string("Invalid request: missing ") + field + " parameter");
            }
        }
        if (!apiKey.empty() && (!body.contains("api_key") || body["api_key"] != apiKey)) {
            return Fail(res, 403, "Invalid API key");
        }
        if (body.contains("format") && body["format"] != "text" && body["format"] != "html") {
            return Fail(res, 400, "Invalid format");
        }
        if (Misbehave(body["q"], res))
            return;
        const std::string direction =
            body["source"].get<std::string>() + ">" + body["target"].get<std::string>();
        const auto words = kWords.find(direction);
        if (words == kWords.end())
            return Fail(res, 400, direction + " is not supported");
        nlohmann::json answer = {{"translatedText", TranslateWords(body["q"], words->second)}};
        if (body.contains("alternatives") && body["alternatives"].is_number_integer()) {
            const std::size_t wanted = body["alternatives"];
            std::vector<std::string> others;
            const auto alternatives = kAlternatives.find(direction);
            if (alternatives != kAlternatives.end()) {
                const auto word = alternatives->second.find(body["q"].get<std::string>());
                if (word != alternatives->second.end())
                    others = word->second;
            }
            if (others.size() > wanted)
                others.resize(wanted);
            answer["alternatives"] = others;
        }
        res.set_content(answer.dump(), "application/json");
    });

    const int bound =
        port == 0 ? server.bind_to_any_port(host) : (server.bind_to_port(host, port) ? port : -1);
    if (bound < 0) {
        std::fprintf(stderr, "fake_libretranslate: cannot listen on %s:%d\n", host.c_str(), port);
        return 1;
    }
    std::fprintf(stderr, "fake_libretranslate: listening on %s:%d\n", host.c_str(), bound);
    std::fflush(stderr);
    server.listen_after_bind();
    return 0;
}
