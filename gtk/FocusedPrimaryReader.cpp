#include "gtk/FocusedPrimaryReader.h"

#include <memory>
#include <utility>

namespace tervane {

namespace {

struct FocusedRead {
    GdkDisplay* display = nullptr;
    GtkWidget* window = nullptr; // nullptr once destroyed
    PrimaryText answer;
    bool asked = false;
};

void CloseWindow(FocusedRead& read) {
    if (GtkWidget* window = std::exchange(read.window, nullptr))
        gtk_widget_destroy(window);
}

// The compositor announces the selection to a client as its surface gets the keyboard
// focus; GTK then has it to read.
gboolean OnFocusIn(GtkWidget*, GdkEvent*, gpointer data) {
    auto read = *static_cast<std::shared_ptr<FocusedRead>*>(data);
    if (!read->asked) {
        read->asked = true;
        RequestGtkPrimary(read->display, read->answer);
    }
    return FALSE;
}

} // namespace

void FocusedPrimaryReader::Read(PrimaryText done) {
    auto read = std::make_shared<FocusedRead>();
    read->display = display_;
    read->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    // The first of the answer and the deadline (no focus given in time) closes the window.
    read->answer = AnswerOnceWithin(
        kSelectionWaitMs, [read, done = std::move(done)](std::optional<std::string> text) {
            CloseWindow(*read);
            done(std::move(text));
        });
    GtkWindow* window = GTK_WINDOW(read->window);
    gtk_window_set_title(window, "Tervane");
    gtk_window_set_decorated(window, FALSE);
    gtk_window_set_skip_taskbar_hint(window, TRUE);
    // Small and of a fixed size (tiling compositors float it), and transparent: a surface
    // is mapped, and so focused, only once it has drawn.
    gtk_window_set_default_size(window, 1, 1);
    gtk_window_set_resizable(window, FALSE);
    if (GdkVisual* rgba = gdk_screen_get_rgba_visual(gtk_widget_get_screen(read->window)))
        gtk_widget_set_visual(read->window, rgba);
    gtk_widget_set_app_paintable(read->window, TRUE);
    g_signal_connect(read->window, "draw", G_CALLBACK(+[](GtkWidget*, cairo_t* cr) -> gboolean {
                         cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
                         cairo_paint(cr);
                         return TRUE;
                     }),
                     nullptr);
    g_signal_connect_data(
        read->window, "focus-in-event", G_CALLBACK(OnFocusIn), new std::shared_ptr(read),
        [](gpointer data, GClosure*) { delete static_cast<std::shared_ptr<FocusedRead>*>(data); },
        GConnectFlags{});
    g_signal_connect_swapped(read->window, "destroy",
                             G_CALLBACK(+[](FocusedRead* ended) { ended->window = nullptr; }),
                             read.get());
    gtk_window_present(window);
}

} // namespace tervane
