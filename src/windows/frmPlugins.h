#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/EmbeddedBrowser.h"
#include "platform/Shell.h"
#include "platform/win32/UniqueHandles.h"
#include "system/PluginsLayout.h"
#include "system/modRebrand.h"
#include "windows/WindowBase.h"

namespace nimbral {

// The plugin download browser: the program's plugin page in an embedded browser, with an address box,
// back, forward, stop and refresh, and a status bar that tells what the browser is doing. Where no
// browser can be embedded, every page it is asked for opens in the system's web browser instead and
// the window says so. Closing it leaves the program running; the next load starts again at the
// download page.
class frmPlugins final : public WindowBase, private BrowserEvents {
  public:
    // `browsers` embeds the browser at each load; without one, pages always go to the web browser.
    frmPlugins(HINSTANCE instance, const Identity& identity, Shell& shell, BrowserEmbedder* browsers);
    ~frmPlugins() override;

    // Loads the window: it opens the download page and comes up maximised, in front of the other
    // windows. A window still loaded is brought back to the front as it is.
    void Load();
    // False when pages go to the system's web browser.
    bool ShowsPagesItself() const { return static_cast<bool>(browser_); }

  private:
    void OnInitDialog() override;
    void OnCommand(int controlId, int notification) override;
    // Enter: in the address box it opens the address; anywhere else it does nothing, and neither does
    // Escape. Only the close box closes the window.
    void OnOk() override;
    void OnCancel() override {}
    std::optional<INT_PTR> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDpiChanged(int oldDpi, int newDpi) override;

    void StatusTextChange(const std::string& text) override;
    void ProgressChange(long, long) override {}
    void DownloadBegin() override;
    void DownloadComplete() override;

    void SetPictures();
    void AddTooltips();
    void UseWebBrowserInstead();
    void Navigate(const std::string& address);
    void OnBrowse();
    void LayOut();
    void SetPanel(int panel, const std::string& text);

    HINSTANCE instance_;
    const Identity& identity_;
    Shell& shell_;
    BrowserEmbedder* browsers_;
    std::unique_ptr<EmbeddedBrowser> browser_;
    PluginsMargins margins_{};
    // Where the template puts the browser; the layout keeps its top left corner.
    PixelRect browserPlace_;
    std::vector<win32::UniqueHicon> pictures_;
};

}  // namespace nimbral
