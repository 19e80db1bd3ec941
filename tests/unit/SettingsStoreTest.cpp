#include "settings/SettingsStore.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "doubles/FakeSettingsArea.h"
#include "doubles/FakeShell.h"
#include "settings/modHash.h"

namespace nimbral {
namespace {

using ::testing::ElementsAre;
using testing::FakeSettingsArea;
using testing::FakeShell;

constexpr char kApp[] = "Nimbral Windows Cleaner";

std::string Scrambled(std::string text) {
    ScrambleText(text);
    return text;
}

class SettingsStoreTest : public ::testing::Test {
  protected:
    std::string Stored(const std::string& key) { return area.GetSetting(kApp, "Settings", key, "<missing>"); }
    void Store(const std::string& key, const std::string& text) { area.SaveSetting(kApp, "Settings", key, text); }

    static std::vector<std::string> Used(const SettingList& list) {
        return {list.begin(), list.begin() + static_cast<std::ptrdiff_t>(list.CountUsed())};
    }

    FakeSettingsArea area;
    SettingsStore store{area, kApp};
    FakeShell shell;
};

TEST_F(SettingsStoreTest, FirstStartSeesEveryDefaultAndWritesNothing) {
    store.LoadSettings();
    const Settings& s = store.Current();
    EXPECT_EQ(s.ipa, 0);
    EXPECT_EQ(s.enc, 1);
    EXPECT_EQ(s.ras, 0);
    EXPECT_EQ(s.ste, 0);
    EXPECT_EQ(s.hky, 1);
    for (std::int16_t flag :
         {s.dehist, s.decook, s.detype, s.dedocu, s.demedi, s.deoffi, s.dewint, s.deintt, s.derecy, s.deruns}) {
        EXPECT_EQ(flag, 1);
    }
    EXPECT_EQ(s.pas + s.td + s.mk + s.rk, "");
    for (ListId list : kAllLists)
        EXPECT_EQ(s.List(list).CountUsed(), 0u);
    EXPECT_EQ(area.Writes(), 0);
}

TEST_F(SettingsStoreTest, AFlagThatIsNotANumberKeepsItsPreviousValue) {
    Store("dehist", "abc");
    Store("ipa", "");
    store.LoadSettings();
    EXPECT_EQ(store.Current().dehist, 0);  // nothing was there before the first load
    EXPECT_EQ(store.Current().ipa, 0);

    Store("dehist", "2");
    Store("ipa", "1");
    Store("decook", "0");
    store.LoadSettings();
    EXPECT_EQ(store.Current().dehist, 2);
    EXPECT_EQ(store.Current().ipa, 1);

    Store("dehist", "abc");
    Store("ipa", "70000");
    store.LoadSettings();
    EXPECT_EQ(store.Current().dehist, 2);
    EXPECT_EQ(store.Current().ipa, 1);
    // The bad values spoil nothing else.
    EXPECT_EQ(store.Current().decook, 0);
    EXPECT_EQ(store.Current().enc, 1);
}

TEST_F(SettingsStoreTest, AListEndsAtItsFirstMissingOrEmptyValue) {
    Store("coo0", "a.com");
    Store("coo1", "b.com");
    Store("coo2", "");
    Store("coo3", "ignored.com");
    Store("sit1", "no index 0");
    Store("enc", "0");
    store.LoadSettings();
    EXPECT_THAT(Used(store.Current().coo), ElementsAre("a.com", "b.com"));
    EXPECT_EQ(store.Current().coo[3], "");
    EXPECT_EQ(store.Current().sit.CountUsed(), 0u);
    EXPECT_EQ(store.Current().sit[1], "");

    // A later load empties what the stored list no longer holds.
    Store("coo1", "");
    store.LoadSettings();
    EXPECT_THAT(Used(store.Current().coo), ElementsAre("a.com"));
    EXPECT_EQ(store.Current().coo[1], "");
}

TEST_F(SettingsStoreTest, AListIsCutAtItsLastSlot) {
    Store("enc", "0");
    for (int i = 0; i <= 10001; ++i)
        Store("med" + std::to_string(i), "m" + std::to_string(i));
    store.LoadSettings();
    EXPECT_EQ(store.Current().med.CountUsed(), kListSlots);
    EXPECT_EQ(store.Current().med[10000], "m10000");

    WizardControls controls;
    controls.lstMedia.assign(10005, "x");
    store.SaveWizardSettings(controls);
    EXPECT_EQ(Stored("med10000"), "x");
    // The old value past the last slot is cleared by the save, and nothing new is written there.
    EXPECT_EQ(Stored("med10001"), "");
    EXPECT_EQ(Stored("med10002"), "<missing>");
}

TEST_F(SettingsStoreTest, ScramblingIsItsOwnInverseOverEveryCharacter) {
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    std::string text = all;
    ScrambleText(text);
    EXPECT_NE(text, all);
    EXPECT_EQ(text.find('\0'), 0u) << "only the NUL itself may be a NUL after scrambling";
    EXPECT_EQ(ScrambleText(text), all);

    const struct {
        std::string plain;
        std::string scrambled;
    } cases[] = {
        {"abc", "\xE1\xE2\xE3"},  {" ", "\xA0"}, {"\xE9\xF4\xE9", "iti"},  // codes above 128 move down
        {"\x80", "\x80"},                                                  // the euro sign stays
        {"\xFF\x81", "\x7F\x01"}, {"", ""},
    };
    for (const auto& c : cases) {
        std::string t = c.plain;
        EXPECT_EQ(ScrambleText(t), c.scrambled);
        EXPECT_EQ(t, c.scrambled);
    }
}

TEST_F(SettingsStoreTest, ScrambledSettingsAreStoredScrambledAndLoadPlain) {
    WizardControls controls;
    controls.chkencrypt = 1;
    controls.txtPass1 = "s\xE9same";
    controls.txtSetting = {"C:\\Temp\\", "", "HKEY_CURRENT_USER\\Media", "rk text"};
    controls.lstSites[1] = {"abc"};
    controls.lstDoc = {"C:\\docs\\\xC4rger.doc"};
    store.SaveWizardSettings(controls);

    EXPECT_EQ(Stored("sit0"), "\xE1\xE2\xE3");
    EXPECT_EQ(Stored("enc"), "1");
    std::string pas = "s\xE9same";
    EXPECT_EQ(Stored("pas"), ScrambleText(pas));
    EXPECT_NE(Stored("td"), "C:\\Temp\\");

    store.LoadSettings();
    const Settings& s = store.Current();
    EXPECT_EQ(s.sit[0], "abc");
    EXPECT_EQ(s.doc[0], "C:\\docs\\\xC4rger.doc");
    EXPECT_EQ(s.pas, "s\xE9same");
    EXPECT_EQ(s.td, "C:\\Temp\\");
    EXPECT_EQ(s.mk, "HKEY_CURRENT_USER\\Media");
    EXPECT_EQ(s.rk, "rk text");

    // Switching scrambling off stores everything plain.
    controls.chkencrypt = 0;
    store.ClearStoredLists();
    store.SaveWizardSettings(controls);
    EXPECT_EQ(Stored("sit0"), "abc");
    EXPECT_EQ(Stored("pas"), "s\xE9same");
    EXPECT_EQ(Stored("enc"), "0");
    store.LoadSettings();
    EXPECT_EQ(store.Current().sit[0], "abc");
    EXPECT_EQ(store.Current().pas, "s\xE9same");
}

TEST_F(SettingsStoreTest, SavedListsAreGapFreeJudgedOnTheStoredText) {
    WizardControls controls;
    controls.lstFiles = {"a", "", " ", "b"};

    controls.chkencrypt = 0;
    store.SaveWizardSettings(controls);
    EXPECT_EQ(Stored("fil0"), "a");
    EXPECT_EQ(Stored("fil1"), "b");
    EXPECT_EQ(Stored("fil2"), "<missing>");

    controls.chkencrypt = 1;
    store.SaveWizardSettings(controls);
    EXPECT_EQ(Stored("fil0"), "\xE1");
    EXPECT_EQ(Stored("fil1"), "\xA0");
    EXPECT_EQ(Stored("fil2"), "\xE2");
}

TEST_F(SettingsStoreTest, FinishingTheWizardLoadsWhatAFreshLoadWouldWithoutReadingBackWhatItWrote) {
    for (const char* encrypted : {"0", "1"}) {
        SCOPED_TRACE(encrypted);
        Store("enc", encrypted);
        Store("sit0", "old one");
        Store("sit1", "old two");
        Store("sit2", "old three");
        Store("dehist", "0");
        store.LoadSettings();
        WizardControls controls;
        store.FillWizardControls(controls, shell);
        controls.lstSites[1] = {"new \xE9", " ", ""};
        controls.lstDoc = {"report"};
        controls.chkencrypt = 1;
        controls.txtPass1 = "a b";
        const int readsBefore = area.Reads();
        store.SaveWizardSettingsAndReload(controls);
        // Only what was not written is read: the flags of the clean run, and each list's end.
        EXPECT_LT(area.Reads() - readsBefore, 40);

        SettingsStore fresh(area, kApp);
        fresh.LoadSettings();
        const Settings& got = store.Current();
        const Settings& want = fresh.Current();
        EXPECT_EQ(got.enc, want.enc);
        EXPECT_EQ(got.dehist, want.dehist);
        EXPECT_EQ(got.pas, want.pas);
        EXPECT_EQ(got.td, want.td);
        for (ListId list : kAllLists)
            EXPECT_EQ(Used(got.List(list)), Used(want.List(list)));
        EXPECT_THAT(Used(got.sit), ElementsAre("new \xE9", " ")) << "a single blank survives scrambling";
        EXPECT_EQ(got.pas, "a b");
    }
}

// A load that uses what was read before must give exactly what reading again would, and a change
// from anywhere must be read.
TEST_F(SettingsStoreTest, ASecondLoadReadsAgainOnlyWhenTheSectionChanged) {
    enum class Change { None, ByAWindow, ByAnotherProgram, NotText, SectionRemoved };
    const struct {
        Change change;
        bool readAgain;
    } cases[] = {
        {Change::None, false},   {Change::ByAWindow, true},      {Change::ByAnotherProgram, true},
        {Change::NotText, true}, {Change::SectionRemoved, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.change));
        FakeSettingsArea caseArea;
        SettingsStore caseStore(caseArea, kApp);
        caseArea.SaveSetting(kApp, "Settings", "enc", "1");
        caseArea.SaveSetting(kApp, "Settings", "dehist", "abc");
        caseArea.SaveSetting(kApp, "Settings", "sit0", Scrambled("kept.com"));
        caseArea.SaveSetting(kApp, "Settings", "sit1", Scrambled("also.com"));
        caseStore.LoadSettings();
        // What the run or a window set in memory alone: a reload keeps it only where the stored
        // value cannot be used, as a fresh read would.
        caseStore.Current().dehist = 5;
        caseStore.Current().decook = 7;

        switch (c.change) {
            case Change::None:
                break;
            case Change::ByAWindow:
                caseStore.SaveSetting("sit1", Scrambled("changed.com"));
                break;
            case Change::ByAnotherProgram:
                caseArea.SaveSetting(kApp, "Settings", "sit2", Scrambled("added.com"));
                break;
            case Change::NotText:
                caseArea.PutNonString(kApp, "Settings", "sit1");
                break;
            case Change::SectionRemoved:
                caseArea.RemoveSection(kApp, "Settings");
                break;
        }
        const int readsBefore = caseArea.Reads();
        caseStore.LoadSettings();
        EXPECT_EQ(caseArea.Reads() > readsBefore, c.readAgain);

        SettingsStore fresh(caseArea, kApp);
        fresh.Current().dehist = 5;
        fresh.LoadSettings();
        const Settings& got = caseStore.Current();
        const Settings& want = fresh.Current();
        EXPECT_EQ(got.dehist, want.dehist);
        EXPECT_EQ(got.decook, want.decook);
        EXPECT_EQ(got.enc, want.enc);
        EXPECT_EQ(Used(got.sit), Used(want.sit));
    }
}

// A full wizard finished without edits would otherwise rewrite 60,000 values.
TEST_F(SettingsStoreTest, FinishingRewritesOnlyWhatDiffersFromTheSectionLastRead) {
    enum class Before { Nothing, AnotherProgramWrote };
    const struct {
        Before before;
        bool editOneRow;
        int writes;
    } cases[] = {
        {Before::Nothing, false, 0},
        {Before::Nothing, true, 1},
        // Another program's change makes what was read worthless: everything is written.
        {Before::AnotherProgramWrote, false, 12},  // nine options and three rows
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << static_cast<int>(c.before) << " " << c.editOneRow);
        FakeSettingsArea caseArea;
        SettingsStore caseStore(caseArea, kApp);
        WizardControls stored;
        stored.chkencrypt = 1;
        stored.txtPass1 = "secret";
        stored.txtSetting[0] = "C:\\temp";
        stored.txtSetting[2] = kDefaultMediaKey;
        stored.lstSites[1] = {"a.com", "b.com"};
        stored.lstDoc = {"report"};
        caseStore.SaveWizardSettings(stored);
        caseStore.LoadSettings();

        if (c.before == Before::AnotherProgramWrote)
            caseArea.SaveSetting(kApp, "Settings", "unrelated", "x");
        WizardControls controls;
        caseStore.FillWizardControls(controls, shell);
        if (c.editOneRow)
            controls.lstSites[1][1] = "c.com";
        const int writesBefore = caseArea.Writes();
        caseStore.SaveWizardSettingsAndReload(controls);
        EXPECT_EQ(caseArea.Writes() - writesBefore, c.writes);

        EXPECT_THAT(Used(caseStore.Current().sit), ElementsAre("a.com", c.editOneRow ? "c.com" : "b.com"));
        SettingsStore fresh(caseArea, kApp);
        fresh.LoadSettings();
        EXPECT_EQ(Used(fresh.Current().sit), Used(caseStore.Current().sit));
        EXPECT_EQ(fresh.Current().pas, "secret");
        EXPECT_EQ(fresh.Current().td, "C:\\temp");
    }
}

// A value that reads as missing is stored even when the wizard's text is what its default reads as.
TEST_F(SettingsStoreTest, FinishingReplacesAStoredValueThatIsNotText) {
    area.SaveSetting(kApp, "Settings", "pas", "");
    area.PutNonString(kApp, "Settings", "enc");
    store.LoadSettings();
    WizardControls controls;
    store.FillWizardControls(controls, shell);
    ASSERT_EQ(controls.chkencrypt, 1);
    store.SaveWizardSettingsAndReload(controls);
    EXPECT_EQ(area.ReadSetting(kApp, "Settings", "enc"), std::optional<std::string>("1"));
}

TEST_F(SettingsStoreTest, SavingAShorterListLeavesEmptiedValuesThatNoLongerLoad) {
    WizardControls controls;
    controls.chkencrypt = 0;
    controls.lstSites[2] = {"one", "two", "three"};
    store.SaveWizardSettings(controls);
    controls.lstSites[2] = {"uno"};
    store.SaveWizardSettings(controls);

    EXPECT_EQ(Stored("coo0"), "uno");
    EXPECT_EQ(Stored("coo1"), "");
    EXPECT_EQ(Stored("coo2"), "");
    store.LoadSettings();
    EXPECT_THAT(Used(store.Current().coo), ElementsAre("uno"));
}

TEST_F(SettingsStoreTest, ClearStoredListsEmptiesEveryListUpToItsFirstGap) {
    for (const char* prefix : {"sit", "coo", "fil", "pat", "med", "doc"}) {
        Store(std::string(prefix) + "0", "x");
        Store(std::string(prefix) + "1", "y");
    }
    Store("doc3", "beyond the gap");
    Store("pas", "kept");
    store.ClearStoredLists();
    for (const char* prefix : {"sit", "coo", "fil", "pat", "med", "doc"}) {
        EXPECT_EQ(Stored(std::string(prefix) + "0"), "") << prefix;
        EXPECT_EQ(Stored(std::string(prefix) + "1"), "") << prefix;
        EXPECT_EQ(Stored(std::string(prefix) + "2"), "<missing>") << prefix;
    }
    EXPECT_EQ(Stored("doc3"), "beyond the gap");
    EXPECT_EQ(Stored("pas"), "kept");
}

TEST_F(SettingsStoreTest, WizardControlsSurviveFinishingTheWizard) {
    WizardControls before;
    before.chkPassword = 1;
    before.chkencrypt = 1;
    before.chkRunAtStart = 1;
    before.chkStealthMode = 0;
    before.chkHotKey = 0;
    before.lstSites[1] = {"keep.com", "also.org"};
    before.lstSites[2] = {"cookie.net"};
    before.lstFiles = {"Report"};
    before.lstPaths = {"C:\\Report.doc"};
    before.lstMedia = {"C:\\song.mp3", "C:\\film.avi"};
    before.lstDoc = {"C:\\a.txt"};
    before.txtPass1 = "secret";
    before.txtPass2 = "secret";
    before.txtSetting = {"D:\\Temp", "", "HKEY_CURRENT_USER\\X", "HKEY_LOCAL_MACHINE\\Y"};

    store.ClearStoredLists();
    store.SaveWizardSettings(before);
    store.LoadSettings();
    WizardControls after;
    store.FillWizardControls(after, shell);

    EXPECT_EQ(after.chkPassword, 1);
    EXPECT_EQ(after.chkencrypt, 1);
    EXPECT_EQ(after.chkRunAtStart, 1);
    EXPECT_EQ(after.chkStealthMode, 0);
    EXPECT_EQ(after.chkHotKey, 0);
    EXPECT_EQ(after.lstSites[1], before.lstSites[1]);
    EXPECT_EQ(after.lstSites[2], before.lstSites[2]);
    EXPECT_EQ(after.lstFiles, before.lstFiles);
    EXPECT_EQ(after.lstPaths, before.lstPaths);
    EXPECT_EQ(after.lstMedia, before.lstMedia);
    EXPECT_EQ(after.lstDoc, before.lstDoc);
    EXPECT_EQ(after.txtPass1, "secret");
    EXPECT_EQ(after.txtPass2, "secret");
    EXPECT_EQ(after.txtSetting[0], "D:\\Temp");
    EXPECT_EQ(after.txtSetting[2], "HKEY_CURRENT_USER\\X");
    EXPECT_EQ(after.txtSetting[3], "HKEY_LOCAL_MACHINE\\Y");
}

TEST_F(SettingsStoreTest, EmptyWizardTextsFallBackToTheirDefaults) {
    store.LoadSettings();
    WizardControls controls;
    controls.lstFiles = {"stale row"};
    store.FillWizardControls(controls, shell);
    EXPECT_EQ(controls.txtSetting[0], shell.tempPath);
    EXPECT_EQ(controls.txtSetting[2], "HKEY_CURRENT_USER\\Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList");
    EXPECT_EQ(controls.txtSetting[3], "");
    EXPECT_TRUE(controls.lstFiles.empty());
    EXPECT_EQ(controls.chkencrypt, 1);
    EXPECT_EQ(controls.chkHotKey, 1);
}

TEST_F(SettingsStoreTest, CategoryFlagsGoToTheirOwnCheckBoxes) {
    const char* keys[] = {"decook", "dedocu", "dehist", "deintt", "demedi", "derecy", "deruns", "detype", "dewint"};
    // Values 0 and 2 in a pattern no swapped pair of boxes could reproduce.
    for (int i = 0; i < 9; ++i)
        Store(keys[i], (i % 3 == 0) ? "0" : (i % 3 == 1) ? "2" : "1");
    store.LoadSettings();
    CategoryChecks checks;
    store.ApplyCategoryFlags(checks);
    const std::int16_t got[] = {checks.chkCookies,   checks.chkDocuments, checks.chkHistory,
                                checks.chkIntTemp,   checks.chkMedia,     checks.chkRecycle,
                                checks.chkRunSearch, checks.chkTyped,     checks.chkWinTemp};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(got[i], (i % 3 == 0) ? 0 : (i % 3 == 1) ? 2 : 1) << keys[i];
}

TEST_F(SettingsStoreTest, FlagsAndMarkersAreNeverScrambled) {
    WizardControls controls;
    controls.chkencrypt = 1;
    controls.chkPassword = 1;
    controls.chkHotKey = 1;
    store.SaveWizardSettings(controls);
    EXPECT_EQ(Stored("enc"), "1");
    EXPECT_EQ(Stored("ipa"), "1");
    EXPECT_EQ(Stored("hky"), "1");
    EXPECT_EQ(Stored("ras"), "0");
    EXPECT_EQ(Stored("ste"), "0");
    // Empty texts stay empty when scrambled.
    EXPECT_EQ(Stored("pas"), "");
}

}  // namespace
}  // namespace nimbral
