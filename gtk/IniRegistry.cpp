#include "gtk/IniRegistry.h"

#include <glib.h>

#include <charconv>
#include <memory>

namespace tervane {

namespace {

struct KeyFileFree {
    void operator()(GKeyFile* file) const { g_key_file_free(file); }
};
using KeyFile = std::unique_ptr<GKeyFile, KeyFileFree>;

// Null when the file is not there or cannot be read as a key file.
KeyFile ReadKeyFile(const std::string& path) {
    KeyFile file(g_key_file_new());
    if (!g_key_file_load_from_file(file.get(), path.c_str(), G_KEY_FILE_KEEP_COMMENTS, nullptr))
        return nullptr;
    return file;
}

bool WriteKeyFile(const std::string& path, GKeyFile* file) {
    gchar* folder = g_path_get_dirname(path.c_str());
    const int made = g_mkdir_with_parents(folder, 0700);
    g_free(folder);
    if (made != 0)
        return false;
    return g_key_file_save_to_file(file, path.c_str(), nullptr);
}

class IniKey final : public RegistryKey {
  public:
    IniKey(std::string path, std::string group, KeyFile file, bool writable)
        : path_(std::move(path)), group_(std::move(group)), file_(std::move(file)),
          writable_(writable) {}

    std::optional<RegistryValue> Read(std::string_view name) override {
        gchar* raw =
            g_key_file_get_value(file_.get(), group_.c_str(), std::string(name).c_str(), nullptr);
        if (!raw)
            return std::nullopt;
        RegistryValue value = ParseIniValue(raw);
        g_free(raw);
        return value;
    }

    bool WriteString(std::string_view name, std::string_view text) override {
        return Write(name, FormatIniString(text));
    }

    bool WriteDword(std::string_view name, std::uint32_t number) override {
        return Write(name, FormatIniDword(number));
    }

  private:
    bool Write(std::string_view name, const std::string& text) {
        if (!writable_)
            return false;
        g_key_file_set_value(file_.get(), group_.c_str(), std::string(name).c_str(), text.c_str());
        return WriteKeyFile(path_, file_.get());
    }

    std::string path_;
    std::string group_;
    KeyFile file_;
    bool writable_;
};

} // namespace

std::unique_ptr<RegistryKey> IniRegistry::Open(std::string_view path, bool create, bool writable) {
    const std::string group(path);
    KeyFile file = ReadKeyFile(path_);
    if (!file) {
        if (!create || g_file_test(path_.c_str(), G_FILE_TEST_EXISTS))
            return nullptr; // no settings yet, or a file that cannot be read
        file.reset(g_key_file_new());
    }
    if (!g_key_file_has_group(file.get(), group.c_str())) {
        if (!create)
            return nullptr;
        // GKeyFile writes a group only with a value in it; the key exists once it is on disk.
        if (!WriteKeyFile(path_, file.get()))
            return nullptr;
    }
    return std::make_unique<IniKey>(path_, group, std::move(file), writable);
}

RegistryValue ParseIniValue(std::string_view text) {
    RegistryValue value;
    value.bytes.assign(text.begin(), text.end());
    constexpr std::string_view kDword = "dword:";
    if (text.substr(0, kDword.size()) == kDword) {
        const std::string_view digits = text.substr(kDword.size());
        std::uint32_t number = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (error == std::errc() && end == digits.data() + digits.size() && !digits.empty()) {
            value.type = RegistryType::Dword;
            value.number = number;
        }
        return value;
    }
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        std::string unescaped;
        for (std::size_t i = 1; i + 1 < text.size(); ++i) {
            char c = text[i];
            if (c == '\\' && i + 2 < text.size()) {
                c = text[++i];
                if (c == 'n')
                    c = '\n';
                else if (c == 'r')
                    c = '\r';
            }
            unescaped += c;
        }
        value.type = RegistryType::String;
        value.text = std::move(unescaped);
    }
    return value;
}

std::string FormatIniString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out + "\"";
}

std::string FormatIniDword(std::uint32_t number) {
    return "dword:" + std::to_string(number);
}

} // namespace tervane
