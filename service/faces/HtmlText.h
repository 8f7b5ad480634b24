// HTML as the faces translate it (format=html): the words between the tags are translated,
// everything else stays where it was.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tervane::service {

struct HtmlPiece {
    // To translate: text between tags, with at least one letter or digit, its character
    // references decoded. Otherwise markup, or text without words, as it was.
    std::string text;
    bool translate = false;
};

// Tags, comments, declarations and the content of script and style elements are kept as they
// are; a '<' that starts no tag, and an unknown or cut-short reference, are plain text.
std::vector<HtmlPiece> SplitHtml(std::string_view html);

// Text written back into HTML: &, < and > as references, everything else as it is.
std::string EscapeHtmlText(std::string_view text);

} // namespace tervane::service
