// The hotkey panel of the main window: the key-entry field, the list of hotkeys in use and
// its buttons. Every line of the list keeps its hotkey value beside its text.
#include "gtk/KeyNames.h"
#include "gtk/MainWindow.h"
#include "gtk/MessageBoxes.h"

namespace tervane {

namespace {

enum Column { kTextColumn, kValueColumn };

// The key's own keysym, whatever modifiers were held (Shift+1 is the key "1").
std::string BaseKeysym(GdkEventKey* event) {
    guint keyval = event->keyval;
    GdkKeymap* keymap = gdk_keymap_get_for_display(gdk_window_get_display(event->window));
    guint base = 0;
    if (gdk_keymap_translate_keyboard_state(keymap, event->hardware_keycode,
                                            static_cast<GdkModifierType>(0), event->group, &base,
                                            nullptr, nullptr, nullptr))
        keyval = base;
    const char* name = gdk_keyval_name(gdk_keyval_to_lower(keyval));
    return name ? name : "";
}

} // namespace

GtkWidget* MainWindow::CreateHotKeyPanel() {
    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);

    hotKeyGroup_ = gtk_frame_new("Add a HotKey");
    GtkWidget* addRow = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
    gtk_container_set_border_width(GTK_CONTAINER(addRow), 6);
    hotKeyEntry_ = gtk_entry_new();
    gtk_editable_set_editable(GTK_EDITABLE(hotKeyEntry_), FALSE);
    gtk_entry_set_placeholder_text(GTK_ENTRY(hotKeyEntry_), "None");
    gtk_entry_set_width_chars(GTK_ENTRY(hotKeyEntry_), 18);
    g_signal_connect_swapped(hotKeyEntry_, "key-press-event",
                             G_CALLBACK(+[](MainWindow* self, GdkEventKey* event) -> gboolean {
                                 return self->OnHotKeyEntryKey(event);
                             }),
                             this);
    addButton_ = gtk_button_new_with_label("Add");
    g_signal_connect_swapped(addButton_, "clicked", G_CALLBACK(+[](MainWindow* self) {
                                 RunGuarded(self->Window(), [self] { self->OnAddHotKey(); });
                             }),
                             this);
    gtk_box_pack_start(GTK_BOX(addRow), hotKeyEntry_, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(addRow), addButton_, FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(hotKeyGroup_), addRow);
    gtk_box_pack_start(GTK_BOX(column), hotKeyGroup_, FALSE, FALSE, 0);

    hotKeysInUseGroup_ = gtk_frame_new("HotKey in Use");
    GtkWidget* listRow = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
    gtk_container_set_border_width(GTK_CONTAINER(listRow), 6);
    hotKeyLines_ = gtk_list_store_new(2, G_TYPE_STRING, G_TYPE_UINT);
    hotKeyList_ = gtk_tree_view_new_with_model(GTK_TREE_MODEL(hotKeyLines_));
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(hotKeyList_), FALSE);
    gtk_tree_view_append_column(
        GTK_TREE_VIEW(hotKeyList_),
        gtk_tree_view_column_new_with_attributes("HotKey", gtk_cell_renderer_text_new(), "text",
                                                 kTextColumn, nullptr));
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER,
                                   GTK_POLICY_AUTOMATIC);
    gtk_widget_set_size_request(scroller, -1, 150);
    gtk_container_add(GTK_CONTAINER(scroller), hotKeyList_);
    GtkWidget* listButtons = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    removeButton_ = gtk_button_new_with_label("Remove");
    clearButton_ = gtk_button_new_with_label("Clear all");
    g_signal_connect_swapped(removeButton_, "clicked", G_CALLBACK(+[](MainWindow* self) {
                                 RunGuarded(self->Window(), [self] { self->OnRemoveHotKey(); });
                             }),
                             this);
    g_signal_connect_swapped(clearButton_, "clicked", G_CALLBACK(+[](MainWindow* self) {
                                 RunGuarded(self->Window(), [self] { self->OnClearHotKeys(); });
                             }),
                             this);
    gtk_box_pack_start(GTK_BOX(listButtons), removeButton_, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(listButtons), clearButton_, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(listRow), scroller, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(listRow), listButtons, FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(hotKeysInUseGroup_), listRow);
    gtk_box_pack_start(GTK_BOX(column), hotKeysInUseGroup_, TRUE, TRUE, 0);
    return column;
}

// The field takes one key combination, as the Windows hotkey box does; Tab still moves
// the focus on.
bool MainWindow::OnHotKeyEntryKey(GdkEventKey* event) {
    const bool ctrl = (event->state & GDK_CONTROL_MASK) != 0;
    const bool shift = (event->state & GDK_SHIFT_MASK) != 0;
    const bool alt = (event->state & GDK_MOD1_MASK) != 0;
    if ((event->keyval == GDK_KEY_Tab || event->keyval == GDK_KEY_ISO_Left_Tab) && !ctrl && !alt)
        return false;
    if (const std::uint32_t hotKey = EntryHotKey(BaseKeysym(event), ctrl, shift, alt))
        SetHotKeyEntry(hotKey);
    return true;
}

void MainWindow::SetHotKeyEntry(std::uint32_t hotKey) {
    entryHotKey_ = hotKey;
    gtk_entry_set_text(GTK_ENTRY(hotKeyEntry_), hotKey ? codec_.ToText(hotKey, true).c_str() : "");
}

void MainWindow::AddHotKeyToList(std::uint32_t hotKey) {
    const std::string text = codec_.ToText(hotKey, true);
    if (!hotKeys_->Add(hotKey)) {
        ShowWarningBox(Window(), text + " couldn't be assigned to a hotkey.");
        return;
    }
    GtkTreeIter line;
    gtk_list_store_append(hotKeyLines_, &line);
    gtk_list_store_set(hotKeyLines_, &line, kTextColumn, text.c_str(), kValueColumn, hotKey, -1);
    SetHotKeyEntry(0);
}

void MainWindow::OnAddHotKey() {
    if (entryHotKey_ == 0) {
        ShowWarningBox(Window(), "No hotkey specified.");
        return;
    }
    AddHotKeyToList(entryHotKey_);
}

void MainWindow::OnRemoveHotKey() {
    GtkTreeModel* model = nullptr;
    GtkTreeIter line;
    if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(GTK_TREE_VIEW(hotKeyList_)),
                                         &model, &line)) {
        ShowPlainBox(Window(), "Please select an item");
        return;
    }
    guint value = 0;
    gtk_tree_model_get(model, &line, kValueColumn, &value, -1);
    if (hotKeys_->Remove(value)) {
        gtk_list_store_remove(hotKeyLines_, &line);
    } else {
        ShowWarningBox(Window(), codec_.ToText(value, true) + " couldn't be removed.");
    }
}

void MainWindow::OnClearHotKeys() {
    hotKeys_->Clear();
    SetHotKeyEntry(0);
    gtk_list_store_clear(hotKeyLines_);
}

std::vector<std::string> MainWindow::HotKeyLines() const {
    std::vector<std::string> lines;
    GtkTreeIter line;
    for (gboolean more = gtk_tree_model_get_iter_first(GTK_TREE_MODEL(hotKeyLines_), &line); more;
         more = gtk_tree_model_iter_next(GTK_TREE_MODEL(hotKeyLines_), &line)) {
        gchar* text = nullptr;
        gtk_tree_model_get(GTK_TREE_MODEL(hotKeyLines_), &line, kTextColumn, &text, -1);
        lines.emplace_back(text ? text : "");
        g_free(text);
    }
    return lines;
}

} // namespace tervane
