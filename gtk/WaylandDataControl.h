#pragma once
// The PRIMARY selection on a Wayland compositor that offers wlroots' data-control protocol
// (sway and other wlroots compositors, KDE's KWin, Hyprland): the compositor tells this
// client of every new selection whatever has the focus, so the selection is read without
// taking the focus and without touching the clipboard. The program holds a connection of
// its own to the compositor for it, watched on the main loop.
#include "gtk/PrimaryReader.h"

#include <memory>
#include <vector>

#include <stdint.h>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct zwlr_data_control_manager_v1;
struct zwlr_data_control_device_v1;
struct zwlr_data_control_offer_v1;

namespace tervane {

class DataControlPrimaryReader final : public PrimaryReader {
  public:
    // nullptr when the compositor does not offer data-control with the primary selection
    // (version 2) or has no seat.
    static std::unique_ptr<DataControlPrimaryReader> Connect();
    ~DataControlPrimaryReader() override;
    DataControlPrimaryReader(const DataControlPrimaryReader&) = delete;
    DataControlPrimaryReader& operator=(const DataControlPrimaryReader&) = delete;

    void Read(PrimaryText done) override;
    const char* Way() const override { return "data-control"; }

    struct Offer; // an offer and the MIME types it announced

    // The protocol's events, from libwayland's listeners.
    static void OnGlobal(void* self, wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t version);
    static void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
    static void OnDataOffer(void* self, zwlr_data_control_device_v1*,
                            zwlr_data_control_offer_v1* offer);
    static void OnSelection(void*, zwlr_data_control_device_v1*, zwlr_data_control_offer_v1*);
    static void OnFinished(void* self, zwlr_data_control_device_v1*);
    static void OnPrimarySelection(void* self, zwlr_data_control_device_v1*,
                                   zwlr_data_control_offer_v1* offer);
    static void OnOfferType(void* offer, zwlr_data_control_offer_v1*, const char* type);
    static gboolean OnEvents(gint fd, GIOCondition condition, gpointer self);

  private:
    DataControlPrimaryReader() = default;

    void Forget(zwlr_data_control_offer_v1* offer);
    void Disconnect();

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    zwlr_data_control_manager_v1* manager_ = nullptr;
    zwlr_data_control_device_v1* device_ = nullptr;
    // Offers announced and not yet replaced; the primary selection's is one of them.
    std::vector<std::unique_ptr<Offer>> offers_;
    zwlr_data_control_offer_v1* primary_ = nullptr;
    guint watch_ = 0;
};

} // namespace tervane
