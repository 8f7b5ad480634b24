#pragma once
// The main window: a fixed dialog-style window composed of its panels (hotkeys, languages,
// options and transparency, the foot with its buttons), each owning its controls. The
// window procedure only dispatches to the panels and to the window's own handlers (inside
// the program's error guard, base/BaseWindow_win.h). docs/ARCHITECTURE.md maps each
// control's caption to its name here.
#include "app/BottomPanel_win.h"
#include "app/ControlIds.h"
#include "app/FlowSeams_win.h"
#include "app/HotKeyPanel_win.h"
#include "app/LanguagePanel_win.h"
#include "app/OptionsPanel_win.h"
#include "app/PanelSettings.h"
#include "app/ProgramIcon_win.h"
#include "app/Settings.h"
#include "app/UiWorker_win.h"
#include "base/BaseWindow_win.h"
#include "base/Dpi.h"
#include "base/GdiHandles_win.h"
#include "base/Registry_win.h"
#include "hotkeys/HotKeyManager_win.h"
#include "net/HttpClient.h"
#include "notify/BalloonControl_win.h"
#include "notify/TrayIcon_win.h"

#include <windows.h>

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

    // Creates the window with all its panels and runs OnCreate; hidden until Show.
    // `owner` is the application window, whose taskbar button stands for the program.
    void Create(HINSTANCE instance, HWND owner = nullptr);
    void Show(int showCommand);

    // A control by its identifier, wherever in the window it sits.
    HWND Control(ControlId id) const;
    HotKeyPanel& HotKeysPanel() { return *hotKeyPanel_; }
    LanguagePanel& Languages() { return languages_; }
    const LanguagePanel& Languages() const { return languages_; }
    OptionsPanel& Options() { return options_; }
    // The service codes of the current source and target languages.
    const std::string& SourceCode() const { return languages_.SourceCode(); }
    const std::string& TargetCode() const { return languages_.TargetCode(); }
    HotKeyManager& HotKeys() { return *hotKeys_; }
    const HotKeyCodec& Codec() const { return codec_; }
    const TrayIcon& Tray() const { return *tray_; }
    // The display name at a picker's current position, empty when it has none.
    std::string PickerText(HWND picker) const { return Picker(picker).SelectedText(); }
    // Where the pickers ask which targets the service reaches (the built-in service's
    // listing unless a test names another); asked again at once.
    void SetRoutesAddress(std::string address) { languages_.SetRoutesAddress(std::move(address)); }
    // Where a translation is asked (the built-in service unless a test names another).
    void SetServiceAddress(std::string address) {
        flow_->Exchange().SetAddress(std::move(address));
    }
    // Whether the target at `position` is drawn as one the service reaches from the current
    // source: true for every target while the service has not answered.
    bool TargetReached(int position) const { return languages_.TargetReached(position); }
    void AddHotKeyToList(std::uint32_t hotKey) { hotKeyPanel_->AddHotKeyToList(hotKey); }
    void OnSwapLanguages() { languages_.OnSwapLanguages(); }
    // The settings as the panels' controllers hold them now.
    Settings CurrentSettings();
    // The settings as the store reads and sets them.
    PanelSettings SettingsOfPanels();
    // Whether a translation waits for the service's answer.
    bool TranslationPending() const { return flow_ && flow_->Flow().Pending(); }

    // Called at each stage of a translation when set; for the benchmark in bench/.
    std::function<void(FlowStage)> onFlowStage;

    // The window's own handlers, each named after the event it answers.
    void OnCreate();
    void OnClose();
    void OnExit();
    void OnTranslateHotKey(std::uint32_t hotKey, std::uint16_t index);
    // A setting changed, or the session ends: the store is brought up to date.
    void OnSettingChanged();
    void OnEndSession();
    void OnCompactMode();
    // The window now drawn at `dpi`; `suggested` is the system's new place for it.
    void OnDpiChanged(int dpi, const RECT& suggested);
    // The DPI the window is laid out for.
    int Dpi() const { return dpi_; }
    // The notification area (MainWindowTray_win.cpp).
    void OnMinimize();
    void OnTrayIconClick();
    void OnShowRequest();

  private:
    friend class BaseWindow<MainWindow>;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnCommand(ControlId id, int notification);
    void OnActivate(bool active);
    void CreateTrayIcon(HINSTANCE instance, HWND taskbarWindow);
    // The outer size of the full window, and of the window in its current form, at dpi_.
    SIZE FullSize() const;
    SIZE OwnSize() const;
    // The "Language" group where the current form has it.
    void PlaceLanguages() const;

    const HotKeyCodec& codec_;
    // Work the UI thread does not wait for (the translation, the language listing); stopped
    // first when the window goes, so that no thread outlives what it uses.
    UiWorker worker_;
    UniqueFont formFont_;
    int dpi_ = kDesignDpi;
    // The caption's and the taskbar's icons at dpi_.
    WindowIcons icons_;
    // Every control of the panels with its designed place, for a change of DPI.
    PanelLayout layout_;
    // The global hotkeys of the program; a press calls OnTranslateHotKey.
    std::unique_ptr<HotKeyManager> hotKeys_;
    std::unique_ptr<HotKeyPanel> hotKeyPanel_;
    LanguagePanel languages_{worker_};
    OptionsPanel options_;
    BottomPanel bottom_;
    // The control that had the keyboard focus when the window was last deactivated.
    HWND lastFocus_ = nullptr;

    // The translation flow's HTTP client (its proxy and cookies last as long as the
    // window), the registry it reads the system proxy from, and the balloon's settings,
    // kept from one translation to the next.
    std::unique_ptr<HttpClient> http_;
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
    bool compact_ = false;
    // What the store holds as far as this window knows: set once the stored settings are
    // applied, and from then on a value that differs is saved.
    std::optional<Settings> saved_;
};

} // namespace tervane
