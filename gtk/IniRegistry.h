#pragma once
// The registry seam (base/Registry.h) over one settings file read and written by GLib's
// GKeyFile, so that the settings store's rules run unchanged on Linux. A key is a group
// named by its path ("[Software\Vellmark\Tervane]"); a value keeps its type in its text, as
// a registry export does: `name=dword:16` is a number, `name="100"` a text (\\ and \"
// escaped, line breaks as \r and \n), anything else a value of another type, which the
// typed reads refuse ("Invalid data type for 'name'"). Every write replaces the whole file
// atomically (g_file_set_contents), so a failed write leaves the earlier file as it was.
#include "base/Registry.h"

#include <string>
#include <utility>

namespace tervane {

class IniRegistry final : public Registry {
  public:
    explicit IniRegistry(std::string path) : path_(std::move(path)) {}
    std::unique_ptr<RegistryKey> Open(std::string_view path, bool create, bool writable) override;

    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

// One line's value as the file keeps it, and back.
RegistryValue ParseIniValue(std::string_view text);
std::string FormatIniString(std::string_view text);
std::string FormatIniDword(std::uint32_t number);

} // namespace tervane
