#pragma once

// The settings store: every option as a string value in the per-user settings area, under the
// product name and the section "Settings", with the in-memory copy the rest of the program reads.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/SettingsArea.h"
#include "platform/Shell.h"
#include "settings/ControlModels.h"
#include "settings/Settings.h"

namespace nimbral {

inline constexpr char kDefaultMediaKey[] =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList";

class SettingsStore {
  public:
    SettingsStore(SettingsArea& area, std::string applicationName);

    Settings& Current() { return current_; }
    const Settings& Current() const { return current_; }

    // Reads every setting into memory. A value that cannot be used (a flag that is not a number)
    // leaves its in-memory value as it was; every other value is still read. When nothing has
    // changed the section since the last load, the values read then are used again.
    void LoadSettings();
    // Empties the six stored lists by overwriting their values with empty texts.
    void ClearStoredLists();
    // Stores what the wizard's controls hold, the stored lists cleared as they are overwritten; the
    // in-memory copy is left for the caller to reload.
    void SaveWizardSettings(const WizardControls& controls);
    // The wizard's finish: stores its controls, then loads every setting again. What was just stored
    // is taken back from memory rather than read from the settings area once more (a full wizard
    // stores some 60,000 values); only what was not written is read. When nothing has changed the
    // section since the last load, a value already stored as the wizard would store it is not
    // written again.
    void SaveWizardSettingsAndReload(const WizardControls& controls);
    void FillWizardControls(WizardControls& controls, Shell& shell) const;
    void ApplyCategoryFlags(CategoryChecks& checks) const;

    // One setting of the section, for the windows that store single values as they change.
    std::string GetSetting(const std::string& key, const std::string& defaultText) const;
    // Several settings of the section at once, each as GetSetting gives it, in the order of the keys.
    std::vector<std::string> GetSettings(const std::vector<std::string>& keys, const std::string& defaultText) const;
    bool SaveSetting(const std::string& key, const std::string& text) const;

  private:
    void LoadFlag(const char* key, const char* defaultText, std::int16_t& flag);
    std::string LoadText(const std::string& key) const;
    void ReadEverySetting();
    void ReadLists();
    // Values as stored, through what the store already knows of the section.
    std::vector<std::optional<std::string>> StoredMany(const std::vector<std::string>& keys) const;
    // Stores values of distinct keys, skipping what the section is known to hold already; for each,
    // whether it is stored.
    std::vector<bool> SaveMany(const std::vector<std::pair<std::string, std::string>>& values) const;

    SettingsArea& area_;
    std::string application_;
    Settings current_;
    // What the section holds, value by value (no value: missing, or not text), as this store last
    // read or wrote it since it began watching the section. It stands for the section while the
    // watch has seen no change, and within the wizard's finish, whose own writes the watch sees.
    mutable std::unordered_map<std::string, std::optional<std::string>> known_;
    std::uint64_t watch_ = 0;
    // Reads and writes go into known_.
    mutable bool recording_ = false;
    // known_ answers for the section.
    mutable bool trusted_ = false;
};

}  // namespace nimbral
