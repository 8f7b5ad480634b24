#include "translate/Clipboard_win.h"

#include "base/WideText_win.h"

#include <cstring>
#include <cwchar>
#include <stdexcept>

namespace tervane {

namespace {

constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryDelayMs = 10;

} // namespace

bool ClipboardSession::TryOpen(HWND opener) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (attempt > 0)
            Sleep(kOpenRetryDelayMs);
        if (OpenClipboard(opener))
            return true;
    }
    return false;
}

ClipboardSession::ClipboardSession(HWND opener) {
    if (!TryOpen(opener))
        throw std::runtime_error("Cannot open clipboard");
}

ClipboardSession::~ClipboardSession() {
    CloseClipboard();
}

std::string ClipboardTextOfOpenClipboard() {
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data)
        return {};
    const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
    if (!text)
        return {};
    // Up to the terminating zero, and never past the memory block when it lacks one.
    const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
    std::string result = Narrow(std::wstring_view(text, wcsnlen(text, capacity)));
    GlobalUnlock(data);
    return result;
}

std::string ReadClipboardText(HWND opener) {
    ClipboardSession session(opener);
    return ClipboardTextOfOpenClipboard();
}

HGLOBAL UnicodeTextBlock(std::string_view text) {
    const std::wstring wide = Widen(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, bytes);
    if (!memory)
        return nullptr;
    void* target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(target, wide.c_str(), bytes);
    GlobalUnlock(memory);
    return memory;
}

bool CopyTextToClipboard(std::string_view text) {
    HGLOBAL memory = UnicodeTextBlock(text);
    if (!memory)
        return false;
    if (!ClipboardSession::TryOpen(nullptr)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    // The system owns the memory once it is set; it stays ours only when that fails.
    const bool copied = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!copied)
        GlobalFree(memory);
    CloseClipboard();
    return copied;
}

} // namespace tervane
