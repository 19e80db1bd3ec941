#pragma once

// Display scaling. Each window draws itself at the scale of the display it is on, given in dots per
// inch: 96 at 100 percent, 144 at 150. The calls that tell a window's own scale came with Windows 10
// and are looked up when the program starts; where one is missing (an older Windows, or Wine), the
// system's scale stands for every window's.

#include <windows.h>

#include "platform/win32/UniqueHandles.h"

namespace nimbral::dpi {

inline constexpr int kStandard = 96;

// The scale the window is drawn at now.
int OfWindow(HWND window);

// A length in pixels at 96 dots per inch, at another scale.
inline int Scaled(int pixelsAtStandard, int dpi) {
    return ::MulDiv(pixelsAtStandard, dpi, kStandard);
}

// GetSystemMetrics at the given scale.
int SystemMetric(int index, int dpi);

// Windows 10 lays out and refonts a dialog by itself when it moves to a display of another scale.
// Each window does that itself instead (WindowBase), the same way on every system, and together
// with what only the window knows: its own fonts, pictures and placements.
void KeepSystemFromRescaling(HWND dialog);

// The picture of the two drawn for 96 and for 144 dots per inch that suits the scale, at that scale's
// size: the one drawn for it when there is one, otherwise the larger, smoothly shrunk or stretched.
// Null when neither could be loaded.
HBITMAP LoadPicture(HINSTANCE instance, int pictureAt96, int pictureAt144, int dpi);

// Shows that picture in a picture control (a static control of style SS_BITMAP, which takes the
// picture's size); `shown` keeps it for as long as the control shows it. At 96 dots per inch the
// template's own picture stays.
void ShowPicture(HWND pictureControl,
                 HINSTANCE instance,
                 int pictureAt96,
                 int pictureAt144,
                 int dpi,
                 win32::UniqueHbitmap& shown);
// Takes the picture back from the control before it goes.
void TakeBackPicture(HWND pictureControl, win32::UniqueHbitmap& shown);

}  // namespace nimbral::dpi
