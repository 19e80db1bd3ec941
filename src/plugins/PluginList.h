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
};
using PluginList = std::vector<PluginEntry>;

// Runs one plugin by the name its list line shows, writing its own lines to the results log. places
// are the run's protected places, resolved once before any plugin could change what they rest on.
class PluginRunner {
  public:
    virtual ~PluginRunner() = default;
    virtual void RunPluginByName(const std::string& name, ResultsSurface& results, const ProtectedPlaces& places) = 0;
};

}  // namespace nimbral
