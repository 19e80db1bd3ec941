// The setup wizard's editing rules over plain models of its list boxes.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doubles/FakeOsVersionSource.h"
#include "doubles/FakeRegistry.h"
#include "wizard/WizardRules.h"

namespace nimbral {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

ListBoxModel Selected(ListBoxRows rows, std::vector<bool> selected, std::ptrdiff_t current = -1) {
    return ListBoxModel{std::move(rows), std::move(selected), current};
}

TEST(WizardRules, TheTypedAddressesAreReadUpToTheFirstGapOrKillMark) {
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> stored;
        ListBoxRows listed;
    } cases[] = {
        {"no key", {}, {}},
        {"a gap ends the list", {{"url1", "a"}, {"url2", "b"}, {"url4", "d"}}, {"a", "b"}},
        {"an empty value ends it", {{"url1", "a"}, {"url2", ""}, {"url3", "c"}}, {"a"}},
        {"##kill## ends it", {{"url1", "a"}, {"url2", "##kill##"}, {"url3", "c"}}, {"a"}},
        {"texts are kept as they are", {{"url1", "HTTP://WWW.Example.com/ "}}, {"HTTP://WWW.Example.com/ "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::FakeRegistry registry;
        for (const auto& [name, text] : c.stored)
            registry.SetStringValue(Hive::CurrentUser, "Software\\Microsoft\\Internet Explorer\\TypedURLs\\", name,
                                    text);
        EXPECT_EQ(LoadTypedUrlList(registry), c.listed);
    }
}

TEST(WizardRules, CopyingSelectedRowsAppendsThemAndASingleCopyWalksDown) {
    const struct {
        const char* what;
        ListBoxModel source;
        ListBoxRows target;
        ListBoxRows targetAfter;
        std::vector<bool> selectedAfter;
        std::ptrdiff_t currentAfter;
    } cases[] = {
        {"three rows, in list order; the selection stays",
         Selected({"a", "b", "c", "d"}, {true, false, true, true}, 3),
         {"x"},
         {"x", "a", "c", "d"},
         {true, false, true, true},
         3},
        {"one row that is not the last: the next takes its place",
         Selected({"a", "b", "c"}, {false, true, false}, 1),
         {},
         {"b"},
         {false, false, true},
         2},
        {"the last row: nothing moves", Selected({"a", "b"}, {false, true}, 1), {}, {"b"}, {false, true}, 1},
        {"empty rows and single blanks are not copied",
         Selected({"", " ", "  ", "a"}, {true, true, true, false}, 0),
         {},
         {"  "},
         {false, false, false, true},
         3},
        {"a site already kept is appended again", Selected({"a"}, {true}, 0), {"a"}, {"a", "a"}, {true}, 0},
        {"nothing selected", Selected({"a"}, {}, -1), {"k"}, {"k"}, {}, -1},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.what);
        ListBoxModel target{c.target, {}, -1};
        CopySelected(c.source, target);
        EXPECT_EQ(target.rows, c.targetAfter);
        EXPECT_EQ(c.source.selected, c.selectedAfter);
        EXPECT_EQ(c.source.current, c.currentAfter);
    }
}

TEST(WizardRules, ATypedSiteIsAddedUnchangedUnlessItIsEmptyOrOneBlank) {
    const struct {
        std::string typed;
        bool added;
    } cases[] = {{"", false}, {" ", false}, {"  ", true}, {" www.Example.com/ ", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE("[" + c.typed + "]");
        std::string text = c.typed;
        ListBoxModel list{{"old"}, {}, 0};
        EXPECT_EQ(AddTypedSite(text, list), c.added);
        EXPECT_EQ(list.rows, c.added ? ListBoxRows({"old", c.typed}) : ListBoxRows({"old"}));
        EXPECT_EQ(text, c.added ? "" : c.typed) << "the box is emptied only when the text was added";
    }
}

TEST(WizardRules, DeletingAKeepListRowSelectsTheRowThatTookItsPlace) {
    const struct {
        const char* what;
        ListBoxRows rows;
        std::ptrdiff_t current;
        bool removed;
        ListBoxRows after;
        std::ptrdiff_t currentAfter;
    } cases[] = {
        {"a middle row", {"a", "b", "c"}, 1, true, {"a", "c"}, 1},
        {"the last row", {"a", "b", "c"}, 2, true, {"a", "b"}, 1},
        {"the only row", {"a"}, 0, true, {}, -1},
        {"no row selected", {"a", "b"}, -1, false, {"a", "b"}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ListBoxModel list{c.rows, {}, c.current};
        EXPECT_EQ(RemoveKeepListRow(list), c.removed);
        EXPECT_EQ(list.rows, c.after);
        EXPECT_EQ(list.current, c.currentAfter);
    }
}

TEST(WizardRules, DecoyNamesLoseEverythingFromTheirFirstDot) {
    const struct {
        std::string typed;
        std::string row;
    } cases[] = {{"report.doc", "report"}, {"a.b.c", "a"}, {".hidden", ""}, {"plain", "plain"}, {"", ""}};
    ListBoxModel list;
    for (const auto& c : cases) {
        std::string text = c.typed;
        AddDecoyName(text, list);
        EXPECT_EQ(list.rows.back(), c.row) << c.typed;
        EXPECT_EQ(text, "");
    }
    EXPECT_EQ(list.rows.size(), 5u);

    list.current = 1;
    RemoveDecoyName(list);
    EXPECT_THAT(list.rows, ElementsAre("report", "", "plain", ""));
    EXPECT_EQ(list.current, 3) << "the last row becomes current";
    list.current = -1;
    RemoveDecoyName(list);
    EXPECT_EQ(list.rows.size(), 4u) << "nothing current, nothing removed";
}

TEST(WizardRules, DefaultsAreAppendedInOrderAndEmptyRowsGo) {
    ListBoxModel docs;
    InsertDefaults(docs, kDocumentDefaults);
    InsertDefaults(docs, kDocumentDefaults);
    EXPECT_THAT(docs.rows, ElementsAre("sample", "document", "help", "chart", "readme", "setup", "letter", "sample",
                                       "document", "help", "chart", "readme", "setup", "letter"));
    ListBoxModel media{{"", "mine", ""}, {}, 2};
    InsertDefaults(media, kMediaDefaults);
    EXPECT_THAT(media.rows, ElementsAre("mine", "media", "intro", "picture", "image", "help", "sample", "movie"));
}

TEST(WizardRules, PickedFilesAndTheirPathsStayPaired) {
    const ListBoxRows files = {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"};
    ListBoxModel names;
    ListBoxRows paths;
    std::ptrdiff_t current = 2;
    ASSERT_TRUE(AddPickedFile("C:\\Docs", files, current, names, paths));
    EXPECT_EQ(current, 3) << "the picker moves to the next file";
    current = 4;
    ASSERT_TRUE(AddPickedFile("C:\\Docs", files, current, names, paths));
    EXPECT_EQ(current, 4) << "the last file stays current";
    ASSERT_TRUE(AddPickedFile("C:\\Docs", files, current, names, paths)) << "the same file may be chosen twice";
    current = 0;
    ASSERT_TRUE(AddPickedFile("D:\\", files, current, names, paths));
    std::ptrdiff_t none = -1;
    EXPECT_FALSE(AddPickedFile("C:\\Docs", files, none, names, paths));
    EXPECT_THAT(names.rows, ElementsAre("c.txt", "e.txt", "e.txt", "a.txt"));
    EXPECT_THAT(paths, ElementsAre("C:\\Docs\\c.txt", "C:\\Docs\\e.txt", "C:\\Docs\\e.txt", "D:\\a.txt"));

    names.current = 1;
    RemovePickedFile(names, paths);
    EXPECT_THAT(names.rows, ElementsAre("c.txt", "e.txt", "a.txt"));
    EXPECT_THAT(paths, ElementsAre("C:\\Docs\\c.txt", "C:\\Docs\\e.txt", "D:\\a.txt"));
    EXPECT_EQ(names.current, 2);
    names.current = -1;
    RemovePickedFile(names, paths);
    EXPECT_EQ(paths.size(), 3u);
}

TEST(WizardRules, APasswordIsMeasuredFirstThenCompared) {
    EXPECT_EQ(PasswordProblem("abc", "abc"), kPasswordTooShort);
    EXPECT_EQ(PasswordProblem("", ""), kPasswordTooShort);
    EXPECT_EQ(PasswordProblem("abcd", "ABCD"), kPasswordsDiffer);
    EXPECT_EQ(PasswordProblem("abcd", "abcd"), "");
    EXPECT_EQ(PasswordProblem("a b c", "a b c"), "");
}

TEST(WizardRules, VistaIsANtSystemAboveVersionFiveAsTheExtendedRecordSays) {
    const struct {
        std::uint32_t platform;
        std::uint32_t major;
        bool vista;
    } cases[] = {{2, 6, true}, {2, 10, true}, {2, 5, false}, {1, 6, false}};
    for (const auto& c : cases) {
        FakeOsVersionSource os;
        OsVersionExRecord record;
        record.platformId = c.platform;
        record.majorVersion = c.major;
        os.extended = record;
        EXPECT_EQ(IsVistaOrLater(os), c.vista) << c.platform << "/" << c.major;
    }
    FakeOsVersionSource refusing;
    EXPECT_FALSE(IsVistaOrLater(refusing));
}

TEST(WizardRules, TheStartupCommandIsTheQuotedFolderSlashAndNameWithoutExtension) {
    EXPECT_EQ(StartupCommand("C:\\Apps", "tool.exe"), "\"C:\\Apps/tool\"");
    EXPECT_EQ(StartupCommand("C:\\Program Files\\Nimbral", "nimbral.exe"), "\"C:\\Program Files\\Nimbral/nimbral\"");
    EXPECT_EQ(StartupCommand("C:\\x", "my.tool.EXE"), "\"C:\\x/my.tool\"");
}

}  // namespace
}  // namespace nimbral
