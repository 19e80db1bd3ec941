#pragma once

#include <windows.h>

#include <functional>

#include "platform/win32/UniqueHandles.h"
#include "system/modRebrand.h"
#include "windows/WindowBase.h"

namespace nimbral {

// The about window: the product, its version, its maker and its website, which opens when its label
// is clicked.
class frmAbout final : public WindowBase {
  public:
    // Loads the window hidden.
    frmAbout(HINSTANCE instance, const Identity& identity, std::function<void()> openWebsite);

    void Show();

  private:
    void OnInitDialog() override;
    void OnCommand(int controlId, int notification) override;
    std::optional<INT_PTR> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDpiChanged(int, int) override;
    void UseOwnFontsAndPicture();

    HINSTANCE instance_;
    const Identity& identity_;
    std::function<void()> openWebsite_;
    win32::UniqueHfont titleFont_;
    win32::UniqueHfont linkFont_;
    win32::UniqueHbitmap picture_;
};

}  // namespace nimbral
