#pragma once

// The one object that owns what the program keeps for its whole life: the OS adapters, the identity
// values, the settings store, the main window's listers, its plugin list and the cookie folder.
// Windows and steps are handed what they need from here, so each can be built and tested on fresh
// state.

#include <string>

#include "engine/modEngine.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32HistoryLibrary.h"
#include "platform/win32/Win32OsVersionSource.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SettingsArea.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32UrlCache.h"
#include "plugins/PluginFiles.h"
#include "plugins/PluginList.h"
#include "settings/SettingsStore.h"
#include "system/Listers.h"
#include "system/modRebrand.h"

namespace nimbral {

class Application {
  public:
    explicit Application(Identity identity);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    const Identity& identity() const { return identity_; }
    SettingsStore& settings() { return settings_; }

    // What the main window's load prepares for a clean run: the plugin list, built afresh from the
    // plugin folders, and the cookie folder, looked up afresh.
    EngineServices Services(WindowHandle mainWindow);

    // One clean run on the stored settings, each log line written to standard output.
    int RunHeadless(bool confirmTempFolder);

  private:
    win32::Win32SettingsArea settingsArea_;
    win32::Win32Registry registry_;
    win32::Win32FileSystem fileSystem_;
    win32::Win32Shell shell_;
    win32::Win32UrlCache urlCache_;
    win32::Win32HistoryLibrary history_;
    win32::Win32OsVersionSource osVersion_;
    Identity identity_;
    SettingsStore settings_;
    MainWindowListers listers_;
    std::string programFolder_;
    PluginTables pluginTables_;
    PluginList lstPlugs_;
    PluginFiles plugins_;
};

}  // namespace nimbral
