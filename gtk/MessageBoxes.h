#pragma once
// The program's message boxes, modal over `owner` (which may be nullptr): the warning box
// (caption "Warning"), the plain box (the application's title) and the general error report
// (the application's title, the error icon, the text of base/ErrorReport). Each box also
// carries its text in the X property _TERVANE_MESSAGE, which scripts and tests read.
#include <gtk/gtk.h>

#include <functional>
#include <string>

namespace tervane {

void ShowWarningBox(GtkWindow* owner, const std::string& text);
void ShowPlainBox(GtkWindow* owner, const std::string& text);
void ShowErrorReport(GtkWindow* owner, const std::string& message);

// Runs `handler`; an exception it throws ends it and is shown by the error report, so that
// the program goes on with the next event.
void RunGuarded(GtkWindow* owner, const std::function<void()>& handler);

// Sets a UTF-8 text property on the widget's X window (realizing it first).
void SetTextProperty(GtkWidget* widget, const char* property, const std::string& text);

} // namespace tervane
