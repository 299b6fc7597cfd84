#include "util/paths.h"

void AddBackslash(std::wstring& path) {
    if (path.empty() || path.back() != L'\\') path += L'\\';
}

void RemoveBackslash(std::wstring& path) {
    if (!path.empty() && path.back() == L'\\') path.pop_back();
}

std::wstring WithBackslash(std::wstring path) {
    AddBackslash(path);
    return path;
}

std::wstring DriveRoot(const std::wstring& path) {
    if (path.size() > 2 && path[1] == L':' && path.compare(0, 2, L"\\\\") != 0) return path.substr(0, 2) + L'\\';
    return path;
}

std::wstring ParentDir(const std::wstring& path) {
    if (path.find(L'\\') == path.rfind(L'\\')) return path;  // one backslash or none
    size_t last = path.find_last_of(L'\\', path.size() - 2);
    return path.substr(0, last + 1);
}

std::wstring FileNamePart(const std::wstring& path) {
    size_t sep = path.find_last_of(L"\\/:");
    return sep == std::wstring::npos ? path : path.substr(sep + 1);
}

std::wstring DirectoryPart(const std::wstring& path) {
    size_t sep = path.find_last_of(L"\\/:");
    return sep == std::wstring::npos ? std::wstring() : path.substr(0, sep + 1);
}

std::wstring ExtensionPart(const std::wstring& path) {
    std::wstring name = FileNamePart(path);
    size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : name.substr(dot);
}
