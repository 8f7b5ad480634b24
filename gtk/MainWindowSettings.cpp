#include "gtk/MainWindowSettings.h"

#include "app/HotKeyListController.h"
#include "gtk/MainWindow.h"

namespace tervane {

Settings MainWindowSettings::Current() {
    Settings now;
    now.sourcePosition = window_.Languages().Controller().SourcePosition();
    now.targetPosition = window_.Languages().Controller().TargetPosition();
    now.sliderPosition = static_cast<int>(gtk_range_get_value(window_.Options().Slider()));
    for (const Option option : {Option::Freeze, Option::CopyToClipboard, Option::LogToFile})
        now.Set(option, gtk_toggle_button_get_active(window_.Options().Box(option)));
    now.hotKeys = window_.HotKeysPanel().Controller().LineSettings();
    return now;
}

void MainWindowSettings::SelectSource(std::int32_t position) {
    window_.Languages().Controller().SelectSource(position);
}

void MainWindowSettings::SelectTarget(std::int32_t position) {
    window_.Languages().Controller().SelectTarget(position);
}

// "value-changed" comes only for a new position: the transparency handler runs then.
void MainWindowSettings::MoveSlider(int position) {
    gtk_range_set_value(window_.Options().Slider(), position);
}

// "toggled" comes only for a new state: the box's handler runs then.
void MainWindowSettings::SetChecked(Option option, bool checked) {
    gtk_toggle_button_set_active(window_.Options().Box(option), checked);
}

bool MainWindowSettings::SameIgnoringCase(std::string_view a, std::string_view b) {
    gchar* foldedA = g_utf8_casefold(a.data(), static_cast<gssize>(a.size()));
    gchar* foldedB = g_utf8_casefold(b.data(), static_cast<gssize>(b.size()));
    const bool same = g_utf8_collate(foldedA, foldedB) == 0;
    g_free(foldedA);
    g_free(foldedB);
    return same;
}

void MainWindowSettings::AddStoredHotKey(const std::string& text, HotKeyAction action) {
    window_.HotKeysPanel().Controller().AddStoredHotKey(text, action);
}

} // namespace tervane
