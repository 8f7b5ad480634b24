#include "gtk/MainWindow.h"

#include "app/SettingsStore.h"
#include "base/AppIdentity.h"
#include "gtk/FlowTrace.h"
#include "gtk/HotKeyWays.h"
#include "gtk/Images.h"
#include "gtk/MainWindowSettings.h"
#include "gtk/MessageBoxes.h"

#include "net/HttpUrl.h"
#include "net/HttplibTransport.h"
#include <gdk/gdkx.h>

namespace tervane {

namespace {

gboolean RunTranslation(gpointer self) {
    static_cast<MainWindow*>(self)->OnTranslateHotKey();
    return G_SOURCE_REMOVE;
}

} // namespace

MainWindow::MainWindow(const HotKeyCodec& codec, Registry& settings, std::string serviceAddress)
    : codec_(codec), settings_(settings), serviceAddress_(std::move(serviceAddress)) {}

MainWindow::~MainWindow() {
    if (saveSource_)
        g_source_remove(saveSource_);
    hotKeyPanel_.reset();
    hotKeys_.reset(); // releases every grab
    tray_.reset();
    if (window_)
        gtk_widget_destroy(window_);
}

void MainWindow::Create() {
    hotKeys_ = MakeGlobalHotKeys(gdk_display_get_default());
    CreateControls();
    http_ = std::make_shared<HttpClient>(std::make_unique<HttplibTransport>());
    flow_ = std::make_unique<GtkTranslationFlow>(
        http_, serviceAddress_,
        [this] { return serviceAccount ? serviceAccount() : std::string(); },
        [this](const std::function<void()>& handler) { RunGuarded(Window(), handler); });
    hotKeyPanel_->Controller().SetReplaceUnavailable(flow_->Selection().ReplaceUnavailable());
    flow_->Flow().onStage = [this](FlowStage stage) {
        if (onFlowStage)
            onFlowStage(stage);
    };
    tray_ = std::make_unique<TrayIcon>();
    tray_->onClick = [this] { OnTrayIconClick(); };
    tray_->onExit = [this] { OnClose(); };
    hotKeys_->onPressed = [this](std::uint32_t hotKey) {
        TraceFlowPoint("pressed");
        RequestTranslation(hotKeyPanel_->Controller().ActionOf(hotKey));
    };
    RunGuarded(Window(), [this] { OnCreate(); });
    SaveOnChanges();
}

void MainWindow::SaveOnChanges() {
    const auto changed = G_CALLBACK(+[](MainWindow* self) {
        if (!self->saveSource_)
            self->saveSource_ = g_idle_add(&MainWindow::SaveNow, self);
    });
    g_signal_connect_swapped(languages_->Source(), "changed", changed, this);
    g_signal_connect_swapped(languages_->Target(), "changed", changed, this);
    g_signal_connect_swapped(options_->Slider(), "value-changed", changed, this);
    for (const Option option : {Option::Freeze, Option::CopyToClipboard, Option::LogToFile})
        g_signal_connect_swapped(options_->Box(option), "toggled", changed, this);
    g_signal_connect_swapped(hotKeyPanel_->LineModel(), "row-inserted", changed, this);
    g_signal_connect_swapped(hotKeyPanel_->LineModel(), "row-deleted", changed, this);
}

gboolean MainWindow::SaveNow(gpointer self) {
    auto* window = static_cast<MainWindow*>(self);
    window->saveSource_ = 0;
    RunGuarded(window->Window(),
               [window] { SaveSettings(window->settings_, window->CurrentSettings()); });
    return G_SOURCE_REMOVE;
}

void MainWindow::CreateControls() {
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(Window(), kMainWindowCaption);
    gtk_window_set_resizable(Window(), FALSE);
    gtk_window_set_position(Window(), GTK_WIN_POS_CENTER);
    GdkPixbuf* icon = ProgramIcon(32);
    gtk_window_set_icon(Window(), icon);
    g_object_unref(icon);
    g_signal_connect_swapped(window_, "delete-event", G_CALLBACK(+[](MainWindow* self) -> gboolean {
                                 self->OnClose();
                                 return TRUE; // the window goes when the loop ends
                             }),
                             this);

    // The compact bar is the "Language" group alone: a click on its edge, outside the
    // group's own area, swaps too.
    gtk_widget_add_events(window_, GDK_BUTTON_PRESS_MASK);
    g_signal_connect_swapped(window_, "button-press-event",
                             G_CALLBACK(+[](MainWindow* self, GdkEventButton* event) -> gboolean {
                                 if (!self->compact_ || event->button != 1 ||
                                     event->type != GDK_BUTTON_PRESS)
                                     return FALSE;
                                 self->languages_->OnSwapLanguages();
                                 return TRUE;
                             }),
                             this);

    hotKeyPanel_ = std::make_unique<HotKeyPanel>(codec_, *hotKeys_, Window());
    routes_ = std::make_unique<ServiceRoutesFetcher>(ResolveHttpUrl(serviceAddress_, "/languages"));
    languages_ = std::make_unique<LanguagePanel>(*routes_);
    languages_->onCompactMode = [this] { OnCompactMode(); };
    options_ = std::make_unique<OptionsPanel>(Window());
    bottom_ = std::make_unique<BottomPanel>(Window());
    bottom_->onMinimize = [this] { OnMinimize(); };
    bottom_->onExit = [this] { OnClose(); };

    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_column_spacing(GTK_GRID(grid), 12);
    gtk_grid_set_row_spacing(GTK_GRID(grid), 8);
    gtk_container_set_border_width(GTK_CONTAINER(grid), 8);
    gtk_container_add(GTK_CONTAINER(window_), grid);
    gtk_grid_attach(GTK_GRID(grid), hotKeyPanel_->Widget(), 0, 0, 1, 1);
    GtkWidget* right = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
    for (GtkWidget* group :
         {languages_->Widget(), options_->TransparencyGroup(), options_->OptionsGroup()})
        gtk_box_pack_start(GTK_BOX(right), group, FALSE, FALSE, 0);
    gtk_grid_attach(GTK_GRID(grid), right, 1, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), bottom_->Widget(), 0, 1, 2, 1);
    gtk_widget_show_all(grid);
}

void MainWindow::Show() {
    gtk_widget_show(window_);
    gtk_widget_grab_focus(hotKeyPanel_->Entry());
}

void MainWindow::Present() {
    if (tray_->Visible())
        OnTrayIconClick();
    else
        gtk_window_present(Window());
}

void MainWindow::OnCreate() {
    bottom_->ShowCopyright();
    // The default hotkey is grabbed at every start, as the first line of the list.
    hotKeyPanel_->Controller().AddDefaultHotKey();
    MainWindowSettings view(*this);
    LoadSettings(settings_, view);
    languages_->Controller().Start();
}

// Exit and the close box: the settings saved, then the program ends. A refused write is
// reported and keeps the window open.
bool MainWindow::OnClose() {
    bool saved = false;
    RunGuarded(Window(), [&] {
        SaveSettings(settings_, CurrentSettings());
        saved = true;
    });
    if (saved) {
        gtk_widget_hide(window_);
        g_application_quit(g_application_get_default());
    }
    return saved;
}

Settings MainWindow::CurrentSettings() {
    return MainWindowSettings(*this).Current();
}

void MainWindow::RequestTranslation(HotKeyAction action) {
    requestedAction_ = action;
    g_idle_add(RunTranslation, this);
}

// A hotkey translates or replaces, as its line says: the selection is read without waiting,
// then the flow starts with it; the exchange goes on without the main loop waiting either. A
// press while one is read or waits for the service (or for a paste) is ignored. A desktop
// that cannot replace says so at once, before anything is read or asked.
void MainWindow::OnTranslateHotKey() {
    if (flow_->Selection().Reading() || flow_->Flow().Pending())
        return;
    const std::string& unavailable = flow_->Selection().ReplaceUnavailable();
    if (requestedAction_ == HotKeyAction::Replace && !unavailable.empty()) {
        ShowErrorReport(Window(), unavailable);
        return;
    }
    flow_->Selection().Read([this, action = requestedAction_] {
        RunGuarded(Window(), [this, action] { flow_->Flow().Start(CurrentSettings(), action); });
    });
}

// Full window <-> a small always-on-top bar with the two pickers and this button. The
// window is hidden while it changes and keeps its top-left corner on the screen.
void MainWindow::OnCompactMode() {
    compact_ = !compact_;
    int x = 0, y = 0;
    gtk_window_get_position(Window(), &x, &y);
    gtk_widget_hide(window_);
    hotKeyPanel_->Show(!compact_);
    options_->Show(!compact_);
    bottom_->Show(!compact_);
    languages_->SetCompact(compact_);
    gtk_window_set_type_hint(Window(),
                             compact_ ? GDK_WINDOW_TYPE_HINT_UTILITY : GDK_WINDOW_TYPE_HINT_NORMAL);
    gtk_window_set_keep_above(Window(), compact_);
    gtk_window_resize(Window(), 1, 1); // the smallest size its contents take
    gtk_window_move(Window(), x, y);
    gtk_widget_show(window_);
}

// The window goes, the icon comes; the hotkeys keep working (they are grabs on the root
// window, not the main window's). A Wayland desktop without a notification area (GNOME's
// own) would show no icon to bring the window back by: there it is minimized instead.
void MainWindow::OnMinimize() {
    if (!tray_->CanBeShown()) {
        TraceFlowPoint("minimized");
        gtk_window_iconify(Window());
        return;
    }
    gtk_widget_hide(window_);
    tray_->SetVisible(true);
}

void MainWindow::OnTrayIconClick() {
    tray_->SetVisible(false);
    gtk_widget_show(window_);
    gtk_window_present(Window());
}

} // namespace tervane
