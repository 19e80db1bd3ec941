#pragma once

// The one object that owns what the program keeps for its whole life: the OS adapters, the identity
// values, the settings store, the main window's listers, its plugin list and the windows. Windows
// and steps are handed what they need from here, so each can be built and tested on fresh state.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browsers/BrowserCleaner.h"
#include "engine/modEngine.h"
#include "platform/win32/CleanLock.h"
#include "platform/win32/OleWebBrowser.h"
#include "platform/win32/Win32Databases.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32HistoryLibrary.h"
#include "platform/win32/Win32KnownFolders.h"
#include "platform/win32/Win32OsVersionSource.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SettingsArea.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32UrlCache.h"
#include "platform/win32/Win32WebDownload.h"
#include "plugins/PluginFiles.h"
#include "plugins/PluginList.h"
#include "rules/CommunityRules.h"
#include "settings/SettingsStore.h"
#include "system/Listers.h"
#include "system/modRebrand.h"
#include "windows/MessageBoxes.h"
#include "windows/ProgramWindows.h"
#include "wizard/frmSetup.h"

namespace nimbral {

class Application {
  public:
    Application(Identity identity, MessageBoxes& messages);
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    const Identity& identity() const { return identity_; }
    SettingsStore& settings() { return settings_; }
    ProgramWindows& windows() { return windows_; }

    // The program as a user starts it: password prompt, splash, main window, until the main window
    // closes or File > Exit.
    int RunWindows();

    // One clean run on the stored settings, each log line written to standard output. With password
    // protection on, the prompt comes first; giving it up cleans nothing and answers 1. While another
    // copy of the program cleans, one line says so and nothing is done (kExitAnotherClean).
    int RunHeadless(bool confirmTempFolder);
    // The same run over seams that only note what they would change: the clean's log, after a first
    // line that says nothing was changed, with the temp folder question taken as answered OK.
    int RunPreview();
    // A command line with arguments the program does not know: one line for each, and nothing done.
    static int RefuseArguments(const std::vector<std::string>& unknown);
    // The community rules report, as the main window's load would read the rules, to standard output.
    int RunRulesReport();

  private:
    // The password prompt when protection is on, then one run over the given seams, its log (after
    // firstLine, when there is one) to standard output.
    int RunOnce(bool confirmTempFolder,
                EngineServices services,
                FileLister& pluginLister,
                const PluginSources& sources,
                std::string_view firstLine);
    ProgramParts Parts();
    void OpenSetupWizard();

    win32::Win32SettingsArea settingsArea_;
    win32::Win32Registry registry_;
    win32::Win32FileSystem fileSystem_;
    win32::Win32Shell shell_;
    win32::Win32UrlCache urlCache_;
    win32::Win32HistoryLibrary history_;
    win32::Win32OsVersionSource osVersion_;
    win32::OleBrowserEmbedder browsers_;
    // Today's browsers' files: cleaned in place, and read for the wizard with every change kept in
    // memory, so that reading them can change nothing.
    win32::Win32Databases databases_;
    win32::Win32Databases databasesForReading_{SqliteDatabases::Changes::kKeptInMemory};
    win32::Win32KnownFolders knownFolders_;
    win32::Win32WebDownload web_;
    win32::Win32FileReplacer replacer_{fileSystem_};
    Identity identity_;
    MessageBoxes& messages_;
    win32::CleanLock cleanLock_;
    SettingsStore settings_;
    BrowserCleaner browserCleaner_;
    MainWindowListers listers_;
    std::string programFolder_;
    PluginTables pluginTables_;
    PluginList lstPlugs_;
    CommunityRules rules_;
    PluginSources pluginSources_;
    PluginFiles plugins_;
    RulesParts rulesParts_;
    ProgramWindows windows_;
    std::optional<frmSetup> setup_;
};

}  // namespace nimbral
