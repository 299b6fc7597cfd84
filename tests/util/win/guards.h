#pragma once
// Guards for Windows tests that must touch shared state of the prefix: the
// settings file "c:\tev.ini" and registry values. Each puts back what was
// there before.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

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

// Keeps one string value (or its absence) and restores it.
class RegistryValueGuard {
public:
    RegistryValueGuard(HKEY root, std::wstring key, std::wstring name)
        : root_(root), key_(std::move(key)), name_(std::move(name)) {
        HKEY opened;
        keyExisted_ = RegOpenKeyExW(root_, key_.c_str(), 0, KEY_READ, &opened) == ERROR_SUCCESS;
        if (keyExisted_) RegCloseKey(opened);
        wchar_t buffer[2048];
        DWORD size = sizeof buffer;
        if (RegGetValueW(root_, key_.c_str(), name_.c_str(), RRF_RT_REG_SZ, nullptr, buffer, &size) == ERROR_SUCCESS)
            saved_ = buffer;
    }
    ~RegistryValueGuard() {
        HKEY key;
        if (RegCreateKeyExW(root_, key_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
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
        if (!keyExisted_ && subkeys == 0 && values == 0) RegDeleteKeyW(root_, key_.c_str());
    }
    RegistryValueGuard(const RegistryValueGuard&) = delete;
    RegistryValueGuard& operator=(const RegistryValueGuard&) = delete;

private:
    HKEY root_;
    std::wstring key_, name_;
    std::optional<std::wstring> saved_;
    bool keyExisted_ = false;
};

// A section name of the program's settings that no one else uses.
inline std::wstring UniqueTestSection() {
    return L"ArchiwinTest-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount64());
}
