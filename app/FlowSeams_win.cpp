#include "app/FlowSeams_win.h"

#include "net/ProxySettings.h"
#include "notify/WaitHint_win.h"
#include "translate/Clipboard_win.h"
#include "translate/SelectionCapture_win.h"
#include "translate/SelectionReplace_win.h"
#include "translate/ServiceExchange.h"
#include "translate/TranslationLog_win.h"

namespace tervane {

namespace {

// A capture's input attachment undone, then the user's clipboard put back (unless the
// translation was copied there), when the flow lets go of it.
class WinSelection final : public Selection {
  public:
    explicit WinSelection(CapturedSelection capture) : capture_(std::move(capture)) {}
    ~WinSelection() override { DetachInput(capture_); }
    const std::string& Text() const override { return capture_.capturedText; }
    void KeepClipboard() override { capture_.savedClipboard.Discard(); }
    // Done when it returns: the application has taken the text, or the wait for it ended.
    void Replace(const std::string& text, std::function<void(bool taken)> over) override {
        over(ReplaceSelectedText(capture_, text));
    }

  private:
    CapturedSelection capture_;
};

struct ShownWaitHint final : WaitHintShower::Shown {
    ShownWaitHint(POINT at, std::string_view text, HWND owner) : hint(at, text, owner) {}
    WaitHint hint;
};

} // namespace

std::unique_ptr<Selection> WinSelectionSource::Capture() {
    CapturedSelection capture = CaptureSelectedText(opener_);
    if (!capture.attached)
        return nullptr;
    return std::make_unique<WinSelection>(std::move(capture));
}

void WinTranslationExchange::ApplyProxy() {
    ApplySystemProxy(http_, proxySettings_);
}

// The client is the worker's alone while it asks: one translation is pending at a time, and
// the proxy was applied before. The installer's choice of server is read here, on the UI
// thread that owns the registry seam, so that a failure can name it.
void WinTranslationExchange::Translate(std::string text, std::string sourceCode,
                                       std::string targetCode, ExchangeKind kind, Done done) {
    worker_.Run([&http = http_, address = address_, text = std::move(text),
                 sourceCode = std::move(sourceCode), targetCode = std::move(targetCode), kind,
                 installed = ReadInstalledServer(proxySettings_),
                 done = std::move(done)]() mutable {
        ExchangeAnswer answer;
        try {
            if (kind == ExchangeKind::Word) {
                ServiceTranslation word =
                    RequestWord(http, address, text, sourceCode, targetCode, installed);
                answer.translation = std::move(word.translation);
                answer.entries = std::move(word.entries);
            } else {
                answer.translation =
                    RequestTranslation(http, address, text, sourceCode, targetCode, installed);
            }
        } catch (...) {
            answer.error = std::current_exception();
        }
        return UiWorker::Finish([done = std::move(done), answer = std::move(answer)]() mutable {
            done(std::move(answer));
        });
    });
}

void WinBalloonPresenter::Show(const BalloonContent& balloon) {
    control_.SetPixelCoordinateX(balloon.x);
    control_.SetPixelCoordinateY(balloon.y);
    control_.SetPosition(balloon.position);
    control_.SetTitle(balloon.title);
    control_.SetText({balloon.text});
    control_.SetDictionary(balloon.dictionary.empty() ? std::vector<std::string>{}
                                                      : std::vector{balloon.dictionary});
    control_.SetDuration(balloon.duration);
    control_.SetType(balloon.type);
    control_.ShowBalloon();
}

void WinTranslationRecorder::Record(std::string_view sourceName, std::string_view targetName,
                                    std::string_view source, std::string_view translation) {
    LogTranslation(sourceName, targetName, source, translation);
}

std::unique_ptr<WaitHintShower::Shown> WinWaitHintShower::Show(BalloonPoint at,
                                                               std::string_view text) {
    return std::make_unique<ShownWaitHint>(POINT{at.x, at.y}, text, owner_);
}

BalloonPoint WinFlowDesktop::CursorPosition() {
    POINT cursor{};
    GetCursorPos(&cursor);
    return {cursor.x, cursor.y};
}

BalloonRect WinFlowDesktop::MonitorAt(BalloonPoint point) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONEAREST),
                         &info))
        return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const RECT& r = info.rcMonitor;
    return {r.left, r.top, r.right, r.bottom};
}

bool WinFlowDesktop::CopyToClipboard(std::string_view text) {
    return CopyTextToClipboard(text);
}

void WinFlowDesktop::Pause(int milliseconds) {
    Sleep(static_cast<DWORD>(milliseconds));
}

} // namespace tervane
