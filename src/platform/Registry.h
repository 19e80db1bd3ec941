#pragma once

// The registry as the program uses it: string values written, read by enumeration and deleted, keys
// created and deleted. Each operation is one of the program's own registry procedures, so an
// adapter can make exactly the calls that procedure is defined by and a double can mimic the result.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nimbral {

// The predefined 32-bit hive handles, as stored in plugin files and passed by every caller.
enum class Hive : std::uint32_t {
    ClassesRoot = 0x80000000u,
    CurrentUser = 0x80000001u,
    LocalMachine = 0x80000002u,
    Users = 0x80000003u,
};

inline constexpr char kKeyDeleted[] = "Success";
inline constexpr char kKeyNotDeleted[] = "No! Key to Delete Or Key Not Found";

class Registry {
  public:
    virtual ~Registry() = default;

    // modRegistry. Key paths are relative to the hive, backslash-separated.

    // Creates the key when missing and stores text as REG_SZ with its terminating zero counted.
    // True when the value was written.
    virtual bool SetStringValue(Hive hive,
                                const std::string& keyPath,
                                const std::string& valueName,
                                const std::string& text) = 0;
    // Walks the key's values with 255-character name and data buffers, stopping at the first value
    // that does not fit; the last value whose name matches exactly (letter case included) gives the
    // result. Empty when the key is missing or nothing matched.
    virtual std::string ReadStringValue(Hive hive, const std::string& keyPath, const std::string& valueName) = 0;
    virtual void DeleteRegistryValue(Hive hive, const std::string& keyPath, const std::string& valueName) = 0;
    // kKeyDeleted or kKeyNotDeleted. A key that still has subkeys is not deleted.
    virtual std::string DeleteRegistryKey(Hive hive, const std::string& keyPath) = 0;
    // The names of all the key's values, however long, in the order the system lists them; empty
    // when the key does not exist, no value when it exists but cannot be read.
    virtual std::optional<std::vector<std::string>> ValueNames(Hive hive, const std::string& keyPath) = 0;
    // The names of the key's subkeys; no value when the key does not exist or cannot be read.
    virtual std::optional<std::vector<std::string>> SubkeyNames(Hive hive, const std::string& keyPath) = 0;

    // The lower methods of AddRemove, which use the older registry calls.

    virtual void SaveKey(Hive hive, const std::string& keyPath) = 0;
    // The text of a REG_SZ value up to its first zero; empty for any other type or a missing value.
    virtual std::string GetString(Hive hive, const std::string& keyPath, const std::string& valueName) = 0;
    // Stores text as REG_SZ with a data length that does not count a terminating zero (the system
    // then adds the zero itself, so the value reads back like one SetStringValue wrote).
    virtual void SaveString(Hive hive,
                            const std::string& keyPath,
                            const std::string& valueName,
                            const std::string& text) = 0;
    virtual void DeleteValue(Hive hive, const std::string& keyPath, const std::string& valueName) = 0;
    virtual void DeleteKey(Hive hive, const std::string& keyPath) = 0;
};

}  // namespace nimbral
