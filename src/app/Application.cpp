#include "app/Application.h"

#include <windows.h>

#include "engine/Headless.h"

namespace nimbral {

namespace {

// A program of the windows subsystem started from a console has no standard output of its own
// unless it was redirected; it then writes to the console it was started from.
HANDLE StandardOutput() {
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (out && out != INVALID_HANDLE_VALUE)
        return out;
    if (::AttachConsole(ATTACH_PARENT_PROCESS)) {
        // The console outlives the process: this handle is never closed on purpose.
        out = ::CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (out != INVALID_HANDLE_VALUE)
            return out;
    }
    return nullptr;
}

// The folder the program was started from, without a trailing backslash.
std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string file(path, length < MAX_PATH ? length : 0);
    const auto slash = file.rfind('\\');
    return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

}  // namespace

Application::Application(Identity identity)
    : identity_(std::move(identity)),
      settings_(settingsArea_, identity_.productName),
      listers_(fileSystem_),
      programFolder_(ProgramFolder()),
      plugins_(PluginServices{fileSystem_, registry_, listers_.FileEngine}, programFolder_) {}

EngineServices Application::Services(WindowHandle mainWindow) {
    pluginTables_.Clear();
    lstPlugs_.clear();
    BuildPluginList(pluginTables_, lstPlugs_, listers_.File1, settings_, programFolder_);
    return EngineServices{settings_,
                          registry_,
                          fileSystem_,
                          shell_,
                          urlCache_,
                          history_,
                          osVersion_,
                          listers_,
                          lstPlugs_,
                          plugins_,
                          shell_.SpecialFolderPath(mainWindow, SpecialFolder::kCookies),
                          mainWindow};
}

int Application::RunHeadless(bool confirmTempFolder) {
    const HANDLE out = StandardOutput();
    HeadlessHost host(
        [out](std::string_view text) {
            if (!out)
                return;
            DWORD written = 0;
            ::WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        },
        confirmTempFolder);
    settings_.LoadSettings();
    EngineServices services = Services(0);
    RunClean(host, services);
    return 0;
}

}  // namespace nimbral
