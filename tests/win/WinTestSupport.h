#pragma once

// Helpers for tests that run under Wine against the real system.

#include <string>

namespace nimbral::wintest {

// The folder of the running test program, with a trailing backslash.
std::string ProgramFolder();
// Runs a command line, waits for it, and returns what it wrote to standard output.
std::string RunAndCapture(const std::string& commandLine);
// A new empty folder under the temporary folder; RemoveTree removes it again.
std::string MakeScratchFolder(const std::string& stem);
// Deletes a folder and everything in it, read-only entries included, never following a link: a
// link is left where it is and its target untouched.
void RemoveTree(const std::string& path);
// The path of an entry as Wine's drive Z: spells it, through the Unix file system.
std::string UnixDrivePath(const std::string& path);
// The folder the link fixtures lead out of the prefix to (in the build tree's Wine root), as a Unix
// path, so that what lies there is looked at without Wine in the way.
std::string OutsideUnix(const std::string& relative = {});
// Reads a Unix file through drive Z:; empty when it is not there.
std::string UnixFileContent(const std::string& unixPath);
// Makes Wine answer version queries of one program as the given Windows ("winxp", "win7").
void SetWineVersionFor(const std::string& exeName, const std::string& version);

}  // namespace nimbral::wintest
