#pragma once

// An in-memory registry that answers as Wine's does: key and value names ignore letter case, values
// enumerate in name order, string data keeps whatever terminating zero its writer counted, and a
// key with subkeys cannot be deleted.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace nimbral::testing {

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegDword = 4;

class FakeRegistry final : public Registry {
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

    // For fixtures: a value of any type with raw data, and a look at what is stored.
    void PutRaw(Hive hive,
                const std::string& keyPath,
                const std::string& valueName,
                std::uint32_t type,
                const std::string& data);
    bool KeyExists(Hive hive, const std::string& keyPath) const;
    // Every key and value, one line each in a fixed order, to tell whether anything changed.
    std::vector<std::string> Dump() const;
    // A key the user may read but not change: nothing is written to it, and neither it nor its values
    // can be deleted.
    void LockKey(Hive hive, const std::string& keyPath);
    struct RawValue {
        std::uint32_t type = 0;
        std::string data;
    };
    std::optional<RawValue> Raw(Hive hive, const std::string& keyPath, const std::string& valueName) const;

  private:
    struct Value {
        std::string name;
        std::uint32_t type = 0;
        std::string data;
    };
    struct Key {
        std::map<std::string, std::unique_ptr<Key>> subkeys;  // by folded name
        std::map<std::string, Value> values;                  // by folded name, so they enumerate in name order
        bool locked = false;
    };

    Key* Find(Hive hive, const std::string& keyPath) const;
    Key& Create(Hive hive, const std::string& keyPath);
    bool Put(Hive hive,
             const std::string& keyPath,
             const std::string& valueName,
             std::uint32_t type,
             const std::string& data);

    mutable std::map<Hive, Key> hives_;
};

}  // namespace nimbral::testing
