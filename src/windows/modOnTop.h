#pragma once

#include <windows.h>

namespace nimbral {

// Puts a window above all others that are not topmost themselves (on), or back into the normal
// order (off); its place and size stay.
inline void SetOnTop(HWND window, bool on) {
    ::SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

}  // namespace nimbral
