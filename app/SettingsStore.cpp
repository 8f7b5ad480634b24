#include "app/SettingsStore.h"

#include "app/Transparency.h"
#include "protocol/Utf8.h"

#include <algorithm>
#include <array>

namespace tervane {

namespace {

constexpr int kMaxStoredHotKeys = 9;
constexpr std::array kOptionOrder{Option::Freeze, Option::CopyToClipboard, Option::LogToFile};

// The first `count` characters of a UTF-8 text (fewer when it is shorter); a character
// is a lead byte with its continuation bytes, so "é" counts once as it did in the
// single-byte texts the store was made for.
std::vector<std::string_view> FirstCharacters(std::string_view text, std::size_t count) {
    std::vector<std::string_view> characters;
    std::size_t start = 0;
    while (start < text.size() && characters.size() < count) {
        const std::size_t end = tervane::protocol::NextCharacter(text, start);
        characters.push_back(text.substr(start, end - start));
        start = end;
    }
    return characters;
}

std::string ActionValueName(std::size_t line) {
    return "Action" + std::to_string(line);
}

void LoadOptions(RegistryKey& key, SettingsView& view) {
    const std::optional<std::string> stored = ReadText(key, "cc");
    if (!stored)
        return;
    const auto characters = FirstCharacters(*stored, kOptionOrder.size());
    if (characters.size() < kOptionOrder.size())
        return;
    for (std::size_t i = 0; i < kOptionOrder.size(); ++i)
        view.SetChecked(kOptionOrder[i], characters[i] == "1");
}

void LoadHotKeys(RegistryKey& key, SettingsView& view) {
    const std::optional<std::int32_t> count = ReadInteger(key, "Count");
    if (!count || *count < 1 || *count > kMaxStoredHotKeys)
        return;
    for (std::int32_t i = 0; i < *count; ++i) {
        const std::optional<std::string> text = ReadText(key, "Key" + std::to_string(i));
        if (text && !text->empty())
            view.AddStoredHotKey(*text, ActionOfStoredText(ReadText(key, ActionValueName(i))));
    }
}

} // namespace

void LoadSettings(Registry& registry, SettingsView& view) {
    const std::unique_ptr<RegistryKey> key = registry.Open(kSettingsKeyPath, false, false);
    if (!key)
        return;
    if (const auto source = ReadInteger(*key, "src"))
        view.SelectSource(*source);
    if (const auto target = ReadInteger(*key, "trg"))
        view.SelectTarget(*target);
    if (const auto slider = ReadInteger(*key, "tr"))
        view.MoveSlider(std::clamp(*slider, kSliderMin, kSliderMax));
    LoadOptions(*key, view);
    LoadHotKeys(*key, view);
}

void SaveSettings(Registry& registry, const Settings& settings) {
    std::string options;
    for (const Option option : kOptionOrder)
        options += settings.IsOn(option) ? '1' : '0';

    const std::unique_ptr<RegistryKey> key = registry.Open(kSettingsKeyPath, true, true);
    if (!key)
        return;
    if (settings.sourcePosition >= 0)
        WriteInteger(*key, "src", settings.sourcePosition);
    if (settings.targetPosition >= 0)
        WriteInteger(*key, "trg", settings.targetPosition);
    WriteText(*key, "cc", options);
    WriteInteger(*key, "tr", settings.sliderPosition);
    // A longer list is not stored at all: what an earlier close stored stays.
    const std::vector<HotKeySetting>& lines = settings.hotKeys;
    if (lines.size() > static_cast<std::size_t>(kMaxStoredHotKeys))
        return;
    WriteInteger(*key, "Count", static_cast<std::int32_t>(lines.size()));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        WriteText(*key, "Key" + std::to_string(i), lines[i].text);
        WriteText(*key, ActionValueName(i), StoredActionText(lines[i].action));
    }
}

} // namespace tervane
