#include <windows.h>

#include "app/Application.h"
#include "engine/Headless.h"
#include "platform/win32/SystemText.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/VersionResource.h"
#include "windows/MessageBoxes.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Read wide: an argument may hold letters the code page lacks.
    const nimbral::CommandLineSwitches switches =
        nimbral::ParseCommandLine(nimbral::ArgumentsOf(nimbral::win32::Narrow(::GetCommandLineW())));
    if (!switches.unknown.empty())
        return nimbral::Application::RefuseArguments(switches.unknown);
    // For the plugin window's embedded browser, on this, the windows' one thread; it outlives every
    // window, so each browser is gone before OLE is.
    const nimbral::win32::OleInitialization ole;
    nimbral::SystemMessageBoxes messages;
    nimbral::Application app(nimbral::win32::ReadIdentity(), messages);
    if (switches.preview)
        return app.RunPreview();
    if (switches.rulesReport)
        return app.RunRulesReport();
    if (switches.autoClean)
        return app.RunHeadless(switches.yes);
    return app.RunWindows();
}
