#include "base/Registry.h"

#include <stdexcept>

namespace tervane {

void ThrowInvalidDataType(std::string_view name) {
    throw std::runtime_error("Invalid data type for '" + std::string(name) + "'");
}

std::optional<std::string> ReadText(RegistryKey& key, std::string_view name) {
    const std::optional<RegistryValue> value = key.Read(name);
    if (!value)
        return std::nullopt;
    if (value->type != RegistryType::String && value->type != RegistryType::ExpandString)
        ThrowInvalidDataType(name);
    return value->text;
}

std::optional<std::int32_t> ReadInteger(RegistryKey& key, std::string_view name) {
    const std::optional<RegistryValue> value = key.Read(name);
    if (!value)
        return std::nullopt;
    if (value->type != RegistryType::Dword)
        ThrowInvalidDataType(name);
    return static_cast<std::int32_t>(value->number);
}

void WriteText(RegistryKey& key, std::string_view name, std::string_view text) {
    if (!key.WriteString(name, text))
        throw std::runtime_error("Failed to set data for '" + std::string(name) + "'");
}

void WriteInteger(RegistryKey& key, std::string_view name, std::int32_t number) {
    if (!key.WriteDword(name, static_cast<std::uint32_t>(number)))
        throw std::runtime_error("Failed to set data for '" + std::string(name) + "'");
}

} // namespace tervane
