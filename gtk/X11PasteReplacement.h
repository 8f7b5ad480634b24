#pragma once
// The CLIPBOARD lent to one paste on X11, to put a translation in place of the selection in
// the application in front: what the user had on the clipboard is read first (every target
// its owner offers), the translation is offered in its place, Ctrl+V is sent with XTest once
// the hotkey's modifiers have been let go for kKeysSettledMs (within a second), and the
// user's contents are owned
// again by this program, target for target, as soon as the application has taken the text
// or after the bounded wait (PasteOver, translate/ReplaceWays). The main loop runs
// meanwhile: every step is a callback.
#include <functional>
#include <memory>
#include <string>

namespace tervane {

class X11PasteReplacement {
  public:
    // Starts at once; `done` comes on the main loop once the user's clipboard is back, with
    // whether the application took the text. Throws std::runtime_error when the X server has
    // no XTest extension.
    X11PasteReplacement(std::string text, std::function<void(bool taken)> done);
    // A replacement still underway is ended: the user's contents are put back if they were
    // read, and `done` never comes.
    ~X11PasteReplacement();
    X11PasteReplacement(const X11PasteReplacement&) = delete;
    X11PasteReplacement& operator=(const X11PasteReplacement&) = delete;

  private:
    struct State;
    std::shared_ptr<State> state_;
};

} // namespace tervane
