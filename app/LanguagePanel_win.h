#pragma once
// The "Language" group: two owner-drawn pickers over the language table, the compact-mode
// button, and the swap on a click on the group itself; a view over the pickers' rules
// (app/LanguageController). A target the service does not reach from the source is drawn
// greyed; the service's listing is read on a worker thread.
#include "app/LanguageController.h"
#include "app/PanelBuilder_win.h"
#include "app/UiWorker_win.h"
#include "base/Controls_win.h"
#include "base/Dpi.h"
#include "base/GdiHandles_win.h"

#include <functional>
#include <string>

namespace tervane {

// GET /languages on a worker thread, with its own client for each question.
class WinRoutesFetcher final : public RoutesFetcher {
  public:
    explicit WinRoutesFetcher(UiWorker& worker);
    void Fetch(Done done) override;
    void SetAddress(std::string address) { address_ = std::move(address); }

  private:
    UiWorker& worker_;
    std::string address_;
};

class LanguagePanel {
  public:
    // `worker` must outlive the panel.
    explicit LanguagePanel(UiWorker& worker);

    void Create(const PanelBuilder& build, HINSTANCE instance);
    // Pictures, font, rows and faces at a new DPI (the layout moves the controls).
    void ScaleTo(int dpi);
    // Handles a notification of one of the pickers; false for any other control.
    bool OnCommand(ControlId id, int notification);
    // Draws a picker's item or the compact-mode button; false for any other control.
    bool OnDrawItem(const DRAWITEMSTRUCT& item);
    // Where the group sits in the window's client area.
    void MoveTo(POINT place) const;

    void OnSourceLanguageChange();
    void OnTargetLanguageChange();
    void OnSwapLanguages();

    LanguageController& Controller() { return controller_; }
    const Picker& Source() const { return source_; }
    const Picker& Target() const { return target_; }
    const std::string& SourceCode() const { return controller_.SourceCode(); }
    const std::string& TargetCode() const { return controller_.TargetCode(); }
    // Asks the service at `address` from now on, and at once.
    void SetRoutesAddress(std::string address);
    bool TargetReached(int position) const { return controller_.TargetReached(position); }

    // Called after the pickers changed.
    std::function<void()> onChanged;

  private:
    void ShowController();
    void DrawLanguageItem(const DRAWITEMSTRUCT& item);
    void DrawCompactButton(const DRAWITEMSTRUCT& item);

    WinRoutesFetcher fetcher_;
    LanguageController controller_;
    HWND group_ = nullptr;
    Picker source_, target_;
    UniqueImageList flagImages_;
    UniqueImageList compactGlyph_;
    UniqueFont pickerFont_;
    HINSTANCE instance_ = nullptr;
    // The window's DPI, and the one the pictures were drawn for (kImageDpis).
    int dpi_ = kDesignDpi;
    int imageDpi_ = kDesignDpi;
    // How far the names' letters reach above the baseline (cap tops) and below it (the
    // lowest descender, J's hook included), in pixels, measured once with pickerFont_.
    int nameInkAbove_ = 0;
    int nameInkBelow_ = 0;
};

} // namespace tervane
