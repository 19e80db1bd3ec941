#pragma once

// Finding the plugins in their two folders and running one by name.

#include <array>
#include <string>

#include "plugins/PluginList.h"
#include "plugins/runPlugin.h"
#include "settings/SettingsStore.h"
#include "system/Listers.h"

namespace nimbral {

inline constexpr std::size_t kPluginSlots = 1001;

// The plugin name table and the parallel table of the ".ww1" files the names came from, filled from
// index 0 without gaps. The main window empties them at its load; a refresh starts from them as
// they are.
struct PluginTables {
    std::array<std::string, kPluginSlots> names;
    std::array<std::string, kPluginSlots> files;
    void Clear();
};

// Fills the tables and lstPlugs from the ".ww1" files of the program's "plugins" folder, then of
// the second plugin folder, with each plugin's remembered selection. A folder that cannot be listed
// ends the plugin files' part of the build where it is. The sources' lines follow, whatever the
// plugin files are: the name table knows nothing of them, and each is selected only when it was
// ticked ("True"), since running one unasked would delete what the user never chose to.
void BuildPluginList(PluginTables& tables,
                     PluginList& lstPlugs,
                     FileLister& File1,
                     const SettingsStore& settings,
                     const std::string& programFolder,
                     const PluginSources& sources = {});

// Runs a plugin's lists: from the program's "plugins" folder when the file is there, otherwise from
// the second folder, for each of the two lists on its own.
class PluginFiles final : public PluginRunner {
  public:
    PluginFiles(PluginServices services, std::string programFolder)
        : services_(services), programFolder_(std::move(programFolder)) {}

    void RunPluginByName(const std::string& name, ResultsSurface& results, const ProtectedPlaces& places) override;

  private:
    PluginServices services_;
    std::string programFolder_;
};

}  // namespace nimbral
