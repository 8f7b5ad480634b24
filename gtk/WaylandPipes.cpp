#include "gtk/WaylandPipes.h"

#include <glib-unix.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace tervane {

namespace {

void NonBlocking(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

struct Reading {
    int fd;
    std::size_t mostBytes;
    bool cut;
    PipeData done;
    std::string data;
    guint watch = 0;
    guint deadline = 0;

    ~Reading() {
        if (watch)
            g_source_remove(watch);
        if (deadline)
            g_source_remove(deadline);
        close(fd);
    }
    void Answer(std::optional<std::string> answer) {
        if (auto call = std::move(done))
            call(std::move(answer));
    }
};

gboolean OnReadable(gint fd, GIOCondition, gpointer data) {
    auto* reading = static_cast<Reading*>(data);
    char buffer[65536];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return G_SOURCE_CONTINUE;
    if (got > 0 && reading->data.size() + static_cast<std::size_t>(got) <= reading->mostBytes) {
        reading->data.append(buffer, static_cast<std::size_t>(got));
        return G_SOURCE_CONTINUE;
    }
    if (got > 0 && reading->cut) // enough of it
        reading->data.append(buffer, reading->mostBytes - reading->data.size());
    if (got < 0 || (got > 0 && !reading->cut))
        reading->Answer(std::nullopt);
    else
        reading->Answer(std::move(reading->data));
    reading->watch = 0; // removed by the return below
    delete reading;
    return G_SOURCE_REMOVE;
}

struct Writing {
    int fd;
    std::string data;
    std::function<void()> done;
    std::size_t written = 0;
};

gboolean OnWritable(gint fd, GIOCondition condition, gpointer data) {
    auto* writing = static_cast<Writing*>(data);
    if (!(condition & (G_IO_ERR | G_IO_HUP))) {
        const ssize_t put = write(fd, writing->data.data() + writing->written,
                                  writing->data.size() - writing->written);
        if (put < 0 && (errno == EAGAIN || errno == EINTR))
            return G_SOURCE_CONTINUE;
        if (put > 0)
            writing->written += static_cast<std::size_t>(put);
        if (put >= 0 && writing->written < writing->data.size())
            return G_SOURCE_CONTINUE;
    }
    close(fd);
    if (writing->written == writing->data.size() && writing->done)
        writing->done();
    delete writing;
    return G_SOURCE_REMOVE;
}

} // namespace

void ReadPipe(int fd, std::size_t mostBytes, bool cut, guint deadlineMs, PipeData done) {
    NonBlocking(fd);
    auto* reading = new Reading{fd, mostBytes, cut, std::move(done), {}, 0, 0};
    reading->watch = g_unix_fd_add(fd, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR),
                                   OnReadable, reading);
    reading->deadline = g_timeout_add(
        deadlineMs,
        [](gpointer data) -> gboolean {
            auto* late = static_cast<Reading*>(data);
            late->deadline = 0;
            late->Answer(std::nullopt);
            delete late;
            return G_SOURCE_REMOVE;
        },
        reading);
}

void WritePipe(int fd, std::string data, std::function<void()> written) {
    // A reader that closes its end early ends the write with EPIPE, not the program.
    static const bool ignored = std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
    (void)ignored;
    NonBlocking(fd);
    g_unix_fd_add(fd, static_cast<GIOCondition>(G_IO_OUT | G_IO_HUP | G_IO_ERR), OnWritable,
                  new Writing{fd, std::move(data), std::move(written), 0});
}

} // namespace tervane
