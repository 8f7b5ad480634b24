#pragma once
// The translation flow's seams on the Linux desktop: the PRIMARY selection (what is
// highlighted in any X11 application, read without touching the clipboard), the exchange
// through cpp-httplib, balloons and the wait hint drawn with GTK, the log in the user's
// data folder, the pointer and its monitor, the clipboard.
#include "app/FlowSeams.h"
#include "app/TranslationFlow.h"
#include "gtk/PrimaryReader.h"
#include "net/HttpClient.h"

#include <gio/gio.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tervane {

class DataControlSelections;

// The PRIMARY selection is asked of its owner before the flow starts, without the main loop
// waiting: Read calls `ready` on the main loop once the text came or 2 s passed (the
// reader's bound), and the flow's Capture then hands over what was read.
class PrimarySelectionSource final : public SelectionSource {
  public:
    PrimarySelectionSource();
    void Read(std::function<void()> ready);
    bool Reading() const { return reading_; }
    // nullptr when no application holds a selection or it did not answer in time.
    std::unique_ptr<Selection> Capture() override;
    // Why this desktop cannot replace a selection ("" where it can): a Wayland compositor
    // without data-control or a virtual keyboard (WaylandReplaceUnavailable).
    const std::string& ReplaceUnavailable() const { return replaceUnavailable_; }

  private:
    // The display's way to read it (X11, data-control, a focused surface).
    std::unique_ptr<PrimaryReader> reader_;
    // The same, when it is data-control, which also lends the clipboard to a replacement.
    DataControlSelections* dataControl_ = nullptr;
    std::string replaceUnavailable_;
    bool reading_ = false;
    std::optional<std::string> text_;
    // Answers that come after the source has gone find this expired.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

// What the program knows of why its service does not answer (empty when nothing).
using ServiceAccount = std::function<std::string()>;
// Runs a handler inside the window's error guard (RunGuarded).
using ErrorGuard = std::function<void(const std::function<void()>&)>;

// The exchange runs on a worker thread (a GTask); its answer comes back on the main loop,
// so the window, the hotkeys and the notification area answer meanwhile. An exchange still
// running when this ends is cancelled: its answer is dropped.
class GtkTranslationExchange final : public TranslationExchange {
  public:
    GtkTranslationExchange(std::shared_ptr<HttpClient> http, std::string address,
                           ServiceAccount account, ErrorGuard guard);
    ~GtkTranslationExchange() override;
    GtkTranslationExchange(const GtkTranslationExchange&) = delete;
    GtkTranslationExchange& operator=(const GtkTranslationExchange&) = delete;
    void ApplyProxy() override;
    void Translate(std::string text, std::string sourceCode, std::string targetCode,
                   ExchangeKind kind, Done done) override;

  private:
    std::shared_ptr<HttpClient> http_; // shared with the worker, which may outlive this
    std::string address_;
    ServiceAccount account_;
    ErrorGuard guard_;
    GCancellable* cancellable_;
};

class GtkBalloonPresenter final : public BalloonPresenter {
  public:
    void Show(const BalloonContent& balloon) override;
};

class GtkTranslationRecorder final : public TranslationRecorder {
  public:
    void Record(std::string_view sourceName, std::string_view targetName, std::string_view source,
                std::string_view translation) override;
};

class GtkWaitHintShower final : public WaitHintShower {
  public:
    std::unique_ptr<Shown> Show(BalloonPoint at, std::string_view text) override;
};

class GtkFlowDesktop final : public FlowDesktop {
  public:
    BalloonPoint CursorPosition() override;
    BalloonRect MonitorAt(BalloonPoint point) override;
    bool CopyToClipboard(std::string_view text) override;
    // Nothing to wait for: the main loop draws the balloon once the flow returns to it,
    // and PRIMARY leaves no clipboard to give back.
    void Pause(int milliseconds) override;
};

// The flow with all its desktop seams, for the main window to own.
class GtkTranslationFlow {
  public:
    GtkTranslationFlow(std::shared_ptr<HttpClient> http, std::string address,
                       ServiceAccount account, ErrorGuard guard)
        : exchange_(std::move(http), std::move(address), std::move(account), std::move(guard)),
          flow_({selection_, exchange_, balloons_, log_, waitHint_, desktop_}) {}
    TranslationFlow& Flow() { return flow_; }
    PrimarySelectionSource& Selection() { return selection_; }

  private:
    PrimarySelectionSource selection_;
    GtkTranslationExchange exchange_;
    GtkBalloonPresenter balloons_;
    GtkTranslationRecorder log_;
    GtkWaitHintShower waitHint_;
    GtkFlowDesktop desktop_;
    TranslationFlow flow_;
};

} // namespace tervane
