#include "platform/win32/Win32SettingsArea.h"

#include <windows.h>

#include "platform/win32/UniqueHandles.h"

namespace nimbral::win32 {

namespace {

std::string SectionPath(const std::string& application, const std::string& section) {
    return std::string(kSettingsRoot) + "\\" + application + "\\" + section;
}

}  // namespace

std::string Win32SettingsArea::GetSetting(const std::string& application,
                                          const std::string& section,
                                          const std::string& key,
                                          const std::string& defaultText) {
    UniqueHkey hkey;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath(application, section).c_str(), 0, KEY_QUERY_VALUE, hkey.put()) !=
        ERROR_SUCCESS) {
        return defaultText;
    }
    // The value may grow between the two queries; ask again until the buffer holds all of it.
    std::string data;
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG rc = ::RegQueryValueExA(hkey.get(), key.c_str(), nullptr, &type, nullptr, &size);
    while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
        data.resize(size);
        rc = ::RegQueryValueExA(hkey.get(), key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        if (rc == ERROR_SUCCESS) {
            if (type != REG_SZ && type != REG_EXPAND_SZ)
                return defaultText;
            data.resize(size);
            return data.substr(0, data.find('\0'));
        }
    }
    return defaultText;
}

bool Win32SettingsArea::SaveSetting(const std::string& application,
                                    const std::string& section,
                                    const std::string& key,
                                    const std::string& text) {
    UniqueHkey hkey;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, SectionPath(application, section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, hkey.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    return ::RegSetValueExA(hkey.get(), key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace nimbral::win32
