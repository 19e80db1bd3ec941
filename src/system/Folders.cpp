#include "system/Folders.h"

namespace nimbral {

void DeleteDirectory(FileSystem& fileSystem, ResultsSurface& results, std::string path) {
    if (path.empty())
        return;
    if (path.back() == '/' || path.back() == '\\')
        path.pop_back();
    if (!fileSystem.FolderExists(path)) {
        results.AppendLine("Folder does not exist: " + path);
    } else if (fileSystem.RemoveFolder(path)) {
        results.AppendLine("Deleted Directory: " + path);
    } else {
        results.AppendLine("Could not delete: " + path);
    }
}

bool DirExists(FileSystem& fileSystem, const std::string& path) {
    // An empty search would list whatever the current folder holds.
    if (path.empty())
        return false;
    const auto entries = fileSystem.FindEntries(path);
    if (!entries)
        return false;
    for (const DirEntry& entry : *entries) {
        if (!(entry.attributes & (FileAttribute::kHidden | FileAttribute::kSystem)))
            return true;
    }
    return false;
}

}  // namespace nimbral
