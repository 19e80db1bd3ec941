#include "app/Application.h"

#include <windows.h>

#include "engine/Headless.h"
#include "engine/Preview.h"
#include "platform/win32/SystemText.h"
#include "text/AnsiText.h"
#include "windows/MessageLoop.h"
#include "windows/RunningProgram.h"
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

// The program's own file name, "nimbral.exe".
std::string ExeFileName() {
    const std::string file = win32::ModulePath();
    return file.substr(file.rfind('\\') + 1);
}

// The folder the program was started from, without a trailing backslash.
std::string ProgramFolder() {
    const std::string file = win32::ModulePath();
    const auto slash = file.rfind('\\');
    return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

}  // namespace

Application::Application(Identity identity, MessageBoxes& messages)
    : identity_(std::move(identity)),
      messages_(messages),
      cleanLock_(identity_.productName),
      settings_(settingsArea_, identity_.productName),
      browserCleaner_(fileSystem_, shell_, databases_, settings_),
      listers_(fileSystem_),
      programFolder_(ProgramFolder()),
      rules_(RuleServices{fileSystem_, registry_, knownFolders_, osVersion_, shell_}, programFolder_),
      // The browser entries come between the plugin files and the rules.
      pluginSources_{&browserCleaner_, &rules_},
      plugins_(PluginServices{fileSystem_, registry_, listers_.FileEngine}, programFolder_),
      rulesParts_{rules_, web_, replacer_},
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
                        [this] { OpenSetupWizard(); },
                        pluginSources_,
                        &rulesParts_,
                        &cleanLock_};
}

// The main window unloads itself right after asking; whichever way the wizard closes, a freshly
// loaded main window comes back.
void Application::OpenSetupWizard() {
    setup_.emplace(::GetModuleHandleA(nullptr),
                   frmSetup::Parts{identity_, settings_, registry_, shell_, fileSystem_, urlCache_, osVersion_,
                                   messages_, programFolder_, ExeFileName(), &databasesForReading_},
                   [this] { windows_.LoadMainWindow(); });
}

int Application::RunWindows() {
    // A second copy started while a clean runs shows the running one instead of itself.
    if (cleanLock_.HeldElsewhere()) {
        if (!BringOtherCopyToFront())
            messages_.Notice(nullptr, kAnotherCleanRunning, identity_.productName);
        return 0;
    }
    if (!windows_.Start())
        return 0;
    return RunMessageLoop();
}

int Application::RefuseArguments(const std::vector<std::string>& unknown) {
    const HANDLE out = StandardOutput();
    for (const std::string& argument : unknown)
        Write(out, kUnknownArgument + PrintableText(argument) + "\n");
    return kExitUnknownArgument;
}

int Application::RunHeadless(bool confirmTempFolder) {
    return RunOnce(confirmTempFolder, Parts().Services({}, 0), listers_.File1, pluginSources_, {});
}

int Application::RunPreview() {
    PreviewFileSystem fileSystem(fileSystem_);
    PreviewRegistry registry(registry_);
    PreviewUrlCache urlCache(urlCache_);
    PreviewHistory history(urlCache);
    PreviewShell shell(shell_, fileSystem);
    // Listers and a plugin runner of its own, so no part of the run reaches past the preview seams.
    MainWindowListers listers(fileSystem);
    win32::Win32Databases databases(SqliteDatabases::Changes::kKeptInMemory);
    BrowserCleaner browsers(fileSystem, shell, databases, settings_);
    CommunityRules rules(RuleServices{fileSystem, registry, knownFolders_, osVersion_, shell}, programFolder_);
    const PluginSources sources{&browsers, &rules};
    PluginFiles plugins(PluginServices{fileSystem, registry, listers.FileEngine}, programFolder_);
    EngineServices services{settings_,  registry, fileSystem, shell,   urlCache,      history,
                            osVersion_, listers,  lstPlugs_,  plugins, std::string(), 0};
    return RunOnce(true, services, listers.File1, sources, kPreviewLine);
}

int Application::RunRulesReport() {
    const HANDLE out = StandardOutput();
    settings_.LoadSettings();
    pluginTables_.Clear();
    lstPlugs_.clear();
    BuildPluginList(pluginTables_, lstPlugs_, listers_.File1, settings_, programFolder_, pluginSources_);
    for (const std::string& line : rules_.Report())
        Write(out, line + "\n");
    return 0;
}

int Application::RunOnce(bool confirmTempFolder,
                         EngineServices services,
                         FileLister& pluginLister,
                         const PluginSources& sources,
                         std::string_view firstLine) {
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
    if (!cleanLock_.Acquire()) {
        Write(out, std::string(kAnotherCleanRunning) + "\n");
        return kExitAnotherClean;
    }
    HeadlessHost host([out](std::string_view text) { Write(out, text); }, confirmTempFolder);
    if (!firstLine.empty())
        host.ShowResults().AppendLine(std::string(firstLine));

    // What the main window's load prepares: the plugin list from the plugin folders, and the cookie
    // folder.
    pluginTables_.Clear();
    lstPlugs_.clear();
    BuildPluginList(pluginTables_, lstPlugs_, pluginLister, settings_, programFolder_, sources);
    services.cookieFolder = services.shell.SpecialFolderPath(0, SpecialFolder::kCookies);
    RunClean(host, services);
    return 0;
}

}  // namespace nimbral
