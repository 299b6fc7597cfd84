#include "app/win/periphery.h"

#include "interact/ask.h"
#include "net/win/endpoints.h"

// One line each: a message with a body would show "Anuluj" beside "OK".

void InstallerNotice() {
    Ask(L"*Instalator programów Studio TEV nie wchodzi w skład programu Archiwin. Program Archiwin instaluje "
        L"i uaktualnia plik Archiwin-setup z numerem wersji w nazwie albo automatyczna aktualizacja; inne "
        L"programy Studio TEV instalują ich własne instalatory.");
}

void PrintSettingsNotice() {
    Ask(L"*Archiwin niczego nie drukuje, więc nie ma ustawień wydruków. Wydruki ustawisz w programie Studio TEV, "
        L"z którego drukujesz dokumenty.");
}

void OrderFormNotice(const std::wstring& productName) {
    MakerEndpoints e = ReadEndpoints();
    Ask(L"*Formularz zamówienia nie wchodzi w skład programu " + productName +
        L". Programy Studio TEV zamówisz na stronie " + e.webServer.host + L" albo pisząc na adres " +
        e.generalMailbox + L".");
}
