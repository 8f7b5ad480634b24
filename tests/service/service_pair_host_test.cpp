// The in-process runner (--apertium-runner inprocess): every installed pair's host against
// the `apertium` command, a host killed mid-request, clients that must never see each
// other's text, and the pairs that fail on their check sentence kept out.
#include "ChildProcess.h"
#include "ParityCorpus.h"
#include "ServiceClient.h"

#include "protocol/ServiceProtocol.h"
#include "service/apertium/ApertiumMode.h"
#include "service/apertium/ApertiumText.h"
#include "service/apertium/Pipeline.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <fstream>
#include <future>
#include <map>
#include <thread>

using namespace tervane::testing;
namespace proto = tervane::protocol;
namespace svc = tervane::service;
namespace fs = std::filesystem;

namespace {

const fs::path kModes = "/usr/share/apertium/modes";

std::vector<std::string> InstalledPairModes() {
    std::vector<std::string> modes;
    for (const svc::InstalledMode& mode : svc::ScanModes(kModes.string()).modes)
        modes.push_back(mode.name);
    return modes;
}

// The corpus sentence of the mode's source language ("cat_valencia" reads "cat").
std::vector<std::string> TextsFor(const std::string& mode) {
    std::vector<std::string> texts = ReadCorpus(fs::path(PARITY_CORPUS_DIR) / "any.txt");
    std::string source = mode.substr(0, mode.find('-'));
    source = source.substr(0, source.find('_'));
    const std::map<std::string, std::string> twoLetter = {
        {"fr", "fra"}, {"es", "spa"}, {"en", "eng"}, {"pt", "por"}, {"ca", "cat"},
        {"gl", "glg"}, {"ro", "ron"}, {"eo", "epo"}, {"oc", "oci"}};
    if (const auto found = twoLetter.find(source); found != twoLetter.end())
        source = found->second;
    std::ifstream in(fs::path(PARITY_CORPUS_DIR) / "sentences.txt");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(source + "\t", 0) == 0)
            texts.push_back(line.substr(source.size() + 1));
    }
    return texts;
}

// Every pipeline process of the service whose command line names the mode file.
std::vector<pid_t> HostsOf(pid_t service, const std::string& mode) {
    std::vector<pid_t> hosts;
    for (const auto& [pid, name] : ChildrenOf(service)) {
        const std::string commandLine = ReadProcFile("/proc/" + std::to_string(pid) + "/cmdline");
        if (commandLine.find("tervane-pair-host") != std::string::npos &&
            commandLine.find("/" + mode + ".mode") != std::string::npos) {
            hosts.push_back(pid);
        }
    }
    return hosts;
}

// A modes directory holding copies of some installed modes.
class ModesCopy {
  public:
    explicit ModesCopy(const std::vector<std::string>& modes)
        : dir_(fs::temp_directory_path() / ("tervane-host-modes-" + std::to_string(::getpid()))) {
        fs::create_directories(dir_);
        for (const std::string& mode : modes)
            fs::copy_file(kModes / (mode + ".mode"), dir_ / (mode + ".mode"),
                          fs::copy_options::overwrite_existing);
    }
    ~ModesCopy() { fs::remove_all(dir_); }
    std::string Path() const { return dir_.string(); }

  private:
    fs::path dir_;
};

std::vector<std::string> InProcess(std::vector<std::string> flags) {
    flags.insert(flags.begin(), {TERVANE_SERVICE_BINARY, "--apertium-runner", "inprocess"});
    return flags;
}

} // namespace

// Each pair's host, fed one request after another as the service feeds it (so requests meet
// at the null-flush boundaries), against one `apertium -u MODE` run per text.
class PairHostParity : public ::testing::TestWithParam<std::string> {};

// A data file the mode names that Debian did not install (ca-eo, es-eo): the pair is not
// installable, the command fails on it as the host does, and the service leaves it out at
// its check.
std::string MissingFile(const std::string& mode) {
    const auto commands =
        svc::ParseModeCommands(ReadProcFile((kModes / (mode + ".mode")).string()));
    for (const auto& command : commands.Value()) {
        for (const std::string& arg : command) {
            if (arg.starts_with("/") && !fs::exists(arg))
                return arg;
        }
    }
    return "";
}

TEST_P(PairHostParity, EveryTextIsTheApertiumCommands) {
    const std::string mode = GetParam();
    if (const std::string missing = MissingFile(mode); !missing.empty())
        GTEST_SKIP() << mode << " is not installable: it names " << missing
                     << ", which Debian does not install (the apertium command fails too)";
    const std::vector<std::string> texts = TextsFor(mode);
    const std::vector<std::string> stock = StockTranslations(texts, {mode});
    auto host = svc::Pipeline::Start({{TERVANE_PAIR_HOST_BINARY, (kModes / (mode + ".mode"))}});
    ASSERT_TRUE(host.Ok()) << host.Failure().reason;
    std::size_t same = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto output = host.Value()->Exchange(
            svc::ToApertiumStream(texts[i]),
            std::chrono::steady_clock::now() + std::chrono::seconds(60), 1 << 24);
        ASSERT_TRUE(output.Ok()) << mode << " " << Quoted(texts[i]) << ": "
                                 << output.Failure().reason;
        const std::string answer =
            svc::RemoveUnknownWordMarks(svc::FromApertiumStream(output.Value()), texts[i]);
        // The service removes the unknown-word marks a pair's generator leaves whatever runs
        // it (some modes hard-code lt-proc -g, so `apertium -u` keeps them).
        const std::string command = svc::RemoveUnknownWordMarks(stock[i], texts[i]);
        if (proto::EncodeAnswer(answer) == proto::EncodeAnswer(command)) {
            ++same;
        } else if (stock[i].empty()) {
            // The command printed nothing: one of its programs crashed (Debian 12's
            // apertium-tagger on ukr-rus); the host translated.
            std::printf("  %s: the command crashed on %s; the host answered %s\n", mode.c_str(),
                        Quoted(texts[i]).c_str(), Quoted(answer).c_str());
            ++same;
        } else {
            ADD_FAILURE() << mode << " " << Quoted(texts[i]) << "\n  command: " << Quoted(command)
                          << "\n  host:    " << Quoted(answer);
        }
    }
    std::printf("parity %s: %zu/%zu identical\n", mode.c_str(), same, texts.size());
}

INSTANTIATE_TEST_SUITE_P(Installed, PairHostParity, ::testing::ValuesIn(InstalledPairModes()),
                         [](const auto& each) {
                             std::string name = each.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(PairHost, AHostKilledMidRequestFailsOnlyThatRequest) {
    RunningServer server =
        StartListening(InProcess({"--check-pairs", "off", "--max-body", "1048576"}));
    const pid_t service = server.process->Pid();
    ASSERT_EQ(PostTranslate(server.port, "Le chat est noir.", "fr", "es").body,
              "\"El gato es negro.\"");

    // Another pair translates all along and never notices.
    std::atomic<bool> done = false;
    std::atomic<int> otherFailures = 0, otherAnswers = 0;
    std::thread other([&] {
        while (!done) {
            const Reply reply = PostTranslate(server.port, "El gato es negro.", "es", "pt");
            ++otherAnswers;
            if (reply.status != 200 || reply.body != "\"O gato é negro.\"")
                ++otherFailures;
        }
    });

    // kill -9: every fr-es host while a long request is in it (the service tries a request
    // once more on a fresh pipeline; that one is killed too).
    std::string longText;
    while (longText.size() < 200 * 1024)
        longText += "Le chat est noir et la maison est grande. ";
    auto killed = std::async(std::launch::async,
                             [&] { return PostTranslate(server.port, longText, "fr", "es"); });
    while (killed.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
        for (const pid_t host : HostsOf(service, "fr-es"))
            ::kill(host, SIGKILL);
    }
    const Reply reply = killed.get();
    EXPECT_EQ(reply.status, 502) << reply.reason;
    EXPECT_NE(reply.reason.find("fr-es"), std::string::npos) << reply.reason;
    EXPECT_EQ(PostTranslate(server.port, "Le chat est noir.", "fr", "es").body,
              "\"El gato es negro.\"");

    done = true;
    other.join();
    EXPECT_GT(otherAnswers, 0);
    EXPECT_EQ(otherFailures, 0);
    EXPECT_EQ(::kill(service, 0), 0) << "the service must outlive its hosts";
}

TEST(PairHost, EightClientsOnAPairAndOnAChainEachGetTheirOwnText) {
    RunningServer server = StartListening(InProcess({"--check-pairs", "off"}));
    const auto client = [&](int number, const char* target) {
        int wrong = 0;
        for (int i = 0; i < 15; ++i) {
            // A made-up name that no pair translates: it comes back as it went in.
            const std::string marker = "Zorbax" + std::to_string(number) + "q" + std::to_string(i);
            const Reply reply =
                PostTranslate(server.port, "Le chat de " + marker + " est noir.", "fr", target);
            const bool own = reply.status == 200 && reply.body.find(marker) != std::string::npos &&
                             std::count(reply.body.begin(), reply.body.end(), 'Z') == 1;
            wrong += own ? 0 : 1;
            if (!own)
                ADD_FAILURE() << marker << " " << target << ": " << reply.status << " "
                              << reply.reason << " " << reply.body;
        }
        return wrong;
    };
    std::vector<std::future<int>> clients;
    for (int number = 0; number < 8; ++number) {
        clients.push_back(std::async(std::launch::async, client, number, "es"));
        clients.push_back(std::async(std::launch::async, client, 100 + number, "en"));
    }
    for (auto& each : clients)
        EXPECT_EQ(each.get(), 0);
}

TEST(PairHost, PairsThatCrashOnTheirCheckSentenceAreNotOffered) {
    ModesCopy modes({"fr-es", "spa-eng"});
    const std::string frenchToSpanish = ReadProcFile((kModes / "fr-es.mode").string());
    // A pair whose data is missing (its host ends as it starts), and one whose last stage
    // ends at the first request.
    std::ofstream(fs::path(modes.Path()) / "fra-ita.mode")
        << "lt-proc '/nonexistent/fra-ita.automorf.bin' | apertium-pretransfer\n";
    std::ofstream(fs::path(modes.Path()) / "fra-deu.mode")
        << frenchToSpanish.substr(0, frenchToSpanish.find_last_not_of("\n") + 1) << " | false\n";
    // The results are kept in a state directory of the test's own.
    const fs::path state = fs::path(modes.Path()) / "state";
    const auto withState = [&](std::vector<std::string> flags) {
        flags = InProcess(std::move(flags));
        flags.insert(flags.begin(), {"env", "XDG_STATE_HOME=" + state.string()});
        return flags;
    };
    RunningServer server = StartListening(withState({"--modes-dir", modes.Path()}));
    ChildProcess& log = *server.process;
    // Nothing is translated at start: each pair is checked at its first use.
    EXPECT_NE(log.WaitForLine("apertium pair checks: 0 known from before (0 left out), 4 to check "
                              "at first use",
                              0),
              "")
        << log.Output();
    EXPECT_EQ(PostTranslate(server.port, "Le chat est noir.", "fr", "de").status, 422);
    EXPECT_EQ(PostTranslate(server.port, "Le chat est noir.", "fr", "it").status, 422);
    EXPECT_EQ(PostTranslate(server.port, "Le chat est noir.", "fr", "en").body,
              "\"The cat is black.\"");
    EXPECT_TRUE(fs::exists(state / "tervane-service" / "pair-checks"));
    for (const char* pair : {"fra-ita", "fra-deu"})
        EXPECT_NE(log.Output().find("apertium pair " + std::string(pair) + " left out"),
                  std::string::npos)
            << pair;
    const auto languages = nlohmann::json::parse(GetPath(server.port, "/languages").body);
    std::vector<std::string> offered;
    for (const auto& row : languages["languages"]) {
        for (const auto& to : row["targets"])
            offered.push_back(row["code"].get<std::string>() + ">" + to["code"].get<std::string>());
    }
    EXPECT_EQ(std::count(offered.begin(), offered.end(), "fr>it"), 0);
    EXPECT_EQ(std::count(offered.begin(), offered.end(), "fr>de"), 0);
    EXPECT_EQ(std::count(offered.begin(), offered.end(), "fr>en"), 1);
    server.process.reset();

    // Started again over the same files: nothing is checked, the same pairs are left out.
    RunningServer again = StartListening(withState({"--modes-dir", modes.Path()}));
    EXPECT_NE(again.process->WaitForLine(
                  "apertium pair checks: 4 known from before (2 left out), 0 to check", 0),
              "")
        << again.process->Output();
    EXPECT_EQ(PostTranslate(again.port, "Le chat est noir.", "fr", "de").status, 422);
    again.process.reset();
    // A mode file changed is checked again.
    std::ofstream(fs::path(modes.Path()) / "fra-ita.mode", std::ios::app) << "\n";
    RunningServer changed = StartListening(withState({"--modes-dir", modes.Path()}));
    EXPECT_NE(changed.process->WaitForLine(
                  "apertium pair checks: 3 known from before (1 left out), 1 to check", 0),
              "")
        << changed.process->Output();
}
