#include "net/ProxySettings.h"

#include "protocol/Utf8.h"

#include <limits>
#include <optional>

namespace tervane {

namespace {

// A whole text as a 32-bit integer: leading spaces, an optional sign, then decimal digits
// or hexadecimal ones after "$" or "0x". Nothing else may follow.
std::optional<std::int32_t> ToInt32(std::string_view text) {
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string_view::npos)
        return std::nullopt;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-')
        negative = text[i++] == '-';
    int base = 10;
    if (text.substr(i, 1) == "$") {
        base = 16;
        i += 1;
    } else if (text.substr(i, 2) == "0x" || text.substr(i, 2) == "0X") {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        return std::nullopt;
    const std::int64_t limit = negative ? std::int64_t{1} << 31 : (std::int64_t{1} << 31) - 1;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

// "ProxyServer" as text. A value of another type reads as empty when it holds no data.
std::string ReadServer(RegistryKey& key) {
    const std::optional<RegistryValue> value = key.Read("ProxyServer");
    if (!value)
        return {};
    if (value->type == RegistryType::String || value->type == RegistryType::ExpandString)
        return value->text;
    if (!value->bytes.empty())
        ThrowInvalidDataType("ProxyServer");
    return {};
}

// "ProxyEnable" by its type; `enabled` stays as it is for a type that says nothing.
void ReadEnabled(RegistryKey& key, bool& enabled) {
    const std::optional<RegistryValue> value = key.Read("ProxyEnable");
    if (!value)
        return;
    switch (value->type) {
    case RegistryType::String:
    case RegistryType::ExpandString: {
        // A plain substring search: a run of adjacent words of a list counts as one word.
        std::string word = " ";
        word.append(tervane::protocol::ToLowerAscii(value->text)).append(" ");
        enabled = std::string_view(" yes true t enabled 1 ").find(word) != std::string::npos ||
                  std::string_view(" no false f none disabled 0 ").find(word) == std::string::npos;
        break;
    }
    case RegistryType::Dword:
        enabled = value->number != 0;
        break;
    case RegistryType::Binary:
        if (value->bytes.size() > 1)
            ThrowInvalidDataType("ProxyEnable");
        enabled = value->bytes.empty() || value->bytes[0] != 0;
        break;
    case RegistryType::Other:
        break;
    }
}

} // namespace

bool GetProxySettings(Registry& registry, std::string& host, std::int32_t& port, bool& enabled) {
    enabled = false;
    std::string server;
    const std::unique_ptr<RegistryKey> key = registry.Open(kInternetSettingsKey, true, true);
    if (!key)
        return false;
    server = ReadServer(*key);
    if (!server.empty()) {
        const std::size_t colon = server.find(':');
        host = server.substr(0, colon);
        const std::string portText =
            colon == std::string::npos ? std::string() : server.substr(colon + 1, 999);
        port = ToInt32(portText).value_or(80);
        enabled = true;
    }
    ReadEnabled(*key, enabled);
    return !server.empty();
}

void ApplySystemProxy(HttpClient& http, Registry& registry) {
    std::string host;
    std::int32_t port = 0;
    bool enabled = false;
    if (!GetProxySettings(registry, host, port, enabled))
        return;
    ProxyParams& proxy = http.Proxy();
    if (enabled) {
        proxy.basicAuthentication = true;
        proxy.proxyPort = port;
        proxy.proxyServer = host;
    } else {
        proxy.Clear();
    }
}

} // namespace tervane
