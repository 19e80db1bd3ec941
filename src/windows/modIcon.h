#pragma once

#include <windows.h>

namespace nimbral {

// Gives a window its large and small icons from one of the program's icon groups, and with
// `alsoOwner` the window's top-level owner as well (the one whose button the task bar shows).
// Shared icons: nothing is left for the caller to destroy. A missing group sends a null icon.
void SetWindowIcons(HWND window, const char* iconName, bool alsoOwner, HINSTANCE instance = nullptr);

}  // namespace nimbral
