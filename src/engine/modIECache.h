#pragma once

// The URL cache walker and the folder routines.

#include <string>

#include "engine/KeepText.h"
#include "platform/FileSystem.h"
#include "platform/ResultsSurface.h"
#include "platform/UrlCache.h"
#include "settings/ControlModels.h"
#include "system/Folders.h"

namespace nimbral {

inline constexpr char kCookiesMode[] = "Cookies";
inline constexpr char kTempFilesMode[] = "Temp Files";

// Deletes the cache entries of the mode's kind whose host key does not occur in the keep text, then
// appends the three summary lines ("Found ", "Deleted ", "Kept ").
void WalkUrlCache(UrlCache& cache, ResultsSurface& results, const std::string& mode, const KeepText& keep);

// Refills the wizard's list of the sites that hold cookies on this machine (lstSites item 3), in
// the cache's order, duplicates included. Deletes nothing.
void ListCookieSites(UrlCache& cache, ListBoxRows& cookieSites);

}  // namespace nimbral
