#pragma once

// The places no setting or plugin line may have removed, whatever it says and however it spells
// them. The folders are the ones the system itself names (never the environment, a setting or
// anything a plugin can delete), each taken where it finally lies, and a target is judged where it
// finally lies too: a link or junction along the way, a short name, another drive or share that
// leads to the same folder, or a different spelling cannot reach a protected folder.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Shell.h"

namespace nimbral {

// The path as the system reads it before it acts, so that what is checked is what gets removed:
// "/" counts as "\", empty and "." segments go, ".." takes the segment before it (never above the
// root), a segment loses one trailing dot and the last segment all its trailing dots and blanks,
// and no backslash ends it except a drive root's ("C:\"). No value for a path that is not full (a
// drive letter, a colon and a backslash; or "\\server\share"), for a device path ("\\?\", "\\.\"),
// and for a segment of nothing but dots and blanks other than "." and "..", which systems read in
// different ways.
std::optional<std::string> ResolveFullPath(std::string_view path);

// Why a path a setting names is refused before anything is asked of it; empty when it is not. A
// path with "." or ".." segments names one folder in the log and another on the disk; a path longer
// than Windows allows (32,767 characters, or a segment past 255) would be shortened by some systems
// into a path that names something else.
std::string PathShapeRefusal(std::string_view path);

// What is to go: a folder with everything in it, or the files directly in a folder (both judged
// the same way), or one file.
enum class Removal { kFolder, kFile };

class ProtectedPlaces {
  public:
    // Nothing known: every removal is refused.
    ProtectedPlaces() = default;
    // Takes each folder the system names where it finally lies. Without a Windows folder and a
    // profile folder nothing can be judged, and every removal is refused.
    static ProtectedPlaces Resolve(const std::vector<SystemFolderPath>& folders, FileSystem& fileSystem);

    // Why the target must not go; empty when it may. target is where the folder or file finally
    // lies (FinalPath); a path that is not full is refused.
    //   Folders: a drive's or share's root; the Windows folder, a system folder, the Program Files
    //   folders, this program's folder, the profile folder, its AppData folders, Documents and
    //   Desktop themselves, and any folder holding one of them; anything inside a system folder or
    //   this program's folder.
    //   Files: anything inside a system folder or this program's folder, and a program, library,
    //   driver or settings file directly in the Windows folder.
    std::string RefusalReason(const std::string& target, Removal removal) const;

  private:
    struct Place {
        SystemFolder kind;
        std::string key;  // comparison key of where it finally lies
    };
    std::vector<Place> places_;
    bool known_ = false;
};

// Where a folder path leads: its final path, and whether the entry the path names is itself a link
// (or junction) to somewhere else. No value when nothing is there.
struct FolderTarget {
    std::string finalPath;
    bool isLink = false;
};
std::optional<FolderTarget> ResolveFolder(FileSystem& fileSystem, const std::string& path);

}  // namespace nimbral
