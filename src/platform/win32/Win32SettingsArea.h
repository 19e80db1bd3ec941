#pragma once

#include <string>

#include "platform/SettingsArea.h"
#include "platform/win32/UniqueHandles.h"

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

  private:
    // The section's key, opened once and kept: the wizard reads and writes lists of 10,001 settings
    // value by value. Null when it does not exist and create is false.
    HKEY Section(const std::string& application, const std::string& section, bool create);

    std::string openPath_;
    UniqueHkey openKey_;
};

}  // namespace nimbral::win32
