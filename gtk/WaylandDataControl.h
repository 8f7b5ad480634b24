#pragma once
// A seat's selections on a Wayland compositor that offers wlroots' data-control protocol
// (sway and other wlroots compositors, KDE's KWin, Hyprland): the compositor tells this
// client of every new selection whatever has the focus, so the primary selection is read
// without taking the focus and without touching the clipboard, and the clipboard can be read
// and owned for a replacement (with the compositor's virtual keyboard, where it offers one,
// to send the paste). The program holds a connection of its own to the compositor for it,
// watched on the main loop; the keyboard shares it, so a paste sent after the clipboard was
// lent reaches the application after the new clipboard.
#include "gtk/PrimaryReader.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <stdint.h>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_data_control_manager_v1;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_offer_v1;
struct zwlr_data_control_source_v1;
struct zwp_virtual_keyboard_manager_v1;

namespace tervane {

class WaylandVirtualKeyboard;

// Data of a selection, type by type (MIME types, or X11's names from XWayland clients).
using SelectionContents = std::vector<std::pair<std::string, std::string>>;

// `text` as each of the text types, UTF-8 first.
SelectionContents AsText(const std::string& text);

class DataControlSelections final : public PrimaryReader {
  public:
    // nullptr when the compositor does not offer data-control with the primary selection
    // (version 2) or has no seat.
    static std::unique_ptr<DataControlSelections> Connect();
    ~DataControlSelections() override;
    DataControlSelections(const DataControlSelections&) = delete;
    DataControlSelections& operator=(const DataControlSelections&) = delete;

    void Read(PrimaryText done) override;
    const char* Way() const override { return "data-control"; }

    // Every type the clipboard's owner offers, read; `done` runs once on the main loop, later,
    // with what came (a type its owner does not give within kSelectionWaitMs left out).
    void ReadClipboard(std::function<void(SelectionContents)> done);
    // This program owns the clipboard with `contents` (none: the clipboard is emptied) and
    // serves it until another client takes the clipboard; `sent` is told of each type
    // written whole to a reader. False when the connection is gone.
    bool OwnClipboard(SelectionContents contents,
                      std::function<void(const std::string& type)> sent = nullptr);
    // The seat's virtual keyboard, made on first use; nullptr where the compositor offers
    // none. Throws std::runtime_error when its keymap cannot be made.
    WaylandVirtualKeyboard* Keyboard();
    bool CanType() const { return keyboards_ != nullptr; }

    struct Offer;  // an offer and the MIME types it announced
    struct Source; // contents this program owns

    // The protocol's events, from libwayland's listeners.
    static void OnGlobal(void* self, wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t version);
    static void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
    static void OnDataOffer(void* self, zwlr_data_control_device_v1*,
                            zwlr_data_control_offer_v1* offer);
    static void OnSelection(void* self, zwlr_data_control_device_v1*,
                            zwlr_data_control_offer_v1* offer);
    static void OnFinished(void* self, zwlr_data_control_device_v1*);
    static void OnPrimarySelection(void* self, zwlr_data_control_device_v1*,
                                   zwlr_data_control_offer_v1* offer);
    static void OnOfferType(void* offer, zwlr_data_control_offer_v1*, const char* type);
    static void OnSend(void* source, zwlr_data_control_source_v1*, const char* type, int32_t fd);
    static void OnCancelled(void* source, zwlr_data_control_source_v1*);
    static gboolean OnEvents(gint fd, GIOCondition condition, gpointer self);

  private:
    DataControlSelections();

    const Offer* Find(zwlr_data_control_offer_v1* offer) const;
    void Forget(zwlr_data_control_offer_v1* offer);
    void ForgetOffers();
    void Disconnect();

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    zwlr_data_control_manager_v1* manager_ = nullptr;
    zwlr_data_control_device_v1* device_ = nullptr;
    zwp_virtual_keyboard_manager_v1* keyboards_ = nullptr;
    std::unique_ptr<WaylandVirtualKeyboard> keyboard_;
    // Offers announced and not yet replaced; the two selections' are among them.
    std::vector<std::unique_ptr<Offer>> offers_;
    zwlr_data_control_offer_v1* primary_ = nullptr;
    zwlr_data_control_offer_v1* clipboard_ = nullptr;
    // What this program owns or owned, until the compositor cancels it.
    std::vector<std::unique_ptr<Source>> sources_;
    guint watch_ = 0;
};

} // namespace tervane
