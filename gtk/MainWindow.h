#pragma once
// The main window on the Linux desktop, composed of the same panels as the Windows
// program's window (hotkeys, languages, transparency and options, the foot with About,
// Minimize to the notification-area icon and Exit), with its behaviour over the same
// portable core (app/Settings, app/SettingsStore, app/TranslationFlow). Handlers are named
// after what they answer, as on Windows (docs/ARCHITECTURE.md maps the controls).
#include "app/Settings.h"
#include "app/TranslationFlow.h"
#include "base/Registry.h"
#include "gtk/BottomPanel.h"
#include "gtk/GlobalHotKeys.h"
#include "gtk/GtkFlowSeams.h"
#include "gtk/HotKeyPanel.h"
#include "gtk/LanguagePanel.h"
#include "gtk/OptionsPanel.h"
#include "gtk/ServiceRoutesFetcher.h"
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

    // A translation of the current selection (shown, or put in its place), run on the main
    // loop after what runs now; ignored while one waits for the service.
    void RequestTranslation(HotKeyAction action = HotKeyAction::Translate);

    Settings CurrentSettings();
    std::function<void(FlowStage)> onFlowStage;
    // What happened to the service this program supervises, when it is not answering
    // because of that (empty otherwise); errors of the exchange lead with it.
    std::function<std::string()> serviceAccount;

    HotKeyPanel& HotKeysPanel() { return *hotKeyPanel_; }
    const HotKeyCodec& Codec() const { return codec_; }
    LanguagePanel& Languages() { return *languages_; }
    OptionsPanel& Options() { return *options_; }

    // The window's own handlers.
    void OnCreate();
    bool OnClose();
    void OnTranslateHotKey();
    void OnCompactMode();
    void OnMinimize();
    void OnTrayIconClick();

  private:
    void CreateControls();
    HotKeyAction requestedAction_ = HotKeyAction::Translate; // of the request that waits
    // Every change of a setting is saved on the main loop soon after it, so that a logout
    // or a kill keeps it; several changes at once make one write.
    void SaveOnChanges();
    static gboolean SaveNow(gpointer self);

    const HotKeyCodec& codec_;
    Registry& settings_;
    std::string serviceAddress_;

    GtkWidget* window_ = nullptr;
    bool compact_ = false;
    guint saveSource_ = 0;

    std::unique_ptr<GlobalHotKeys> hotKeys_;
    std::unique_ptr<HotKeyPanel> hotKeyPanel_;
    std::unique_ptr<ServiceRoutesFetcher> routes_; // before the panel, which asks it
    std::unique_ptr<LanguagePanel> languages_;
    std::unique_ptr<OptionsPanel> options_;
    std::unique_ptr<BottomPanel> bottom_;
    std::shared_ptr<HttpClient> http_;
    std::unique_ptr<GtkTranslationFlow> flow_;
    std::unique_ptr<TrayIcon> tray_;
};

} // namespace tervane
