#include "gtk/PosixLog.h"

#include "gtk/DatePicture.h"

#include <glib.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <langinfo.h>
#include <stdexcept>
#include <unistd.h>

namespace tervane {

namespace {

[[noreturn]] void ThrowErrno() {
    throw std::runtime_error(std::strerror(errno));
}

// Writes all of `bytes` and closes the file; the system's reason when it cannot.
void WriteAndClose(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            const int error = wrote == 0 ? ENOSPC : errno;
            close(fd);
            errno = error;
            ThrowErrno();
        }
        done += static_cast<std::size_t>(wrote);
    }
    if (close(fd) != 0)
        ThrowErrno();
}

} // namespace

bool PosixLogFiles::AppendToExisting(const std::string& path, std::string_view bytes) {
    const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return false;
        ThrowErrno();
    }
    WriteAndClose(fd, bytes);
    return true;
}

bool PosixLogFiles::CreateNew(const std::string& path, std::string_view bytes) {
    gchar* folder = g_path_get_dirname(path.c_str());
    const int made = g_mkdir_with_parents(folder, 0700);
    g_free(folder);
    if (made != 0)
        ThrowErrno();
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == EEXIST)
            return false;
        ThrowErrno();
    }
    WriteAndClose(fd, bytes);
    return true;
}

LocalDateTime LocaleClock::Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    LocalDateTime when;
    when.year = local.tm_year + 1900;
    when.month = local.tm_mon + 1;
    when.day = local.tm_mday;
    when.dayOfWeek = local.tm_wday;
    when.hour = local.tm_hour;
    when.minute = local.tm_min;
    when.second = local.tm_sec;
    return when;
}

UserDateTimeFormats LocaleClock::Formats() {
    UserDateTimeFormats formats;
    formats.shortDate = PictureOfStrftime(nl_langinfo(D_FMT));
    formats.longTime = PictureOfStrftime(nl_langinfo(T_FMT));
    for (int i = 0; i < 7; ++i) {
        formats.dayNames[static_cast<std::size_t>(i)] =
            nl_langinfo(static_cast<nl_item>(DAY_1 + i));
        formats.abbreviatedDayNames[static_cast<std::size_t>(i)] =
            nl_langinfo(static_cast<nl_item>(ABDAY_1 + i));
    }
    for (int i = 0; i < 12; ++i) {
        formats.monthNames[static_cast<std::size_t>(i)] =
            nl_langinfo(static_cast<nl_item>(MON_1 + i));
        formats.abbreviatedMonthNames[static_cast<std::size_t>(i)] =
            nl_langinfo(static_cast<nl_item>(ABMON_1 + i));
    }
    formats.am = nl_langinfo(AM_STR);
    formats.pm = nl_langinfo(PM_STR);
    return formats;
}

std::string LinuxTranslationLogPath() {
    return std::string(g_get_user_data_dir()) + "/tervane/Translations.log";
}

} // namespace tervane
