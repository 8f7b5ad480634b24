#pragma once
// The "Language" group: two owner-drawn pickers over the language table, the service
// codes that follow them, the compact-mode button, and the swap on a click on the group
// itself. A target the service does not reach from the source is drawn greyed.
#include "app/PanelBuilder_win.h"
#include "base/Controls_win.h"
#include "base/GdiHandles_win.h"
#include "net/HttpClient.h"
#include "translate/LanguageRoutes.h"

#include <memory>
#include <optional>
#include <string>

namespace tervane {

class LanguagePanel {
  public:
    LanguagePanel();
    ~LanguagePanel();

    void Create(const PanelBuilder& build, HINSTANCE instance);
    // Handles a notification of one of the pickers; false for any other control.
    bool OnCommand(ControlId id, int notification);
    // Draws a picker's item or the compact-mode button; false for any other control.
    bool OnDrawItem(const DRAWITEMSTRUCT& item);
    // Where the group sits in the window's client area.
    void MoveTo(POINT place) const;

    void OnSourceLanguageChange();
    void OnTargetLanguageChange();
    void OnSwapLanguages();

    const Picker& Source() const { return source_; }
    const Picker& Target() const { return target_; }
    const std::string& SourceCode() const { return sourceCode_; }
    const std::string& TargetCode() const { return targetCode_; }
    void SetRoutesAddress(std::string address);
    bool TargetReached(int position) const;

  private:
    void LoadPickers(HINSTANCE instance);
    void RefreshRoutes();
    void DrawLanguageItem(const DRAWITEMSTRUCT& item);
    void DrawCompactButton(const DRAWITEMSTRUCT& item);

    HWND group_ = nullptr;
    Picker source_, target_;
    std::string sourceCode_, targetCode_;
    UniqueImageList flagImages_;
    UniqueImageList compactGlyph_;
    UniqueFont pickerFont_;
    // How far the names' letters reach above the baseline (cap tops) and below it (the
    // lowest descender, J's hook included), in pixels, measured once with pickerFont_.
    int nameInkAbove_ = 0;
    int nameInkBelow_ = 0;
    // The service's language listing, asked with time-outs short enough not to hold the
    // window up when the service does not answer; nothing while it has not answered.
    std::unique_ptr<HttpClient> routesHttp_;
    std::string routesAddress_;
    std::optional<LanguageRoutes> routes_;
};

} // namespace tervane
