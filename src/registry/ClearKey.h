#pragma once

// Emptying the keys the cleaning steps clear.

#include <string>

#include "platform/Registry.h"

namespace nimbral {

// Deletes the key; where the system keeps it (a key with subkeys cannot be deleted that way),
// deletes its values one by one instead and leaves the subkeys, which are none of the program's
// business. True when no value of the key is left, so a caller never reports a clear that did not
// happen. A key that is not there is clear.
bool ClearRegistryKey(Registry& registry, Hive hive, const std::string& keyPath);

// The key as the log names it: "HKEY_CURRENT_USER\" and the path.
std::string FullKeyName(Hive hive, const std::string& keyPath);

}  // namespace nimbral
