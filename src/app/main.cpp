#include <windows.h>

#include "app/Application.h"
#include "platform/win32/VersionResource.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    nimbral::Application app(nimbral::win32::ReadIdentity());
    app.settings().LoadSettings();
    return 0;
}
