#pragma once

#include <windows.h>

#include <string>

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/win32/UniqueHandles.h"
#include "plugins/PluginFiles.h"
#include "settings/SettingsStore.h"
#include "system/modRebrand.h"
#include "windows/MessageBoxes.h"
#include "windows/WindowBase.h"

namespace nimbral {

// The main window: the nine categories, the plugins to run, and the commands that start a clean, the
// wizard, the plugin download and the website. Every tick is stored the moment it changes. Closing
// the window ends the program, unless the window was closed to hand over to the setup wizard.
class frmMain final : public WindowBase {
  public:
    // What the window asks of the program around it.
    class Actions {
      public:
        virtual ~Actions() = default;
        virtual void CleanNow() = 0;
        // Loads and shows the setup wizard; the main window unloads itself right after.
        virtual void OpenSetupWizard() = 0;
        virtual void ViewHelp() = 0;
        virtual void ViewAbout() = 0;
        // Sets the website launcher's request text and loads the launcher.
        virtual void OpenWebsite(const std::string& request) = 0;
        // Loads the plugin download browser, or brings it to the front while it is loaded.
        virtual void OpenPluginBrowser() = 0;
        // Ends the program at once.
        virtual void EndProgram() = 0;
        // Shows the community rules report.
        virtual void OpenRulesReport() {}
        // Fetches the current community rules; true when the file was replaced.
        virtual bool UpdateCommunityRules() { return false; }
    };

    // What the window works with, owned by the program for its whole life.
    struct Parts {
        const Identity& identity;
        SettingsStore& settings;
        Registry& registry;
        Shell& shell;
        FileSystem& fileSystem;
        FileLister& File1;  // the plugin lister
        PluginTables& pluginTables;
        PluginList& lstPlugs;
        std::string programFolder;
        MessageBoxes& messages;
        bool setupWizardAvailable = false;
        // Lines beyond the plugin files, each source's after the files' in this order.
        PluginSources pluginSources = {};
    };

    // Loads the window hidden: icons, captions, the plugin list, the cookie folder and the ticks, and
    // the help window when it opens at start-up.
    frmMain(HINSTANCE instance, Parts parts, Actions& actions);

    void Show();
    void Hide();

    // Set while the window hands over to the setup wizard: its unload then leaves the program running.
    bool WizardHandOver() const { return wizardHandOver_; }
    // The cookie folder looked up at the load, for the clean run.
    const std::string& CookieFolder() const { return cookieFolder_; }

    // The text after the last backslash.
    static std::string TrimPath(const std::string& path);
    // The program's file-existence rule.
    bool fileExists(const std::string& path);
    // Copies a file over whatever is there; a failure is told in a message box.
    void CopyFile(const std::string& source, const std::string& destination);

  private:
    void OnInitDialog() override;
    void OnCommand(int controlId, int notification) override;
    std::optional<INT_PTR> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDpiChanged(int, int) override { UseVerdanaForTheCheckBoxes(); }
    // Enter and Escape do not close the main window.
    void OnOk() override {}
    void OnCancel() override {}

    void SetVisitCaption();
    void UseVerdanaForTheCheckBoxes();
    void RebuildPluginList();
    void ShowPluginList();
    void ShowCategoryFlags();
    void OnCategoryClicked(int controlId);
    void OnPluginSelectionChanged();
    void OnPluginSpaceBar(int row);
    void StorePluginLine(int row);
    void OnSetupWizard();
    void OnDownloadPlugins();
    void Unload();

    Parts parts_;
    Actions& actions_;
    bool wizardHandOver_ = false;
    std::string cookieFolder_;
    win32::UniqueHfont verdana_;
};

}  // namespace nimbral
