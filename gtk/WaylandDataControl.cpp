#include "gtk/WaylandDataControl.h"

#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <glib-unix.h>
#include <wayland-client.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace tervane {

struct DataControlPrimaryReader::Offer {
    zwlr_data_control_offer_v1* offer;
    std::vector<std::string> types;
};

namespace {

// Text types in the order of preference: UTF-8 first; the last two are X11's names that
// XWayland clients announce.
constexpr std::array kTextTypes = {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain", "TEXT",
                                   "STRING"};

// A selection larger than this is cut: the balloon shows a few lines of it anyway.
constexpr std::size_t kMostBytes = 1 << 20;

constexpr wl_registry_listener kRegistryListener = {&DataControlPrimaryReader::OnGlobal,
                                                    &DataControlPrimaryReader::OnGlobalRemove};

// One transfer: the reading end of the pipe the source client writes into. A source that
// never closes its end is given up at the deadline: the pipe is closed, nothing is kept.
struct Transfer {
    int fd;
    std::string text;
    PrimaryText answer;
    guint watch = 0;
    guint deadline = 0;

    ~Transfer() {
        if (watch)
            g_source_remove(watch);
        if (deadline)
            g_source_remove(deadline);
        close(fd);
    }
};

gboolean OnTransferData(gint fd, GIOCondition, gpointer data) {
    auto* transfer = static_cast<Transfer*>(data);
    char buffer[4096];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return G_SOURCE_CONTINUE;
    if (got > 0 && transfer->text.size() < kMostBytes) {
        transfer->text.append(buffer, static_cast<std::size_t>(got));
        return G_SOURCE_CONTINUE;
    }
    // The end of the data (or an error, or enough of it): a read error answers nothing.
    if (got < 0)
        transfer->answer(std::nullopt);
    else
        transfer->answer(std::move(transfer->text));
    transfer->watch = 0; // removed by the return below
    delete transfer;
    return G_SOURCE_REMOVE;
}

} // namespace

const zwlr_data_control_device_v1_listener kDeviceListener = {
    +[](void* self, zwlr_data_control_device_v1* device, zwlr_data_control_offer_v1* offer) {
        DataControlPrimaryReader::OnDataOffer(self, device, offer);
    },
    +[](void* self, zwlr_data_control_device_v1* device, zwlr_data_control_offer_v1* offer) {
        DataControlPrimaryReader::OnSelection(self, device, offer);
    },
    +[](void* self, zwlr_data_control_device_v1* device) {
        DataControlPrimaryReader::OnFinished(self, device);
    },
    +[](void* self, zwlr_data_control_device_v1* device, zwlr_data_control_offer_v1* offer) {
        DataControlPrimaryReader::OnPrimarySelection(self, device, offer);
    },
};

const zwlr_data_control_offer_v1_listener kOfferListener = {
    +[](void* offer, zwlr_data_control_offer_v1* proxy, const char* type) {
        DataControlPrimaryReader::OnOfferType(offer, proxy, type);
    },
};

std::unique_ptr<DataControlPrimaryReader> DataControlPrimaryReader::Connect() {
    std::unique_ptr<DataControlPrimaryReader> reader(new DataControlPrimaryReader);
    reader->display_ = wl_display_connect(nullptr);
    if (!reader->display_)
        return nullptr;
    reader->registry_ = wl_display_get_registry(reader->display_);
    wl_registry_add_listener(reader->registry_, &kRegistryListener, reader.get());
    if (wl_display_roundtrip(reader->display_) < 0 || !reader->manager_ || !reader->seat_)
        return nullptr;
    reader->device_ = zwlr_data_control_manager_v1_get_data_device(reader->manager_, reader->seat_);
    zwlr_data_control_device_v1_add_listener(reader->device_, &kDeviceListener, reader.get());
    // The current selection comes at once, when the device is made.
    if (wl_display_roundtrip(reader->display_) < 0)
        return nullptr;
    reader->watch_ = g_unix_fd_add(wl_display_get_fd(reader->display_),
                                   static_cast<GIOCondition>(G_IO_IN | G_IO_ERR | G_IO_HUP),
                                   &DataControlPrimaryReader::OnEvents, reader.get());
    return reader;
}

DataControlPrimaryReader::~DataControlPrimaryReader() {
    Disconnect();
}

void DataControlPrimaryReader::Disconnect() {
    if (watch_)
        g_source_remove(watch_);
    watch_ = 0;
    for (const auto& offer : offers_)
        zwlr_data_control_offer_v1_destroy(offer->offer);
    offers_.clear();
    primary_ = nullptr;
    if (device_)
        zwlr_data_control_device_v1_destroy(device_);
    if (manager_)
        zwlr_data_control_manager_v1_destroy(manager_);
    if (seat_)
        wl_seat_destroy(seat_);
    if (registry_)
        wl_registry_destroy(registry_);
    if (display_)
        wl_display_disconnect(display_);
    device_ = nullptr;
    manager_ = nullptr;
    seat_ = nullptr;
    registry_ = nullptr;
    display_ = nullptr;
}

void DataControlPrimaryReader::OnGlobal(void* self, wl_registry* registry, uint32_t name,
                                        const char* interface, uint32_t version) {
    auto* reader = static_cast<DataControlPrimaryReader*>(self);
    // Version 2 is the first with the primary selection.
    if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0 && version >= 2 &&
        !reader->manager_) {
        reader->manager_ = static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 2));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !reader->seat_) {
        reader->seat_ =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    }
}

void DataControlPrimaryReader::OnDataOffer(void* self, zwlr_data_control_device_v1*,
                                           zwlr_data_control_offer_v1* offer) {
    auto* reader = static_cast<DataControlPrimaryReader*>(self);
    reader->offers_.push_back(std::make_unique<Offer>(Offer{offer, {}}));
    zwlr_data_control_offer_v1_add_listener(offer, &kOfferListener, reader->offers_.back().get());
}

void DataControlPrimaryReader::OnOfferType(void* offer, zwlr_data_control_offer_v1*,
                                           const char* type) {
    static_cast<Offer*>(offer)->types.emplace_back(type);
}

// The clipboard's offers are announced too; they are never read, only let go.
void DataControlPrimaryReader::OnSelection(void* self, zwlr_data_control_device_v1*,
                                           zwlr_data_control_offer_v1* offer) {
    auto* reader = static_cast<DataControlPrimaryReader*>(self);
    if (offer && offer != reader->primary_)
        reader->Forget(offer);
}

void DataControlPrimaryReader::OnPrimarySelection(void* self, zwlr_data_control_device_v1*,
                                                  zwlr_data_control_offer_v1* offer) {
    auto* reader = static_cast<DataControlPrimaryReader*>(self);
    if (reader->primary_ && reader->primary_ != offer)
        reader->Forget(reader->primary_);
    reader->primary_ = offer;
}

// The seat went away: there is nothing more to read.
void DataControlPrimaryReader::OnFinished(void* self, zwlr_data_control_device_v1*) {
    auto* reader = static_cast<DataControlPrimaryReader*>(self);
    for (const auto& offer : reader->offers_)
        zwlr_data_control_offer_v1_destroy(offer->offer);
    reader->offers_.clear();
    reader->primary_ = nullptr;
    zwlr_data_control_device_v1_destroy(reader->device_);
    reader->device_ = nullptr;
}

void DataControlPrimaryReader::Forget(zwlr_data_control_offer_v1* offer) {
    const auto held = std::find_if(offers_.begin(), offers_.end(),
                                   [&](const auto& known) { return known->offer == offer; });
    if (held == offers_.end())
        return;
    zwlr_data_control_offer_v1_destroy(offer);
    offers_.erase(held);
}

gboolean DataControlPrimaryReader::OnEvents(gint, GIOCondition condition, gpointer self) {
    auto* reader = static_cast<DataControlPrimaryReader*>(self);
    if ((condition & G_IO_IN) && wl_display_dispatch(reader->display_) >= 0)
        return G_SOURCE_CONTINUE;
    // The compositor closed the connection: reads answer nothing from now on.
    reader->watch_ = 0;
    reader->Disconnect();
    return G_SOURCE_REMOVE;
}

void DataControlPrimaryReader::Read(PrimaryText done) {
    PrimaryText answer = AnswerOnceWithin(kSelectionWaitMs, std::move(done));
    const auto offer = std::find_if(offers_.begin(), offers_.end(),
                                    [&](const auto& known) { return known->offer == primary_; });
    const std::string* type = nullptr;
    if (primary_ && offer != offers_.end()) {
        for (const char* wanted : kTextTypes) {
            const auto& types = (*offer)->types;
            const auto found = std::find(types.begin(), types.end(), wanted);
            if (found != types.end()) {
                type = &*found;
                break;
            }
        }
    }
    int fds[2];
    if (!type || pipe2(fds, O_CLOEXEC) != 0) {
        // Nothing selected, or nothing that is text: answered after what runs now.
        g_idle_add_full(
            G_PRIORITY_DEFAULT,
            [](gpointer data) -> gboolean {
                (*static_cast<PrimaryText*>(data))(std::nullopt);
                return G_SOURCE_REMOVE;
            },
            new PrimaryText(std::move(answer)),
            [](gpointer data) { delete static_cast<PrimaryText*>(data); });
        return;
    }
    zwlr_data_control_offer_v1_receive(primary_, type->c_str(), fds[1]);
    wl_display_flush(display_);
    close(fds[1]);
    fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    auto* transfer = new Transfer{fds[0], {}, std::move(answer)};
    transfer->watch = g_unix_fd_add(
        fds[0], static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), OnTransferData, transfer);
    transfer->deadline = g_timeout_add(
        kSelectionWaitMs,
        [](gpointer data) -> gboolean {
            auto* late = static_cast<Transfer*>(data);
            late->deadline = 0;
            late->answer(std::nullopt); // AnswerOnceWithin's own deadline answered already
            delete late;
            return G_SOURCE_REMOVE;
        },
        transfer);
}

} // namespace tervane
