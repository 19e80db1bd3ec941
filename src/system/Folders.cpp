#include "system/Folders.h"

namespace nimbral {

std::string WithoutOneTrailingSeparator(std::string path) {
    // "C:\" keeps its backslash: "C:" alone names the drive's current folder, somewhere else.
    const bool driveRoot = path.size() == 3 && path[1] == ':';
    if (!path.empty() && !driveRoot && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    return path;
}

std::string RefusalLine(const std::string& what, const std::string& reason) {
    return "Refused to delete " + what + ": " + reason;
}

void DeleteDirectory(FileSystem& fileSystem,
                     ResultsSurface& results,
                     const ProtectedPlaces& places,
                     std::string path,
                     std::string shownAs) {
    if (path.empty())
        return;
    path = WithoutOneTrailingSeparator(std::move(path));
    shownAs = shownAs.empty() ? path : WithoutOneTrailingSeparator(std::move(shownAs));
    // The log must name the folder that goes: a path that would lead elsewhere is not acted on.
    if (const std::string reason = PathShapeRefusal(path); !reason.empty()) {
        results.AppendLine(RefusalLine(shownAs, reason));
        return;
    }
    if (!fileSystem.FolderExists(path)) {
        results.AppendLine("Folder does not exist: " + shownAs);
        return;
    }
    const auto target = ResolveFolder(fileSystem, path);
    if (target) {
        if (const std::string reason = places.RefusalReason(target->finalPath, Removal::kFolder); !reason.empty()) {
            results.AppendLine(RefusalLine(shownAs, reason));
            return;
        }
    }
    // A link is never removed with what it leads to; the removal happens where the check was made.
    const bool removed = target && !target->isLink &&
                         fileSystem.RemoveFolder(target->finalPath, [&results] { results.ProcessPendingMessages(); });
    results.AppendLine((removed ? "Deleted Directory: " : "Could not delete: ") + shownAs);
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
