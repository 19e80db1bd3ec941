#include <windows.h>

#include <commctrl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "doubles/FakeFileSystem.h"
#include "doubles/FakeOsVersionSource.h"
#include "doubles/FakeRegistry.h"
#include "doubles/FakeSettingsArea.h"
#include "doubles/FakeShell.h"
#include "doubles/FakeUrlCache.h"
#include "engine/modEngine.h"
#include "windows/Controls.h"
#include "windows/MessageLoop.h"
#include "windows/WindowBase.h"
#include "windows/frmResults.h"
#include "windows/resource.h"

namespace nimbral {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

HINSTANCE ThisProgram() {
    return ::GetModuleHandleA(nullptr);
}

using controls::Text;

std::string ClassOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

// A results window as a clean run loads it, its close callback counted. It stays hidden unless a test
// shows it: without a window manager, Wine takes two seconds to take a shown window down again.
struct LoadedResults {
    LoadedResults() {
        window.SetTickSource([this] { return now; });
    }
    // A window that carries its hidden file lister, as the program loads it.
    explicit LoadedResults(FileSystem& fileSystem)
        : window{ThisProgram(), nullptr, [this] { ++closeCalls; }, &fileSystem} {
        window.SetTickSource([this] { return now; });
    }

    // The window's clock, which the tests move: what the window holds back to draw later (the log's
    // new lines, the bar's new position) shows when 100 ms have passed and it next handles messages.
    void LetTimePass(DWORD milliseconds = 100) {
        now += milliseconds;
        window.ProcessPendingMessages();
    }

    HWND Item(int id) const { return ::GetDlgItem(window.Hwnd(), id); }

    std::vector<std::string> Log() const { return controls::ListRows(Item(IDC_frmResults_lstStatus)); }

    int ProgressTop() const {
        return static_cast<int>(::SendMessageA(Item(IDC_frmResults_ProgressBar1), PBM_GETRANGE, FALSE, 0));
    }
    int ProgressBottom() const {
        return static_cast<int>(::SendMessageA(Item(IDC_frmResults_ProgressBar1), PBM_GETRANGE, TRUE, 0));
    }
    int ProgressPosition() const {
        return static_cast<int>(::SendMessageA(Item(IDC_frmResults_ProgressBar1), PBM_GETPOS, 0, 0));
    }
    bool CloseEnabled() const { return controls::Enabled(Item(IDC_frmResults_cmdClose)); }
    bool TitleBarCloseGreyed() const {
        return ::GetMenuState(::GetSystemMenu(window.Hwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED;
    }

    int closeCalls = 0;
    DWORD now = 1000;
    frmResults window{ThisProgram(), nullptr, [this] { ++closeCalls; }};
};

TEST(ResultsWindow, LoadsWithItsCaptionLabelsAndControlsAndAnEmptyLog) {
    LoadedResults results;
    ASSERT_TRUE(results.window.IsOpen());
    EXPECT_EQ(Text(results.window.Hwnd()), "nimbral :: results");
    EXPECT_EQ(Text(results.Item(IDC_frmResults_Label1)), "status:");
    EXPECT_EQ(Text(results.Item(IDC_frmResults_lblStatus)), "");
    EXPECT_EQ(Text(results.Item(IDC_frmResults_cmdClose)), "close");
    EXPECT_EQ(ClassOf(results.Item(IDC_frmResults_ProgressBar1)), "msctls_progress32");
    EXPECT_THAT(results.Log(), IsEmpty());

    const HWND list = results.Item(IDC_frmResults_lstStatus);
    EXPECT_EQ(ClassOf(list), "ListBox");
    EXPECT_FALSE(::GetWindowLongA(list, GWL_STYLE) & LBS_SORT);
}

TEST(ResultsWindow, LogKeepsEveryLineAsWrittenInArrivalOrder) {
    LoadedResults results;
    const std::vector<std::string> lines = {
        "-- BEGIN || Edit Typed URL's",
        "Deleted URL: http://b.example/",
        "Deleted URL: http://a.example/?x=1&y=2",
        "Deleted File: C:\\Temp\\caf\xe9 na\xefve.txt",
        "",
        "-- END   || Clean Media",
        "  ",
    };
    for (const auto& line : lines)
        results.window.AppendLine(line);
    EXPECT_EQ(results.Log(), lines);
}

// Every line is in the log at once, and the bar takes every value; drawing them is left for the
// first pump 100 ms after the last drawing, when the log is scrolled to its last line. A new step, a
// question and the run's end show both at once.
TEST(ResultsWindow, TheLogAndTheBarAreDrawnAtMostEvery100Milliseconds) {
    const auto lastLineInView = [](const LoadedResults& results, int lines) {
        const HWND list = results.Item(IDC_frmResults_lstStatus);
        RECT client = {};
        RECT last = {};
        ::GetClientRect(list, &client);
        return ::SendMessageA(list, LB_GETITEMRECT, lines - 1, reinterpret_cast<LPARAM>(&last)) != LB_ERR &&
               last.top >= client.top && last.bottom <= client.bottom;
    };
    constexpr int kLines = 200;
    const std::function<void(frmResults&)> showers[] = {
        [](frmResults& window) { window.SetStatus("Deleting Windows Temp Files"); },
        [](frmResults& window) { window.ConfirmOkCancel("Confirm Delete", "?"); },
        [](frmResults& window) { window.EnableClose(); },
    };
    for (const auto& show : showers) {
        LoadedResults results;
        results.window.SetConfirm([](HWND, const std::string&, const std::string&) { return true; });
        results.window.SetProgressMax(kLines);
        for (int i = 0; i < kLines; ++i) {
            results.window.AppendLine("Deleted Cookie: cookie" + std::to_string(i) + ".txt");
            results.window.SetProgressValue(static_cast<float>(i + 1));
            results.now += 1;
        }
        EXPECT_EQ(results.Log().size(), static_cast<std::size_t>(kLines));
        results.now = 1000 + 100 + kLines;
        results.window.ProcessPendingMessages();
        EXPECT_TRUE(lastLineInView(results, kLines));
        EXPECT_TRUE(::GetWindowLongA(results.Item(IDC_frmResults_lstStatus), GWL_STYLE) & WS_VSCROLL);
        EXPECT_EQ(results.ProgressPosition(), results.ProgressTop());

        results.window.AppendLine("one more, within 100 ms of the last drawing");
        results.window.SetProgressValue(0);
        results.LetTimePass(99);
        EXPECT_FALSE(lastLineInView(results, kLines + 1));
        EXPECT_EQ(results.ProgressPosition(), results.ProgressTop());
        show(results.window);
        EXPECT_TRUE(lastLineInView(results, kLines + 1));
        EXPECT_EQ(results.ProgressPosition(), 0);
    }
}

TEST(ResultsWindow, LongLinesWidenTheLogSoItScrollsSideways) {
    LoadedResults results;
    const HWND list = results.Item(IDC_frmResults_lstStatus);
    RECT client = {};
    ::GetClientRect(list, &client);

    results.window.AppendLine("Deleted File: C:\\" + std::string(300, 'W') + ".tmp");
    const auto extent = ::SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0);
    EXPECT_GT(extent, client.right - client.left);
    EXPECT_TRUE(::GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL);

    results.window.AppendLine("  ");
    EXPECT_EQ(::SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0), extent);
}

TEST(ResultsWindow, StatusShowsTheLatestText) {
    LoadedResults results;
    results.window.SetStatus("Editing Typed URL's");
    EXPECT_EQ(Text(results.Item(IDC_frmResults_lblStatus)), "Editing Typed URL's");
    results.window.SetStatus("Finished Covering Your Tracks");
    EXPECT_EQ(Text(results.Item(IDC_frmResults_lblStatus)), "Finished Covering Your Tracks");
}

TEST(ResultsWindow, ProgressMapsFractionsOntoTheBarWithoutAnEmptyRange) {
    struct Case {
        const char* what;
        std::optional<float> maximum;
        float value;
        int top;
        int position;
    };
    const Case cases[] = {
        {"a fresh bar counts to 100", std::nullopt, 0, 100000, 0},
        {"the cookie step's start", 0.001f, 0.001f, 1, 1},
        {"a count part way", 5.001f, 3, 5001, 3000},
        {"a zero maximum", 0, 0, 1, 0},
        {"a negative maximum", -4, 0, 1, 0},
        {"an endless maximum, taken as none", INFINITY, 1, 1, 1},
        {"a value past the maximum", 2, 7, 2000, 2000},
        {"a negative value", 2, -1, 2000, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LoadedResults results;
        if (c.maximum)
            results.window.SetProgressMax(*c.maximum);
        results.window.SetProgressValue(c.value);
        results.LetTimePass();
        EXPECT_EQ(results.ProgressBottom(), 0);
        EXPECT_EQ(results.ProgressTop(), c.top);
        EXPECT_EQ(results.ProgressPosition(), c.position);
    }
}

TEST(ResultsWindow, FinishingFillsTheBarWhateverTheMaximum) {
    for (float maximum : {100.0f, 12.001f, 3.0e6f, 1.0e12f}) {
        SCOPED_TRACE(maximum);
        LoadedResults results;
        results.window.SetProgressMax(maximum);
        EXPECT_EQ(results.window.ProgressMax(), maximum);
        // Fine enough steps for the bar to move smoothly across its width.
        EXPECT_GE(results.ProgressTop(), 10000);

        results.window.SetProgressValue(maximum / 2);
        results.LetTimePass();
        EXPECT_NEAR(results.ProgressPosition(), results.ProgressTop() / 2, 1);

        results.window.SetProgressValue(results.window.ProgressMax());
        results.LetTimePass();
        EXPECT_EQ(results.ProgressPosition(), results.ProgressTop());
    }
}

TEST(ResultsWindow, CloseButtonWaitsForTheRunThenBringsTheMainWindowBackAndUnloads) {
    LoadedResults results;
    results.window.Show();
    const HWND window = results.window.Hwnd();
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_FALSE(results.CloseEnabled());
    ::SendMessageA(results.Item(IDC_frmResults_cmdClose), BM_CLICK, 0, 0);
    EXPECT_EQ(results.closeCalls, 0);
    EXPECT_TRUE(results.window.IsOpen());

    results.window.EnableClose();
    EXPECT_TRUE(results.CloseEnabled());
    ::SetActiveWindow(window);
    ::SendMessageA(results.Item(IDC_frmResults_cmdClose), BM_CLICK, 0, 0);
    EXPECT_EQ(results.closeCalls, 1);
    EXPECT_FALSE(results.window.IsOpen());
    EXPECT_FALSE(::IsWindow(window));

    // A closed window takes whatever still comes its way without effect.
    results.window.AppendLine("late");
    results.window.SetStatus("late");
    results.window.SetProgressValue(1);
    results.window.EnableClose();
    results.window.ProcessPendingMessages();
    EXPECT_EQ(results.closeCalls, 1);
}

TEST(ResultsWindow, TitleBarCloseAndEscapeWaitForTheRunToo) {
    const std::pair<const char*, std::pair<UINT, WPARAM>> requests[] = {
        {"title bar X", {WM_CLOSE, 0}},
        {"Escape", {WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED)}},
    };
    for (const auto& [what, request] : requests) {
        SCOPED_TRACE(what);
        LoadedResults results;
        EXPECT_TRUE(results.TitleBarCloseGreyed());
        ::SendMessageA(results.window.Hwnd(), request.first, request.second, 0);
        EXPECT_TRUE(results.window.IsOpen());
        EXPECT_EQ(results.closeCalls, 0);

        results.window.EnableClose();
        EXPECT_FALSE(results.TitleBarCloseGreyed());
        ::SendMessageA(results.window.Hwnd(), request.first, request.second, 0);
        EXPECT_FALSE(results.window.IsOpen());
        EXPECT_EQ(results.closeCalls, 1);
    }
}

TEST(ResultsWindow, NextRunStartsWithAnEmptyLogAndAClearedStatus) {
    {
        LoadedResults first;
        first.window.AppendLine("-- BEGIN || Plugins");
        first.window.SetStatus("Finished Covering Your Tracks");
        first.window.SetProgressMax(3);
        first.window.SetProgressValue(3);
        first.window.EnableClose();
        ::SendMessageA(first.window.Hwnd(), WM_CLOSE, 0, 0);
        ASSERT_FALSE(first.window.IsOpen());
    }
    LoadedResults second;
    EXPECT_THAT(second.Log(), IsEmpty());
    EXPECT_EQ(Text(second.Item(IDC_frmResults_lblStatus)), "");
    EXPECT_EQ(second.ProgressPosition(), 0);
    EXPECT_FALSE(second.CloseEnabled());
}

TEST(ResultsWindow, ConfirmationIsAskedOfTheSeamWithThisWindowAsOwner) {
    LoadedResults results;
    for (bool answer : {true, false}) {
        std::vector<std::pair<std::string, std::string>> asked;
        HWND owner = nullptr;
        results.window.SetConfirm([&](HWND o, const std::string& title, const std::string& text) {
            owner = o;
            asked.emplace_back(title, text);
            return answer;
        });
        EXPECT_EQ(results.window.ConfirmOkCancel("a title", "a question?"), answer);
        EXPECT_EQ(owner, results.window.Hwnd());
        EXPECT_THAT(asked, ElementsAre(std::pair<std::string, std::string>("a title", "a question?")));
    }
}

TEST(ResultsWindow, PendingMessagesAreHandled) {
    LoadedResults results;
    ::PostMessageA(results.Item(IDC_frmResults_ProgressBar1), PBM_SETPOS, 7, 0);
    results.window.ProcessPendingMessages();
    EXPECT_EQ(results.ProgressPosition(), 7);
}

TEST(ResultsWindow, MessagesArePumpedAtMostEveryFiveMilliseconds) {
    struct Case {
        DWORD first;
        DWORD second;
        bool pumpedAgain;
    };
    const Case cases[] = {
        {1000, 1000, false},
        {1000, 1004, false},
        {1000, 1005, true},
        // The tick count wraps after 49.7 days; pumping must go on regardless.
        {0xFFFFFFFE, 2, false},
        {0xFFFFFFFE, 3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.first << " then " << c.second);
        LoadedResults results;
        DWORD now = c.first;
        results.window.SetTickSource([&] { return now; });
        const HWND bar = results.Item(IDC_frmResults_ProgressBar1);

        ::PostMessageA(bar, PBM_SETPOS, 1, 0);
        results.window.ProcessPendingMessages();
        ASSERT_EQ(results.ProgressPosition(), 1);

        now = c.second;
        ::PostMessageA(bar, PBM_SETPOS, 2, 0);
        results.window.ProcessPendingMessages();
        EXPECT_EQ(results.ProgressPosition(), c.pumpedAgain ? 2 : 1);
    }
}

// Steps write several lines in a row, and each line may be slow to draw.
TEST(ResultsWindow, AddingALineHandlesPendingMessagesOnTheSameClock) {
    LoadedResults results;
    DWORD now = 1000;
    results.window.SetTickSource([&] { return now; });
    const HWND bar = results.Item(IDC_frmResults_ProgressBar1);

    ::PostMessageA(bar, PBM_SETPOS, 1, 0);
    results.window.AppendLine("first");
    EXPECT_EQ(results.ProgressPosition(), 1);

    ::PostMessageA(bar, PBM_SETPOS, 2, 0);
    results.window.AppendLine("second, at once");
    EXPECT_EQ(results.ProgressPosition(), 1);

    now += 5;
    results.window.AppendLine("third, a little later");
    EXPECT_EQ(results.ProgressPosition(), 2);
}

TEST(ResultsWindow, QuitRequestSurvivesPumpingForTheProgramsOwnLoop) {
    LoadedResults results;
    ::PostQuitMessage(3);
    results.window.ProcessPendingMessages();
    MSG message = {};
    ASSERT_TRUE(::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 3u);
}

// A window of the base alone, on the results window's template, showing what reaches its members.
class ProbeWindow final : public WindowBase {
  public:
    ProbeWindow() {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
        ::InitCommonControlsEx(&controls);
    }

    using WindowBase::CreateModeless;
    using WindowBase::RunModal;

    std::optional<INT_PTR> endAtOnce;
    std::optional<std::function<void(ProbeWindow&)>> duringModal;
    std::vector<std::pair<int, int>> commands;
    std::vector<int> notified;
    HWND initialised = nullptr;
    bool throwOnCancel = false;

  private:
    void OnInitDialog() override {
        initialised = Hwnd();
        if (endAtOnce)
            EndModal(*endAtOnce);
        if (duringModal)
            (*duringModal)(*this);
    }
    void OnCommand(int controlId, int notification) override {
        commands.emplace_back(controlId, notification);
        if (controlId == IDC_frmResults_cmdClose)
            throw std::runtime_error("handler failed");
    }
    std::optional<INT_PTR> OnNotify(int controlId, NMHDR& header) override {
        notified.push_back(controlId);
        return 7;
    }
    void OnCancel() override {
        if (throwOnCancel)
            throw std::runtime_error("cancel failed");
        WindowBase::OnCancel();
    }
};

// A clean run as the main window starts it: the results window is loaded and shown, the run writes
// into it, and only the end of the run lets the user back.
TEST(ResultsWindow, ACleanRunFillsItAndOnlyItsEndEnablesClosing) {
    struct NoHistory final : HistoryLibrary {
        bool DeleteHistory() override { return false; }
    } history;
    struct NoPlugins final : PluginRunner {
        void RunPluginByName(const std::string&, ResultsSurface&, const ProtectedPlaces&) override {}
    } runner;
    testing::FakeSettingsArea area;
    SettingsStore settings(area, "Nimbral Windows Cleaner");
    for (const char* key : {"detype", "dehist", "decook", "deintt", "dedocu", "demedi", "dewint", "derecy", "deruns"}) {
        const bool ticked = key == std::string("dehist") || key == std::string("decook");
        area.SaveSetting("Nimbral Windows Cleaner", "Settings", key, ticked ? "1" : "0");
    }
    testing::FakeRegistry registry;
    testing::FakeFileSystem fs;
    testing::FakeShell shell;
    testing::FakeUrlCache cache;
    FakeOsVersionSource os;
    MainWindowListers listers(fs);
    PluginList plugins;
    fs.AddFile("C:\\Cookies\\me@gone.example[1].txt");
    EngineServices services{settings, registry, fs,      shell,  cache,           history,
                            os,       listers,  plugins, runner, "C:\\Cookies\\", 0};

    struct WindowedHost final : CleanHost {
        explicit WindowedHost(FileSystem& fileSystem) : results(fileSystem) {}
        ResultsSurface& ShowResults() override {
            results.window.Show();
            closeEnabledAtStart = results.CloseEnabled();
            return results.window;
        }
        LoadedResults results;
        bool closeEnabledAtStart = true;
    } host(fs);
    RunClean(host, services);

    EXPECT_FALSE(host.closeEnabledAtStart);
    EXPECT_THAT(host.results.Log(),
                ElementsAre("-- BEGIN || Delete History", "Deleted History", "-- END   || Delete History", "  ",
                            "-- BEGIN || Remove Unwanted Cookies", "Found 1 cookies in C:\\Cookies\\",
                            "Deleted 1 unwanted cookies in C:\\Cookies\\", "Kept 0 cookies in C:\\Cookies\\",
                            "Found 0 Cookies in Internet Cache", "Deleted 0 Cookies from Internet Cache",
                            "Kept 0 Cookies in Internet Cache", "-- END   || Remove Unwanted Cookies", "  ",
                            "-- BEGIN || Plugins", "-- END   || Plugins", "  "));
    // The cookie step listed the folder with the window's own hidden lister.
    ASSERT_NE(host.results.window.File1(), nullptr);
    EXPECT_EQ(host.results.window.File1()->Path(), "C:\\Cookies");
    EXPECT_EQ(Text(host.results.Item(IDC_frmResults_lblStatus)), "Finished Covering Your Tracks");
    EXPECT_EQ(host.results.ProgressPosition(), host.results.ProgressTop());
    EXPECT_TRUE(host.results.CloseEnabled());
    ::SendMessageA(host.results.Item(IDC_frmResults_cmdClose), BM_CLICK, 0, 0);
    EXPECT_EQ(host.results.closeCalls, 1);
}

TEST(WindowBase, RoutesCommandsByControlIdAndKeepsExceptionsInside) {
    ProbeWindow probe;
    ASSERT_TRUE(probe.CreateModeless(ThisProgram(), IDD_frmResults, nullptr));
    EXPECT_EQ(probe.initialised, probe.Hwnd());
    probe.commands.clear();  // the log list's focus notice

    ::SendMessageA(probe.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_frmResults_cmdClose, BN_CLICKED), 0);
    ::SendMessageA(probe.Hwnd(), WM_COMMAND, MAKEWPARAM(IDC_frmResults_lstStatus, LBN_DBLCLK), 0);
    EXPECT_THAT(probe.commands, ElementsAre(std::pair(IDC_frmResults_cmdClose, BN_CLICKED),
                                            std::pair(IDC_frmResults_lstStatus, LBN_DBLCLK)));
    probe.throwOnCancel = true;
    ::SendMessageA(probe.Hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(probe.IsOpen());
}

TEST(WindowBase, NotificationsReachTheWindowWithItsAnswer) {
    ProbeWindow probe;
    ASSERT_TRUE(probe.CreateModeless(ThisProgram(), IDD_frmResults, nullptr));
    NMHDR header = {probe.Control(IDC_frmResults_lstStatus), IDC_frmResults_lstStatus, NM_CLICK};
    EXPECT_EQ(::SendMessageA(probe.Hwnd(), WM_NOTIFY, IDC_frmResults_lstStatus, reinterpret_cast<LPARAM>(&header)), 7);
    EXPECT_THAT(probe.notified, ElementsAre(IDC_frmResults_lstStatus));
}

TEST(WindowBase, OkAndCancelUnloadAModelessWindow) {
    for (int id : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(id);
        ProbeWindow probe;
        ASSERT_TRUE(probe.CreateModeless(ThisProgram(), IDD_frmResults, nullptr));
        ::SendMessageA(probe.Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        EXPECT_FALSE(probe.IsOpen());
    }
}

TEST(WindowBase, OkAndCancelEndAModalRunWithTheirIds) {
    for (int id : {IDOK, IDCANCEL}) {
        SCOPED_TRACE(id);
        ProbeWindow probe;
        probe.duringModal = [id](ProbeWindow& window) {
            ::PostMessageA(window.Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        };
        EXPECT_EQ(probe.RunModal(ThisProgram(), IDD_frmResults, nullptr), id);
        EXPECT_FALSE(probe.IsOpen());
    }
}

// Escape reaches a modeless window only through the message loop's dialog handling.
TEST(WindowBase, PumpingHandsKeysToTheModelessWindows) {
    ProbeWindow probe;
    ASSERT_TRUE(probe.CreateModeless(ThisProgram(), IDD_frmResults, nullptr));
    ::PostMessageA(probe.Control(IDC_frmResults_lstStatus), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    ProcessPendingMessages();
    EXPECT_FALSE(probe.IsOpen());
}

TEST(WindowBase, ObjectAndWindowGoTogether) {
    HWND window = nullptr;
    {
        ProbeWindow probe;
        ASSERT_TRUE(probe.CreateModeless(ThisProgram(), IDD_frmResults, nullptr));
        window = probe.Hwnd();
    }
    EXPECT_FALSE(::IsWindow(window));

    ProbeWindow probe;
    ASSERT_TRUE(probe.CreateModeless(ThisProgram(), IDD_frmResults, nullptr));
    ::DestroyWindow(probe.Hwnd());
    EXPECT_FALSE(probe.IsOpen());
}

TEST(WindowBase, ModalDialogAnswersWhatItEndedWith) {
    ProbeWindow probe;
    probe.endAtOnce = 42;
    EXPECT_EQ(probe.RunModal(ThisProgram(), IDD_frmResults, nullptr), 42);
    EXPECT_NE(probe.initialised, nullptr);
    EXPECT_FALSE(::IsWindow(probe.initialised));
    EXPECT_FALSE(probe.IsOpen());
}

TEST(WindowBase, MissingTemplateLoadsNothing) {
    ProbeWindow probe;
    EXPECT_FALSE(probe.CreateModeless(ThisProgram(), 999, nullptr));
    EXPECT_EQ(probe.RunModal(ThisProgram(), 999, nullptr), -1);
    EXPECT_FALSE(probe.IsOpen());
}

}  // namespace
}  // namespace nimbral
