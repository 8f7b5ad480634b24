#pragma once
// The second way to the selection: Internet Explorer's document, read through the shell's
// collection of browser windows and late-bound automation.
#include <string>

namespace tervane {

// The selection of the browser window whose frame is the first "IEFrame" window in the
// z-order (it need not be in the foreground), counted from the end of the shell's
// collection; empty when there is no such window. Throws std::runtime_error when a browser
// object fails (for instance a document that isn't an HTML page).
std::string ReadBrowserSelection();

} // namespace tervane
