#pragma once

#include <windows.h>

#include "platform/Registry.h"

namespace nimbral::win32 {

// The predefined handle of a hive; null for a value that names no hive.
HKEY HiveKey(Hive hive);

class Win32Registry final : public Registry {
  public:
    bool SetStringValue(Hive hive,
                        const std::string& keyPath,
                        const std::string& valueName,
                        const std::string& text) override;
    std::string ReadStringValue(Hive hive, const std::string& keyPath, const std::string& valueName) override;
    void DeleteRegistryValue(Hive hive, const std::string& keyPath, const std::string& valueName) override;
    std::string DeleteRegistryKey(Hive hive, const std::string& keyPath) override;
    std::optional<std::vector<std::string>> ValueNames(Hive hive, const std::string& keyPath) override;
    std::optional<std::vector<std::string>> SubkeyNames(Hive hive, const std::string& keyPath) override;

    void SaveKey(Hive hive, const std::string& keyPath) override;
    std::string GetString(Hive hive, const std::string& keyPath, const std::string& valueName) override;
    void SaveString(Hive hive,
                    const std::string& keyPath,
                    const std::string& valueName,
                    const std::string& text) override;
    void DeleteValue(Hive hive, const std::string& keyPath, const std::string& valueName) override;
    void DeleteKey(Hive hive, const std::string& keyPath) override;
};

}  // namespace nimbral::win32
