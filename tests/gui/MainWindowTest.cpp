#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "browsers/BrowserCleaner.h"
#include "gui/GuiSupport.h"
#include "platform/sqlite/SqliteDatabases.h"
#include "platform/win32/UniqueHandles.h"
#include "system/WindowTexts.h"
#include "win/WinTestSupport.h"
#include "windows/frmMain.h"
#include "windows/resource.h"

namespace nimbral::guitest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class RecordingActions final : public frmMain::Actions {
  public:
    void CleanNow() override { calls.push_back("CleanNow"); }
    void OpenSetupWizard() override { calls.push_back("OpenSetupWizard"); }
    void ViewHelp() override { calls.push_back("ViewHelp"); }
    void ViewAbout() override { calls.push_back("ViewAbout"); }
    void OpenWebsite(const std::string& request) override { calls.push_back("OpenWebsite " + request); }
    void OpenPluginBrowser() override { calls.push_back("OpenPluginBrowser"); }
    void EndProgram() override { calls.push_back("EndProgram"); }
    std::vector<std::string> calls;
};

// The main window on its own, loaded hidden, its requests to the program recorded.
struct MainWindow : TestProgram {
    frmMain& Load() {
        window.emplace(ThisProgram(),
                       frmMain::Parts{identity, settings, registry, shell, fileSystem, listers.File1, tables, lstPlugs,
                                      kProgramFolder, messages, static_cast<bool>(openWizard), sources},
                       actions);
        return *window;
    }
    HWND Item(int id) const { return ::GetDlgItem(window->Hwnd(), id); }
    void AddPlugin(const std::string& name) { fileSystem.AddFile(std::string(kProgramFolder) + "\\plugins\\" + name); }

    RecordingActions actions;
    PluginSources sources;
    std::optional<frmMain> window;
};

TEST(MainWindow, LoadsWithEveryCaptionGroupAndMenuItem) {
    MainWindow main;
    main.Store("showHelp", "0");
    frmMain& window = main.Load();
    ASSERT_TRUE(window.IsOpen());
    EXPECT_FALSE(::IsWindowVisible(window.Hwnd()));
    EXPECT_EQ(controls::Text(window.Hwnd()), "Nimbral Windows Cleaner by Ardent Lume");

    const std::pair<int, const char*> captions[] = {
        {IDC_frmMain_cmdStart, " Clean  Now"},
        {IDC_frmMain_cmdSetup, " Setup Wizard"},
        {IDC_frmMain_cmdVisit, "Visit www.nimbral.example"},
        {IDC_frmMain_Frame2, "Delete these items"},
        {IDC_frmMain_Frame1, "Replace these items"},
        {IDC_frmMain_Frame3, "Run these plugins"},
        {IDC_frmMain_Command1, "Refresh Plugin List"},
        {IDC_frmMain_cmdPlugs, "Download Plugins"},
        {IDC_frmMain_chkCookies, "Internet Explorer Cookies"},
        {IDC_frmMain_chkDocuments, "Document History"},
        {IDC_frmMain_chkHistory, "Internet Explorer History"},
        {IDC_frmMain_chkIntTemp, "Temporary Internet Files"},
        {IDC_frmMain_chkMedia, "Media Player History"},
        {IDC_frmMain_chkRecycle, "Recycle Bin"},
        {IDC_frmMain_chkRunSearch, "Run/Search History"},
        {IDC_frmMain_chkTyped, "Internet Explorer Typed URLs"},
        {IDC_frmMain_chkWinTemp, "Windows Temp Files"},
    };
    for (const auto& [id, caption] : captions) {
        SCOPED_TRACE(caption);
        EXPECT_EQ(controls::Text(main.Item(id)), caption);
    }

    // Each group holds its own boxes.
    const std::pair<int, std::vector<int>> groups[] = {
        {IDC_frmMain_Frame2,
         {IDC_frmMain_chkRecycle, IDC_frmMain_chkWinTemp, IDC_frmMain_chkRunSearch, IDC_frmMain_chkHistory}},
        {IDC_frmMain_Frame1,
         {IDC_frmMain_chkMedia, IDC_frmMain_chkDocuments, IDC_frmMain_chkTyped, IDC_frmMain_chkCookies,
          IDC_frmMain_chkIntTemp}},
        {IDC_frmMain_Frame3, {IDC_frmMain_lstPlugs, IDC_frmMain_Command1, IDC_frmMain_cmdPlugs}},
    };
    for (const auto& [frame, members] : groups) {
        RECT group = {};
        ::GetWindowRect(main.Item(frame), &group);
        for (int member : members) {
            RECT inside = {};
            ::GetWindowRect(main.Item(member), &inside);
            RECT both = {};
            ::UnionRect(&both, &group, &inside);
            EXPECT_TRUE(::EqualRect(&both, &group)) << member << " outside its group";
        }
    }

    const HMENU bar = ::GetMenu(window.Hwnd());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(::GetMenuItemCount(bar), 4);
    const char* menus[] = {"File", "Plugins", "Help", "About"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(MenuText(bar, i, MF_BYPOSITION), menus[i]);
    const std::pair<int, const char*> items[] = {
        {IDM_frmMain_mnuFileItem0, "Run Setup Wizard"},
        {IDM_frmMain_mnuFileItem1, "Clean Now"},
        {IDM_frmMain_mnuFileItem2, "Exit"},
        {IDM_frmMain_mnuPluginsItem0, "Refresh Plugin List"},
        {IDM_frmMain_mnuHelpItem, "View Help"},
        {IDM_frmMain_mnuAboutItem, "About this software"},
    };
    for (const auto& [id, text] : items)
        EXPECT_EQ(MenuText(bar, id, MF_BYCOMMAND), text);

    // The category boxes are set in Verdana; the plugin lines are selected each on its own.
    for (int id : {IDC_frmMain_chkCookies, IDC_frmMain_chkRunSearch, IDC_frmMain_chkWinTemp}) {
        LOGFONTA font = {};
        const auto handle = reinterpret_cast<HFONT>(::SendMessageA(main.Item(id), WM_GETFONT, 0, 0));
        ASSERT_TRUE(handle && ::GetObjectA(handle, sizeof font, &font));
        EXPECT_STREQ(font.lfFaceName, "Verdana");
    }
    EXPECT_TRUE(::GetWindowLongA(main.Item(IDC_frmMain_lstPlugs), GWL_STYLE) & LBS_MULTIPLESEL);
    EXPECT_FALSE(::GetWindowLongA(main.Item(IDC_frmMain_lstPlugs), GWL_STYLE) & LBS_SORT);

    // The window and its task bar button carry the program's icon.
    EXPECT_NE(::SendMessageA(window.Hwnd(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(::SendMessageA(window.Hwnd(), WM_GETICON, ICON_SMALL, 0), 0);
}

TEST(MainWindow, VisitButtonNamesTheRegistrysSiteOrTheReseller) {
    struct Case {
        const char* company;
        const char* weburlname;
        const char* caption;
    };
    const Case cases[] = {
        {"Ardent Lume", "www.partner.example", "Visit www.partner.example"},
        {"Orrin Vale Enterprise", "www.partner.example", "Visit Orrin Vale Software"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        MainWindow main;
        main.identity.companyName = c.company;
        main.registry.SetStringValue(Hive::LocalMachine, kRebrandKey, kRebrandValue, c.weburlname);
        main.Load();
        EXPECT_EQ(controls::Text(main.Item(IDC_frmMain_cmdVisit)), c.caption);
    }
}

TEST(MainWindow, CleanNowButtonWaitsForAFinishedWizardButTheMenuItemDoesNot) {
    const std::pair<std::optional<std::string>, bool> cases[] = {
        {std::nullopt, false}, {"0", false}, {"0.0", false}, {"abc", false}, {"1", true}, {"2", true},
    };
    for (const auto& [run, enabled] : cases) {
        SCOPED_TRACE(run.value_or("<missing>"));
        MainWindow main;
        if (run)
            main.Store("run", *run);
        main.Load();
        EXPECT_EQ(controls::Enabled(main.Item(IDC_frmMain_cmdStart)), enabled);
        EXPECT_FALSE(::GetMenuState(::GetMenu(main.window->Hwnd()), IDM_frmMain_mnuFileItem1, MF_BYCOMMAND) &
                     MF_GRAYED);

        // A click that reaches a disabled button starts nothing either.
        Click(main.Item(IDC_frmMain_cmdStart));
        ChooseMenu(main.window->Hwnd(), IDM_frmMain_mnuFileItem1);
        const std::vector<std::string> expected(enabled ? 2 : 1, "CleanNow");
        EXPECT_EQ(std::vector(main.actions.calls.begin() + 1, main.actions.calls.end()), expected);
    }
}

TEST(MainWindow, BoxesShowTheLoadedFlagsGreyIncluded) {
    MainWindow main;
    main.Store("decook", "0");
    main.Store("demedi", "2");
    main.Store("dewint", "abc");  // not a number: the flag keeps its value
    main.settings.Current().dewint = 0;
    main.settings.LoadSettings();
    main.Load();
    EXPECT_EQ(controls::Checked(main.Item(IDC_frmMain_chkCookies)), BST_UNCHECKED);
    EXPECT_EQ(controls::Checked(main.Item(IDC_frmMain_chkMedia)), BST_INDETERMINATE);
    EXPECT_EQ(controls::Checked(main.Item(IDC_frmMain_chkWinTemp)), BST_UNCHECKED);
    EXPECT_EQ(controls::Checked(main.Item(IDC_frmMain_chkHistory)), BST_CHECKED);
}

// Whatever the user does to a box, the box and the stored setting agree afterwards, so the run (which
// reads what is stored) does what the box shows.
TEST(MainWindow, EveryClickOnACategoryIsStoredAtOnceByMouseOrKeyboard) {
    struct Box {
        int id;
        const char* key;
        std::int16_t Settings::*flag;
    };
    const Box boxes[] = {
        {IDC_frmMain_chkCookies, "decook", &Settings::decook},
        {IDC_frmMain_chkDocuments, "dedocu", &Settings::dedocu},
        {IDC_frmMain_chkHistory, "dehist", &Settings::dehist},
        {IDC_frmMain_chkIntTemp, "deintt", &Settings::deintt},
        {IDC_frmMain_chkMedia, "demedi", &Settings::demedi},
        {IDC_frmMain_chkRecycle, "derecy", &Settings::derecy},
        {IDC_frmMain_chkRunSearch, "deruns", &Settings::deruns},
        {IDC_frmMain_chkTyped, "detype", &Settings::detype},
        {IDC_frmMain_chkWinTemp, "dewint", &Settings::dewint},
    };
    const std::pair<const char*, void (*)(HWND)> ways[] = {
        {"mouse released over it", [](HWND box) { MouseClick(box); }},
        {"space bar", PressSpace},
    };
    for (const auto& [way, act] : ways) {
        MainWindow main;
        main.settings.LoadSettings();
        main.Load();
        for (const Box& box : boxes) {
            SCOPED_TRACE(std::string(box.key) + ", " + way);
            const HWND control = main.Item(box.id);
            act(control);
            EXPECT_EQ(controls::Checked(control), BST_UNCHECKED);
            EXPECT_EQ(main.Stored(box.key), "0");
            EXPECT_EQ(main.settings.Current().*box.flag, 0);
            act(control);
            EXPECT_EQ(controls::Checked(control), BST_CHECKED);
            EXPECT_EQ(main.Stored(box.key), "1");
            EXPECT_EQ(main.settings.Current().*box.flag, 1);
        }
    }
}

TEST(MainWindow, GreyBoxTicksOnClickAndAReleaseOffTheBoxChangesNothing) {
    MainWindow main;
    main.Store("decook", "2");
    main.settings.LoadSettings();
    main.Load();
    const HWND box = main.Item(IDC_frmMain_chkCookies);
    const int writes = main.area.Writes();

    RECT client = {};
    ::GetClientRect(box, &client);
    ::SendMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(client.right + 40, client.bottom + 40));
    EXPECT_EQ(controls::Checked(box), BST_INDETERMINATE);
    EXPECT_EQ(main.area.Writes(), writes);

    MouseClick(box);
    EXPECT_EQ(controls::Checked(box), BST_CHECKED);
    EXPECT_EQ(main.Stored("decook"), "1");
    EXPECT_EQ(main.settings.Current().decook, 1);
}

TEST(MainWindow, PluginLineClickStoresThatLineOnly) {
    MainWindow main;
    main.AddPlugin("Alpha.ww1");
    main.AddPlugin("Beta.WW1");
    main.AddPlugin("Gamma.ww1");
    main.AddPlugin("Gamma.ww2");
    main.AddPlugin("Notes.txt");
    main.Store("plugBeta", "True");
    main.Load();
    const HWND list = main.Item(IDC_frmMain_lstPlugs);
    ASSERT_THAT(controls::ListRows(list), ElementsAre("Alpha", "Beta", "Gamma"));
    EXPECT_FALSE(controls::ListRowSelected(list, 0));
    EXPECT_TRUE(controls::ListRowSelected(list, 1));

    RECT row = {};
    ::SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    MouseClick(list, {row.left + 5, (row.top + row.bottom) / 2});
    EXPECT_TRUE(controls::ListRowSelected(list, 0));
    EXPECT_TRUE(controls::ListRowSelected(list, 1));
    EXPECT_EQ(main.Stored("plugAlpha"), "True");
    EXPECT_EQ(main.Stored("plugBeta"), "True");
    EXPECT_EQ(main.Stored("plugGamma"), "<missing>");
    EXPECT_TRUE(main.lstPlugs[0].selected);

    MouseClick(list, {row.left + 5, (row.top + row.bottom) / 2});
    EXPECT_EQ(main.Stored("plugAlpha"), "False");
    EXPECT_FALSE(main.lstPlugs[0].selected);

    // The keyboard moves to a line and toggles it with the space bar, as the mouse does.
    ::SendMessageA(list, WM_KEYDOWN, VK_DOWN, 0x01500001);
    ::SendMessageA(list, WM_KEYUP, VK_DOWN, 0xC1500001);
    PressSpace(list);
    EXPECT_FALSE(controls::ListRowSelected(list, 1));
    EXPECT_EQ(main.Stored("plugBeta"), "False");
    EXPECT_FALSE(main.lstPlugs[1].selected);
    EXPECT_EQ(main.Stored("plugGamma"), "<missing>");
}

TEST(MainWindow, RefreshListsPluginsAddedSinceTheLoad) {
    MainWindow main;
    main.AddPlugin("Alpha.ww1");
    main.Load();
    const HWND list = main.Item(IDC_frmMain_lstPlugs);
    ASSERT_THAT(controls::ListRows(list), ElementsAre("Alpha"));

    main.AddPlugin("Beta.ww1");
    Click(main.Item(IDC_frmMain_Command1));
    EXPECT_THAT(controls::ListRows(list), ElementsAre("Alpha", "Beta"));

    main.AddPlugin("Delta.ww1");
    ChooseMenu(main.window->Hwnd(), IDM_frmMain_mnuPluginsItem0);
    EXPECT_THAT(controls::ListRows(list), ElementsAre("Alpha", "Beta", "Delta"));
    EXPECT_EQ(main.lstPlugs.size(), 3u);
}

TEST(MainWindow, TheBrowsersEntriesFollowThePluginsUntickedUntilChosen) {
    MainWindow main;
    main.shell.folders[0x1c] = "C:\\users\\me\\AppData\\Local\\";
    main.shell.folders[0x1a] = "C:\\users\\me\\AppData\\Roaming\\";
    main.fileSystem.AddFolder("C:\\users\\me\\AppData\\Local\\Google\\Chrome\\User Data");
    main.fileSystem.AddFolder("C:\\users\\me\\AppData\\Roaming\\Mozilla\\Firefox");
    SqliteDatabases databases;
    BrowserCleaner browsers(main.fileSystem, main.shell, databases, main.settings);
    main.sources = {&browsers};
    main.AddPlugin("Alpha.ww1");
    main.Store("plugMozilla Firefox Cookies", "True");
    main.Store("plugGoogle Chrome History", "true");
    main.Load();
    const HWND list = main.Item(IDC_frmMain_lstPlugs);
    ASSERT_THAT(controls::ListRows(list),
                ElementsAre("Alpha", "Google Chrome Cache", "Google Chrome Cookies", "Google Chrome History",
                            "Mozilla Firefox Cache", "Mozilla Firefox Cookies", "Mozilla Firefox History"));
    for (int row = 0; row < controls::ListCount(list); ++row)
        EXPECT_EQ(controls::ListRowSelected(list, row), row == 5) << row;

    // Ticked and stored as a plugin is.
    RECT row = {};
    ::SendMessageA(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    MouseClick(list, {row.left + 5, (row.top + row.bottom) / 2});
    EXPECT_EQ(main.Stored("plugGoogle Chrome Cache"), "True");
    EXPECT_TRUE(main.lstPlugs[1].selected && main.lstPlugs[1].source == &browsers);

    // A refresh lists them once, still after the plugin files.
    main.AddPlugin("Beta.ww1");
    Click(main.Item(IDC_frmMain_Command1));
    EXPECT_THAT(controls::ListRows(list),
                ElementsAre("Alpha", "Beta", "Google Chrome Cache", "Google Chrome Cookies", "Google Chrome History",
                            "Mozilla Firefox Cache", "Mozilla Firefox Cookies", "Mozilla Firefox History"));
    EXPECT_TRUE(controls::ListRowSelected(list, 2));
}

TEST(MainWindow, ButtonsAndMenusAskTheProgramForTheirWindows) {
    MainWindow main;
    main.Store("showHelp", "0");
    main.Load();
    Click(main.Item(IDC_frmMain_cmdVisit));
    ChooseMenu(main.window->Hwnd(), IDM_frmMain_mnuHelpItem);
    ChooseMenu(main.window->Hwnd(), IDM_frmMain_mnuAboutItem);
    EXPECT_THAT(main.actions.calls, ElementsAre("OpenWebsite Website", "ViewHelp", "ViewAbout"));
    EXPECT_THAT(main.messages.notices, IsEmpty());
}

TEST(MainWindow, DownloadPluginsShowsTheNoticeFirst) {
    MainWindow main;
    main.Store("showHelp", "0");
    main.Load();
    main.messages.onNotice = [&] { main.actions.calls.push_back("notice"); };
    Click(main.Item(IDC_frmMain_cmdPlugs));
    ASSERT_EQ(main.messages.notices.size(), 1u);
    EXPECT_EQ(main.messages.notices[0].text, PluginNotice(kProduct));
    EXPECT_EQ(main.messages.notices[0].owner, main.window->Hwnd());
    EXPECT_THAT(main.actions.calls, ElementsAre("notice", "OpenPluginBrowser"));
}

TEST(MainWindow, HelpOpensAtLoadOnlyWhenShowHelpIsExactlyOne) {
    const std::pair<std::optional<std::string>, bool> cases[] = {
        {std::nullopt, true}, {"1", true}, {"0", false}, {"1.0", false}, {"", false},
    };
    for (const auto& [showHelp, opens] : cases) {
        SCOPED_TRACE(showHelp.value_or("<missing>"));
        MainWindow main;
        if (showHelp)
            main.Store("showHelp", *showHelp);
        main.Load();
        EXPECT_EQ(main.actions.calls == std::vector<std::string>{"ViewHelp"}, opens);
    }
}

TEST(MainWindow, ClosingEndsTheProgramAndExitEndsItAtOnce) {
    {
        MainWindow main;
        main.Load();
        ::SendMessageA(main.window->Hwnd(), WM_CLOSE, 0, 0);
        EXPECT_FALSE(main.window->IsOpen());
        EXPECT_EQ(main.actions.calls.back(), "EndProgram");
    }
    {
        MainWindow main;
        main.Load();
        ChooseMenu(main.window->Hwnd(), IDM_frmMain_mnuFileItem2);
        EXPECT_EQ(main.actions.calls.back(), "EndProgram");
        // Nothing of the window's own unload runs.
        EXPECT_TRUE(main.window->IsOpen());
    }
    {
        // Escape and Enter leave the window up.
        MainWindow main;
        main.Load();
        ::SendMessageA(main.window->Hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ::SendMessageA(main.window->Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_TRUE(main.window->IsOpen());
    }
}

TEST(MainWindow, HandingOverToTheWizardUnloadsWithoutEndingTheProgram) {
    {
        MainWindow main;
        main.Load();
        EXPECT_FALSE(controls::Enabled(main.Item(IDC_frmMain_cmdSetup)));
        EXPECT_TRUE(::GetMenuState(::GetMenu(main.window->Hwnd()), IDM_frmMain_mnuFileItem0, MF_BYCOMMAND) & MF_GRAYED);
    }
    for (bool byMenu : {false, true}) {
        SCOPED_TRACE(byMenu ? "File > Run Setup Wizard" : "Setup Wizard button");
        MainWindow main;
        main.Store("showHelp", "0");
        main.openWizard = [] {};
        main.Load();
        EXPECT_FALSE(main.window->WizardHandOver());
        ASSERT_TRUE(controls::Enabled(main.Item(IDC_frmMain_cmdSetup)));
        if (byMenu)
            ChooseMenu(main.window->Hwnd(), IDM_frmMain_mnuFileItem0);
        else
            Click(main.Item(IDC_frmMain_cmdSetup));
        EXPECT_TRUE(main.window->WizardHandOver());
        EXPECT_FALSE(main.window->IsOpen());
        EXPECT_THAT(main.actions.calls, ElementsAre("OpenSetupWizard"));

        // The wizard's close loads the window afresh: the flag is down again.
        main.Load();
        EXPECT_FALSE(main.window->WizardHandOver());
    }
}

TEST(MainWindow, KeepsTheCookieFolderForTheRun) {
    MainWindow main;
    main.shell.folders[SpecialFolder::kCookies] = "C:\\users\\me\\Cookies\\";
    main.Load();
    EXPECT_EQ(main.window->CookieFolder(), "C:\\users\\me\\Cookies\\");
}

TEST(MainWindow, PathHelpersFollowTheFileRules) {
    EXPECT_EQ(frmMain::TrimPath("C:\\Temp\\a.txt"), "a.txt");
    EXPECT_EQ(frmMain::TrimPath("a.txt"), "a.txt");
    EXPECT_EQ(frmMain::TrimPath(""), "");

    MainWindow main;
    main.fileSystem.AddFile("C:\\Data\\Report.TXT");
    main.fileSystem.AddFolder("C:\\Data\\Folder");
    main.Load();
    EXPECT_TRUE(main.window->fileExists("c:\\data\\report.txt"));
    EXPECT_FALSE(main.window->fileExists("C:\\Data\\Folder"));
    EXPECT_FALSE(main.window->fileExists(""));
}

TEST(MainWindow, CopyFileCopiesOrSaysItCouldNot) {
    const std::string folder = wintest::MakeScratchFolder("copy");
    {
        std::FILE* file = std::fopen((folder + "\\from.txt").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("data", file);
        std::fclose(file);
    }
    MainWindow main;
    main.Store("showHelp", "0");
    main.Load();
    main.window->CopyFile(folder + "\\from.txt", folder + "\\to.txt");
    EXPECT_NE(::GetFileAttributesA((folder + "\\to.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_THAT(main.messages.notices, IsEmpty());

    main.window->CopyFile(folder + "\\missing.txt", folder + "\\other.txt");
    ASSERT_EQ(main.messages.notices.size(), 1u);
    EXPECT_EQ(main.messages.notices[0].text, "Error copying File");
    EXPECT_EQ(main.messages.notices[0].title, "corvelbrowser :: error");
    wintest::RemoveTree(folder);
}

}  // namespace
}  // namespace nimbral::guitest
