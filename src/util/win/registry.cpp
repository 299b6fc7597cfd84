#include <windows.h>

#include "util/win/registry.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cwchar>
#include <utility>
#include <vector>

#include "interact/ask.h"
#include "interact/seam.h"
#include "util/booltext.h"

namespace {

std::wstring lastError;
bool machineWritesRefused = false;

bool IsMachineRoot(int root) { return (root & 0x7F) == kLocalMachine; }

HKEY RootKey(int root) {
    switch (root & 0x7F) {
        case kCurrentUser: return HKEY_CURRENT_USER;
        case kLocalMachine: return HKEY_LOCAL_MACHINE;
        case kUsers: return HKEY_USERS;
        case kDynData: return HKEY_DYN_DATA;
        default: return HKEY_CLASSES_ROOT;
    }
}

std::wstring SystemMessage(LONG code) {
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = n ? std::wstring(text, n) : std::wstring();
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' '))
        message.pop_back();
    return L"błąd " + std::to_wstring(code) + (message.empty() ? L"" : L": " + message);
}

void NoteError(const std::wstring& what, const std::wstring& name, LONG code) {
    lastError = what + L" \"" + name + L"\" (" + SystemMessage(code) + L").";
}

// Only the key paths of a root's own subkeys may be deleted, never the root.
bool IsSubkeyPath(const std::wstring& keyPath) { return keyPath.find_first_not_of(L'\\') != std::wstring::npos; }

std::wstring ReadStringData(HKEY key, const std::wstring& name, DWORD size, LONG& rc) {
    std::wstring text;
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        DWORD bytes = static_cast<DWORD>((buffer.size()) * sizeof(wchar_t));
        rc = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
        if (rc == ERROR_MORE_DATA) {
            size = bytes;
            continue;
        }
        if (rc == ERROR_SUCCESS) text.assign(buffer.data(), bytes / sizeof(wchar_t));
        break;
    }
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

// Reports a failed write to the user, at most once a day when he ticks "do not
// show again". The message of the failure stays in LastRegistryError, though
// the dialog reads its own memory from the registry meanwhile.
void ReportWriteFailure() {
    static bool reporting = false;  // a failing write of the dialog's own memory must not ask again
    if (reporting) return;
    struct Restore {
        std::wstring failure = lastError;
        ~Restore() {
            reporting = false;
            lastError = failure;
        }
    } restore;
    reporting = true;
    long long day = static_cast<long long>(std::floor(Modal().Now()));
    AskRemembered(L"Nie udała się wymiana danych z Rejestrem Windows! " + restore.failure,
                  L"RegSaveErr" + std::to_wstring(day), true);
}

// Writes one string value; on failure says which step failed.
struct WriteResult {
    LONG code = ERROR_SUCCESS;
    bool keyOpened = true;
};

WriteResult WriteValue(int root, const std::wstring& keyPath, const std::wstring& name, const std::wstring& text) {
    if (IsMachineRoot(root) && machineWritesRefused) return {ERROR_ACCESS_DENIED, false};
    HKEY key;
    LONG rc = RegCreateKeyExW(RootKey(root), keyPath.c_str(), 0, nullptr, 0, KEY_WRITE | RegistryViewOf(root), nullptr,
                              &key, nullptr);
    if (rc != ERROR_SUCCESS) return {rc, false};
    rc = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return {rc, true};
}

bool ListNames(int root, const std::wstring& keyPath, std::vector<std::wstring>& names, bool subkeys) {
    names.clear();
    HKEY key;
    if (RegOpenKeyExW(RootKey(root), keyPath.c_str(), 0, KEY_READ | RegistryViewOf(root), &key) != ERROR_SUCCESS)
        return false;
    DWORD count = 0, longest = 0;
    LONG rc = subkeys ? RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr,
                                         nullptr, nullptr, nullptr)
                      : RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longest,
                                         nullptr, nullptr, nullptr);
    std::vector<wchar_t> buffer(longest + 2);
    for (DWORD i = 0; rc == ERROR_SUCCESS && i < count; ++i) {
        DWORD length = static_cast<DWORD>(buffer.size());
        rc = subkeys ? RegEnumKeyExW(key, i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr)
                     : RegEnumValueW(key, i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_SUCCESS) names.emplace_back(buffer.data(), length);
    }
    RegCloseKey(key);
    return rc == ERROR_SUCCESS || rc == ERROR_NO_MORE_ITEMS;
}

}  // namespace

const std::wstring& LastRegistryError() { return lastError; }

REGSAM RegistryViewOf(int root) { return IsMachineRoot(root) ? KEY_WOW64_32KEY : 0; }

bool RefuseMachineWideWrites(bool refuse) { return std::exchange(machineWritesRefused, refuse); }

std::wstring RegReadValue(int root, const std::wstring& keyPath, const std::wstring& name,
                          const std::wstring& defaultValue) {
    lastError.clear();
    HKEY key;
    if (RegOpenKeyExW(RootKey(root), keyPath.c_str(), 0, KEY_READ | RegistryViewOf(root), &key) != ERROR_SUCCESS) {
        lastError = L"Can't open key. " + keyPath;
        return defaultValue;
    }
    std::wstring result;
    DWORD type = 0, size = 0;
    LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        switch (type) {
            case REG_SZ:
                result = ReadStringData(key, name, size, rc);
                break;
            case REG_EXPAND_SZ:
                result = L"*** ext string ***";
                break;
            case REG_DWORD:
            case REG_BINARY: {
                if (size > 4) {
                    lastError = L"Wartość \"" + name + L"\" ma " + std::to_wstring(size) +
                                L" bajtów danych zamiast najwyżej 4.";
                    result = lastError;
                    break;
                }
                std::uint8_t bytes[4] = {};
                DWORD length = sizeof bytes;
                rc = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, bytes, &length);
                if (rc == ERROR_SUCCESS)
                    result = std::to_wstring(static_cast<std::int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                                                       static_cast<std::uint32_t>(bytes[3]) << 24));
                break;
            }
            default:
                break;
        }
    }
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) NoteError(L"Nie udał się odczyt wartości", name, rc);
    RegCloseKey(key);
    return result.empty() ? defaultValue : result;
}

void RegWriteString(int root, const std::wstring& keyPath, const std::wstring& name, const std::wstring& text) {
    lastError.clear();
    WriteResult result = WriteValue(root, keyPath, name, text);
    // A standard user may not write machine-wide keys: his own key holds the
    // value instead, silently.
    if (result.code != ERROR_SUCCESS && IsMachineRoot(root)) result = WriteValue(kCurrentUser, keyPath, name, text);
    if (result.code == ERROR_SUCCESS) return;
    if (!result.keyOpened) lastError = L"Can't open key. " + keyPath;
    else NoteError(L"Nie udał się zapis wartości", name, result.code);
    ReportWriteFailure();
}

bool RegValueNames(int root, const std::wstring& keyPath, std::vector<std::wstring>& names) {
    return ListNames(root, keyPath, names, false);
}

bool RegKeyNames(int root, const std::wstring& keyPath, std::vector<std::wstring>& names) {
    return ListNames(root, keyPath, names, true);
}

bool RegDeleteKey(int root, const std::wstring& keyPath) {
    if (!IsSubkeyPath(keyPath)) return false;
    if (!IsMachineRoot(root)) return RegDeleteTreeW(RootKey(root), keyPath.c_str()) == ERROR_SUCCESS;
    // In the 32-bit view: empty the key, then delete it.
    if (machineWritesRefused) return false;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
        return false;
    LONG rc = RegDeleteTreeW(key, nullptr);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && RegDeleteKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), KEY_WOW64_32KEY, 0) == ERROR_SUCCESS;
}

std::wstring SettingsKey(const std::wstring& section) { return L"Software\\TEV\\" + section; }

std::wstring ReadSetting(const std::wstring& section, const std::wstring& name, const std::wstring& defaultValue) {
    return RegReadValue(kCurrentUser, SettingsKey(section), name, defaultValue);
}

void WriteSetting(const std::wstring& section, const std::wstring& name, const std::wstring& value) {
    RegWriteString(kCurrentUser, SettingsKey(section), name, value);
}

int ReadSettingInt(const std::wstring& section, const std::wstring& name, int defaultValue) {
    std::wstring text = ReadSetting(section, name, std::to_wstring(defaultValue));
    wchar_t* end = nullptr;
    errno = 0;
    long long value = std::wcstoll(text.c_str(), &end, 10);
    if (text.empty() || end != text.c_str() + text.size() || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return defaultValue;
    return static_cast<int>(value);
}

void WriteSettingInt(const std::wstring& section, const std::wstring& name, int value) {
    WriteSetting(section, name, std::to_wstring(value));
}

bool ReadSettingBool(const std::wstring& section, const std::wstring& name, bool defaultValue) {
    return TextToBool(ReadSetting(section, name, BoolToText(defaultValue)));
}

void WriteSettingBool(const std::wstring& section, const std::wstring& name, bool value) {
    WriteSetting(section, name, BoolToText(value));
}
