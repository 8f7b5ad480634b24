#pragma once
// The clipboard lent to one paste in a Wayland session, as on X11 (X11PasteReplacement) but
// through the compositor's protocols: every type of the user's clipboard is read first (wlr
// data-control), the translation is offered as text in its place, Ctrl+V goes out through
// the compositor's virtual keyboard, and the user's contents are owned again by this
// program, type for type, as soon as the application has taken the text or after the
// bounded wait (PasteOver, translate/ReplaceWays). Every step is a main-loop callback.
#include <functional>
#include <memory>
#include <string>

namespace tervane {

class DataControlSelections;

class WaylandPasteReplacement {
  public:
    // Starts at once; `done` comes on the main loop once the user's clipboard is back, with
    // whether the application took the text. `seat` outlives this. Throws
    // std::runtime_error when the compositor offers no virtual keyboard or its keymap
    // cannot be made.
    WaylandPasteReplacement(DataControlSelections& seat, std::string text,
                            std::function<void(bool taken)> done);
    // A replacement still underway is ended: the user's contents are put back if they were
    // read, and `done` never comes.
    ~WaylandPasteReplacement();
    WaylandPasteReplacement(const WaylandPasteReplacement&) = delete;
    WaylandPasteReplacement& operator=(const WaylandPasteReplacement&) = delete;

  private:
    struct State;
    std::shared_ptr<State> state_;
};

} // namespace tervane
