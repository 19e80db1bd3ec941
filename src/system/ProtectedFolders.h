#pragma once

// Folders that no removal may take, whatever a setting or a plugin line says.

#include <optional>
#include <string>
#include <string_view>

#include "platform/ResultsSurface.h"
#include "platform/Shell.h"

namespace nimbral {

// The path as the system resolves it before it acts, so that what is checked is what gets removed:
// "/" counts as "\", empty and "." segments go, ".." takes the segment before it (never above the
// root), and no backslash ends it except a drive root's ("C:\"). No value for a path that is not
// full (a drive letter, a colon and a backslash; or "\\server\share"), for a device path ("\\?\",
// "\\.\"), and for a segment of nothing but dots and blanks other than "." and "..", which systems
// read in different ways.
std::optional<std::string> ResolveFullPath(std::string_view path);

// Why the folder must not be removed with everything in it: a drive's or a share's root, the
// Windows folder, the profile folder, a folder holding one of them, or a path that is not full
// (it would depend on the current folder). Empty when it may go. Letter case, "." and ".." and the
// dots and blanks the system drops from the end of a name do not hide a folder; a share named by a
// drive letter and "$" counts as that drive.
std::string ProtectedFolderReason(const std::string& folder,
                                  const std::string& windowsFolder,
                                  const std::string& profileFolder);

// Checks the folder against this machine's Windows and profile folders; when it must not go, writes
// the one line saying why and answers true.
bool RefusedAsProtected(Shell& shell, WindowHandle owner, ResultsSurface& results, const std::string& folder);

}  // namespace nimbral
