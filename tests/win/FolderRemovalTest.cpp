// Folder removal on the real file system, with symbolic links that lead out of the prefix (laid out
// by make-links.sh before the tests run).

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/Headless.h"
#include "engine/modIECache.h"
#include "platform/win32/Win32FileSystem.h"

namespace nimbral::wintest {
namespace {

// The folder the links point at, as Wine shows the Unix file system: drive Z:.
std::string OutsideFolder() {
    const char* root = std::getenv("NIMBRAL_WINE_ROOT");
    std::string path = std::string("Z:") + (root ? root : "/missing") + "/outside";
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(FolderRemoval, NeverReachesThroughALink) {
    const std::string tree = "C:\\nimbral-links\\tree";
    const std::string outside = OutsideFolder();
    ASSERT_TRUE(Exists(outside + "\\precious.txt")) << outside;
    ASSERT_TRUE(Exists(tree + "\\dirlink\\precious.txt")) << "the link leads out of the prefix";

    win32::Win32FileSystem fs;
    EXPECT_FALSE(fs.RemoveFolder(tree + "\\dirlink")) << "a path that names a link is not removed";
    // Wine cannot remove a link to a folder, so the tree cannot go whole; nothing behind the link is
    // touched on the way.
    EXPECT_FALSE(fs.RemoveFolder(tree));
    EXPECT_TRUE(Exists(tree + "\\dirlink"));
    EXPECT_TRUE(Exists(outside + "\\precious.txt"));
    EXPECT_TRUE(Exists(outside + "\\inner\\deep.txt"));
}

TEST(FolderRemoval, TheTempStepCleansAroundALinkAndReportsIt) {
    const std::string temp = "C:\\nimbral-links\\temp";
    const std::string outside = OutsideFolder();
    win32::Win32FileSystem fs;
    std::vector<std::string> log;
    ConsoleResults results([&log](std::string_view line) { log.emplace_back(line.substr(0, line.size() - 1)); }, true);

    DeleteDirectory(fs, results, temp + "\\");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "Could not delete: " + temp);
    EXPECT_TRUE(Exists(temp + "\\dirlink")) << "Wine cannot remove a link to a folder; it stays";
    EXPECT_TRUE(Exists(outside + "\\precious.txt"));
    EXPECT_TRUE(Exists(outside + "\\inner\\deep.txt"));
}

}  // namespace
}  // namespace nimbral::wintest
