#pragma once
// The main window's panels as the settings store reads and sets them. Each control is
// changed the way a user's change changes it, so the window's own handlers run: a picker
// reports its new selection, the slider its move, a check box its click.
#include "app/MainWindow_win.h"
#include "app/SettingsStore.h"

namespace tervane {

class MainWindowSettings final : public SettingsView {
  public:
    explicit MainWindowSettings(MainWindow& window) : window_(window) {}

    Settings Current() override;
    void SelectSource(std::int32_t position) override;
    void SelectTarget(std::int32_t position) override;
    void MoveSlider(int position) override;
    void SetChecked(Option option, bool checked) override;
    void AddStoredHotKey(const std::string& text) override;

  private:
    static bool SameIgnoringCase(std::string_view a, std::string_view b);
    MainWindow& window_;
};

} // namespace tervane
