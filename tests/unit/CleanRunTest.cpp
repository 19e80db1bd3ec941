// The clean run and its steps over the in-memory doubles.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <stdexcept>

#include "doubles/FakeFileSystem.h"
#include "doubles/FakeOsVersionSource.h"
#include "doubles/FakeRegistry.h"
#include "doubles/FakeSettingsArea.h"
#include "doubles/FakeShell.h"
#include "doubles/FakeUrlCache.h"
#include "doubles/RecordingResults.h"
#include "engine/Headless.h"
#include "engine/modEngine.h"
#include "engine/modIECache.h"
#include "settings/modHash.h"

namespace nimbral {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::FakeFileSystem;
using testing::FakeRegistry;
using testing::FakeSettingsArea;
using testing::FakeShell;
using testing::FakeUrlCache;
namespace fa = FileAttribute;

constexpr char kApp[] = "Nimbral Windows Cleaner";
const char* const kCategoryKeys[] = {"detype", "dehist", "decook", "deintt", "dedocu",
                                     "demedi", "dewint", "derecy", "deruns"};

class FakeHistory final : public HistoryLibrary {
  public:
    bool DeleteHistory() override {
        ++calls;
        if (throws)
            throw std::runtime_error("library failed");
        return present;
    }
    int calls = 0;
    bool present = true;
    bool throws = false;
};

class RecordingPlugins final : public PluginRunner {
  public:
    void RunPluginByName(const std::string& name, ResultsSurface& results, const ProtectedPlaces&) override {
        if (name == "Broken")
            throw std::runtime_error("bad plugin");
        results.AppendLine("ran " + name);
    }
};

// A source of the program's own lines, which runs them itself.
class RecordingSource final : public PluginSource {
  public:
    void AddEntries(PluginList&, const SettingsStore&) override {}
    void RunEntry(const std::string& name, ResultsSurface& results, const ProtectedPlaces&) override {
        results.AppendLine("ran the program's own " + name);
    }
};

class CleanRunTest : public ::testing::Test {
  protected:
    CleanRunTest() {
        os.basic = OsVersionRecord{6, 1, 7601, 2, std::string(128, '\0')};
        shell.folders[SpecialFolder::kCookies] = "C:\\users\\me\\Cookies\\";
        shell.folders[SpecialFolder::kRecent] = "C:\\users\\me\\Recent\\";
        shell.folders[SpecialFolder::kProfile] = "C:\\users\\me\\";
        fs.AddFolder("C:\\windows\\recent");
        fs.AddFolder("C:\\users\\me\\Cookies");
        fs.AddFolder("C:\\users\\me\\Recent");
        fs.AddFolder("C:\\users\\me\\Temp");
        for (const char* key : kCategoryKeys)
            Store(key, "0");
        Store("enc", "0");
    }

    void Store(const std::string& key, const std::string& text) { area.SaveSetting(kApp, "Settings", key, text); }
    void StoreList(const std::string& prefix, const std::vector<std::string>& entries) {
        for (std::size_t i = 0; i < entries.size(); ++i)
            Store(prefix + std::to_string(i), entries[i]);
    }

    std::vector<std::string> Run() {
        RunClean(host, services);
        return lines;
    }
    // The lines between a step's BEGIN and END markers.
    std::vector<std::string> RunOnly(const char* flag) {
        Store(flag, "1");
        const auto all = Run();
        EXPECT_GE(all.size(), 6u);
        return std::vector<std::string>(all.begin() + 1, all.end() - 5);
    }
    // One step on the loaded settings; edit can then put in what no stored list holds (gaps).
    std::vector<std::string> Run(void (*step)(CleanRunContext&), const std::function<void(Settings&)>& edit = {}) {
        settings.LoadSettings();
        if (edit)
            edit(settings.Current());
        CleanRunContext run(services, host.ShowResults());
        step(run);
        return lines;
    }

    FakeSettingsArea area;
    SettingsStore settings{area, kApp};
    FakeRegistry registry;
    FakeFileSystem fs;
    FakeShell shell{fs};
    FakeUrlCache cache;
    FakeHistory history;
    FakeOsVersionSource os;
    MainWindowListers listers{fs};
    PluginList plugins;
    RecordingPlugins runner;
    EngineServices services{
        settings, registry, fs, shell, cache, history, os, listers, plugins, runner, "C:\\users\\me\\Cookies\\",
        0x1234};
    std::vector<std::string> lines;
    bool confirm = true;
    HeadlessHost host{[this](std::string_view text) { lines.emplace_back(text.substr(0, text.size() - 1)); }, true};
};

TEST_F(CleanRunTest, WithNothingTickedOnlyThePluginStepRuns) {
    EXPECT_THAT(Run(), ElementsAre("-- BEGIN || Plugins", "-- END   || Plugins", "  "));
    EXPECT_EQ(host.Results().Status(), "Finished Covering Your Tracks");
    EXPECT_EQ(host.Results().ProgressValue(), host.Results().ProgressMax());
    EXPECT_TRUE(host.Results().CloseEnabled());
}

TEST_F(CleanRunTest, StepsRunInTheirFixedOrderAndOnlyWhenTheirFlagIsExactlyOne) {
    for (const char* key : kCategoryKeys)
        Store(key, "1");
    std::vector<std::string> markers;
    for (const std::string& line : Run()) {
        if (line.rfind("-- ", 0) == 0 || line == "  ")
            markers.push_back(line);
    }
    EXPECT_THAT(markers, ElementsAreArray({"-- BEGIN || Edit Typed URL's",
                                           "-- END   || Edit Typed URL's",
                                           "  ",
                                           "-- BEGIN || Delete History",
                                           "-- END   || Delete History",
                                           "  ",
                                           "-- BEGIN || Remove Unwanted Cookies",
                                           "-- END   || Remove Unwanted Cookies",
                                           "  ",
                                           "-- BEGIN || Remove Temporary Internet Files",
                                           "-- END   || Remove Temporary Internet Files",
                                           "  ",
                                           "-- BEGIN || Clean Documents Menu",
                                           "-- END   || Clean Documents Menu",
                                           "  ",
                                           "-- BEGIN || Clean Media Player",
                                           "-- END   || Clean Media",
                                           "  ",
                                           "-- BEGIN || Delete Temp Files",
                                           "-- END   || Delete Temp Files",
                                           "  ",
                                           "-- BEGIN || Empty Recycle Bin",
                                           "-- END   || Empty Recycle Bin",
                                           "  ",
                                           "-- BEGIN || Clear Run Menu",
                                           "-- END   || Clear Run Menu",
                                           "  ",
                                           "-- BEGIN || Plugins",
                                           "-- END   || Plugins",
                                           "  "}));

    // Grey (2) and any other value leave the step out; the run reloads what is stored.
    lines.clear();
    for (const char* key : kCategoryKeys)
        Store(key, "2");
    Store("derecy", "1");
    Store("deruns", "-1");
    EXPECT_THAT(Run(),
                ElementsAre("-- BEGIN || Empty Recycle Bin", "Recycle Bin Emptied", "-- END   || Empty Recycle Bin",
                            "  ", "-- BEGIN || Plugins", "-- END   || Plugins", "  "));
}

TEST_F(CleanRunTest, TheStatusNamesEachStepAsItRuns) {
    for (const char* key : kCategoryKeys)
        Store(key, "1");
    struct RecordingHost final : CleanHost {
        testing::RecordingResults results;
        ResultsSurface& ShowResults() override { return results; }
    } recording;
    recording.results.confirmAnswer = false;
    RunClean(recording, services);
    EXPECT_THAT(recording.results.statuses,
                ElementsAre("Editing Typed URL's", "Deleting History", "Removing Unwanted Cookies",
                            "Removing Temporary Internet Files", "Cleaning Documents Menu", "Cleaning Media Player",
                            "Deleting Windows Temp Files", "Emptying your Recycle Bin", "Clearing the Run Menu",
                            "Running Selected Plugins", "Finished Covering Your Tracks"));
    EXPECT_TRUE(recording.results.closeEnabled);
    EXPECT_EQ(recording.results.progressValues.back(), recording.results.progressMax);
}

TEST_F(CleanRunTest, SelectedPluginsRunInListOrderFramedByTheirNames) {
    RecordingSource source;
    plugins = {{"First", true}, {"Skipped", false}, {"Second", true}, {"Second", true, &source}};
    EXPECT_THAT(Run(),
                ElementsAre("-- BEGIN || Plugins", "STARTING PLUGIN: First", "ran First", "FINISHED PLUGIN: First",
                            "-----", "STARTING PLUGIN: Second", "ran Second", "FINISHED PLUGIN: Second", "-----",
                            "STARTING PLUGIN: Second", "ran the program's own Second", "FINISHED PLUGIN: Second",
                            "-----", "-- END   || Plugins", "  "));
}

TEST_F(CleanRunTest, AFailureEscapingAStepIsLoggedAndTheRunStillEnds) {
    plugins = {{"Broken", true}};
    Store("derecy", "1");
    history.throws = true;
    Store("dehist", "1");
    const auto log = Run();
    EXPECT_THAT(log, ::testing::Contains("Deleted History"));
    EXPECT_THAT(log, ::testing::Contains("Recycle Bin Emptied"));
    EXPECT_THAT(log, ::testing::Contains(::testing::StartsWith("Step failed: Plugins")));
    EXPECT_EQ(log.back(), "  ");
    EXPECT_EQ(log[log.size() - 2], "-- END   || Plugins");
    EXPECT_TRUE(host.Results().CloseEnabled());
    EXPECT_EQ(host.Results().Status(), "Finished Covering Your Tracks");
}

// ---- typed addresses ----

struct TypedCase {
    const char* what;
    std::vector<std::string> keep;
    std::vector<std::pair<std::string, std::string>> stored;  // value name, text
    std::vector<std::string> log;
    std::vector<std::string> after;  // url1, url2, ... afterwards
};

class TypedUrlsTest : public CleanRunTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedUrlsTest, KeepsOnlyAddressesOfKeptSitesRenumbered) {
    const TypedCase& c = GetParam();
    StoreList("sit", c.keep);
    for (const auto& [name, text] : c.stored)
        registry.SetStringValue(Hive::CurrentUser, kTypedUrlsKey, name, text);
    EXPECT_EQ(RunOnly("detype"), c.log);
    std::vector<std::string> after;
    for (int n = 1; n < 10; ++n) {
        const auto value = registry.Raw(Hive::CurrentUser, kTypedUrlsKey, "url" + std::to_string(n));
        if (value)
            after.push_back(value->data.substr(0, value->data.size() - 1));
    }
    EXPECT_EQ(after, c.after);
    if (c.after.empty()) {
        EXPECT_FALSE(registry.KeyExists(Hive::CurrentUser, kTypedUrlsKey));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases,
    TypedUrlsTest,
    ::testing::Values(TypedCase{"no key at all", {"example.com"}, {}, {}, {}},
                      TypedCase{"kept ones renumbered in order",
                                {"www.example.com/"},
                                {{"url1", "http://other.example.org/"},
                                 {"url2", "http://www.EXAMPLE.com/a"},
                                 {"url3", "example.com/b?q=1"},
                                 {"url4", "http://gone.example.net/"}},
                                {"Deleted URL: http://other.example.org/", "Deleted URL: http://gone.example.net/",
                                 "Kept URL: http://www.EXAMPLE.com/a", "Kept URL: example.com/b?q=1"},
                                {"http://www.EXAMPLE.com/a", "example.com/b?q=1"}},
                      TypedCase{
                          "a gap ends the list and loses what follows",
                          {"example"},
                          {{"url1", "http://a.example/"}, {"url2", "http://b.test/"}, {"url4", "http://c.example/"}},
                          {"Deleted URL: http://b.test/", "Kept URL: http://a.example/"},
                          {"http://a.example/"}},
                      TypedCase{"##kill## ends the list",
                                {"example"},
                                {{"url1", "http://a.test/"}, {"url2", "##kill##"}, {"url3", "http://b.example/"}},
                                {"Deleted URL: http://a.test/"},
                                {}},
                      TypedCase{"an empty keep-list keeps nothing",
                                {},
                                {{"url1", "http://a.example/"}, {"url2", "http://b.example/"}},
                                {"Deleted URL: http://a.example/", "Deleted URL: http://b.example/"},
                                {}},
                      TypedCase{"a keep entry of only http:// keeps nothing",
                                {"http://"},
                                {{"url1", "http://a.example/"}},
                                {"Deleted URL: http://a.example/"},
                                {}}),
    [](const auto& info) {
        std::string name;
        for (char c : std::string(info.param.what))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

// ---- history ----

TEST_F(CleanRunTest, HistoryIsReportedDeletedEvenWhenTheLibraryIsMissingOrFails) {
    for (int variant = 0; variant < 3; ++variant) {
        lines.clear();
        history.present = variant != 1;
        history.throws = variant == 2;
        EXPECT_THAT(Run(DeleteHistory), ElementsAre("Deleted History")) << variant;
    }
    EXPECT_EQ(history.calls, 3);
}

// ---- cookies ----

TEST_F(CleanRunTest, CookieFilesOfSitesNotKeptAreDeleted) {
    const std::string folder = "C:\\users\\me\\Cookies\\";
    StoreList("coo", {"www.kept.example.com", "other.test"});
    for (const char* name : {"me@kept.example[1].txt", "me@gone.example[2].txt", "me@other.test[1].TXT", "index.dat",
                             "bare-site.txt", "me@sub.kept.example.com[1].txt"}) {
        fs.AddFile(folder + name);
    }
    EXPECT_THAT(RunOnly("decook"),
                ElementsAre("Found 6 cookies in " + folder, "Deleted 3 unwanted cookies in " + folder,
                            "Kept 3 cookies in " + folder, "Found 0 Cookies in Internet Cache",
                            "Deleted 0 Cookies from Internet Cache", "Kept 0 Cookies in Internet Cache"));
    for (const char* kept : {"me@kept.example[1].txt", "me@other.test[1].TXT", "index.dat"}) {
        EXPECT_TRUE(fs.Exists(folder + kept)) << kept;
    }
    for (const char* gone : {"me@gone.example[2].txt", "bare-site.txt", "me@sub.kept.example.com[1].txt"}) {
        EXPECT_FALSE(fs.Exists(folder + gone)) << gone;
    }
    EXPECT_FLOAT_EQ(host.Results().ProgressMax(), 6.001f);
}

TEST_F(CleanRunTest, AMissingCookieFolderDeletesNothingAnywhere) {
    services.cookieFolder = "C:\\nowhere\\";
    fs.AddFile("C:\\users\\me\\Cookies\\me@gone.example[1].txt");
    const auto log = Run(RemoveUnwantedCookies);
    EXPECT_EQ(log.at(0), "Found 0 cookies in C:\\nowhere\\");
    EXPECT_EQ(log.at(2), "Kept 0 cookies in C:\\nowhere\\");
    EXPECT_TRUE(fs.Exists("C:\\users\\me\\Cookies\\me@gone.example[1].txt"));
}

TEST_F(CleanRunTest, ACookieThatCannotBeDeletedCountsAsKept) {
    // A locked file, and a link to a file elsewhere whose target must survive; the files after them
    // are still examined.
    const std::string folder = "C:\\users\\me\\Cookies\\";
    fs.AddFile("C:\\elsewhere\\precious.txt");
    fs.AddFile(folder + "me@gone.example[1].txt");
    fs.LockFile(folder + "me@gone.example[1].txt");
    fs.AddFileLink(folder + "me@link.example[1].txt", "C:\\elsewhere\\precious.txt");
    fs.AddFile(folder + "me@zz.example[1].txt");
    const auto log = Run(RemoveUnwantedCookies);
    EXPECT_EQ(log.at(1), "Deleted 1 unwanted cookies in " + folder);
    EXPECT_EQ(log.at(2), "Kept 2 cookies in " + folder);
    EXPECT_FALSE(fs.Exists(folder + "me@zz.example[1].txt"));
    EXPECT_TRUE(fs.Exists(folder + "me@link.example[1].txt"));
    EXPECT_TRUE(fs.Exists("C:\\elsewhere\\precious.txt"));
}

// ---- documents menu and media player ----

TEST_F(CleanRunTest, DocumentsMenuIsEmptiedAndRefilledWithDecoys) {
    fs.AddFile("C:\\windows\\recent\\a.lnk");
    fs.AddFile("C:\\windows\\recent\\keep.txt");
    fs.AddFile("C:\\users\\me\\Recent\\b.lnk");
    const auto decoys = [](Settings& s) {
        s.pat[0] = "C:\\docs\\report.doc";
        s.pat[2] = "C:\\docs\\plan.xls";
        s.fil[0] = "Report";
        s.fil[1] = "Orphan";
    };
    EXPECT_THAT(Run(CleanDocumentsMenu, decoys),
                ElementsAre("Removed all entries from Documents Menu", "Added Report to the Documents Menu",
                            "Added  to the Documents Menu"));
    EXPECT_THAT(shell.calls, ElementsAre("ClearRecentDocuments", "AddRecentDocument C:\\docs\\report.doc",
                                         "AddRecentDocument C:\\docs\\plan.xls"));
    EXPECT_FALSE(fs.Exists("C:\\windows\\recent\\a.lnk"));
    EXPECT_TRUE(fs.Exists("C:\\windows\\recent\\keep.txt"));
    // The shell empties the user's Recent folder on every system; what it holds afterwards are the
    // decoys.
    EXPECT_THAT(*fs.FindEntries("C:\\users\\me\\Recent\\*"),
                ::testing::UnorderedElementsAre(::testing::Field(&DirEntry::name, "plan.xls.lnk"),
                                                ::testing::Field(&DirEntry::name, "report.doc.lnk")));
}

TEST_F(CleanRunTest, DocumentsMenuNeverDeletesOutsideTheRecentFolders) {
    os.basic = OsVersionRecord{5, 0, 2195, 2, std::string(128, '\0')};
    shell.windowsFolder = "";
    shell.folders.erase(SpecialFolder::kRecent);
    fs.AddFile("C:\\recent\\a.lnk");
    EXPECT_THAT(Run(CleanDocumentsMenu), ElementsAre("Removed all entries from Documents Menu"));
    EXPECT_TRUE(fs.Exists("C:\\recent\\a.lnk"));
}

TEST_F(CleanRunTest, MediaPlayerListGetsNumberedDecoys) {
    registry.SetStringValue(Hive::CurrentUser, kMediaListKey, "File0", "C:\\real\\song.mp3");
    registry.SetStringValue(Hive::CurrentUser, kMediaListKey, "File7", "C:\\real\\film.avi");
    const auto decoys = [](Settings& s) {
        s.med[0] = "a";
        s.med[2] = "b.mpeg";
    };
    EXPECT_THAT(Run(CleanMediaPlayer, decoys), ElementsAre("Removed all entries from Media Player History",
                                                           "Added decoy a.mpeg to Media Player History",
                                                           "Added decoy b.mpeg.mpeg to Media Player History"));
    EXPECT_EQ(registry.ReadStringValue(Hive::CurrentUser, kMediaListKey, "File0"), "c:\\a.mpeg");
    EXPECT_EQ(registry.ReadStringValue(Hive::CurrentUser, kMediaListKey, "File1"), "c:\\b.mpeg.mpeg");
    EXPECT_FALSE(registry.Raw(Hive::CurrentUser, kMediaListKey, "File7"));
}

// ---- temporary folder ----

class TempFilesTest : public CleanRunTest {
  protected:
    TempFilesTest() {
        fs.AddFolder(kTemp + "\\sub");
        fs.AddFile(kTemp + "\\sub\\inner.tmp");
        fs.AddFolder(kTemp + "\\other");
        fs.AddFile(kTemp + "\\a.tmp");
        fs.AddFile(kTemp + "\\b.tmp", fa::kReadOnly);
        fs.AddFile(kTemp + "\\c.tmp");
        Store("td", kTemp + "\\");
    }
    const std::string kTemp = "C:\\users\\me\\Temp";
};

TEST_F(TempFilesTest, AFolderThatDoesNotExistGivesNoPromptAndNoLine) {
    Store("td", "C:\\nowhere");
    EXPECT_THAT(Run(DeleteTempFiles), ElementsAre());
}

TEST_F(TempFilesTest, CancelDeletesNothing) {
    HeadlessHost cancelling([this](std::string_view t) { lines.emplace_back(t); }, false);
    settings.LoadSettings();
    CleanRunContext run(services, cancelling.ShowResults());
    DeleteTempFiles(run);
    EXPECT_TRUE(lines.empty());
    EXPECT_TRUE(fs.Exists(kTemp + "\\a.tmp"));
}

TEST_F(TempFilesTest, ThePromptNamesTheFolderAsTheListerReportsIt) {
    testing::RecordingResults recording;
    recording.confirmAnswer = false;
    settings.LoadSettings();
    CleanRunContext run(services, recording);
    DeleteTempFiles(run);
    ASSERT_EQ(recording.confirmations.size(), 1u);
    EXPECT_EQ(recording.confirmations[0].first, "Confirm Delete");
    EXPECT_EQ(recording.confirmations[0].second,
              "All files in the following directory are about to be deleted.  Please ensure this is your Windows "
              "Temp File directory.  You can change this setting through the setup wizard.\r\n\r\nDirectory: "
              "C:\\users\\me\\Temp\r\n\r\nWould you like to contine?");
    EXPECT_TRUE(recording.lines.empty());
}

TEST_F(TempFilesTest, OkRemovesEverythingThatDoesNotResist) {
    fs.SetAttributesNormal(kTemp + "\\b.tmp");
    EXPECT_THAT(Run(DeleteTempFiles),
                ElementsAre("Deleted Directory: " + kTemp, "Folder does not exist: " + kTemp + "\\other",
                            "Folder does not exist: " + kTemp + "\\sub"));
    // The folder itself is back, empty.
    EXPECT_TRUE(fs.FolderExists(kTemp));
    EXPECT_EQ(fs.FindEntries(kTemp + "\\*")->size(), 0u);
}

TEST_F(TempFilesTest, WhatResistsIsReportedAndTheRestCleanedUp) {
    fs.LockFile(kTemp + "\\c.tmp");
    const auto log = Run(DeleteTempFiles);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "Could not delete: " + kTemp);
    EXPECT_THAT(log, ::testing::Contains("Could not Delete: c.tmp"));
    EXPECT_THAT(log, ::testing::Not(::testing::Contains("Could not Delete: b.tmp")));
    EXPECT_FALSE(fs.Exists(kTemp + "\\a.tmp"));
    EXPECT_FALSE(fs.Exists(kTemp + "\\b.tmp")) << "read-only files are made normal and deleted";
    EXPECT_FALSE(fs.Exists(kTemp + "\\sub"));
    EXPECT_TRUE(fs.Exists(kTemp + "\\c.tmp"));
}

TEST_F(TempFilesTest, ALinkInsideIsNeverFollowed) {
    fs.AddFolder("C:\\precious");
    fs.AddFile("C:\\precious\\keep.doc");
    fs.AddFolderLink(kTemp + "\\link");
    const auto log = Run(DeleteTempFiles);
    EXPECT_EQ(log.front(), "Could not delete: " + kTemp);
    EXPECT_THAT(log, ::testing::Contains("Could not delete: " + kTemp + "\\link"));
    EXPECT_TRUE(fs.Exists("C:\\precious\\keep.doc"));
}

TEST_F(TempFilesTest, RootsTheWindowsFolderAndTheProfileAreRefused) {
    fs.AddFile("C:\\users\\me\\precious.doc");
    const struct {
        std::string setting;
        std::string line;
    } cases[] = {
        {"C:\\", "Refused to delete C:\\: it is the root of a drive"},
        {"c:\\Windows\\", "Refused to delete c:\\Windows: it is or holds the Windows folder"},
        {"C:\\users\\me", "Refused to delete C:\\users\\me: it is or holds your profile folder"},
        {"C:\\users", "Refused to delete C:\\users: it is or holds your profile folder"},
    };
    for (const auto& c : cases) {
        lines.clear();
        Store("td", c.setting);
        EXPECT_THAT(Run(DeleteTempFiles), ElementsAre(c.line));
    }
    EXPECT_TRUE(fs.Exists("C:\\users\\me\\precious.doc"));
    EXPECT_TRUE(fs.Exists(kTemp + "\\a.tmp"));
}

TEST_F(TempFilesTest, ASettingThatLeadsToAProtectedPlaceOrIsALinkIsRefusedWhole) {
    fs.AddFolder("C:\\windows\\system32");
    fs.AddFile("C:\\windows\\win.ini");
    fs.AddFolder("C:\\Program Files\\Nimbral\\plugins");
    fs.AddFolder("C:\\users\\me\\AppData\\Local\\Temp");
    fs.AddShortName("C:\\windows", "WINDOW~1");
    fs.AddFolderLink("Z:\\prefix\\drive_c", "C:\\");
    fs.AddFolder("C:\\outside\\kept");
    fs.AddFolderLink("C:\\tdlink", "C:\\outside");
    const struct {
        std::string setting;
        std::string line;
    } cases[] = {
        {"C:\\WINDOW~1\\", "Refused to delete C:\\WINDOW~1: it is or holds the Windows folder"},
        {"Z:\\prefix\\drive_c\\windows",
         "Refused to delete Z:\\prefix\\drive_c\\windows: it is or holds the Windows folder"},
        {"C:\\windows\\system32", "Refused to delete C:\\windows\\system32: it is or holds a system folder"},
        {"C:\\Program Files", "Refused to delete C:\\Program Files: it is or holds the Program Files folder"},
        {"C:\\Program Files\\Nimbral\\plugins",
         "Refused to delete C:\\Program Files\\Nimbral\\plugins: it is inside this program's folder"},
        {"C:\\users\\me\\AppData\\Local",
         "Refused to delete C:\\users\\me\\AppData\\Local: it is or holds your AppData folder"},
        {"C:\\tdlink", "Refused to delete C:\\tdlink: it is a link to another folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        lines.clear();
        Store("td", c.setting);
        EXPECT_THAT(Run(DeleteTempFiles), ElementsAre(c.line));
    }
    EXPECT_TRUE(fs.Exists("C:\\windows\\win.ini"));
    EXPECT_TRUE(fs.Exists("C:\\outside\\kept"));
}

// The log names what goes: a setting that would lead the removal elsewhere than it reads, through
// "." or ".." or by a length the system would cut short, is refused before any question is asked.
TEST_F(TempFilesTest, ASettingThatIsNotAPlainFullPathIsRefusedWhole) {
    const std::string oneMegabyte = kTemp + "\\" + std::string(1 << 20, 'a');
    const std::string longSegment = kTemp + "\\" + std::string(256, 'a');
    const struct {
        std::string setting;
        std::string line;
    } cases[] = {
        {kTemp + "\\sub\\..", "Refused to delete " + kTemp + "\\sub\\..: it is not a plain full path"},
        {kTemp + "\\..\\Temp\\", "Refused to delete " + kTemp + "\\..\\Temp\\: it is not a plain full path"},
        {"C:\\users\\me\\.\\Temp", "Refused to delete C:\\users\\me\\.\\Temp: it is not a plain full path"},
        {"C:/users/me/Temp/sub/..", "Refused to delete C:/users/me/Temp/sub/..: it is not a plain full path"},
        {oneMegabyte, "Refused to delete " + oneMegabyte + ": it is longer than Windows allows"},
        {longSegment, "Refused to delete " + longSegment + ": it is longer than Windows allows"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting.substr(0, 40));
        lines.clear();
        Store("td", c.setting);
        EXPECT_THAT(Run(DeleteTempFiles), ElementsAre(c.line));
    }
    EXPECT_TRUE(fs.Exists(kTemp + "\\a.tmp"));
    EXPECT_TRUE(fs.Exists(kTemp + "\\sub\\inner.tmp"));
}

// A stored text that unscrambles to line breaks cannot forge lines of its own in the log.
TEST_F(CleanRunTest, ControlCharactersOfASettingAreShownInTheLogNotObeyed) {
    Store("enc", "1");
    std::string name = "a\r\n-- END   || Clean Documents Menu\t";
    std::string path = "C:\\a.txt";
    StoreList("fil", {ScrambleText(name)});
    StoreList("pat", {ScrambleText(path)});
    const auto step = RunOnly("dedocu");
    EXPECT_THAT(step, ElementsAre("Removed all entries from Documents Menu",
                                  "Added a<0D><0A>-- END   || Clean Documents Menu<09> to the Documents Menu"));
}

TEST_F(TempFilesTest, ALinkToAFileIsNeitherDeletedNorChangedAndItsTargetStays) {
    fs.AddFile("C:\\elsewhere\\precious.doc", fa::kReadOnly);
    fs.AddFileLink(kTemp + "\\flink.doc", "C:\\elsewhere\\precious.doc");
    const auto log = Run(DeleteTempFiles);
    EXPECT_EQ(log.front(), "Could not delete: " + kTemp);
    EXPECT_THAT(log, ::testing::Contains("Could not Delete: flink.doc"));
    EXPECT_TRUE(fs.Exists(kTemp + "\\flink.doc"));
    EXPECT_EQ(fs.Attributes("C:\\elsewhere\\precious.doc"), fa::kReadOnly) << "the target's attributes stay";
    EXPECT_FALSE(fs.Exists(kTemp + "\\a.tmp"));
}

TEST_F(TempFilesTest, AnEmptySettingFallsBackToTheSystemsTempFolderInMemoryOnly) {
    Store("td", "");
    shell.tempPath = kTemp + "\\";
    fs.SetAttributesNormal(kTemp + "\\b.tmp");
    EXPECT_EQ(Run(DeleteTempFiles).front(), "Deleted Directory: " + kTemp);
    EXPECT_EQ(settings.Current().td, kTemp + "\\");
    EXPECT_EQ(area.GetSetting(kApp, "Settings", "td", "<missing>"), "");
}

// ---- recycle bin and run lists ----

TEST_F(CleanRunTest, RecycleBinIsEmptiedForTheMainWindow) {
    EXPECT_THAT(Run(EmptyRecycleBin), ElementsAre("Recycle Bin Emptied"));
    EXPECT_THAT(shell.recycleBinEmptiedBy, ElementsAre(WindowHandle{0x1234}));
}

TEST_F(CleanRunTest, RunAndSearchListsAreCleared) {
    for (const char* name : {"a", "b", "c", "d"})
        registry.SetStringValue(Hive::CurrentUser, kRunMruKey, name, name);
    registry.SetStringValue(Hive::CurrentUser, kRunMruKey, "MRUList", "cab");
    registry.SetStringValue(Hive::CurrentUser, kSearchAssistantKey, "0", "secret search");
    registry.SaveKey(Hive::CurrentUser, kFilesNamedMruKey);
    const std::vector<std::string> expected = {"Run Menu Cleared - May require restart",
                                               "Search History Cleared - May require restart",
                                               "Classic Search History Cleared - May require restart"};
    EXPECT_EQ(Run(ClearRunMenu), expected);
    for (const char* gone : {"a", "b", "c", "MRUList"})
        EXPECT_FALSE(registry.Raw(Hive::CurrentUser, kRunMruKey, gone));
    EXPECT_TRUE(registry.Raw(Hive::CurrentUser, kRunMruKey, "d"));
    EXPECT_FALSE(registry.KeyExists(Hive::CurrentUser, kSearchAssistantKey));
    EXPECT_FALSE(registry.KeyExists(Hive::CurrentUser, kFilesNamedMruKey));

    // With nothing there, the same three lines.
    lines.clear();
    EXPECT_EQ(Run(ClearRunMenu), expected);
}

// A key with a subkey cannot be deleted whole: its values then go one by one and the subkey, which
// is not the program's, stays. A key whose values cannot go is reported, never announced as cleared.
TEST_F(CleanRunTest, AListIsReportedClearedOnlyWhenItsEntriesAreGone) {
    const struct {
        void (*step)(CleanRunContext&);
        const char* key;
        const char* clearedLine;
    } cases[] = {
        {CleanMediaPlayer, kMediaListKey, "Removed all entries from Media Player History"},
        {ClearRunMenu, kSearchAssistantKey, "Search History Cleared - May require restart"},
        {ClearRunMenu, kFilesNamedMruKey, "Classic Search History Cleared - May require restart"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        registry.SetStringValue(Hive::CurrentUser, c.key, "a", "private");
        registry.SaveKey(Hive::CurrentUser, std::string(c.key) + "\\Sub");
        lines.clear();
        EXPECT_THAT(Run(c.step), ::testing::Contains(c.clearedLine));
        EXPECT_EQ(registry.ValueNames(Hive::CurrentUser, c.key), std::vector<std::string>{});
        EXPECT_TRUE(registry.KeyExists(Hive::CurrentUser, std::string(c.key) + "\\Sub"));

        registry.SetStringValue(Hive::CurrentUser, c.key, "a", "private");
        registry.LockKey(Hive::CurrentUser, c.key);
        lines.clear();
        const auto log = Run(c.step);
        EXPECT_THAT(log, ::testing::Not(::testing::Contains(c.clearedLine)));
        EXPECT_THAT(log, ::testing::Contains(std::string("Could not clear: HKEY_CURRENT_USER\\") + c.key));
        EXPECT_EQ(registry.ReadStringValue(Hive::CurrentUser, c.key, "a"), "private");
    }
}

TEST_F(CleanRunTest, TypedAddressesUnderAKeyWithASubkeyGoAndTheKeptOnesAreThereOnce) {
    StoreList("sit", {"kept.example"});
    registry.SetStringValue(Hive::CurrentUser, kTypedUrlsKey, "url1", "http://gone.example/");
    registry.SetStringValue(Hive::CurrentUser, kTypedUrlsKey, "url2", "http://kept.example/");
    registry.SaveKey(Hive::CurrentUser, std::string(kTypedUrlsKey) + "Sub");
    EXPECT_THAT(RunOnly("detype"), ElementsAre("Deleted URL: http://gone.example/", "Kept URL: http://kept.example/"));
    EXPECT_EQ(registry.ValueNames(Hive::CurrentUser, kTypedUrlsKey), std::vector<std::string>{"url1"});
    EXPECT_EQ(registry.ReadStringValue(Hive::CurrentUser, kTypedUrlsKey, "url1"), "http://kept.example/");

    // A list that cannot be changed: nothing is reported deleted, and nothing is written twice.
    registry.SetStringValue(Hive::CurrentUser, kTypedUrlsKey, "url2", "http://gone.example/");
    registry.LockKey(Hive::CurrentUser, kTypedUrlsKey);
    lines.clear();
    EXPECT_THAT(RunOnly("detype"),
                ElementsAre("Could not clear: HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs\\",
                            "Kept URL: http://kept.example/"));
    EXPECT_EQ(registry.ValueNames(Hive::CurrentUser, kTypedUrlsKey), (std::vector<std::string>{"url1", "url2"}));
}

// ---- folder routines and the headless run ----

TEST_F(CleanRunTest, DeleteDirectoryReportsEachOutcomeOnOneLine) {
    fs.AddFolder("C:\\gone\\deep");
    fs.AddFile("C:\\stuck\\ro.txt", fa::kReadOnly);
    fs.AddFolder("C:\\target\\inside");
    fs.AddFolderLink("C:\\linked", "C:\\target");
    ResultsSurface& results = host.ShowResults();
    const ProtectedPlaces places = ProtectedPlaces::Resolve(shell.OwnFolders(), fs);
    DeleteDirectory(fs, results, places, "");
    DeleteDirectory(fs, results, places, "C:\\gone/");
    DeleteDirectory(fs, results, places, "C:\\stuck\\");
    DeleteDirectory(fs, results, places, "C:\\missing");
    DeleteDirectory(fs, results, places, "C:\\linked\\");
    DeleteDirectory(fs, results, places, "C:\\users\\me", "C:\\windows\\..\\users\\me\\");
    EXPECT_THAT(lines, ElementsAre("Deleted Directory: C:\\gone", "Could not delete: C:\\stuck",
                                   "Folder does not exist: C:\\missing", "Could not delete: C:\\linked",
                                   "Refused to delete C:\\windows\\..\\users\\me: it is or holds your profile folder"));
    EXPECT_TRUE(fs.Exists("C:\\stuck\\ro.txt"));
    EXPECT_TRUE(fs.Exists("C:\\target\\inside")) << "a link is never removed with what it leads to";
}

TEST_F(CleanRunTest, DirExistsFindsFoldersFilesAndPatterns) {
    fs.AddFile("C:\\users\\me\\Temp\\a.tmp");
    fs.AddFile("C:\\users\\me\\Temp\\h.tmp", fa::kHidden);
    EXPECT_TRUE(DirExists(fs, "C:\\users\\me\\Temp"));
    EXPECT_TRUE(DirExists(fs, "C:\\users\\me\\Temp\\a.tmp"));
    EXPECT_TRUE(DirExists(fs, "C:\\users\\me\\Temp\\*.tmp"));
    EXPECT_FALSE(DirExists(fs, "C:\\users\\me\\Temp\\h.tmp"));
    EXPECT_FALSE(DirExists(fs, "C:\\users\\me\\Temp\\none.*"));
    EXPECT_FALSE(DirExists(fs, ""));
}

// Only the three switches do anything; anything else, however close to one, makes the whole command
// line do nothing, so no mistyped preview is ever taken for a clean.
TEST(Headless, CommandLines) {
    using Unknown = std::vector<std::string>;
    const struct {
        const char* line;
        bool autoClean;
        bool yes;
        bool preview;
        Unknown unknown;
    } cases[] = {
        {"/auto", true, false, false, {}},
        {"/AUTO /Yes", true, true, false, {}},
        {"  /yes\t/auto ", true, true, false, {}},
        {"", false, false, false, {}},
        {"/auto /Preview", true, false, true, {}},
        {"/preview", false, false, true, {}},
        // Quoted, as cmd.exe or a shortcut may pass them.
        {"/auto /yes \"/preview\"", true, true, true, {}},
        {"\"/auto\" \"/YES\"", true, true, false, {}},
        {"/au\"to\"", true, false, false, {}},
        // Close to a switch, and not one.
        {"/auto -preview /yes", true, true, false, {"-preview"}},
        {"/auto /preview:yes /yes", true, true, false, {"/preview:yes"}},
        {"/auto /yes /previews", true, true, false, {"/previews"}},
        {"/auto /yes /preview,", true, true, false, {"/preview,"}},
        {"/autoclean", false, false, false, {"/autoclean"}},
        {"auto yes", false, false, false, {"auto", "yes"}},
        {"/auto \"/preview \"", true, false, false, {"/preview "}},
        {"/auto \"\"", true, false, false, {""}},
        // The rules of a Windows program's arguments: backslashes escape only a double quote.
        {"C:\\a\\ \"b\\\"c\" d\\\\\"e f\"", false, false, false, {"C:\\a\\", "b\"c", "d\\e f"}},
        {"\"a \"\"b\"", false, false, false, {"a \"b"}},
    };
    for (const auto& c : cases) {
        const auto switches = ParseCommandLine(c.line);
        EXPECT_EQ(switches.autoClean, c.autoClean) << c.line;
        EXPECT_EQ(switches.yes, c.yes) << c.line;
        EXPECT_EQ(switches.preview, c.preview) << c.line;
        EXPECT_EQ(switches.unknown, c.unknown) << c.line;
    }
}

TEST(Headless, ArgumentsFollowTheProgramsName) {
    EXPECT_EQ(ArgumentsOf("nimbral.exe /auto /yes"), "/auto /yes");
    EXPECT_EQ(ArgumentsOf("\"C:\\Program Files\\Nimbral\\nimbral.exe\"  /auto"), "/auto");
    EXPECT_EQ(ArgumentsOf("\"C:\\Program Files\\Nimbral\\nimbral.exe\""), "");
    EXPECT_EQ(ArgumentsOf("C:\\nimbral.exe"), "");
    EXPECT_EQ(ArgumentsOf("\"unclosed /auto"), "");
}

}  // namespace
}  // namespace nimbral
