#pragma once
// Global hotkeys through the desktop's org.freedesktop.portal.GlobalShortcuts (GNOME 48 and
// later, KDE Plasma 6, Hyprland's portal; xdg-desktop-portal 1.16 or later): one portal
// session for the program's life, the whole list bound anew (BindShortcuts) after each
// change, a press arriving as the portal's Activated signal. The portal may show its own
// confirmation, and the user may give a shortcut another trigger there.
#include "gtk/GlobalHotKeys.h"

#include <gio/gio.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tervane {

class PortalHotKeys final : public GlobalHotKeys {
  public:
    // nullptr when the session bus has no portal with GlobalShortcuts (asked at most 2 s).
    static std::unique_ptr<PortalHotKeys> Connect();
    ~PortalHotKeys() override;
    PortalHotKeys(const PortalHotKeys&) = delete;
    PortalHotKeys& operator=(const PortalHotKeys&) = delete;

    HotKeyWay Way() const override { return HotKeyWay::Portal; }
    bool Add(std::uint32_t hotKey) override;
    bool Remove(std::uint32_t hotKey) override;
    void Clear() override;

  private:
    explicit PortalHotKeys(GDBusConnection* bus) : bus_(bus) {}
    // A portal call whose answer comes as a Response signal on its request object.
    using OnResponse = void (*)(PortalHotKeys*, guint32 code, GVariant* results);
    void Call(const char* method, GVariant* arguments, const std::string& token,
              OnResponse onResponse);
    void CreateSession();
    void BindSoon();
    void BindNow();
    static void OnSessionCreated(PortalHotKeys* self, guint32 code, GVariant* results);
    static void OnBound(PortalHotKeys* self, guint32 code, GVariant* results);
    static void OnActivated(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                            const gchar*, GVariant* parameters, gpointer self);

    GDBusConnection* bus_;
    std::vector<std::uint32_t> hotKeys_;
    std::string session_;    // the session's object path, once made
    bool binding_ = false;   // a BindShortcuts awaits its response
    bool bindAgain_ = false; // the list changed meanwhile
    guint bindIdle_ = 0;
    guint activated_ = 0;
    std::vector<guint> responses_; // Response subscriptions awaiting their signal
    unsigned tokens_ = 0;
};

} // namespace tervane
