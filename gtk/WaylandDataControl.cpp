#include "gtk/WaylandDataControl.h"

#include "gtk/WaylandPipes.h"
#include "gtk/WaylandVirtualKeyboard.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <glib-unix.h>
#include <wayland-client.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace tervane {

struct DataControlSelections::Offer {
    zwlr_data_control_offer_v1* offer;
    std::vector<std::string> types;
};

struct DataControlSelections::Source {
    zwlr_data_control_source_v1* source;
    SelectionContents contents;
    std::function<void(const std::string&)> sent;
    DataControlSelections* owner;
};

namespace {

// Text types in the order of preference: UTF-8 first; the last two are X11's names that
// XWayland clients announce.
constexpr std::array kTextTypes = {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain", "TEXT",
                                   "STRING"};

// A primary selection larger than this is cut: the balloon shows a few lines of it anyway.
constexpr std::size_t kMostTextBytes = 1 << 20;
// A type of the user's clipboard larger than this is not kept for giving back.
constexpr std::size_t kMostClipboardBytes = std::size_t{256} << 20;

constexpr wl_registry_listener kRegistryListener = {&DataControlSelections::OnGlobal,
                                                    &DataControlSelections::OnGlobalRemove};

// Runs `call` on the main loop after what runs now.
void Later(std::function<void()> call) {
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer data) -> gboolean {
            (*static_cast<std::function<void()>*>(data))();
            return G_SOURCE_REMOVE;
        },
        new std::function<void()>(std::move(call)),
        [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
}

} // namespace

SelectionContents AsText(const std::string& text) {
    SelectionContents contents;
    for (const char* type : kTextTypes)
        contents.emplace_back(type, text);
    return contents;
}

const zwlr_data_control_device_v1_listener kDeviceListener = {
    &DataControlSelections::OnDataOffer,
    &DataControlSelections::OnSelection,
    &DataControlSelections::OnFinished,
    &DataControlSelections::OnPrimarySelection,
};

const zwlr_data_control_offer_v1_listener kOfferListener = {&DataControlSelections::OnOfferType};

const zwlr_data_control_source_v1_listener kSourceListener = {&DataControlSelections::OnSend,
                                                              &DataControlSelections::OnCancelled};

DataControlSelections::DataControlSelections() = default;

std::unique_ptr<DataControlSelections> DataControlSelections::Connect() {
    std::unique_ptr<DataControlSelections> seat(new DataControlSelections);
    seat->display_ = wl_display_connect(nullptr);
    if (!seat->display_)
        return nullptr;
    seat->registry_ = wl_display_get_registry(seat->display_);
    wl_registry_add_listener(seat->registry_, &kRegistryListener, seat.get());
    if (wl_display_roundtrip(seat->display_) < 0 || !seat->manager_ || !seat->seat_)
        return nullptr;
    seat->device_ = zwlr_data_control_manager_v1_get_data_device(seat->manager_, seat->seat_);
    zwlr_data_control_device_v1_add_listener(seat->device_, &kDeviceListener, seat.get());
    // The current selections come at once, when the device is made.
    if (wl_display_roundtrip(seat->display_) < 0)
        return nullptr;
    seat->watch_ = g_unix_fd_add(wl_display_get_fd(seat->display_),
                                 static_cast<GIOCondition>(G_IO_IN | G_IO_ERR | G_IO_HUP),
                                 &DataControlSelections::OnEvents, seat.get());
    return seat;
}

DataControlSelections::~DataControlSelections() {
    Disconnect();
}

void DataControlSelections::ForgetOffers() {
    for (const auto& offer : offers_)
        zwlr_data_control_offer_v1_destroy(offer->offer);
    offers_.clear();
    primary_ = nullptr;
    clipboard_ = nullptr;
}

void DataControlSelections::Disconnect() {
    if (watch_)
        g_source_remove(watch_);
    watch_ = 0;
    ForgetOffers();
    for (const auto& source : sources_)
        zwlr_data_control_source_v1_destroy(source->source);
    sources_.clear();
    keyboard_.reset();
    if (keyboards_)
        zwp_virtual_keyboard_manager_v1_destroy(keyboards_);
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
    keyboards_ = nullptr;
    device_ = nullptr;
    manager_ = nullptr;
    seat_ = nullptr;
    registry_ = nullptr;
    display_ = nullptr;
}

void DataControlSelections::OnGlobal(void* self, wl_registry* registry, uint32_t name,
                                     const char* interface, uint32_t version) {
    auto* seat = static_cast<DataControlSelections*>(self);
    // Version 2 is the first with the primary selection.
    if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0 && version >= 2 &&
        !seat->manager_) {
        seat->manager_ = static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 2));
    } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0 &&
               !seat->keyboards_) {
        seat->keyboards_ = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && !seat->seat_) {
        seat->seat_ =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    }
}

void DataControlSelections::OnDataOffer(void* self, zwlr_data_control_device_v1*,
                                        zwlr_data_control_offer_v1* offer) {
    auto* seat = static_cast<DataControlSelections*>(self);
    seat->offers_.push_back(std::make_unique<Offer>(Offer{offer, {}}));
    zwlr_data_control_offer_v1_add_listener(offer, &kOfferListener, seat->offers_.back().get());
}

void DataControlSelections::OnOfferType(void* offer, zwlr_data_control_offer_v1*,
                                        const char* type) {
    static_cast<Offer*>(offer)->types.emplace_back(type);
}

void DataControlSelections::OnSelection(void* self, zwlr_data_control_device_v1*,
                                        zwlr_data_control_offer_v1* offer) {
    auto* seat = static_cast<DataControlSelections*>(self);
    if (seat->clipboard_ && seat->clipboard_ != offer && seat->clipboard_ != seat->primary_)
        seat->Forget(seat->clipboard_);
    seat->clipboard_ = offer;
}

void DataControlSelections::OnPrimarySelection(void* self, zwlr_data_control_device_v1*,
                                               zwlr_data_control_offer_v1* offer) {
    auto* seat = static_cast<DataControlSelections*>(self);
    if (seat->primary_ && seat->primary_ != offer && seat->primary_ != seat->clipboard_)
        seat->Forget(seat->primary_);
    seat->primary_ = offer;
}

// The seat went away: there is nothing more to read.
void DataControlSelections::OnFinished(void* self, zwlr_data_control_device_v1*) {
    auto* seat = static_cast<DataControlSelections*>(self);
    seat->ForgetOffers();
    zwlr_data_control_device_v1_destroy(seat->device_);
    seat->device_ = nullptr;
}

// A reader asked for one type of what this program owns.
void DataControlSelections::OnSend(void* data, zwlr_data_control_source_v1*, const char* type,
                                   int32_t fd) {
    auto* source = static_cast<Source*>(data);
    const auto found = std::find_if(source->contents.begin(), source->contents.end(),
                                    [&](const auto& content) { return content.first == type; });
    if (found == source->contents.end()) {
        close(fd);
        return;
    }
    if (!source->sent) {
        WritePipe(fd, found->second);
        return;
    }
    WritePipe(fd, found->second, [sent = source->sent, type = found->first] { sent(type); });
}

// Another client owns the clipboard now.
void DataControlSelections::OnCancelled(void* data, zwlr_data_control_source_v1*) {
    auto* source = static_cast<Source*>(data);
    auto& sources = source->owner->sources_;
    zwlr_data_control_source_v1_destroy(source->source);
    sources.erase(std::find_if(sources.begin(), sources.end(),
                               [&](const auto& known) { return known.get() == source; }));
}

const DataControlSelections::Offer*
DataControlSelections::Find(zwlr_data_control_offer_v1* offer) const {
    const auto found = std::find_if(offers_.begin(), offers_.end(),
                                    [&](const auto& known) { return known->offer == offer; });
    return offer && found != offers_.end() ? found->get() : nullptr;
}

void DataControlSelections::Forget(zwlr_data_control_offer_v1* offer) {
    const auto held = std::find_if(offers_.begin(), offers_.end(),
                                   [&](const auto& known) { return known->offer == offer; });
    if (held == offers_.end())
        return;
    zwlr_data_control_offer_v1_destroy(offer);
    offers_.erase(held);
}

gboolean DataControlSelections::OnEvents(gint, GIOCondition condition, gpointer self) {
    auto* seat = static_cast<DataControlSelections*>(self);
    if ((condition & G_IO_IN) && wl_display_dispatch(seat->display_) >= 0)
        return G_SOURCE_CONTINUE;
    // The compositor closed the connection: reads answer nothing from now on.
    seat->watch_ = 0;
    seat->Disconnect();
    return G_SOURCE_REMOVE;
}

void DataControlSelections::Read(PrimaryText done) {
    PrimaryText answer = AnswerOnceWithin(kSelectionWaitMs, std::move(done));
    const std::string* type = nullptr;
    if (const Offer* offer = Find(primary_)) {
        for (const char* wanted : kTextTypes) {
            const auto found = std::find(offer->types.begin(), offer->types.end(), wanted);
            if (found != offer->types.end()) {
                type = &*found;
                break;
            }
        }
    }
    int fds[2];
    if (!type || pipe2(fds, O_CLOEXEC) != 0) {
        // Nothing selected, or nothing that is text.
        Later([answer = std::move(answer)] { answer(std::nullopt); });
        return;
    }
    zwlr_data_control_offer_v1_receive(primary_, type->c_str(), fds[1]);
    wl_display_flush(display_);
    close(fds[1]);
    ReadPipe(fds[0], kMostTextBytes, true, kSelectionWaitMs, std::move(answer));
}

void DataControlSelections::ReadClipboard(std::function<void(SelectionContents)> done) {
    const Offer* offer = Find(clipboard_);
    struct Gathering {
        SelectionContents contents;
        std::vector<std::optional<std::string>> data;
        std::size_t waiting = 0;
        std::function<void(SelectionContents)> done;
        void Finish() {
            SelectionContents read;
            for (std::size_t i = 0; i < data.size(); ++i)
                if (data[i])
                    read.emplace_back(std::move(contents[i].first), std::move(*data[i]));
            done(std::move(read));
        }
    };
    auto gathering = std::make_shared<Gathering>();
    gathering->done = std::move(done);
    for (const std::string& type : offer ? offer->types : std::vector<std::string>{}) {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            continue;
        const std::size_t index = gathering->contents.size();
        gathering->contents.emplace_back(type, std::string());
        gathering->data.emplace_back();
        ++gathering->waiting;
        zwlr_data_control_offer_v1_receive(clipboard_, type.c_str(), fds[1]);
        close(fds[1]);
        ReadPipe(fds[0], kMostClipboardBytes, false, kSelectionWaitMs,
                 [gathering, index](std::optional<std::string> data) {
                     gathering->data[index] = std::move(data);
                     if (--gathering->waiting == 0)
                         gathering->Finish();
                 });
    }
    if (gathering->waiting == 0)
        Later([gathering] { gathering->Finish(); });
    else
        wl_display_flush(display_);
}

bool DataControlSelections::OwnClipboard(SelectionContents contents,
                                         std::function<void(const std::string&)> sent) {
    if (!device_)
        return false;
    zwlr_data_control_source_v1* source = nullptr;
    if (!contents.empty()) {
        source = zwlr_data_control_manager_v1_create_data_source(manager_);
        for (const auto& content : contents)
            zwlr_data_control_source_v1_offer(source, content.first.c_str());
        sources_.push_back(
            std::make_unique<Source>(Source{source, std::move(contents), std::move(sent), this}));
        zwlr_data_control_source_v1_add_listener(source, &kSourceListener, sources_.back().get());
    }
    zwlr_data_control_device_v1_set_selection(device_, source);
    return wl_display_flush(display_) >= 0;
}

WaylandVirtualKeyboard* DataControlSelections::Keyboard() {
    if (!keyboard_ && keyboards_)
        keyboard_ = std::make_unique<WaylandVirtualKeyboard>(display_, keyboards_, seat_);
    return keyboard_.get();
}

} // namespace tervane
