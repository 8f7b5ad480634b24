// Where the service's log goes: standard error (LogOutput_posix.cpp, LogOutput_win.cpp) or
// a log file (LogFile.h). The log's own thread is the only writer (LogQueue).
#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace tervane::service {

struct LogOutput {
    std::string name; // for messages: "standard error", "the log file"
    // Writes all of text; false when the output is broken. A blocked output gives up soon
    // after stopping is set, where the platform lets it.
    std::function<bool(std::string_view text, const std::atomic<bool>& stopping)> write;
    // Lines begin with the local time (ISO 8601) in a file, where nothing else stamps them,
    // and on a terminal; not for the journal, nor for a script reading a pipe.
    bool stamped = false;
    // Closes and opens the file again (SIGHUP, after logrotate moved it); none for a stream.
    std::function<void()> reopen;
};

LogOutput StandardErrorOutput();

// The log file used when none is given: none on Linux (the log goes to standard error),
// %LOCALAPPDATA%\Tervane\tervane-service.log on Windows, where a service started at logon
// has no standard error.
std::filesystem::path DefaultLogFile();

// A path given as UTF-8 (a command-line argument) as the system names files.
std::filesystem::path PathFromUtf8(const std::string& text);

} // namespace tervane::service
