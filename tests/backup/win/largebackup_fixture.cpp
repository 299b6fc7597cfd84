#include "largebackup_fixture.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include <oleauto.h>

#include <gtest/gtest.h>

#include "backup/win/backupsettings.h"
#include "backup_fixture.h"
#include "support/win/keys.h"
#include "support/win/pump.h"
#include "util/tables.h"
#include "util/win/sharedfiles.h"
#include "util/win/tablepaths.h"

namespace fs = std::filesystem;

KeySnapshot::KeySnapshot(HKEY root, std::wstring key, REGSAM view) : root_(root), key_(std::move(key)), view_(view) {
    HKEY opened;
    existed_ = RegOpenKeyExW(root_, key_.c_str(), 0, KEY_READ | view_, &opened) == ERROR_SUCCESS;
    if (!existed_) return;
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD nameLength = 512, type = 0, size = 0;
        if (RegEnumValueW(opened, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        Value value{type, std::vector<BYTE>(size)};
        nameLength = 512;
        RegEnumValueW(opened, i, name, &nameLength, nullptr, &type, value.data.data(), &size);
        values_[name] = std::move(value);
    }
    RegCloseKey(opened);
}

KeySnapshot::~KeySnapshot() {
    HKEY key;
    if (RegOpenKeyExW(root_, key_.c_str(), 0, KEY_ALL_ACCESS | view_, &key) == ERROR_SUCCESS) {
        std::vector<std::wstring> now;
        for (DWORD i = 0;; ++i) {
            wchar_t name[512];
            DWORD nameLength = 512;
            if (RegEnumValueW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            now.push_back(name);
        }
        for (const std::wstring& name : now) RegDeleteValueW(key, name.c_str());
        for (const auto& [name, value] : values_)
            RegSetValueExW(key, name.c_str(), 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
        DWORD subkeys = 0;
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr);
        RegCloseKey(key);
        if (!existed_ && subkeys == 0) RegDeleteKeyExW(root_, key_.c_str(), view_, 0);
    }
}

LargeBackupWorld::LargeBackupWorld() {
    static int serial = 0;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    root = std::wstring(temp) + L"archiwin_duze_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
           std::to_wstring(++serial) + L"\\";
    data = root + L"dane\\";
    backups = root + L"kopie\\";
    fs::create_directories(fs::path(data));
    fs::create_directories(fs::path(backups));
    for (const wchar_t* section : {L"Kopie zapasowe", L"TEV", L"-", L"ścieżki", L"DontShowAgain"})
        keys_.push_back(std::make_unique<KeySnapshot>(HKEY_CURRENT_USER, std::wstring(L"Software\\TEV\\") + section));
    for (REGSAM view : {REGSAM(0), REGSAM(KEY_WOW64_32KEY), REGSAM(KEY_WOW64_64KEY)})
        keys_.push_back(std::make_unique<KeySnapshot>(HKEY_LOCAL_MACHINE, L"Software\\TEV\\ścieżki", view));
    CurrentBackupSettings() = BackupSettings{};
    CurrentBackupSettings().SciezkaKopiiZapasowych = backups;
    ForgetResolvedTables();
    // The shared settings file is written the first time the programs look
    // up a shared file's place; the world starts without it, so a backup
    // holds only what a test planted.
    NipExceptionsFile();
    InterestRatesFile();
    sharedAside_ = root + L"tev.ini.odlozony";
    if (!MoveFileW(SharedSettingsFile().c_str(), sharedAside_.c_str())) sharedAside_.clear();
}

LargeBackupWorld::~LargeBackupWorld() {
    keys_.clear();
    DeleteFileW(SharedSettingsFile().c_str());
    if (!sharedAside_.empty()) MoveFileW(sharedAside_.c_str(), SharedSettingsFile().c_str());
    CurrentBackupSettings() = BackupSettings{};
    ForgetResolvedTables();
    RemoveTree(root);
}

std::wstring LargeBackupWorld::PlantTable(int table, const std::string& bytes, const std::wstring& folder) {
    const std::wstring dir = folder.empty() ? data : folder;
    fs::create_directories(fs::path(dir));
    const std::wstring path = dir + Table(table).defaultFileName;
    WriteBytes(path, bytes);
    StoreTablePath(table, path);
    return path;
}

void LargeBackupWorld::ForgetResolvedTables() {
    for (int t = 0; t < kTableCount; ++t) SetCurrentTablePath(t, L"");
}

void SetLocalWriteTime(const std::wstring& path, DateTimeValue local) {
    SYSTEMTIME st{};
    ASSERT_TRUE(VariantTimeToSystemTime(local, &st));
    SYSTEMTIME universal;
    ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &st, &universal));
    FILETIME written;
    SystemTimeToFileTime(&universal, &written);
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    SetFileTime(h, nullptr, nullptr, &written);
    CloseHandle(h);
}

std::vector<std::wstring> FileNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(fs::path(folder), ec))
        if (e.is_regular_file()) names.push_back(e.path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
}

std::string NoiseBytes(size_t size, unsigned seed) {
    std::string out(size, '\0');
    uint32_t x = 2463534242u ^ (seed * 2654435761u);
    for (char& c : out) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        c = static_cast<char>(x);
    }
    return out;
}

void TypeKey(WORD key, unsigned modifiers) {
    std::vector<WORD> chord;
    if (modifiers & kCtrl) chord.push_back(VK_CONTROL);
    if (modifiers & kShift) chord.push_back(VK_SHIFT);
    if (modifiers & kAlt) chord.push_back(VK_MENU);
    chord.push_back(key);
    TypeKeys(chord);
    Pump();
}
