#pragma once

// The main window's plugin list, lstPlugs: one line per plugin with its tick.

#include <string>
#include <vector>

#include "platform/ResultsSurface.h"
#include "system/ProtectedFolders.h"

namespace nimbral {

struct PluginEntry {
    std::string text;  // the plugin's name as listed
    bool selected = false;
    bool builtIn = false;  // one of the program's own entries, not a plugin file
};
using PluginList = std::vector<PluginEntry>;

// Runs one plugin by the name its list line shows, writing its own lines to the results log. places
// are the run's protected places, resolved once before any plugin could change what they rest on.
class PluginRunner {
  public:
    virtual ~PluginRunner() = default;
    virtual void RunPluginByName(const std::string& name, ResultsSurface& results, const ProtectedPlaces& places) = 0;
    // The same for one of the program's own entries, which a plugin file of the same name does not
    // stand in for.
    virtual void RunBuiltInByName(const std::string& name, ResultsSurface& results, const ProtectedPlaces& places) {}
};

// Entries the program cleans by itself, listed after the plugin files, ticked, stored and run like
// them.
class BuiltInPlugins {
  public:
    virtual ~BuiltInPlugins() = default;
    // The entries for what this machine holds now, in list order.
    virtual std::vector<std::string> EntryNames() = 0;
    virtual void Run(const std::string& name, ResultsSurface& results, const ProtectedPlaces& places) = 0;
};

}  // namespace nimbral
