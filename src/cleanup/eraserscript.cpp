#include "cleanup/eraserscript.h"

#include "cleanup/shellpaths.h"

namespace {

bool Quotable(const std::wstring& path) {
    return IsAbsolutePath(path) && path.find_first_of(L"\"\r\n") == std::wstring::npos &&
           path.find(L'\0') == std::wstring::npos;
}

}  // namespace

std::wstring QuotedForBatch(const std::wstring& path) {
    std::wstring out;
    for (wchar_t c : path) {
        out += c;
        if (c == L'%') out += L'%';
    }
    return L"\"" + out + L"\"";
}

std::wstring EraserScriptText(const EraserScript& script) {
    if (script.files.empty()) return {};
    for (const auto& f : script.files)
        if (!Quotable(f)) return {};
    if (!script.folder.empty() && !Quotable(script.folder)) return {};
    const std::wstring limit = std::to_wstring(script.attempts > 0 ? script.attempts : 1);

    std::wstring text;
    auto line = [&](const std::wstring& l) { text += l + L"\r\n"; };
    line(L"@echo off");
    for (size_t i = 0; i < script.files.size(); ++i) {
        const std::wstring file = QuotedForBatch(script.files[i]);
        // A folder of that name is never a file to delete ("del" would empty it).
        const std::wstring folderMask = QuotedForBatch(script.files[i] + L"\\*");
        const std::wstring n = std::to_wstring(i);
        line(L"set /a proby=0");
        line(L":plik" + n);
        line(L"if not exist " + file + L" goto dalej" + n);
        line(L"if exist " + folderMask + L" goto dalej" + n);
        line(L"del /f " + file + L" <nul >nul 2>&1");
        line(L"if not exist " + file + L" goto dalej" + n);
        line(L"set /a proby+=1");
        line(L"if %proby% geq " + limit + L" goto dalej" + n);
        line(L"ping -n 2 -w 1000 127.0.0.1 >nul 2>&1");
        line(L"goto plik" + n);
        line(L":dalej" + n);
    }
    // "rmdir" without /s removes only an empty folder.
    if (!script.folder.empty()) line(L"rmdir " + QuotedForBatch(script.folder) + L" <nul >nul 2>&1");
    // The script deletes itself last; the command processor then finds no
    // more lines to read and ends.
    line(L"del \"%~f0\" <nul >nul 2>&1");
    return text;
}
