#include "windows/MessageLoop.h"

#include <algorithm>
#include <vector>

namespace nimbral {

namespace {

std::vector<HWND>& Registered() {
    thread_local std::vector<HWND> windows;
    return windows;
}

}  // namespace

void ModelessWindows::Add(HWND window) {
    auto& windows = Registered();
    if (window && std::find(windows.begin(), windows.end(), window) == windows.end())
        windows.push_back(window);
}

void ModelessWindows::Remove(HWND window) {
    auto& windows = Registered();
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

bool ModelessWindows::TakeDialogMessage(MSG& message) {
    // A copy: handling the message may load or unload a window.
    const std::vector<HWND> windows = Registered();
    for (HWND window : windows) {
        if (::IsWindow(window) && ::IsDialogMessageA(window, &message))
            return true;
    }
    return false;
}

void HandleMessage(MSG& message) {
    if (ModelessWindows::TakeDialogMessage(message))
        return;
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
}

bool ProcessPendingMessages() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        HandleMessage(message);
    }
    return true;
}

int RunMessageLoop() {
    MSG message;
    BOOL got;
    while ((got = ::GetMessageA(&message, nullptr, 0, 0)) != 0) {
        if (got == -1)
            return -1;
        HandleMessage(message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace nimbral
