#include "windows/modIcon.h"

namespace nimbral {

namespace {

HWND TopLevelOwner(HWND window) {
    HWND top = window;
    while (HWND owner = ::GetWindow(top, GW_OWNER))
        top = owner;
    return top;
}

void SendIcon(HWND window, HWND owner, HINSTANCE instance, const char* iconName, WPARAM kind, int width, int height) {
    const auto icon = static_cast<HICON>(::LoadImageA(instance, iconName, IMAGE_ICON, width, height, LR_SHARED));
    if (owner)
        ::SendMessageA(owner, WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
    ::SendMessageA(window, WM_SETICON, kind, reinterpret_cast<LPARAM>(icon));
}

}  // namespace

void SetWindowIcons(HWND window, const char* iconName, bool alsoOwner, HINSTANCE instance) {
    if (!instance)
        instance = ::GetModuleHandleA(nullptr);
    const HWND owner = alsoOwner ? TopLevelOwner(window) : nullptr;
    SendIcon(window, owner, instance, iconName, ICON_BIG, ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON));
    SendIcon(window, owner, instance, iconName, ICON_SMALL, ::GetSystemMetrics(SM_CXSMICON),
             ::GetSystemMetrics(SM_CYSMICON));
}

}  // namespace nimbral
