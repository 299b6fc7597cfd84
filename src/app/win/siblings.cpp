#include "app/win/siblings.h"

#include <windows.h>
#include <tlhelp32.h>

#include "interact/ask.h"
#include "util/textcase.h"
#include "util/win/identity.h"

std::vector<std::wstring> RunningExecutables(const std::wstring& ownPath) {
    std::vector<std::wstring> list;
    auto add = [&](const std::wstring& path) {
        if (!ContainsNoCase(L".exe", path)) return;
        if (list.empty() && SameTextNoCase(path, ownPath)) return;
        for (auto& p : list)
            if (SameTextNoCase(p, path)) return;
        list.push_back(path);
    };
    HANDLE procs = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (procs == INVALID_HANDLE_VALUE) return list;
    PROCESSENTRY32W pe{sizeof(pe)};
    for (BOOL more = Process32FirstW(procs, &pe); more; more = Process32NextW(procs, &pe)) {
        HANDLE mods = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pe.th32ProcessID);
        if (mods == INVALID_HANDLE_VALUE) continue;
        MODULEENTRY32W me{sizeof(me)};
        for (BOOL m = Module32FirstW(mods, &me); m; m = Module32NextW(mods, &me)) add(me.szExePath);
        CloseHandle(mods);
    }
    CloseHandle(procs);
    return list;
}

std::vector<std::wstring> SiblingPrograms(const std::vector<std::wstring>& executables, const std::wstring& ownPath) {
    std::vector<std::wstring> siblings;
    for (auto& path : executables) {
        if (SameTextNoCase(path, ownPath) || EndsWithNoCase(L"zbiormenu.exe", path) ||
            EndsWithNoCase(L"wgrywak.exe", path))
            continue;
        if (ContainsNoCase(L"tev", ReadAppIdentity(path).companyName)) siblings.push_back(path);
    }
    return siblings;
}

bool CheckRunningSiblings(bool ask, bool endOnNo) {
    std::wstring own = ExecutablePath();
    std::vector<std::wstring> siblings = SiblingPrograms(RunningExecutables(own), own);
    if (siblings.empty()) return false;
    if (!ask) return true;
    std::wstring body =
        L"Zalecamy, aby w jednej chwili tylko jeden z programów Studio TEV był uruchomiony. Zapewni to integralność "
        L"danych i zapobiegnie kłopotom.\r\nUruchomiony program:";
    for (auto& path : siblings) body += L"\r\n" + ReadAppIdentity(path).IdentityText();
    bool yes = AskHeadline(
        L"Uwaga! Inny program Studio TEV, korzystający z tego samego zestawu danych, jest już uruchomiony. Czy na "
        L"pewno chcesz kontynuować?",
        body);
    if (yes) return false;
    if (endOnNo) ExitProcess(0);
    return true;
}
