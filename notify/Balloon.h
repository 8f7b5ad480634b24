#pragma once
// What a balloon shows and where it stands, independent of the window that shows it: the
// settings' enumerations (their ordinals are part of the settings and stay as they are),
// the body text made from the caller's lines, the picture of each balloon type and the
// delay after which a balloon closes by itself.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tervane {

// Chooses the picture at the balloon's top left corner.
enum class BalloonType { Info = 0, Error = 1, Warning = 2 };

// Kept with the settings; the display does not use them.
enum class BalloonHorizontal { Left = 0, Middle = 1, Right = 2 };
enum class BalloonVertical { Top = 0, Center = 1, Bottom = 2 };

// Where the balloon's body lies as seen from the target point: ArrowTopLeft puts it above
// and to the left of the point, with the arrow at the body's lower right, and so on.
enum class BalloonPosition {
    ArrowTopLeft = 0,
    ArrowTopRight = 1,
    ArrowBottomLeft = 2,
    ArrowBottomRight = 3,
};

// Everything one balloon window is shown with. Texts are UTF-8.
struct BalloonContent {
    int x = 0; // target point, screen pixels
    int y = 0;
    BalloonPosition position = BalloonPosition::ArrowTopLeft;
    int duration = 0; // seconds until it closes by itself; 0 or less: never
    BalloonType type = BalloonType::Info;
    std::string text;
    std::string title;
    // Under the text, set apart: a word's dictionary entries, one a line (CR LF between
    // lines); empty for none, and the balloon is then laid out as it always was.
    std::string dictionary = {};
};

// The dictionary's lines are drawn in this grey rather than the text's black, so that they
// read as secondary to the translation above them.
struct BalloonColour {
    unsigned char red, green, blue;
};
inline constexpr BalloonColour kDictionaryColour{96, 96, 96};

// The balloon's whole text, as a tool reading windows finds it (the window's text): the
// text, then the dictionary's lines after a blank line when there are any.
std::string BalloonWindowText(const BalloonContent& content);

// The lines, each followed by CR LF, then trimmed: leading and trailing blanks and control
// characters (every byte up to and including the space) are dropped; blank lines between
// lines stay.
std::string JoinBalloonText(const std::vector<std::string>& lines);

// Name of the bitmap resource of a balloon type: "INFO", "ERROR" or "WARNING"; "INFO" for
// any value outside the three.
const wchar_t* BalloonPictureName(BalloonType type);

// Milliseconds of the close timer for a duration in seconds; 0 (never) for a duration of
// 0 or less. Durations too long for the system's timers are cut to the longest it takes.
std::uint32_t BalloonCloseDelay(int durationSeconds);

} // namespace tervane
