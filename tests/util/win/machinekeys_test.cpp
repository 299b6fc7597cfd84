// Machine-wide keys: the 32-bit view the TEV programs share, and a standard
// user who may not write there. The refusal is made two ways: by the
// registry layer's seam (RefuseMachineWideWrites), and by Wine itself, for
// every program, through an access list on the key (MachineKeyLock).
#include <gtest/gtest.h>

#include <algorithm>

#include "guards.h"
#include "support/scripted_responder.h"
#include "util/win/registry.h"

namespace {

// Every test works under its own key Software\TEV\<unique section> of both
// roots, deleted afterwards.
class MachineKeys : public testing::Test {
protected:
    void TearDown() override {
        RefuseMachineWideWrites(false);
        RegDeleteKey(kLocalMachine, key_);
        RegDeleteKey(kCurrentUser, key_);
    }

    // What a 32-bit TEV program reads and writes: the key without a view flag
    // in a 32-bit process is the 32-bit view.
    static LONG Put32(const std::wstring& key, const std::wstring& name, const std::wstring& text) {
        HKEY k;
        LONG rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr,
                                  &k, nullptr);
        if (rc != ERROR_SUCCESS) return rc;
        rc = RegSetValueExW(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(k);
        return rc;
    }
    static std::wstring Get(HKEY root, REGSAM view, const std::wstring& key, const std::wstring& name) {
        wchar_t buffer[512] = {};
        DWORD size = sizeof buffer - sizeof(wchar_t);
        HKEY k;
        if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ | view, &k) != ERROR_SUCCESS) return L"(brak klucza)";
        LONG rc = RegQueryValueExW(k, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(k);
        return rc == ERROR_SUCCESS ? std::wstring(buffer) : L"(brak wartości)";
    }

    ScriptedResponder responder_;
    std::wstring key_ = SettingsKey(UniqueTestSection());
};

TEST_F(MachineKeys, LiveInThe32BitViewWhereThe32BitProgramsKeepThem) {
    ASSERT_EQ(Put32(key_ + L"\\Papirek", L"ttsFirmy", L"C:\\Dane\\Firmy.dat"), ERROR_SUCCESS);
    EXPECT_EQ(RegReadValue(kLocalMachine, key_ + L"\\Papirek", L"ttsFirmy", L""), L"C:\\Dane\\Firmy.dat");
    std::vector<std::wstring> names;
    ASSERT_TRUE(RegKeyNames(kLocalMachine, key_, names));
    EXPECT_EQ(names, std::vector<std::wstring>{L"Papirek"});
    ASSERT_TRUE(RegValueNames(kLocalMachine, key_ + L"\\Papirek", names));
    EXPECT_EQ(names, std::vector<std::wstring>{L"ttsFirmy"});

    RegWriteString(kLocalMachine, key_, L"Archiwin", L"C:\\Program Files\\TEV\\Archiwin\\archiwin.exe");
    EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, key_, L"Archiwin"),
              L"C:\\Program Files\\TEV\\Archiwin\\archiwin.exe");
    // The 64-bit view is another place, which the TEV programs never see.
    EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, key_, L"Archiwin"), L"(brak klucza)");

    EXPECT_TRUE(RegDeleteKey(kLocalMachine, key_));
    EXPECT_EQ(Get(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, key_, L"Archiwin"), L"(brak klucza)");
    EXPECT_TRUE(responder_.shown.empty());
}

// A refused machine-wide write lands in the user's key, without a message.
// The same holds whichever refuses it: the layer's seam or the registry.
TEST_F(MachineKeys, ARefusedWriteGoesToTheUsersKeyWithoutAMessage) {
    for (bool byWine : {false, true}) {
        SCOPED_TRACE(byWine ? "Wine refuses" : "the seam refuses");
        const std::wstring name = byWine ? L"odWine" : L"odWarstwy";
        std::optional<MachineKeyLock> lock;
        if (byWine) {
            lock.emplace(key_);
            ASSERT_EQ(Put32(key_, L"sprawdzenie", L"x"), ERROR_ACCESS_DENIED) << "the lock must refuse";
        } else {
            RefuseMachineWideWrites(true);
        }
        RegWriteString(kLocalMachine, key_, name, L"C:\\Dane\\");
        EXPECT_EQ(LastRegistryError(), L"");
        EXPECT_EQ(Get(HKEY_CURRENT_USER, 0, key_, name), L"C:\\Dane\\");
        EXPECT_NE(Get(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, key_, name), L"C:\\Dane\\");
        EXPECT_EQ(RegReadValue(kLocalMachine, key_, name, L"(domyślny)"), L"(domyślny)");
        EXPECT_TRUE(responder_.shown.empty());
        RefuseMachineWideWrites(false);
    }
}

TEST_F(MachineKeys, AWriteThatFailsInBothRootsIsReported) {
    const std::wstring dayKey = L"RegSaveErr46366";  // the responder's clock: 10 December 2026
    RegistryValueGuard memory(HKEY_CURRENT_USER, SettingsKey(L"DontShowAgain"), dayKey);
    RefuseMachineWideWrites(true);
    RegWriteString(kLocalMachine, key_, std::wstring(20000, L'x'), L"v");  // a name too long for any key
    ASSERT_EQ(responder_.shown.size(), 1u);
    EXPECT_EQ(responder_.shown[0].message.headline.rfind(L"Nie udała się wymiana danych z Rejestrem Windows!", 0), 0u);
    EXPECT_FALSE(LastRegistryError().empty());
}

}  // namespace
