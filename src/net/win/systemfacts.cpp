#include "net/win/systemfacts.h"

#include <windows.h>

#include <algorithm>

#include "util/safeformat.h"
#include "util/sizetext.h"
#include "util/textcase.h"
#include "util/textedit.h"
#include "util/win/registry.h"

namespace {

constexpr wchar_t kWindows9x[] = L"Software\\Microsoft\\Windows\\CurrentVersion";
constexpr wchar_t kWindowsNt[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion";

std::wstring Machine(const std::wstring& key, const std::wstring& name) {
    std::wstring v = RegReadValue(kLocalMachine, key, name, L"");
    return v == L"*** ext string ***" ? L"" : v;
}

std::wstring OrDash(const std::wstring& v, const wchar_t* dash) { return v.empty() ? dash : v; }

void AddUnique(std::vector<std::wstring>& list, const std::wstring& v) {
    if (v.empty()) return;
    for (const auto& x : list)
        if (SameTextNoCase(x, v)) return;
    list.push_back(v);
}

std::wstring Joined(const std::vector<std::wstring>& list, const wchar_t* separator, bool trailing) {
    std::wstring out;
    for (size_t i = 0; i < list.size(); ++i) {
        out += list[i];
        if (trailing || i + 1 < list.size()) out += separator;
    }
    return out;
}

std::wstring MemoryText() {
    MEMORYSTATUSEX m{sizeof(m)};
    if (!GlobalMemoryStatusEx(&m)) return L"-";
    return SafeFormat(L"%s, wirtualnie %s (na dysku %s), wykorzystane %d%%",
                      {SizeText(static_cast<std::int64_t>(m.ullTotalPhys), false),
                       SizeText(static_cast<std::int64_t>(m.ullTotalVirtual), false),
                       SizeText(static_cast<std::int64_t>(m.ullTotalPageFile), false),
                       static_cast<int>(m.dwMemoryLoad)});
}

std::wstring OfficeText() {
    std::vector<std::wstring> names;
    for (const wchar_t* key : {L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                               L"Software\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"}) {
        std::vector<std::wstring> subkeys;
        if (!RegKeyNames(kLocalMachine, key, subkeys)) continue;
        for (const auto& sub : subkeys) {
            const std::wstring name = Machine(std::wstring(key) + L"\\" + sub, L"DisplayName");
            // Click-to-Run installations have keys without "office" in them.
            if (ContainsNoCase(L"office", sub) || ContainsNoCase(L"Microsoft Office", name) ||
                StartsWithNoCase(L"Microsoft 365", name))
                AddUnique(names, name);
        }
    }
    return Joined(names, L"; ", false);
}

std::wstring NamesOf(int root, const wchar_t* key, bool values) {
    std::vector<std::wstring> names;
    if (values) RegValueNames(root, key, names);
    else RegKeyNames(root, key, names);
    return Joined(names, L", ", true);
}

std::wstring PrinterText() {
    std::vector<std::wstring> names, list;
    RegValueNames(kCurrentUser, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Printers", names);
    for (const auto& n : names) AddUnique(list, n);
    RegKeyNames(kLocalMachine, L"System\\CurrentControlSet\\Control\\Print\\Printers", names);
    for (const auto& n : names) AddUnique(list, n);
    RegKeyNames(kCurrentUser, L"Printers\\Connections", names);
    for (auto n : names) {
        std::replace(n.begin(), n.end(), L',', L'\\');
        AddUnique(list, n);
    }
    return Joined(list, L", ", true);
}

std::wstring NetworkText() {
    std::vector<std::wstring> list;
    for (const wchar_t* key : {L"System\\CurrentControlSet\\Services\\Class\\Net",
                               L"System\\CurrentControlSet\\Control\\Class\\{4d36e972-e325-11ce-bfc1-08002be10318}"}) {
        std::vector<std::wstring> subkeys;
        if (!RegKeyNames(kLocalMachine, key, subkeys)) continue;
        for (const auto& sub : subkeys) {
            const std::wstring path = std::wstring(key) + L"\\" + sub;
            // Adapters the system hides (NCF_HIDDEN) are no hardware of the user's.
            const std::wstring characteristics = Machine(path, L"Characteristics");
            if (!characteristics.empty() && (_wtoi(characteristics.c_str()) & 0x8)) continue;
            AddUnique(list, Machine(path, L"DriverDesc"));
        }
    }
    return Joined(list, L"; ", false);
}

}  // namespace

WindowsFacts ReadWindowsFacts() {
    WindowsFacts f;
    f.version = Machine(kWindows9x, L"Version");
    if (f.version.empty()) f.version = Machine(kWindowsNt, L"DisplayVersion");
    if (f.version.empty()) f.version = Machine(kWindowsNt, L"CurrentVersion");
    f.versionNumber = Machine(kWindows9x, L"VersionNumber");
    if (f.versionNumber.empty()) {
        const std::wstring major = Machine(kWindowsNt, L"CurrentMajorVersionNumber");
        const std::wstring minor = Machine(kWindowsNt, L"CurrentMinorVersionNumber");
        const std::wstring build = Machine(kWindowsNt, L"CurrentBuild");
        const std::wstring ubr = Machine(kWindowsNt, L"UBR");
        if (!major.empty()) f.versionNumber = major + L"." + OrDash(minor, L"0");
        else f.versionNumber = Machine(kWindowsNt, L"CurrentVersion");
        if (!build.empty()) f.versionNumber += (f.versionNumber.empty() ? L"" : L".") + build;
        if (!build.empty() && !ubr.empty()) f.versionNumber += L"." + ubr;
    }
    f.plusVersionNumber = Machine(kWindows9x, L"Plus! VersionNumber");
    f.productName = Machine(kWindows9x, L"ProductName");
    if (f.productName.empty()) {
        f.productName = Machine(kWindowsNt, L"ProductName");
        // Windows 11 still calls itself "Windows 10" there; its builds start at 22000.
        const int build = _wtoi(Machine(kWindowsNt, L"CurrentBuild").c_str());
        if (build >= 22000 && StartsWithNoCase(L"Windows 10", f.productName)) f.productName.replace(8, 2, L"11");
    }
    return f;
}

std::vector<std::pair<std::wstring, std::wstring>> ContactInfoRows(const TNazwaAplikacji& program) {
    const WindowsFacts w = ReadWindowsFacts();
    std::wstring ie = Machine(L"Software\\Microsoft\\Internet Explorer", L"svcVersion");
    if (ie.empty()) ie = Machine(L"Software\\Microsoft\\Internet Explorer", L"Version");
    return {
        {L"program", CapitalizeWords(program.productName + L", " + program.companyName)},
        {L"wersja", CapitalizeWords(program.version)},
        {L"data", CapitalizeWords(program.comments)},
        {L"Windows", OrDash(w.productName, L"-") + L", " + OrDash(w.version, L"-") + L": " + OrDash(w.versionNumber, L"-")},
        {L"IE", OrDash(ie, L"-")},
        {L"Office", OfficeText()},
        {L"RAM i dysk", MemoryText()},
        {L"internet", NamesOf(kCurrentUser, L"RemoteAccess\\Profile", false)},
        {L"drukarka", PrinterText()},
        {L"sieć", NetworkText()},
    };
}
