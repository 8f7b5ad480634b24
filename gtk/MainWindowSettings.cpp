#include "gtk/MainWindowSettings.h"

#include "gtk/MainWindow.h"
#include "protocol/Languages.h"

namespace tervane {

namespace {

// A position outside the table leaves the picker without a selection. The pickers have no
// handler of their own to run: the flow reads their positions at each press.
void Select(GtkWidget* picker, std::int32_t position) {
    const bool inTable = position >= 0 && position < tervane::protocol::kLanguageCount;
    gtk_combo_box_set_active(GTK_COMBO_BOX(picker), inTable ? position : -1);
}

bool IsChecked(GtkWidget* box) {
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(box));
}

} // namespace

Settings MainWindowSettings::Current() {
    Settings now;
    now.sourcePosition = gtk_combo_box_get_active(GTK_COMBO_BOX(window_.sourcePicker_));
    now.targetPosition = gtk_combo_box_get_active(GTK_COMBO_BOX(window_.targetPicker_));
    now.sliderPosition =
        static_cast<int>(gtk_range_get_value(GTK_RANGE(window_.transparencySlider_)));
    for (const Option option : {Option::Freeze, Option::CopyToClipboard, Option::LogToFile})
        now.Set(option, IsChecked(Box(option)));
    now.hotKeys = window_.HotKeyLines();
    return now;
}

void MainWindowSettings::SelectSource(std::int32_t position) {
    Select(window_.sourcePicker_, position);
}

void MainWindowSettings::SelectTarget(std::int32_t position) {
    Select(window_.targetPicker_, position);
}

// "value-changed" comes only for a new position: the transparency handler runs then.
void MainWindowSettings::MoveSlider(int position) {
    gtk_range_set_value(GTK_RANGE(window_.transparencySlider_), position);
}

// "toggled" comes only for a new state: the box's handler runs then.
void MainWindowSettings::SetChecked(Option option, bool checked) {
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(Box(option)), checked);
}

bool MainWindowSettings::SameIgnoringCase(std::string_view a, std::string_view b) {
    gchar* foldedA = g_utf8_casefold(a.data(), static_cast<gssize>(a.size()));
    gchar* foldedB = g_utf8_casefold(b.data(), static_cast<gssize>(b.size()));
    const bool same = g_utf8_collate(foldedA, foldedB) == 0;
    g_free(foldedA);
    g_free(foldedB);
    return same;
}

void MainWindowSettings::AddHotKeyToList(std::uint32_t hotKey) {
    window_.AddHotKeyToList(hotKey);
}

GtkWidget* MainWindowSettings::Box(Option option) const {
    switch (option) {
    case Option::Freeze:
        return window_.freezeBox_;
    case Option::CopyToClipboard:
        return window_.copyToClipboardBox_;
    case Option::LogToFile:
        break;
    }
    return window_.logToFileBox_;
}

} // namespace tervane
