#pragma once
// What the translation flow needs from a desktop, one small interface per job. Each front
// end (the Windows program, the Linux desktop program) implements them over its system;
// native tests implement them in memory.
#include "notify/Balloon.h"
#include "notify/BalloonGeometry.h"
#include "protocol/WordsAnswer.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tervane {

// A captured selection. Destroying it undoes what capturing did (an input attachment, the
// user's clipboard taken aside), exactly once, on every way out of the flow.
class Selection {
  public:
    virtual ~Selection() = default;
    virtual const std::string& Text() const = 0;
    // The translation now stands on the clipboard: what the capture took aside is dropped
    // instead of put back.
    virtual void KeepClipboard() = 0;
    // Puts `text` in place of the selection in the application it came from, and calls
    // `over` on the UI thread once the application has taken it (true) or the bounded wait
    // for that ended without it (false: nothing was replaced), possibly before Replace
    // returns. The user's clipboard, lent to a paste, is back by then or when the selection
    // is destroyed. Throws what stands in the way (a read-only control:
    // kReadOnlyTargetText), with nothing replaced.
    virtual void Replace(const std::string& text, std::function<void(bool taken)> over) = 0;
};

class SelectionSource {
  public:
    virtual ~SelectionSource() = default;
    // The selection of the application in front; nullptr when there is none to ask (our own
    // window in front, no foreground window), which ends the flow quietly. Throws what the
    // system refused ("Cannot open clipboard").
    virtual std::unique_ptr<Selection> Capture() = 0;
};

// What an exchange with the translation service gave: the translation, or its error.
struct ExchangeAnswer {
    std::string translation;
    std::exception_ptr error; // the exchange's error text, when it failed
    // For one word asked as such, the dictionary's entries the service knows.
    std::vector<protocol::WordEntry> entries = {};
};

// What the service is asked for: a translation, or one word's translation with the
// dictionary's entries (a service that has no dictionary gives the translation alone).
enum class ExchangeKind { Translation, Word };

// The exchange with the translation service. The user interface never waits for it: it runs
// elsewhere (a worker thread, the main loop's own I/O) and its answer comes back on the UI
// thread, where the front end marshals it (Windows: a posted message; GTK: an idle callback).
class TranslationExchange {
  public:
    virtual ~TranslationExchange() = default;
    using Done = std::function<void(ExchangeAnswer)>;
    // Brings the connection's proxy up to date before a request (the system's settings).
    virtual void ApplyProxy() = 0;
    // Starts the exchange of `text` (table codes: "FR", "ZH-TW") and returns. Calls `done`
    // once, later, on the UI thread, inside the front end's error guard: what it throws is
    // the translation's error for the error report. An exchange that answers at once may
    // call it before Translate returns.
    virtual void Translate(std::string text, std::string sourceCode, std::string targetCode,
                           ExchangeKind kind, Done done) = 0;
};

class BalloonPresenter {
  public:
    virtual ~BalloonPresenter() = default;
    // Opens a new balloon and returns at once; earlier balloons stay until they close.
    virtual void Show(const BalloonContent& balloon) = 0;
};

class TranslationRecorder {
  public:
    virtual ~TranslationRecorder() = default;
    // Appends one record to the translation log (when its file exists); throws the
    // system's reason when it cannot be written.
    virtual void Record(std::string_view sourceName, std::string_view targetName,
                        std::string_view source, std::string_view translation) = 0;
};

// The "please wait" hint: shown while the returned object lives.
class WaitHintShower {
  public:
    virtual ~WaitHintShower() = default;
    struct Shown {
        virtual ~Shown() = default;
    };
    virtual std::unique_ptr<Shown> Show(BalloonPoint at, std::string_view text) = 0;
};

// The rest of the desktop the flow looks at.
class FlowDesktop {
  public:
    virtual ~FlowDesktop() = default;
    virtual BalloonPoint CursorPosition() = 0;
    // The monitor the point lies on (the nearest one when it lies on none), screen pixels.
    virtual BalloonRect MonitorAt(BalloonPoint point) = 0;
    // Puts the text on the clipboard; false when the clipboard could not be had.
    virtual bool CopyToClipboard(std::string_view text) = 0;
    virtual void Pause(int milliseconds) = 0;
};

struct FlowSeams {
    SelectionSource& selection;
    TranslationExchange& exchange;
    BalloonPresenter& balloons;
    TranslationRecorder& log;
    WaitHintShower& waitHint;
    FlowDesktop& desktop;
};

} // namespace tervane
