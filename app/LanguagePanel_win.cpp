#include "app/LanguagePanel_win.h"

#include "app/res/resource.h"
#include "base/Dpi_win.h"
#include "base/MaskedImages_win.h"
#include "base/WideText_win.h"
#include "net/WinHttpTransport_win.h"
#include "protocol/Languages.h"

#include <commctrl.h>

#include <algorithm>
#include <tuple>
#include <utility>

namespace tervane {

using namespace tervane::protocol;

namespace {

// Where the picture lies in each 16 x 16 image of the flag strip (scripts/make-images.py):
// a flag's 11 rows from row 2, a letter tile's 14 from row 1; the same centre row either way.
// The strips drawn for other DPIs scale all three as ScaleToDpi does.
constexpr int kFlagImageSize = 16;
constexpr int kFlagVisibleTop = 2;
constexpr int kFlagVisibleHeight = 11;
// The names start right of the flag, 2 pixels from it; a list row is 14 pixels high, the
// closed face 20, the compact-mode picture 32 square (all at 96 DPI).
constexpr int kNameLeft = kFlagImageSize + 2;
constexpr int kRowHeight = 14;
constexpr int kFaceHeight = 20;
constexpr int kCompactGlyphSize = 32;

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

// The local service lists its languages in milliseconds; one that does not answer within
// these leaves the targets drawn as they are.
constexpr HttpTimeouts kRoutesTimeouts{1000, 1000, 1000, 2000};

// The "Language" group also reacts to clicks on its own frame, caption and empty area
// (a plain group box lets clicks fall through to the window beneath it). The second
// press of a double-click is a click like the first; neither gives the frame the focus.
LRESULT CALLBACK LanguageGroupProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                   DWORD_PTR window) {
    switch (msg) {
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetCapture(hwnd);
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == hwnd) {
            ReleaseCapture();
            POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            RECT rc;
            GetClientRect(hwnd, &rc);
            if (PtInRect(&rc, pt))
                SendMessageW(reinterpret_cast<HWND>(window), kSwapLanguagesMessage, 0, 0);
        }
        return 0;
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, LanguageGroupProc, 0);
        break;
    }
    return GroupMessage(hwnd, msg, wp, lp, reinterpret_cast<HWND>(window));
}
} // namespace

WinRoutesFetcher::WinRoutesFetcher(UiWorker& worker)
    : worker_(worker), address_(LanguagesAddress()) {}

void WinRoutesFetcher::Fetch(Done done) {
    worker_.Run([address = address_, done = std::move(done)]() mutable {
        HttpClient http(std::make_unique<WinHttpTransport>(kRoutesTimeouts));
        std::optional<LanguageRoutes> routes = RequestLanguageRoutes(http, address);
        return UiWorker::Finish([done = std::move(done), routes = std::move(routes)]() mutable {
            done(std::move(routes));
        });
    });
}

LanguagePanel::LanguagePanel(UiWorker& worker) : fetcher_(worker), controller_(fetcher_) {
    controller_.onChanged = [this] { ShowController(); };
}

void LanguagePanel::Create(const PanelBuilder& build, HINSTANCE instance) {
    using enum ControlId;
    group_ = build.Group(LanguageGroup, "Language", {264, 8, 201, 81}, LanguageGroupProc);
    // The height given to a drop-down list is that of the face plus the opened list:
    // room for all 54 rows of 14 pixels, so the whole table opens without scrolling.
    constexpr DWORD kPicker =
        CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP;
    constexpr int kPickerHeight = kFaceHeight + kLanguageCount * kRowHeight + 16;
    source_ =
        Picker(build.Make(group_, SourcePicker,
                          {WC_COMBOBOXW, "", kPicker | WS_GROUP, {16, 21, 113, kPickerHeight}}));
    target_ = Picker(build.Make(group_, TargetPicker,
                                {WC_COMBOBOXW, "", kPicker, {16, 45, 113, kPickerHeight}}));
    build.Make(group_, CompactButton,
               {WC_BUTTONW, "", BS_OWNERDRAW, {144, 28, kCompactGlyphSize, kCompactGlyphSize}});
    instance_ = instance;
    ScaleTo(build.Dpi());
    for (const Picker* picker : {&source_, &target_}) {
        SendMessageW(picker->Handle(), CB_SETMINVISIBLE, kLanguageCount, 0);
        for (const Language& language : LanguageTable())
            picker->AddText(language.name);
    }
    source_.Select(controller_.SourcePosition());
    target_.Select(controller_.TargetPosition());
}

// The pictures drawn for the DPI (or the nearest smaller one), the names' font made for it,
// the rows and faces as high as it makes them.
void LanguagePanel::ScaleTo(int dpi) {
    dpi_ = dpi;
    const int index = ImageDpiIndex(dpi);
    imageDpi_ = kImageDpis[index];
    const int flag = ScaleToDpi(kFlagImageSize, imageDpi_);
    const int glyph = ScaleToDpi(kCompactGlyphSize, imageDpi_);
    flagImages_.Reset(
        LoadMaskedImages(instance_, IDB_FLAGS + index * kImageResourceStep, flag, flag));
    compactGlyph_.Reset(
        LoadMaskedImages(instance_, IDB_COMPACT + index * kImageResourceStep, glyph, glyph));
    // "Tahoma", character height 12 pixels, ANSI character set.
    UniqueFont font = MakeFontAt(L"Tahoma", 12, FW_NORMAL, ANSI_CHARSET, dpi);
    std::tie(nameInkAbove_, nameInkBelow_) = NameInk(font.Get());
    for (const Picker* picker : {&source_, &target_}) {
        SendMessageW(picker->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
        SendMessageW(picker->Handle(), CB_SETITEMHEIGHT, 0, ScaleToDpi(kRowHeight, dpi));
        SetFaceHeight(picker->Handle(), ScaleToDpi(kFaceHeight, dpi));
    }
    pickerFont_ = std::move(font); // the old one is no longer any picker's
}

bool LanguagePanel::OnCommand(ControlId id, int notification) {
    if (id == ControlId::SourcePicker) {
        if (notification == CBN_SELCHANGE)
            OnSourceLanguageChange();
        return true;
    }
    if (id == ControlId::TargetPicker) {
        if (notification == CBN_SELCHANGE)
            OnTargetLanguageChange();
        return true;
    }
    return false;
}

bool LanguagePanel::OnDrawItem(const DRAWITEMSTRUCT& item) {
    switch (static_cast<ControlId>(item.CtlID)) {
    case ControlId::SourcePicker:
    case ControlId::TargetPicker:
        DrawLanguageItem(item);
        return true;
    case ControlId::CompactButton:
        DrawCompactButton(item);
        return true;
    default:
        return false;
    }
}

void LanguagePanel::MoveTo(POINT place) const {
    SetWindowPos(group_, nullptr, place.x, place.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void LanguagePanel::OnSourceLanguageChange() {
    controller_.SelectSource(source_.Position());
}

void LanguagePanel::OnTargetLanguageChange() {
    controller_.SelectTarget(target_.Position());
}

void LanguagePanel::SetRoutesAddress(std::string address) {
    fetcher_.SetAddress(std::move(address));
    controller_.RefreshRoutes();
}

void LanguagePanel::OnSwapLanguages() {
    controller_.Swap();
}

// The pickers show the controller's positions; the target list is drawn again, its greying
// perhaps changed.
void LanguagePanel::ShowController() {
    if (!source_.Handle())
        return; // not created yet
    if (source_.Position() != controller_.SourcePosition())
        source_.Select(controller_.SourcePosition());
    if (target_.Position() != controller_.TargetPosition())
        target_.Select(controller_.TargetPosition());
    target_.Redraw();
    if (onChanged)
        onChanged();
}

// One item, in the opened list or on the closed face: background, flag, name 18 pixels
// in at 96 DPI (the flag's 16 and 2 more), focus rectangle. With no selection only the background.
// The images and the font are taller than a list row (14 pixels): each item is drawn
// clipped to its own row, the flag's visible part and the name's letters centred in it, so
// that no row paints over a neighbour's.
void LanguagePanel::DrawLanguageItem(const DRAWITEMSTRUCT& item) {
    const bool highlighted = (item.itemState & ODS_SELECTED) != 0;
    const int position = static_cast<int>(item.itemID);
    // A target the service has no route to from the source: still there to pick, greyed.
    const bool unreached = target_.Is(item.hwndItem) && !TargetReached(position);
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
    const int visibleTop = ScaleToDpi(kFlagVisibleTop, imageDpi_);
    const int visibleHeight = ScaleToDpi(kFlagVisibleHeight, imageDpi_);
    ImageList_Draw(flagImages_.Get(), position, item.hDC, r.left,
                   r.top + (rowHeight - visibleHeight) / 2 - visibleTop, ILD_NORMAL);
    const std::wstring name = Widen(LanguageTable()[static_cast<size_t>(position)].name);
    SelectObject(item.hDC, pickerFont_.Get());
    SetTextAlign(item.hDC, TA_LEFT | TA_BASELINE);
    const int baseline = r.top + (rowHeight - nameInkAbove_ - nameInkBelow_) / 2 + nameInkAbove_;
    ExtTextOutW(item.hDC, r.left + ScaleToDpi(kNameLeft, dpi_), baseline, ETO_CLIPPED, &r,
                name.c_str(), static_cast<UINT>(name.size()), nullptr);
    RestoreDC(item.hDC, saved);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &r);
}

// A flat picture button: the glyph on the face colour, with a sunken edge while pressed. A
// glyph drawn for a smaller DPI than the window's sits in the middle.
void LanguagePanel::DrawCompactButton(const DRAWITEMSTRUCT& item) {
    RECT r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    if (pressed)
        DrawEdge(item.hDC, &r, BDR_SUNKENOUTER, BF_RECT);
    const int shift = pressed ? 1 : 0;
    int glyphWidth = 0, glyphHeight = 0;
    ImageList_GetIconSize(compactGlyph_.Get(), &glyphWidth, &glyphHeight);
    ImageList_Draw(compactGlyph_.Get(), 0, item.hDC,
                   r.left + (r.right - r.left - glyphWidth) / 2 + shift,
                   r.top + (r.bottom - r.top - glyphHeight) / 2 + shift, ILD_NORMAL);
}

} // namespace tervane
