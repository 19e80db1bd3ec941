#pragma once

// The program's windows together: the start-up from the password prompt through the splash window
// to the main window, the clean run from the main window into the results window and back, and the
// small windows the main window opens. One object holds them all, so each can be reached and each
// is loaded and unloaded in one place.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "engine/modEngine.h"
#include "platform/win32/CleanLock.h"
#include "plugins/PluginFiles.h"
#include "windows/Form8.h"
#include "windows/MessageBoxes.h"
#include "windows/frmAbout.h"
#include "windows/frmMain.h"
#include "windows/frmPlugins.h"
#include "windows/frmResults.h"
#include "windows/frmRules.h"
#include "windows/frmRulesUpdate.h"
#include "windows/frmSplash.h"
#include "windows/frmWebsite.h"

namespace nimbral {

// What the windows work with, owned by the program for its whole life.
struct ProgramParts {
    HINSTANCE instance;
    const Identity& identity;
    SettingsStore& settings;
    Registry& registry;
    FileSystem& fileSystem;
    Shell& shell;
    UrlCache& urlCache;
    HistoryLibrary& history;
    OsVersionSource& osVersion;
    MainWindowListers& listers;
    PluginTables& pluginTables;
    PluginList& lstPlugs;
    PluginRunner& plugins;
    std::string programFolder;  // without a trailing backslash
    MessageBoxes& messages;
    // Loads and shows the setup wizard; none while the program has no wizard.
    std::function<void()> openSetupWizard;
    // Lines of the plugin list beyond the plugin files, in order.
    PluginSources pluginSources = {};
    // The community rules' report and update; none while the program has no rules.
    RulesParts* rules = nullptr;
    // Keeps a clean from starting while another copy of the program cleans; none in tests.
    win32::CleanLock* cleanLock = nullptr;

    // What a clean run works with, for the given cookie folder and main window.
    EngineServices Services(std::string cookieFolder, WindowHandle mainWindow) const;
};

class ProgramWindows final : public frmMain::Actions, public CleanHost {
  public:
    // `browsers` embeds the plugin window's browser; without it, that window's pages open in the web
    // browser.
    explicit ProgramWindows(ProgramParts parts, BrowserEmbedder* browsers = nullptr);

    // The start-up: the password prompt loads the settings and, when protection is on, waits for the
    // password; then the splash window comes up. False when the prompt was given up: the program
    // ends. The prompt may be given an owner window (tests drive it through theirs).
    bool Start(HWND promptOwner = nullptr);
    // What the splash window does on its last tick: the main window is loaded and shown.
    void LoadMainWindow();
    // Set once the program was told to end; a quit request is then waiting in the message queue.
    bool Ended() const { return ended_; }

    frmSplash* Splash() { return Loaded(splash_); }
    frmMain* Main() { return Loaded(main_); }
    frmResults* Results() { return Loaded(results_); }
    Form8* Help() { return Loaded(help_); }
    frmAbout* About() { return Loaded(about_); }
    frmPlugins* Plugins() { return plugins_.IsOpen() ? &plugins_ : nullptr; }
    frmRules* RulesReport() { return Loaded(rulesReport_); }
    frmWebsite& Launcher() { return launcher_; }
    const std::string& WebsiteRequest() const { return websiteRequest_; }

    void CleanNow() override;
    void OpenSetupWizard() override;
    void ViewHelp() override;
    void ViewAbout() override;
    void OpenWebsite(const std::string& request) override;
    void OpenPluginBrowser() override;
    void EndProgram() override;
    void OpenRulesReport() override;
    bool UpdateCommunityRules() override;

    ResultsSurface& ShowResults() override;

  private:
    template <typename Window>
    static Window* Loaded(std::optional<Window>& window) {
        return window && window->IsOpen() ? &*window : nullptr;
    }

    void OnResultsClosed();

    ProgramParts parts_;
    std::string websiteRequest_;
    frmWebsite launcher_;
    frmPlugins plugins_;
    std::optional<frmSplash> splash_;
    std::optional<frmMain> main_;
    std::optional<frmResults> results_;
    std::optional<Form8> help_;
    std::optional<frmAbout> about_;
    std::optional<frmRules> rulesReport_;
    bool ended_ = false;
};

}  // namespace nimbral
