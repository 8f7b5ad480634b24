#include "gtk/Autostart.h"

#include <glib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace tervane {

std::string AutostartEntryPath() {
    return std::string(g_get_user_config_dir()) + "/autostart/tervane.desktop";
}

bool AutostartEnabled() {
    return std::filesystem::exists(AutostartEntryPath());
}

void SetAutostart(bool enabled) {
    const std::filesystem::path entry = AutostartEntryPath();
    std::error_code error;
    if (!enabled) {
        std::filesystem::remove(entry, error);
        if (error)
            throw std::runtime_error(error.message());
        return;
    }
    std::filesystem::create_directories(entry.parent_path(), error);
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    std::ofstream out(entry, std::ios::trunc);
    out << "[Desktop Entry]\nType=Application\nName=Tervane\n"
        << "Comment=Translate the selected text with a hotkey\n"
        << "Exec=" << (self.empty() ? std::string("tervane") : self.string()) << "\n"
        << "Icon=tervane\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
    if (!out.flush())
        throw std::runtime_error(std::strerror(errno));
}

} // namespace tervane
