#pragma once
// The settings as the panels' controllers hold them: the value the store saves and the
// flow reads, and the store's changes applied as a user's would be (each controller runs
// its rule, and its view follows through onChanged). Every front end uses this one.
#include "app/HotKeyListController.h"
#include "app/LanguageController.h"
#include "app/OptionsController.h"
#include "app/SettingsStore.h"

namespace tervane {

class PanelSettings final : public SettingsView {
  public:
    // All three must outlive this view.
    PanelSettings(LanguageController& languages, OptionsController& options,
                  HotKeyListController& hotKeys)
        : languages_(languages), options_(options), hotKeys_(hotKeys) {}

    Settings Current() override;
    void SelectSource(std::int32_t position) override { languages_.SelectSource(position); }
    void SelectTarget(std::int32_t position) override { languages_.SelectTarget(position); }
    void MoveSlider(int position) override { options_.MoveSlider(position); }
    void SetChecked(Option option, bool checked) override { options_.SetOption(option, checked); }
    void AddStoredHotKey(const std::string& text, HotKeyAction action) override {
        hotKeys_.AddStoredHotKey(text, action);
    }

  private:
    LanguageController& languages_;
    OptionsController& options_;
    HotKeyListController& hotKeys_;
};

} // namespace tervane
