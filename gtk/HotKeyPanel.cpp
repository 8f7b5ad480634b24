#include "gtk/HotKeyPanel.h"

#include "app/Settings.h"
#include "gtk/KeyNames.h"
#include "gtk/MainWindowSettings.h"
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

class HotKeyPanel::Registrar final : public HotKeyRegistrar {
  public:
    explicit Registrar(GlobalHotKeys& grabs) : grabs_(grabs) {}
    bool Add(std::uint32_t hotKey) override { return grabs_.Add(hotKey); }
    bool Remove(std::uint32_t hotKey) override { return grabs_.Remove(hotKey); }
    void Clear() override { grabs_.Clear(); }

  private:
    GlobalHotKeys& grabs_;
};

class HotKeyPanel::Messages final : public PanelMessages {
  public:
    explicit Messages(GtkWindow* window) : window_(window) {}
    void ShowWarning(const std::string& text) override { ShowWarningBox(window_, text); }
    void ShowPlain(const std::string& text) override { ShowPlainBox(window_, text); }

  private:
    GtkWindow* window_;
};

HotKeyPanel::HotKeyPanel(const HotKeyCodec& codec, GlobalHotKeys& hotKeys, GtkWindow* window)
    : codec_(codec), hotKeys_(hotKeys), window_(window),
      registrar_(std::make_unique<Registrar>(hotKeys)),
      messages_(std::make_unique<Messages>(window)),
      controller_(std::make_unique<HotKeyListController>(codec, *registrar_, *messages_,
                                                         MainWindowSettings::SameIgnoringCase)) {
    controller_->onChanged = [this] { Refresh(); };
    column_ = gtk_box_new(GTK_ORIENTATION_VERTICAL, 8);

    hotKeyGroup_ = gtk_frame_new("Add a HotKey");
    GtkWidget* addRow = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
    gtk_container_set_border_width(GTK_CONTAINER(addRow), 6);
    entry_ = gtk_entry_new();
    gtk_editable_set_editable(GTK_EDITABLE(entry_), FALSE);
    gtk_entry_set_placeholder_text(GTK_ENTRY(entry_), "None");
    gtk_entry_set_width_chars(GTK_ENTRY(entry_), 18);
    g_signal_connect_swapped(entry_, "key-press-event",
                             G_CALLBACK(+[](HotKeyPanel* self, GdkEventKey* event) -> gboolean {
                                 return self->OnHotKeyEntryKey(event);
                             }),
                             this);
    // A hotkey typed into the field would fire instead of being recorded: the grabs pause
    // while the field has the keyboard focus.
    g_signal_connect_swapped(entry_, "focus-in-event",
                             G_CALLBACK(+[](HotKeyPanel* self) -> gboolean {
                                 self->hotKeys_.Pause();
                                 return FALSE;
                             }),
                             this);
    g_signal_connect_swapped(entry_, "focus-out-event",
                             G_CALLBACK(+[](HotKeyPanel* self) -> gboolean {
                                 self->hotKeys_.Resume();
                                 return FALSE;
                             }),
                             this);
    GtkWidget* addButton = gtk_button_new_with_label("Add");
    g_signal_connect_swapped(addButton, "clicked", G_CALLBACK(+[](HotKeyPanel* self) {
                                 RunGuarded(self->window_, [self] { self->OnAddHotKey(); });
                             }),
                             this);
    gtk_box_pack_start(GTK_BOX(addRow), entry_, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(addRow), addButton, FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(hotKeyGroup_), addRow);
    gtk_box_pack_start(GTK_BOX(column_), hotKeyGroup_, FALSE, FALSE, 0);

    hotKeysInUseGroup_ = gtk_frame_new("HotKey in Use");
    GtkWidget* listRow = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
    gtk_container_set_border_width(GTK_CONTAINER(listRow), 6);
    lines_ = gtk_list_store_new(2, G_TYPE_STRING, G_TYPE_UINT);
    list_ = gtk_tree_view_new_with_model(GTK_TREE_MODEL(lines_));
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(list_), FALSE);
    gtk_tree_view_append_column(GTK_TREE_VIEW(list_), gtk_tree_view_column_new_with_attributes(
                                                          "HotKey", gtk_cell_renderer_text_new(),
                                                          "text", kTextColumn, nullptr));
    GtkWidget* scroller = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(scroller), GTK_SHADOW_IN);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroller), GTK_POLICY_NEVER,
                                   GTK_POLICY_AUTOMATIC);
    gtk_widget_set_size_request(scroller, -1, 150);
    gtk_container_add(GTK_CONTAINER(scroller), list_);
    GtkWidget* listButtons = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    GtkWidget* removeButton = gtk_button_new_with_label("Remove");
    GtkWidget* clearButton = gtk_button_new_with_label("Clear all");
    g_signal_connect_swapped(removeButton, "clicked", G_CALLBACK(+[](HotKeyPanel* self) {
                                 RunGuarded(self->window_, [self] { self->OnRemoveHotKey(); });
                             }),
                             this);
    g_signal_connect_swapped(clearButton, "clicked", G_CALLBACK(+[](HotKeyPanel* self) {
                                 RunGuarded(self->window_, [self] { self->OnClearHotKeys(); });
                             }),
                             this);
    gtk_box_pack_start(GTK_BOX(listButtons), removeButton, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(listButtons), clearButton, FALSE, FALSE, 0);
    // What the selected line's hotkey does, at the foot of the buttons.
    action_ = gtk_combo_box_text_new();
    for (const HotKeyAction action : {HotKeyAction::Translate, HotKeyAction::Replace})
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(action_), ActionName(action));
    gtk_widget_set_tooltip_text(action_, "What the selected hotkey does");
    g_signal_connect_swapped(action_, "changed", G_CALLBACK(+[](HotKeyPanel* self) {
                                 RunGuarded(self->window_, [self] { self->OnActionChosen(); });
                             }),
                             this);
    g_signal_connect_swapped(gtk_tree_view_get_selection(GTK_TREE_VIEW(list_)), "changed",
                             G_CALLBACK(+[](HotKeyPanel* self) { self->ShowSelectedAction(); }),
                             this);
    gtk_box_pack_end(GTK_BOX(listButtons), action_, FALSE, FALSE, 0);
    GtkWidget* actionLabel = gtk_label_new("Action:");
    gtk_label_set_xalign(GTK_LABEL(actionLabel), 0);
    gtk_box_pack_end(GTK_BOX(listButtons), actionLabel, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(listRow), scroller, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(listRow), listButtons, FALSE, FALSE, 0);
    gtk_container_add(GTK_CONTAINER(hotKeysInUseGroup_), listRow);
    gtk_box_pack_start(GTK_BOX(column_), hotKeysInUseGroup_, TRUE, TRUE, 0);

    if (hotKeys_.Way() == HotKeyWay::DesktopRunsIt) {
        const std::uint32_t hotKey = codec_.FromText(kDefaultHotKeyText, true);
        desktopShortcut_ =
            std::make_unique<DesktopShortcutBox>(hotKey, codec_.ToText(hotKey, true));
        gtk_box_pack_start(GTK_BOX(column_), desktopShortcut_->Widget(), FALSE, FALSE, 0);
    }
}

HotKeyPanel::~HotKeyPanel() {
    // The widgets go with the window, after the panel.
    g_signal_handlers_disconnect_by_data(entry_, this);
    g_signal_handlers_disconnect_by_data(action_, this);
    g_signal_handlers_disconnect_by_data(gtk_tree_view_get_selection(GTK_TREE_VIEW(list_)), this);
    g_object_unref(lines_);
}

void HotKeyPanel::Show(bool show) const {
    gtk_widget_set_visible(hotKeyGroup_, show);
    gtk_widget_set_visible(hotKeysInUseGroup_, show);
}

// The field takes one key combination, as the Windows hotkey box does; Tab still moves
// the focus on.
bool HotKeyPanel::OnHotKeyEntryKey(GdkEventKey* event) {
    const bool ctrl = (event->state & GDK_CONTROL_MASK) != 0;
    const bool shift = (event->state & GDK_SHIFT_MASK) != 0;
    const bool alt = (event->state & GDK_MOD1_MASK) != 0;
    if ((event->keyval == GDK_KEY_Tab || event->keyval == GDK_KEY_ISO_Left_Tab) && !ctrl && !alt)
        return false;
    if (const std::uint32_t hotKey = EntryHotKey(BaseKeysym(event), ctrl, shift, alt))
        controller_->SetEntry(hotKey);
    return true;
}

// A selection stays where no line went (lines added, or an action changed).
void HotKeyPanel::Refresh() {
    const int selected = SelectedLine();
    const int shown = gtk_tree_model_iter_n_children(GTK_TREE_MODEL(lines_), nullptr);
    const std::vector<HotKeyLine>& lines = controller_->Lines();
    gtk_list_store_clear(lines_);
    for (const HotKeyLine& line : lines) {
        GtkTreeIter row;
        gtk_list_store_append(lines_, &row);
        gtk_list_store_set(lines_, &row, kTextColumn, line.Label().c_str(), kValueColumn,
                           line.hotKey, -1);
    }
    GtkTreeIter row;
    if (selected >= 0 && static_cast<int>(lines.size()) >= shown &&
        gtk_tree_model_iter_nth_child(GTK_TREE_MODEL(lines_), &row, nullptr, selected))
        gtk_tree_selection_select_iter(gtk_tree_view_get_selection(GTK_TREE_VIEW(list_)), &row);
    ShowSelectedAction();
    gtk_entry_set_text(GTK_ENTRY(entry_), controller_->EntryText().c_str());
}

int HotKeyPanel::SelectedLine() const {
    GtkTreeModel* model = nullptr;
    GtkTreeIter line;
    int selected = -1;
    if (gtk_tree_selection_get_selected(gtk_tree_view_get_selection(GTK_TREE_VIEW(list_)), &model,
                                        &line)) {
        GtkTreePath* path = gtk_tree_model_get_path(model, &line);
        selected = gtk_tree_path_get_indices(path)[0];
        gtk_tree_path_free(path);
    }
    return selected;
}

void HotKeyPanel::ShowSelectedAction() {
    const int selected = SelectedLine();
    const std::vector<HotKeyLine>& lines = controller_->Lines();
    const bool any = selected >= 0 && static_cast<std::size_t>(selected) < lines.size();
    showingAction_ = true;
    gtk_combo_box_set_active(
        GTK_COMBO_BOX(action_),
        any ? static_cast<int>(lines[static_cast<std::size_t>(selected)].action) : -1);
    showingAction_ = false;
    gtk_widget_set_sensitive(action_, any); // greyed while no line is selected
}

void HotKeyPanel::OnActionChosen() {
    const int chosen = gtk_combo_box_get_active(GTK_COMBO_BOX(action_));
    if (showingAction_ || chosen < 0)
        return;
    controller_->OnSetAction(SelectedLine(), static_cast<HotKeyAction>(chosen));
}

void HotKeyPanel::OnAddHotKey() {
    controller_->OnAdd();
}

void HotKeyPanel::OnRemoveHotKey() {
    controller_->OnRemove(SelectedLine());
}

void HotKeyPanel::OnClearHotKeys() {
    controller_->OnClear();
}

std::vector<std::string> HotKeyPanel::Lines() const {
    return controller_->LineTexts();
}

} // namespace tervane
