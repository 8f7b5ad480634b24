#include "gtk/LanguagePanel.h"

#include "gtk/Images.h"
#include "protocol/Languages.h"

namespace tervane {

using namespace tervane::protocol;

namespace {

enum Column { kFlagColumn, kNameColumn };

// The grey of Windows' COLOR_GRAYTEXT, which the Windows pickers draw unreached targets in.
constexpr const char* kUnreachedColour = "#6d6d6d";

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

// The target's names in the desktop's insensitive text colour where the service has no
// route from the source; the row stays selectable.
void DrawTargetName(GtkCellLayout*, GtkCellRenderer* name, GtkTreeModel* model, GtkTreeIter* row,
                    gpointer controller) {
    GtkTreePath* path = gtk_tree_model_get_path(model, row);
    const int position = gtk_tree_path_get_indices(path)[0];
    gtk_tree_path_free(path);
    const bool reached = static_cast<LanguageController*>(controller)->TargetReached(position);
    g_object_set(name, "foreground", reached ? nullptr : kUnreachedColour, "foreground-set",
                 !reached, nullptr);
}

} // namespace

LanguagePanel::LanguagePanel(RoutesFetcher& routes) : controller_(routes) {
    GtkListStore* rows = LanguageRows();
    source_ = MakePicker(rows, controller_.SourcePosition());
    target_ = MakePicker(rows, controller_.TargetPosition());
    g_object_unref(rows);
    GList* targetCells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(target_));
    gtk_cell_layout_set_cell_data_func(GTK_CELL_LAYOUT(target_),
                                       GTK_CELL_RENDERER(g_list_last(targetCells)->data),
                                       DrawTargetName, &controller_, nullptr);
    g_list_free(targetCells);
    for (GtkWidget* picker : {source_, target_})
        g_signal_connect_swapped(picker, "changed",
                                 G_CALLBACK(+[](LanguagePanel* self, GtkComboBox* changed) {
                                     self->OnPickerChanged(changed);
                                 }),
                                 this);
    controller_.onChanged = [this] { ShowController(); };

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

void LanguagePanel::OnPickerChanged(GtkComboBox* picker) {
    if (showing_)
        return;
    const int position = gtk_combo_box_get_active(picker);
    if (picker == Source())
        controller_.SelectSource(position);
    else
        controller_.SelectTarget(position);
}

// The pickers show the controller's positions; the target's rows are drawn again, since
// which of them are reached may have changed.
void LanguagePanel::ShowController() {
    showing_ = true;
    if (gtk_combo_box_get_active(Source()) != controller_.SourcePosition())
        gtk_combo_box_set_active(Source(), controller_.SourcePosition());
    if (gtk_combo_box_get_active(Target()) != controller_.TargetPosition())
        gtk_combo_box_set_active(Target(), controller_.TargetPosition());
    showing_ = false;
    gtk_widget_queue_draw(target_);
}

} // namespace tervane
