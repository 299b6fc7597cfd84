#include "app/win/instance.h"

#include <windows.h>

#include "interact/ask.h"

namespace {

// Global atoms hold at most 255 characters; a longer path is cut alike on
// every start, so the guard still works.
std::wstring AtomText(const std::wstring& exePath) { return exePath.substr(0, 255); }

}  // namespace

std::wstring SingleInstanceQuestion(const std::wstring& exePath) {
    return L"<img src=\"lsys:" + exePath + L"\"><b> Tevsoft 2002:<br>" +
           L"Przynajmniej jedna kopia tego programu jest lub była przed chwilą uruchomiona. Czy jesteś pewien, że "
           L"chcesz uruchomić KOLEJNĄ kopię tego samego programu?\r\n\r\n" +
           L"Zignoruj to ostrzeżenie, jeśli poprzednia kopia programu niespodziewanie zakończyła pracę.";
}

bool SingleInstanceCheck(const std::wstring& exePath) {
    std::wstring text = AtomText(exePath);
    if (GlobalFindAtomW(text.c_str()) != 0) return Ask(SingleInstanceQuestion(exePath));
    GlobalAddAtomW(text.c_str());
    return true;
}

void ReleaseSingleInstance(const std::wstring& exePath) {
    if (ATOM a = GlobalFindAtomW(AtomText(exePath).c_str())) GlobalDeleteAtom(a);
}
