#include "util/win/userdata.h"

#include "util/win/registry.h"

namespace {
const wchar_t kSection[] = L"Dane użytkownika";
}

const std::array<const wchar_t*, UserData::kCount> UserData::kNames = {
    L"Imię",   L"Nazwisko", L"Firma", L"Adres", L"Kod",         L"Miasto", L"E-mail",
    L"WWW",    L"Telefon",  L"Faks",  L"Bank",  L"Numer konta", L"NIP",    L"Regon"};

void UserData::Load() {
    for (size_t i = 0; i < kCount; ++i) values[i] = ReadSetting(kSection, kNames[i], L"");
}

void UserData::Save() const {
    for (size_t i = 0; i < kCount; ++i) WriteSetting(kSection, kNames[i], values[i]);
}
