#include "gtk/BottomPanel.h"

#include "base/AppIdentity.h"
#include "gtk/AboutBox.h"
#include "gtk/MessageBoxes.h"

namespace tervane {

BottomPanel::BottomPanel(GtkWindow* window) : window_(window) {
    area_ = gtk_grid_new();
    gtk_grid_set_column_spacing(GTK_GRID(area_), 8);
    GtkWidget* labels = gtk_box_new(GTK_ORIENTATION_VERTICAL, 2);
    for (const char* text : {"Select text from anywhere on screen, ",
                             "Press the HotKey to translate your selected text."}) {
        GtkWidget* label = gtk_label_new(text);
        gtk_label_set_xalign(GTK_LABEL(label), 0);
        gtk_box_pack_start(GTK_BOX(labels), label, FALSE, FALSE, 0);
    }
    copyrightLabel_ = gtk_label_new("");
    gtk_label_set_xalign(GTK_LABEL(copyrightLabel_), 0);
    gtk_box_pack_start(GTK_BOX(labels), copyrightLabel_, FALSE, FALSE, 4);
    gtk_widget_set_hexpand(labels, TRUE);
    gtk_grid_attach(GTK_GRID(area_), labels, 0, 0, 1, 1);

    GtkWidget* buttons = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 8);
    gtk_widget_set_valign(buttons, GTK_ALIGN_END);
    GtkWidget* about = gtk_button_new_with_mnemonic("_About");
    GtkWidget* minimize = gtk_button_new_with_mnemonic("_Minimize");
    GtkWidget* exit = gtk_button_new_with_mnemonic("E_xit");
    for (GtkWidget* button : {about, minimize, exit})
        gtk_box_pack_start(GTK_BOX(buttons), button, FALSE, FALSE, 0);
    g_signal_connect_swapped(about, "clicked", G_CALLBACK(+[](BottomPanel* self) {
                                 RunGuarded(self->window_, [self] { self->OnAbout(); });
                             }),
                             this);
    g_signal_connect_swapped(minimize, "clicked", G_CALLBACK(+[](BottomPanel* self) {
                                 if (self->onMinimize)
                                     self->onMinimize();
                             }),
                             this);
    g_signal_connect_swapped(exit, "clicked", G_CALLBACK(+[](BottomPanel* self) {
                                 if (self->onExit)
                                     self->onExit();
                             }),
                             this);
    gtk_grid_attach(GTK_GRID(area_), buttons, 1, 0, 1, 1);
}

void BottomPanel::ShowCopyright() const {
    gtk_label_set_text(GTK_LABEL(copyrightLabel_), CopyrightNotice().c_str());
}

void BottomPanel::OnAbout() {
    ShowAboutBox(window_);
}

} // namespace tervane
