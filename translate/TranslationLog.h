#pragma once
// The translation log "Translations.LOG": a banner written when the file is created, then
// one record per logged translation, appended only to a file that already exists. UTF-8
// text without byte-order mark, every line ended by CR LF; the source and the translation
// go in as they are, line breaks and all.
#include "translate/LogTimeStamp.h"

#include <string>
#include <string_view>
#include <utility>

namespace tervane {

inline constexpr std::string_view kTranslationLogFileName = "Translations.LOG";

// The log's path in `folder` (the shared application data folder; when that is unknown,
// the empty text, which puts the file at the root of the current drive).
std::string TranslationLogPath(std::string_view folder);

// The four banner lines.
std::string TranslationLogBanner();

// The eleven lines of one record: an empty line, the heading naming the two languages as
// the pickers show them and the time stamp, then source and translation, each set off by
// its marker line and empty lines.
std::string TranslationLogRecord(std::string_view sourceName, std::string_view targetName,
                                 std::string_view timeStamp, std::string_view source,
                                 std::string_view translation);

// `text` with each line break that is a line feed alone made CR LF, for a system whose texts
// end their lines with LF (the Linux desktop), so that every line of the log ends alike.
std::string WithCrLfLineEnds(std::string_view text);

// What the log needs of the file system. Both throw std::runtime_error with the system's
// reason ("Access denied.", "Disk full.") when a file can't be created, opened or written.
class LogFiles {
  public:
    virtual ~LogFiles() = default;
    // Appends `bytes` at the end of the file at `path`; false, writing nothing, when no
    // file is there.
    virtual bool AppendToExisting(const std::string& path, std::string_view bytes) = 0;
    // Creates the file at `path` holding `bytes`; false, leaving it alone, when a file of
    // that name exists.
    virtual bool CreateNew(const std::string& path, std::string_view bytes) = 0;
};

class TranslationLog {
  public:
    TranslationLog(std::string path, LogFiles& files, UserClock& clock)
        : path_(std::move(path)), files_(files), clock_(clock) {}

    const std::string& Path() const { return path_; }

    // Appends one record stamped with the time now, when the file exists; never creates
    // it. Returns whether the record was written.
    bool Append(std::string_view sourceName, std::string_view targetName, std::string_view source,
                std::string_view translation);

    // Creates the file with its banner when there is none. Returns whether it did.
    bool CreateWithBanner();

  private:
    std::string path_;
    LogFiles& files_;
    UserClock& clock_;
};

} // namespace tervane
