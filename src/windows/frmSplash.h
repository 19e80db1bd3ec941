#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "windows/WindowBase.h"

namespace nimbral {

// The splash window between the password prompt and the main window: a picture and a line about the
// program, up for 75 ticks of a 2-millisecond timer. It then has the main window loaded and shown,
// and hides itself; it stays loaded until the program ends.
class frmSplash final : public WindowBase {
  public:
    static constexpr UINT kTimer2Interval = 2;

    // Loads the window hidden, its timer running; `showMainWindow` runs on the 75th tick.
    frmSplash(HINSTANCE instance, std::function<void()> showMainWindow);

    void Show();
    std::int16_t intTemp() const { return intTemp_; }

  private:
    void OnInitDialog() override;
    std::optional<INT_PTR> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Nothing closes the splash but its timer.
    void OnOk() override {}
    void OnCancel() override {}

    void OnDpiChanged(int, int) override;

    void OnTimer2();
    void ShowPicture();
    void FitToPicture(POINT centre);

    HINSTANCE instance_;
    std::function<void()> showMainWindow_;
    win32::UniqueHbitmap picture_;
    std::int16_t intTemp_ = 0;
};

}  // namespace nimbral
