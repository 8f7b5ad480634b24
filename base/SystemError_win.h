#pragma once
// The system's own reason for a failure, as a person reads it.
#include <windows.h>

#include <string>

namespace tervane {

// The system's message for a Win32 error code or an HRESULT ("Access denied."), without the
// trailing line break; "Error 0x<code>" when the system has no text for it.
std::string SystemErrorText(DWORD code);

} // namespace tervane
