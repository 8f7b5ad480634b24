#include "gtk/PrimaryReader.h"

#include "gtk/FocusedPrimaryReader.h"
#include "gtk/WaylandDataControl.h"

#include <gdk/gdkwayland.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <cstring>

namespace tervane {

namespace {

struct Pending {
    PrimaryText done;
    guint timer = 0;
};

void Finish(const std::shared_ptr<Pending>& pending, std::optional<std::string> text) {
    if (!pending->done)
        return;
    if (pending->timer)
        g_source_remove(pending->timer);
    pending->timer = 0;
    PrimaryText done = std::move(pending->done);
    pending->done = nullptr;
    done(std::move(text));
}

class X11PrimaryReader final : public PrimaryReader {
  public:
    explicit X11PrimaryReader(GdkDisplay* display) : display_(display) {}
    void Read(PrimaryText done) override { RequestGtkPrimary(display_, std::move(done)); }
    const char* Way() const override { return "x11"; }

  private:
    GdkDisplay* display_;
};

} // namespace

PrimaryText AnswerOnceWithin(guint waitMs, PrimaryText done) {
    auto pending = std::make_shared<Pending>();
    pending->done = std::move(done);
    pending->timer = g_timeout_add_full(
        G_PRIORITY_DEFAULT, waitMs,
        [](gpointer data) -> gboolean {
            auto& held = *static_cast<std::shared_ptr<Pending>*>(data);
            held->timer = 0;
            Finish(held, std::nullopt);
            return G_SOURCE_REMOVE;
        },
        new std::shared_ptr<Pending>(pending),
        [](gpointer data) { delete static_cast<std::shared_ptr<Pending>*>(data); });
    return [pending](std::optional<std::string> text) { Finish(pending, std::move(text)); };
}

void RequestGtkPrimary(GdkDisplay* display, PrimaryText done) {
    // GTK keeps the request's data until the owner answers, which may be after the wait
    // has given up: the callback holds the answer function, which then does nothing.
    auto* answer = new PrimaryText(AnswerOnceWithin(kSelectionWaitMs, std::move(done)));
    gtk_clipboard_request_text(
        gtk_clipboard_get_for_display(display, GDK_SELECTION_PRIMARY),
        [](GtkClipboard*, const gchar* text, gpointer data) {
            auto* give = static_cast<PrimaryText*>(data);
            (*give)(text ? std::optional<std::string>(text) : std::nullopt);
            delete give;
        },
        answer);
}

std::unique_ptr<PrimaryReader> MakePrimaryReader(GdkDisplay* display) {
    if (!GDK_IS_WAYLAND_DISPLAY(display))
        return std::make_unique<X11PrimaryReader>(display);
    const char* forced = std::getenv("TERVANE_WAYLAND_SELECTION");
    if (!forced || std::strcmp(forced, "focused-surface") != 0) {
        if (auto dataControl = DataControlSelections::Connect())
            return dataControl;
    }
    return std::make_unique<FocusedPrimaryReader>(display);
}

} // namespace tervane
