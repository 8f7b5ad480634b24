#include "notify/TrayIconHandler_win.h"

#include "notify/TrayIcon_win.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace tervane {

namespace {

constexpr wchar_t kHandlerClass[] = L"TervaneTrayIconHandler";

std::unique_ptr<TrayIconHandler> sharedHandler;

} // namespace

HWND TrayIconHandler::Window() {
    return sharedHandler ? sharedHandler->hwnd_ : nullptr;
}

std::size_t TrayIconHandler::UserCount() {
    return sharedHandler ? sharedHandler->icons_.size() : 0;
}

HWND TrayIconHandler::Join(TrayIcon& icon) {
    if (!sharedHandler) {
        auto handler = std::make_unique<TrayIconHandler>();
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        RegisterClassOnce(instance, {kHandlerClass});
        // Hidden and without size; a tool window, so that it never gets a taskbar button.
        if (!CreateWindowExW(WS_EX_TOOLWINDOW, kHandlerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                             nullptr, instance, handler.get()))
            throw std::runtime_error("Cannot create the notification icon's window");
        sharedHandler = std::move(handler);
    }
    sharedHandler->icons_.push_back(&icon);
    return sharedHandler->hwnd_;
}

void TrayIconHandler::Leave(TrayIcon& icon) {
    if (!sharedHandler)
        return;
    auto& icons = sharedHandler->icons_;
    icons.erase(std::remove(icons.begin(), icons.end(), &icon), icons.end());
    if (!icons.empty())
        return;
    const std::unique_ptr<TrayIconHandler> last = std::move(sharedHandler);
    if (last->hwnd_)
        DestroyWindow(last->hwnd_);
}

LRESULT TrayIconHandler::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kTrayIconCallbackMessage) {
        // Only icons still alive are told: a notification queued for an ended one is dropped.
        const auto found = std::find_if(icons_.begin(), icons_.end(),
                                        [wp](const TrayIcon* i) { return i->Identifier() == wp; });
        if (found != icons_.end())
            (*found)->HandleNotification(static_cast<UINT>(lp));
        return 0;
    }
    if (msg != 0 && msg == TaskbarCreatedMessage()) {
        for (TrayIcon* icon : icons_)
            if (icon->IconVisible())
                icon->AddNotifyIcon();
        return 0;
    }
    switch (msg) {
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
    case WM_QUIT:
    case WM_ENDSESSION:
    case WM_NCDESTROY:
        return 1;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

} // namespace tervane
