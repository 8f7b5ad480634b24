#include "gtk/IniRegistry.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tervane {

namespace {

struct IniLine {
    std::string name; // empty for a line that is not a value (a comment, a blank line)
    std::string text; // what follows "=", or the whole line when it is not a value
};

struct IniSection {
    std::string name;
    std::vector<IniLine> lines;
};

using IniFile = std::vector<IniSection>;

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

// Lines before the first section belong to a section without a name.
bool ReadIni(const std::string& path, IniFile& file) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    file.assign(1, IniSection{});
    std::string line;
    while (std::getline(in, line)) {
        const std::string_view trimmed = TrimBlanks(line);
        if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
            file.push_back({std::string(trimmed.substr(1, trimmed.size() - 2)), {}});
            continue;
        }
        const std::size_t equals = trimmed.find('=');
        if (equals == std::string_view::npos || trimmed.front() == ';' || trimmed.front() == '#') {
            file.back().lines.push_back({"", std::string(trimmed)});
            continue;
        }
        file.back().lines.push_back({std::string(TrimBlanks(trimmed.substr(0, equals))),
                                     std::string(TrimBlanks(trimmed.substr(equals + 1)))});
    }
    return true;
}

bool WriteIni(const std::string& path, const IniFile& file) {
    std::ostringstream out;
    for (const IniSection& section : file) {
        if (!section.name.empty())
            out << '[' << section.name << "]\n";
        for (const IniLine& line : section.lines) {
            if (line.name.empty())
                out << line.text << '\n';
            else
                out << line.name << '=' << line.text << '\n';
        }
    }
    std::error_code error;
    const std::filesystem::path target(path);
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path(), error);
    const std::string temporary = path + ".new";
    {
        std::ofstream stream(temporary, std::ios::binary | std::ios::trunc);
        if (!stream)
            return false;
        stream << out.str();
        stream.flush();
        if (!stream)
            return false;
    }
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

class IniKey final : public RegistryKey {
  public:
    IniKey(std::string path, std::string section, IniFile file, bool writable)
        : path_(std::move(path)), section_(std::move(section)), file_(std::move(file)),
          writable_(writable) {}

    std::optional<RegistryValue> Read(std::string_view name) override {
        for (const IniLine& line : Section().lines)
            if (!line.name.empty() && line.name == name)
                return ParseIniValue(line.text);
        return std::nullopt;
    }

    bool WriteString(std::string_view name, std::string_view text) override {
        return Write(name, FormatIniString(text));
    }

    bool WriteDword(std::string_view name, std::uint32_t number) override {
        return Write(name, FormatIniDword(number));
    }

  private:
    IniSection& Section() {
        for (IniSection& section : file_)
            if (section.name == section_)
                return section;
        file_.push_back({section_, {}});
        return file_.back();
    }

    bool Write(std::string_view name, std::string text) {
        if (!writable_)
            return false;
        IniSection& section = Section();
        bool replaced = false;
        for (IniLine& line : section.lines) {
            if (line.name == name) {
                line.text = text;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            section.lines.push_back({std::string(name), std::move(text)});
        return WriteIni(path_, file_);
    }

    std::string path_;
    std::string section_;
    IniFile file_;
    bool writable_;
};

} // namespace

std::unique_ptr<RegistryKey> IniRegistry::Open(std::string_view path, bool create, bool writable) {
    IniFile file;
    const bool exists = ReadIni(path_, file);
    if (!exists) {
        if (!create || std::filesystem::exists(path_))
            return nullptr; // no settings yet, or a file that cannot be read
        file.assign(1, IniSection{});
    }
    const bool hasSection = std::any_of(
        file.begin(), file.end(), [&](const IniSection& section) { return section.name == path; });
    if (!hasSection) {
        if (!create)
            return nullptr;
        file.push_back({std::string(path), {}});
        if (!WriteIni(path_, file))
            return nullptr;
    }
    return std::make_unique<IniKey>(path_, std::string(path), std::move(file), writable);
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
