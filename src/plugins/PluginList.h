#pragma once

// The main window's plugin list, lstPlugs: one line per plugin with its tick.

#include <string>
#include <vector>

#include "platform/ResultsSurface.h"
#include "settings/SettingsStore.h"
#include "system/ProtectedFolders.h"

namespace nimbral {

struct PluginEntry {
    std::string text;  // the plugin's name as listed
    bool selected = false;
    std::string warning = {};  // asked before the line is ticked; empty for none
};
using PluginList = std::vector<PluginEntry>;

// Runs one plugin by the name its list line shows, writing its own lines to the results log. places
// are the run's protected places, resolved once before any plugin could change what they rest on.
class PluginRunner {
  public:
    virtual ~PluginRunner() = default;
    virtual void RunPluginByName(const std::string& name, ResultsSurface& results, const ProtectedPlaces& places) = 0;
};

// Lines of the list that come from elsewhere than the plugin files. The sources add their lines after
// the files', one source after the other in the order they are given, and each runs the lines it
// added.
class PluginSource {
  public:
    virtual ~PluginSource() = default;
    // Appends this source's lines; a name the list already holds is not listed again.
    virtual void AddEntries(PluginList& lstPlugs, const SettingsStore& settings) = 0;
    // Runs the line when this source added it at its last AddEntries; false when it did not.
    virtual bool RunEntry(const std::string& name, ResultsSurface& results, const ProtectedPlaces& places) = 0;
};
using PluginSources = std::vector<PluginSource*>;

}  // namespace nimbral
