#include "registry/ClearKey.h"

namespace nimbral {

bool ClearRegistryKey(Registry& registry, Hive hive, const std::string& keyPath) {
    if (registry.DeleteRegistryKey(hive, keyPath) == kKeyDeleted)
        return true;
    const auto names = registry.ValueNames(hive, keyPath);
    if (!names)
        return false;
    for (const std::string& name : *names)
        registry.DeleteRegistryValue(hive, keyPath, name);
    const auto left = registry.ValueNames(hive, keyPath);
    return left && left->empty();
}

std::string FullKeyName(Hive hive, const std::string& keyPath) {
    switch (hive) {
        case Hive::ClassesRoot:
            return "HKEY_CLASSES_ROOT\\" + keyPath;
        case Hive::CurrentUser:
            return "HKEY_CURRENT_USER\\" + keyPath;
        case Hive::LocalMachine:
            return "HKEY_LOCAL_MACHINE\\" + keyPath;
        case Hive::Users:
            return "HKEY_USERS\\" + keyPath;
    }
    return keyPath;
}

}  // namespace nimbral
