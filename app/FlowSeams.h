#pragma once
// What the translation flow needs from a desktop, one small interface per job. Each front
// end (the Windows program, the Linux desktop program) implements them over its system;
// native tests implement them in memory.
#include "notify/Balloon.h"
#include "notify/BalloonGeometry.h"

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
};

class SelectionSource {
  public:
    virtual ~SelectionSource() = default;
    // The selection of the application in front; nullptr when there is none to ask (our own
    // window in front, no foreground window), which ends the flow quietly. Throws what the
    // system refused ("Cannot open clipboard").
    virtual std::unique_ptr<Selection> Capture() = 0;
};

// The exchange with the translation service.
class TranslationExchange {
  public:
    virtual ~TranslationExchange() = default;
    // Brings the connection's proxy up to date before a request (the system's settings).
    virtual void ApplyProxy() = 0;
    // Table codes ("FR", "ZH-TW"); throws the exchange's error text.
    virtual std::string Translate(std::string_view text, std::string_view sourceCode,
                                  std::string_view targetCode) = 0;
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
