#include "platform/win32/Win32Shell.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/win32/UniqueHandles.h"

namespace nimbral::win32 {

std::string Win32Shell::SpecialFolderPath(WindowHandle owner, int folderNumber) {
    UniquePidl idList;
    if (FAILED(::SHGetSpecialFolderLocation(reinterpret_cast<HWND>(owner), folderNumber, idList.put())))
        return {};
    char path[MAX_PATH] = {};
    if (!::SHGetPathFromIDListA(idList.get(), path))
        return {};
    return std::string(path) + "\\";
}

std::string Win32Shell::TempFolderPath() {
    char buffer[255] = {};
    const DWORD length = ::GetTempPathA(sizeof buffer, buffer);
    // A path that does not fit is reported by its needed length, with nothing in the buffer.
    if (length == 0 || length > sizeof buffer)
        return {};
    return std::string(buffer, length);
}

void Win32Shell::ClearRecentDocuments() {
    ::SHAddToRecentDocs(SHARD_PATHA, nullptr);
    // Some shells (Wine's among them) answer the call but keep the shortcuts, and the shortcuts are
    // the list: remove whatever is left so the list really is empty.
    const std::string recent = SpecialFolderPath(0, CSIDL_RECENT);
    if (recent.empty())
        return;
    WIN32_FIND_DATAA data = {};
    UniqueFindHandle find(::FindFirstFileA((recent + "*.lnk").c_str(), &data));
    if (!find)
        return;
    do {
        if (!(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
            ::DeleteFileA((recent + data.cFileName).c_str());
        }
    } while (::FindNextFileA(find.get(), &data));
}

void Win32Shell::AddRecentDocument(const std::string& path) {
    ::SHAddToRecentDocs(SHARD_PATHA, path.c_str());
}

void Win32Shell::EmptyRecycleBin(WindowHandle owner) {
    ::SHEmptyRecycleBinA(reinterpret_cast<HWND>(owner), nullptr,
                         SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
}

std::string Win32Shell::WindowsFolder() {
    char buffer[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA("windir", buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::string(buffer, length);
}

// Opened without an owner, so the browser outlives whichever window asked for the page.
void Win32Shell::OpenLink(const std::string& link) {
    ::ShellExecuteA(nullptr, nullptr, link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace nimbral::win32
