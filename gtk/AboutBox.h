#pragma once
// The About box: the program's icon, its name with a one-pixel silver shadow, the version
// and the copyright notice; modal over the main window, made anew for each showing.
#include <gtk/gtk.h>

namespace tervane {

void ShowAboutBox(GtkWindow* owner);

} // namespace tervane
