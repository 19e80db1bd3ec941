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
#include "system/ProtectedFolders.h"
#include "plugins/LineReader.h"
#include "plugins/runPlugin.h"
#include "system/Listers.h"

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
        {"C:\\Temp\\", Kind::Ignored, "", "", ""},
        {"C:\\Temp\\ >x<", Kind::Ignored, "", "", ""},
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
        {"C:\\Windows.\\", "C:\\Windows."},
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

TEST(ProtectedFolders, RootsTheWindowsFolderTheProfileAndWhatHoldsThemAreRefused) {
    constexpr char kRoot[] = "it is the root of a drive";
    constexpr char kShare[] = "it is the root of a network share";
    constexpr char kWindows[] = "it is or holds the Windows folder";
    constexpr char kProfile[] = "it is or holds your profile folder";
    constexpr char kNotFull[] = "it is not a full path";
    const struct {
        std::string folder;
        std::string reason;
    } cases[] = {
        {"C:\\", kRoot},
        {"d:\\", kRoot},
        {"C:\\Temp\\..\\", kRoot},
        {"\\\\server\\share", kShare},
        {"\\\\server\\share\\", kShare},
        {"\\\\host\\C$", kShare},
        {"C:\\Windows", kWindows},
        {"c:\\WINDOWS\\", kWindows},
        {"C:\\Windows.\\", kWindows},
        {"C:\\Windows \\", kWindows},
        {"C:\\Windows. .", kWindows},
        {"C:\\Temp\\..\\Windows", kWindows},
        {"C:/windows/", kWindows},
        {"\\\\host\\c$\\Windows", kWindows},
        {"C:\\users", kProfile},
        {"C:\\users\\me", kProfile},
        {"C:\\USERS\\ME.\\", kProfile},
        {"C:\\users\\me\\..\\me", kProfile},
        {"C:\\users\\me\\Temp", ""},
        {"C:\\users\\mel", ""},
        {"C:\\win", ""},
        {"C:\\Windows2", ""},
        {"D:\\Windows", ""},
        {"\\\\host\\share\\Windows", ""},
        {"Temp", kNotFull},
        {"", kNotFull},
        {"C:", kNotFull},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        EXPECT_EQ(ProtectedFolderReason(c.folder, "C:\\windows", "C:\\users\\me\\"), c.reason);
    }
    // Unknown system folders protect nothing beyond the roots.
    EXPECT_EQ(ProtectedFolderReason("C:\\Windows", "", ""), "");
    EXPECT_EQ(ProtectedFolderReason("C:\\Windows", "windows", "%USERPROFILE%"), "");
    EXPECT_EQ(ProtectedFolderReason("C:\\", "", ""), kRoot);
}

// ---- processing a list ----

constexpr char kList[] = "C:\\nimbral\\plugins\\Test.ww1";

class FileListTest : public ::testing::Test {
  protected:
    FileListTest() {
        shell.windowsFolder = "C:\\windows";
        shell.folders[SpecialFolder::kProfile] = "C:\\users\\me\\";
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
    }

    std::vector<std::string> Run(const std::string& content) {
        fs.AddFile(kList);
        fs.SetContent(kList, content);
        ProcessFileList(services, results, kList);
        return results.lines;
    }

    FakeFileSystem fs;
    FakeRegistry registry;
    FakeShell shell;
    FileLister fileEngine{fs};
    PluginServices services{fs, registry, shell, fileEngine, 0x1234};
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

TEST_F(FileListTest, ProtectedFoldersAreRefusedHoweverTheyAreWritten) {
    const struct {
        std::string line;
        std::string log;
    } cases[] = {
        {"C:\\*.* >plus subdirectories<", "Refused to delete C:\\: it is the root of a drive"},
        {"C:\\Temp\\..\\..\\..\\*.* >plus subdirectories<", "Refused to delete C:\\: it is the root of a drive"},
        {"c:\\WINDOWS\\*.* >plus subdirectories<", "Refused to delete c:\\WINDOWS: it is or holds the Windows folder"},
        {"C:\\Windows.\\*.* >plus subdirectories<",
         "Refused to delete C:\\Windows.: it is or holds the Windows folder"},
        {"C:\\Temp\\..\\windows\\*.* >plus subdirectories<",
         "Refused to delete C:\\windows: it is or holds the Windows folder"},
        {"C:\\users\\*.* >plus subdirectories<", "Refused to delete C:\\users: it is or holds your profile folder"},
        {"C:\\users\\me\\*.* >plus subdirectories<",
         "Refused to delete C:\\users\\me: it is or holds your profile folder"},
        {"C:/users/me/.\\*.* >plus subdirectories<",
         "Refused to delete C:\\users\\me: it is or holds your profile folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        results.lines.clear();
        EXPECT_THAT(Run(c.line), ElementsAre(c.log));
    }
    EXPECT_TRUE(fs.Exists("C:\\windows\\win.ini"));
    EXPECT_TRUE(fs.Exists("C:\\users\\me\\precious.doc"));
    EXPECT_TRUE(fs.Exists("C:\\Temp\\a.txt"));
}

TEST_F(FileListTest, DotDotSegmentsAreResolvedBeforeAnythingIsDone) {
    fs.AddFile("C:\\Cache\\sub\\s.txt");
    EXPECT_THAT(Run("C:\\Temp\\..\\Cache\\c.txt\r\nC:\\Nope\\..\\Cache\\sub\\..\\deep\\*.* >plus subdirectories<\r\n"
                    "C:\\Temp\\sub\\..\\..\\Cache\\sub\\*.*\r\n"),
                ElementsAre("Deleted File: c.txt", "Deleted Directory: C:\\Cache\\deep",
                            "Deleted File: C:\\Cache\\sub\\s.txt"));
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
    ProcessFileList(services, results, "C:\\nimbral\\plugins\\Gone.ww1");
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

TEST_F(FileListTest, BinaryGarbageDeletesNothing) {
    // A fixed byte stream rich in backslashes, line ends, NULs, blanks and option brackets.
    std::string garbage;
    std::uint32_t state = 12345;
    const char kSpice[] = {'\\', '\r', '\n', '\0', ' ', '*', '.', '>', '<', ':', 'C'};
    for (int i = 0; i < 200000; ++i) {
        state = state * 1103515245u + 12345u;
        const std::uint32_t r = state >> 16;
        garbage += (r % 3 == 0) ? kSpice[r % sizeof kSpice] : static_cast<char>(r & 0xFF);
    }
    Run(garbage);
    for (const char* kept : {"C:\\windows\\win.ini", "C:\\users\\me\\precious.doc", "C:\\Temp\\a.txt",
                             "C:\\Temp\\b.log", "C:\\Temp\\x.tmp", "C:\\Temp\\sub\\inner.txt", "C:\\Cache\\c.txt",
                             "C:\\Cache\\deep\\d.txt", "C:\\My Files\\a b.txt", "C:\\My Files\\a"}) {
        EXPECT_TRUE(fs.Exists(kept)) << kept;
    }
}

}  // namespace
}  // namespace nimbral
