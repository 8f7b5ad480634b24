// Apertium's libraries read an InputFile and write an ICU UFILE; the pair host gives them
// memory instead of a process's standard input and output.
#pragma once

#include <functional>
#include <string>

class InputFile;
struct UFILE;

namespace tervane::service::host {

// Calls process over input (UTF-8) and returns what it wrote.
std::string ProcessInMemory(const std::string& input,
                            const std::function<void(InputFile&, UFILE*)>& process);

// A file name that reads input from its start, for the library calls that take a name
// rather than a stream (the tagger's). Valid until the next call on the same object.
class MemoryFile {
  public:
    MemoryFile();
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    std::string Hold(const std::string& input);

  private:
    int fd_ = -1;
};

// An output UFILE over memory, for the calls that open their own input.
std::string WriteInMemory(const std::function<void(UFILE*)>& write);

} // namespace tervane::service::host
