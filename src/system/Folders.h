#pragma once

// The folder routines of the cache module, which the temp step and the plugin lists share.

#include <string>

#include "platform/FileSystem.h"
#include "platform/ResultsSurface.h"
#include "system/ProtectedFolders.h"

namespace nimbral {

// Removes the folder with everything in it and appends one line saying how that went; nothing for
// an empty path. One trailing "/" or "\" of the path is dropped first, but for a drive root's. The
// line names the folder
// as shownAs spells it (the path itself when shownAs is empty), less that trailing separator.
// A path with "." or ".." segments or one longer than Windows allows is refused with one line. The
// folder is judged where it finally lies, once, and removed there and nowhere else: a folder
// that places protects is refused with one line saying why, and a path whose last part is a link
// is not removed ("Could not delete: ").
void DeleteDirectory(FileSystem& fileSystem,
                     ResultsSurface& results,
                     const ProtectedPlaces& places,
                     std::string path,
                     std::string shownAs = {});

// True when a directory search for the path, folders included, finds an entry: so also for a file,
// and wildcards count.
bool DirExists(FileSystem& fileSystem, const std::string& path);

// The path less one trailing "/" or "\", as the log names a folder; a drive's root keeps its own.
std::string WithoutOneTrailingSeparator(std::string path);

// The line for a removal that places refuse: "Refused to delete " + what + ": " + reason.
std::string RefusalLine(const std::string& what, const std::string& reason);

}  // namespace nimbral
