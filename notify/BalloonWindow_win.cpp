#include "notify/BalloonWindow_win.h"

#include "base/Dpi_win.h"
#include "base/WideText_win.h"

#include <iterator>
#include <stdexcept>
#include <string>

namespace tervane {

namespace {

constexpr UINT_PTR kCloseTimer = 1;
// Labels never wrap: every line of the text is one screen line, "&" shows as itself.
constexpr UINT kLabelFormat = DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS;

HFONT MakeTahoma(int dpi, int weight) {
    // 8 points at the DPI of the balloon's monitor, as a negative character height in pixels.
    HFONT font = CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, weight, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
    if (!font)
        throw std::runtime_error("Cannot create the balloon's font");
    return font;
}

// A label is as large as its text; an empty one still has the height of a line.
BalloonSize Measure(HDC dc, HFONT font, const std::wstring& text) {
    const HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, 0, 0};
    const std::wstring measured = text.empty() ? L" " : text;
    DrawTextW(dc, measured.c_str(), static_cast<int>(measured.size()), &r,
              kLabelFormat | DT_CALCRECT);
    SelectObject(dc, old);
    return {r.right - r.left, r.bottom - r.top};
}

// The picture of a balloon type from the program's resources, drawn for the DPI of the
// balloon's monitor ("INFO" at 100 %, "INFO_125" at 125 %, ...), as an image list whose
// pixels of the bitmap's bottom left colour are transparent.
HIMAGELIST LoadPicture(BalloonType type, int dpi) {
    static constexpr const wchar_t* kSuffixes[] = {L"", L"_125", L"_150", L"_200"};
    static_assert(std::size(kSuffixes) == std::size(kImageDpis));
    const std::wstring name =
        std::wstring(BalloonPictureName(type)) + kSuffixes[ImageDpiIndex(dpi)];
    const UniqueBitmap bitmap(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap)
        throw std::runtime_error("Cannot load the balloon's picture");
    BITMAP info{};
    GetObjectW(bitmap.Get(), sizeof(info), &info);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, bitmap.Get());
    const COLORREF transparent = GetPixel(dc, 0, info.bmHeight - 1);
    SelectObject(dc, old);
    DeleteDC(dc);
    UniqueImageList list(
        ImageList_Create(info.bmWidth, info.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 0));
    if (!list || ImageList_AddMasked(list.Get(), bitmap.Get(), transparent) < 0)
        throw std::runtime_error("Cannot load the balloon's picture");
    return list.Release();
}

} // namespace

HWND BalloonWindow::Open(const BalloonContent& content) {
    auto* self = new BalloonWindow(content);
    try {
        self->Prepare(content);
        self->Create();
    } catch (...) {
        delete self;
        throw;
    }
    // From here on the window frees the balloon when it is destroyed.
    const HWND window = self->hwnd_;
    try {
        self->Shape();
        ShowWindow(window, SW_SHOWNOACTIVATE);
        self->StayOnTop();
        // Painted now: the caller may keep the thread busy for a while after the show.
        UpdateWindow(window);
        if (self->closeDelay_ && !SetTimer(window, kCloseTimer, self->closeDelay_, nullptr)) {
            throw std::runtime_error("Cannot start the balloon's timer");
        }
    } catch (...) {
        DestroyWindow(window);
        throw;
    }
    return window;
}

BalloonWindow::BalloonWindow(const BalloonContent& content)
    : title_(Widen(content.title)), text_(Widen(content.text)),
      dictionary_(Widen(content.dictionary)), windowText_(Widen(BalloonWindowText(content))),
      closeDelay_(BalloonCloseDelay(content.duration)) {}

BalloonWindow::~BalloonWindow() {}

// Measured and laid out in the pixels of the monitor under the target point, at its DPI.
void BalloonWindow::Prepare(const BalloonContent& content) {
    const ScreenMonitor monitor = MonitorAtPoint({content.x, content.y});
    picture_.Reset(LoadPicture(content.type, monitor.dpi));
    font_.Reset(MakeTahoma(monitor.dpi, FW_NORMAL));
    boldFont_.Reset(MakeTahoma(monitor.dpi, FW_BOLD));
    const HDC screen = GetDC(nullptr);
    titleSize_ = Measure(screen, boldFont_.Get(), title_);
    textSize_ = Measure(screen, font_.Get(), text_);
    if (!dictionary_.empty())
        dictionarySize_ = Measure(screen, font_.Get(), dictionary_);
    ReleaseDC(nullptr, screen);
    const PixelRect& w = monitor.workArea;
    geometry_ = LayOutBalloonInside(content.position, {content.x, content.y},
                                    {titleSize_, textSize_, dictionarySize_},
                                    {w.left, w.top, w.right, w.bottom}, monitor.dpi);
}

void BalloonWindow::Create() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterClassOnce(
        instance, {kClassName, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_INFOBK + 1))});
    // The body text is also the window's text, so that tools reading windows can read it.
    CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_TOPMOST, kClassName,
                    windowText_.c_str(), WS_POPUP, geometry_.origin.x, geometry_.origin.y,
                    geometry_.width, geometry_.height, GetDesktopWindow(), nullptr, instance, this);
    if (!hwnd_)
        throw std::runtime_error("Cannot create the balloon window");
    ownsItself_ = true;
}

void BalloonWindow::Shape() {
    const BalloonRect& body = geometry_.body;
    UniqueRegion shape(CreateRoundRectRgn(body.left, body.top, body.right, body.bottom,
                                          geometry_.corner, geometry_.corner));
    POINT corners[3];
    for (int i = 0; i < 3; ++i)
        corners[i] = {geometry_.arrow[i].x, geometry_.arrow[i].y};
    const UniqueRegion arrow(CreatePolygonRgn(corners, 3, WINDING));
    const bool united =
        shape && arrow && CombineRgn(shape.Get(), shape.Get(), arrow.Get(), RGN_OR) != ERROR;
    if (!united || !SetWindowRgn(hwnd_, shape.Get(), TRUE))
        throw std::runtime_error("Cannot shape the balloon window");
    shape.Release(); // once set, the region belongs to the window
}

LRESULT BalloonWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
        // Held until the button comes up, so that the click ends here, not on the window
        // below once the balloon is gone.
        SetCapture(hwnd_);
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == hwnd_) {
            ReleaseCapture();
            RECT client;
            GetClientRect(hwnd_, &client);
            if (PtInRect(&client,
                         {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))})) {
                Close();
            }
        }
        return 0;
    case WM_TIMER:
        if (wp == kCloseTimer)
            Close();
        return 0;
    case WM_ACTIVATE:
        StayOnTop();
        break;
    case WM_SHOWWINDOW:
        if (wp)
            StayOnTop();
        break;
    case WM_SIZE:
        if (wp == SIZE_MINIMIZED) {
            ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
            StayOnTop();
        }
        break;
    case WM_DESTROY:
        if (ownsItself_) {
            // The last message this object sees: later ones (WM_NCDESTROY) go to the
            // default procedure, since the window no longer points here.
            KillTimer(hwnd_, kCloseTimer);
            SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            delete this;
            return 0;
        }
        break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void BalloonWindow::Paint() {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(hwnd_, &ps);
    ImageList_Draw(picture_.Get(), 0, dc, geometry_.icon.x, geometry_.icon.y, ILD_TRANSPARENT);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const auto label = [dc](HFONT font, const std::wstring& text, BalloonPoint at,
                            BalloonSize size) {
        const HGDIOBJ old = SelectObject(dc, font);
        RECT r{at.x, at.y, at.x + size.width, at.y + size.height};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, kLabelFormat | DT_NOCLIP);
        SelectObject(dc, old);
    };
    label(boldFont_.Get(), title_, geometry_.title, titleSize_);
    label(font_.Get(), text_, geometry_.text, textSize_);
    if (!dictionary_.empty()) {
        SetTextColor(dc,
                     RGB(kDictionaryColour.red, kDictionaryColour.green, kDictionaryColour.blue));
        label(font_.Get(), dictionary_, geometry_.dictionary, dictionarySize_);
    }
    // A thin black line along the shape: the rounded body and the arrow as one outline.
    const UniqueRegion outline(CreateRectRgn(0, 0, 0, 0));
    if (outline && GetWindowRgn(hwnd_, outline.Get()) != ERROR)
        FrameRgn(dc, outline.Get(), static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), 1, 1);
    EndPaint(hwnd_, &ps);
}

void BalloonWindow::StayOnTop() {
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void BalloonWindow::Close() {
    KillTimer(hwnd_, kCloseTimer);
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

} // namespace tervane
