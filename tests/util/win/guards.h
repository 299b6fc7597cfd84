#pragma once
// Guards for Windows tests that must touch shared state of the prefix: the
// settings file "c:\tev.ini", registry values and the access to machine-wide
// keys. Each puts back what was there before.
#include <windows.h>

#include <sddl.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Keeps the bytes of a file (or its absence) and restores them.
class FileGuard {
public:
    explicit FileGuard(std::wstring path) : path_(std::move(path)) {
        std::ifstream in(std::filesystem::path(path_), std::ios::binary);
        if (in) saved_ = std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ~FileGuard() {
        if (saved_) std::ofstream(std::filesystem::path(path_), std::ios::binary | std::ios::trunc) << *saved_;
        else DeleteFileW(path_.c_str());
    }
    FileGuard(const FileGuard&) = delete;
    FileGuard& operator=(const FileGuard&) = delete;

private:
    std::wstring path_;
    std::optional<std::string> saved_;
};

// Keeps one string value (or its absence) and restores it. Machine-wide
// values are those of the 32-bit view, where the program keeps them.
class RegistryValueGuard {
public:
    RegistryValueGuard(HKEY root, std::wstring key, std::wstring name)
        : root_(root), view_(root == HKEY_LOCAL_MACHINE ? KEY_WOW64_32KEY : 0), key_(std::move(key)),
          name_(std::move(name)) {
        HKEY opened;
        keyExisted_ = RegOpenKeyExW(root_, key_.c_str(), 0, KEY_READ | view_, &opened) == ERROR_SUCCESS;
        if (!keyExisted_) return;
        wchar_t buffer[2048];
        DWORD size = sizeof buffer - sizeof(wchar_t), type = 0;
        if (RegQueryValueExW(opened, name_.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ) {
            buffer[size / sizeof(wchar_t)] = L'\0';
            saved_ = buffer;
        }
        RegCloseKey(opened);
    }
    ~RegistryValueGuard() {
        HKEY key;
        if (RegCreateKeyExW(root_, key_.c_str(), 0, nullptr, 0, KEY_WRITE | KEY_READ | view_, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        if (saved_)
            RegSetValueExW(key, name_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(saved_->c_str()),
                           static_cast<DWORD>((saved_->size() + 1) * sizeof(wchar_t)));
        else
            RegDeleteValueW(key, name_.c_str());
        DWORD subkeys = 0, values = 0;
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                         nullptr);
        RegCloseKey(key);
        if (!keyExisted_ && subkeys == 0 && values == 0) RegDeleteKeyExW(root_, key_.c_str(), view_, 0);
    }
    RegistryValueGuard(const RegistryValueGuard&) = delete;
    RegistryValueGuard& operator=(const RegistryValueGuard&) = delete;

private:
    HKEY root_;
    REGSAM view_;
    std::wstring key_, name_;
    std::optional<std::wstring> saved_;
    bool keyExisted_ = false;
};

// A section name of the program's settings that no one else uses.
inline std::wstring UniqueTestSection() {
    return L"ArchiwinTest-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
}

// Makes Wine refuse machine-wide writes under a key of the 32-bit view for
// every program, as Windows refuses them to a user who is not an
// administrator: the key (created when missing) and every key below it get
// an access list that lets everyone read but neither set values nor create
// subkeys. The destructor puts back the lists they had and deletes the key
// when it was made here.
class MachineKeyLock {
public:
    explicit MachineKeyLock(std::wstring keyPath) : keyPath_(std::move(keyPath)) {
        HKEY key;
        DWORD disposition = 0;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY,
                            nullptr, &key, &disposition) != ERROR_SUCCESS)
            return;
        created_ = disposition == REG_CREATED_NEW_KEY;
        RegCloseKey(key);
        Collect(keyPath_);
        PSECURITY_DESCRIPTOR locked = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;OICI;0x6;;;WD)(A;OICI;KA;;;WD)",
                                                                  SDDL_REVISION_1, &locked, nullptr))
            return;
        for (auto& [path, saved] : keys_) Apply(path, locked);
        LocalFree(locked);
    }
    ~MachineKeyLock() {
        for (auto& [path, saved] : keys_) Apply(path, saved.data());
        if (created_) {
            HKEY key;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath_.c_str(), 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key) ==
                ERROR_SUCCESS) {
                RegDeleteTreeW(key, nullptr);
                RegCloseKey(key);
            }
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, keyPath_.c_str(), KEY_WOW64_32KEY, 0);
        }
    }
    MachineKeyLock(const MachineKeyLock&) = delete;
    MachineKeyLock& operator=(const MachineKeyLock&) = delete;

private:
    // The key and its subkeys, each with its access list as it is.
    void Collect(const std::wstring& path) {
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
            return;
        DWORD size = 0;
        RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
        std::vector<BYTE> saved(size);
        if (size && RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved.data(), &size) == ERROR_SUCCESS)
            keys_.emplace_back(path, std::move(saved));
        std::vector<std::wstring> subkeys;
        wchar_t name[256];
        for (DWORD i = 0;; ++i) {
            DWORD length = 256;
            if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            subkeys.push_back(path + L"\\" + name);
        }
        RegCloseKey(key);
        for (const auto& sub : subkeys) Collect(sub);
    }
    static void Apply(const std::wstring& path, PSECURITY_DESCRIPTOR descriptor) {
        HKEY key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, WRITE_DAC | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
            return;
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        RegCloseKey(key);
    }

    std::wstring keyPath_;
    bool created_ = false;
    std::vector<std::pair<std::wstring, std::vector<BYTE>>> keys_;
};
