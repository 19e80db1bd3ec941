// The rule file in the plugins folder as lines of the plugin list: which entries are listed on a
// machine, how, and what the rules report says of the rest.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doubles/FakeFileSystem.h"
#include "doubles/FakeKnownFolders.h"
#include "doubles/FakeOsVersionSource.h"
#include "doubles/FakeRegistry.h"
#include "doubles/FakeSettingsArea.h"
#include "doubles/FakeShell.h"
#include "doubles/RecordingResults.h"
#include "engine/Headless.h"
#include "plugins/PluginFiles.h"
#include "rules/CommunityRules.h"

namespace nimbral {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kApp[] = "Nimbral Windows Cleaner";
const std::string kProgram = "C:\\Program Files\\Nimbral";
const std::string kPlugins = kProgram + "\\plugins";
const std::string kRules = kPlugins + "\\winapp2.ini";

class CommunityRulesTest : public ::testing::Test {
  protected:
    CommunityRulesTest() {
        fs.AddFolder(kPlugins);
        fs.AddFolder("c:\\program files\\washer");
        os.basic = OsVersionRecord{6, 1, 7601, 2, {}};
    }

    void WriteRules(const std::string& text, const std::string& path = kRules) {
        fs.AddFile(path);
        fs.SetContent(path, text);
    }

    // The plugin list as the main window builds it, "[x]" for a ticked line.
    std::vector<std::string> Build() {
        lstPlugs.clear();
        tables.Clear();
        BuildPluginList(tables, lstPlugs, lister, settings, kProgram, {&rules});
        std::vector<std::string> shown;
        for (const PluginEntry& line : lstPlugs)
            shown.push_back(line.text + (line.selected ? " [x]" : " [ ]"));
        return shown;
    }

    testing::FakeSettingsArea area;
    SettingsStore settings{area, kApp};
    testing::FakeFileSystem fs;
    testing::FakeRegistry registry;
    testing::FakeShell shell;
    testing::FakeKnownFolders folders;
    FakeOsVersionSource os;
    FileLister lister{fs, "*.ww1"};
    PluginTables tables;
    PluginList lstPlugs;
    CommunityRules rules{RuleServices{fs, registry, folders, os, shell}, kProgram};
};

TEST_F(CommunityRulesTest, AnEntryIsListedWhenAnyOfItsDetectionsHoldsAndItsWindowsVersionFits) {
    for (const char* file : {"C:\\Program Files\\Alpha\\alpha.exe", "C:\\Program Files (x86)\\Zeta\\z.exe",
                             "C:\\users\\me\\AppData\\Local\\Gamma\\Profiles\\x1y2\\prefs.js",
                             "C:\\users\\me\\AppData\\Local\\Google\\Chrome\\Application\\chrome.exe"}) {
        fs.AddFile(file);
    }
    fs.AddFolder("C:\\users\\me\\AppData\\Roaming\\Beta");
    registry.SetStringValue(Hive::CurrentUser, "Software\\Delta", "x", "1");
    registry.SetStringValue(Hive::LocalMachine, "Software\\WOW6432Node\\Theta", "x", "1");
    registry.SetStringValue(Hive::LocalMachine, "SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Eps",
                            "x", "1");
    const struct {
        const char* keys;
        bool listed;
    } cases[] = {
        {"DetectFile=%ProgramFiles%\\Alpha\\alpha.exe", true},
        {"DetectFile=%ProgramFiles%\\Alpha", true},
        {"DetectFile=%ProgramFiles%\\Zeta\\z.exe", true},
        {"DetectFile=%AppData%\\BETA", true},
        {"DetectFile=%LocalAppData%\\Gamma\\Profiles\\*\\prefs.js", true},
        {"DetectFile=%LocalAppData%\\G?mma\\*\\*\\*.js", true},
        {"DetectFile=%LocalAppData%\\Gamma\\*.js", false},
        {"DetectFile=%ProgramFiles%\\Missing", false},
        {"DetectFile=%ProgramFiles%\\Alpha\\alpha.exe\\more", false},
        {"DetectFile=%Nowhere%\\Alpha", false},
        {"Detect=HKCU\\Software\\Delta", true},
        {"Detect=HKEY_CURRENT_USER\\Software\\Delta|x", true},
        {"Detect=HKCU\\Software\\Delta|y", false},
        {"Detect=HKCU\\Software\\Nope", false},
        {"Detect=HKCU\\SOFTWARE\\delta", true},
        {"Detect=HKCU\\Software\\Delta\\Missing", false},
        {"Detect=HKLM\\Software\\Theta", true},
        {"Detect=HKCU\\Software\\Theta", false},
        {"Detect=HKCC\\Software\\Eps", true},
        {"Detect1=HKCU\\Software\\Nope\nDetect2=HKCU\\Software\\Nope2\nDetectFile1=%ProgramFiles%\\Alpha", true},
        {"DetectOS=6.2|\nDetectFile=%ProgramFiles%\\Alpha", false},
        {"DetectOS=|6.3\nDetectFile=%ProgramFiles%\\Alpha", true},
        {"DetectOS=5.1|\nDetect=HKCU\\Software\\Nope", false},
        {"SpecialDetect=DET_CHROME", true},
        {"SpecialDetect=DET_MOZILLA", false},
        {"SpecialDetect=DET_SOMETHING", false},
        {"LangSecRef=3021", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keys);
        WriteRules(std::string("[Probe *]\n") + c.keys + "\nFileKey1=%AppData%\\Probe|*.log\n");
        EXPECT_EQ(Build().size(), c.listed ? 1u : 0u);
    }
}

TEST_F(CommunityRulesTest, EntriesFollowThePluginFilesUntickedUntilTickedWithTheirWarning) {
    fs.AddFile(kPlugins + "\\Foo.ww1");
    fs.AddFile("C:\\Program Files\\Alpha\\alpha.exe");
    WriteRules(
        "; Version: 260101\r\n"
        "[Alpha Tool *]\r\nDetectFile=%ProgramFiles%\\Alpha\r\nDefault=True\r\nFileKey1=%ProgramFiles%\\Alpha|*.log\r\n"
        "[Alpha Logs *]\r\nDetectFile=%ProgramFiles%\\Alpha\r\nWarning=This removes your saved sessions.\r\n"
        "FileKey1=%ProgramFiles%\\Alpha|*.log\r\n"
        "[Alpha Extra *]\r\nDetectFile=%ProgramFiles%\\Alpha\r\nFileKey1=%ProgramFiles%\\Alpha|*.tmp\r\n"
        "[foo *]\r\nDetectFile=%ProgramFiles%\\Alpha\r\nFileKey1=%ProgramFiles%\\Alpha|*.bak\r\n");
    area.SaveSetting(kApp, "Settings", "plugAlpha Logs", "True");
    area.SaveSetting(kApp, "Settings", "plugAlpha Extra", "true");
    // The plugin file's name rule does not hide "Alpha Tool" for holding a shorter name, nor an entry
    // "Foo Bar" one called "Foo"; only the very name of a line already listed is not listed again.
    EXPECT_THAT(Build(), ElementsAre("Foo [ ]", "Alpha Tool [ ]", "Alpha Logs [x]", "Alpha Extra [ ]"));
    EXPECT_EQ(lstPlugs[2].warning, "This removes your saved sessions.");
    EXPECT_EQ(lstPlugs[1].warning, "");
}

TEST_F(CommunityRulesTest, TheBrowsersKeptDatabasesAreNotTheRulesToDelete) {
    fs.AddFolder("C:\\users\\me\\AppData\\Local\\Google\\Chrome\\User Data\\Default\\Network");
    fs.AddFolder("C:\\users\\me\\AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\ab12.default");
    const std::string detect = "DetectFile=%LocalAppData%\\Google\\Chrome\nDetectFile2=%AppData%\\Mozilla\\Firefox\n";
    const struct {
        const char* name;
        const char* keys;
        bool listed;
    } cases[] = {
        {"Google Chrome Cookies", "FileKey1=%LocalAppData%\\Google\\Chrome\\User Data\\*|*.log", false},
        {"Mozilla Firefox History", "FileKey1=%AppData%\\Mozilla\\Firefox|*.log", false},
        {"Edge Caches", "FileKey1=%LocalAppData%\\Microsoft\\Edge\\User Data\\*|*.log", false},
        {"Session Tool", "FileKey1=%LocalAppData%\\Google\\Chrome*\\User Data\\*\\Network|Cookies*", false},
        {"Sweeper", "FileKey1=%LocalAppData%\\Google|*|RECURSE", false},
        {"Places Cleaner", "FileKey1=%AppData%\\Mozilla\\Firefox\\Profiles\\*|places.sqlite*", false},
        {"Profile Logs", "FileKey1=%LocalAppData%\\Google\\Chrome\\User Data\\*|*.log", true},
        {"Extension Logs", "FileKey1=%LocalAppData%\\Google\\Chrome\\User Data\\*\\Extensions|*|RECURSE", true},
        {"Crash Reports", "FileKey1=%AppData%\\Mozilla\\Firefox\\Crash Reports|*|REMOVESELF", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteRules(std::string("[") + c.name + " *]\n" + detect + c.keys + "\n");
        EXPECT_EQ(Build().size(), c.listed ? 1u : 0u);
    }
}

TEST_F(CommunityRulesTest, TheFileIsFoundInAnyLetterCaseAndItsLinesAreRunByTheRules) {
    fs.AddFile("C:\\Program Files\\Alpha\\alpha.exe");
    fs.AddFile("C:\\Program Files\\Alpha\\old.log");
    WriteRules("[Alpha *]\nDetectFile=%ProgramFiles%\\Alpha\nFileKey1=%ProgramFiles%\\Alpha|*.log\n",
               kPlugins + "\\WinApp2.INI");
    ASSERT_THAT(Build(), ElementsAre("Alpha [ ]"));
    EXPECT_EQ(rules.FilePath(), kPlugins + "\\WinApp2.INI");

    ASSERT_EQ(lstPlugs[0].source, &rules);
    testing::RecordingResults results;
    rules.RunEntry("alpha", results, ProtectedPlaces::Resolve(shell.OwnFolders(), fs));
    EXPECT_THAT(results.lines, ElementsAre("Deleted File: C:\\Program Files\\Alpha\\old.log"));
    // A name the rules did not list runs nothing.
    results.lines.clear();
    rules.RunEntry("Beta", results, ProtectedPlaces::Resolve(shell.OwnFolders(), fs));
    EXPECT_THAT(results.lines, IsEmpty());
}

TEST_F(CommunityRulesTest, TheReportSaysWhatTheFileHoldsWhatIsListedAndWhyTheRestIsNot) {
    fs.AddFile("C:\\Program Files\\Alpha\\alpha.exe");
    WriteRules(
        "; Version: 260101\r\n; # of entries: 5\r\n"
        "[Alpha *]\r\nDetectFile=%ProgramFiles%\\Alpha\r\nFileKey1=%ProgramFiles%\\Alpha|*.log\r\n"
        "FileKey2=%LocalAppData%\\Alpha\\\r\nFileKey3=%SystemDrive%|*.*|RECURSE\r\n"
        "[Beta *]\r\nDetectFile=%ProgramFiles%\\Beta\r\nFileKey1=%ProgramFiles%\\Beta|*.log\r\n"
        "[Twice *]\r\nDetectFile=%ProgramFiles%\\Alpha\r\nRegKey1=HKCU\\Software\\T\r\nRegKey1=HKCU\\Software\\U\r\n"
        "[Google Chrome Cookies *]\r\nDetectFile=%ProgramFiles%\\Alpha\r\nFileKey1=%LocalAppData%\\Google|*\r\n"
        "[Gamma *]\r\nDetectFile=%ProgramFiles%\\Alpha\r\nFileKey1=%Gamma%\\x|*\r\nRegKey1=HKLM\\Software\r\n");
    Build();
    EXPECT_THAT(
        rules.Report(),
        ElementsAre("Rules file: " + kRules, "Version: 260101", "Entries: 5", "Listed on this machine: 2",
                    "Entries refused: 2", "Keys refused: 4",
                    "Line 6 [Alpha]: skips FileKey2=%LocalAppData%\\Alpha\\: it has no pipe, so it would mean every "
                    "file of the folder",
                    "Line 7 [Alpha]: refuses C:\\ (FileKey3=%SystemDrive%|*.*|RECURSE): it is the root of a drive",
                    "Line 11 [Twice]: not listed: it gives a key twice (RegKey1)",
                    "Line 15 [Google Chrome Cookies]: not listed: it would delete a browser's cookies or history, "
                    "which the browser entries clean with the keep-lists",
                    "Line 20 [Gamma]: skips FileKey1=%Gamma%\\x|*: it uses a variable that is not known",
                    "Line 21 [Gamma]: skips RegKey1=HKLM\\Software: it is a key the system is built on"));
}

TEST_F(CommunityRulesTest, WithoutAReadableFileNothingIsListedAndTheReportSaysWhy) {
    EXPECT_THAT(Build(), IsEmpty());
    EXPECT_THAT(rules.Report(),
                ElementsAre("Rules file: " + kRules,
                            "There is no winapp2.ini in the plugins folder: Plugins > Update Community Rules fetches "
                            "the current one."));

    fs.AddFile("C:\\Program Files\\Alpha\\alpha.exe");
    WriteRules(
        "; Version: 260101 (Winapp3)\r\n[Alpha *]\r\nDetectFile=%ProgramFiles%\\Alpha\r\n"
        "FileKey1=%SystemDrive%|*.bak|RECURSE\r\n");
    EXPECT_THAT(Build(), IsEmpty());
    EXPECT_THAT(rules.Report(), ElementsAre("Rules file: " + kRules,
                                            "The file is not read: it is the Winapp3 flavour, whose rules sweep "
                                            "whole drives."));

    fs.SetReportedSize(kRules, kMaxRuleFileBytes + 1);
    EXPECT_THAT(Build(), IsEmpty());
    EXPECT_THAT(rules.Report(), ElementsAre("Rules file: " + kRules, "The file is not read: it is larger than 16 MB."));
}

}  // namespace
}  // namespace nimbral

namespace nimbral {
namespace {

TEST(RulesSwitch, TheReportIsAskedForByAWordOfItsOwnInAnyCase) {
    EXPECT_TRUE(ParseCommandLine("/rules").rulesReport);
    EXPECT_TRUE(ParseCommandLine("/auto /RULES").rulesReport);
    EXPECT_FALSE(ParseCommandLine("/rulesx").rulesReport);
    EXPECT_FALSE(ParseCommandLine("/auto rules").rulesReport);
}

}  // namespace
}  // namespace nimbral
