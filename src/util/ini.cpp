#include "util/ini.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <vector>

#include "util/booltext.h"
#include "util/cp1250.h"
#include "util/failure.h"
#include "util/textcase.h"

// The file is handled as bytes: a write changes only the line (or adds the
// lines) it has to, and every other byte of the file stays as it was.
namespace {

constexpr size_t kMaxValueLength = 200;

std::optional<std::string> ReadBytes(const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// One line: its text without the line break, and where the next line starts.
struct Line {
    std::string_view text;
    size_t begin = 0;
    size_t next = 0;
    bool hasBreak = false;
};

std::vector<Line> SplitLines(const std::string& bytes) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t nl = bytes.find('\n', pos);
        size_t end = nl == std::string::npos ? bytes.size() : nl;
        size_t textEnd = end > pos && bytes[end - 1] == '\r' ? end - 1 : end;
        lines.push_back({std::string_view(bytes).substr(pos, textEnd - pos), pos,
                         nl == std::string::npos ? bytes.size() : nl + 1, nl != std::string::npos});
        pos = lines.back().next;
    }
    return lines;
}

bool SameName(std::string_view bytes, const std::wstring& name) { return SameTextNoCase(Cp1250ToWide(bytes), name); }

// Section header: "[name]" after optional blanks; the name without its blanks.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    line.remove_prefix(1);
    return Trim(line.substr(0, line.find(']')));
}

// Entry "key=value": the key without its blanks, or nullopt for other lines.
std::optional<std::string_view> EntryKey(std::string_view line) {
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    std::string_view key = Trim(line.substr(0, eq));
    if (key.empty()) return std::nullopt;
    return key;
}

// Where a key stands in the file: its section's header line, its own line,
// and the last non-blank line of the section (new keys go after it).
struct Place {
    std::optional<size_t> section;
    std::optional<size_t> entry;
    size_t lastInSection = 0;
};

Place Find(const std::vector<Line>& lines, const std::wstring& section, const std::wstring& key) {
    Place place;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (auto name = SectionName(lines[i].text)) {
            if (place.section) break;  // the first section of that name is the one
            if (SameName(*name, section)) place.section = place.lastInSection = i;
            continue;
        }
        if (!place.section) continue;
        if (!Trim(lines[i].text).empty()) place.lastInSection = i;
        auto entryKey = EntryKey(lines[i].text);
        if (entryKey && SameName(*entryKey, key)) {
            place.entry = i;
            break;
        }
    }
    return place;
}

std::string_view EntryValue(std::string_view line) {
    std::string_view value = Trim(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value.remove_prefix(1);
        value.remove_suffix(1);
    }
    return value;
}

std::string Encode(const std::wstring& text, const std::wstring& file) {
    auto bytes = WideToCp1250(text);
    if (!bytes)
        throw Failure(L"Nie da się zapisać tekstu \"" + text + L"\" w pliku " + file +
                      L": zawiera znaki spoza strony kodowej Windows-1250.");
    return *bytes;
}

}  // namespace

namespace {

std::wstring ReadValue(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                       const std::wstring& defaultValue, size_t maxLength) {
    std::wstring result;
    if (auto bytes = ReadBytes(file)) {
        auto lines = SplitLines(*bytes);
        Place place = Find(lines, section, key);
        if (place.entry) result = Cp1250ToWide(EntryValue(lines[*place.entry].text)).substr(0, maxLength);
    }
    if (result.empty()) result = defaultValue;
    for (auto& c : result)
        if (c == L'~') c = L'"';
    return result;
}

}  // namespace

std::wstring IniReadString(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                           const std::wstring& defaultValue) {
    return ReadValue(file, section, key, defaultValue, kMaxValueLength);
}

std::wstring IniReadWhole(const std::wstring& file, const std::wstring& section, const std::wstring& key) {
    return ReadValue(file, section, key, {}, std::wstring::npos);
}

bool IniWriteString(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                    const std::wstring& text) {
    std::wstring value = text;
    for (auto& c : value) {
        if (c == L'"') c = L'~';
        // A line break would end the entry and let the rest pass for new keys.
        if (c == L'\r' || c == L'\n') c = L' ';
    }
    std::string valueBytes = Encode(value, file);
    std::string keyBytes = Encode(key, file);
    std::string sectionBytes = Encode(section, file);

    std::string bytes = ReadBytes(file).value_or(std::string());
    auto lines = SplitLines(bytes);
    Place place = Find(lines, section, key);
    if (place.entry) {
        const Line& line = lines[*place.entry];
        size_t valueBegin = line.begin + line.text.find('=') + 1;
        bytes.replace(valueBegin, line.begin + line.text.size() - valueBegin, valueBytes);
    } else if (place.section) {
        const Line& last = lines[place.lastInSection];
        bytes.insert(last.next, (last.hasBreak ? "" : "\r\n") + keyBytes + "=" + valueBytes + "\r\n");
    } else {
        if (!lines.empty()) {
            if (!lines.back().hasBreak) bytes += "\r\n";
            if (!Trim(lines.back().text).empty()) bytes += "\r\n";
        }
        bytes += "[" + sectionBytes + "]\r\n" + keyBytes + "=" + valueBytes + "\r\n";
    }

    std::ofstream out(std::filesystem::path(file), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

int IniReadInt(const std::wstring& file, const std::wstring& section, const std::wstring& key, int defaultValue) {
    std::wstring text = IniReadString(file, section, key, L"");
    if (text.empty()) return defaultValue;
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = i < text.size() && text[i] == L'-';
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) ++i;
    std::uint32_t n = 0;  // wraps like the platform's 32-bit reading
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) n = n * 10 + (text[i] - L'0');
    return static_cast<int>(negative ? 0u - n : n);
}

bool IniWriteInt(const std::wstring& file, const std::wstring& section, const std::wstring& key, int value) {
    return IniWriteString(file, section, key, std::to_wstring(value));
}

bool IniReadBool(const std::wstring& file, const std::wstring& section, const std::wstring& key, bool defaultValue) {
    return TextToBool(IniReadString(file, section, key, BoolToText(defaultValue)));
}

bool IniWriteBool(const std::wstring& file, const std::wstring& section, const std::wstring& key, bool value) {
    return IniWriteString(file, section, key, BoolToText(value));
}
