#include "backup/infovalues.h"

#include "util/cp1250.h"
#include "util/ini.h"

namespace {

bool KeptAsItIs(unsigned char c) { return c > 0x20 && c < 0x7F && c != '%' && c != '~' && c != '"' && c != '\''; }

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

}  // namespace

std::wstring ExactKeyName(const std::wstring& key) { return key + L"Unicode"; }

std::optional<std::wstring> ExactValue(const std::wstring& text) {
    if (WideToCp1250(text)) return std::nullopt;
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring out;
    for (unsigned char c : WideToUtf8(text)) {
        if (KeptAsItIs(c)) {
            out.push_back(static_cast<wchar_t>(c));
        } else {
            out.push_back(L'%');
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 15]);
        }
    }
    return out;
}

std::optional<std::wstring> TextOfExactValue(const std::wstring& value) {
    std::string bytes;
    for (size_t i = 0; i < value.size(); ++i) {
        const wchar_t c = value[i];
        if (c == L'%') {
            if (i + 2 >= value.size()) return std::nullopt;
            const int hi = HexDigit(value[i + 1]), lo = HexDigit(value[i + 2]);
            if (hi < 0 || lo < 0) return std::nullopt;
            bytes.push_back(static_cast<char>(hi * 16 + lo));
            i += 2;
        } else if (c < 0x80 && KeptAsItIs(static_cast<unsigned char>(c))) {
            bytes.push_back(static_cast<char>(c));
        } else {
            return std::nullopt;
        }
    }
    std::wstring text = Utf8ToWide(bytes);
    if (text.find(L'\xFFFD') != std::wstring::npos) return std::nullopt;
    return text;
}

std::wstring InfoSectionName(const std::wstring& archiveFileName) {
    std::wstring name = Cp1250BestFit(archiveFileName);
    for (auto& c : name) {
        if (c == L'[') c = L'(';
        if (c == L']') c = L')';
    }
    return name;
}

bool WriteInfoValue(const std::wstring& file, const std::wstring& section, const std::wstring& key,
                    const std::wstring& text) {
    if (!IniWriteString(file, section, key, Cp1250BestFit(text))) return false;
    if (auto exact = ExactValue(text)) return IniWriteString(file, section, ExactKeyName(key), *exact);
    // A section written again: an exact text from before must not win.
    if (!IniReadWhole(file, section, ExactKeyName(key)).empty())
        return IniWriteString(file, section, ExactKeyName(key), L"");
    return true;
}

std::wstring ReadInfoValue(const std::wstring& file, const std::wstring& section, const std::wstring& key) {
    const std::wstring exact = IniReadWhole(file, section, ExactKeyName(key));
    if (!exact.empty())
        if (auto text = TextOfExactValue(exact)) return *text;
    return IniReadString(file, section, key, L"");
}
