// The ".ww1" file and folder lists over the in-memory doubles, and the folders no removal may take.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "doubles/FakeFileSystem.h"
#include "doubles/FakeRegistry.h"
#include "doubles/FakeShell.h"
#include "doubles/RecordingResults.h"
#include "plugins/LineReader.h"
#include "plugins/runPlugin.h"
#include "system/Listers.h"
#include "system/ProtectedFolders.h"

namespace nimbral {
namespace {

using ::testing::ElementsAre;
using testing::FakeFileSystem;
using testing::FakeRegistry;
using testing::FakeShell;
using ::testing::IsEmpty;
using testing::RecordingResults;
using Kind = FileListLine::Kind;
namespace fa = FileAttribute;
using namespace std::string_literals;

// ---- taking a line apart ----

TEST(FileListParse, LinesAreTakenApartIntoFolderNameAndOption) {
    const struct {
        std::string line;
        Kind kind;
        std::string folder;
        std::string name;
        std::string option;
    } cases[] = {
        {"No entries.", Kind::Ignored, "", "", ""},
        {"", Kind::Ignored, "", "", ""},
        {"no backslash.txt", Kind::Ignored, "", "", ""},
        {"No entries. ", Kind::Ignored, "", "", ""},
        {"C:\\Temp\\a.txt\0.exe"s, Kind::Ignored, "", "", ""},
        // A folder without a file: a line for the empty name, which exists nowhere.
        {"C:\\Temp\\", Kind::OneFile, "C:\\Temp\\", "", ""},
        {"C:\\Temp\\ >x<", Kind::OneFile, "C:\\Temp\\", "", ">x<"},
        {"C:\\Temp\\foo.txt", Kind::OneFile, "C:\\Temp\\", "foo.txt", "foo.txt"},
        {"C:\\Temp\\*.tmp", Kind::OneFile, "C:\\Temp\\", "*.tmp", "*.tmp"},
        {"C:\\Temp\\*.*", Kind::FilesInFolder, "C:\\Temp\\", "*.*", "*.*"},
        {"C:\\Temp\\*.* >plus subdirectories<", Kind::WholeFolder, "C:\\Temp\\", "*.*", ">plus subdirectories<"},
        // The option and the name "*.*" are compared exactly.
        {"C:\\Temp\\*.* >PLUS SUBDIRECTORIES<", Kind::FilesInFolder, "C:\\Temp\\", "*.*", ">PLUS SUBDIRECTORIES<"},
        {"C:\\Temp\\*.*  >plus subdirectories<", Kind::FilesInFolder, "C:\\Temp\\", "*.*", " >plus subdirectories<"},
        {"C:\\Temp\\*.* ", Kind::FilesInFolder, "C:\\Temp\\", "*.*", ""},
        {"C:\\Temp\\*.* x*.* y", Kind::FilesInFolder, "C:\\Temp\\", "*.*", "xy"},
        {"C:\\Temp\\*.* *.* >plus subdirectories<", Kind::WholeFolder, "C:\\Temp\\", "*.*", ">plus subdirectories<"},
        {"C:\\Temp\\*.* >plus subdirectories< ", Kind::FilesInFolder, "C:\\Temp\\", "*.*", ">plus subdirectories< "},
        {"C:\\TEMP\\*.X >plus subdirectories<", Kind::OneFile, "C:\\TEMP\\", "*.X", ">plus subdirectories<"},
        // A blank without an option after it is part of the file's name.
        {"C:\\My Files\\a b.txt", Kind::OneFile, "C:\\My Files\\", "a b.txt", "a b.txt"},
        {"C:\\My Files\\a b c.txt", Kind::OneFile, "C:\\My Files\\", "a b c.txt", "a b c.txt"},
        {"C:\\Temp\\a.txt >x", Kind::OneFile, "C:\\Temp\\", "a.txt >x", "a.txt >x"},
        {"C:\\Temp\\foo.txt >plus subdirectories<", Kind::OneFile, "C:\\Temp\\", "foo.txt", ">plus subdirectories<"},
        {"C:\\a\\b\\c", Kind::OneFile, "C:\\a\\b\\", "c", "c"},
        {"\\\\server\\share\\x.txt", Kind::OneFile, "\\\\server\\share\\", "x.txt", "x.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const FileListLine parsed = ParseFileListLine(c.line);
        EXPECT_EQ(parsed.kind, c.kind);
        if (c.kind == Kind::Ignored)
            continue;
        EXPECT_EQ(parsed.folder, c.folder);
        EXPECT_EQ(parsed.name, c.name);
        EXPECT_EQ(parsed.option, c.option);
    }
}

// ---- full paths and protected folders ----

TEST(ProtectedFolders, PathsResolveAsTheSystemReadsThem) {
    const struct {
        std::string path;
        std::optional<std::string> resolved;
    } cases[] = {
        {"C:\\Temp\\", "C:\\Temp"},
        {"C:\\", "C:\\"},
        {"c:/Temp//sub/", "c:\\Temp\\sub"},
        {"C:\\Temp\\.\\a\\.\\", "C:\\Temp\\a"},
        {"C:\\Temp\\..\\Windows\\", "C:\\Windows"},
        {"C:\\..\\..\\Windows", "C:\\Windows"},
        {"C:\\Temp\\..", "C:\\"},
        // One dot goes from a segment's end, every dot and blank from the last segment's.
        {"C:\\Windows.\\", "C:\\Windows"},
        {"C:\\Windows..\\x", "C:\\Windows.\\x"},
        {"C:\\Windows. .", "C:\\Windows"},
        {"C:\\a \\b ", "C:\\a \\b"},
        {"C:\\a..b\\", "C:\\a..b"},
        {"\\\\server\\share\\a\\..\\", "\\\\server\\share"},
        {"\\\\server\\share\\..\\..\\x", "\\\\server\\share\\x"},
        {"//server/share/x/", "\\\\server\\share\\x"},
        {"", std::nullopt},
        {"Temp\\", std::nullopt},
        {"..\\Temp\\", std::nullopt},
        {"\\Temp\\", std::nullopt},
        {"C:Temp\\", std::nullopt},
        {"C:", std::nullopt},
        {"1:\\Temp", std::nullopt},
        {" C:\\Temp\\", std::nullopt},
        {"\\\\?\\C:\\Windows\\", std::nullopt},
        {"\\\\.\\C:\\", std::nullopt},
        {"\\\\server\\", std::nullopt},
        {"\\\\server", std::nullopt},
        {"\\\\\\server\\share", std::nullopt},
        {"\\\\server\\\\share", std::nullopt},
        {"C:\\Temp\\...\\", std::nullopt},
        {"C:\\Temp\\. \\", std::nullopt},
        {"C:\\Temp\\.. \\", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ResolveFullPath(c.path), c.resolved);
    }
}

// The one rule for what a setting or a plugin line may not remove, over final paths.
TEST(ProtectedFolders, TheSystemsFoldersAndWhatHoldsThemAreRefusedTheirNeighboursAreNot) {
    FakeShell shell;
    FakeFileSystem fs;
    const ProtectedPlaces places = ProtectedPlaces::Resolve(shell.OwnFolders(), fs);
    constexpr char kRoot[] = "it is the root of a drive";
    constexpr char kWindows[] = "it is or holds the Windows folder";
    constexpr char kSystem[] = "it is or holds a system folder";
    constexpr char kInSystem[] = "it is inside a system folder";
    constexpr char kProgramFiles[] = "it is or holds the Program Files folder";
    constexpr char kProgram[] = "it is or holds this program's folder";
    constexpr char kInProgram[] = "it is inside this program's folder";
    constexpr char kProfile[] = "it is or holds your profile folder";
    constexpr char kAppData[] = "it is or holds your AppData folder";
    constexpr char kWindowsFile[] = "it is a program, library, driver or settings file of the Windows folder";
    const struct {
        std::string target;
        Removal removal;
        std::string reason;
    } cases[] = {
        // Folders, removed whole or emptied.
        {"C:\\", Removal::kFolder, kRoot},
        {"d:\\", Removal::kFolder, kRoot},
        {"\\\\server\\share", Removal::kFolder, "it is the root of a network share"},
        {"C:\\windows", Removal::kFolder, kWindows},
        {"c:\\WINDOWS", Removal::kFolder, kWindows},
        {"\\\\host\\c$\\Windows", Removal::kFolder, kWindows},
        {"C:\\windows\\system32", Removal::kFolder, kSystem},
        {"C:\\windows\\System32\\drivers\\etc", Removal::kFolder, kInSystem},
        {"C:\\Program Files", Removal::kFolder, kProgramFiles},
        {"C:\\Program Files\\Nimbral", Removal::kFolder, kProgram},
        {"C:\\Program Files\\Nimbral\\plugins", Removal::kFolder, kInProgram},
        {"C:\\users", Removal::kFolder, kProfile},
        {"C:\\users\\me", Removal::kFolder, kProfile},
        {"C:\\users\\me\\AppData", Removal::kFolder, kAppData},
        {"C:\\users\\me\\AppData\\Roaming", Removal::kFolder, kAppData},
        {"C:\\users\\me\\AppData\\Local", Removal::kFolder, kAppData},
        {"C:\\users\\me\\Documents", Removal::kFolder, "it is or holds your Documents folder"},
        {"C:\\users\\me\\Desktop", Removal::kFolder, "it is or holds your Desktop folder"},
        {"C:\\users\\me\\Temp", Removal::kFolder, ""},
        {"C:\\users\\me\\AppData\\Local\\Temp", Removal::kFolder, ""},
        {"C:\\users\\me\\AppData\\Local\\SomeApp\\Cache", Removal::kFolder, ""},
        {"C:\\users\\me\\Documents\\old drafts", Removal::kFolder, ""},
        {"C:\\windows\\temp", Removal::kFolder, ""},
        {"C:\\Program Files\\SomeApp\\logs", Removal::kFolder, ""},
        {"C:\\users\\mel", Removal::kFolder, ""},
        {"C:\\Windows2", Removal::kFolder, ""},
        {"D:\\Windows", Removal::kFolder, ""},
        {"Temp", Removal::kFolder, "it is not a full path"},
        {"", Removal::kFolder, "it is not a full path"},
        // Single files.
        {"C:\\windows\\system32\\kernel32.dll", Removal::kFile, kInSystem},
        {"C:\\windows\\system32\\drivers\\etc\\hosts", Removal::kFile, kInSystem},
        {"C:\\Program Files\\Nimbral\\Help.rtf", Removal::kFile, kInProgram},
        {"C:\\windows\\explorer.exe", Removal::kFile, kWindowsFile},
        {"C:\\WINDOWS\\NOTEPAD.EXE", Removal::kFile, kWindowsFile},
        {"C:\\windows\\win.ini", Removal::kFile, kWindowsFile},
        {"C:\\windows\\twain_32.dll", Removal::kFile, kWindowsFile},
        {"C:\\windows\\regedit.exe. .", Removal::kFile, kWindowsFile},
        {"C:\\windows\\explorer.exe::$DATA", Removal::kFile, kWindowsFile},
        {"C:\\windows\\setupact.log", Removal::kFile, ""},
        {"C:\\windows\\temp\\setup.exe", Removal::kFile, ""},
        {"C:\\Program Files\\SomeApp\\logs\\a.log", Removal::kFile, ""},
        {"C:\\users\\me\\win.ini", Removal::kFile, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        EXPECT_EQ(places.RefusalReason(c.target, c.removal), c.reason);
    }
}

TEST(ProtectedFolders, WithoutTheWindowsOrProfileFolderEverythingIsRefused) {
    FakeFileSystem fs;
    constexpr char kUnknown[] = "the Windows folder or your profile folder could not be found";
    EXPECT_EQ(ProtectedPlaces().RefusalReason("C:\\users\\me\\Temp", Removal::kFolder), kUnknown);
    const ProtectedPlaces noProfile = ProtectedPlaces::Resolve(
        {{SystemFolder::kWindows, "C:\\windows"}, {SystemFolder::kProfile, "%USERPROFILE%"}}, fs);
    EXPECT_EQ(noProfile.RefusalReason("C:\\users\\me\\Temp\\a.txt", Removal::kFile), kUnknown);
}

// The system may name its folders through other paths than the ones a line uses: each side is
// taken where it finally lies. Wine makes no short names, so this row lives here.
TEST(ProtectedFolders, APlaceNamedThroughAShortNameOrALinkIsTheSamePlace) {
    FakeFileSystem fs;
    fs.AddFolder("C:\\windows\\system32");
    fs.AddShortName("C:\\windows", "WINDOW~1");
    fs.AddFolder("C:\\users\\me");
    fs.AddFolderLink("C:\\profiles", "C:\\users");
    FakeShell shell;
    shell.ownFolders = {{SystemFolder::kWindows, "C:\\WINDOW~1"}, {SystemFolder::kProfile, "C:\\profiles\\me"}};
    const ProtectedPlaces places = ProtectedPlaces::Resolve(shell.OwnFolders(), fs);
    EXPECT_EQ(places.RefusalReason(*fs.FinalPath("C:\\WINDOW~1"), Removal::kFolder),
              "it is or holds the Windows folder");
    EXPECT_EQ(places.RefusalReason("C:\\windows", Removal::kFolder), "it is or holds the Windows folder");
    EXPECT_EQ(places.RefusalReason(*fs.FinalPath("C:\\profiles\\me"), Removal::kFolder),
              "it is or holds your profile folder");
    EXPECT_EQ(places.RefusalReason("C:\\users\\me", Removal::kFolder), "it is or holds your profile folder");
}

// ---- processing a list ----

constexpr char kList[] = "C:\\nimbral\\plugins\\Test.ww1";

class FileListTest : public ::testing::Test {
  protected:
    FileListTest() {
        fs.AddFile("C:\\windows\\win.ini");
        fs.AddFile("C:\\users\\me\\precious.doc");
        fs.AddFile("C:\\Temp\\a.txt");
        fs.AddFile("C:\\Temp\\b.log");
        fs.AddFile("C:\\Temp\\h.txt", fa::kHidden);
        fs.AddFile("C:\\Temp\\r.txt", fa::kReadOnly);
        fs.AddFile("C:\\Temp\\x.tmp");
        fs.AddFile("C:\\Temp\\sub\\inner.txt");
        fs.AddFile("C:\\Cache\\c.txt");
        fs.AddFile("C:\\Cache\\deep\\d.txt");
        fs.AddFile("C:\\My Files\\a b.txt");
        fs.AddFile("C:\\My Files\\a");
        fs.AddFolder("C:\\users\\me\\AppData\\Local");
        places = ProtectedPlaces::Resolve(shell.OwnFolders(), fs);
    }

    std::vector<std::string> Run(const std::string& content) {
        fs.AddFile(kList);
        fs.SetContent(kList, content);
        ProcessFileList(services, results, places, kList);
        return results.lines;
    }

    FakeFileSystem fs;
    FakeRegistry registry;
    FakeShell shell;
    FileLister fileEngine{fs};
    PluginServices services{fs, registry, fileEngine};
    ProtectedPlaces places;
    RecordingResults results;
};

TEST_F(FileListTest, OneFileIsDeletedOrReportedMissingByItsNameAlone) {
    EXPECT_THAT(Run("C:\\Temp\\a.txt\r\nC:\\Temp\\missing.txt\r\nc:\\TEMP\\B.LOG\r\n"),
                ElementsAre("Deleted File: a.txt", "Does not exist: missing.txt", "Deleted File: B.LOG"));
    EXPECT_FALSE(fs.Exists("C:\\Temp\\a.txt"));
    EXPECT_FALSE(fs.Exists("C:\\Temp\\b.log"));
    EXPECT_TRUE(fs.Exists("C:\\Temp\\x.tmp"));
}

TEST_F(FileListTest, FilesThatResistOrHideAreNotReported) {
    fs.LockFile("C:\\Temp\\a.txt");
    // Read-only files are not forced; hidden ones are not seen by the existence rule.
    EXPECT_THAT(Run("C:\\Temp\\a.txt\r\nC:\\Temp\\r.txt\r\nC:\\Temp\\h.txt\r\nC:\\Temp\\sub\r\n"),
                ElementsAre("Does not exist: h.txt", "Does not exist: sub"));
    for (const char* kept : {"C:\\Temp\\a.txt", "C:\\Temp\\r.txt", "C:\\Temp\\h.txt", "C:\\Temp\\sub\\inner.txt"})
        EXPECT_TRUE(fs.Exists(kept)) << kept;
}

TEST_F(FileListTest, ANameWithABlankNamesTheWholeFile) {
    EXPECT_THAT(Run("C:\\My Files\\a b.txt\r\n"), ElementsAre("Deleted File: a b.txt"));
    EXPECT_FALSE(fs.Exists("C:\\My Files\\a b.txt"));
    EXPECT_TRUE(fs.Exists("C:\\My Files\\a"));
}

TEST_F(FileListTest, WildcardsOtherThanAllFilesAreNotExpanded) {
    EXPECT_THAT(Run("C:\\Temp\\*.tmp\r\n"), ElementsAre("Does not exist: *.tmp"));
    EXPECT_TRUE(fs.Exists("C:\\Temp\\x.tmp"));
}

TEST_F(FileListTest, AllFilesDeletesTheOrdinaryFilesDirectlyInsideWithTheirFullPaths) {
    EXPECT_THAT(Run("C:\\Temp\\*.*\r\n"), ElementsAre("Deleted File: C:\\Temp\\a.txt", "Deleted File: C:\\Temp\\b.log",
                                                      "Deleted File: C:\\Temp\\x.tmp"));
    EXPECT_TRUE(fs.Exists("C:\\Temp\\h.txt"));
    EXPECT_TRUE(fs.Exists("C:\\Temp\\r.txt")) << "read-only files are not forced";
    EXPECT_TRUE(fs.Exists("C:\\Temp\\sub\\inner.txt"));
}

TEST_F(FileListTest, AllFilesWithAnOptionInOtherCaseLeavesTheFolderAndItsSubfolders) {
    EXPECT_THAT(
        Run("C:\\Temp\\*.* >PLUS SUBDIRECTORIES<"),
        ElementsAre("Deleted File: C:\\Temp\\a.txt", "Deleted File: C:\\Temp\\b.log", "Deleted File: C:\\Temp\\x.tmp"));
    EXPECT_TRUE(fs.Exists("C:\\Temp\\sub\\inner.txt"));
}

TEST_F(FileListTest, AllFilesReportsAFileThatWentWhileTheFolderWasWorkedOn) {
    // Another program removes x.tmp after the folder was listed.
    results.onProcessMessages = [this] { fs.RemoveFile("C:\\Temp\\x.tmp"); };
    EXPECT_THAT(Run("C:\\Temp\\*.*"),
                ElementsAre("Deleted File: C:\\Temp\\a.txt", "Deleted File: C:\\Temp\\b.log", "Does not exist: *.*"));
}

TEST_F(FileListTest, AllFilesOfAMissingFolderWritesNothing) {
    fs.AddFolder("C:\\Empty");
    EXPECT_THAT(Run("C:\\Nope\\*.*\r\nC:\\Empty\\*.*\r\nC:\\Temp\\a.txt\\*.*\r\n"), IsEmpty());
    EXPECT_TRUE(fs.Exists("C:\\Temp\\a.txt"));
}

TEST_F(FileListTest, PlusSubdirectoriesRemovesTheFolderWithEverythingIn) {
    fs.AddFile("C:\\Locked\\in use.txt");
    fs.LockFile("C:\\Locked\\in use.txt");
    EXPECT_THAT(
        Run("C:\\Cache\\*.* >plus subdirectories<\r\nC:\\Nope\\*.* >plus subdirectories<\r\n"
            "C:\\Locked\\*.* >plus subdirectories<\r\n"),
        ElementsAre("Deleted Directory: C:\\Cache", "Folder does not exist: C:\\Nope", "Could not delete: C:\\Locked"));
    EXPECT_FALSE(fs.Exists("C:\\Cache"));
    EXPECT_TRUE(fs.Exists("C:\\Locked\\in use.txt"));
}

TEST_F(FileListTest, PlusSubdirectoriesNeverReachesThroughALink) {
    fs.AddFile("C:\\precious\\keep.doc");
    fs.AddFile("C:\\Linked\\plain.txt");
    fs.AddFolderLink("C:\\Linked\\link");
    EXPECT_THAT(Run("C:\\Linked\\link\\*.* >plus subdirectories<\r\nC:\\Linked\\link\\*.*\r\n"
                    "C:\\Linked\\*.* >plus subdirectories<\r\n"),
                ElementsAre("Could not delete: C:\\Linked\\link", "Could not delete: C:\\Linked"));
    EXPECT_TRUE(fs.Exists("C:\\Linked\\link"));
    EXPECT_TRUE(fs.Exists("C:\\precious\\keep.doc"));
}

TEST_F(FileListTest, ProtectedPlacesAreRefusedHoweverTheLineSpellsThem) {
    fs.AddFolder("C:\\Program Files\\Nimbral\\plugins");
    fs.AddFile("C:\\Program Files\\Nimbral\\Help.rtf");
    fs.AddFile("C:\\windows\\explorer.exe");
    fs.AddFile("C:\\windows\\setupact.log");
    fs.AddFile("C:\\windows\\system32\\kernel32.dll");
    fs.AddShortName("C:\\windows", "WINDOW~1");
    fs.AddFolderLink("Z:\\prefix\\drive_c", "C:\\");
    fs.AddFolderLink("C:\\Temp\\winlink", "C:\\windows");
    fs.AddFile("C:\\users\\me\\AppData\\Local\\state.dat");
    const struct {
        std::string line;
        std::string log;
    } cases[] = {
        {"C:\\*.* >plus subdirectories<", "Refused to delete C:\\: it is the root of a drive"},
        {"C:\\*.*", "Refused to delete C:\\: it is the root of a drive"},
        {"C:\\Temp\\..\\..\\..\\*.* >plus subdirectories<",
         "Refused to delete C:\\Temp\\..\\..\\..: it is the root of a drive"},
        {"c:\\WINDOWS\\*.* >plus subdirectories<", "Refused to delete c:\\WINDOWS: it is or holds the Windows folder"},
        {"C:\\windows\\*.*", "Refused to delete C:\\windows: it is or holds the Windows folder"},
        {"C:\\Windows.\\*.* >plus subdirectories<",
         "Refused to delete C:\\Windows.: it is or holds the Windows folder"},
        {"C:\\Temp\\..\\windows\\*.* >plus subdirectories<",
         "Refused to delete C:\\Temp\\..\\windows: it is or holds the Windows folder"},
        {"C:\\WINDOW~1\\*.* >plus subdirectories<",
         "Refused to delete C:\\WINDOW~1: it is or holds the Windows folder"},
        {"Z:\\prefix\\drive_c\\windows\\*.*",
         "Refused to delete Z:\\prefix\\drive_c\\windows: it is or holds the Windows folder"},
        {"C:\\Temp\\winlink\\*.* >plus subdirectories<",
         "Refused to delete C:\\Temp\\winlink: it is or holds the Windows folder"},
        {"C:\\Temp\\winlink\\*.*", "Refused to delete C:\\Temp\\winlink: it is or holds the Windows folder"},
        {"C:\\windows\\system32\\*.*", "Refused to delete C:\\windows\\system32: it is or holds a system folder"},
        {"C:\\windows\\system32\\kernel32.dll",
         "Refused to delete C:\\windows\\system32\\kernel32.dll: it is inside a system folder"},
        {"C:\\windows\\explorer.exe",
         "Refused to delete C:\\windows\\explorer.exe: it is a program, library, driver or settings file of the "
         "Windows folder"},
        {"C:\\WINDOW~1\\win.ini",
         "Refused to delete C:\\WINDOW~1\\win.ini: it is a program, library, driver or settings file of the Windows "
         "folder"},
        {"C:\\Program Files\\Nimbral\\plugins\\*.* >plus subdirectories<",
         "Refused to delete C:\\Program Files\\Nimbral\\plugins: it is inside this program's folder"},
        {"C:\\Program Files\\Nimbral\\Help.rtf",
         "Refused to delete C:\\Program Files\\Nimbral\\Help.rtf: it is inside this program's folder"},
        {"C:\\users\\*.* >plus subdirectories<", "Refused to delete C:\\users: it is or holds your profile folder"},
        {"C:/users/me/.\\*.* >plus subdirectories<",
         "Refused to delete C:/users/me/.: it is or holds your profile folder"},
        {"C:\\users\\me\\AppData\\Local\\*.*",
         "Refused to delete C:\\users\\me\\AppData\\Local: it is or holds your AppData folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        results.lines.clear();
        EXPECT_THAT(Run(c.line), ElementsAre(c.log));
    }
    for (const char* kept :
         {"C:\\windows\\win.ini", "C:\\windows\\explorer.exe", "C:\\windows\\system32\\kernel32.dll",
          "C:\\users\\me\\precious.doc", "C:\\Temp\\a.txt", "C:\\Program Files\\Nimbral\\Help.rtf"}) {
        EXPECT_TRUE(fs.Exists(kept)) << kept;
    }
    // A file of the Windows folder that is neither program nor settings may go.
    results.lines.clear();
    EXPECT_THAT(Run("C:\\windows\\setupact.log"), ElementsAre("Deleted File: setupact.log"));
}

TEST_F(FileListTest, LinksAreNeverDeletedAndWhatTheyLeadToIsNeverTouched) {
    fs.AddFile("C:\\elsewhere\\precious.txt");
    fs.AddFile("C:\\elsewhere\\inner\\deep.txt");
    fs.AddFileLink("C:\\Temp\\flink.txt", "C:\\elsewhere\\precious.txt");
    fs.AddFileLink("C:\\Temp\\rel.txt", "C:\\Temp\\x.tmp");
    fs.AddFolderLink("C:\\Temp\\dlink", "C:\\elsewhere");
    fs.AddFolderLink("C:\\Cache\\deep\\dlink", "C:\\elsewhere");
    fs.AddFileLink("C:\\Cache\\deep\\flink.txt", "C:\\elsewhere\\precious.txt");
    // A link as a single file is not deleted and not reported, like any file that cannot be deleted;
    // with *.* the link stays and every real file goes; the folder holding links cannot go whole.
    EXPECT_THAT(
        Run("C:\\Temp\\flink.txt\r\nC:\\Temp\\rel.txt\r\nC:\\Temp\\*.*\r\n"
            "C:\\Cache\\*.* >plus subdirectories<\r\nC:\\Temp\\dlink\\*.* >plus subdirectories<\r\n"),
        ElementsAre("Deleted File: C:\\Temp\\a.txt", "Deleted File: C:\\Temp\\b.log", "Deleted File: C:\\Temp\\x.tmp",
                    "Could not delete: C:\\Cache", "Could not delete: C:\\Temp\\dlink"));
    for (const char* kept : {"C:\\elsewhere\\precious.txt", "C:\\elsewhere\\inner\\deep.txt", "C:\\Temp\\flink.txt",
                             "C:\\Temp\\rel.txt", "C:\\Temp\\dlink", "C:\\Cache\\deep\\flink.txt"}) {
        EXPECT_TRUE(fs.Exists(kept)) << kept;
    }
}

TEST_F(FileListTest, DotDotSegmentsAreResolvedBeforeAnythingIsDone) {
    fs.AddFile("C:\\Cache\\sub\\s.txt");
    EXPECT_THAT(Run("C:\\Temp\\..\\Cache\\c.txt\r\nC:\\Nope\\..\\Cache\\sub\\..\\deep\\*.* >plus subdirectories<\r\n"
                    "C:\\Temp\\sub\\..\\..\\Cache\\sub\\*.*\r\n"),
                ElementsAre("Deleted File: c.txt", "Deleted Directory: C:\\Nope\\..\\Cache\\sub\\..\\deep",
                            "Deleted File: C:\\Temp\\sub\\..\\..\\Cache\\sub\\s.txt"));
    EXPECT_TRUE(fs.Exists("C:\\Temp\\sub\\inner.txt"));
    EXPECT_TRUE(fs.Exists("C:\\Cache"));
}

TEST_F(FileListTest, LinesWithoutAFullPathAreSkippedAndSaySo) {
    EXPECT_THAT(Run("Temp\\a.txt\r\n..\\Temp\\*.* >plus subdirectories<\r\n\\Temp\\*.*\r\n"),
                ElementsAre("Skipped a line without a full path: Temp\\a.txt",
                            "Skipped a line without a full path: ..\\Temp\\*.* >plus subdirectories<",
                            "Skipped a line without a full path: \\Temp\\*.*"));
    EXPECT_TRUE(fs.Exists("C:\\Temp\\a.txt"));
}

TEST_F(FileListTest, PlaceholdersEmptyLinesAndLinesWithoutABackslashWriteNothing) {
    EXPECT_THAT(Run("No entries."), IsEmpty());
    EXPECT_THAT(Run("No entries.\r\n\r\n\r\nJust some words\r\n*.*\r\n"), IsEmpty());
    EXPECT_THAT(Run(""), IsEmpty());
}

TEST_F(FileListTest, LinesEndAtCrCrLfOrLfAndTheLastNeedsNoEnd) {
    fs.AddFile("C:\\Cache\\e.txt");
    EXPECT_THAT(Run("C:\\Temp\\a.txt\rC:\\Temp\\b.log\nC:\\Temp\\x.tmp\r\n\n\rC:\\Cache\\c.txt\r\r\nC:\\Cache\\e.txt"),
                ElementsAre("Deleted File: a.txt", "Deleted File: b.log", "Deleted File: x.tmp", "Deleted File: c.txt",
                            "Deleted File: e.txt"));
}

TEST_F(FileListTest, AListThatCannotBeReadSaysSo) {
    ProcessFileList(services, results, places, "C:\\nimbral\\plugins\\Gone.ww1");
    EXPECT_THAT(results.lines, ElementsAre("Could not read: C:\\nimbral\\plugins\\Gone.ww1"));
}

TEST_F(FileListTest, AnOverlongLineIsNeverActedOnEvenWhereItsCutFormNamesAFile) {
    // What the reader keeps of the line names an existing file; the whole line does not.
    const std::string kept = "C:\\Temp\\" + std::string(32768 - 8, 'k');
    fs.AddFile(kept);
    const std::string tenMegabytes = "C:\\Temp\\" + std::string(10 * 1024 * 1024, 'y');
    EXPECT_THAT(Run(kept + "zz\r\n" + tenMegabytes + "\r\nC:\\Temp\\a.txt"),
                ElementsAre("Skipped a line longer than 32768 characters",
                            "Skipped a line longer than 32768 characters", "Deleted File: a.txt"));
    EXPECT_TRUE(fs.Exists(kept));

    // At the limit itself the line is whole and is acted on.
    results.lines.clear();
    EXPECT_THAT(Run(kept), ElementsAre("Deleted File: " + kept.substr(8)));
}

// A read that fails in the middle of a line must not hand out the part read so far: the part could
// name another file.
TEST(ListLines, AReadFailureDropsTheLineItCutShort) {
    struct FailingSource final : ByteSource {
        std::size_t Read(char* buffer, std::size_t size) override {
            if (served) {
                failed = true;
                return 0;
            }
            served = true;
            const std::string text = "C:\\Temp\\whole.txt\r\nC:\\Temp\\a.txt.bak";
            const std::size_t n = std::min(size, text.size());
            std::copy_n(text.data(), n, buffer);
            return n;
        }
        bool Failed() const override { return failed; }
        std::uint64_t Size() const override { return 0; }
        bool served = false;
        bool failed = false;
    } source;
    LineReader reader(source, kMaxListLineLength);
    std::string line;
    bool tooLong = false;
    ASSERT_TRUE(reader.Next(line, tooLong));
    EXPECT_EQ(line, "C:\\Temp\\whole.txt");
    EXPECT_FALSE(reader.Next(line, tooLong));
    EXPECT_TRUE(reader.Failed());
}

TEST_F(FileListTest, ALineHoldingANulIsNotActedOn) {
    // The system would read the path only up to the NUL: C:\Temp\a.txt.
    EXPECT_THAT(Run("C:\\Temp\\a.txt\0.not-this\r\nC:\\Temp\\*.*\0 >plus subdirectories<\r\n\0\0\0\r\n"s),
                ElementsAre("Skipped a line holding a NUL character", "Skipped a line holding a NUL character"));
    EXPECT_TRUE(fs.Exists("C:\\Temp\\a.txt"));
    EXPECT_TRUE(fs.Exists("C:\\Temp\\b.log"));
}

// Each line reaches a guarded file if it is cut in the wrong place: at the first blank, at a
// backslash inside the option, or without its trailing blank; the last names no file at all.
TEST_F(FileListTest, GuardedFilesSurviveLinesThatReachThemOnlyWhenCutWrongly) {
    fs.AddFile("C:\\Guard\\a");
    fs.AddFile("C:\\Guard\\sub\\deep.txt");
    EXPECT_THAT(Run("C:\\Guard\\a b.txt\r\n"
                    "C:\\Guard\\sub\\*.* >plus subdirectories<\\..\\x\r\n"
                    "C:\\Guard\\a \r\n"
                    "C:\\Guard\\\r\n"),
                ElementsAre("Does not exist: a b.txt", "Does not exist: x", "Does not exist: a ", "Does not exist: "));
    EXPECT_TRUE(fs.Exists("C:\\Guard\\a"));
    EXPECT_TRUE(fs.Exists("C:\\Guard\\sub\\deep.txt"));
}

TEST_F(FileListTest, ControlCharactersOfALineAreShownNotWrittenToTheLog) {
    EXPECT_THAT(Run("Temp\\\x0e\x1a\x1b[2J.txt\r\n"),
                ElementsAre("Skipped a line without a full path: Temp\\<0E><1A><1B>[2J.txt"));
}

TEST_F(FileListTest, AListThatIsNotARegularFileOrTooLargeIsRefused) {
    fs.AddDevice("C:\\nimbral\\plugins\\Zero.ww1");
    ProcessFileList(services, results, places, "C:\\nimbral\\plugins\\Zero.ww1");
    fs.AddFile("C:\\nimbral\\plugins\\Huge.ww1");
    fs.SetReportedSize("C:\\nimbral\\plugins\\Huge.ww1", kMaxListBytes + 1);
    ProcessFileList(services, results, places, "C:\\nimbral\\plugins\\Huge.ww1");
    EXPECT_THAT(results.lines, ElementsAre("Refused to read C:\\nimbral\\plugins\\Zero.ww1: it is not a regular file",
                                           "Refused to read C:\\nimbral\\plugins\\Huge.ww1: it is larger than 256 MB"));
}

}  // namespace
}  // namespace nimbral
