#pragma once

#include "platform/SettingsArea.h"

namespace nimbral::win32 {

class Win32SettingsArea final : public SettingsArea {
  public:
    std::string GetSetting(const std::string& application,
                           const std::string& section,
                           const std::string& key,
                           const std::string& defaultText) override;
    bool SaveSetting(const std::string& application,
                     const std::string& section,
                     const std::string& key,
                     const std::string& text) override;
};

}  // namespace nimbral::win32
