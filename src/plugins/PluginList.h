#pragma once

// The main window's plugin list, lstPlugs: one line per plugin with its tick.

#include <string>
#include <vector>

#include "platform/ResultsSurface.h"
#include "settings/SettingsStore.h"
#include "system/ProtectedFolders.h"

namespace nimbral {

class PluginSource;

struct PluginEntry {
    std::string text;  // the plugin's name as listed
    bool selected = false;
    // Where a line of the program's own comes from (today's browsers, the community rules), which
    // runs it; none for a plugin file. A plugin file of the same name is a line of its own.
    PluginSource* source = nullptr;
    std::string warning = {};  // asked before the line is ticked; empty for none
};
using PluginList = std::vector<PluginEntry>;

// The setting that remembers whether a line is ticked.
inline std::string SelectionKey(const std::string& name) {
    return "plug" + name;
}

// Runs one plugin file's lists by the name its list line shows, writing its own lines to the results
// log. places are the run's protected places, resolved once before any plugin could change what they
// rest on.
class PluginRunner {
  public:
    virtual ~PluginRunner() = default;
    virtual void RunPluginByName(const std::string& name, ResultsSurface& results, const ProtectedPlaces& places) = 0;
};

// Lines of the list that the program cleans by itself rather than by a plugin file's lists: they come
// after the files' lines, one source after the other in the order given, and are ticked, stored
// ("plug" + the line) and run like them, each by the source that added it.
class PluginSource {
  public:
    virtual ~PluginSource() = default;
    // Appends this source's lines for what the machine holds now, each with this as its source.
    virtual void AddEntries(PluginList& lstPlugs, const SettingsStore& settings) = 0;
    // Runs one of the lines this source added at its last AddEntries.
    virtual void RunEntry(const std::string& name, ResultsSurface& results, const ProtectedPlaces& places) = 0;
};
using PluginSources = std::vector<PluginSource*>;

}  // namespace nimbral
