#pragma once
// The main window's controls as the settings store (app/SettingsStore) sees them. A
// control set here changes as a user's change would: its handler runs.
#include "app/SettingsStore.h"

#include <gtk/gtk.h>

namespace tervane {

class MainWindow;

class MainWindowSettings final : public SettingsView {
  public:
    explicit MainWindowSettings(MainWindow& window) : window_(window) {}
    Settings Current() override;
    void SelectSource(std::int32_t position) override;
    void SelectTarget(std::int32_t position) override;
    void MoveSlider(int position) override;
    void SetChecked(Option option, bool checked) override;
    void AddStoredHotKey(const std::string& text, HotKeyAction action) override;
    // The user's locale's comparison of two hotkey texts, letter case ignored.
    static bool SameIgnoringCase(std::string_view a, std::string_view b);

  private:
    MainWindow& window_;
};

} // namespace tervane
