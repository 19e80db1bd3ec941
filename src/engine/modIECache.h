#pragma once

// The URL cache walker and the folder routines.

#include <string>

#include "engine/KeepText.h"
#include "platform/FileSystem.h"
#include "platform/ResultsSurface.h"
#include "platform/UrlCache.h"
#include "settings/ControlModels.h"

namespace nimbral {

inline constexpr char kCookiesMode[] = "Cookies";
inline constexpr char kTempFilesMode[] = "Temp Files";

// Deletes the cache entries of the mode's kind whose host key does not occur in the keep text, then
// appends the three summary lines ("Found ", "Deleted ", "Kept ").
void WalkUrlCache(UrlCache& cache, ResultsSurface& results, const std::string& mode, const KeepText& keep);

// Refills the wizard's list of the sites that hold cookies on this machine (lstSites item 3), in
// the cache's order, duplicates included. Deletes nothing.
void ListCookieSites(UrlCache& cache, ListBoxRows& cookieSites);

// Removes the folder with everything in it and appends one line saying how that went; nothing for
// an empty path. One trailing "/" or "\" of the path is dropped first.
void DeleteDirectory(FileSystem& fileSystem, ResultsSurface& results, std::string path);

// True when a directory search for the path, folders included, finds an entry: so also for a file,
// and wildcards count.
bool DirExists(FileSystem& fileSystem, const std::string& path);

}  // namespace nimbral
