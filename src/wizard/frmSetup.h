#pragma once

// The setup wizard: eight pages over one window, edited in the controls and stored only when the
// wizard is finished. The rules of its editors are portable (WizardRules); the window moves values
// between its controls and those models.

#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/Database.h"
#include "platform/FileSystem.h"
#include "platform/OsVersionSource.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/UrlCache.h"
#include "settings/SettingsStore.h"
#include "system/Listers.h"
#include "system/modRebrand.h"
#include "windows/MessageBoxes.h"
#include "windows/WindowBase.h"
#include "wizard/WizardRules.h"

namespace nimbral {

class frmSetup final : public WindowBase {
  public:
    // What the wizard works with, owned by the program for its whole life.
    struct Parts {
        const Identity& identity;
        SettingsStore& settings;
        Registry& registry;
        Shell& shell;
        FileSystem& fileSystem;
        UrlCache& urlCache;
        OsVersionSource& osVersion;
        MessageBoxes& messages;
        std::string programFolder;  // without a trailing backslash
        std::string exeFileName;    // "nimbral.exe"
        // Where today's browsers' databases are read from for the lists of what the machine holds;
        // none leaves the browsers out of those lists.
        Databases* browserDatabases = nullptr;
    };

    // Loads and shows the wizard on page 0. Whichever way it closes, onClosed runs once it is gone.
    frmSetup(HINSTANCE instance, Parts parts, std::function<void()> onClosed);

    std::int16_t PageIndex() const { return pageIndex_; }
    bool TypedUrlsListed() const { return typedUrlsListed_; }

    void LayoutPages();
    void HideAllPages();
    void EnterPage(int page);
    void ShowPage(int page);

  private:
    void OnInitDialog() override;
    void OnCommand(int controlId, int notification) override;
    // Enter in a text box adds what it holds; it never finishes or closes the wizard.
    void OnOk() override;
    void OnCancel() override { Close(); }
    std::optional<INT_PTR> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void Close();
    void Finish();
    void ShowControls(const WizardControls& model);
    WizardControls ReadControls() const;

    void LoadTypedUrlList();
    void LoadCookieSiteList();
    void CopySelectedSites(int index);
    void AddTypedSite(int index);
    void RemoveKeepListRow(int index);
    void AddDecoy(int listId, int textId);
    void RemoveDecoy(int listId);
    void InsertDecoyDefaults(int listId, const std::array<const char*, 7>& defaults);

    void OpenFolderPickers();
    void ShowDrives(const std::string& current);
    void OnDriveChosen();
    bool ShowFolder(const std::string& folder);
    void OnFolderChosen();
    void AddPickedFile();
    void RemovePickedFile();

    void OnPasswordClicked();
    void OnRunAtStartChanged();
    void ViewSample();

    ListBoxModel ReadList(int listId) const;
    void WriteList(int listId, const ListBoxModel& list);
    void Notice(const std::string& text);

    Parts parts_;
    std::function<void()> onClosed_;
    std::int16_t pageIndex_ = 0;
    bool typedUrlsListed_ = false;
    bool runAtStartReacting_ = false;
    FolderLister dir1_;
    FileLister file1_;
    std::vector<std::string> dir1Paths_;  // the folder each row of Dir1 stands for
    std::vector<std::string> driveRoots_;
};

}  // namespace nimbral
