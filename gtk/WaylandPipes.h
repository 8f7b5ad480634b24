#pragma once
// The two ends of a Wayland data transfer, on the main loop: a selection's data comes
// through a pipe the owning client writes into, and data this program owns goes out through
// the pipe a reader gave. Neither waits for the other client: a writer that never closes
// is given up at a deadline, a reader that never reads is written to as it reads.
#include <glib.h>

#include <functional>
#include <optional>
#include <string>

namespace tervane {

using PipeData = std::function<void(std::optional<std::string> data)>;

// Reads `fd` (closed afterwards) to its end and calls `done` once on the main loop with what
// came: nothing on a read error, at `deadlineMs`, or beyond `mostBytes` when `cut` is
// false; with the first `mostBytes` when it is true.
void ReadPipe(int fd, std::size_t mostBytes, bool cut, guint deadlineMs, PipeData done);

// Writes `data` into `fd` as the reader takes it, then closes it and calls `written` (when
// given) on the main loop; a reader that goes away ends the write, and `written` never comes.
void WritePipe(int fd, std::string data, std::function<void()> written = nullptr);

} // namespace tervane
