// tervane, the Linux desktop program: one running program per user, the local translation
// service started when none answers, the main window over the portable core.
//
//   tervane                          start, or bring the running program's window to the front
//   tervane --translate-selection    ask the running program to translate the selection (for
//                                    a desktop shortcut where applications get no key grab)
//   --test-service-url URL           for tests only: the service's address instead of the
//                                    built-in one (the service started there when none answers)
#include "base/AppIdentity.h"
#include "gtk/FlowTrace.h"
#include "gtk/IniRegistry.h"
#include "gtk/KeyNames.h"
#include "gtk/MainWindow.h"
#include "gtk/MessageBoxes.h"
#include "gtk/ServiceLauncher.h"
#include "gtk/SingleInstance.h"
#include "translate/ServiceExchange.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace tervane {

namespace {

struct Arguments {
    bool translateSelection = false;
    std::string serviceAddress = ServiceAddress();
};

bool ParseArguments(int argc, char** argv, Arguments& arguments) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--translate-selection") == 0) {
            arguments.translateSelection = true;
        } else if (std::strcmp(argv[i], "--test-service-url") == 0 && i + 1 < argc) {
            arguments.serviceAddress = argv[++i];
        } else {
            std::fprintf(stderr, "usage: tervane [--translate-selection]\n");
            return false;
        }
    }
    return true;
}

std::string SettingsPath() {
    return std::string(g_get_user_config_dir()) + "/tervane/settings.ini";
}

} // namespace

} // namespace tervane

using namespace tervane;

int main(int argc, char** argv) {
    Arguments arguments;
    if (!ParseArguments(argc, argv, arguments))
        return 2;
    g_set_prgname("tervane");
    // The hotkeys are X key grabs and the selection is X's PRIMARY: in a Wayland session
    // the program runs on XWayland (and --translate-selection stands in for the grab).
    gdk_set_allowed_backends("x11");
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "tervane: cannot open the X display\n");
        return 1;
    }
    g_set_application_name(kApplicationTitle);

    SingleInstance instance;
    if (instance.Forward(arguments.translateSelection ? kRequestTranslate : kRequestShow))
        return 0;
    if (arguments.translateSelection) {
        std::fprintf(stderr, "tervane: Tervane is not running\n");
        return 1;
    }

    int status = 0;
    try {
        instance.Listen();
        ServiceLauncher service(arguments.serviceAddress);
        // Without the service the window still opens; each translation then reports why.
        RunGuarded(nullptr, [&] { service.EnsureRunning(); });

        DesktopKeyboardLayout layout;
        HotKeyCodec codec(layout);
        IniRegistry settings(SettingsPath());
        MainWindow window(codec, settings, arguments.serviceAddress);
        window.onFlowStage = TraceFlowStage;
        window.Create();
        instance.onRequest = [&window](const std::string& request) {
            if (request == kRequestTranslate)
                window.RequestTranslation();
            else
                window.Present();
        };
        window.Show();
        gtk_main();
        instance.onRequest = nullptr;
    } catch (const std::exception& error) {
        ShowErrorReport(nullptr, error.what());
        status = 1;
    }
    return status;
}
