#pragma once

// The per-user settings area: string values under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nimbral {

inline constexpr char kSettingsRoot[] = "Software\\VB and VBA Program Settings";

class SettingsArea {
  public:
    virtual ~SettingsArea() = default;

    // The stored text, or no value when the value or its key does not exist or is not a string. A
    // stored text is returned whole, however long.
    virtual std::optional<std::string> ReadSetting(const std::string& application,
                                                   const std::string& section,
                                                   const std::string& key) = 0;
    // The stored texts of many values, in the order of their keys, each as ReadSetting gives it. An
    // adapter may read them side by side.
    virtual std::vector<std::optional<std::string>> ReadSettings(const std::string& application,
                                                                 const std::string& section,
                                                                 const std::vector<std::string>& keys) {
        std::vector<std::optional<std::string>> values;
        values.reserve(keys.size());
        for (const std::string& key : keys)
            values.push_back(ReadSetting(application, section, key));
        return values;
    }
    // Creates the key path when missing. False when the text could not be stored.
    virtual bool SaveSetting(const std::string& application,
                             const std::string& section,
                             const std::string& key,
                             const std::string& text) = 0;

    // Stores many values, each as SaveSetting does, and tells for each whether it was stored. The
    // keys are distinct; an adapter may store them side by side, in no particular order.
    virtual std::vector<bool> SaveSettings(const std::string& application,
                                           const std::string& section,
                                           const std::vector<std::pair<std::string, std::string>>& values) {
        std::vector<bool> saved;
        saved.reserve(values.size());
        for (const auto& [key, text] : values)
            saved.push_back(SaveSetting(application, section, key, text));
        return saved;
    }

    // Starts watching one section and names the watch (never 0); 0 when the section cannot be
    // watched (it does not exist yet, for one). One watch at a time: a new one ends the last.
    virtual std::uint64_t WatchSection(const std::string& application, const std::string& section) = 0;
    // False only while the watch named is the current one and nothing has changed its section's
    // values, or removed the section, since it began, whoever made the change, this area included.
    virtual bool SectionChanged(std::uint64_t watch) = 0;

    // The stored text, or defaultText when there is none.
    std::string GetSetting(const std::string& application,
                           const std::string& section,
                           const std::string& key,
                           const std::string& defaultText) {
        return ReadSetting(application, section, key).value_or(defaultText);
    }
};

}  // namespace nimbral
