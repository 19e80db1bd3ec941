#pragma once

// The folder routines of the cache module, which the temp step and the plugin lists share.

#include <string>

#include "platform/FileSystem.h"
#include "platform/ResultsSurface.h"

namespace nimbral {

// Removes the folder with everything in it and appends one line saying how that went; nothing for
// an empty path. One trailing "/" or "\\" of the path is dropped first.
void DeleteDirectory(FileSystem& fileSystem, ResultsSurface& results, std::string path);

// True when a directory search for the path, folders included, finds an entry: so also for a file,
// and wildcards count.
bool DirExists(FileSystem& fileSystem, const std::string& path);

}  // namespace nimbral
