// ".ww1" lists written to disk and carried out on the real file system, in a scratch folder.

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "WinTestSupport.h"
#include "doubles/RecordingResults.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "plugins/runPlugin.h"
#include "system/Listers.h"
#include "system/ProtectedFolders.h"

namespace nimbral::wintest {
namespace {

using ::testing::ElementsAre;

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteFile(const std::string& path, const std::string& content) {
    win32::UniqueHfile file(
        ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << path;
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
}

void MakeFolder(const std::string& path) {
    ASSERT_TRUE(::CreateDirectoryA(path.c_str(), nullptr)) << path;
}

class FileListOnDisk : public ::testing::Test {
  protected:
    ~FileListOnDisk() override {
        ::SetFileAttributesA((scratch + "\\ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveTree(scratch);
    }

    void Process(const std::string& listPath) {
        win32::Win32FileSystem fs;
        win32::Win32Registry registry;
        win32::Win32Shell shell;
        FileLister fileEngine(fs);
        PluginServices services{fs, registry, fileEngine};
        ProcessFileList(services, results, ProtectedPlaces::Resolve(shell.OwnFolders(), fs), listPath);
    }

    const std::string scratch = MakeScratchFolder("nimbral-ww1");
    testing::RecordingResults results;
};

TEST_F(FileListOnDisk, EveryKindOfLineIsCarriedOutWhateverEndsItsLines) {
    const std::string s = scratch;
    for (const char* name : {"\\one.txt", "\\keep.txt", "\\a b.txt", "\\a", "\\ro.txt"})
        WriteFile(s + name, "x");
    ::SetFileAttributesA((s + "\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    MakeFolder(s + "\\files");
    MakeFolder(s + "\\files\\sub");
    for (const char* name : {"\\files\\f2.txt", "\\files\\f1.txt", "\\files\\sub\\s.txt"})
        WriteFile(s + name, "x");
    MakeFolder(s + "\\whole");
    MakeFolder(s + "\\whole\\deep");
    for (const char* name : {"\\whole\\w.txt", "\\whole\\deep\\d.txt"})
        WriteFile(s + name, "x");

    const std::string list = s + "\\Test.ww1";
    WriteFile(list, "No entries.\r\n" + s + "\\one.txt\r\n" + s + "\\missing.txt\n" + s + "\\ro.txt\r\n" + s +
                        "\\a b.txt\n\n" + s + "\\files\\*.*\r\n" + s + "\\whole\\*.* >plus subdirectories<");
    Process(list);

    EXPECT_THAT(results.lines,
                ElementsAre("Deleted File: one.txt", "Does not exist: missing.txt", "Deleted File: a b.txt",
                            "Deleted File: " + s + "\\files\\f1.txt", "Deleted File: " + s + "\\files\\f2.txt",
                            "Deleted Directory: " + s + "\\whole"));
    EXPECT_FALSE(Exists(s + "\\one.txt"));
    EXPECT_TRUE(Exists(s + "\\keep.txt"));
    EXPECT_TRUE(Exists(s + "\\ro.txt")) << "read-only files are not forced";
    EXPECT_TRUE(Exists(s + "\\a"));
    EXPECT_FALSE(Exists(s + "\\files\\f1.txt"));
    EXPECT_TRUE(Exists(s + "\\files\\sub\\s.txt"));
    EXPECT_FALSE(Exists(s + "\\whole"));
}

TEST_F(FileListOnDisk, AListLockedByAnotherProgramIsReportedAndNothingIsDone) {
    WriteFile(scratch + "\\one.txt", "x");
    const std::string list = scratch + "\\Locked.ww1";
    WriteFile(list, scratch + "\\one.txt\r\n");
    win32::UniqueHfile lock(
        ::CreateFileA(list.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(lock);
    Process(list);
    EXPECT_THAT(results.lines, ElementsAre("Could not read: " + list));
    EXPECT_TRUE(Exists(scratch + "\\one.txt"));
}

TEST_F(FileListOnDisk, TheSystemsOwnFoldersAreRecognisedHoweverTheyAreReachedAndAScratchFolderIsNot) {
    win32::Win32Shell shell;
    win32::Win32FileSystem fs;
    const ProtectedPlaces places = ProtectedPlaces::Resolve(shell.OwnFolders(), fs);
    const std::string profile = shell.SpecialFolderPath(0, SpecialFolder::kProfile);
    ASSERT_FALSE(profile.empty());
    const auto judged = [&](const std::string& path) {
        return places.RefusalReason(*fs.FinalPath(path), Removal::kFolder);
    };
    EXPECT_EQ(judged("C:\\windows\\system32\\.."), "it is or holds the Windows folder");
    EXPECT_EQ(judged(UnixDrivePath("C:\\windows")), "it is or holds the Windows folder");
    EXPECT_EQ(judged(UnixDrivePath("C:\\windows\\system32")), "it is or holds a system folder");
    EXPECT_EQ(judged(profile), "it is or holds your profile folder");
    EXPECT_EQ(judged(profile + "Desktop"), "it is or holds your Documents folder") << "Wine links both to $HOME";
    EXPECT_EQ(judged(scratch), "");
}

}  // namespace
}  // namespace nimbral::wintest
