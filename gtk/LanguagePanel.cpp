#include "gtk/LanguagePanel.h"

#include "gtk/Images.h"
#include "protocol/Languages.h"

namespace tervane {

using namespace tervane::protocol;

namespace {

enum Column { kFlagColumn, kNameColumn };

GtkListStore* LanguageRows() {
    GtkListStore* rows = gtk_list_store_new(2, GDK_TYPE_PIXBUF, G_TYPE_STRING);
    for (int position = 0; position < kLanguageCount; ++position) {
        GdkPixbuf* flag = FlagImage(position);
        const std::string name(LanguageTable()[static_cast<std::size_t>(position)].name);
        GtkTreeIter row;
        gtk_list_store_append(rows, &row);
        gtk_list_store_set(rows, &row, kFlagColumn, flag, kNameColumn, name.c_str(), -1);
        g_object_unref(flag);
    }
    return rows;
}

GtkWidget* MakePicker(GtkListStore* rows, int position) {
    GtkWidget* picker = gtk_combo_box_new_with_model(GTK_TREE_MODEL(rows));
    GtkCellRenderer* flag = gtk_cell_renderer_pixbuf_new();
    gtk_cell_layout_pack_start(GTK_CELL_LAYOUT(picker), flag, FALSE);
    gtk_cell_layout_add_attribute(GTK_CELL_LAYOUT(picker), flag, "pixbuf", kFlagColumn);
    GtkCellRenderer* name = gtk_cell_renderer_text_new();
    gtk_cell_layout_pack_start(GTK_CELL_LAYOUT(picker), name, TRUE);
    gtk_cell_layout_add_attribute(GTK_CELL_LAYOUT(picker), name, "text", kNameColumn);
    gtk_combo_box_set_active(GTK_COMBO_BOX(picker), position);
    return picker;
}

} // namespace

LanguagePanel::LanguagePanel() {
    GtkListStore* rows = LanguageRows();
    source_ = MakePicker(rows, kInitialSourcePosition);
    target_ = MakePicker(rows, kInitialTargetPosition);
    g_object_unref(rows);

    GtkWidget* compactButton = gtk_button_new();
    GdkPixbuf* glyph = CompactGlyph();
    gtk_button_set_image(GTK_BUTTON(compactButton), gtk_image_new_from_pixbuf(glyph));
    g_object_unref(glyph);
    gtk_button_set_relief(GTK_BUTTON(compactButton), GTK_RELIEF_NONE);
    gtk_widget_set_tooltip_text(compactButton, "Compact mode");
    gtk_widget_set_valign(compactButton, GTK_ALIGN_CENTER);
    gtk_widget_set_can_focus(compactButton, FALSE);
    g_signal_connect_swapped(compactButton, "clicked", G_CALLBACK(+[](LanguagePanel* self) {
                                 if (self->onCompactMode)
                                     self->onCompactMode();
                             }),
                             this);

    GtkWidget* pickers = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
    gtk_box_pack_start(GTK_BOX(pickers), source_, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(pickers), target_, FALSE, FALSE, 0);
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
    gtk_container_set_border_width(GTK_CONTAINER(row), 6);
    gtk_box_pack_start(GTK_BOX(row), pickers, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(row), compactButton, FALSE, FALSE, 0);

    // The group answers clicks on its frame, caption and empty area; the pickers and the
    // button keep theirs.
    group_ = gtk_frame_new("Language");
    gtk_container_add(GTK_CONTAINER(group_), row);
    clickable_ = gtk_event_box_new();
    gtk_container_add(GTK_CONTAINER(clickable_), group_);
    g_signal_connect_swapped(
        clickable_, "button-press-event",
        G_CALLBACK(+[](LanguagePanel* self, GdkEventButton* event) -> gboolean {
            if (event->button == 1 && event->type == GDK_BUTTON_PRESS)
                self->OnSwapLanguages();
            return TRUE;
        }),
        this);
}

void LanguagePanel::SetCompact(bool compact) const {
    gtk_frame_set_label(GTK_FRAME(group_), compact ? nullptr : "Language");
    gtk_frame_set_shadow_type(GTK_FRAME(group_), compact ? GTK_SHADOW_NONE : GTK_SHADOW_ETCHED_IN);
}

// A picker without a selection swaps as such.
void LanguagePanel::OnSwapLanguages() {
    const int source = gtk_combo_box_get_active(GTK_COMBO_BOX(source_));
    const int target = gtk_combo_box_get_active(GTK_COMBO_BOX(target_));
    gtk_combo_box_set_active(GTK_COMBO_BOX(source_), target);
    gtk_combo_box_set_active(GTK_COMBO_BOX(target_), source);
}

} // namespace tervane
