// A Wayland clipboard owner with several types at once, as an application that copies rich
// content offers it (wl-copy offers one type): `clipboard-owner TYPE=FILE...` owns the seat's
// clipboard through wlr data-control with each file's bytes as its type, prints "ready",
// serves every request and ends when another client takes the clipboard.
#include "wlr-data-control-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <unistd.h>

namespace {

struct Owner {
    wl_seat* seat = nullptr;
    zwlr_data_control_manager_v1* manager = nullptr;
    std::map<std::string, std::string> contents;
    bool cancelled = false;
};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    auto* owner = static_cast<Owner*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && !owner->seat)
        owner->seat =
            static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_data_control_manager_v1_interface.name) == 0)
        owner->manager = static_cast<zwlr_data_control_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_data_control_manager_v1_interface, 1));
}

void OnSend(void* data, zwlr_data_control_source_v1*, const char* type, int32_t fd) {
    const std::string& bytes = static_cast<Owner*>(data)->contents[type];
    for (std::size_t at = 0; at < bytes.size();) {
        const ssize_t put = write(fd, bytes.data() + at, bytes.size() - at);
        if (put <= 0)
            break;
        at += static_cast<std::size_t>(put);
    }
    close(fd);
}

void OnCancelled(void* data, zwlr_data_control_source_v1*) {
    static_cast<Owner*>(data)->cancelled = true;
}

} // namespace

int main(int argc, char** argv) {
    Owner owner;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto equals = arg.rfind('='); // a type may hold one itself
        std::ifstream file(arg.substr(equals + 1), std::ios::binary);
        owner.contents[arg.substr(0, equals)].assign(std::istreambuf_iterator<char>(file), {});
    }
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return 1;
    static const wl_registry_listener registryListener{OnGlobal,
                                                       [](void*, wl_registry*, uint32_t) {}};
    wl_registry_add_listener(wl_display_get_registry(display), &registryListener, &owner);
    wl_display_roundtrip(display);
    if (!owner.seat || !owner.manager)
        return 1;
    zwlr_data_control_source_v1* source =
        zwlr_data_control_manager_v1_create_data_source(owner.manager);
    static const zwlr_data_control_source_v1_listener sourceListener{OnSend, OnCancelled};
    zwlr_data_control_source_v1_add_listener(source, &sourceListener, &owner);
    for (const auto& [type, bytes] : owner.contents)
        zwlr_data_control_source_v1_offer(source, type.c_str());
    zwlr_data_control_device_v1* device =
        zwlr_data_control_manager_v1_get_data_device(owner.manager, owner.seat);
    zwlr_data_control_device_v1_set_selection(device, source);
    wl_display_roundtrip(display);
    std::puts("ready");
    std::fflush(stdout);
    while (!owner.cancelled && wl_display_dispatch(display) >= 0) {
    }
    return 0;
}
