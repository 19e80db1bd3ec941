#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/SettingsArea.h"
#include "platform/win32/UniqueHandles.h"

namespace nimbral::win32 {

class Win32SettingsArea final : public SettingsArea {
  public:
    std::optional<std::string> ReadSetting(const std::string& application,
                                           const std::string& section,
                                           const std::string& key) override;
    std::vector<std::optional<std::string>> ReadSettings(const std::string& application,
                                                         const std::string& section,
                                                         const std::vector<std::string>& keys) override;
    std::vector<bool> SaveSettings(const std::string& application,
                                   const std::string& section,
                                   const std::vector<std::pair<std::string, std::string>>& values) override;
    bool SaveSetting(const std::string& application,
                     const std::string& section,
                     const std::string& key,
                     const std::string& text) override;
    std::uint64_t WatchSection(const std::string& application, const std::string& section) override;
    bool SectionChanged(std::uint64_t watch) override;

  private:
    // The section's key, opened once and kept: the wizard reads and writes lists of 10,001 settings
    // value by value. Null when it does not exist and create is false.
    HKEY Section(const std::string& application, const std::string& section, bool create);

    std::string openPath_;
    UniqueHkey openKey_;
    // The watched section: its own handle, to be notified through and to tell whether the key is
    // still there, and the event the system signals on a change.
    std::uint64_t watch_ = 0;
    std::uint64_t lastWatch_ = 0;
    UniqueHkey watchKey_;
    UniqueHandle watchEvent_;
};

}  // namespace nimbral::win32
