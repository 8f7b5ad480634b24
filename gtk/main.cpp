// tervane, the Linux desktop program: one running program per user (a GtkApplication), the
// local translation service started when none answers and kept running, the main window
// over the portable core.
//
//   tervane                          start, or bring the running program's window to the front
//   tervane --translate-selection    have the running program translate the selection (for a
//                                    desktop shortcut where applications get no key grab);
//                                    starts the program first when none runs
//   tervane --replace-selection      the same, the translation put in place of the selection
//   --test-service-url URL           for tests only: the service's address instead of the
//                                    built-in one (the service started there when none answers)
#include "base/AppIdentity.h"
#include "gtk/FlowTrace.h"
#include "gtk/IniRegistry.h"
#include "gtk/KeyNames.h"
#include "gtk/MainWindow.h"
#include "gtk/MessageBoxes.h"
#include "gtk/ServiceLauncher.h"
#include "translate/ServiceExchange.h"

#include <glib-unix.h>
#include <gtk/gtk.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace tervane {

namespace {

// What a later start hands to the running program: each option names one of the
// application's actions ("app.translate-selection").
struct ForwardedOption {
    const char* option;
    const char* action;
};
constexpr ForwardedOption kForwardedOptions[] = {
    {"--translate-selection", "translate-selection"},
    {"--replace-selection", "replace-selection"},
};

// The desktop bus name the program holds while it runs, from the names it shows of itself.
std::string ApplicationId() {
    std::string publisher = kPublisher;
    for (char& c : publisher)
        c = g_ascii_tolower(c);
    return "com." + publisher + "." + kApplicationTitle;
}

std::string SettingsPath() {
    return std::string(g_get_user_config_dir()) + "/tervane/settings.ini";
}

// The running program: its window and what the window stands on.
class Program {
  public:
    explicit Program(GtkApplication* application) : application_(application) {}
    ~Program() {
        window_.reset();
        service_.reset(); // ends the service it started
    }

    bool Started() const { return window_ != nullptr; }
    MainWindow* Window() const { return window_.get(); }

    void Start(const std::string& serviceAddress) {
        service_ = std::make_unique<ServiceLauncher>(serviceAddress);
        // Without the service the window still opens; each translation then reports why.
        RunGuarded(nullptr, [&] { service_->EnsureRunning(); });
        settings_ = std::make_unique<IniRegistry>(SettingsPath());
        window_ = std::make_unique<MainWindow>(codec_, *settings_, serviceAddress);
        window_->onFlowStage = TraceFlowStage;
        window_->serviceAccount = [this] { return service_->Account(); };
        window_->Create();
        gtk_window_set_application(window_->Window(), application_);
        window_->Show();
    }

    // Logging out ends the program with SIGTERM (or SIGHUP with its terminal): it closes
    // the way Exit does, the settings saved.
    void Close() {
        if (!window_ || !window_->OnClose())
            g_application_quit(G_APPLICATION(application_));
    }

  private:
    GtkApplication* application_;
    DesktopKeyboardLayout layout_;
    HotKeyCodec codec_{layout_};
    std::unique_ptr<ServiceLauncher> service_;
    std::unique_ptr<IniRegistry> settings_;
    std::unique_ptr<MainWindow> window_;
};

// This start's command line, or a later start's handed over by the bus: the first starts
// the program, each option then becomes its action, a start without one shows the window.
int OnCommandLine(GApplication* application, GApplicationCommandLine* commandLine, gpointer data) {
    auto* program = static_cast<Program*>(data);
    int argc = 0;
    gchar** argv = g_application_command_line_get_arguments(commandLine, &argc);
    std::string serviceAddress = ServiceAddress();
    std::vector<const char*> actions;
    bool valid = true;
    for (int i = 1; i < argc && valid; ++i) {
        if (std::strcmp(argv[i], "--test-service-url") == 0 && i + 1 < argc) {
            serviceAddress = argv[++i];
            continue;
        }
        valid = false;
        for (const ForwardedOption& forwarded : kForwardedOptions)
            if (std::strcmp(argv[i], forwarded.option) == 0) {
                actions.push_back(forwarded.action);
                valid = true;
            }
    }
    g_strfreev(argv);
    if (!valid) {
        g_application_command_line_printerr(
            commandLine, "usage: tervane [--translate-selection | --replace-selection]\n");
        return 2;
    }
    if (!program->Started()) {
        try {
            program->Start(serviceAddress);
        } catch (const std::exception& error) {
            ShowErrorReport(nullptr, error.what());
            return 1;
        }
    } else if (actions.empty()) {
        program->Window()->Present();
    }
    for (const char* action : actions)
        g_action_group_activate_action(G_ACTION_GROUP(application), action, nullptr);
    return 0;
}

void OnTranslateSelection(GSimpleAction*, GVariant*, gpointer data) {
    if (MainWindow* window = static_cast<Program*>(data)->Window())
        window->RequestTranslation();
}

void OnReplaceSelection(GSimpleAction*, GVariant*, gpointer data) {
    if (MainWindow* window = static_cast<Program*>(data)->Window())
        window->RequestTranslation(HotKeyAction::Replace);
}

gboolean OnEndSignal(gpointer data) {
    static_cast<Program*>(data)->Close();
    return G_SOURCE_CONTINUE;
}

} // namespace

} // namespace tervane

using namespace tervane;

int main(int argc, char** argv) {
    g_set_prgname("tervane");
    // A native Wayland client in a Wayland session, an X client elsewhere: each display
    // server has its own way for the hotkeys, the selection and the balloon.
    gdk_set_allowed_backends("wayland,x11");
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "tervane: cannot open the display (neither Wayland nor X11)\n");
        return 1;
    }
    g_set_application_name(kApplicationTitle);

    GtkApplication* application =
        gtk_application_new(ApplicationId().c_str(), G_APPLICATION_HANDLES_COMMAND_LINE);
    // The session manager asks before a logout (query-end), so the settings are saved.
    g_object_set(application, "register-session", TRUE, nullptr);
    int status = 0;
    {
        Program program(application);
        const GActionEntry actions[] = {
            {"translate-selection", OnTranslateSelection, nullptr, nullptr, nullptr, {}},
            {"replace-selection", OnReplaceSelection, nullptr, nullptr, nullptr, {}},
        };
        g_action_map_add_action_entries(G_ACTION_MAP(application), actions, G_N_ELEMENTS(actions),
                                        &program);
        g_signal_connect(application, "command-line", G_CALLBACK(OnCommandLine), &program);
        g_signal_connect_swapped(application, "query-end",
                                 G_CALLBACK(+[](Program* self) { self->Close(); }), &program);
        std::vector<guint> signals;
        for (const int number : {SIGTERM, SIGINT, SIGHUP})
            signals.push_back(g_unix_signal_add(number, OnEndSignal, &program));
        status = g_application_run(G_APPLICATION(application), argc, argv);
        for (const guint source : signals)
            g_source_remove(source);
    }
    g_object_unref(application);
    return status;
}
