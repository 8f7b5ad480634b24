#pragma once
// The translation flow's seams over Win32: capture from the foreground application, the
// exchange through WinHTTP, balloons, the translation log, the wait hint, the cursor, the
// monitors and the clipboard. Each is a thin adapter over the code that does the job.
#include "app/FlowSeams.h"
#include "app/TranslationFlow.h"
#include "app/UiWorker_win.h"
#include "base/Registry.h"
#include "net/HttpClient.h"
#include "notify/BalloonControl_win.h"
#include "translate/ServiceExchange.h"

#include <windows.h>

namespace tervane {

class WinSelectionSource final : public SelectionSource {
  public:
    // `opener` opens the clipboard (the program's application window).
    explicit WinSelectionSource(HWND opener) : opener_(opener) {}
    std::unique_ptr<Selection> Capture() override;

  private:
    HWND opener_;
};

// The request runs on a worker thread; the answer comes back on the UI thread.
class WinTranslationExchange final : public TranslationExchange {
  public:
    // All must outlive the exchange; `worker` must be stopped before `http` goes.
    WinTranslationExchange(HttpClient& http, Registry& proxySettings, UiWorker& worker)
        : http_(http), proxySettings_(proxySettings), worker_(worker), address_(ServiceAddress()) {}
    // Where the requests go: the built-in service unless a test names another.
    void SetAddress(std::string address) { address_ = std::move(address); }
    void ApplyProxy() override;
    void Translate(std::string text, std::string sourceCode, std::string targetCode,
                   ExchangeKind kind, Done done) override;

  private:
    HttpClient& http_;
    Registry& proxySettings_;
    UiWorker& worker_;
    std::string address_;
};

// Shows each balloon through the program's one balloon control, whose settings stay.
class WinBalloonPresenter final : public BalloonPresenter {
  public:
    explicit WinBalloonPresenter(BalloonControl& control) : control_(control) {}
    void Show(const BalloonContent& balloon) override;

  private:
    BalloonControl& control_;
};

class WinTranslationRecorder final : public TranslationRecorder {
  public:
    void Record(std::string_view sourceName, std::string_view targetName, std::string_view source,
                std::string_view translation) override;
};

class WinWaitHintShower final : public WaitHintShower {
  public:
    explicit WinWaitHintShower(HWND owner) : owner_(owner) {}
    std::unique_ptr<Shown> Show(BalloonPoint at, std::string_view text) override;

  private:
    HWND owner_;
};

class WinFlowDesktop final : public FlowDesktop {
  public:
    BalloonPoint CursorPosition() override;
    BalloonRect MonitorAt(BalloonPoint point) override;
    bool CopyToClipboard(std::string_view text) override;
    void Pause(int milliseconds) override;
};

// The flow with all its Windows seams, for the main window to own.
class WinTranslationFlow {
  public:
    WinTranslationFlow(HWND clipboardOpener, HWND hintOwner, HttpClient& http,
                       Registry& proxySettings, UiWorker& worker, BalloonControl& balloons)
        : selection_(clipboardOpener), exchange_(http, proxySettings, worker), balloons_(balloons),
          waitHint_(hintOwner),
          flow_({selection_, exchange_, balloons_, log_, waitHint_, desktop_}) {}
    TranslationFlow& Flow() { return flow_; }
    WinTranslationExchange& Exchange() { return exchange_; }

  private:
    WinSelectionSource selection_;
    WinTranslationExchange exchange_;
    WinBalloonPresenter balloons_;
    WinTranslationRecorder log_;
    WinWaitHintShower waitHint_;
    WinFlowDesktop desktop_;
    TranslationFlow flow_;
};

} // namespace tervane
