#include "platform/win32/Win32Shell.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <userenv.h>

#include <iterator>

#include "platform/win32/SystemText.h"
#include "platform/win32/UniqueHandles.h"

namespace nimbral::win32 {

std::string Win32Shell::SpecialFolderPath(WindowHandle owner, int folderNumber) {
    UniquePidl idList;
    if (FAILED(::SHGetSpecialFolderLocation(reinterpret_cast<HWND>(owner), folderNumber, idList.put())))
        return {};
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(idList.get(), path))
        return {};
    return Narrow(path) + "\\";
}

std::string Win32Shell::TempFolderPath() {
    wchar_t buffer[255] = {};
    const DWORD length = ::GetTempPathW(static_cast<DWORD>(std::size(buffer)), buffer);
    // A path that does not fit is reported by its needed length, with nothing in the buffer.
    if (length == 0 || length > std::size(buffer))
        return {};
    return Narrow(std::wstring_view(buffer, length));
}

void Win32Shell::ClearRecentDocuments() {
    ::SHAddToRecentDocs(SHARD_PATHW, nullptr);
    // Some shells (Wine's among them) answer the call but keep the shortcuts, and the shortcuts are
    // the list: remove whatever is left so the list really is empty.
    const std::string recent = SpecialFolderPath(0, CSIDL_RECENT);
    if (!recent.empty())
        fileSystem_.DeleteFilesMatching(recent + "*.lnk");
}

void Win32Shell::AddRecentDocument(const std::string& path) {
    ::SHAddToRecentDocs(SHARD_PATHW, Wide(path).c_str());
}

void Win32Shell::EmptyRecycleBin(WindowHandle owner) {
    ::SHEmptyRecycleBinW(reinterpret_cast<HWND>(owner), nullptr,
                         SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
}

std::string Win32Shell::WindowsFolder() {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"windir", buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return Narrow(std::wstring_view(buffer, length));
}

namespace {

// The text a call of the kind "fill this buffer of MAX_PATH characters" answers; empty when it fails
// or the path does not fit.
template <typename Call>
std::string PathFrom(Call call) {
    wchar_t buffer[MAX_PATH] = {};
    const auto length = call(buffer);
    if (length == 0 || static_cast<std::size_t>(length) >= MAX_PATH)
        return {};
    return Narrow(buffer);
}

std::string ShellFolder(int csidl) {
    wchar_t buffer[MAX_PATH] = {};
    return SUCCEEDED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer)) ? Narrow(buffer) : "";
}

std::string TokenProfile() {
    UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put()))
        return {};
    wchar_t buffer[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    return ::GetUserProfileDirectoryW(token.get(), buffer, &size) ? Narrow(buffer) : "";
}

}  // namespace

// Each folder is asked of the system in every way it answers, never of the environment: a plugin
// can delete a registry value the shell reads, but not all the answers at once, and what the
// system's own calls give cannot be moved at all. A folder named twice is protected twice.
std::vector<SystemFolderPath> Win32Shell::OwnFolders() {
    std::vector<SystemFolderPath> folders;
    const auto add = [&folders](SystemFolder kind, const std::string& path) {
        if (!path.empty())
            folders.push_back({kind, path});
    };

    std::vector<std::string> windows;
    for (const std::string& path : {PathFrom([](wchar_t* b) { return ::GetSystemWindowsDirectoryW(b, MAX_PATH); }),
                                    PathFrom([](wchar_t* b) { return ::GetWindowsDirectoryW(b, MAX_PATH); })}) {
        if (!path.empty())
            windows.push_back(path);
    }
    for (const std::string& path : windows)
        add(SystemFolder::kWindows, path);
    add(SystemFolder::kSystem, PathFrom([](wchar_t* b) { return ::GetSystemDirectoryW(b, MAX_PATH); }));
    add(SystemFolder::kSystem, PathFrom([](wchar_t* b) { return ::GetSystemWow64DirectoryW(b, MAX_PATH); }));
    for (const std::string& path : windows) {
        for (const char* name : {"\\system", "\\system32", "\\SysWOW64", "\\WinSxS"})
            add(SystemFolder::kSystem, path + name);
        // Programs are installed on the Windows folder's drive unless the system says otherwise.
        const std::string drive = path.substr(0, 3);
        add(SystemFolder::kProgramFiles, drive + "Program Files");
        add(SystemFolder::kProgramFiles, drive + "Program Files (x86)");
    }
    for (int csidl : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON})
        add(SystemFolder::kProgramFiles, ShellFolder(csidl));

    const std::string program = ModulePath();
    const auto slash = program.rfind('\\');
    add(SystemFolder::kProgram, program.substr(0, slash == std::string::npos ? 0 : slash));

    std::vector<std::string> profiles;
    for (const std::string& path : {TokenProfile(), ShellFolder(CSIDL_PROFILE)}) {
        if (!path.empty())
            profiles.push_back(path);
    }
    for (const std::string& profile : profiles) {
        add(SystemFolder::kProfile, profile);
        for (const char* name : {"\\AppData", "\\AppData\\Roaming", "\\AppData\\Local", "\\AppData\\LocalLow",
                                 "\\Application Data", "\\Local Settings", "\\Local Settings\\Application Data"}) {
            add(SystemFolder::kAppData, profile + name);
        }
        add(SystemFolder::kDocuments, profile + "\\Documents");
        add(SystemFolder::kDocuments, profile + "\\My Documents");
        add(SystemFolder::kDesktop, profile + "\\Desktop");
    }
    add(SystemFolder::kAppData, ShellFolder(CSIDL_APPDATA));
    add(SystemFolder::kAppData, ShellFolder(CSIDL_LOCAL_APPDATA));
    add(SystemFolder::kDocuments, ShellFolder(CSIDL_PERSONAL));
    add(SystemFolder::kDesktop, ShellFolder(CSIDL_DESKTOPDIRECTORY));
    return folders;
}

// Opened without an owner, so the browser outlives whichever window asked for the page.
void Win32Shell::OpenLink(const std::string& link) {
    ::ShellExecuteW(nullptr, nullptr, Wide(link).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Shell::StartCommand(const std::string& commandLine) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION started = {};
    std::wstring line = Wide(commandLine);
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        // Nothing waits for it: the handles are let go at once.
        UniqueHandle process(started.hProcess);
        UniqueHandle thread(started.hThread);
    }
}

}  // namespace nimbral::win32
