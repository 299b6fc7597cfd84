#include "util/archivename.h"

#include <string_view>

#include "util/textcase.h"

std::wstring StripPolishLetters(std::wstring text) {
    static constexpr std::wstring_view kPolish = L"ąćęłńóśźżĄĆĘŁŃÓŚŹŻ";
    static constexpr std::wstring_view kBase = L"acelnoszzACELNOSZZ";
    for (auto& c : text) {
        size_t i = kPolish.find(c);
        if (i != std::wstring_view::npos) c = kBase[i];
    }
    return text;
}

std::wstring FolderArchiveName(const std::wstring& folder) {
    std::wstring name = StripPolishLetters(LowerCase(folder.substr(0, 36)));
    ReplaceAllNoCase(L" ", L"_", name);
    ReplaceAllNoCase(L"\\", L".", name);
    ReplaceAllNoCase(L":", L"", name);
    for (auto& c : name) {
        bool allowed = c == L'-' || c == L'.' || c == L'_' || (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z');
        if (!allowed) c = L'_';
    }
    return name;
}
