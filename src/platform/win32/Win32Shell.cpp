#include "platform/win32/Win32Shell.h"

#include <shlobj.h>
#include <windows.h>

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

}  // namespace nimbral::win32
