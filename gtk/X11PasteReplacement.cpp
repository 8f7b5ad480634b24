#include "gtk/X11PasteReplacement.h"

#include "translate/ReplaceWays.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace tervane {

namespace {

constexpr guint kPollMs = 10;
constexpr gint64 kKeysReleaseBoundUs = G_USEC_PER_SEC;

// Targets that describe or act on a selection rather than hold its data.
bool HoldsData(const std::string& target) {
    for (const char* meta : {"TARGETS", "MULTIPLE", "TIMESTAMP", "SAVE_TARGETS", "DELETE",
                             "INSERT_SELECTION", "INSERT_PROPERTY"})
        if (target == meta)
            return false;
    return true;
}

struct SavedTarget {
    std::string name;
    GdkAtom type = GDK_NONE;
    int format = 8;
    std::vector<guchar> data;
};

} // namespace

struct X11PasteReplacement::State : std::enable_shared_from_this<State> {
    std::string text;
    std::function<void(bool taken)> done;
    GtkClipboard* clipboard = nullptr;
    Display* display = nullptr;
    std::vector<SavedTarget> saved;
    int reading = 0;
    bool ended = false; // the owner went, or the paste is over
    bool lent = false;  // the clipboard holds the translation
    bool taken = false;
    gint64 startedAt = 0, letGoAt = 0, sentAt = 0;
    guint poll = 0;

    // Each callback holds the state alive until it runs.
    gpointer Hold() { return new std::shared_ptr<State>(shared_from_this()); }
    static std::shared_ptr<State> Release(gpointer held) {
        auto* holder = static_cast<std::shared_ptr<State>*>(held);
        std::shared_ptr<State> state = *holder;
        delete holder;
        return state;
    }

    void Start() {
        gtk_clipboard_request_targets(
            clipboard,
            [](GtkClipboard*, GdkAtom* atoms, gint count, gpointer held) {
                Release(held)->OnTargets(atoms, count);
            },
            Hold());
    }

    void OnTargets(GdkAtom* atoms, gint count) {
        if (ended)
            return;
        for (gint i = 0; i < count; ++i) {
            gchar* name = gdk_atom_name(atoms[i]);
            const std::string target = name ? name : "";
            g_free(name);
            if (!HoldsData(target))
                continue;
            ++reading;
            gtk_clipboard_request_contents(
                clipboard, atoms[i],
                [](GtkClipboard*, GtkSelectionData* data, gpointer held) {
                    Release(held)->OnContents(data);
                },
                Hold());
        }
        if (reading == 0)
            Lend();
    }

    void OnContents(GtkSelectionData* data) {
        if (ended)
            return;
        const gint length = gtk_selection_data_get_length(data);
        if (length >= 0) {
            gchar* name = gdk_atom_name(gtk_selection_data_get_target(data));
            const guchar* bytes = gtk_selection_data_get_data(data);
            saved.push_back({name ? name : "", gtk_selection_data_get_data_type(data),
                             gtk_selection_data_get_format(data),
                             std::vector<guchar>(bytes, bytes + length)});
            g_free(name);
        }
        if (--reading == 0)
            Lend();
    }

    // Offers the translation as text, and waits for the hotkey's keys to be let go.
    void Lend() {
        GtkTargetList* list = gtk_target_list_new(nullptr, 0);
        gtk_target_list_add_text_targets(list, 0);
        gint count = 0;
        GtkTargetEntry* targets = gtk_target_table_new_from_list(list, &count);
        lent = gtk_clipboard_set_with_data(
            clipboard, targets, static_cast<guint>(count),
            [](GtkClipboard*, GtkSelectionData* data, guint, gpointer self) {
                auto* state = static_cast<State*>(self);
                gtk_selection_data_set_text(data, state->text.c_str(), -1);
                state->taken = true;
            },
            [](GtkClipboard*, gpointer) {}, this);
        gtk_target_table_free(targets, count);
        gtk_target_list_unref(list);
        if (!lent) { // no keystroke: it would paste what the user had
            g_message("replace: the clipboard could not be had");
            Finish();
            return;
        }
        startedAt = g_get_monotonic_time();
        poll = g_timeout_add_full(
            G_PRIORITY_DEFAULT, kPollMs,
            [](gpointer held) -> gboolean {
                return (*static_cast<std::shared_ptr<State>*>(held))->Step();
            },
            Hold(), [](gpointer held) { Release(held); });
    }

    bool ModifiersHeld() const {
        char keys[32] = {};
        XQueryKeymap(display, keys);
        for (const KeySym sym : {XK_Control_L, XK_Control_R, XK_Shift_L, XK_Shift_R, XK_Alt_L,
                                 XK_Alt_R, XK_Super_L, XK_Super_R, XK_Meta_L, XK_Meta_R}) {
            const KeyCode code = XKeysymToKeycode(display, sym);
            if (code && (keys[code / 8] & (1 << (code % 8))))
                return true;
        }
        return false;
    }

    void SendPaste() {
        const KeyCode control = XKeysymToKeycode(display, XK_Control_L);
        const KeyCode v = XKeysymToKeycode(display, XK_v);
        XTestFakeKeyEvent(display, control, True, CurrentTime);
        XTestFakeKeyEvent(display, v, True, CurrentTime);
        XTestFakeKeyEvent(display, v, False, CurrentTime);
        XTestFakeKeyEvent(display, control, False, CurrentTime);
        XFlush(display);
        sentAt = g_get_monotonic_time();
    }

    // One tick of the wait: the keys let go (then the keystroke), the paste taken or out of
    // time (then the user's contents back and `done`).
    gboolean Step() {
        if (ended)
            return G_SOURCE_REMOVE;
        const gint64 now = g_get_monotonic_time();
        if (!sentAt) {
            if (ModifiersHeld()) {
                letGoAt = 0;
                if (now - startedAt < kKeysReleaseBoundUs)
                    return G_SOURCE_CONTINUE;
                g_message("replace: keystroke not sent, the hotkey's keys are held");
                Finish();
                return G_SOURCE_REMOVE;
            }
            if (!letGoAt)
                letGoAt = now;
            if (now - letGoAt < static_cast<gint64>(kKeysSettledMs) * 1000)
                return G_SOURCE_CONTINUE;
            SendPaste();
            return G_SOURCE_CONTINUE;
        }
        if (!PasteOver(taken, static_cast<std::uint64_t>((now - sentAt) / 1000)))
            return G_SOURCE_CONTINUE;
        Finish();
        return G_SOURCE_REMOVE;
    }

    void Finish() {
        poll = 0;
        PutBack();
        if (auto call = std::move(done))
            call(taken);
    }

    // The user's contents, owned by this program now, each target as it was read; nothing
    // when nothing was on the clipboard.
    void PutBack() {
        ended = true;
        if (!lent)
            return;
        lent = false;
        if (saved.empty()) {
            gtk_clipboard_clear(clipboard);
            return;
        }
        std::vector<GtkTargetEntry> targets;
        for (std::size_t i = 0; i < saved.size(); ++i)
            targets.push_back({saved[i].name.data(), 0, static_cast<guint>(i)});
        // The copies live as long as this program owns the clipboard with them.
        auto* kept = new std::vector<SavedTarget>(std::move(saved));
        gtk_clipboard_set_with_data(
            clipboard, targets.data(), static_cast<guint>(targets.size()),
            [](GtkClipboard*, GtkSelectionData* data, guint index, gpointer contents) {
                const SavedTarget& target =
                    (*static_cast<std::vector<SavedTarget>*>(contents))[index];
                gtk_selection_data_set(data, target.type, target.format, target.data.data(),
                                       static_cast<gint>(target.data.size()));
            },
            [](GtkClipboard*, gpointer contents) {
                delete static_cast<std::vector<SavedTarget>*>(contents);
            },
            kept);
    }
};

X11PasteReplacement::X11PasteReplacement(std::string text, std::function<void(bool taken)> done)
    : state_(std::make_shared<State>()) {
    GdkDisplay* display = gdk_display_get_default();
    state_->display = GDK_DISPLAY_XDISPLAY(display);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(state_->display, &event, &error, &major, &minor))
        throw std::runtime_error("Cannot send the paste keystroke: the X server has no XTest "
                                 "extension");
    state_->text = std::move(text);
    state_->done = std::move(done);
    state_->clipboard = gtk_clipboard_get_for_display(display, GDK_SELECTION_CLIPBOARD);
    state_->Start();
}

X11PasteReplacement::~X11PasteReplacement() {
    if (state_->poll)
        g_source_remove(state_->poll);
    state_->done = nullptr;
    state_->PutBack();
}

} // namespace tervane
