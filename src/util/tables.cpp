#include "util/tables.h"

#include <array>
#include <cstdint>

namespace {

const std::array<TableInfo, kTableCount> kTables{{
    {L"tts_Brak", L"ttsBrak.dat"},  // 0
    {L"tts_Dziennik_Papirka", L"Dziennik Papirka.dat"},  // 1
    {L"tts_Kontrahenci", L"Kontrahenci.dat"},  // 2
    {L"tts_Uzytkownicy", L"Użytkownicy.dat"},  // 3
    {L"tts_RaportKasowy", L"Raport kasowy.dat"},  // 4
    {L"tts_Faktury", L"Faktury.dat"},  // 5
    {L"tts_Towary", L"Towary.dat"},  // 6
    {L"tts_Dziennik_Kalkulona", L"Raporty Kalkulona.dat"},  // 7
    {L"tts_Konta_Email", L"Konta Email.dat"},  // 8
    {L"tts_Kody_Pocztowe", L"Kody.dat"},  // 9
    {L"tts_Aplikacje_Internetowe", L"Aplikacje Internetowe.dat"},  // 10
    {L"tts_Finovo", L"Moje Finanse.fnv"},  // 11
    {L"tts_Urzedy_Skarbowe", L"urzedy.dat"},  // 12
    {L"tts_Finovo_typowe_konta", L"typowe.dat"},  // 13
    {L"tts_Plan_Papirka", L"Plan Papirka.dat"},  // 14
    {L"tts_Dane_Agendixa", L"Dane Agendixa.dat"},  // 15
    {L"tts_Kontakty_Agendixa", L"Kontakty Agendixa.dat"},  // 16
    {L"tts_Zamowienia", L"zamowienia.dat"},  // 17
    {L"ttsPlodyRolne", L"PlodyRolne.dat"},  // 18
    {L"ttsFakturyRR", L"FakturyRR.dat"},  // 19
    {L"ttsUstawieniaKalkulona", L"Ustawienia Kalkulona.dat"},  // 20
    {L"ttsStaryDialupItem", L"Połączenia Kalkulona.dat"},  // 21
    {L"ttsStareKursyWalut", L"Kursy_walut.dat"},  // 22
    {L"ttsLimityFNV", L"Limity FNV.dat"},  // 23
    {L"tts_Banki", L"banki.dat"},  // 24
    {L"tts_UrzedySkarbowe_Nowe", L"skarbowe.dat"},  // 25
    {L"tts_TaryfyInternetowe", L"Taryfy Internetowe.dat"},  // 26
    {L"tts_Nowy_DialupItems", L"Połączenia Dial-Up.dat"},  // 27
    {L"tts_WZtki", L"WuZetki.dat"},  // 28
    {L"tts_Zbiorowka", L"zbiorówka.dat"},  // 29
    {L"tts_Umowy", L"Umowy.dat"},  // 30
    {L"tts_DziennikKorespondencji", L"Dziennik Korespondencji.dat"},  // 31
    {L"tts_TypowiKontrahenci", L"Typowi kontrahenci.dat"},  // 32
    {L"tts_Delegacje", L"Delegacje.dat"},  // 33
    {L"tts_Deklaracje", L"Deklaracje.dat"},  // 34
    {L"tts_Rejestr_zakupow", L"Rejestr zakupow.dat"},  // 35
    {L"tts_Uslugi_Abonamentowe", L"Usługi abonamentowe.dat"},  // 36
    {L"tts_FakturyEksportowe", L"Faktury Eksportowe.dat"},  // 37
    {L"tts_Samochody", L"Samochody.dat"},  // 38
    {L"tts_KlienciAbonamentowi", L"Klienci abonamentowi.dat"},  // 39
    {L"tts_FakturyAbonamentowe", L"Faktury abonamentowe.dat"},  // 40
    {L"tts_Miasta", L"Miasta.dat"},  // 41
    {L"tts_Male_Banki", L"Oddzialy.dat"},  // 42
    {L"tts_StaleTrasy", L"Stałe trasy.dat"},  // 43
}};

// Kept as a set of 0..47, as the sibling programs keep it.
constexpr std::uint64_t kReferenceTables =
    (1ull << 0) | (1ull << 9) | (1ull << 12) | (1ull << 24) | (1ull << 25) | (1ull << 32) | (1ull << 41) | (1ull << 42);

}  // namespace

const TableInfo& Table(int table) {
    return kTables[table >= 0 && table < kTableCount ? table : 0];
}

bool IsReferenceTable(int table) {
    return table >= 0 && table <= 47 && (kReferenceTables >> table) & 1;
}
