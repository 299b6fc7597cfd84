#include <gtest/gtest.h>

#include <algorithm>

#include "guards.h"
#include "support/scripted_responder.h"
#include "util/ini.h"
#include "util/win/options.h"
#include "util/win/registry.h"
#include "util/win/sharedfiles.h"
#include "util/win/userdata.h"

namespace {

// Every test works under its own key Software\TEV\<unique section>, deleted afterwards.
class Registry : public testing::Test {
protected:
    void TearDown() override {
        RegDeleteKey(kCurrentUser, key_);
        HKEY k;
        EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &k), ERROR_SUCCESS) << "test key left behind";
    }

    void Put(const std::wstring& name, DWORD type, const void* data, DWORD size) {
        HKEY k;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(k, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(k);
    }
    void PutText(const std::wstring& name, DWORD type, const std::wstring& text) {
        Put(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    DWORD StoredType(const std::wstring& name) {
        DWORD type = 0;
        RegGetValueW(HKEY_CURRENT_USER, key_.c_str(), name.c_str(), RRF_RT_ANY, &type, nullptr, nullptr);
        return type;
    }

    ScriptedResponder responder_;
    std::wstring section_ = UniqueTestSection();
    std::wstring key_ = SettingsKey(section_);
};

TEST_F(Registry, ReadsEveryKindOfValue) {
    PutText(L"tekst", REG_SZ, L"Zażółć gęślą jaźń");
    PutText(L"pusty", REG_SZ, L"");
    PutText(L"rozwijany", REG_EXPAND_SZ, L"%TEMP%\\x");
    DWORD minusOne = 0xFFFFFFFF, answer = 42;
    Put(L"liczba", REG_DWORD, &answer, 4);
    Put(L"ujemna", REG_DWORD, &minusOne, 4);
    const BYTE two[] = {0x34, 0x12}, eight[] = {1, 2, 3, 4, 5, 6, 7, 8};
    Put(L"binarne", REG_BINARY, two, sizeof two);
    Put(L"dlugie", REG_BINARY, eight, sizeof eight);
    unsigned long long q = 7;
    Put(L"qword", REG_QWORD, &q, 8);

    struct Case { const wchar_t* name; std::wstring value; };
    for (const Case& c : std::initializer_list<Case>{
             {L"tekst", L"Zażółć gęślą jaźń"},
             {L"pusty", L"(domyślny)"},
             {L"rozwijany", L"*** ext string ***"},
             {L"liczba", L"42"},
             {L"ujemna", L"-1"},
             {L"binarne", L"4660"},
             {L"qword", L"(domyślny)"},
             {L"brak", L"(domyślny)"},
         }) {
        EXPECT_EQ(RegReadValue(kCurrentUser, key_, c.name, L"(domyślny)"), c.value) << c.name;
        EXPECT_EQ(LastRegistryError(), L"") << c.name;
    }
    // A binary value too long for its four-byte reading gives the error's text.
    std::wstring tooLong = RegReadValue(kCurrentUser, key_, L"dlugie", L"(domyślny)");
    EXPECT_NE(tooLong, L"(domyślny)");
    EXPECT_EQ(tooLong, LastRegistryError());
    EXPECT_NE(tooLong.find(L"dlugie"), std::wstring::npos);
}

TEST_F(Registry, MissingKeyGivesTheDefaultAndLeavesTheReason) {
    EXPECT_EQ(RegReadValue(kCurrentUser, key_, L"x", L"d"), L"d");
    EXPECT_EQ(LastRegistryError(), L"Can't open key. " + key_);
    EXPECT_EQ(ReadSetting(section_, L"x", L"d"), L"d");
    std::vector<std::wstring> names{L"stare"};
    EXPECT_FALSE(RegValueNames(kCurrentUser, key_, names));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(RegKeyNames(kCurrentUser, key_, names));
    EXPECT_FALSE(RegDeleteKey(kCurrentUser, key_));
    EXPECT_TRUE(responder_.shown.empty());
}

TEST_F(Registry, RootCodesUseTheirLowSevenBits) {
    WriteSetting(section_, L"v", L"1");
    EXPECT_EQ(RegReadValue(kCurrentUser | 0x80, key_, L"v", L""), L"1");
    EXPECT_EQ(RegReadValue(kCurrentUser + 0x100, key_, L"v", L""), L"1");
    // Codes beyond the table mean the classes root, where the key is not.
    EXPECT_EQ(RegReadValue(9, key_, L"v", L"brak"), L"brak");
}

TEST_F(Registry, TypedSettingsAreStoredAsText) {
    WriteSetting(section_, L"Nazwa", L"Łódź");
    WriteSettingInt(section_, L"Liczba", -15);
    WriteSettingBool(section_, L"Tak", true);
    WriteSettingBool(section_, L"Nie", false);
    EXPECT_EQ(ReadSetting(section_, L"Nazwa", L""), L"Łódź");
    EXPECT_EQ(ReadSettingInt(section_, L"Liczba", 0), -15);
    EXPECT_EQ(RegReadValue(kCurrentUser, key_, L"Liczba", L""), L"-15");
    EXPECT_EQ(RegReadValue(kCurrentUser, key_, L"Tak", L""), L"True");
    EXPECT_EQ(RegReadValue(kCurrentUser, key_, L"Nie", L""), L"False");
    for (const wchar_t* name : {L"Nazwa", L"Liczba", L"Tak", L"Nie"}) EXPECT_EQ(StoredType(name), DWORD(REG_SZ)) << name;
    EXPECT_TRUE(responder_.shown.empty());

    std::vector<std::wstring> names;
    ASSERT_TRUE(RegValueNames(kCurrentUser, key_, names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Liczba", L"Nazwa", L"Nie", L"Tak"}));
}

TEST_F(Registry, BooleanAndIntegerReadings) {
    struct Case { const wchar_t* text; bool value; };
    for (const Case& c : std::initializer_list<Case>{{L"Tak", true}, {L"YES", true}, {L"1", true}, {L"true", true},
                                                     {L"prawda", false}, {L"False", false}, {L"2", false}}) {
        WriteSetting(section_, L"b", c.text);
        EXPECT_EQ(ReadSettingBool(section_, L"b", !c.value), c.value) << c.text;
    }
    EXPECT_TRUE(ReadSettingBool(section_, L"brak", true));
    EXPECT_FALSE(ReadSettingBool(section_, L"brak", false));

    struct IntCase { const wchar_t* text; int value; };
    for (const IntCase& c : std::initializer_list<IntCase>{
             {L"12", 12}, {L"-3", -3}, {L"12 szt.", 99}, {L"abc", 99}, {L"99999999999", 99}, {L"", 99}}) {
        WriteSetting(section_, L"i", c.text);
        EXPECT_EQ(ReadSettingInt(section_, L"i", 99), c.value) << c.text;
    }
}

TEST_F(Registry, KeyNamesAndDeletingATree) {
    RegWriteString(kCurrentUser, key_ + L"\\a\\głęboki", L"x", L"1");
    RegWriteString(kCurrentUser, key_ + L"\\b", L"x", L"1");
    std::vector<std::wstring> names;
    ASSERT_TRUE(RegKeyNames(kCurrentUser, key_, names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a", L"b"}));
    EXPECT_TRUE(RegDeleteKey(kCurrentUser, key_));
    EXPECT_FALSE(RegKeyNames(kCurrentUser, key_, names));
    // Never a whole root.
    EXPECT_FALSE(RegDeleteKey(kCurrentUser, L""));
    EXPECT_FALSE(RegDeleteKey(kCurrentUser, L"\\"));
}

TEST_F(Registry, AFailedWriteIsReportedOncePerDayAtMost) {
    // A value name longer than the registry allows cannot be written.
    const std::wstring badName(20000, L'x');
    const std::wstring dayKey = L"RegSaveErr46366";  // the responder's clock: 10 December 2026
    RegistryValueGuard memory(HKEY_CURRENT_USER, SettingsKey(L"DontShowAgain"), dayKey);

    WriteSetting(section_, badName, L"v");
    ASSERT_EQ(responder_.shown.size(), 1u);
    const MessageRequest& shown = responder_.shown[0].message;
    EXPECT_EQ(shown.headline.rfind(L"Nie udała się wymiana danych z Rejestrem Windows!", 0), 0u) << shown.headline;
    EXPECT_TRUE(shown.offerDontShowAgain);
    EXPECT_EQ(shown.key, dayKey);
    // The reason survives the dialog's own reading of its memory.
    EXPECT_FALSE(LastRegistryError().empty());
    EXPECT_NE((shown.headline + shown.body).find(LastRegistryError()), std::wstring::npos);

    // Spared for the rest of the day once the user ticks the box.
    WriteSettingBool(L"DontShowAgain", dayKey, true);
    WriteSetting(section_, badName, L"v");
    EXPECT_EQ(responder_.shown.size(), 1u);
    EXPECT_FALSE(LastRegistryError().empty());
}

TEST_F(Registry, OptionsPreferTheSharedSettingsFile) {
    FileGuard ini(SharedSettingsFile());
    DeleteFileW(SharedSettingsFile().c_str());
    EXPECT_EQ(ReadOption(section_, L"o", L"d"), L"d");
    WriteSetting(section_, L"o", L"z rejestru");
    WriteSettingBool(section_, L"b", true);
    WriteSettingInt(section_, L"i", 5);
    EXPECT_EQ(ReadOption(section_, L"o", L"d"), L"z rejestru");
    EXPECT_TRUE(ReadOptionBool(section_, L"b", false));
    EXPECT_EQ(ReadOptionInt(section_, L"i", 0), 5);

    WriteOption(section_, L"o", L"z pliku");
    WriteOptionBool(section_, L"b", false);
    WriteOptionInt(section_, L"i", 7);
    EXPECT_EQ(IniReadString(SharedSettingsFile(), section_, L"o", L""), L"z pliku");
    EXPECT_EQ(ReadSetting(section_, L"o", L""), L"z pliku");
    WriteSetting(section_, L"o", L"inny");
    WriteSettingBool(section_, L"b", true);
    WriteSettingInt(section_, L"i", 1);
    EXPECT_EQ(ReadOption(section_, L"o", L"d"), L"z pliku");
    EXPECT_FALSE(ReadOptionBool(section_, L"b", true));
    EXPECT_EQ(ReadOptionInt(section_, L"i", 0), 7);
}

TEST(UserDataTest, SavesAndLoadsTheFourteenValues) {
    const std::wstring key = SettingsKey(L"Dane użytkownika");
    HKEY k;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k) == ERROR_SUCCESS) {
        RegCloseKey(k);
        GTEST_SKIP() << "the prefix holds real user data";
    }
    UserData data;
    for (size_t i = 0; i < UserData::kCount; ++i) data.values[i] = L"wartość " + std::to_wstring(i);
    data.Save();
    EXPECT_EQ(ReadSetting(L"Dane użytkownika", L"Imię", L""), L"wartość 0");
    EXPECT_EQ(ReadSetting(L"Dane użytkownika", L"Regon", L""), L"wartość 13");
    UserData loaded;
    loaded.Load();
    EXPECT_EQ(loaded.values, data.values);
    EXPECT_TRUE(RegDeleteKey(kCurrentUser, key));
}

}  // namespace
