#include <windows.h>

#include "app/Application.h"
#include "engine/Headless.h"
#include "platform/win32/VersionResource.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    nimbral::Application app(nimbral::win32::ReadIdentity());
    const nimbral::CommandLineSwitches switches = nimbral::ParseCommandLine(commandLine ? commandLine : "");
    if (switches.autoClean)
        return app.RunHeadless(switches.yes);
    app.settings().LoadSettings();
    return 0;
}
