#include "gtk/DesktopShortcutBox.h"

#include "gtk/KeyNames.h"
#include "gtk/ShortcutTexts.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace tervane {

namespace {

constexpr const char* kMediaKeys = "org.gnome.settings-daemon.plugins.media-keys";
constexpr const char* kCustomBinding =
    "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";
constexpr const char* kBindingPath =
    "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/tervane/";

bool SchemaInstalled(const char* id) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* schema = source ? g_settings_schema_source_lookup(source, id, TRUE) : nullptr;
    if (!schema)
        return false;
    g_settings_schema_unref(schema);
    return true;
}

bool OnSway() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    return std::getenv("SWAYSOCK") || (desktop && std::strstr(desktop, "sway"));
}

// A line of text to select or copy whole, wrapped where it is long, and a button that
// copies it to the clipboard.
GtkWidget* CopyableLine(const std::string& text) {
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 6);
    GtkWidget* line = gtk_label_new(text.c_str());
    gtk_label_set_selectable(GTK_LABEL(line), TRUE);
    gtk_label_set_line_wrap(GTK_LABEL(line), TRUE);
    gtk_label_set_line_wrap_mode(GTK_LABEL(line), PANGO_WRAP_WORD_CHAR);
    gtk_label_set_max_width_chars(GTK_LABEL(line), 34);
    gtk_label_set_xalign(GTK_LABEL(line), 0);
    PangoAttrList* monospace = pango_attr_list_new();
    pango_attr_list_insert(monospace, pango_attr_family_new("Monospace"));
    gtk_label_set_attributes(GTK_LABEL(line), monospace);
    pango_attr_list_unref(monospace);
    GtkWidget* copy = gtk_button_new_with_label("Copy");
    gtk_widget_set_valign(copy, GTK_ALIGN_START);
    g_signal_connect(copy, "clicked", G_CALLBACK(+[](GtkButton*, GtkLabel* shown) {
                         gtk_clipboard_set_text(
                             gtk_widget_get_clipboard(GTK_WIDGET(shown), GDK_SELECTION_CLIPBOARD),
                             gtk_label_get_text(shown), -1);
                     }),
                     line);
    gtk_box_pack_start(GTK_BOX(row), line, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(row), copy, FALSE, FALSE, 0);
    return row;
}

GtkWidget* WrappedLabel(const std::string& text) {
    GtkWidget* label = gtk_label_new(text.c_str());
    gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
    gtk_label_set_max_width_chars(GTK_LABEL(label), 40);
    gtk_label_set_xalign(GTK_LABEL(label), 0);
    return label;
}

} // namespace

DesktopShortcutBox::DesktopShortcutBox(std::uint32_t hotKey, const std::string& hotKeyText)
    : hotKey_(hotKey) {
    group_ = gtk_frame_new("Desktop shortcut");
    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 6);
    gtk_container_set_border_width(GTK_CONTAINER(column), 6);
    gtk_box_pack_start(GTK_BOX(column),
                       WrappedLabel("This desktop does not let applications have global "
                                    "hotkeys: the desktop must run the shortcut. Give " +
                                    hotKeyText + " (or another key) this command:"),
                       FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(column), CopyableLine(kTranslateSelectionCommand), FALSE, FALSE, 0);
    if (SchemaInstalled(kMediaKeys) && SchemaInstalled(kCustomBinding)) {
        GtkWidget* add = gtk_button_new_with_label(
            ("Add " + hotKeyText + " to GNOME's keyboard shortcuts").c_str());
        g_signal_connect(
            add, "clicked", G_CALLBACK(+[](GtkButton* button, DesktopShortcutBox* self) {
                if (AddGnomeShortcut(self->hotKey_)) {
                    gtk_button_set_label(button, "Added to GNOME's keyboard shortcuts");
                    gtk_widget_set_sensitive(GTK_WIDGET(button), FALSE);
                }
            }),
            this);
        gtk_box_pack_start(GTK_BOX(column), add, FALSE, FALSE, 0);
    } else if (OnSway()) {
        gtk_box_pack_start(GTK_BOX(column),
                           WrappedLabel("Add this line to sway's configuration "
                                        "(~/.config/sway/config), then reload sway:"),
                           FALSE, FALSE, 0);
        gtk_box_pack_start(GTK_BOX(column), CopyableLine(SwayBindingOf(hotKey)), FALSE, FALSE, 0);
    } else {
        gtk_box_pack_start(GTK_BOX(column),
                           WrappedLabel("Add it as a custom shortcut in the desktop's keyboard "
                                        "settings."),
                           FALSE, FALSE, 0);
    }
    gtk_container_add(GTK_CONTAINER(group_), column);
}

// GNOME's custom keybindings: a list of paths, each a relocatable settings object holding
// a name, a command and a binding. The program's own path is added once and then updated.
bool DesktopShortcutBox::AddGnomeShortcut(std::uint32_t hotKey) {
    if (!SchemaInstalled(kMediaKeys) || !SchemaInstalled(kCustomBinding))
        return false;
    GSettings* binding = g_settings_new_with_path(kCustomBinding, kBindingPath);
    g_settings_set_string(binding, "name", "Tervane: translate the selected text");
    g_settings_set_string(binding, "command", kTranslateSelectionCommand);
    g_settings_set_string(binding, "binding", AcceleratorOf(hotKey).c_str());
    g_object_unref(binding);

    GSettings* mediaKeys = g_settings_new(kMediaKeys);
    gchar** paths = g_settings_get_strv(mediaKeys, "custom-keybindings");
    std::vector<const gchar*> list(paths, paths + g_strv_length(paths));
    if (!g_strv_contains(paths, kBindingPath)) {
        list.push_back(kBindingPath);
    }
    list.push_back(nullptr);
    g_settings_set_strv(mediaKeys, "custom-keybindings", list.data());
    g_strfreev(paths);
    g_settings_sync();
    g_object_unref(mediaKeys);
    return true;
}

} // namespace tervane
