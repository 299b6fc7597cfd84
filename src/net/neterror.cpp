#include "net/neterror.h"

std::wstring NetErrorText(NetError error) {
    switch (error) {
        case NetError::None: return L"Bez błędu.";
        case NetError::Aborted: return L"Połączenie przerwano na żądanie.";
        case NetError::BadAddress: return L"Nieprawidłowy adres serwera lub skrzynki pocztowej.";
        case NetError::HostNotFound: return L"Nie znaleziono serwera o tej nazwie.";
        case NetError::ConnectFailed: return L"Nie udało się połączyć z serwerem.";
        case NetError::ConnectTimeout: return L"Serwer nie odpowiedział na próbę połączenia.";
        case NetError::IdleTimeout: return L"Serwer przestał odpowiadać.";
        case NetError::ConnectionLost: return L"Serwer zerwał połączenie przed końcem wymiany danych.";
        case NetError::SecureChannel: return L"Nie udało się nawiązać bezpiecznego połączenia z serwerem.";
        case NetError::Certificate: return L"Certyfikat serwera nie przeszedł weryfikacji.";
        case NetError::BadResponse: return L"Serwer przysłał nieprawidłową odpowiedź.";
        case NetError::HttpStatus: return L"Serwer nie wydał pliku.";
        case NetError::TooManyRedirects: return L"Serwer przekierowuje zbyt wiele razy.";
        case NetError::InsecureRedirect:
            return L"Serwer przekierował bezpieczne połączenie (https) na niezabezpieczone (http).";
        case NetError::TooLarge: return L"Plik jest większy, niż można pobrać.";
        case NetError::Truncated: return L"Pobrano niepełne dane: połączenie przerwano przed końcem pliku.";
        case NetError::Busy: return L"Poprzednie połączenie jeszcze trwa.";
        case NetError::Refused: return L"Serwer poczty odrzucił wiadomość.";
        case NetError::HostNotAllowed: return L"Połączenia z tym adresem są zablokowane.";
        case NetError::System: return L"Błąd usług sieciowych systemu.";
    }
    return L"Nieznany błąd sieci.";
}
