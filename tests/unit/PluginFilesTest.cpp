// Finding plugins in their two folders, and which copy of a plugin's lists runs.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "doubles/FakeFileSystem.h"
#include "doubles/FakeRegistry.h"
#include "doubles/FakeSettingsArea.h"
#include "doubles/FakeShell.h"
#include "doubles/RecordingResults.h"
#include "plugins/PluginFiles.h"

namespace nimbral {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kApp[] = "Nimbral Windows Cleaner";
const std::string kProgram = "C:\\Program Files\\Nimbral";
const std::string kPlugins = kProgram + "\\plugins";
const std::string kWasher = "c:\\program files\\washer";

class PluginFilesTest : public ::testing::Test {
  protected:
    PluginFilesTest() {
        fs.AddFolder(kPlugins);
        fs.AddFolder(kWasher);
    }

    void Choose(const std::string& name, const std::string& choice) {
        area.SaveSetting(kApp, "Settings", "plug" + name, choice);
    }
    std::vector<std::string> Build() {
        lstPlugs.clear();
        BuildPluginList(tables, lstPlugs, lister, settings, kProgram);
        std::vector<std::string> shown;
        for (const PluginEntry& line : lstPlugs)
            shown.push_back(line.text + (line.selected ? " [x]" : " [ ]"));
        return shown;
    }

    testing::FakeSettingsArea area;
    SettingsStore settings{area, kApp};
    testing::FakeFileSystem fs;
    FileLister lister{fs, "*.ww1"};
    PluginTables tables;
    PluginList lstPlugs;
};

TEST_F(PluginFilesTest, ListsEachPluginOnceByItsNameWithItsRememberedChoice) {
    fs.AddFile(kPlugins + "\\Foo.WW1");
    fs.AddFile(kPlugins + "\\Bar.ww1");
    fs.AddFile(kPlugins + "\\OnlyRegistry.ww2");
    fs.AddFile(kPlugins + "\\readme.txt");
    fs.AddFile(kWasher + "\\foo.ww1");
    fs.AddFile(kWasher + "\\Zed.ww1");
    Choose("Bar", "True");
    Choose("Zed", "false");
    // The rebuild ticks whatever is not exactly "False": lower-case "false" included.
    EXPECT_THAT(Build(), ElementsAre("Bar [x]", "Foo [ ]", "Zed [x]"));
    EXPECT_EQ(tables.files[1], kPlugins + "\\Foo.WW1");
    EXPECT_EQ(tables.names[3], "");
}

TEST_F(PluginFilesTest, AKnownNameHidesEveryFileNameThatHoldsIt) {
    // Foo is known from the first folder, so the second folder's "Foo Bar" is skipped.
    fs.AddFile(kPlugins + "\\Foo.ww1");
    fs.AddFile(kWasher + "\\Foo Bar.ww1");
    EXPECT_THAT(Build(), ElementsAre("Foo [ ]"));

    // The other way round both names enter the table, but the rebuild shows only "Foo Bar", whose
    // line holds "Foo".
    tables.Clear();
    fs.AddFile(kPlugins + "\\Foo Bar.ww1");
    EXPECT_THAT(Build(), ElementsAre("Foo Bar [ ]"));
    EXPECT_EQ(tables.names[0], "Foo Bar");
    EXPECT_EQ(tables.names[1], "Foo");
}

TEST_F(PluginFilesTest, AMissingFolderEndsTheBuildWhereItIs) {
    fs.AddFile(kPlugins + "\\Mine.ww1");
    fs.AddFile(kPlugins + "\\Other.ww1");
    Choose("Mine", "True");
    Choose("Other", "false");
    fs.RemoveFolder(kWasher, {});
    // Without the second folder there is no rebuild: only "True" ticks.
    EXPECT_THAT(Build(), ElementsAre("Mine [x]", "Other [ ]"));

    tables.Clear();
    fs.AddFile(kWasher + "\\Theirs.ww1");
    fs.RemoveFolder(kPlugins, {});
    EXPECT_THAT(Build(), IsEmpty());
}

TEST_F(PluginFilesTest, NoMoreThanTheTableHoldsIsListed) {
    fs.RemoveFolder(kWasher, {});
    for (int i = 0; i < 1003; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "P%05d.ww1", i);
        fs.AddFile(kPlugins + "\\" + name);
    }
    EXPECT_EQ(Build().size(), kPluginSlots);
    EXPECT_EQ(tables.names[1000], "P01000");
}

// The program's own entries, as the browsers give them.
class FixedEntries final : public PluginSource {
  public:
    void AddEntries(PluginList& lstPlugs, const SettingsStore& settings) override {
        for (const std::string& name : names)
            lstPlugs.push_back({name, settings.GetSetting(SelectionKey(name), "False") == "True", this});
    }
    void RunEntry(const std::string& name, ResultsSurface& results, const ProtectedPlaces&) override {
        results.AppendLine("built-in " + name);
    }
    std::vector<std::string> names = {"Brave Cookies", "Brave History"};
};

TEST_F(PluginFilesTest, TheProgramsOwnEntriesFollowThePluginsAndAreTickedOnlyWhenChosen) {
    FixedEntries entries;
    const auto build = [&] {
        BuildPluginList(tables, lstPlugs, lister, settings, kProgram, {&entries});
        std::vector<std::string> shown;
        for (const PluginEntry& line : lstPlugs)
            shown.push_back(line.text + (line.selected ? " [x]" : " [ ]") + (line.source ? " built-in" : ""));
        return shown;
    };
    // A plugin file whose name holds an entry's, or is held by one, hides nothing and is not hidden.
    fs.AddFile(kPlugins + "\\Brave.ww1");
    fs.AddFile(kWasher + "\\Brave Cookies Extra.ww1");
    Choose("Brave History", "True");
    Choose("Brave Cookies", "false");
    EXPECT_THAT(build(), ElementsAre("Brave [ ]", "Brave Cookies [ ] built-in", "Brave History [x] built-in"));

    // A refresh starts from the list as it is and lists them once, still last.
    fs.AddFile(kPlugins + "\\Zed.ww1");
    fs.RemoveFolder(kWasher, {});
    EXPECT_THAT(build(),
                ElementsAre("Brave [ ]", "Zed [ ]", "Brave Cookies [ ] built-in", "Brave History [x] built-in"));

    // Without the plugins folder they are there all the same.
    tables.Clear();
    lstPlugs.clear();
    fs.RemoveFolder(kPlugins, {});
    EXPECT_THAT(build(), ElementsAre("Brave Cookies [ ] built-in", "Brave History [x] built-in"));
    EXPECT_EQ(lstPlugs.back().source, &entries);
}

TEST_F(PluginFilesTest, TheProgramsOwnCopyWinsForEachListOnItsOwn) {
    testing::FakeRegistry registry;
    testing::FakeShell shell;
    testing::RecordingResults results;
    FileLister fileEngine(fs);
    PluginFiles runner(PluginServices{fs, registry, fileEngine}, kProgram);
    const ProtectedPlaces places = ProtectedPlaces::Resolve(shell.OwnFolders(), fs);

    fs.AddFolder("C:\\mine");
    fs.AddFolder("C:\\theirs");
    for (const char* file : {"C:\\mine\\a.txt", "C:\\theirs\\a.txt", "C:\\theirs\\b.txt"})
        fs.AddFile(file);
    fs.AddFile(kPlugins + "\\Both.ww1");
    fs.SetContent(kPlugins + "\\Both.ww1", "C:\\mine\\a.txt\r\n");
    fs.AddFile(kWasher + "\\Both.ww1");
    fs.SetContent(kWasher + "\\Both.ww1", "C:\\theirs\\a.txt\r\n");
    fs.AddFile(kWasher + "\\Both.ww2");
    fs.SetContent(kWasher + "\\Both.ww2", "HKey_Current_User\\Software\\Theirs\\- Key*\r\n");
    registry.SaveKey(Hive::CurrentUser, "Software\\Theirs");

    runner.RunPluginByName("Both", results, places);
    EXPECT_THAT(results.lines,
                ElementsAre("Deleted File: a.txt", "Deleted Registry Key: HKey_Current_User\\Software\\Theirs\\"));
    EXPECT_FALSE(fs.Exists("C:\\mine\\a.txt"));
    EXPECT_TRUE(fs.Exists("C:\\theirs\\a.txt"));
    EXPECT_FALSE(registry.KeyExists(Hive::CurrentUser, "Software\\Theirs"));

    // A plugin whose files are gone writes nothing.
    results.lines.clear();
    runner.RunPluginByName("Vanished", results, places);
    EXPECT_THAT(results.lines, IsEmpty());
}

}  // namespace
}  // namespace nimbral
