#pragma once

// The program's file-existence rule.

#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace nimbral {

// The part of the path after its last backslash; the whole text when it has none.
std::string FileNamePart(std::string_view path);

// True when a directory search for the path, among ordinary files only (hidden, system and folder
// entries are passed over), first finds a name equal to the path's last part, ignoring letter case.
// A path with wildcards therefore counts only when its first match is spelt like the pattern.
bool FileFound(FileSystem& fileSystem, const std::string& path);

}  // namespace nimbral
