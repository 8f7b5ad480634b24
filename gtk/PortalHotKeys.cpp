#include "gtk/PortalHotKeys.h"

#include "gtk/ShortcutTexts.h"

#include <gdk/gdkwayland.h>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace tervane {

namespace {

constexpr const char* kPortal = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kShortcuts = "org.freedesktop.portal.GlobalShortcuts";

// The portal makes a request's (and a session's) object path from the caller's bus name
// and the token the caller chose, so the caller can listen before it calls.
std::string PortalObjectPath(GDBusConnection* bus, const char* kind, const std::string& token) {
    std::string sender = g_dbus_connection_get_unique_name(bus);
    sender.erase(0, 1); // the leading ':'
    std::replace(sender.begin(), sender.end(), '.', '_');
    return std::string(kPortalPath) + "/" + kind + "/" + sender + "/" + token;
}

struct PendingResponse {
    PortalHotKeys* self;
    void (*onResponse)(PortalHotKeys*, guint32, GVariant*);
    guint subscription = 0;
    std::vector<guint>* subscriptions;
};

void Report(const char* what, const char* detail) {
    std::fprintf(stderr, "tervane: global shortcuts portal: %s%s%s\n", what, detail ? ": " : "",
                 detail ? detail : "");
}

} // namespace

std::unique_ptr<PortalHotKeys> PortalHotKeys::Connect() {
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus)
        return nullptr;
    // The property answers only where a portal backend implements the interface.
    GVariant* version = g_dbus_connection_call_sync(
        bus, kPortal, kPortalPath, "org.freedesktop.DBus.Properties", "Get",
        g_variant_new("(ss)", kShortcuts, "version"), G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE,
        2000, nullptr, nullptr);
    if (!version) {
        g_object_unref(bus);
        return nullptr;
    }
    g_variant_unref(version);
    std::unique_ptr<PortalHotKeys> hotKeys(new PortalHotKeys(bus));
    hotKeys->activated_ = g_dbus_connection_signal_subscribe(
        bus, nullptr, kShortcuts, "Activated", kPortalPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
        &PortalHotKeys::OnActivated, hotKeys.get(), nullptr);
    hotKeys->CreateSession();
    return hotKeys;
}

PortalHotKeys::~PortalHotKeys() {
    if (bindIdle_)
        g_source_remove(bindIdle_);
    for (const guint subscription : responses_)
        g_dbus_connection_signal_unsubscribe(bus_, subscription);
    g_dbus_connection_signal_unsubscribe(bus_, activated_);
    // Closing the session releases the shortcuts it bound.
    if (!session_.empty())
        g_dbus_connection_call(bus_, kPortal, session_.c_str(), "org.freedesktop.portal.Session",
                               "Close", nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr,
                               nullptr, nullptr);
    g_dbus_connection_flush_sync(bus_, nullptr, nullptr);
    g_object_unref(bus_);
}

bool PortalHotKeys::Add(std::uint32_t hotKey) {
    if (PortalTriggerOf(hotKey).empty() ||
        std::find(hotKeys_.begin(), hotKeys_.end(), hotKey) != hotKeys_.end())
        return false;
    hotKeys_.push_back(hotKey);
    BindSoon();
    return true;
}

bool PortalHotKeys::Remove(std::uint32_t hotKey) {
    const auto held = std::find(hotKeys_.begin(), hotKeys_.end(), hotKey);
    if (held == hotKeys_.end())
        return false;
    hotKeys_.erase(held);
    BindSoon();
    return true;
}

void PortalHotKeys::Clear() {
    hotKeys_.clear();
    BindSoon();
}

void PortalHotKeys::Call(const char* method, GVariant* arguments, const std::string& token,
                         OnResponse onResponse) {
    auto* pending = new PendingResponse{this, onResponse, 0, &responses_};
    pending->subscription = g_dbus_connection_signal_subscribe(
        bus_, nullptr, "org.freedesktop.portal.Request", "Response",
        PortalObjectPath(bus_, "request", token).c_str(), nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection* bus, const gchar*, const gchar*, const gchar*, const gchar*,
           GVariant* parameters, gpointer data) {
            auto* response = static_cast<PendingResponse*>(data);
            guint32 code = 2;
            GVariant* results = nullptr;
            g_variant_get(parameters, "(u@a{sv})", &code, &results);
            auto& subscriptions = *response->subscriptions;
            subscriptions.erase(
                std::remove(subscriptions.begin(), subscriptions.end(), response->subscription),
                subscriptions.end());
            response->onResponse(response->self, code, results);
            g_variant_unref(results);
            g_dbus_connection_signal_unsubscribe(bus, response->subscription); // frees pending
        },
        pending, [](gpointer data) { delete static_cast<PendingResponse*>(data); });
    responses_.push_back(pending->subscription);
    g_dbus_connection_call(
        bus_, kPortal, kPortalPath, kShortcuts, method, arguments, G_VARIANT_TYPE("(o)"),
        G_DBUS_CALL_FLAGS_NONE, -1, nullptr,
        [](GObject* bus, GAsyncResult* result, gpointer) {
            GError* error = nullptr;
            GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, &error);
            if (reply) {
                g_variant_unref(reply);
            } else {
                Report("the call failed", error->message);
                g_error_free(error);
            }
        },
        nullptr);
}

void PortalHotKeys::CreateSession() {
    const std::string token = "tervane" + std::to_string(++tokens_);
    const std::string sessionToken = "tervane_session" + std::to_string(tokens_);
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
    g_variant_builder_add(&options, "{sv}", "session_handle_token",
                          g_variant_new_string(sessionToken.c_str()));
    Call("CreateSession", g_variant_new("(a{sv})", &options), token,
         &PortalHotKeys::OnSessionCreated);
}

void PortalHotKeys::OnSessionCreated(PortalHotKeys* self, guint32 code, GVariant* results) {
    const gchar* session = nullptr;
    if (code != 0 || !g_variant_lookup(results, "session_handle", "&s", &session) || !session) {
        // Older portals give the handle as an object path.
        if (code != 0 || !g_variant_lookup(results, "session_handle", "&o", &session)) {
            Report("no session was made", nullptr);
            return;
        }
    }
    self->session_ = session;
    if (!self->bindIdle_) // else the list is bound when the changes on the way are made
        self->BindNow();
}

// Adding the stored hotkeys one after the other at start becomes one binding.
void PortalHotKeys::BindSoon() {
    if (bindIdle_)
        return;
    bindIdle_ = g_idle_add(
        [](gpointer data) -> gboolean {
            auto* self = static_cast<PortalHotKeys*>(data);
            self->bindIdle_ = 0;
            self->BindNow();
            return G_SOURCE_REMOVE;
        },
        this);
}

void PortalHotKeys::BindNow() {
    if (session_.empty())
        return; // bound once the session is made
    if (binding_) {
        bindAgain_ = true;
        return;
    }
    binding_ = true;
    GVariantBuilder shortcuts;
    g_variant_builder_init(&shortcuts, G_VARIANT_TYPE("a(sa{sv})"));
    for (const std::uint32_t hotKey : hotKeys_) {
        const std::string trigger = PortalTriggerOf(hotKey);
        const std::string description = "Translate the selected text (" + trigger + ")";
        GVariantBuilder properties;
        g_variant_builder_init(&properties, G_VARIANT_TYPE_VARDICT);
        g_variant_builder_add(&properties, "{sv}", "description",
                              g_variant_new_string(description.c_str()));
        g_variant_builder_add(&properties, "{sv}", "preferred_trigger",
                              g_variant_new_string(trigger.c_str()));
        g_variant_builder_add(&shortcuts, "(sa{sv})", ShortcutIdOf(hotKey).c_str(), &properties);
    }
    const std::string token = "tervane" + std::to_string(++tokens_);
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
    g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
    Call("BindShortcuts",
         g_variant_new("(oa(sa{sv})sa{sv})", session_.c_str(), &shortcuts, "", &options), token,
         &PortalHotKeys::OnBound);
}

// Refused or cancelled (the user said no in the portal's dialog): the list stays as it is,
// and the next change asks again.
void PortalHotKeys::OnBound(PortalHotKeys* self, guint32 code, GVariant*) {
    if (code != 0)
        Report("the shortcuts were not bound", code == 1 ? "cancelled" : "refused");
    self->binding_ = false;
    if (std::exchange(self->bindAgain_, false))
        self->BindNow();
}

void PortalHotKeys::OnActivated(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                const gchar*, GVariant* parameters, gpointer data) {
    auto* self = static_cast<PortalHotKeys*>(data);
    const gchar* session = nullptr;
    const gchar* id = nullptr;
    GVariant* options = nullptr;
    g_variant_get(parameters, "(&o&st@a{sv})", &session, &id, nullptr, &options);
    const std::optional<std::uint32_t> hotKey = HotKeyOfShortcutId(id);
    if (self->session_ == session && hotKey && self->onPressed) {
        // Newer portals hand over the press's activation token: a window the translation
        // shows (the focused surface that reads the selection on GNOME) may take the focus.
        const gchar* token = nullptr;
        if (g_variant_lookup(options, "activation_token", "&s", &token) && *token &&
            GDK_IS_WAYLAND_DISPLAY(gdk_display_get_default()))
            gdk_wayland_display_set_startup_notification_id(gdk_display_get_default(), token);
        self->onPressed(*hotKey);
    }
    g_variant_unref(options);
}

} // namespace tervane
