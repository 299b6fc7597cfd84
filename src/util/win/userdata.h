#pragma once
// The user's identity data (name, company, address, bank account, NIP...),
// kept under Software\TEV\Dane użytkownika for the order form.
#include <array>
#include <string>

struct UserData {
    static constexpr size_t kCount = 14;
    // The value names, in order: "Imię", "Nazwisko", "Firma", "Adres", "Kod",
    // "Miasto", "E-mail", "WWW", "Telefon", "Faks", "Bank", "Numer konta",
    // "NIP", "Regon".
    static const std::array<const wchar_t*, kCount> kNames;

    std::array<std::wstring, kCount> values;

    // Reads every value (empty when absent); Save writes all of them.
    void Load();
    void Save() const;
};
