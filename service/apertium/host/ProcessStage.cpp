// Stages whose program has no library in Debian (cg-proc, lsx-proc, rtx-proc,
// apertium-anaphora, ...) or whose flags the host does not carry: the programs themselves,
// joined by pipes behind the host, fed one null-flushed request at a time as the service's
// own pipelines are.
#include "service/apertium/Pipeline.h"
#include "service/apertium/host/Stage.h"

#include <stdexcept>

namespace tervane::service::host {
namespace {

// A stage answers long before this; the service's own time-out ends the host first.
constexpr auto kNoDeadline = std::chrono::hours(24);
constexpr std::size_t kMaxOutput = 256u * 1024 * 1024;

class ProcessStage : public Stage {
  public:
    explicit ProcessStage(const std::vector<Command>& commands) {
        Result<std::unique_ptr<Pipeline>> started = Pipeline::Start(commands, false);
        if (!started.Ok())
            throw std::runtime_error(started.Failure().reason);
        pipeline_ = std::move(started).Value();
        for (const Command& command : commands)
            names_ += (names_.empty() ? "" : " | ") + command.front();
    }

    std::string Run(const std::string& input) override {
        // The pipeline ends each request with a superblank of its own. The service's request
        // already ends with one; two in a row are not what these programs see from the
        // service's own pipelines (cg-proc and lsx-proc move the first to the front), so the
        // service's is set aside and put back after.
        std::string text = input;
        std::string trailer;
        if (const std::size_t open = text.rfind("[tervane");
            open != std::string::npos && text.back() == ']' &&
            text.find(']', open) == text.size() - 1) {
            trailer = text.substr(open);
            text.resize(open);
        }
        Result<std::string> output =
            pipeline_->Exchange(text, std::chrono::steady_clock::now() + kNoDeadline, kMaxOutput);
        if (!output.Ok())
            throw std::runtime_error(names_ + " " + output.Failure().reason);
        return std::move(output).Value() + trailer;
    }

    std::string Kind() const override { return "process"; }

  private:
    std::unique_ptr<Pipeline> pipeline_;
    std::string names_;
};

} // namespace

std::unique_ptr<Stage> MakeProcessStage(const std::vector<Command>& commands) {
    return std::make_unique<ProcessStage>(commands);
}

} // namespace tervane::service::host
