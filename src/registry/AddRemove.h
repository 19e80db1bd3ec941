#pragma once

// Entries of the Windows "Run" list and of the uninstall list, both under HKEY_LOCAL_MACHINE.

#include <string>

#include "platform/Registry.h"

namespace nimbral {

inline constexpr char kUninstallPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr char kRunPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class AddRemove {
  public:
    explicit AddRemove(Registry& registry) : registry_(registry) {}

    void AddToList(const std::string& ProgramName, const std::string& UninstallCommand);
    void RemoveFromList(const std::string& ProgramName);
    void AddToRun(const std::string& ProgramName, const std::string& FileToRun);
    void RemoveFromRun(const std::string& ProgramName);

    void SaveKey(Hive hKey, const std::string& strPath);
    std::string GetString(Hive hKey, const std::string& strPath, const std::string& strValue);
    void SaveString(Hive hKey, const std::string& strPath, const std::string& strValue, const std::string& strdata);
    void DeleteValue(Hive hKey, const std::string& strPath, const std::string& strValue);
    void DeleteKey(Hive hKey, const std::string& strPath);

  private:
    Registry& registry_;
};

}  // namespace nimbral
