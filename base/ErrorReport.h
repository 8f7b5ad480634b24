#pragma once
// The text of the general error report: the error's message, with a full stop appended
// when the message is not empty and its last character's code is above that of ".".
// So "Disk full" gains one; "Done.", "Stop!" and "(see log)" are shown as they are.
#include <string>

namespace tervane {

std::string ErrorReportText(const std::string& message);

} // namespace tervane
