#pragma once
// The groups "Add a HotKey" and "HotKey in Use": the key-entry field, the list of the
// hotkeys in use and their buttons, a view over the portable HotKeyListController (which
// holds the rules: a typing key refused, a hotkey held already refused, ...) with the
// session's global hotkeys as its registrar and the message boxes as its messages.
#include "app/HotKeyListController.h"
#include "gtk/DesktopShortcutBox.h"
#include "gtk/GlobalHotKeys.h"
#include "hotkeys/HotKeyCodec.h"

#include <gtk/gtk.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tervane {

class HotKeyPanel {
  public:
    // All three must outlive the panel; `window` owns its message boxes.
    HotKeyPanel(const HotKeyCodec& codec, GlobalHotKeys& hotKeys, GtkWindow* window);
    ~HotKeyPanel();
    HotKeyPanel(const HotKeyPanel&) = delete;
    HotKeyPanel& operator=(const HotKeyPanel&) = delete;

    // The column of both groups, to be placed in the window.
    GtkWidget* Widget() const { return column_; }
    GtkWidget* Entry() const { return entry_; }
    GtkTreeModel* LineModel() const { return GTK_TREE_MODEL(lines_); }
    void Show(bool show) const;

    HotKeyListController& Controller() { return *controller_; }
    void OnAddHotKey();
    void OnRemoveHotKey();
    void OnClearHotKeys();
    bool OnHotKeyEntryKey(GdkEventKey* event);
    // The action picker's choice for the selected line.
    void OnActionChosen();
    // The list's lines, as the user reads them.
    std::vector<std::string> Lines() const;

  private:
    class Registrar;
    class Messages;
    // Shows the controller's lines and entry.
    void Refresh();
    // The selected line, -1 for none.
    int SelectedLine() const;
    // The action picker shows the selected line's action (none without a selection).
    void ShowSelectedAction();

    const HotKeyCodec& codec_;
    GlobalHotKeys& hotKeys_;
    GtkWindow* window_;
    GtkWidget* column_ = nullptr;
    GtkWidget* hotKeyGroup_ = nullptr;
    GtkWidget* hotKeysInUseGroup_ = nullptr;
    GtkWidget* entry_ = nullptr;
    GtkWidget* list_ = nullptr;
    GtkListStore* lines_ = nullptr;
    GtkWidget* action_ = nullptr; // in HotKeyAction's order
    bool showingAction_ = false;  // the picker is set by the panel, not the user
    std::unique_ptr<Registrar> registrar_;
    std::unique_ptr<Messages> messages_;
    std::unique_ptr<HotKeyListController> controller_;
    // Where the desktop must run the shortcut itself: how to add it.
    std::unique_ptr<DesktopShortcutBox> desktopShortcut_;
};

} // namespace tervane
