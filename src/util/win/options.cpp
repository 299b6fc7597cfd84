#include "util/win/options.h"

#include "util/ini.h"
#include "util/win/registry.h"
#include "util/win/sharedfiles.h"

std::wstring ReadOption(const std::wstring& section, const std::wstring& name, const std::wstring& defaultValue) {
    std::wstring value = IniReadString(SharedSettingsFile(), section, name, L"");
    return value.empty() ? ReadSetting(section, name, defaultValue) : value;
}

bool ReadOptionBool(const std::wstring& section, const std::wstring& name, bool defaultValue) {
    return IniReadBool(SharedSettingsFile(), section, name, ReadSettingBool(section, name, defaultValue));
}

int ReadOptionInt(const std::wstring& section, const std::wstring& name, int defaultValue) {
    return IniReadInt(SharedSettingsFile(), section, name, ReadSettingInt(section, name, defaultValue));
}

void WriteOption(const std::wstring& section, const std::wstring& name, const std::wstring& value) {
    WriteSetting(section, name, value);
    IniWriteString(SharedSettingsFile(), section, name, value);
}

void WriteOptionBool(const std::wstring& section, const std::wstring& name, bool value) {
    WriteSettingBool(section, name, value);
    IniWriteBool(SharedSettingsFile(), section, name, value);
}

void WriteOptionInt(const std::wstring& section, const std::wstring& name, int value) {
    WriteSettingInt(section, name, value);
    IniWriteInt(SharedSettingsFile(), section, name, value);
}
