// RunAtStartupTool.exe: adds the program to the programs Windows starts, or takes it off them. That
// list is the machine's, and on Windows Vista and later only an administrator may change it, so the
// setup wizard sends the user here instead of changing it itself.
//
//   RunAtStartupTool.exe            asks: Yes adds, No removes, Cancel changes nothing
//   RunAtStartupTool.exe /add       adds without asking; exit code 0 when the entry is there
//   RunAtStartupTool.exe /remove    removes without asking; exit code 0 when it is gone

#include <windows.h>

#include <string>

#include "engine/Headless.h"
#include "platform/win32/SystemText.h"
#include "platform/win32/VersionResource.h"
#include "platform/win32/Win32Registry.h"
#include "registry/AddRemove.h"
#include "text/AnsiText.h"
#include "wizard/WizardRules.h"

namespace {

constexpr char kProgramFile[] = "nimbral.exe";

enum class Choice { kAdd, kRemove, kNothing };

// True when the Run list holds what was asked of it afterwards.
bool Apply(nimbral::AddRemove& addRemove, Choice choice, const std::string& name, const std::string& command) {
    if (choice == Choice::kAdd) {
        addRemove.AddToRun(name, command);
        return addRemove.GetString(nimbral::Hive::LocalMachine, nimbral::kRunPath, name) == command;
    }
    addRemove.RemoveFromRun(name);
    return addRemove.GetString(nimbral::Hive::LocalMachine, nimbral::kRunPath, name).empty();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const nimbral::Identity identity = nimbral::win32::ReadIdentity();
    const std::string& name = identity.productName;
    const std::string self = nimbral::win32::ModulePath();
    const std::string folder = self.substr(0, self.rfind('\\'));
    const std::string command = nimbral::StartupCommand(folder, kProgramFile);

    const std::string arguments(nimbral::ArgumentsOf(nimbral::win32::Narrow(::GetCommandLineW())));
    Choice choice = Choice::kNothing;
    bool silent = true;
    if (nimbral::EqualsIgnoreCase(nimbral::Trim(arguments), "/add")) {
        choice = Choice::kAdd;
    } else if (nimbral::EqualsIgnoreCase(nimbral::Trim(arguments), "/remove")) {
        choice = Choice::kRemove;
    } else if (!arguments.empty()) {
        return nimbral::kExitUnknownArgument;
    } else {
        silent = false;
        const std::string question = "Start " + name +
                                     " when Windows starts?\r\n\r\nYes adds it to the programs Windows starts, No "
                                     "takes it off them, Cancel changes nothing.";
        switch (::MessageBoxA(nullptr, question.c_str(), name.c_str(), MB_YESNOCANCEL | MB_ICONQUESTION)) {
            case IDYES:
                choice = Choice::kAdd;
                break;
            case IDNO:
                choice = Choice::kRemove;
                break;
            default:
                return 0;
        }
    }

    nimbral::win32::Win32Registry registry;
    nimbral::AddRemove addRemove(registry);
    const bool done = Apply(addRemove, choice, name, command);
    if (!silent) {
        const std::string said =
            done ? name + (choice == Choice::kAdd ? " will start with Windows." : " will no longer start with Windows.")
                 : "Windows refused to change HKEY_LOCAL_MACHINE\\" + std::string(nimbral::kRunPath) +
                       ".  Right click on RunAtStartupTool.exe and select 'Run As Administrator'.";
        ::MessageBoxA(nullptr, said.c_str(), name.c_str(), MB_OK | (done ? MB_ICONINFORMATION : MB_ICONWARNING));
    }
    return done ? 0 : 1;
}
