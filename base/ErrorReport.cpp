#include "base/ErrorReport.h"

namespace tervane {

std::string ErrorReportText(const std::string& message) {
    // Compared as an unsigned byte: the last byte of a UTF-8 letter is above '.' too.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

} // namespace tervane
