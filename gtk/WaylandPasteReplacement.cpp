#include "gtk/WaylandPasteReplacement.h"

#include "gtk/WaylandDataControl.h"
#include "gtk/WaylandVirtualKeyboard.h"
#include "translate/ReplaceWays.h"

#include <glib.h>

#include <cstdint>
#include <optional>
#include <stdexcept>

namespace tervane {

namespace {

constexpr guint kPollMs = 10;

} // namespace

struct WaylandPasteReplacement::State {
    DataControlSelections* seat = nullptr;
    WaylandVirtualKeyboard* keyboard = nullptr;
    std::string text;
    std::function<void(bool)> done;
    SelectionContents saved;
    bool ended = false; // the replacement went, or the paste is over
    bool lent = false;  // the clipboard holds the translation
    bool taken = false; // the text was all written to the application
    gint64 sentAt = 0, writtenAt = 0;
    guint poll = 0;

    // The user's clipboard read: the translation in its place, and the keystroke.
    void Lend(SelectionContents contents, const std::shared_ptr<State>& self) {
        if (ended)
            return;
        saved = std::move(contents);
        std::weak_ptr<State> weak = self;
        lent = seat->OwnClipboard(AsText(text), [weak](const std::string&) {
            auto state = weak.lock();
            if (state && !state->taken) {
                state->taken = true;
                state->writtenAt = g_get_monotonic_time();
            }
        });
        if (!lent) { // no keystroke: it would paste what the user had
            g_message("replace: the clipboard could not be had");
            Finish();
            return;
        }
        keyboard->PressPaste();
        sentAt = g_get_monotonic_time();
        poll = g_timeout_add_full(
            G_PRIORITY_DEFAULT, kPollMs,
            [](gpointer held) -> gboolean {
                return (*static_cast<std::shared_ptr<State>*>(held))->Step();
            },
            new std::shared_ptr<State>(self),
            [](gpointer held) { delete static_cast<std::shared_ptr<State>*>(held); });
    }

    gboolean Step() {
        if (ended)
            return G_SOURCE_REMOVE;
        const gint64 now = g_get_monotonic_time();
        const auto ms = [now](gint64 since) {
            return static_cast<std::uint64_t>((now - since) / 1000);
        };
        if (!PipedPasteOver(taken ? std::optional(ms(writtenAt)) : std::nullopt, ms(sentAt)))
            return G_SOURCE_CONTINUE;
        poll = 0;
        Finish();
        return G_SOURCE_REMOVE;
    }

    void Finish() {
        PutBack();
        if (auto call = std::move(done))
            call(taken);
    }

    // The user's contents, owned by this program now, each type as it was read; the
    // clipboard emptied when nothing was on it.
    void PutBack() {
        ended = true;
        if (!lent)
            return;
        lent = false;
        seat->OwnClipboard(std::move(saved));
    }
};

WaylandPasteReplacement::WaylandPasteReplacement(DataControlSelections& seat, std::string text,
                                                 std::function<void(bool taken)> done)
    : state_(std::make_shared<State>()) {
    state_->seat = &seat;
    state_->keyboard = seat.Keyboard();
    if (!state_->keyboard)
        throw std::runtime_error(WaylandReplaceUnavailable(true, false));
    state_->text = std::move(text);
    state_->done = std::move(done);
    std::weak_ptr<State> weak = state_;
    seat.ReadClipboard([weak](SelectionContents contents) {
        if (auto state = weak.lock())
            state->Lend(std::move(contents), state);
    });
}

WaylandPasteReplacement::~WaylandPasteReplacement() {
    if (state_->poll)
        g_source_remove(state_->poll);
    state_->done = nullptr;
    state_->PutBack();
}

} // namespace tervane
