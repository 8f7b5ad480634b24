#pragma once
// The registry seam over the Win32 wide registry functions, below HKEY_CURRENT_USER.
#include "base/Registry.h"

namespace tervane {

class WinRegistry final : public Registry {
  public:
    std::unique_ptr<RegistryKey> Open(std::string_view path, bool create, bool writable) override;
};

} // namespace tervane
