// winprobe: the end-to-end scenarios' eyes inside the Wine session. Run under Wine in the
// same prefix as the program under test, it finds windows and reads what they show.
//   winprobe find <class|*> <caption|*> <timeout-ms>   first matching top-level window
//   winprobe dump <hwnd>                                the window and all its descendants
//   winprobe xid <hwnd>                                 the X11 window that shows it
//   winprobe items <hwnd>                               the lines of a list box
//   winprobe screenrect <hwnd>                          its rectangle on the screen
//   winprobe all <class>                                every visible top-level window of
//                                                       that class: handle, tab, caption
//   winprobe clip                                       the clipboard's text (UTF-8)
//   winprobe setclip <text>                             puts a text on the clipboard
//   winprobe state <hwnd>                               a check box's check state, a picker's
//                                                       position, a slider's position
// Windows are printed as hexadecimal handles; dump prints one tab-separated line per
// window: handle, parent, class, left, top, right, bottom (in the parent's client
// coordinates; screen coordinates for the top-level window), visible, text.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Wide(const char* text) {
    int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
    if (n > 1)
        MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), n);
    return out;
}

HWND ParseHandle(const char* text) {
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(std::strtoul(text, nullptr, 16)));
}

void PrintWindow(HWND hwnd) {
    wchar_t cls[256] = {}, text[1024] = {};
    GetClassNameW(hwnd, cls, 256);
    // WM_GETTEXT rather than GetWindowText, which does not read other processes' controls.
    SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        2000, nullptr);
    HWND parent = GetAncestor(hwnd, GA_PARENT);
    RECT r;
    GetWindowRect(hwnd, &r);
    if (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) {
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    std::string t = Utf8(text);
    for (char& c : t) {
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    }
    std::printf("%08lX\t%08lX\t%s\t%ld\t%ld\t%ld\t%ld\t%d\t%s\n",
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hwnd)),
                static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(parent)), Utf8(cls).c_str(),
                r.left, r.top, r.right, r.bottom, IsWindowVisible(hwnd) ? 1 : 0, t.c_str());
}

BOOL CALLBACK PrintChild(HWND hwnd, LPARAM) {
    PrintWindow(hwnd);
    return TRUE;
}

int Find(const char* cls, const char* caption, int timeoutMs) {
    std::wstring c = Wide(cls), t = Wide(caption);
    const DWORD start = GetTickCount();
    for (;;) {
        HWND found = FindWindowW(c == L"*" ? nullptr : c.c_str(), t == L"*" ? nullptr : t.c_str());
        if (found && IsWindowVisible(found)) {
            std::printf("%08lX\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(found)));
            return 0;
        }
        if (static_cast<int>(GetTickCount() - start) > timeoutMs)
            return 1;
        Sleep(50);
    }
}

struct AllOfClass {
    std::wstring cls;
};

BOOL CALLBACK PrintIfOfClass(HWND hwnd, LPARAM context) {
    const auto* wanted = reinterpret_cast<const AllOfClass*>(context);
    wchar_t cls[256] = {}, text[1024] = {};
    GetClassNameW(hwnd, cls, 256);
    if (IsWindowVisible(hwnd) && wanted->cls == cls) {
        SendMessageTimeoutW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 2000, nullptr);
        std::string t = Utf8(text);
        for (char& c : t)
            if (c == '\t' || c == '\n' || c == '\r')
                c = ' ';
        std::printf("%08lX\t%s\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hwnd)),
                    t.c_str());
    }
    return TRUE;
}

int PrintClipboard() {
    if (!OpenClipboard(nullptr))
        return 1;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
            std::printf("%s", Utf8(text).c_str());
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return 0;
}

int SetClipboard(const char* utf8) {
    const std::wstring text = Wide(utf8);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (!memory)
        return 1;
    std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(memory);
        return 1;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, memory))
        GlobalFree(memory);
    CloseClipboard();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "clip")
        return PrintClipboard();
    if (argc == 2 && std::string(argv[1]) == "foreground") {
        std::printf("%08lX\n",
                    static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(GetForegroundWindow())));
        return 0;
    }
    if (argc < 3) {
        std::fprintf(
            stderr,
            "usage: winprobe find|dump|xid|screenrect|items|state|all|clip|setclip|foreground "
            "...\n");
        return 2;
    }
    const std::string command = argv[1];
    if (command == "find" && argc == 5)
        return Find(argv[2], argv[3], std::atoi(argv[4]));
    if (command == "setclip")
        return SetClipboard(argv[2]);
    if (command == "all") {
        AllOfClass wanted{Wide(argv[2])};
        EnumWindows(PrintIfOfClass, reinterpret_cast<LPARAM>(&wanted));
        return 0;
    }
    HWND hwnd = ParseHandle(argv[2]);
    if (!IsWindow(hwnd)) {
        std::fprintf(stderr, "no such window: %s\n", argv[2]);
        return 1;
    }
    if (command == "dump") {
        PrintWindow(hwnd);
        EnumChildWindows(hwnd, PrintChild, 0);
    } else if (command == "xid") {
        auto xid = reinterpret_cast<UINT_PTR>(GetPropW(hwnd, L"__wine_x11_whole_window"));
        if (!xid)
            return 1;
        std::printf("%lu\n", static_cast<unsigned long>(xid));
    } else if (command == "screenrect") {
        RECT r;
        GetWindowRect(hwnd, &r);
        std::printf("%ld\t%ld\t%ld\t%ld\n", r.left, r.top, r.right, r.bottom);
    } else if (command == "items") {
        const auto count = SendMessageW(hwnd, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t line[512] = {};
            if (SendMessageW(hwnd, LB_GETTEXTLEN, i, 0) < 512) {
                SendMessageW(hwnd, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
            }
            std::printf("%s\n", Utf8(line).c_str());
        }
    } else if (command == "state") {
        wchar_t cls[64] = {};
        GetClassNameW(hwnd, cls, 64);
        const std::wstring c = cls;
        const UINT query = c == L"ComboBox"            ? CB_GETCURSEL
                           : c == L"msctls_trackbar32" ? TBM_GETPOS
                                                       : BM_GETCHECK;
        std::printf("%ld\n", static_cast<long>(SendMessageW(hwnd, query, 0, 0)));
    } else {
        std::fprintf(stderr, "unknown command: %s\n", command.c_str());
        return 2;
    }
    return 0;
}
