#include "service/apertium/host/MemoryStream.h"

#include <lttoolbox/input_file.h>
#include <unicode/ustdio.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <stdio_ext.h>
#include <sys/mman.h>
#include <unistd.h>

namespace tervane::service::host {
namespace {

// A stage's streams live for one request on one thread. Without this every character the
// stages read pays for stdio's lock (the host has threads, so the lock is a real one): a
// twentieth of a request's time went to feof alone.
void UseFromOneThread(FILE* stream) {
    ::__fsetlocking(stream, FSETLOCKING_BYCALLER);
}

} // namespace

std::string WriteInMemory(const std::function<void(UFILE*)>& write) {
    char* buffer = nullptr;
    std::size_t size = 0;
    FILE* out = ::open_memstream(&buffer, &size);
    if (out == nullptr)
        throw std::runtime_error(std::string("open_memstream: ") + std::strerror(errno));
    UseFromOneThread(out);
    // The UFILE does not own the FILE: closing it flushes into the memory stream only.
    UFILE* output = u_finit(out, nullptr, "UTF-8");
    if (output == nullptr) {
        std::fclose(out);
        std::free(buffer);
        throw std::runtime_error("cannot open a UTF-8 output over memory");
    }
    try {
        write(output);
    } catch (...) {
        u_fclose(output);
        std::fclose(out);
        std::free(buffer);
        throw;
    }
    u_fclose(output);
    std::fclose(out);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

std::string ProcessInMemory(const std::string& input,
                            const std::function<void(InputFile&, UFILE*)>& process) {
    // fmemopen refuses an empty buffer; an empty stream is a stream that ends at once.
    static char nothing = 0;
    FILE* in = input.empty() ? ::fmemopen(&nothing, 1, "r")
                             : ::fmemopen(const_cast<char*>(input.data()), input.size(), "r");
    if (in == nullptr)
        throw std::runtime_error(std::string("fmemopen: ") + std::strerror(errno));
    UseFromOneThread(in);
    if (input.empty())
        std::fgetc(in);
    InputFile file; // closes `in` when it goes
    file.wrap(in);
    return WriteInMemory([&](UFILE* output) { process(file, output); });
}

MemoryFile::MemoryFile() {
    fd_ = ::memfd_create("tervane-stage", MFD_CLOEXEC);
    if (fd_ < 0)
        throw std::runtime_error(std::string("memfd_create: ") + std::strerror(errno));
}

MemoryFile::~MemoryFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::string MemoryFile::Hold(const std::string& input) {
    if (::ftruncate(fd_, 0) != 0)
        throw std::runtime_error(std::string("ftruncate: ") + std::strerror(errno));
    std::size_t written = 0;
    while (written < input.size()) {
        const ssize_t n = ::pwrite(fd_, input.data() + written, input.size() - written,
                                   static_cast<off_t>(written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw std::runtime_error(std::string("pwrite: ") + std::strerror(errno));
        written += static_cast<std::size_t>(n);
    }
    // Opening the name opens the file anew, at its start.
    return "/proc/self/fd/" + std::to_string(fd_);
}

} // namespace tervane::service::host
