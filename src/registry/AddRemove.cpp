#include "registry/AddRemove.h"

namespace nimbral {

void AddRemove::AddToList(const std::string& ProgramName, const std::string& UninstallCommand) {
    SaveString(Hive::LocalMachine, kUninstallPath + ProgramName, "DisplayName", ProgramName);
    SaveString(Hive::LocalMachine, kUninstallPath + ProgramName, "UninstallString", UninstallCommand);
}

void AddRemove::RemoveFromList(const std::string& ProgramName) {
    DeleteKey(Hive::LocalMachine, kUninstallPath + ProgramName);
}

void AddRemove::AddToRun(const std::string& ProgramName, const std::string& FileToRun) {
    SaveString(Hive::LocalMachine, kRunPath, ProgramName, FileToRun);
}

void AddRemove::RemoveFromRun(const std::string& ProgramName) {
    DeleteValue(Hive::LocalMachine, kRunPath, ProgramName);
}

void AddRemove::SaveKey(Hive hKey, const std::string& strPath) {
    registry_.SaveKey(hKey, strPath);
}

std::string AddRemove::GetString(Hive hKey, const std::string& strPath, const std::string& strValue) {
    return registry_.GetString(hKey, strPath, strValue);
}

void AddRemove::SaveString(Hive hKey,
                           const std::string& strPath,
                           const std::string& strValue,
                           const std::string& strdata) {
    registry_.SaveString(hKey, strPath, strValue, strdata);
}

void AddRemove::DeleteValue(Hive hKey, const std::string& strPath, const std::string& strValue) {
    registry_.DeleteValue(hKey, strPath, strValue);
}

void AddRemove::DeleteKey(Hive hKey, const std::string& strPath) {
    registry_.DeleteKey(hKey, strPath);
}

}  // namespace nimbral
