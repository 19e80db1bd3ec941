#pragma once

// The entries of today's browsers in the plugin list: "<Browser> Cache", "<Browser> Cookies" and
// "<Browser> History" for each browser whose data folder is on this machine, run in the plugin step
// like the plugins. A browser that is running is not touched at all: its files are in use, and it
// would write back from memory what was deleted under it.

#include <string>
#include <vector>

#include "platform/Database.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"
#include "plugins/PluginList.h"
#include "settings/ControlModels.h"
#include "settings/SettingsStore.h"

namespace nimbral {

class BrowserCleaner final : public PluginSource {
  public:
    BrowserCleaner(FileSystem& fileSystem, Shell& shell, Databases& databases, SettingsStore& settings)
        : fileSystem_(fileSystem), shell_(shell), databases_(databases), settings_(settings) {}

    // The entries for what this machine holds now, in list order.
    std::vector<std::string> EntryNames();
    // Lists them whatever the list holds already: a plugin file of the same name neither hides an
    // entry nor is hidden by it.
    void AddEntries(PluginList& lstPlugs, const SettingsStore& settings) override;
    // Cookies keep what the cookie keep-list "coo" keeps, history the typed addresses the site
    // keep-list "sit" keeps; caches go whole.
    void RunEntry(const std::string& name, ResultsSurface& results, const ProtectedPlaces& places) override;

  private:
    FileSystem& fileSystem_;
    Shell& shell_;
    Databases& databases_;
    SettingsStore& settings_;
};

// What the browsers hold, for the wizard's lists of what is on this machine: each distinct cookie
// host (without its leading "."), and each typed address. Read only, through databases that keep
// any change in memory, so not a byte of a browser's files changes; a file in use is passed over.
ListBoxRows BrowserCookieHosts(FileSystem& fileSystem, Shell& shell, Databases& databases);
ListBoxRows BrowserTypedAddresses(FileSystem& fileSystem, Shell& shell, Databases& databases);

// The line of a browser that is running.
std::string SkippedRunningLine(const std::string& browser);

}  // namespace nimbral
