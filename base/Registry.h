#pragma once
// What the program needs of the registry (the current user's hive): open a key, read a
// value with its type, write texts and numbers. Implemented over Win32 (Registry_win.h)
// and, for native tests, in memory (tests/unit/FakeRegistry.h). Names and texts are UTF-8.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tervane {

enum class RegistryType { String, ExpandString, Dword, Binary, Other };

// One stored value: its type and its data. `text` holds the data of the two text types,
// `number` that of a 32-bit number, `bytes` the raw data of every type.
struct RegistryValue {
    RegistryType type = RegistryType::Other;
    std::string text;
    std::uint32_t number = 0;
    std::vector<std::uint8_t> bytes;
};

class RegistryKey {
  public:
    virtual ~RegistryKey() = default;
    // The value, or nothing when the key has no value of that name.
    virtual std::optional<RegistryValue> Read(std::string_view name) = 0;
    // False when the system refused the write.
    virtual bool WriteString(std::string_view name, std::string_view text) = 0;
    virtual bool WriteDword(std::string_view name, std::uint32_t number) = 0;
};

class Registry {
  public:
    virtual ~Registry() = default;
    // Opens a key below HKEY_CURRENT_USER (`path` without a leading backslash), creating it
    // when `create` is set; for writing too when `writable` is set. Null when it cannot.
    virtual std::unique_ptr<RegistryKey> Open(std::string_view path, bool create,
                                              bool writable) = 0;
};

// Typed reads and writes that fail the way the program reports them: a value of another
// type is "Invalid data type for '<name>'", a refused write "Failed to set data for
// '<name>'" (both std::runtime_error). Reads give nothing for an absent value.
std::optional<std::string> ReadText(RegistryKey& key, std::string_view name);
std::optional<std::int32_t> ReadInteger(RegistryKey& key, std::string_view name);
void WriteText(RegistryKey& key, std::string_view name, std::string_view text);
void WriteInteger(RegistryKey& key, std::string_view name, std::int32_t number);

// The error of a value read as the wrong type.
[[noreturn]] void ThrowInvalidDataType(std::string_view name);

} // namespace tervane
