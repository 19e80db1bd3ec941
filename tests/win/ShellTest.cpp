// The shell adapter where it depends on the process it runs in: its environment.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "platform/win32/Win32Shell.h"

namespace nimbral::wintest {
namespace {

// Sets an environment variable for the life of the object, then puts back what was there.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        char buffer[32768];
        const DWORD length = ::GetEnvironmentVariableA(name, buffer, sizeof buffer);
        if (length > 0 && length < sizeof buffer)
            old_ = std::string(buffer, length);
        ::SetEnvironmentVariableA(name, value);
    }
    ~ScopedEnvironment() { ::SetEnvironmentVariableA(name_, old_ ? old_->c_str() : nullptr); }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(Shell, ATempPathThatDoesNotFitIsEmptyNeverCutShort) {
    win32::Win32Shell shell;
    const std::string fits = "C:\\" + std::string(240, 'f');
    const std::string tooLong = "C:\\" + std::string(300, 'x');
    {
        ScopedEnvironment tmp("TMP", fits.c_str());
        ScopedEnvironment temp("TEMP", fits.c_str());
        EXPECT_EQ(shell.TempFolderPath(), fits + "\\");
    }
    ScopedEnvironment tmp("TMP", tooLong.c_str());
    ScopedEnvironment temp("TEMP", tooLong.c_str());
    EXPECT_EQ(shell.TempFolderPath(), "");
}

// Whoever starts the program decides its environment: the protected folders never come from it.
TEST(Shell, TheSystemsOwnFoldersDoNotMoveWithTheEnvironment) {
    win32::Win32Shell shell;
    const std::string profile = shell.SpecialFolderPath(0, SpecialFolder::kProfile);
    ASSERT_FALSE(profile.empty());
    ScopedEnvironment windir("windir", nullptr);
    ScopedEnvironment systemRoot("SystemRoot", "C:\\elsewhere");
    ScopedEnvironment userProfile("USERPROFILE", "C:\\elsewhere");
    ScopedEnvironment programFiles("ProgramFiles", "C:\\elsewhere");
    const auto folders = shell.OwnFolders();
    const auto names = [&folders](SystemFolder kind, const std::string& path) {
        return std::any_of(folders.begin(), folders.end(), [&](const SystemFolderPath& folder) {
            return folder.kind == kind && ::lstrcmpiA(folder.path.c_str(), path.c_str()) == 0;
        });
    };
    EXPECT_TRUE(names(SystemFolder::kWindows, "C:\\windows"));
    EXPECT_FALSE(names(SystemFolder::kWindows, "C:\\elsewhere"));
    EXPECT_TRUE(names(SystemFolder::kSystem, "C:\\windows\\system32"));
    EXPECT_TRUE(names(SystemFolder::kProgramFiles, "C:\\Program Files"));
    EXPECT_TRUE(names(SystemFolder::kProfile, profile.substr(0, profile.size() - 1)));
}

}  // namespace
}  // namespace nimbral::wintest
