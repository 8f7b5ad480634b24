#pragma once
// An in-memory registry for native tests: keys by path, values with their types, and
// writes that can be made to fail by name.
#include "base/Registry.h"

#include <map>
#include <set>
#include <string>

namespace tervane {

class FakeRegistry final : public Registry {
  public:
    using Values = std::map<std::string, RegistryValue, std::less<>>;

    std::map<std::string, Values, std::less<>> keys;
    std::set<std::string, std::less<>> refusedWrites; // value names whose writes fail
    int opens = 0;
    int openKeys = 0; // keys opened and not yet closed

    static RegistryValue Text(std::string text, RegistryType type = RegistryType::String) {
        RegistryValue value;
        value.type = type;
        value.bytes.assign(text.begin(), text.end());
        value.text = std::move(text);
        return value;
    }
    static RegistryValue Dword(std::uint32_t number) {
        RegistryValue value;
        value.type = RegistryType::Dword;
        value.number = number;
        for (int i = 0; i < 4; ++i)
            value.bytes.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
        return value;
    }
    static RegistryValue Binary(std::vector<std::uint8_t> bytes) {
        RegistryValue value;
        value.type = RegistryType::Binary;
        value.bytes = std::move(bytes);
        return value;
    }

    std::unique_ptr<RegistryKey> Open(std::string_view path, bool create, bool writable) override {
        ++opens;
        auto it = keys.find(path);
        if (it == keys.end()) {
            if (!create)
                return nullptr;
            it = keys.emplace(std::string(path), Values{}).first;
        }
        ++openKeys;
        return std::make_unique<Key>(*this, it->second, writable);
    }

  private:
    class Key final : public RegistryKey {
      public:
        Key(FakeRegistry& registry, Values& values, bool writable)
            : registry_(registry), values_(values), writable_(writable) {}
        ~Key() override { --registry_.openKeys; }
        Key(const Key&) = delete;
        Key& operator=(const Key&) = delete;
        std::optional<RegistryValue> Read(std::string_view name) override {
            const auto it = values_.find(name);
            if (it == values_.end())
                return std::nullopt;
            return it->second;
        }
        bool WriteString(std::string_view name, std::string_view text) override {
            if (!Writable(name))
                return false;
            values_[std::string(name)] = Text(std::string(text));
            return true;
        }
        bool WriteDword(std::string_view name, std::uint32_t number) override {
            if (!Writable(name))
                return false;
            values_[std::string(name)] = Dword(number);
            return true;
        }

      private:
        bool Writable(std::string_view name) const {
            return writable_ && registry_.refusedWrites.count(std::string(name)) == 0;
        }
        FakeRegistry& registry_;
        Values& values_;
        bool writable_;
    };
};

} // namespace tervane
