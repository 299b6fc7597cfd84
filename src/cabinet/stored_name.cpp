#include "cabinet/stored_name.h"

#include "cabinet/cab_format.h"
#include "util/cp1250.h"

#include <algorithm>

StoredName EncodeStoredName(std::wstring_view name) {
    if (auto bytes = WideToCp1250(name)) return {std::move(*bytes), false};
    return {WideToUtf8(name), true};
}

std::wstring DecodeStoredName(std::string_view bytes, uint16_t attributes) {
    return (attributes & cab::kAttrNameIsUtf) ? Utf8ToWide(bytes) : Cp1250ToWide(bytes);
}

namespace {

wchar_t FoldAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; }

}  // namespace

bool SameNameAsciiNoCase(std::wstring_view a, std::wstring_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](wchar_t x, wchar_t y) { return FoldAscii(x) == FoldAscii(y); });
}

std::wstring NameKeyAsciiNoCase(std::wstring_view name) {
    std::wstring key(name);
    for (wchar_t& c : key) c = FoldAscii(c);
    return key;
}
