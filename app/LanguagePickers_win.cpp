// The "Language" group: two owner-drawn pickers over the language table, the service
// codes that follow them, and the swap on a click on the group itself.
#include "app/MainWindow_win.h"
#include "app/res/resource.h"
#include "base/MaskedImages_win.h"
#include "base/WideText_win.h"
#include "protocol/Languages.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace tervane {

using namespace tervane::protocol;

namespace {

// Where the picture lies in each 16 x 16 image of the flag strip (scripts/make-images.py):
// a flag's 11 rows from row 2, a letter tile's 14 from row 1; the same centre row either way.
constexpr int kFlagVisibleTop = 2;
constexpr int kFlagVisibleHeight = 11;

// The rows of ink that `font` gives the table's names above and below the baseline, from each
// letter's black box: the font's own ascent and descent count blank space above the capitals
// and leave out strokes (the hook of Tahoma's "J") that reach below the descent.
std::pair<int, int> NameInk(HFONT font) {
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    int above = 0, below = 0;
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    for (const Language& language : LanguageTable()) {
        for (const wchar_t c : Widen(language.name)) {
            GLYPHMETRICS glyph{};
            if (GetGlyphOutlineW(dc, c, GGO_METRICS, &glyph, 0, nullptr, &identity) == GDI_ERROR)
                continue;
            above = std::max(above, static_cast<int>(glyph.gmptGlyphOrigin.y));
            below = std::max(below, static_cast<int>(glyph.gmBlackBoxY) -
                                        static_cast<int>(glyph.gmptGlyphOrigin.y));
        }
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    // A font that gives no outlines: its cell, which holds its letters.
    if (above == 0)
        return {metrics.tmAscent, metrics.tmDescent};
    return {above, below};
}

int Position(HWND picker) {
    return static_cast<int>(SendMessageW(picker, CB_GETCURSEL, 0, 0));
}

void ApplyPosition(HWND picker, std::string& code) {
    if (auto c = LanguageCodeAt(Position(picker)))
        code = std::string(*c);
}

int FaceHeight(HWND picker) {
    RECT face;
    GetWindowRect(picker, &face);
    return face.bottom - face.top;
}

// Makes the closed face `height` pixels high whatever borders the system draws around the
// selection field. The borders are measured from a field height this code set (what the
// system reports back for the field is not always what was set: Wine adds 2).
void SetFaceHeight(HWND picker, int height) {
    int field = height - 4;
    for (int attempt = 0; attempt < 3 && field > 0; ++attempt) {
        SendMessageW(picker, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
        const int borders = FaceHeight(picker) - field;
        if (field + borders == height)
            return;
        field = height - borders;
    }
}
} // namespace

void MainWindow::LoadPickers(HINSTANCE instance) {
    flagImages_.Reset(LoadMaskedImages(instance, IDB_FLAGS, 16, 16));
    // "Tahoma", character height 12 pixels, ANSI character set.
    pickerFont_.Reset(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
    std::tie(nameInkAbove_, nameInkBelow_) = NameInk(pickerFont_.Get());
    for (HWND picker : {sourcePicker_, targetPicker_}) {
        SendMessageW(picker, WM_SETFONT, reinterpret_cast<WPARAM>(pickerFont_.Get()), FALSE);
        SendMessageW(picker, CB_SETMINVISIBLE, kLanguageCount, 0);
        SetFaceHeight(picker, 20);
        for (const Language& language : LanguageTable()) {
            SendMessageW(picker, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(Widen(language.name).c_str()));
        }
    }
    SendMessageW(sourcePicker_, CB_SETCURSEL, kInitialSourcePosition, 0);
    SendMessageW(targetPicker_, CB_SETCURSEL, kInitialTargetPosition, 0);
}

std::string MainWindow::PickerText(HWND picker) const {
    const int position = Position(picker);
    if (position < 0)
        return {};
    const auto length = SendMessageW(picker, CB_GETLBTEXTLEN, position, 0);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(picker, CB_GETLBTEXT, position, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return Narrow(text);
}

void MainWindow::OnSourceLanguageChange() {
    ApplyPosition(sourcePicker_, sourceCode_);
    RefreshRoutes();
}

void MainWindow::SetRoutesAddress(std::string address) {
    routesAddress_ = std::move(address);
    RefreshRoutes();
}

// Asked anew at each change of the source, so that a service started (or given other
// engines) since the last question is seen.
void MainWindow::RefreshRoutes() {
    routes_ = RequestLanguageRoutes(*routesHttp_, routesAddress_);
    InvalidateRect(targetPicker_, nullptr, TRUE);
}

bool MainWindow::TargetReached(int position) const {
    const auto target = LanguageCodeAt(position);
    return !routes_ || !target || routes_->Reaches(sourceCode_, *target);
}

void MainWindow::OnTargetLanguageChange() {
    ApplyPosition(targetPicker_, targetCode_);
}

// One item, in the opened list or on the closed face: background, flag, name 18 pixels
// in (the flag's 16 and 2 more), focus rectangle. With no selection only the background.
// The images and the font are taller than a list row (14 pixels): each item is drawn
// clipped to its own row, the flag's visible part and the name's letters centred in it, so
// that no row paints over a neighbour's.
void MainWindow::DrawLanguageItem(const DRAWITEMSTRUCT& item) {
    const bool highlighted = (item.itemState & ODS_SELECTED) != 0;
    const int position = static_cast<int>(item.itemID);
    // A target the service has no route to from the source: still there to pick, greyed.
    const bool unreached = item.hwndItem == targetPicker_ && !TargetReached(position);
    SetBkColor(item.hDC, GetSysColor(highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(item.hDC, GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT
                                       : unreached ? COLOR_GRAYTEXT
                                                   : COLOR_WINDOWTEXT));
    const RECT& r = item.rcItem;
    ExtTextOutW(item.hDC, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);

    if (item.itemID == static_cast<UINT>(-1) || position >= kLanguageCount)
        return;

    const int rowHeight = r.bottom - r.top;
    const int saved = SaveDC(item.hDC);
    IntersectClipRect(item.hDC, r.left, r.top, r.right, r.bottom);
    ImageList_Draw(flagImages_.Get(), position, item.hDC, r.left,
                   r.top + (rowHeight - kFlagVisibleHeight) / 2 - kFlagVisibleTop, ILD_NORMAL);
    const std::wstring name = Widen(LanguageTable()[static_cast<size_t>(position)].name);
    SelectObject(item.hDC, pickerFont_.Get());
    SetTextAlign(item.hDC, TA_LEFT | TA_BASELINE);
    const int baseline = r.top + (rowHeight - nameInkAbove_ - nameInkBelow_) / 2 + nameInkAbove_;
    ExtTextOutW(item.hDC, r.left + 18, baseline, ETO_CLIPPED, &r, name.c_str(),
                static_cast<UINT>(name.size()), nullptr);
    RestoreDC(item.hDC, saved);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &r);
}

void MainWindow::OnSwapLanguages() {
    const auto source = SendMessageW(sourcePicker_, CB_GETCURSEL, 0, 0);
    const auto target = SendMessageW(targetPicker_, CB_GETCURSEL, 0, 0);
    // CB_ERR (-1) as position clears a picker: a picker without selection swaps as such.
    SendMessageW(sourcePicker_, CB_SETCURSEL, static_cast<WPARAM>(target), 0);
    SendMessageW(targetPicker_, CB_SETCURSEL, static_cast<WPARAM>(source), 0);
    std::swap(sourceCode_, targetCode_);
    RefreshRoutes();
}

} // namespace tervane
