#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gui/GuiSupport.h"
#include "system/WindowTexts.h"
#include "windows/frmPass.h"
#include "windows/resource.h"

namespace nimbral::guitest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The windows activated meanwhile, each by the ids of its controls: a window the user saw.
class ActivationLog {
  public:
    ActivationLog() : hook_(::SetWindowsHookExA(WH_CBT, Hook, nullptr, ::GetCurrentThreadId())) { current_ = this; }
    ~ActivationLog() {
        ::UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    // True when a window with this control was activated.
    bool Saw(int controlId) const {
        for (HWND window : windows) {
            if (::GetDlgItem(window, controlId))
                return true;
        }
        return false;
    }
    std::vector<HWND> windows;

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && current_)
            current_->windows.push_back(reinterpret_cast<HWND>(wParam));
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline ActivationLog* current_ = nullptr;
    HHOOK hook_;
};

struct Program : TestProgram {
    Program() { Store("showHelp", "0"); }
    ProgramWindows windows{Parts(), &browsers};
};

HWND Item(WindowBase* window, int id) {
    return window ? ::GetDlgItem(window->Hwnd(), id) : nullptr;
}

void TypePassword(HWND dialog, const std::string& text) {
    controls::SetText(::GetDlgItem(dialog, IDC_frmPass_Text1), text);
}

TEST(StartUp, WithoutProtectionThePromptIsNeverShownAndTheSplashComesUp) {
    Program program;
    program.Store("ipa", "0");
    ActivationLog activated;
    ModalDriver driver({});
    ASSERT_TRUE(program.windows.Start(driver.Owner()));
    EXPECT_FALSE(activated.Saw(IDC_frmPass_Text1));
    EXPECT_TRUE(activated.Saw(IDC_frmSplash_Image1));
    EXPECT_TRUE(driver.RanAllSteps());
    // The prompt's load loaded the settings.
    EXPECT_EQ(program.settings.Current().dehist, 1);
    ASSERT_NE(program.windows.Splash(), nullptr);
    EXPECT_TRUE(::IsWindowVisible(program.windows.Splash()->Hwnd()));
    EXPECT_EQ(program.windows.Main(), nullptr);
}

TEST(StartUp, PromptWaitsForTheExactPasswordAndSaysWhenItIsWrong) {
    Program program;
    program.Store("ipa", "1");
    program.Store("enc", "0");
    program.Store("pas", "Open Sesame");
    HWND prompt = nullptr;
    std::string keptText;
    ModalDriver driver({
        [&](HWND dialog) {
            prompt = dialog;
            TypePassword(dialog, "open sesame");
            Click(::GetDlgItem(dialog, IDC_frmPass_Command1));
        },
        [&](HWND dialog) {
            keptText = controls::Text(::GetDlgItem(dialog, IDC_frmPass_Text1));
            TypePassword(dialog, "Open Sesame ");
            Click(::GetDlgItem(dialog, IDC_frmPass_Command1));
        },
        [&](HWND dialog) {
            TypePassword(dialog, "Open Sesame");
            Click(::GetDlgItem(dialog, IDC_frmPass_Command1));
        },
    });
    ASSERT_TRUE(program.windows.Start(driver.Owner()));
    EXPECT_TRUE(driver.RanAllSteps());
    ASSERT_NE(prompt, nullptr);
    EXPECT_FALSE(::IsWindow(prompt));
    EXPECT_EQ(keptText, "open sesame");
    ASSERT_EQ(program.messages.notices.size(), 2u);
    for (const auto& notice : program.messages.notices) {
        EXPECT_EQ(notice.text, "That password was not correct.  Please try again.");
        EXPECT_EQ(notice.owner, prompt);
    }
    EXPECT_NE(program.windows.Splash(), nullptr);
}

TEST(StartUp, PromptShowsTheProductNameAndTakesEnterAsOk) {
    Program program;
    program.Store("ipa", "1");
    program.Store("pas", "");
    std::string caption;
    std::string label;
    ModalDriver driver({[&](HWND dialog) {
        caption = controls::Text(dialog);
        label = controls::Text(::GetDlgItem(dialog, IDC_frmPass_Label1));
        EXPECT_EQ(controls::Text(::GetDlgItem(dialog, IDC_frmPass_Command1)), "Ok");
        EXPECT_EQ(controls::Text(::GetDlgItem(dialog, IDC_frmPass_Command2)), "Cancel");
        // An empty stored password opens with an empty box.
        const HWND box = ::GetDlgItem(dialog, IDC_frmPass_Text1);
        ::SetFocus(box);
        ::PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    }});
    EXPECT_TRUE(program.windows.Start(driver.Owner()));
    EXPECT_TRUE(driver.RanAllSteps());
    EXPECT_EQ(caption, kProduct);
    EXPECT_EQ(label, "Please enter your password:");
    EXPECT_THAT(program.messages.notices, IsEmpty());
}

TEST(StartUp, CancelEscapeAndTheCloseBoxEndTheProgram) {
    const std::pair<const char*, ModalDriver::Step> ways[] = {
        {"Cancel", [](HWND dialog) { Click(::GetDlgItem(dialog, IDC_frmPass_Command2)); }},
        {"close box", [](HWND dialog) { ::SendMessageA(dialog, WM_CLOSE, 0, 0); }},
        {"Escape",
         [](HWND dialog) {
             const HWND box = ::GetDlgItem(dialog, IDC_frmPass_Text1);
             ::SetFocus(box);
             ::PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
         }},
    };
    for (const auto& [way, step] : ways) {
        SCOPED_TRACE(way);
        Program program;
        program.Store("ipa", "1");
        program.Store("pas", "x");
        ModalDriver driver({[&](HWND dialog) {
            TypePassword(dialog, "x");
            step(dialog);
        }});
        EXPECT_FALSE(program.windows.Start(driver.Owner()));
        EXPECT_TRUE(driver.RanAllSteps());
        EXPECT_EQ(program.windows.Splash(), nullptr);
        EXPECT_EQ(program.windows.Main(), nullptr);
    }
}

TEST(StartUp, SplashCountsSeventyFiveTicksThenShowsTheMainWindowAndHides) {
    Program program;
    program.Store("showHelp", "1");
    ASSERT_TRUE(program.windows.Start());
    frmSplash* splash = program.windows.Splash();
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->intTemp(), 0);
    for (int tick = 1; tick <= 74; ++tick)
        ::SendMessageA(splash->Hwnd(), WM_TIMER, IDC_frmSplash_Timer2, 0);
    EXPECT_EQ(splash->intTemp(), 148);
    EXPECT_EQ(program.windows.Main(), nullptr);

    ::SendMessageA(splash->Hwnd(), WM_TIMER, IDC_frmSplash_Timer2, 0);
    EXPECT_EQ(splash->intTemp(), 150);
    ASSERT_NE(program.windows.Main(), nullptr);
    const HWND main = program.windows.Main()->Hwnd();
    EXPECT_TRUE(::IsWindowVisible(main));
    EXPECT_FALSE(::IsWindowVisible(splash->Hwnd()));
    EXPECT_EQ(program.windows.Splash(), splash);  // hidden, not unloaded
    // "showHelp" is "1": the help window came up with the main window.
    EXPECT_NE(program.windows.Help(), nullptr);

    // A late tick loads nothing twice.
    ::SendMessageA(splash->Hwnd(), WM_TIMER, IDC_frmSplash_Timer2, 0);
    EXPECT_EQ(program.windows.Main()->Hwnd(), main);
    EXPECT_FALSE(TakeQuit());
}

TEST(StartUp, SplashShowsItsPictureAndAWordAboutTheProgram) {
    Program program;
    ASSERT_TRUE(program.windows.Start());
    frmSplash* splash = program.windows.Splash();
    ASSERT_NE(splash, nullptr);
    const HWND picture = Item(splash, IDC_frmSplash_Image1);
    EXPECT_NE(::SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    EXPECT_FALSE(controls::Text(Item(splash, IDC_frmSplash_Label3)).empty());
    // The text sits below the picture, inside the window.
    RECT image = {}, text = {}, window = {};
    ::GetWindowRect(picture, &image);
    ::GetWindowRect(Item(splash, IDC_frmSplash_Label3), &text);
    ::GetWindowRect(splash->Hwnd(), &window);
    EXPECT_GE(text.top, image.bottom);
    EXPECT_LE(text.bottom, window.bottom);
}

// The road of one clean run, from the main window and back.
TEST(CleanFromTheWindow, ResultsWindowReplacesTheMainWindowUntilItIsClosed) {
    Program program;
    program.Store("run", "1");
    for (const char* flag : {"detype", "dehist", "decook", "deintt", "dedocu", "demedi", "derecy", "deruns"})
        program.Store(flag, "0");
    program.Store("dewint", "1");
    program.fileSystem.AddFile(program.shell.tempPath + "left.tmp");
    program.fileSystem.AddFile(std::string(kProgramFolder) + "\\plugins\\Alpha.ww1");
    program.fileSystem.AddFile(std::string(kProgramFolder) + "\\plugins\\Beta.ww1");
    program.Store("plugBeta", "True");
    program.settings.LoadSettings();
    program.windows.LoadMainWindow();
    frmMain* main = program.windows.Main();
    ASSERT_NE(main, nullptr);

    Click(Item(main, IDC_frmMain_cmdStart));

    frmResults* results = program.windows.Results();
    ASSERT_NE(results, nullptr);
    EXPECT_TRUE(::IsWindowVisible(results->Hwnd()));
    EXPECT_FALSE(::IsWindowVisible(main->Hwnd()));
    EXPECT_THAT(controls::ListRows(Item(results, IDC_frmResults_lstStatus)),
                ElementsAre("-- BEGIN || Delete Temp Files", "-- END   || Delete Temp Files", "  ",
                            "-- BEGIN || Plugins", "STARTING PLUGIN: Beta", "ran Beta", "FINISHED PLUGIN: Beta",
                            "-----", "-- END   || Plugins", "  "));
    EXPECT_EQ(controls::Text(Item(results, IDC_frmResults_lblStatus)), "Finished Covering Your Tracks");
    // The temp folder's question went to the message boxes, over the results window.
    ASSERT_EQ(program.messages.questions.size(), 1u);
    EXPECT_EQ(program.messages.questions[0].title, "Confirm Delete");
    EXPECT_EQ(program.messages.questions[0].owner, results->Hwnd());

    // A second request while the results window is up starts nothing.
    program.windows.CleanNow();
    EXPECT_EQ(program.windows.Results(), results);

    Click(Item(results, IDC_frmResults_cmdClose));
    EXPECT_EQ(program.windows.Results(), nullptr);
    EXPECT_EQ(program.windows.Main(), main);
    EXPECT_TRUE(::IsWindowVisible(main->Hwnd()));

    // File > Clean Now starts the next run with a fresh log.
    ChooseMenu(main->Hwnd(), IDM_frmMain_mnuFileItem1);
    ASSERT_NE(program.windows.Results(), nullptr);
    EXPECT_EQ(controls::ListRow(Item(program.windows.Results(), IDC_frmResults_lstStatus), 0),
              "-- BEGIN || Delete Temp Files");
    EXPECT_FALSE(TakeQuit());
}

TEST(CleanFromTheWindow, PluginTickedInTheWindowRunsWithoutAReload) {
    Program program;
    for (const char* flag : {"detype", "dehist", "decook", "deintt", "dedocu", "demedi", "dewint", "derecy", "deruns"})
        program.Store(flag, "0");
    program.fileSystem.AddFile(std::string(kProgramFolder) + "\\plugins\\Alpha.ww1");
    program.windows.LoadMainWindow();
    const HWND list = Item(program.windows.Main(), IDC_frmMain_lstPlugs);
    RECT row = {};
    ::SendMessageA(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    MouseClick(list, {row.left + 5, (row.top + row.bottom) / 2});
    ChooseMenu(program.windows.Main()->Hwnd(), IDM_frmMain_mnuFileItem1);
    EXPECT_THAT(program.plugins.ran, ElementsAre("Alpha"));
}

TEST(SmallWindows, HelpWindowShowsTheHelpFileOnTopAndRemembersShowAtStartup) {
    Program program;
    program.fileSystem.AddFile(std::string(kProgramFolder) + "\\Help.rtf");
    program.fileSystem.SetContent(
        std::string(kProgramFolder) + "\\Help.rtf",
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Ticking {\\b Cookies} removes them.\\par}");
    program.Store("showHelp", "1");
    program.windows.ViewHelp();
    Form8* help = program.windows.Help();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(controls::Text(help->Hwnd()), "Readme/Help");
    EXPECT_TRUE(::IsWindowVisible(help->Hwnd()));
    EXPECT_TRUE(::GetWindowLongA(help->Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    const HWND box = Item(help, IDC_Form8_rtf1);
    EXPECT_EQ(controls::Text(box).substr(0, 32), "Ticking Cookies removes them.");
    EXPECT_TRUE(::GetWindowLongA(box, GWL_STYLE) & ES_READONLY);
    // It opens at the top with nothing selected.
    DWORD from = 1, to = 1;
    ::SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 0u);
    EXPECT_EQ(::SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

    const HWND check = Item(help, IDC_Form8_Check1);
    EXPECT_EQ(controls::Text(check), "Show at Startup");
    EXPECT_EQ(controls::Checked(check), BST_CHECKED);
    MouseClick(check);
    EXPECT_EQ(program.Stored("showHelp"), "0");
    PressSpace(check);
    EXPECT_EQ(program.Stored("showHelp"), "1");

    // A second View Help shows the same window.
    program.windows.ViewHelp();
    EXPECT_EQ(program.windows.Help(), help);
}

TEST(SmallWindows, HelpWindowWithoutItsFileSaysWhereItShouldBe) {
    Program program;
    program.Store("showHelp", "0");
    program.windows.ViewHelp();
    Form8* help = program.windows.Help();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(controls::Text(Item(help, IDC_Form8_rtf1)),
              "The help file could not be found; it belongs at C:\\Program Files\\Nimbral\\Help.rtf.");
    EXPECT_EQ(controls::Checked(Item(help, IDC_Form8_Check1)), BST_UNCHECKED);
}

TEST(SmallWindows, AboutWindowNamesTheProductItsMakerAndItsWebsite) {
    Program program;
    program.windows.ViewAbout();
    frmAbout* about = program.windows.About();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(controls::Text(about->Hwnd()), "About Nimbral Windows Cleaner");
    const std::pair<int, const char*> labels[] = {
        {IDC_frmAbout_Label1, "Nimbral Windows Cleaner"},
        {IDC_frmAbout_Label2, "Version:"},
        {IDC_frmAbout_lblVersion, "2.2"},
        {IDC_frmAbout_Label3, "Owned By:"},
        {IDC_frmAbout_lblCompany, "Ardent Lume"},
        {IDC_frmAbout_Label4, "Website:"},
        {IDC_frmAbout_lblWebsite, "www.nimbral.example"},
    };
    for (const auto& [id, text] : labels)
        EXPECT_EQ(controls::Text(Item(about, id)), text);
    EXPECT_FALSE(controls::Text(Item(about, IDC_frmAbout_Label5)).empty());
    EXPECT_NE(::SendMessageA(Item(about, IDC_frmAbout_Picture1), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);

    MouseClick(Item(about, IDC_frmAbout_lblWebsite));
    EXPECT_THAT(program.shell.openedLinks, ElementsAre("http://www.nimbral.example"));

    Click(Item(about, IDOK));
    EXPECT_EQ(program.windows.About(), nullptr);
}

TEST(SmallWindows, LauncherOpensOnePagePerSecondWithTheHttpSchemeWhereMissing) {
    struct Case {
        const char* website;
        const char* opened;
    };
    const Case cases[] = {
        {"www.nimbral.example", "http://www.nimbral.example"},
        {"HTTP://WWW.NIMBRAL.EXAMPLE", "HTTP://WWW.NIMBRAL.EXAMPLE"},
        {"https://secure.nimbral.example", "https://secure.nimbral.example"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.website);
        Program program;
        program.identity.websiteName = c.website;
        program.windows.LoadMainWindow();
        const HWND visit = Item(program.windows.Main(), IDC_frmMain_cmdVisit);
        Click(visit);
        EXPECT_THAT(program.shell.openedLinks, ElementsAre(c.opened));
        EXPECT_EQ(program.windows.WebsiteRequest(), "");
        ASSERT_TRUE(program.windows.Launcher().IsOpen());
        EXPECT_FALSE(::IsWindowVisible(program.windows.Launcher().Hwnd()));

        // Within the second: the launcher is still loaded and opens nothing more.
        Click(visit);
        EXPECT_EQ(program.shell.openedLinks.size(), 1u);

        ::SendMessageA(program.windows.Launcher().Hwnd(), WM_TIMER, IDC_frmWebsite_Timer1, 0);
        EXPECT_FALSE(program.windows.Launcher().IsOpen());
        Click(visit);
        EXPECT_EQ(program.shell.openedLinks.size(), 2u);
    }
}

TEST(SmallWindows, LauncherLeavesAnUnknownRequestAsItWas) {
    Program program;
    program.windows.OpenWebsite("Elsewhere");
    EXPECT_THAT(program.shell.openedLinks, IsEmpty());
    EXPECT_EQ(program.windows.WebsiteRequest(), "Elsewhere");
    EXPECT_TRUE(program.windows.Launcher().IsOpen());
    ::SendMessageA(program.windows.Launcher().Hwnd(), WM_TIMER, IDC_frmWebsite_Timer1, 0);
    EXPECT_FALSE(program.windows.Launcher().IsOpen());
}

TEST(SmallWindows, DownloadPluginsShowsTheNoticeThenThePluginBrowser) {
    Program program;
    program.windows.LoadMainWindow();
    bool browserUpDuringNotice = true;
    program.messages.onNotice = [&] { browserUpDuringNotice = program.windows.Plugins() != nullptr; };
    Click(Item(program.windows.Main(), IDC_frmMain_cmdPlugs));

    ASSERT_EQ(program.messages.notices.size(), 1u);
    EXPECT_EQ(program.messages.notices[0].text, PluginNotice(kProduct));
    EXPECT_EQ(program.messages.notices[0].title, kProduct);
    EXPECT_FALSE(browserUpDuringNotice);
    frmPlugins* plugins = program.windows.Plugins();
    ASSERT_NE(plugins, nullptr);
    EXPECT_TRUE(::IsWindowVisible(plugins->Hwnd()));
    EXPECT_THAT(program.browsers.calls, ElementsAre("Navigate http://www.nimbral.example/plugins/"));
    // The page opens in the window, not in the web browser.
    EXPECT_THAT(program.shell.openedLinks, IsEmpty());
    EXPECT_FALSE(program.windows.Launcher().IsOpen());
}

TEST(SmallWindows, ClosingThePluginBrowserLeavesTheProgramAndReopeningStartsAtTheDownloadPage) {
    Program program;
    program.windows.LoadMainWindow();
    const HWND download = Item(program.windows.Main(), IDC_frmMain_cmdPlugs);
    Click(download);
    ASSERT_NE(program.windows.Plugins(), nullptr);
    program.browsers.location = "http://elsewhere.example/";
    program.browsers.Events().DownloadComplete();

    ::SendMessageA(program.windows.Plugins()->Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.windows.Plugins(), nullptr);
    EXPECT_EQ(program.browsers.Current(), nullptr);
    EXPECT_FALSE(program.windows.Ended());
    EXPECT_FALSE(TakeQuit());
    EXPECT_NE(program.windows.Main(), nullptr);

    Click(download);
    ASSERT_NE(program.windows.Plugins(), nullptr);
    EXPECT_THAT(program.browsers.calls, ElementsAre("Navigate http://www.nimbral.example/plugins/", "destroyed",
                                                    "Navigate http://www.nimbral.example/plugins/"));
    // Asked again while it is up, it comes to the front as it is.
    Click(download);
    EXPECT_EQ(program.browsers.calls.size(), 3u);
    EXPECT_EQ(program.messages.notices.size(), 3u);
}

TEST(SmallWindows, ExitAndClosingTheMainWindowEndTheProgram) {
    {
        Program program;
        program.windows.LoadMainWindow();
        ChooseMenu(program.windows.Main()->Hwnd(), IDM_frmMain_mnuFileItem2);
        EXPECT_TRUE(program.windows.Ended());
        EXPECT_TRUE(TakeQuit());
    }
    {
        Program program;
        program.windows.LoadMainWindow();
        ::SendMessageA(program.windows.Main()->Hwnd(), WM_CLOSE, 0, 0);
        EXPECT_EQ(program.windows.Main(), nullptr);
        EXPECT_TRUE(TakeQuit());
    }
}

}  // namespace
}  // namespace nimbral::guitest
