#pragma once
// Paths of the shell's special folders (CSIDL numbers), as UTF-8.
#include <string>

namespace tervane {

// The shared application data folder of all users (CSIDL_COMMON_APPDATA).
inline constexpr int kCommonAppDataFolder = 35;

// The current user's local (not roaming) application data folder (CSIDL_LOCAL_APPDATA).
inline constexpr int kLocalAppDataFolder = 28;

// The current path of special folder `folder`, or the empty text when the shell cannot
// name it.
std::string GetShellFolderPath(int folder);

} // namespace tervane
