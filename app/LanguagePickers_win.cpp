// The "Language" group: two owner-drawn pickers over the language table, the service
// codes that follow them, and the swap on a click on the group itself.
#include "app/Languages.h"
#include "app/MainForm_win.h"
#include "app/MaskedImages_win.h"
#include "app/WideText_win.h"
#include "app/res/resource.h"

#include <utility>

namespace {
int Position(HWND picker) { return static_cast<int>(SendMessageW(picker, CB_GETCURSEL, 0, 0)); }

void ApplyPosition(HWND picker, std::string& code) {
    if (auto c = LanguageCodeAt(Position(picker))) code = std::string(*c);
}
} // namespace

void TMainForm::LoadPickers(HINSTANCE instance) {
    ImageList2 = LoadMaskedImages(instance, IDB_FLAGS, 16, 16);
    // "Tahoma", character height 12 pixels, ANSI character set.
    pickerFont_ = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_SWISS, L"Tahoma");
    for (HWND picker : {wl_srclang, wl_trglang}) {
        SendMessageW(picker, WM_SETFONT, reinterpret_cast<WPARAM>(pickerFont_), FALSE);
        SendMessageW(picker, CB_SETMINVISIBLE, kLanguageCount, 0);
        // The closed face is 20 pixels high whatever borders the system draws around it.
        RECT face;
        GetWindowRect(picker, &face);
        const auto selectionHeight = SendMessageW(picker, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
        SendMessageW(picker, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                     selectionHeight + 20 - (face.bottom - face.top));
        for (const Language& language : LanguageTable()) {
            SendMessageW(picker, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(Widen(language.name).c_str()));
        }
    }
    SendMessageW(wl_srclang, CB_SETCURSEL, kInitialSourcePosition, 0);
    SendMessageW(wl_trglang, CB_SETCURSEL, kInitialTargetPosition, 0);
}

std::string TMainForm::PickerText(HWND picker) const {
    const int position = Position(picker);
    if (position < 0) return {};
    const auto length = SendMessageW(picker, CB_GETLBTEXTLEN, position, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(picker, CB_GETLBTEXT, position, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return Narrow(text);
}

void TMainForm::wl_srclangChange() { ApplyPosition(wl_srclang, SrcLangCode); }

void TMainForm::wl_trglangChange() { ApplyPosition(wl_trglang, TrgLangCode); }

void TMainForm::wl_srclangDrawItem(const DRAWITEMSTRUCT& item) { DrawLanguageItem(item); }

void TMainForm::wl_trglangDrawItem(const DRAWITEMSTRUCT& item) { DrawLanguageItem(item); }

// One item, in the opened list or on the closed face: background, flag, name 18 pixels
// in (the flag's 16 and 2 more), focus rectangle. With no selection only the background.
void TMainForm::DrawLanguageItem(const DRAWITEMSTRUCT& item) {
    const bool highlighted = (item.itemState & ODS_SELECTED) != 0;
    SetBkColor(item.hDC, GetSysColor(highlighted ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetTextColor(item.hDC, GetSysColor(highlighted ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    const RECT& r = item.rcItem;
    ExtTextOutW(item.hDC, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);

    const int position = static_cast<int>(item.itemID);
    if (item.itemID == static_cast<UINT>(-1) || position >= kLanguageCount) return;

    ImageList_Draw(ImageList2, position, item.hDC, r.left, r.top, ILD_NORMAL);
    const std::wstring name = Widen(LanguageTable()[static_cast<size_t>(position)].name);
    HGDIOBJ old = SelectObject(item.hDC, pickerFont_);
    ExtTextOutW(item.hDC, r.left + 18, r.top, ETO_OPAQUE, nullptr, name.c_str(),
                static_cast<UINT>(name.size()), nullptr);
    SelectObject(item.hDC, old);
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &r);
}

void TMainForm::GroupBox5Click() {
    const auto source = SendMessageW(wl_srclang, CB_GETCURSEL, 0, 0);
    const auto target = SendMessageW(wl_trglang, CB_GETCURSEL, 0, 0);
    // CB_ERR (-1) as position clears a picker: a picker without selection swaps as such.
    SendMessageW(wl_srclang, CB_SETCURSEL, static_cast<WPARAM>(target), 0);
    SendMessageW(wl_trglang, CB_SETCURSEL, static_cast<WPARAM>(source), 0);
    std::swap(SrcLangCode, TrgLangCode);
}
