#include "util/textfields.h"

#include "util/textedit.h"

std::wstring FieldAt(wchar_t sep, size_t n, std::wstring_view text) {
    if (n == 0 || CountChar(sep, text) < n - 1) return L"";
    for (size_t i = 1; i < n; ++i) text.remove_prefix(text.find(sep) + 1);
    return std::wstring(text.substr(0, text.find(sep)));
}

std::wstring ListItemAt(size_t n, std::wstring_view text) {
    for (size_t i = 1; i < n && !text.empty(); ++i) {
        size_t p = text.find(L'=');
        if (p == std::wstring_view::npos) p = text.find(L';');
        text = p == std::wstring_view::npos ? std::wstring_view() : text.substr(p + 1);
    }
    return std::wstring(text.substr(0, text.find_first_of(L"=;")));
}
