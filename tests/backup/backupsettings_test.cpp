// The shared backup settings' registry form: defaults, the yes-words, day
// counts kept in range, locations as typed, and saving only what changed.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "backup/backupsettings.h"

namespace {

// The registry key as a map; Write also keeps the order of writing.
class MapStore : public BackupSettingsStore {
public:
    std::optional<std::wstring> Read(const std::wstring& name) override {
        auto it = values.find(name);
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void Write(const std::wstring& name, const std::wstring& text) override {
        values[name] = text;
        written.push_back(name);
    }
    std::map<std::wstring, std::wstring> values;
    std::vector<std::wstring> written;
};

const std::wstring kDocuments = L"C:\\users\\ala\\Documents\\";

TEST(BackupSettings, AnEmptyKeyGivesTheDefaults) {
    MapStore store;
    const BackupSettings s = ReadBackupSettings(store, kDocuments);
    EXPECT_TRUE(s.WykonujDuzeKopie);
    EXPECT_FALSE(s.KasujDuzeKopieAutomatycznie);
    EXPECT_TRUE(s.KasujDuzeKopieZapytaj);
    EXPECT_EQ(s.DuzeKopieCoDni, 14);
    EXPECT_EQ(s.KasujDuzeKopiePoDniach, 21);
    EXPECT_EQ(s.SciezkaKopiiZapasowych, kDocuments);
    EXPECT_TRUE(s.WykonujMaleKopie);
    EXPECT_FALSE(s.KasujMaleKopieAutomatycznie);
    EXPECT_EQ(s.KasujMaleKopiePoDniach, 21);
    EXPECT_TRUE(store.written.empty()) << "reading records nothing";
}

TEST(BackupSettings, BooleansReadTheYesWordsAndNothingElse) {
    struct Case {
        const wchar_t* stored;
        bool expected;
    } cases[] = {
        {L"TAK", true},   {L"tak", true},  {L"Prawda", true}, {L"OK", true},    {L"1", true},
        {L"yes", true},   {L"TRUE", true}, {L" tak ", true},  {L"NIE", false},  {L"nie", false},
        {L"False", false}, {L"0", false},  {L"t", false},     {L"takk", false}, {L"2", false},
    };
    for (const Case& c : cases) {
        MapStore store;
        // The flag whose default is true shows a "false" reading, and the
        // one whose default is false shows a "true" one.
        store.values[L"Wykonuj duże kopie"] = c.stored;
        store.values[L"Kasuj małe kopie automatycznie"] = c.stored;
        const BackupSettings s = ReadBackupSettings(store, kDocuments);
        EXPECT_EQ(s.WykonujDuzeKopie, c.expected) << c.stored;
        EXPECT_EQ(s.KasujMaleKopieAutomatycznie, c.expected) << c.stored;
    }
    // A missing or empty value is the default, not "false".
    MapStore store;
    store.values[L"Wykonuj duże kopie"] = L"";
    EXPECT_TRUE(ReadBackupSettings(store, kDocuments).WykonujDuzeKopie);
}

TEST(BackupSettings, DayCountsAreWholeNumbersWithinTenYears) {
    struct Case {
        const wchar_t* stored;
        int expected;
    } cases[] = {
        {L"7", 7},     {L" 30 ", 30}, {L"0", 0},       {L"3650", 3650}, {L"3651", 3650}, {L"99999999999", 3650},
        {L"-5", 0},    {L"+9", 9},    {L"7.9", 21},    {L"abc", 21},    {L"1e3", 21},    {L"", 21},
    };
    for (const Case& c : cases) {
        MapStore store;
        store.values[L"Kasuj duże kopie po dniach"] = c.stored;
        EXPECT_EQ(ReadBackupSettings(store, kDocuments).KasujDuzeKopiePoDniach, c.expected) << c.stored;
    }
}

TEST(BackupSettings, TypedDayCountsLoseTheirFraction) {
    EXPECT_EQ(BackupDaysFromText(L"7.9"), 7);
    EXPECT_EQ(BackupDaysFromText(L"7,9"), 7);
    EXPECT_EQ(BackupDaysFromText(L" 21 "), 21);
    EXPECT_EQ(BackupDaysFromText(L".5"), 0);
    EXPECT_EQ(BackupDaysFromText(L"99999"), 3650);
    EXPECT_EQ(BackupDaysFromText(L"-3"), 0);
    EXPECT_EQ(BackupDaysFromText(L""), std::nullopt);
    EXPECT_EQ(BackupDaysFromText(L"7 dni"), std::nullopt);
    EXPECT_EQ(BackupDaysFromText(L"7.x"), std::nullopt);
}

TEST(BackupSettings, WrittenAsTakNieAndDecimalText) {
    MapStore store;
    BackupSettings s;
    s.WykonujDuzeKopie = false;
    s.KasujDuzeKopieAutomatycznie = true;
    s.DuzeKopieCoDni = 9999;  // out of range in memory, in range when stored
    s.SciezkaKopiiZapasowych = L"D:\\Kopie\\";
    EXPECT_EQ(WriteBackupSettings(store, s, nullptr), 9);
    EXPECT_EQ(store.written,
              (std::vector<std::wstring>{L"Wykonuj duże kopie", L"Kasuj duże kopie automatycznie",
                                         L"Kasuj duże kopie zapytaj", L"Duże kopie co dni", L"Kasuj duże kopie po dniach",
                                         L"Ścieżka kopii zapasowych", L"Wykonuj małe kopie",
                                         L"Kasuj małe kopie automatycznie", L"Kasuj małe kopie po dniach"}));
    EXPECT_EQ(store.values[L"Wykonuj duże kopie"], L"NIE");
    EXPECT_EQ(store.values[L"Kasuj duże kopie automatycznie"], L"TAK");
    EXPECT_EQ(store.values[L"Duże kopie co dni"], L"3650");
    EXPECT_EQ(store.values[L"Ścieżka kopii zapasowych"], L"D:\\Kopie\\");
    // And read back as written.
    BackupSettings back = ReadBackupSettings(store, kDocuments);
    s.DuzeKopieCoDni = 3650;
    EXPECT_EQ(back, s);
}

TEST(BackupSettings, SavingWritesOnlyWhatChangedSoASiblingsChangeSurvives) {
    MapStore store;
    const BackupSettings loaded = ReadBackupSettings(store, kDocuments);
    // A sibling program switches small copies off meanwhile.
    store.values[L"Wykonuj małe kopie"] = L"NIE";
    BackupSettings now = loaded;
    now.KasujDuzeKopiePoDniach = 30;
    EXPECT_EQ(WriteBackupSettings(store, now, &loaded), 1);
    EXPECT_EQ(store.written, std::vector<std::wstring>{L"Kasuj duże kopie po dniach"});
    EXPECT_EQ(store.values[L"Wykonuj małe kopie"], L"NIE");
    // The default location, unchanged, is not written for every program.
    EXPECT_EQ(store.values.count(L"Ścieżka kopii zapasowych"), 0u);
    EXPECT_EQ(WriteBackupSettings(store, now, &now), 0);
}

TEST(BackupSettings, LocationsMustBeFullPaths) {
    struct Case {
        const wchar_t* typed;
        std::optional<std::wstring> expected;
    } cases[] = {
        {L"", L""},
        {L"   ", L""},
        {L"D:", L"D:\\"},
        {L"d:\\kopie", L"d:\\kopie\\"},
        {L"D:\\Kopie\\", L"D:\\Kopie\\"},
        {L"D:/Kopie/Łódź", L"D:\\Kopie\\Łódź\\"},
        {L"\\\\serwer\\udział", L"\\\\serwer\\udział\\"},
        {L"\\\\serwer\\udział\\kopie\\", L"\\\\serwer\\udział\\kopie\\"},
        {L"\\", std::nullopt},
        {L"Kopie", std::nullopt},
        {L"..\\Kopie", std::nullopt},
        {L"\\\\serwer", std::nullopt},
        {L"\\\\serwer\\", std::nullopt},
        {L"D:Kopie", std::nullopt},
        {L"D:\\Ko|pie", std::nullopt},
        {L"D:\\a:b", std::nullopt},
        {L"1:\\x", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(BackupLocationFromText(c.typed), c.expected) << c.typed;
}

}  // namespace
