#include "cleanup/shellpaths.h"

#include "util/paths.h"
#include "util/textcase.h"

bool IsAbsolutePath(const std::wstring& path) {
    if (path.size() >= 3 && ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
        path[1] == L':' && path[2] == L'\\')
        return true;
    // "\\server\share": a server name and something after it.
    if (path.size() >= 5 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\') {
        size_t share = path.find(L'\\', 2);
        return share != std::wstring::npos && share > 2 && share + 1 < path.size();
    }
    return false;
}

std::optional<std::wstring> ShellPathList(const std::vector<std::wstring>& paths) {
    if (paths.empty()) return std::nullopt;
    std::wstring list;
    for (const auto& path : paths) {
        if (!IsAbsolutePath(path) || path.find(L'\0') != std::wstring::npos) return std::nullopt;
        list += path;
        list += L'\0';
    }
    list += L'\0';
    return list;
}

std::wstring ShortcutFileName(const std::wstring& value, const std::wstring& folder) {
    if (value.empty()) return {};
    std::wstring name = folder.empty() ? value : WithBackslash(folder) + FileNamePart(value);
    if (SameTextNoCase(FileNamePart(name), L".lnk") || FileNamePart(name).empty()) return {};
    if (!EndsWithNoCase(L".lnk", name)) name += L".lnk";
    return name;
}
