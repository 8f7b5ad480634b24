#include "gtk/MainWindow.h"

#include "app/SettingsStore.h"
#include "base/AppIdentity.h"
#include "gtk/FlowTrace.h"
#include "gtk/HttplibTransport.h"
#include "gtk/Images.h"
#include "gtk/MainWindowSettings.h"
#include "gtk/MessageBoxes.h"

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
    hotKeys_.reset(); // releases every grab
    tray_.reset();
    if (window_)
        gtk_widget_destroy(window_);
    if (hotKeyLines_)
        g_object_unref(hotKeyLines_);
}

void MainWindow::Create() {
    CreateControls();
    http_ = std::make_unique<HttpClient>(std::make_unique<HttplibTransport>());
    flow_ = std::make_unique<GtkTranslationFlow>(*http_, serviceAddress_);
    flow_->Flow().onStage = [this](FlowStage stage) {
        if (onFlowStage)
            onFlowStage(stage);
    };
    tray_ = std::make_unique<TrayIcon>();
    tray_->onClick = [this] { OnTrayIconClick(); };
    hotKeys_ = std::make_unique<HotKeyGrabs>();
    hotKeys_->onPressed = [this](std::uint32_t) {
        TraceFlowPoint("pressed");
        RequestTranslation();
    };
    RunGuarded(Window(), [this] { OnCreate(); });
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

    GtkWidget* grid = gtk_grid_new();
    gtk_grid_set_column_spacing(GTK_GRID(grid), 12);
    gtk_grid_set_row_spacing(GTK_GRID(grid), 8);
    gtk_container_set_border_width(GTK_CONTAINER(grid), 8);
    gtk_container_add(GTK_CONTAINER(window_), grid);
    gtk_grid_attach(GTK_GRID(grid), CreateHotKeyPanel(), 0, 0, 1, 1);

    GtkWidget* right = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);
    gtk_box_pack_start(GTK_BOX(right), CreateLanguageGroup(), FALSE, FALSE, 0);
    transparencyGroup_ = gtk_frame_new("Transparency");
    transparencySlider_ =
        gtk_scale_new_with_range(GTK_ORIENTATION_HORIZONTAL, kSliderMin, kSliderMax, 1);
    gtk_scale_set_draw_value(GTK_SCALE(transparencySlider_), FALSE);
    for (int mark = kSliderMin; mark <= kSliderMax; ++mark)
        gtk_scale_add_mark(GTK_SCALE(transparencySlider_), mark, GTK_POS_BOTTOM, nullptr);
    gtk_range_set_value(GTK_RANGE(transparencySlider_), kSliderMax);
    gtk_widget_set_margin_start(transparencySlider_, 6);
    gtk_widget_set_margin_end(transparencySlider_, 6);
    gtk_container_add(GTK_CONTAINER(transparencyGroup_), transparencySlider_);
    g_signal_connect_swapped(transparencySlider_, "value-changed",
                             G_CALLBACK(+[](MainWindow* self) { self->OnTransparencyChange(); }),
                             this);
    gtk_box_pack_start(GTK_BOX(right), transparencyGroup_, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(right), CreateOptionsPanel(), FALSE, FALSE, 0);
    gtk_grid_attach(GTK_GRID(grid), right, 1, 0, 1, 1);

    // The two lines of help and the copyright on the left, the three buttons on the right.
    bottomArea_ = gtk_grid_new();
    gtk_grid_set_column_spacing(GTK_GRID(bottomArea_), 8);
    GtkWidget* labels = gtk_box_new(GTK_ORIENTATION_VERTICAL, 2);
    for (const char* text : {"Select text from anywhere on screen, ",
                             "Press the HotKey to translate your selected text."}) {
        GtkWidget* label = gtk_label_new(text);
        gtk_label_set_xalign(GTK_LABEL(label), 0);
        gtk_box_pack_start(GTK_BOX(labels), label, FALSE, FALSE, 0);
    }
    copyrightLabel_ = gtk_label_new("");
    gtk_label_set_xalign(GTK_LABEL(copyrightLabel_), 0);
    gtk_box_pack_start(GTK_BOX(labels), copyrightLabel_, FALSE, FALSE, 4);
    gtk_widget_set_hexpand(labels, TRUE);
    gtk_grid_attach(GTK_GRID(bottomArea_), labels, 0, 0, 1, 1);
    GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
    gtk_widget_set_valign(buttons, GTK_ALIGN_END);
    GtkWidget* about = gtk_button_new_with_mnemonic("_About");
    GtkWidget* minimize = gtk_button_new_with_mnemonic("_Minimize");
    GtkWidget* exit = gtk_button_new_with_mnemonic("E_xit");
    for (GtkWidget* button : {about, minimize, exit})
        gtk_box_pack_start(GTK_BOX(buttons), button, FALSE, FALSE, 0);
    g_signal_connect_swapped(about, "clicked", G_CALLBACK(+[](MainWindow* self) {
                                 RunGuarded(self->Window(), [self] { self->OnAbout(); });
                             }),
                             this);
    g_signal_connect_swapped(minimize, "clicked",
                             G_CALLBACK(+[](MainWindow* self) { self->OnMinimize(); }), this);
    g_signal_connect_swapped(exit, "clicked",
                             G_CALLBACK(+[](MainWindow* self) { self->OnClose(); }), this);
    gtk_grid_attach(GTK_GRID(bottomArea_), buttons, 1, 0, 1, 1);
    gtk_grid_attach(GTK_GRID(grid), bottomArea_, 0, 1, 2, 1);
    gtk_widget_show_all(grid);
}

void MainWindow::Show() {
    gtk_widget_show(window_);
    gtk_widget_grab_focus(hotKeyEntry_);
}

void MainWindow::Present() {
    if (tray_->Visible())
        OnTrayIconClick();
    else
        gtk_window_present(Window());
}

void MainWindow::OnCreate() {
    gtk_label_set_text(GTK_LABEL(copyrightLabel_), CopyrightNotice().c_str());
    // The default hotkey is grabbed at every start, as the first line of the list.
    if (const std::uint32_t hotKey = codec_.FromText(kDefaultHotKeyText, true)) {
        AddHotKeyToList(hotKey);
    } else {
        ShowWarningBox(Window(), "Hotkeyerror!");
    }
    MainWindowSettings view(*this);
    LoadSettings(settings_, codec_, view);
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
        gtk_main_quit();
    }
    return saved;
}

Settings MainWindow::CurrentSettings() {
    return MainWindowSettings(*this).Current();
}

void MainWindow::RequestTranslation() {
    g_idle_add(RunTranslation, this);
}

// Every hotkey starts the same translation. The flow turns the main loop while it waits
// (for the selection's owner, for the hint to be drawn), so a press may arrive meanwhile:
// it runs once this one has ended.
void MainWindow::OnTranslateHotKey() {
    if (flowRunning_) {
        flowPending_ = true;
        return;
    }
    flowRunning_ = true;
    RunGuarded(Window(), [this] { flow_->Flow().Run(CurrentSettings()); });
    flowRunning_ = false;
    if (flowPending_) {
        flowPending_ = false;
        RequestTranslation();
    }
}

} // namespace tervane
