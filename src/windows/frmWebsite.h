#pragma once

#include <windows.h>

#include <string>

#include "platform/Shell.h"
#include "system/modRebrand.h"
#include "windows/WindowBase.h"

namespace nimbral {

// The website launcher: an invisible window that opens the page its request text names in the
// browser, then unloads itself a second later. While it is loaded, a second request opens nothing,
// so a double click on Visit opens one page.
class frmWebsite final : public WindowBase {
  public:
    static constexpr UINT kTimer1Interval = 1000;

    // `request` is the program's request text: the caller sets it before Load, the launcher empties it
    // once it has opened the page.
    frmWebsite(HINSTANCE instance, const Identity& identity, Shell& shell, std::string& request);

    // Loads the launcher unless it is still loaded.
    void Load();

  private:
    void OnInitDialog() override;
    std::optional<INT_PTR> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    HINSTANCE instance_;
    const Identity& identity_;
    Shell& shell_;
    std::string& request_;
};

}  // namespace nimbral
