#pragma once
// One running program per user: the first start listens on a socket in the user's runtime
// folder ($XDG_RUNTIME_DIR/tervane.socket); a later start hands its request to it and ends.
#include <gio/gio.h>

#include <functional>
#include <string>

namespace tervane {

// What a later start asks of the running program.
inline constexpr const char* kRequestShow = "show";
inline constexpr const char* kRequestTranslate = "translate-selection";

class SingleInstance {
  public:
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Hands `request` to a running program; true when one took it.
    bool Forward(const std::string& request);
    // Makes this program the running one; requests arrive through onRequest on the main
    // loop. Throws when the socket cannot be made.
    void Listen();

    std::function<void(const std::string& request)> onRequest;

  private:
    static gboolean OnIncoming(GSocketService* service, GSocketConnection* connection,
                               GObject* source, gpointer self);

    std::string path_;
    GSocketService* service_ = nullptr;
};

} // namespace tervane
