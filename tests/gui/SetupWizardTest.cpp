// The setup wizard driven through its controls, over doubles, and over Wine's real registry and URL
// cache where its lists are filled from the machine.

#include <windows.h>
#include <wininet.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fixtures/BrowserFixtures.h"
#include "gui/GuiSupport.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/Win32Databases.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32UrlCache.h"
#include "registry/AddRemove.h"
#include "settings/modHash.h"
#include "win/WinTestSupport.h"
#include "windows/resource.h"
#include "wizard/frmSetup.h"

namespace nimbral::guitest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kTypedKey[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs\\";
constexpr int kFrames[] = {IDC_frmSetup_Frame0, IDC_frmSetup_Frame1, IDC_frmSetup_Frame2, IDC_frmSetup_Frame3,
                           IDC_frmSetup_Frame4, IDC_frmSetup_Frame5, IDC_frmSetup_Frame6, IDC_frmSetup_Frame7};

OsVersionExRecord Windows(std::uint32_t major, std::uint32_t minor) {
    OsVersionExRecord record;
    record.majorVersion = major;
    record.minorVersion = minor;
    record.platformId = 2;
    return record;
}

// The wizard over a program of doubles, as the main window opens it.
struct Wizard : TestProgram {
    Wizard() {
        Store("enc", "0");
        os.extended = Windows(5, 1);
    }
    frmSetup& Open() { return Open(registry, cache); }
    frmSetup& Open(Registry& reg, UrlCache& urls) {
        window.emplace(ThisProgram(),
                       frmSetup::Parts{identity, settings, reg, shell, fileSystem, urls, os, messages, kProgramFolder,
                                       "nimbral.exe", browserDatabases},
                       [this] { ++closed; });
        return *window;
    }
    HWND Item(int id) const { return ::GetDlgItem(window->Hwnd(), id); }
    Databases* browserDatabases = nullptr;
    void Next(int times = 1) {
        for (int i = 0; i < times; ++i)
            Click(Item(IDC_frmSetup_cmdNext));
    }
    void Type(int id, const std::string& text) { controls::SetText(Item(id), text); }
    // Enter pressed in a text box: the key's messages come through the program's own message handling,
    // where the dialog manager would give them to the default button unless the box takes them.
    void PressEnterIn(int id) {
        ::SetFocus(Item(id));
        ::PostMessageA(Item(id), WM_KEYDOWN, VK_RETURN, 0x001C0001);
        ::PostMessageA(Item(id), WM_KEYUP, VK_RETURN, 0xC01C0001);
        Pump();
    }
    std::vector<std::string> Rows(int id) const { return controls::ListRows(Item(id)); }
    int VisiblePage() const {
        int visible = -1;
        for (int page = 0; page < 8; ++page) {
            if (::IsWindowVisible(Item(kFrames[page]))) {
                EXPECT_EQ(visible, -1) << "two pages at once";
                visible = page;
            }
        }
        return visible;
    }
    std::vector<std::string> Notices() const {
        std::vector<std::string> texts;
        for (const auto& shown : messages.notices)
            texts.push_back(shown.text);
        return texts;
    }

    std::optional<frmSetup> window;
    int closed = 0;
};

TEST(SetupWizard, NextWalksTheEightPagesToFinishAndBackReturns) {
    Wizard wizard;
    frmSetup& window = wizard.Open();
    ASSERT_TRUE(window.IsOpen());
    EXPECT_EQ(controls::Text(window.Hwnd()), "Setup Wizard");
    EXPECT_EQ(wizard.VisiblePage(), 0);
    EXPECT_FALSE(controls::Enabled(wizard.Item(IDC_frmSetup_cmdBack)));
    EXPECT_EQ(controls::Text(wizard.Item(IDC_frmSetup_cmdNext)), "next");
    EXPECT_EQ(controls::Text(wizard.Item(IDC_frmSetup_cmdBack)), "Back");
    EXPECT_EQ(controls::Text(wizard.Item(IDC_frmSetup_cmdCancel)), "Cancel");

    const char* captions[] = {"Instructions", "Step 1 - Part 1 of 2", "Step 1 - Part 2 of 2", "Step 2 - Part 1 of 2",
                              "Step 3",       "Step 4 - Part 1 of 2", "Step 4 - Part 2 of 2", "Finished!"};
    for (int page = 1; page < 8; ++page) {
        wizard.Next();
        EXPECT_EQ(wizard.VisiblePage(), page);
        EXPECT_EQ(controls::Text(wizard.Item(kFrames[page])), captions[page]);
        EXPECT_TRUE(controls::Enabled(wizard.Item(IDC_frmSetup_cmdBack)));
    }
    EXPECT_EQ(controls::Text(wizard.Item(IDC_frmSetup_cmdNext)), "finish");
    Click(wizard.Item(IDC_frmSetup_cmdBack));
    EXPECT_EQ(wizard.VisiblePage(), 6);
    EXPECT_EQ(controls::Text(wizard.Item(IDC_frmSetup_cmdNext)), "next");

    // All pages sit where the first one does.
    RECT first = {};
    ::GetWindowRect(wizard.Item(kFrames[0]), &first);
    for (int frame : kFrames) {
        RECT rect = {};
        ::GetWindowRect(wizard.Item(frame), &rect);
        EXPECT_EQ(rect.left, first.left);
        EXPECT_EQ(rect.top, first.top);
    }
    // Whatever page was on show, the next opening starts on page 0.
    Click(wizard.Item(IDC_frmSetup_cmdCancel));
    wizard.Open();
    EXPECT_EQ(wizard.VisiblePage(), 0);
    EXPECT_EQ(controls::Text(wizard.Item(IDC_frmSetup_cmdNext)), "next");
    wizard.window.reset();
}

TEST(SetupWizard, TheFifthPageShowsTheTempFolderAndKeepsThePlayerKeysOutOfSight) {
    Wizard wizard;
    wizard.shell.tempPath = "C:\\users\\me\\Temp\\";
    wizard.Open();
    wizard.Next(5);
    EXPECT_EQ(controls::Text(wizard.Item(IDC_frmSetup_txtSetting0)), "C:\\users\\me\\Temp\\");
    EXPECT_TRUE(::IsWindowVisible(wizard.Item(IDC_frmSetup_txtSetting0)));
    EXPECT_EQ(controls::Text(wizard.Item(IDC_frmSetup_txtSetting2)), kDefaultMediaKey);
    for (int hidden : {IDC_frmSetup_txtSetting2, IDC_frmSetup_txtSetting3, IDC_frmSetup_Label24, IDC_frmSetup_Label25})
        EXPECT_FALSE(::IsWindowVisible(wizard.Item(hidden)));
    EXPECT_EQ(controls::Text(wizard.Item(IDC_frmSetup_Label23)),
              "The program has automatically determined your Windows Temp File directory.  Please edit it if it is not "
              "correct.  if you don't know for sure, just skip this part.");
    wizard.window.reset();
}

TEST(SetupWizard, CancelAndTheCloseBoxStoreNothingAndBringTheMainWindowBack) {
    Wizard wizard;
    wizard.Store("sit0", "kept.example");
    for (int way = 0; way < 2; ++way) {
        frmSetup& window = wizard.Open();
        wizard.Next();
        wizard.Type(IDC_frmSetup_txtSite, "added.example");
        Click(wizard.Item(IDC_frmSetup_cmdAdd20));
        EXPECT_THAT(wizard.Rows(IDC_frmSetup_lstSites1), ElementsAre("kept.example", "added.example"));
        if (way == 0)
            Click(wizard.Item(IDC_frmSetup_cmdCancel));
        else
            ::SendMessageA(window.Hwnd(), WM_CLOSE, 0, 0);
        EXPECT_FALSE(window.IsOpen());
        EXPECT_FALSE(window.TypedUrlsListed());
        EXPECT_EQ(wizard.closed, way + 1);
        EXPECT_EQ(wizard.Stored("sit1"), "<missing>");
        EXPECT_EQ(wizard.Stored("run"), "<missing>");
    }
}

TEST(SetupWizard, FinishingStoresEveryControlScrambledAndMarksTheWizardDone) {
    Wizard wizard;
    wizard.Open();
    wizard.Next();
    wizard.Type(IDC_frmSetup_txtSite, "caf\xE9.example");
    wizard.PressEnterIn(IDC_frmSetup_txtSite);
    wizard.Next(3);
    wizard.Type(IDC_frmSetup_txtDoc, "report.doc");
    wizard.PressEnterIn(IDC_frmSetup_txtDoc);
    wizard.Next();
    wizard.Type(IDC_frmSetup_txtSetting0, "C:\\my temp\\");
    wizard.Next();
    wizard.Type(IDC_frmSetup_txtPass1, "open sesame");
    wizard.Type(IDC_frmSetup_txtPass2, "open sesame");
    MouseClick(wizard.Item(IDC_frmSetup_chkPassword));
    MouseClick(wizard.Item(IDC_frmSetup_chkencrypt));
    wizard.Next();
    EXPECT_THAT(wizard.Notices(), IsEmpty());
    wizard.Next();

    EXPECT_THAT(wizard.Notices(), ElementsAre(kSetupComplete));
    EXPECT_EQ(wizard.messages.notices.back().title, kProduct);
    EXPECT_EQ(wizard.closed, 1);
    EXPECT_EQ(wizard.Stored("run"), "1");
    EXPECT_EQ(wizard.Stored("enc"), "1");
    EXPECT_EQ(wizard.Stored("ipa"), "1");
    const auto scrambled = [](std::string text) { return ScrambleText(text); };
    EXPECT_EQ(wizard.Stored("sit0"), scrambled("caf\xE9.example"));
    EXPECT_EQ(wizard.Stored("doc0"), scrambled("report"));
    EXPECT_EQ(wizard.Stored("td"), scrambled("C:\\my temp\\"));
    EXPECT_EQ(wizard.Stored("pas"), scrambled("open sesame"));
    // The run works on what was stored: the settings were loaded again.
    EXPECT_EQ(wizard.settings.Current().sit[0], "caf\xE9.example");
    EXPECT_EQ(wizard.settings.Current().pas, "open sesame");

    // Opened again, the wizard shows it all as it was typed.
    wizard.Open();
    EXPECT_THAT(wizard.Rows(IDC_frmSetup_lstSites1), ElementsAre("caf\xE9.example"));
    EXPECT_EQ(controls::Text(wizard.Item(IDC_frmSetup_txtPass1)), "open sesame");
    EXPECT_EQ(controls::Checked(wizard.Item(IDC_frmSetup_chkencrypt)), BST_CHECKED);
    wizard.window.reset();
}

TEST(SetupWizard, AListOfMoreThan10001EntriesKeepsTheFirst10001AndSaysSo) {
    for (const char* encrypted : {"0", "1"}) {
        SCOPED_TRACE(encrypted);
        Wizard wizard;
        wizard.Store("enc", encrypted);
        wizard.Open();
        const HWND keep = wizard.Item(IDC_frmSetup_lstSites2);
        for (int i = 0; i < 10002; ++i)
            controls::AddListRow(keep, "site" + std::to_string(i));
        wizard.Next(7);
        wizard.Next();
        EXPECT_THAT(wizard.Notices(),
                    ElementsAre(std::string(kListsCut) + "Keep only files from these sites.", kSetupComplete));
        EXPECT_EQ(wizard.settings.Current().coo[10000], "site10000");
        EXPECT_NE(wizard.Stored("coo10000"), "<missing>");
        EXPECT_EQ(wizard.Stored("coo10001"), "<missing>");
    }
}

TEST(SetupWizard, KeepListsTakeSelectedFoundRowsTypedSitesAndDeletions) {
    Wizard wizard;
    wizard.registry.SetStringValue(Hive::CurrentUser, kTypedKey, "url1", "http://a.example/");
    wizard.registry.SetStringValue(Hive::CurrentUser, kTypedKey, "url2", "http://b.example/");
    wizard.registry.SetStringValue(Hive::CurrentUser, kTypedKey, "url3", "http://c.example/");
    wizard.Open();
    wizard.Next();
    const HWND found = wizard.Item(IDC_frmSetup_lstSites0);
    ASSERT_THAT(wizard.Rows(IDC_frmSetup_lstSites0),
                ElementsAre("http://a.example/", "http://b.example/", "http://c.example/"));
    // Two rows at once, in list order; then one row, and the selection walks down.
    controls::SelectListRow(found, 0, true);
    controls::SelectListRow(found, 2, true);
    Click(wizard.Item(IDC_frmSetup_cmdAdd0));
    controls::SelectListRow(found, 0, false);
    controls::SelectListRow(found, 2, false);
    controls::SelectListRow(found, 0, true);
    Click(wizard.Item(IDC_frmSetup_cmdAdd0));
    EXPECT_TRUE(controls::ListRowSelected(found, 1));
    EXPECT_FALSE(controls::ListRowSelected(found, 0));
    ::SendMessageA(wizard.window->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_frmSetup_lstSites0, LBN_DBLCLK),
                   reinterpret_cast<LPARAM>(found));
    EXPECT_THAT(wizard.Rows(IDC_frmSetup_lstSites1),
                ElementsAre("http://a.example/", "http://c.example/", "http://a.example/", "http://b.example/"));

    // A box holding one blank adds nothing; two blanks are a row.
    wizard.Type(IDC_frmSetup_txtSite, " ");
    Click(wizard.Item(IDC_frmSetup_cmdAdd20));
    EXPECT_EQ(controls::Text(wizard.Item(IDC_frmSetup_txtSite)), " ");
    wizard.Type(IDC_frmSetup_txtSite, "  ");
    Click(wizard.Item(IDC_frmSetup_cmdAdd20));
    EXPECT_EQ(wizard.Rows(IDC_frmSetup_lstSites1).size(), 5u);
    EXPECT_EQ(controls::Text(wizard.Item(IDC_frmSetup_txtSite)), "");

    // Deleting without a selection says so; deleting the last row selects the new last row.
    const HWND keep = wizard.Item(IDC_frmSetup_lstSites1);
    ::SendMessageA(keep, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    Click(wizard.Item(IDC_frmSetup_cmdDel0));
    EXPECT_THAT(wizard.Notices(), ElementsAre(kSelectASiteFirst));
    ::SendMessageA(keep, LB_SETCURSEL, 4, 0);
    Click(wizard.Item(IDC_frmSetup_cmdDel0));
    EXPECT_EQ(wizard.Rows(IDC_frmSetup_lstSites1).size(), 4u);
    EXPECT_EQ(::SendMessageA(keep, LB_GETCURSEL, 0, 0), 3);

    // The found list is read once per opening: a later change shows only after reopening.
    wizard.registry.SetStringValue(Hive::CurrentUser, kTypedKey, "url4", "http://d.example/");
    Click(wizard.Item(IDC_frmSetup_cmdBack));
    wizard.Next();
    EXPECT_EQ(wizard.Rows(IDC_frmSetup_lstSites0).size(), 3u);
    wizard.window.reset();
}

// Enter in each of the four text boxes adds what the box holds, as its button does, and never
// presses the wizard's default button: the page stays, and pressed again on an empty box, nothing
// happens at all.
TEST(SetupWizard, EnterInATextBoxAddsItsTextAndStaysOnThePage) {
    const struct {
        int page;
        int box;
        int list;
        const char* typed;
        const char* added;
    } rows[] = {
        {1, IDC_frmSetup_txtSite, IDC_frmSetup_lstSites1, "new.example", "new.example"},
        {2, IDC_frmSetup_Text1, IDC_frmSetup_lstSites2, "cookie.example", "cookie.example"},
        {4, IDC_frmSetup_txtDoc, IDC_frmSetup_lstDoc, "report.doc", "report"},
        {4, IDC_frmSetup_txtMedia, IDC_frmSetup_lstMedia, "clip.mpg", "clip"},
    };
    for (const auto& row : rows) {
        Wizard wizard;
        wizard.Open();
        wizard.Next(row.page);
        wizard.Type(row.box, row.typed);
        wizard.PressEnterIn(row.box);
        EXPECT_EQ(wizard.VisiblePage(), row.page) << row.typed;
        EXPECT_THAT(wizard.Rows(row.list), ElementsAre(row.added)) << row.typed;
        EXPECT_EQ(controls::Text(wizard.Item(row.box)), "") << row.typed;
        EXPECT_EQ(::GetFocus(), wizard.Item(row.box)) << row.typed;
        if (row.page < 4) {
            wizard.PressEnterIn(row.box);
            EXPECT_EQ(wizard.VisiblePage(), row.page) << row.typed;
            EXPECT_THAT(wizard.Rows(row.list), ElementsAre(row.added)) << row.typed;
        }
    }
}

TEST(SetupWizard, DecoyNamesLoseTheirExtensionsAndDefaultsComeInOrder) {
    Wizard wizard;
    wizard.Open();
    wizard.Next(4);
    for (const char* typed : {"report.doc", "a.b.c", ".hidden"}) {
        wizard.Type(IDC_frmSetup_txtMedia, typed);
        Click(wizard.Item(IDC_frmSetup_cmdAddMedia));
    }
    EXPECT_THAT(wizard.Rows(IDC_frmSetup_lstMedia), ElementsAre("report", "a", ""));
    Click(wizard.Item(IDC_frmSetup_cmdDefaultMedia));
    EXPECT_THAT(wizard.Rows(IDC_frmSetup_lstMedia),
                ElementsAre("report", "a", "media", "intro", "picture", "image", "help", "sample", "movie"));
    Click(wizard.Item(IDC_frmSetup_cmdDefaultDoc));
    Click(wizard.Item(IDC_frmSetup_cmdDefaultDoc));
    EXPECT_EQ(wizard.Rows(IDC_frmSetup_lstDoc).size(), 14u);
    ::SendMessageA(wizard.Item(IDC_frmSetup_lstDoc), LB_SETCURSEL, 0, 0);
    Click(wizard.Item(IDC_frmSetup_cmdDelDoc));
    EXPECT_EQ(wizard.Rows(IDC_frmSetup_lstDoc).front(), "document");
    EXPECT_EQ(::SendMessageA(wizard.Item(IDC_frmSetup_lstDoc), LB_GETCURSEL, 0, 0), 12) << "the last row is selected";
    wizard.window.reset();
}

TEST(SetupWizard, ThePickerAddsFilesWithTheirPathsAndSaysWhenADriveCannotBeRead) {
    Wizard wizard;
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"})
        wizard.fileSystem.AddFile(std::string("C:\\Docs\\") + name);
    wizard.fileSystem.AddFolder("C:\\Docs\\Old");
    wizard.fileSystem.AddFile("D:\\root.txt");
    wizard.fileSystem.AddUnreadableDrive("E:");
    wizard.shell.folders[SpecialFolder::kDocuments] = "C:\\Docs\\";
    wizard.Open();
    wizard.Next(3);
    const HWND files = wizard.Item(IDC_frmSetup_File1);
    ASSERT_THAT(wizard.Rows(IDC_frmSetup_File1), ElementsAre("a.txt", "b.txt", "c.txt", "d.txt", "e.txt"));
    EXPECT_THAT(wizard.Rows(IDC_frmSetup_Dir1), ElementsAre("C:\\", "  Docs", "    Old"));

    Click(wizard.Item(IDC_frmSetup_cmdAddFile));
    EXPECT_THAT(wizard.Rows(IDC_frmSetup_lstFiles), IsEmpty()) << "no file selected, nothing added";
    ::SendMessageA(files, LB_SETCURSEL, 2, 0);
    Click(wizard.Item(IDC_frmSetup_cmdAddFile));
    EXPECT_EQ(::SendMessageA(files, LB_GETCURSEL, 0, 0), 3);
    ::SendMessageA(files, LB_SETCURSEL, 4, 0);
    Click(wizard.Item(IDC_frmSetup_cmdAddFile));
    Click(wizard.Item(IDC_frmSetup_cmdAddFile));
    EXPECT_EQ(::SendMessageA(files, LB_GETCURSEL, 0, 0), 4);

    // Drive D: at its root: one backslash between the folder and the name.
    const HWND drives = wizard.Item(IDC_frmSetup_Drive1);
    ::SendMessageA(drives, CB_SETCURSEL, 1, 0);
    ::SendMessageA(wizard.window->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_frmSetup_Drive1, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(drives));
    ASSERT_THAT(wizard.Rows(IDC_frmSetup_File1), ElementsAre("root.txt"));
    ::SendMessageA(files, LB_SETCURSEL, 0, 0);
    ::SendMessageA(wizard.window->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_frmSetup_File1, LBN_DBLCLK),
                   reinterpret_cast<LPARAM>(files));
    EXPECT_THAT(wizard.Rows(IDC_frmSetup_lstFiles), ElementsAre("c.txt", "e.txt", "e.txt", "root.txt"));
    EXPECT_THAT(wizard.Rows(IDC_frmSetup_lstPaths),
                ElementsAre("C:\\Docs\\c.txt", "C:\\Docs\\e.txt", "C:\\Docs\\e.txt", "D:\\root.txt"));

    // A drive that cannot be read leaves the pickers where they were.
    ::SendMessageA(drives, CB_SETCURSEL, 2, 0);
    ::SendMessageA(wizard.window->Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_frmSetup_Drive1, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(drives));
    EXPECT_THAT(wizard.Notices(), ElementsAre("The drive E:\\ cannot be read."));
    EXPECT_THAT(wizard.Rows(IDC_frmSetup_File1), ElementsAre("root.txt"));
    EXPECT_EQ(::SendMessageA(drives, CB_GETCURSEL, 0, 0), 1);

    // Removing the second chosen file takes its path with it.
    ::SendMessageA(wizard.Item(IDC_frmSetup_lstFiles), LB_SETCURSEL, 1, 0);
    Click(wizard.Item(IDC_frmSetup_cmdDelFile));
    EXPECT_THAT(wizard.Rows(IDC_frmSetup_lstFiles), ElementsAre("c.txt", "e.txt", "root.txt"));
    EXPECT_THAT(wizard.Rows(IDC_frmSetup_lstPaths), ElementsAre("C:\\Docs\\c.txt", "C:\\Docs\\e.txt", "D:\\root.txt"));
    EXPECT_EQ(::SendMessageA(wizard.Item(IDC_frmSetup_lstFiles), LB_GETCURSEL, 0, 0), 2);
    wizard.window.reset();
}

TEST(SetupWizard, APasswordIsCheckedHoweverTheBoxIsTicked) {
    const struct {
        const char* password;
        const char* retyped;
        const char* message;
    } cases[] = {
        {"abc", "abc", kPasswordTooShort},
        {"abcd", "ABCD", kPasswordsDiffer},
        {"abcd", "abcd", nullptr},
    };
    for (bool keyboard : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.password) + (keyboard ? " by keyboard" : " by mouse"));
            Wizard wizard;
            wizard.Open();
            wizard.Next(6);
            wizard.Type(IDC_frmSetup_txtPass1, c.password);
            wizard.Type(IDC_frmSetup_txtPass2, c.retyped);
            const HWND box = wizard.Item(IDC_frmSetup_chkPassword);
            if (keyboard)
                PressSpace(box);
            else
                MouseClick(box);
            EXPECT_EQ(controls::Checked(box), c.message ? BST_UNCHECKED : BST_CHECKED);
            EXPECT_EQ(wizard.Notices(), c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
            // Unticking says nothing.
            if (!c.message) {
                MouseClick(box);
                EXPECT_THAT(wizard.Notices(), IsEmpty());
            }
            wizard.window.reset();
        }
    }
}

TEST(SetupWizard, TheSampleShowsTheTextScrambled) {
    Wizard wizard;
    wizard.Open();
    wizard.Next(6);
    Click(wizard.Item(IDC_frmSetup_Command1));
    std::string sample = "Encrypt Me";
    EXPECT_THAT(wizard.Notices(), ElementsAre(ScrambleText(sample)));
    wizard.window.reset();
}

TEST(SetupWizard, RunAtStartupWritesTheRunListAtOnceBeforeVista) {
    Wizard wizard;
    const std::string command = "\"C:\\Program Files\\Nimbral/nimbral\"";
    AddRemove runList(wizard.registry);
    wizard.Open();
    wizard.Next(6);
    const HWND box = wizard.Item(IDC_frmSetup_chkRunAtStart);
    Click(box);
    EXPECT_EQ(runList.GetString(Hive::LocalMachine, kRunPath, kProduct), command);
    Click(box);
    EXPECT_EQ(runList.GetString(Hive::LocalMachine, kRunPath, kProduct), "");

    // Opened with the option stored, the wizard writes the entry afresh.
    Click(wizard.Item(IDC_frmSetup_cmdCancel));
    wizard.Store("ras", "1");
    wizard.Open();
    EXPECT_EQ(runList.GetString(Hive::LocalMachine, kRunPath, kProduct), command);
    wizard.window.reset();

    // A Run list the user may not write: told, and the box shows what is there.
    Wizard locked;
    locked.registry.LockKey(Hive::LocalMachine, kRunPath);
    locked.Open();
    locked.Next(6);
    Click(locked.Item(IDC_frmSetup_chkRunAtStart));
    EXPECT_THAT(locked.Notices(),
                ElementsAre(std::string(kRunEntryNotAdded) + "Software\\Microsoft\\Windows\\CurrentVersion\\Run."));
    EXPECT_EQ(controls::Checked(locked.Item(IDC_frmSetup_chkRunAtStart)), BST_UNCHECKED);
    locked.window.reset();
}

TEST(SetupWizard, OnVistaAndLaterTheStartupToolIsOfferedAndTheRunListIsLeftAlone) {
    for (bool ok : {true, false}) {
        Wizard wizard;
        wizard.os.extended = Windows(6, 1);
        wizard.messages.answer = ok;
        wizard.Open();
        wizard.Next(6);
        Click(wizard.Item(IDC_frmSetup_chkRunAtStart));
        ASSERT_EQ(wizard.messages.questions.size(), 1u);
        EXPECT_EQ(wizard.messages.questions[0].title, kVistaTitle);
        EXPECT_EQ(wizard.messages.questions[0].text, kVistaText);
        if (ok) {
            ASSERT_EQ(wizard.messages.notices.size(), 1u);
            EXPECT_EQ(wizard.messages.notices[0].title, kStartupToolTitle);
            EXPECT_EQ(wizard.messages.notices[0].text, kStartupToolText);
            EXPECT_THAT(wizard.shell.startedCommands, ElementsAre("explorer C:\\Program Files\\Nimbral"));
        } else {
            EXPECT_THAT(wizard.messages.notices, IsEmpty());
            EXPECT_THAT(wizard.shell.startedCommands, IsEmpty());
        }
        EXPECT_EQ(controls::Checked(wizard.Item(IDC_frmSetup_chkRunAtStart)), BST_CHECKED);
        EXPECT_FALSE(wizard.registry.KeyExists(Hive::LocalMachine, kRunPath));
        wizard.window.reset();
    }
}

// The found lists come from the machine: typed addresses from the registry, cookie sites from the
// URL cache, the cookie list afresh on every showing of its page.
TEST(SetupWizard, TheFoundListsComeFromTheRealRegistryAndUrlCache) {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kTypedKey);
    win32::Win32Registry registry;
    win32::Win32UrlCache cache;
    registry.SetStringValue(Hive::CurrentUser, kTypedKey, "url1", "http://typed.example/");
    registry.SetStringValue(Hive::CurrentUser, kTypedKey, "url2", "http://also.example/");
    registry.SetStringValue(Hive::CurrentUser, kTypedKey, "url4", "http://after.gap.example/");
    const auto addCookie = [](const std::string& site) {
        const std::string name = "Cookie:me@" + site + "/";
        char localFile[MAX_PATH] = {};
        ASSERT_TRUE(::CreateUrlCacheEntryA(name.c_str(), 0, "txt", localFile, 0));
        win32::UniqueHfile(
            ::CreateFileA(localFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        const FILETIME never = {};
        ASSERT_TRUE(::CommitUrlCacheEntryA(name.c_str(), localFile, never, never,
                                           COOKIE_CACHE_ENTRY | NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr));
    };
    addCookie("first.example");

    Wizard wizard;
    wizard.Open(registry, cache);
    wizard.Next();
    EXPECT_THAT(wizard.Rows(IDC_frmSetup_lstSites0), ElementsAre("http://typed.example/", "http://also.example/"));
    wizard.Next();
    EXPECT_THAT(wizard.Rows(IDC_frmSetup_lstSites3), ::testing::Contains("first.example"));
    addCookie("second.example");
    Click(wizard.Item(IDC_frmSetup_cmdBack));
    wizard.Next();
    EXPECT_THAT(wizard.Rows(IDC_frmSetup_lstSites3), ::testing::IsSupersetOf({"first.example", "second.example"}));
    wizard.window.reset();
    ::DeleteUrlCacheEntryA("Cookie:me@first.example/");
    ::DeleteUrlCacheEntryA("Cookie:me@second.example/");
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kTypedKey);
}

// Today's browsers add what they hold to the found lists, read without a byte of their files
// changing: their typed addresses after the registry's, their cookie hosts (without the leading dot)
// after the URL cache's, each once.
TEST(SetupWizard, TheFoundListsAddTheBrowsersTypedAddressesAndCookieHosts) {
    Wizard wizard;
    const std::string root = nimbral::wintest::MakeScratchFolder("wizard-browsers");
    const std::string chrome = root + "\\Local\\Google\\Chrome\\User Data\\Default";
    const std::string firefox = root + "\\Roaming\\Mozilla\\Firefox";
    const std::string profile = firefox + "\\Profiles\\p.default";
    for (const std::string& folder :
         {root + "\\Local", root + "\\Local\\Google", root + "\\Local\\Google\\Chrome",
          root + "\\Local\\Google\\Chrome\\User Data", chrome, chrome + "\\Network", root + "\\Roaming",
          root + "\\Roaming\\Mozilla", firefox, firefox + "\\Profiles", profile}) {
        ::CreateDirectoryA(folder.c_str(), nullptr);
        wizard.fileSystem.AddFolder(folder);
    }
    wizard.shell.folders[0x1c] = root + "\\Local\\";
    wizard.shell.folders[0x1a] = root + "\\Roaming\\";
    fixtures::WriteChromiumHistory(chrome + "\\History",
                                   {{"https://chrome.example/a", 1}, {"https://untyped.example/", 0}});
    fixtures::WriteChromiumCookies(chrome + "\\Network\\Cookies", {{".a.example", "x"}, {"b.example", "y"}});
    fixtures::WriteFirefoxPlaces(profile + "\\places.sqlite",
                                 {{"https://firefox.example/b", 1}, {"https://chrome.example/a", 1}});
    fixtures::WriteFirefoxCookies(profile + "\\cookies.sqlite", {{".c.example", "z"}, {"a.example", "w"}}, 1);
    for (const std::string& file : {chrome + "\\History", chrome + "\\Network\\Cookies", profile + "\\places.sqlite",
                                    profile + "\\cookies.sqlite"})
        wizard.fileSystem.AddFile(file);
    wizard.fileSystem.AddFile(firefox + "\\profiles.ini");
    wizard.fileSystem.SetContent(firefox + "\\profiles.ini",
                                 "[Profile0]\r\nIsRelative=1\r\nPath=Profiles/p.default\r\n");
    const auto bytes = [&] {
        std::vector<std::string> all;
        for (const char* file : {"\\places.sqlite", "\\places.sqlite-wal", "\\cookies.sqlite", "\\cookies.sqlite-wal",
                                 "\\cookies.sqlite-shm"})
            all.push_back(fixtures::FileBytes(profile + file) + "|" +
                          (fixtures::FileExists(profile + file) ? "y" : "n"));
        all.push_back(fixtures::FileBytes(chrome + "\\History"));
        return all;
    };
    const auto before = bytes();
    win32::Win32Databases databases(SqliteDatabases::Changes::kKeptInMemory);
    wizard.browserDatabases = &databases;
    wizard.registry.SetStringValue(Hive::CurrentUser, kTypedKey, "url1", "http://typed.example/");

    wizard.Open();
    wizard.Next();
    EXPECT_THAT(wizard.Rows(IDC_frmSetup_lstSites0),
                ElementsAre("http://typed.example/", "https://chrome.example/a", "https://firefox.example/b"));
    wizard.Next();
    EXPECT_THAT(wizard.Rows(IDC_frmSetup_lstSites3), ElementsAre("a.example", "b.example", "c.example"));
    wizard.window.reset();
    EXPECT_EQ(bytes(), before);
    nimbral::wintest::RemoveTree(root);
}

}  // namespace
}  // namespace nimbral::guitest
