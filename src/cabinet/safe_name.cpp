#include "cabinet/safe_name.h"

#include "cabinet/platform_file.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsForbidden(wchar_t c) { return c < 0x20 || std::wstring_view(L"<>:\"|?*").find(c) != std::wstring_view::npos; }

wchar_t Upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; }

bool IsDeviceName(std::wstring_view component) {
    std::wstring base(component.substr(0, component.find(L'.')));
    while (!base.empty() && base.back() == L' ') base.pop_back();
    std::transform(base.begin(), base.end(), base.begin(), Upper);
    static constexpr std::array<std::wstring_view, 6> kFixed = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    if (std::find(kFixed.begin(), kFixed.end(), base) != kFixed.end()) return true;
    if (base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT"))) {
        const wchar_t d = base[3];
        return (d >= L'1' && d <= L'9') || d == L'\u00B9' || d == L'\u00B2' || d == L'\u00B3';
    }
    return false;
}

}  // namespace

std::optional<std::filesystem::path> SafeRelativePath(std::wstring_view name) {
    if (name.empty() || IsSeparator(name.front())) return std::nullopt;
    if (name.size() >= 2 && name[1] == L':' && ((name[0] >= L'A' && name[0] <= L'Z') || (name[0] >= L'a' && name[0] <= L'z')))
        return std::nullopt;
    std::filesystem::path result;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        std::wstring component(name.substr(start, end - start));
        start = end + 1;
        if (component.empty()) {
            if (end == name.size()) return std::nullopt;  // a name ending in a separator names no file
            continue;
        }
        if (component == L"." || component == L"..") return std::nullopt;
        for (wchar_t& c : component)
            if (IsForbidden(c)) c = L'_';
        while (!component.empty() && (component.back() == L'.' || component.back() == L' ')) component.pop_back();
        if (component.empty()) return std::nullopt;
        if (IsDeviceName(component)) component.insert(component.begin(), L'_');
        result /= PathFromWide(component);
    }
    return result;
}
