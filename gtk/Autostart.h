#pragma once
// Starting the program when the user logs in: a desktop entry in the user's autostart
// folder ($XDG_CONFIG_HOME/autostart/tervane.desktop), as desktops that follow the XDG
// autostart rules read it.
#include <string>

namespace tervane {

std::string AutostartEntryPath();
bool AutostartEnabled();
// Writes the entry (starting this program's executable) or removes it; throws the
// system's reason when it cannot.
void SetAutostart(bool enabled);

} // namespace tervane
