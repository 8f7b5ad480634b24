#include "app/MainWindowSettings_win.h"

#include "app/HotKeyListController.h"
#include "base/WideText_win.h"

namespace tervane {

Settings MainWindowSettings::Current() {
    Settings now;
    now.sourcePosition = window_.Languages().Source().Position();
    now.targetPosition = window_.Languages().Target().Position();
    now.sliderPosition = window_.Options().TransparencySlider().Position();
    for (const Option option : {Option::Freeze, Option::CopyToClipboard, Option::LogToFile})
        now.Set(option, window_.Options().Box(option).Checked());
    now.hotKeys = window_.HotKeysPanel().Lines();
    return now;
}

void MainWindowSettings::SelectSource(std::int32_t position) {
    window_.Languages().Source().SelectAsUser(position);
}

void MainWindowSettings::SelectTarget(std::int32_t position) {
    window_.Languages().Target().SelectAsUser(position);
}

void MainWindowSettings::MoveSlider(int position) {
    window_.Options().TransparencySlider().MoveAsUser(position);
}

void MainWindowSettings::SetChecked(Option option, bool checked) {
    window_.Options().Box(option).ClickTo(checked);
}

bool MainWindowSettings::SameIgnoringCase(std::string_view a, std::string_view b) {
    const std::wstring wideA = Widen(a), wideB = Widen(b);
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wideA.c_str(),
                          static_cast<int>(wideA.size()), wideB.c_str(),
                          static_cast<int>(wideB.size())) == CSTR_EQUAL;
}

void MainWindowSettings::AddStoredHotKey(const std::string& text) {
    if (const std::uint32_t hotKey = StoredHotKeyToAdd(
            window_.Codec(), window_.HotKeysPanel().Lines(), text, SameIgnoringCase))
        window_.AddHotKeyToList(hotKey);
}

} // namespace tervane
