#include "translate/ReplaceWays.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>

namespace tervane {

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// "Edit", and the rich-edit classes of every version ("RICHEDIT", "RichEdit20W",
// "RICHEDIT50W", "RichEdit60W", ...), all of which answer the replace-selection message.
bool AnswersReplaceMessage(std::string_view windowClass) {
    const std::string name = Lower(windowClass);
    return name == "edit" || name.rfind("richedit", 0) == 0;
}

} // namespace

ReplaceWay ChooseReplaceWay(std::string_view windowClass, bool readOnly) {
    if (!AnswersReplaceMessage(windowClass))
        return ReplaceWay::PasteKeystroke;
    if (readOnly)
        throw std::runtime_error(kReadOnlyTargetText);
    return ReplaceWay::EditMessage;
}

bool PasteOver(bool taken, std::uint64_t elapsedMs) {
    return taken || elapsedMs >= kPasteBoundMs;
}

bool PipedPasteOver(std::optional<std::uint64_t> writtenForMs, std::uint64_t elapsedMs) {
    return writtenForMs ? *writtenForMs >= kPipedPasteReadMs : PasteOver(false, elapsedMs);
}

std::string WaylandReplaceUnavailable(bool clipboardControl, bool virtualKeyboard) {
    const char* missing = !clipboardControl
                              ? "the compositor does not let applications lend the clipboard "
                                "(wlr data-control)"
                          : !virtualKeyboard ? "the compositor offers applications no virtual "
                                               "keyboard to paste with"
                                             : nullptr;
    if (!missing)
        return {};
    return std::string("Replacing the selection with its translation is not available on this "
                       "desktop: ") +
           missing + ". The hotkey can only translate.";
}

} // namespace tervane
