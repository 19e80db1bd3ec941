#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/Win32Shell.h"

namespace nimbral::wintest {
namespace {

bool IsFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Shell, SpecialFoldersEndInExactlyOneBackslash) {
    win32::Win32Shell shell;
    for (int folder : {SpecialFolder::kRecent, SpecialFolder::kCookies}) {
        SCOPED_TRACE(folder);
        const std::string path = shell.SpecialFolderPath(0, folder);
        ASSERT_GE(path.size(), 4u);
        EXPECT_EQ(path.back(), '\\');
        EXPECT_NE(path[path.size() - 2], '\\');
        EXPECT_TRUE(IsFolder(path)) << path;
    }
    EXPECT_EQ(shell.SpecialFolderPath(0, 0x7777), "");
}

TEST(Shell, TempFolderPathIsTheSystemsWithItsBackslash) {
    win32::Win32Shell shell;
    char expected[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, expected);
    const std::string path = shell.TempFolderPath();
    EXPECT_EQ(path, expected);
    EXPECT_EQ(path.back(), '\\');
    EXPECT_TRUE(IsFolder(path));
}

}  // namespace
}  // namespace nimbral::wintest
