#pragma once

// The per-user settings area: string values under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>.

#include <string>

namespace nimbral {

inline constexpr char kSettingsRoot[] = "Software\\VB and VBA Program Settings";

class SettingsArea {
  public:
    virtual ~SettingsArea() = default;

    // The stored text, or defaultText when the value or its key does not exist or is not a string.
    // A stored text is returned whole, however long.
    virtual std::string GetSetting(const std::string& application,
                                   const std::string& section,
                                   const std::string& key,
                                   const std::string& defaultText) = 0;
    // Creates the key path when missing. False when the text could not be stored.
    virtual bool SaveSetting(const std::string& application,
                             const std::string& section,
                             const std::string& key,
                             const std::string& text) = 0;
};

}  // namespace nimbral
