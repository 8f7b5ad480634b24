#include "base/ShellFolder_win.h"

#include "base/WideText_win.h"

#include <windows.h>
#include <shlobj.h>

namespace tervane {

std::string GetShellFolderPath(int folder) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path)))
        return {};
    return Narrow(path);
}

} // namespace tervane
