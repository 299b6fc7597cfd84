#include "util/win/identity.h"

#include <windows.h>

#include <vector>

#include "util/paths.h"
#include "util/safeformat.h"

namespace {

std::wstring QueryString(const std::vector<BYTE>& block, const wchar_t* translation, const wchar_t* name) {
    std::wstring key = std::wstring(L"\\StringFileInfo\\") + translation + L"\\" + name;
    wchar_t* value = nullptr;
    UINT len = 0;
    if (VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &len) && value && len > 0)
        return std::wstring(value, wcsnlen(value, len));
    return {};
}

}  // namespace

std::wstring TNazwaAplikacji::IdentityText() const {
    if (!productName.empty() || !companyName.empty())
        return SafeFormat(L"%s (%s) %s", {productName, companyName, version});
    std::wstring name = FileNamePart(path);
    return name.substr(0, name.find(L'.'));
}

TNazwaAplikacji ReadAppIdentity(const std::wstring& path) {
    TNazwaAplikacji id;
    id.path = path;
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    if (size == 0) return id;
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return id;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &len) && fixed) {
        id.version = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                     std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                     std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                     std::to_wstring(LOWORD(fixed->dwFileVersionLS));
    }
    // The strings of the first language listed; the Polish one as a fallback.
    wchar_t translation[16] = L"041504E2";
    struct LangCodePage {
        WORD lang, codePage;
    }* langs = nullptr;
    if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&langs), &len) &&
        langs && len >= sizeof(LangCodePage))
        swprintf(translation, 16, L"%04x%04x", langs[0].lang, langs[0].codePage);
    id.companyName = QueryString(block, translation, L"CompanyName");
    id.productName = QueryString(block, translation, L"ProductName");
    id.comments = QueryString(block, translation, L"Comments");
    id.fileDescription = QueryString(block, translation, L"FileDescription");
    return id;
}

std::wstring ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

const TNazwaAplikacji& OwnIdentity() {
    static const TNazwaAplikacji id = ReadAppIdentity(ExecutablePath());
    return id;
}
