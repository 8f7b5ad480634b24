#pragma once
// The main window: a fixed dialog-style window with the hotkey panel, the language
// pickers, the transparency slider and the options. Its window procedure only dispatches
// to the named handlers (inside the program's error guard, base/BaseWindow_win.h).
// docs/ARCHITECTURE.md maps each control's caption to its name here.
#include "app/ControlIds.h"
#include "app/FlowSeams_win.h"
#include "app/Settings.h"
#include "app/Transparency.h"
#include "base/BaseWindow_win.h"
#include "base/GdiHandles_win.h"
#include "base/Registry_win.h"
#include "hotkeys/HotKeyManager_win.h"
#include "net/HttpClient.h"
#include "notify/BalloonControl_win.h"
#include "notify/TrayIcon_win.h"
#include "translate/LanguageRoutes.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tervane {

inline void DestroyMenuHandle(HMENU menu) {
    DestroyMenu(menu);
}
using UniqueMenu = UniqueHandle<HMENU, DestroyMenuHandle>;

class MainWindow : public BaseWindow<MainWindow> {
  public:
    static constexpr wchar_t kClassName[] = L"TervaneMainWindow";
    // Posted by a second copy of the program: show the window in front.
    static UINT ShowRequestMessage();

    // `codec` converts hotkeys for the hotkey list; it must outlive the window.
    explicit MainWindow(const HotKeyCodec& codec) : codec_(codec) {}
    // The same, with the settings kept in `settings` instead of the user's registry.
    MainWindow(const HotKeyCodec& codec, Registry& settings)
        : codec_(codec), settings_(&settings) {}
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow();

    // Creates the window with all its controls and runs OnCreate; hidden until Show.
    // `owner` is the application window, whose taskbar button stands for the program.
    void Create(HINSTANCE instance, HWND owner = nullptr);
    void Show(int showCommand);

    HWND Control(ControlId id) const;
    // The service codes of the current source and target languages.
    const std::string& SourceCode() const { return sourceCode_; }
    const std::string& TargetCode() const { return targetCode_; }
    HotKeyManager& HotKeys() { return *hotKeys_; }
    const TrayIcon& Tray() const { return *tray_; }
    // The display name at a picker's current position, empty when it has none.
    std::string PickerText(HWND picker) const;
    // Where the pickers ask which targets the service reaches (the built-in service's
    // listing unless a test names another); asked again at once.
    void SetRoutesAddress(std::string address);
    // Whether the target at `position` is drawn as one the service reaches from the current
    // source: true for every target while the service has not answered.
    bool TargetReached(int position) const;
    // The settings as the controls show them now.
    Settings CurrentSettings();

    // Called at each stage of a translation when set; for the benchmark in bench/.
    std::function<void(FlowStage)> onFlowStage;

    // Handlers, each named after the event it answers.
    void OnCreate();
    void OnClose();
    void OnExit();
    void OnSourceLanguageChange();
    void OnTargetLanguageChange();
    void OnSwapLanguages();
    void OnTranslateHotKey(std::uint32_t hotKey, std::uint16_t index);
    // The options panel (OptionsPanel_win.cpp).
    void OnTransparencyChange();
    void OnCompactMode();
    void OnLogToFileClick();
    void OnAbout();
    void OnMinimize();
    void OnTrayIconClick();
    void OnShowRequest();
    void OnViewLog();

    // The hotkey panel: every line of the hotkey list is one hotkey the manager holds.
    void AddHotKeyToList(std::uint32_t hotKey);
    void OnAddHotKey();
    void OnRemoveHotKey();
    void OnClearHotKeys();

  private:
    friend class BaseWindow<MainWindow>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnCommand(ControlId id, int notification);
    void OnActivate(bool active);
    void CreateControls(HINSTANCE instance);
    void LoadPickers(HINSTANCE instance);
    void DrawLanguageItem(const DRAWITEMSTRUCT& item);
    void RefreshRoutes();
    void DrawCompactButton(const DRAWITEMSTRUCT& item);
    void OnSliderMoved();
    void CreateTrayIcon(HINSTANCE instance, HWND taskbarWindow);

    const HotKeyCodec& codec_;

    HWND hotKeyGroup_ = nullptr, hotKeyEntry_ = nullptr, addButton_ = nullptr;
    HWND hotKeysInUseGroup_ = nullptr, hotKeyList_ = nullptr, removeButton_ = nullptr,
         clearButton_ = nullptr;
    HWND languageGroup_ = nullptr, sourcePicker_ = nullptr, targetPicker_ = nullptr,
         compactButton_ = nullptr;
    HWND transparencyGroup_ = nullptr, transparencySlider_ = nullptr;
    HWND optionsGroup_ = nullptr, freezeBox_ = nullptr, copyToClipboardBox_ = nullptr,
         logToFileBox_ = nullptr, viewLogButton_ = nullptr;
    HWND selectTextLabel_ = nullptr, pressHotKeyLabel_ = nullptr, copyrightLabel_ = nullptr;
    HWND aboutButton_ = nullptr, minimizeButton_ = nullptr, exitButton_ = nullptr;
    // The control that had the keyboard focus when the window was last deactivated.
    HWND lastFocus_ = nullptr;

    std::string sourceCode_;
    std::string targetCode_;
    UniqueImageList flagImages_;
    UniqueImageList compactGlyph_;
    UniqueFont formFont_;
    UniqueFont pickerFont_;
    // How far the names' letters reach above the baseline (cap tops) and below it (the
    // lowest descender, J's hook included), in pixels, measured once with pickerFont_.
    int nameInkAbove_ = 0;
    int nameInkBelow_ = 0;
    // The global hotkeys of the program; a press calls OnTranslateHotKey.
    std::unique_ptr<HotKeyManager> hotKeys_;
    // The translation flow's HTTP client (its proxy and cookies last as long as the
    // window), the registry it reads the system proxy from, and the balloon's settings,
    // kept from one translation to the next.
    std::unique_ptr<HttpClient> http_;
    // The service's language listing, asked with time-outs short enough not to hold the
    // window up when the service does not answer; nothing while it has not answered.
    std::unique_ptr<HttpClient> routesHttp_;
    std::string routesAddress_;
    std::optional<LanguageRoutes> routes_;
    WinRegistry registry_;
    BalloonControl balloon_;
    // The main job over the window's client, registry and balloon control.
    std::unique_ptr<WinTranslationFlow> flow_;
    // The notification-area icon that stands for the window while it is hidden, and its
    // right-click menu (declared first: the icon refers to the menu while it lives).
    UniqueMenu trayMenu_;
    std::unique_ptr<TrayIcon> tray_;
    // Where OnCreate loads the settings from and OnClose saves them to.
    Registry* settings_ = &registry_;
    // The slider position whose transparency is applied; the slider starts opaque.
    int sliderPosition_ = kSliderMax;
    bool compact_ = false;
    // The outer size of the full window, kept while it is compact.
    SIZE fullSize_{};
};

} // namespace tervane
