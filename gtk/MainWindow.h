#pragma once
// The main window on the Linux desktop: the hotkey panel, the language pickers, the
// transparency slider, the options, About, Minimize (to the notification-area icon) and
// Exit, with the behaviour of the Windows program's window over the same portable core
// (app/Settings, app/SettingsStore, app/TranslationFlow). Handlers are named after what
// they answer, as on Windows (docs/ARCHITECTURE.md maps the controls).
#include "app/Settings.h"
#include "app/TranslationFlow.h"
#include "base/Registry.h"
#include "gtk/GtkFlowSeams.h"
#include "gtk/HotKeyGrabs.h"
#include "gtk/TrayIcon.h"
#include "hotkeys/HotKeyCodec.h"
#include "net/HttpClient.h"

#include <gtk/gtk.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tervane {

class MainWindow {
  public:
    // `codec` and `settings` must outlive the window; `serviceAddress` is where the flow
    // posts its requests.
    MainWindow(const HotKeyCodec& codec, Registry& settings, std::string serviceAddress);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Builds the window and runs OnCreate (the stored settings applied); hidden until Show.
    void Create();
    void Show();
    // Brings the window to the front, from the notification area too (a second start).
    void Present();
    GtkWindow* Window() const { return GTK_WINDOW(window_); }

    // A translation of the current selection, run on the main loop after what runs now;
    // presses while one runs are run after it, once.
    void RequestTranslation();

    Settings CurrentSettings();
    std::function<void(FlowStage)> onFlowStage;

    // Handlers.
    void OnCreate();
    bool OnClose();
    void OnTranslateHotKey();
    void OnSwapLanguages();
    void OnTransparencyChange();
    void OnCompactMode();
    void OnLogToFileClick();
    void OnViewLog();
    void OnAbout();
    void OnMinimize();
    void OnTrayIconClick();
    void OnAutostartClick();

    // The hotkey panel: every line of the list is one hotkey the grabs hold.
    void AddHotKeyToList(std::uint32_t hotKey);
    void OnAddHotKey();
    void OnRemoveHotKey();
    void OnClearHotKeys();
    bool OnHotKeyEntryKey(GdkEventKey* event);

  private:
    friend class MainWindowSettings;
    void CreateControls();
    GtkWidget* CreateHotKeyPanel();
    GtkWidget* CreateLanguageGroup();
    GtkWidget* CreateOptionsPanel();
    std::vector<std::string> HotKeyLines() const;
    void SetHotKeyEntry(std::uint32_t hotKey);

    const HotKeyCodec& codec_;
    Registry& settings_;
    std::string serviceAddress_;

    GtkWidget* window_ = nullptr;
    GtkWidget* hotKeyGroup_ = nullptr;
    GtkWidget* hotKeyEntry_ = nullptr;
    GtkWidget* addButton_ = nullptr;
    GtkWidget* hotKeysInUseGroup_ = nullptr;
    GtkWidget* hotKeyList_ = nullptr;
    GtkListStore* hotKeyLines_ = nullptr;
    GtkWidget* removeButton_ = nullptr;
    GtkWidget* clearButton_ = nullptr;
    GtkWidget* languageGroup_ = nullptr;
    GtkWidget* sourcePicker_ = nullptr;
    GtkWidget* targetPicker_ = nullptr;
    GtkWidget* compactButton_ = nullptr;
    GtkWidget* transparencyGroup_ = nullptr;
    GtkWidget* transparencySlider_ = nullptr;
    GtkWidget* optionsGroup_ = nullptr;
    GtkWidget* freezeBox_ = nullptr;
    GtkWidget* copyToClipboardBox_ = nullptr;
    GtkWidget* logToFileBox_ = nullptr;
    GtkWidget* viewLogButton_ = nullptr;
    GtkWidget* autostartBox_ = nullptr;
    GtkWidget* bottomArea_ = nullptr;
    GtkWidget* copyrightLabel_ = nullptr;

    // The value the key-entry field holds; 0 when empty.
    std::uint32_t entryHotKey_ = 0;
    bool compact_ = false;
    bool flowRunning_ = false;
    bool flowPending_ = false;

    std::unique_ptr<HotKeyGrabs> hotKeys_;
    std::unique_ptr<HttpClient> http_;
    std::unique_ptr<GtkTranslationFlow> flow_;
    std::unique_ptr<TrayIcon> tray_;
};

} // namespace tervane
