// The main job: a hotkey press translates the text selected in the foreground application
// and shows the translation in a balloon by the cursor.
#include "app/BalloonPlacement.h"
#include "app/MainWindow_win.h"
#include "app/TextLayout.h"
#include "base/AppIdentity.h"
#include "net/ProxySettings.h"
#include "notify/WaitHint_win.h"
#include "translate/Clipboard_win.h"
#include "translate/SelectionCapture_win.h"
#include "translate/ServiceExchange.h"
#include "translate/TranslationLog_win.h"

#include <optional>

namespace {

constexpr const char* kWaitText = "Translating, please wait ...";
constexpr std::size_t kBalloonLineWidth = 60;
constexpr int kBalloonSeconds = 200;

bool IsChecked(HWND box) {
    return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Undoes the capture's input attachment on every way out of the flow, once.
class InputAttachment {
  public:
    explicit InputAttachment(const CapturedSelection& capture) : capture_(capture) {}
    ~InputAttachment() { DetachInput(capture_); }
    InputAttachment(const InputAttachment&) = delete;
    InputAttachment& operator=(const InputAttachment&) = delete;

  private:
    const CapturedSelection& capture_;
};

} // namespace

void MainWindow::OnTranslateHotKey(std::uint32_t, std::uint16_t) {
    const auto stage = [this](FlowStage reached) {
        if (onFlowStage)
            onFlowStage(reached);
    };
    stage(FlowStage::Started);
    const bool freeze = IsChecked(freezeBox_);
    if (sourceCode_ == targetCode_)
        return;
    if (PickerText(sourcePicker_) == PickerText(targetPicker_))
        return;

    // The capture keeps what the user had on the clipboard; it goes back when `capture`
    // goes out of scope (after the detach), unless the translation was copied there.
    CapturedSelection capture = CaptureSelectedText(GetWindow(hwnd_, GW_OWNER));
    if (!capture.attached)
        return;
    const InputAttachment attachment(capture);
    if (capture.capturedText.empty())
        return;
    stage(FlowStage::Captured);

    POINT cursor{};
    GetCursorPos(&cursor);
    std::optional<WaitHint> hint;
    if (freeze)
        hint.emplace(cursor, kWaitText, hwnd_);

    ApplySystemProxy(*http_, registry_);
    const std::string translation =
        RequestTranslation(*http_, capture.capturedText, sourceCode_, targetCode_);
    stage(FlowStage::Translated);

    const BalloonPlacement place =
        PlaceBalloon(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), cursor.x,
                     cursor.y, balloon_.Position());
    balloon_.SetPixelCoordinateX(place.x);
    balloon_.SetPixelCoordinateY(place.y);
    balloon_.SetPosition(place.position);
    balloon_.SetTitle(kApplicationTitle);
    std::vector<std::string> lines = WrapWords(translation, kBalloonLineWidth);
    if (IsChecked(copyToClipboardBox_)) {
        capture.savedClipboard.Discard();
        CopyTextToClipboard(translation);
    }
    if (IsChecked(logToFileBox_)) {
        LogTranslation(PickerText(sourcePicker_), PickerText(targetPicker_), capture.capturedText,
                       translation);
    }
    balloon_.SetText(std::move(lines));
    balloon_.SetDuration(kBalloonSeconds);
    balloon_.ShowBalloon();
    stage(FlowStage::Shown);
    hint.reset();
    Sleep(200);
}
