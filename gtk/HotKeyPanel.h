#pragma once
// The groups "Add a HotKey" and "HotKey in Use": the key-entry field, the list of the
// hotkeys in use and their buttons. Every line of the list is one hotkey the grabs hold,
// and keeps its hotkey value beside its text.
#include "gtk/HotKeyGrabs.h"
#include "hotkeys/HotKeyCodec.h"

#include <gtk/gtk.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tervane {

class HotKeyPanel {
  public:
    // All three must outlive the panel; `window` owns its message boxes.
    HotKeyPanel(const HotKeyCodec& codec, HotKeyGrabs& hotKeys, GtkWindow* window);
    ~HotKeyPanel();
    HotKeyPanel(const HotKeyPanel&) = delete;
    HotKeyPanel& operator=(const HotKeyPanel&) = delete;

    // The column of both groups, to be placed in the window.
    GtkWidget* Widget() const { return column_; }
    GtkWidget* Entry() const { return entry_; }
    GtkTreeModel* LineModel() const { return GTK_TREE_MODEL(lines_); }
    void Show(bool show) const;

    // Grabs the hotkey and lists it; a warning box when the desktop refuses it.
    void AddHotKeyToList(std::uint32_t hotKey);
    void OnAddHotKey();
    void OnRemoveHotKey();
    void OnClearHotKeys();
    bool OnHotKeyEntryKey(GdkEventKey* event);
    // The list's lines, as the user reads them.
    std::vector<std::string> Lines() const;

  private:
    void SetEntry(std::uint32_t hotKey);

    const HotKeyCodec& codec_;
    HotKeyGrabs& hotKeys_;
    GtkWindow* window_;
    GtkWidget* column_ = nullptr;
    GtkWidget* hotKeyGroup_ = nullptr;
    GtkWidget* hotKeysInUseGroup_ = nullptr;
    GtkWidget* entry_ = nullptr;
    GtkWidget* list_ = nullptr;
    GtkListStore* lines_ = nullptr;
    // The value the key-entry field holds; 0 when empty.
    std::uint32_t entryHotKey_ = 0;
};

} // namespace tervane
