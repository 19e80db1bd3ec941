#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include "platform/win32/UniqueHandles.h"

namespace nimbral::win32 {

std::optional<std::vector<DirEntry>> Win32FileSystem::FindEntries(const std::string& searchSpec) {
    if (searchSpec.empty())
        return std::nullopt;
    WIN32_FIND_DATAA data = {};
    UniqueFindHandle find(::FindFirstFileA(searchSpec.c_str(), &data));
    std::vector<DirEntry> entries;
    if (!find) {
        // Nothing matched in a folder that is there: an empty result, not a failure.
        return ::GetLastError() == ERROR_FILE_NOT_FOUND ? std::optional(entries) : std::nullopt;
    }
    do {
        entries.push_back({data.cFileName, data.dwFileAttributes});
    } while (::FindNextFileA(find.get(), &data));
    return entries;
}

bool Win32FileSystem::DirExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace nimbral::win32
