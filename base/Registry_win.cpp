#include "base/Registry_win.h"

#include "base/WideText_win.h"

#include <windows.h>

namespace tervane {

namespace {

class WinRegistryKey final : public RegistryKey {
  public:
    explicit WinRegistryKey(HKEY key) : key_(key) {}
    ~WinRegistryKey() override { RegCloseKey(key_); }
    WinRegistryKey(const WinRegistryKey&) = delete;
    WinRegistryKey& operator=(const WinRegistryKey&) = delete;

    std::optional<RegistryValue> Read(std::string_view name) override {
        const std::wstring wideName = Widen(name);
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS)
            return std::nullopt;
        RegistryValue value;
        value.bytes.resize(size);
        if (size > 0 && RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, value.bytes.data(),
                                         &size) != ERROR_SUCCESS)
            return std::nullopt;
        value.bytes.resize(size);
        switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            value.type = type == REG_SZ ? RegistryType::String : RegistryType::ExpandString;
            std::wstring text(reinterpret_cast<const wchar_t*>(value.bytes.data()),
                              value.bytes.size() / sizeof(wchar_t));
            // Stored texts usually end with their terminating zero; some hold more.
            text.resize(wcsnlen(text.c_str(), text.size()));
            value.text = Narrow(text);
            break;
        }
        case REG_DWORD:
            value.type = RegistryType::Dword;
            if (value.bytes.size() >= sizeof(DWORD))
                value.number = *reinterpret_cast<const DWORD*>(value.bytes.data());
            break;
        case REG_BINARY:
            value.type = RegistryType::Binary;
            break;
        default:
            value.type = RegistryType::Other;
            break;
        }
        return value;
    }

    bool WriteString(std::string_view name, std::string_view text) override {
        const std::wstring wide = Widen(text);
        return RegSetValueExW(key_, Widen(name).c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(wide.c_str()),
                              static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) ==
               ERROR_SUCCESS;
    }

    bool WriteDword(std::string_view name, std::uint32_t number) override {
        const DWORD data = number;
        return RegSetValueExW(key_, Widen(name).c_str(), 0, REG_DWORD,
                              reinterpret_cast<const BYTE*>(&data), sizeof(data)) == ERROR_SUCCESS;
    }

  private:
    HKEY key_;
};

} // namespace

std::unique_ptr<RegistryKey> WinRegistry::Open(std::string_view path, bool create, bool writable) {
    const REGSAM access = writable ? KEY_READ | KEY_WRITE : KEY_READ;
    const std::wstring subKey = Widen(path);
    HKEY key = nullptr;
    const LONG status = create ? RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0,
                                                 access, nullptr, &key, nullptr)
                               : RegOpenKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, access, &key);
    if (status != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<WinRegistryKey>(key);
}

} // namespace tervane
