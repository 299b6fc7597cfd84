#include "app/win/notavailable.h"

#include "interact/ask.h"

void NotAvailableYet(const std::wstring& function) {
    Ask(L"*" + function + L"\r\nTa funkcja nie jest jeszcze dostępna w tej wersji programu Archiwin.");
}
