#include "app/Application.h"

#include <windows.h>

#include "engine/Headless.h"
#include "windows/MessageLoop.h"
#include "windows/frmPass.h"

namespace nimbral {

namespace {

constexpr char kCancelledAtPrompt[] = "Clean cancelled at the password prompt.\n";

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

void Write(HANDLE out, std::string_view text) {
    if (!out)
        return;
    DWORD written = 0;
    ::WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
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

Application::Application(Identity identity, MessageBoxes& messages)
    : identity_(std::move(identity)),
      messages_(messages),
      settings_(settingsArea_, identity_.productName),
      listers_(fileSystem_),
      programFolder_(ProgramFolder()),
      plugins_(PluginServices{fileSystem_, registry_, listers_.FileEngine}, programFolder_),
      windows_(Parts(), &browsers_) {}

ProgramParts Application::Parts() {
    return ProgramParts{::GetModuleHandleA(nullptr),
                        identity_,
                        settings_,
                        registry_,
                        fileSystem_,
                        shell_,
                        urlCache_,
                        history_,
                        osVersion_,
                        listers_,
                        pluginTables_,
                        lstPlugs_,
                        plugins_,
                        programFolder_,
                        messages_,
                        {}};
}

int Application::RunWindows() {
    if (!windows_.Start())
        return 0;
    return RunMessageLoop();
}

int Application::RunHeadless(bool confirmTempFolder) {
    const HANDLE out = StandardOutput();
    settings_.LoadSettings();
    // Only a protected program needs a window here: a headless run without a display must still work.
    if (settings_.Current().ipa != 0) {
        frmPass prompt(::GetModuleHandleA(nullptr), identity_, settings_, messages_);
        if (!prompt.Run(nullptr)) {
            Write(out, kCancelledAtPrompt);
            return 1;
        }
    }
    HeadlessHost host([out](std::string_view text) { Write(out, text); }, confirmTempFolder);

    // What the main window's load prepares: the plugin list from the plugin folders, and the cookie
    // folder.
    pluginTables_.Clear();
    lstPlugs_.clear();
    BuildPluginList(pluginTables_, lstPlugs_, listers_.File1, settings_, programFolder_);
    EngineServices services = Parts().Services(shell_.SpecialFolderPath(0, SpecialFolder::kCookies), 0);
    RunClean(host, services);
    return 0;
}

}  // namespace nimbral
