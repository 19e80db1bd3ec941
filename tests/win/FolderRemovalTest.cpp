// Deletion on the real file system next to links that Wine shows as ordinary files or folders (laid
// out by make-links.sh before the tests run): every way the program deletes, over every kind of
// link, and nothing outside the place named ever changes.

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "WinTestSupport.h"
#include "doubles/FakeOsVersionSource.h"
#include "doubles/FakeSettingsArea.h"
#include "doubles/FakeUrlCache.h"
#include "doubles/RecordingResults.h"
#include "engine/modEngine.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "plugins/runPlugin.h"

namespace nimbral::wintest {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::Not;

const std::string kLinks = "C:\\nimbral-links";

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Whether the folder lists the entry: a link whose target is gone is listed, though nothing opens it.
bool Listed(const std::string& folder, const std::string& name) {
    win32::Win32FileSystem fs;
    const auto entries = fs.FindEntries(folder + "\\" + name);
    return entries && !entries->empty();
}

// A line saying that one of the links of make-links.sh was deleted.
bool ClaimsALinkDeleted(const std::string& line) {
    if (line.find("Deleted") == std::string::npos)
        return false;
    const std::string name = line.substr(line.find_last_of("\\ ") + 1);
    return name == "flink.txt" || name == "rel.txt" || name == "dlink" || name == "wlink";
}

// Everything outside the places named is as make-links.sh left it.
void ExpectNothingOutsideChanged() {
    EXPECT_EQ(UnixFileContent(OutsideUnix("precious.txt")), "precious\n");
    EXPECT_EQ(UnixFileContent(OutsideUnix("inner/deep.txt")), "precious\n");
    EXPECT_EQ(UnixFileContent(OutsideUnix("hard-original.txt")), "precious\n");
    EXPECT_TRUE(Exists("C:\\windows\\win.ini"));
    EXPECT_TRUE(Exists("C:\\windows\\system32\\kernel32.dll"));
}

class OnTheRealFileSystem : public ::testing::Test {
  protected:
    // The temp step as a clean run makes it, with the temp folder setting pointing at folder.
    std::vector<std::string> TempStep(const std::string& folder) {
        testing::FakeSettingsArea area;
        SettingsStore settings(area, "Nimbral Windows Cleaner");
        area.SaveSetting("Nimbral Windows Cleaner", "Settings", "enc", "0");
        area.SaveSetting("Nimbral Windows Cleaner", "Settings", "td", folder);
        settings.LoadSettings();
        testing::FakeUrlCache cache;
        struct NoHistory final : HistoryLibrary {
            bool DeleteHistory() override { return false; }
        } history;
        FakeOsVersionSource os;
        MainWindowListers listers(fs);
        PluginList plugins;
        struct NoPlugins final : PluginRunner {
            void RunPluginByName(const std::string&, ResultsSurface&, const ProtectedPlaces&) override {}
        } runner;
        EngineServices services{settings, registry, fs, shell, cache, history, os, listers, plugins, runner, "", 0};
        testing::RecordingResults results;
        CleanRunContext run(services, results);
        DeleteTempFiles(run);
        return results.lines;
    }

    std::vector<std::string> Ww1(const std::string& lines) {
        const std::string list = MakeScratchFolder("nimbral-matrix") + "\\Matrix.ww1";
        std::ofstream(list, std::ios::binary) << lines;
        return Ww1List(list);
    }

    std::vector<std::string> Ww1List(const std::string& list) {
        FileLister fileEngine(fs);
        PluginServices services{fs, registry, fileEngine};
        testing::RecordingResults results;
        ProcessFileList(services, results, ProtectedPlaces::Resolve(shell.OwnFolders(), fs), list);
        return results.lines;
    }

    win32::Win32FileSystem fs;
    win32::Win32Registry registry;
    win32::Win32Shell shell;
};

// Every kind of link under every way the program deletes. A row's log holds its lines (exactly
// those where the run's order is fixed), the entries it keeps are still listed, and nothing outside
// the place named has changed.
TEST_F(OnTheRealFileSystem, NoDeletionEverReachesThroughALink) {
    const std::string t = kLinks + "\\temp";
    const std::string w = kLinks + "\\ww1";
    struct Row {
        const char* link;
        const char* deletion;
        std::function<std::vector<std::string>()> run;
        bool exact;  // the log is exactly these lines, or holds them among others
        std::vector<std::string> log;
        std::vector<std::string> stays;  // still listed afterwards
    };
    const auto temp = [this](std::string folder) { return [this, folder] { return TempStep(folder); }; };
    const auto ww1 = [this](std::string lines) { return [this, lines] { return Ww1(lines); }; };
    const Row rows[] = {
        {"to a file outside the prefix",
         "temp step",
         temp(t + "-filelink"),
         false,
         {"Could not delete: " + t + "-filelink", "Could not Delete: flink.txt"},
         {t + "-filelink\\flink.txt"}},
        {"to a file outside the prefix",
         ".ww1 file and *.*",
         ww1(w + "-filelink\\flink.txt\r\n" + w + "-filelink\\*.*\r\n"),
         true,
         {},
         {w + "-filelink\\flink.txt"}},
        // Its target lies in the folder and goes; the link, left leading nowhere, is no longer listed.
        {"relative, inside the folder",
         "temp step",
         temp(t + "-rellink"),
         false,
         {"Could not delete: " + t + "-rellink"},
         {}},
        {"relative, inside the folder",
         ".ww1 file",
         ww1(w + "-rellink\\rel.txt\r\n"),
         true,
         {},
         {w + "-rellink\\rel.txt", w + "-rellink\\plain.txt"}},
        {"to a folder outside",
         "temp step",
         temp(t + "-dirlink"),
         false,
         {"Could not delete: " + t + "-dirlink", "Could not delete: " + t + "-dirlink\\dlink"},
         {t + "-dirlink\\dlink"}},
        {"to a folder outside, as the temp folder itself",
         "temp step",
         temp(t + "-dirlink\\dlink"),
         true,
         {"Refused to delete " + t + "-dirlink\\dlink: it is a link to another folder"},
         {t + "-dirlink\\dlink"}},
        {"to a folder outside",
         ".ww1 whole folder",
         ww1(w + "-dirlink\\dlink\\*.* >plus subdirectories<\r\n"),
         true,
         {"Could not delete: " + w + "-dirlink\\dlink"},
         {w + "-dirlink\\dlink"}},
        {"to the Windows folder",
         "temp step",
         temp(t + "-winlink"),
         false,
         {"Could not delete: " + t + "-winlink",
          "Refused to delete " + t + "-winlink\\wlink: it is or holds the Windows folder"},
         {t + "-winlink\\wlink"}},
        {"to the Windows folder",
         ".ww1 whole folder, *.* and a file",
         ww1(w + "-winlink\\wlink\\*.* >plus subdirectories<\r\n" + w + "-winlink\\wlink\\*.*\r\n" + w +
             "-winlink\\wlink\\win.ini\r\n"),
         true,
         {"Refused to delete " + w + "-winlink\\wlink: it is or holds the Windows folder",
          "Refused to delete " + w + "-winlink\\wlink: it is or holds the Windows folder",
          "Refused to delete " + w +
              "-winlink\\wlink\\win.ini: it is a program, library, driver or settings file of the Windows folder"},
         {w + "-winlink\\wlink"}},
        {"to the Windows folder, along the path to a system folder",
         ".ww1 *.* and whole folder",
         ww1(w + "-winlink\\wlink\\system32\\*.*\r\n" + w +
             "-winlink\\wlink\\system32\\drivers\\*.* >plus subdirectories<\r\n"),
         true,
         {"Refused to delete " + w + "-winlink\\wlink\\system32: it is or holds a system folder",
          "Refused to delete " + w + "-winlink\\wlink\\system32\\drivers: it is inside a system folder"},
         {}},
        // One name of the file goes; the other, outside, stays with its content.
        {"hard", "temp step", temp(t + "-hardlink"), true, {"Deleted Directory: " + t + "-hardlink"}, {}},
        {"hard", ".ww1 file", ww1(w + "-hardlink\\hard.txt\r\n"), true, {"Deleted File: hard.txt"}, {}},
        {"in a subfolder",
         "temp step",
         temp(t + "-deep"),
         false,
         {"Could not delete: " + t + "-deep", "Could not delete: " + t + "-deep\\sub"},
         {t + "-deep\\sub\\inner\\flink.txt"}},
        {"in a subfolder",
         ".ww1 whole folder",
         ww1(w + "-deep\\*.* >plus subdirectories<\r\n"),
         true,
         {"Could not delete: " + w + "-deep"},
         {w + "-deep\\sub\\inner\\flink.txt"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("a link ") + row.link + ", by the " + row.deletion);
        const auto log = row.run();
        if (row.exact)
            EXPECT_THAT(log, ElementsAreArray(row.log));
        else
            EXPECT_THAT(log, ::testing::IsSupersetOf(row.log));
        EXPECT_THAT(log, Not(Contains(::testing::Truly(ClaimsALinkDeleted))));
        for (const std::string& kept : row.stays)
            EXPECT_TRUE(Listed(kept.substr(0, kept.rfind('\\')), kept.substr(kept.rfind('\\') + 1))) << kept;
        ExpectNothingOutsideChanged();
    }
    // The temp step makes its folder again when it went whole.
    EXPECT_TRUE(fs.FolderExists(t + "-hardlink"));
    EXPECT_FALSE(Exists(w + "-hardlink\\hard.txt"));
}

// Another name for drive C: (Wine's Z: drive maps the Unix root; a share maps the drive) is still
// the Windows folder or the profile.
TEST_F(OnTheRealFileSystem, TheProtectedFoldersUnderOtherNamesAreStillRefused) {
    const std::string profile = shell.SpecialFolderPath(0, SpecialFolder::kProfile);
    const std::string viaZ = UnixDrivePath("C:\\windows");
    const std::string profileViaZ = UnixDrivePath(profile.substr(0, profile.size() - 1));
    EXPECT_THAT(Ww1(viaZ + "\\*.* >plus subdirectories<\r\n" + profileViaZ + "\\*.*\r\n" +
                    "\\\\localhost\\cshare\\windows\\*.* >plus subdirectories<\r\n" +
                    "\\\\localhost\\cshare\\windows\\explorer.exe\r\n"),
                ElementsAre("Refused to delete " + viaZ + ": it is or holds the Windows folder",
                            "Refused to delete " + profileViaZ + ": it is or holds your profile folder",
                            "Refused to delete \\\\localhost\\cshare\\windows: it is or holds the Windows folder",
                            "Refused to delete \\\\localhost\\cshare\\windows\\explorer.exe: it is a program, "
                            "library, driver or settings file of the Windows folder"));
    for (const std::string& setting : {viaZ, std::string("\\\\localhost\\cshare\\windows")}) {
        EXPECT_THAT(TempStep(setting), ElementsAre(::testing::StartsWith("Refused to delete ")));
    }
    EXPECT_TRUE(Exists("C:\\windows\\explorer.exe"));
    ExpectNothingOutsideChanged();
}

// What the program lists itself it can remove, whatever the name: a trailing dot or blank, a
// device name, a path longer than 260 characters.
TEST_F(OnTheRealFileSystem, EveryNameTheTempStepListsItCanRemove) {
    const std::string names = kLinks + "\\names";
    EXPECT_THAT(
        TempStep(names),
        ElementsAre("Deleted Directory: " + names, "Folder does not exist: " + names + "\\blank ",
                    "Folder does not exist: " + names + "\\dot.", "Folder does not exist: " + names + "\\plain"));
    const auto left = fs.FindEntries(names + "\\*");
    ASSERT_TRUE(left);
    EXPECT_EQ(left->size(), 2u) << "only . and .. of the folder made again";
}

// A window's messages are handled while a large folder is listed: the listing calls back as it goes
// and lists what the plain search lists.
TEST_F(OnTheRealFileSystem, AListingCallsBackBetweenItsEntries) {
    const std::string folder = MakeScratchFolder("nimbral-listing");
    for (int i = 0; i < 40; ++i)
        std::ofstream(folder + "\\f" + std::to_string(i) + ".txt") << "x";
    int calls = 0;
    MainWindowListers listers(fs);
    ASSERT_TRUE(listers.DirEngine.SetPath(folder, [&calls] { ++calls; }));
    EXPECT_EQ(listers.FileEngine.Count(), 40u);
    EXPECT_GE(calls, 2 * 40) << "both listings, the folder's and its files', call back";
    const auto plain = fs.FindEntries(folder + "\\*.*");
    const auto listed = fs.ListEntries(folder + "\\*.*", [] {});
    ASSERT_TRUE(plain && listed);
    EXPECT_EQ(plain->size(), listed->size());
}

TEST_F(OnTheRealFileSystem, APluginListThatIsNotARegularFileIsRefusedAtOnce) {
    EXPECT_THAT(Ww1List(kLinks + "\\plugins\\Zero.ww1"),
                ElementsAre("Refused to read " + kLinks + "\\plugins\\Zero.ww1: it is not a regular file"));
    EXPECT_THAT(Ww1List(kLinks + "\\plugins\\Fifo.ww1"),
                ElementsAre("Refused to read " + kLinks + "\\plugins\\Fifo.ww1: it is not a regular file"));
}

}  // namespace
}  // namespace nimbral::wintest
