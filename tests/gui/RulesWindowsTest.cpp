// The community rules in the windows: their lines in the plugin list with the warning before a
// tick, the report window, and the update's window with its progress bar and Cancel, downloading
// from a server on 127.0.0.1 that the test starts.

#include <windows.h>

#include <commctrl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "doubles/FakeKnownFolders.h"
#include "gui/GuiSupport.h"
#include "platform/win32/Win32WebDownload.h"
#include "rules/CommunityRules.h"
#include "win/LocalHttpServer.h"
#include "windows/resource.h"

namespace nimbral::guitest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kRules = std::string(kProgramFolder) + "\\plugins\\winapp2.ini";

std::string Rules(const std::string& version, bool withBeta) {
    std::string text = "; Version: " + version +
                       "\r\n[Alpha *]\r\nDetectFile=%ProgramFiles%\\Alpha\r\nFileKey1=%ProgramFiles%\\Alpha|*.log\r\n"
                       "[Alpha Sessions *]\r\nDetectFile=%ProgramFiles%\\Alpha\r\n"
                       "Warning=This also removes the sessions you saved.\r\nFileKey1=%ProgramFiles%\\Alpha|*.ses\r\n";
    if (withBeta)
        text += "[Beta *]\r\nDetectFile=%ProgramFiles%\\Alpha\r\nFileKey1=%ProgramFiles%\\Alpha|*.tmp\r\n";
    // Long enough to come in many pieces.
    for (int i = 0; i < 4000; ++i)
        text += "; padding of the release notes, line " + std::to_string(i) + "\r\n";
    return text;
}

// The real download, with the user's hand on the update window: it notes where the window's bar
// stands each time the download reports, and presses Cancel once enough has come.
class WatchedDownload final : public WebDownload {
  public:
    Download Fetch(const std::string& url, std::uint64_t limit, const Progress& progress) override {
        return real.Fetch(url, limit, [&](std::uint64_t received, std::uint64_t total) {
            const bool going = progress(received, total);
            const HWND window = ::FindWindowA(nullptr, "Update Community Rules");
            if (const HWND bar = ::GetDlgItem(window, IDC_frmRulesUpdate_ProgressBar1))
                bars.push_back(static_cast<int>(::SendMessageA(bar, PBM_GETPOS, 0, 0)));
            if (cancelAfter && received >= *cancelAfter)
                Click(::GetDlgItem(window, IDC_frmRulesUpdate_cmdCancel));
            return going;
        });
    }

    win32::Win32WebDownload real{3000, true};
    std::optional<std::uint64_t> cancelAfter;
    std::vector<int> bars;
};

// Writes into the test's file system, as the real one writes beside and moves over.
class FakeReplacer final : public FileReplacer {
  public:
    explicit FakeReplacer(testing::FakeFileSystem& fileSystem) : fileSystem_(fileSystem) {}
    bool Replace(const std::string& path, const std::string& content) override {
        fileSystem_.AddFile(path);
        fileSystem_.SetContent(path, content);
        return true;
    }

  private:
    testing::FakeFileSystem& fileSystem_;
};

std::string Content(testing::FakeFileSystem& fileSystem, const std::string& path) {
    const auto source = fileSystem.OpenForReading(path);
    std::string text;
    char buffer[4096];
    for (std::size_t got; source && (got = source->Read(buffer, sizeof buffer)) > 0;)
        text.append(buffer, got);
    return text;
}

struct RulesProgram : TestProgram {
    RulesProgram() {
        fileSystem.AddFile("C:\\Program Files\\Alpha\\alpha.exe");
        fileSystem.AddFile(kRules);
        fileSystem.SetContent(kRules, Rules("260101", false));
        Store("showHelp", "0");
        Store("enc", "0");
    }

    ProgramParts WithRules() {
        ProgramParts parts = Parts();
        parts.pluginSources = {&rules};
        parts.rules = &rulesParts;
        return parts;
    }

    HWND List() { return ::GetDlgItem(windows->Main()->Hwnd(), IDC_frmMain_lstPlugs); }
    ProgramWindows& Load() {
        windows.emplace(WithRules());
        windows->LoadMainWindow();
        return *windows;
    }

    testing::FakeKnownFolders folders;
    CommunityRules rules{RuleServices{fileSystem, registry, folders, os, shell}, kProgramFolder};
    WatchedDownload web;
    FakeReplacer replacer{fileSystem};
    RulesParts rulesParts{rules, web, replacer};
    std::optional<ProgramWindows> windows;
};

void ClickRow(HWND list, int index) {
    RECT row = {};
    ::SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row));
    MouseClick(list, {row.left + 5, (row.top + row.bottom) / 2});
}

TEST(RulesWindows, ThePluginsMenuOffersTheReportAndTheUpdate) {
    RulesProgram program;
    ProgramWindows& windows = program.Load();
    const HMENU plugins = ::GetSubMenu(::GetMenu(windows.Main()->Hwnd()), 1);
    EXPECT_EQ(::GetMenuItemCount(plugins), 3);
    EXPECT_EQ(MenuText(plugins, 0, MF_BYPOSITION), "Refresh Plugin List");
    EXPECT_EQ(MenuText(plugins, 1, MF_BYPOSITION), "Community Rules Report");
    EXPECT_EQ(MenuText(plugins, 2, MF_BYPOSITION), "Update Community Rules");
    EXPECT_THAT(controls::ListRows(program.List()), ElementsAre("Alpha", "Alpha Sessions"));
}

TEST(RulesWindows, ALineWithAWarningIsTickedOnlyOnceTheUserHasSaidOk) {
    RulesProgram program;
    program.Load();
    const HWND list = program.List();

    program.messages.answer = false;
    ClickRow(list, 1);
    ASSERT_EQ(program.messages.questions.size(), 1u);
    EXPECT_EQ(program.messages.questions[0].title, "Alpha Sessions");
    EXPECT_EQ(program.messages.questions[0].text, "This also removes the sessions you saved.");
    EXPECT_FALSE(controls::ListRowSelected(list, 1));
    EXPECT_FALSE(program.lstPlugs[1].selected);
    EXPECT_EQ(program.Stored("plugAlpha Sessions"), "<missing>") << "Cancel stores nothing";

    program.messages.answer = true;
    ClickRow(list, 1);
    EXPECT_TRUE(controls::ListRowSelected(list, 1));
    EXPECT_TRUE(program.lstPlugs[1].selected);
    EXPECT_EQ(program.Stored("plugAlpha Sessions"), "True");

    // Unticking it, or ticking a line without a warning, asks nothing.
    ClickRow(list, 1);
    ClickRow(list, 0);
    EXPECT_EQ(program.messages.questions.size(), 2u);
    EXPECT_EQ(program.Stored("plugAlpha Sessions"), "False");
    EXPECT_EQ(program.Stored("plugAlpha"), "True");
}

TEST(RulesWindows, TheReportWindowShowsTheReport) {
    RulesProgram program;
    ProgramWindows& windows = program.Load();
    ChooseMenu(windows.Main()->Hwnd(), IDM_frmMain_mnuPluginsItem1);
    frmRules* report = windows.RulesReport();
    ASSERT_TRUE(report);
    EXPECT_TRUE(::IsWindowVisible(report->Hwnd()));
    EXPECT_EQ(controls::Text(report->Hwnd()), "Community Rules Report");
    std::string expected;
    for (const std::string& line : program.rules.Report())
        expected += line + "\r\n";
    EXPECT_EQ(controls::Text(report->Control(IDC_frmRules_txtReport)), expected);
    EXPECT_THAT(expected, ::testing::HasSubstr("Version: 260101\r\nEntries: 2\r\nListed on this machine: 2\r\n"));
    Click(report->Control(IDOK));
    EXPECT_FALSE(windows.RulesReport());
}

TEST(RulesWindows, TheUpdatesBarMovesCancelKeepsTheOldFileAndAWholeFileIsListedAtOnce) {
    RulesProgram program;
    wintest::LocalHttpServer server;
    const std::string newer = Rules("260901", true);
    server.Serve("/winapp2.ini", {"200 OK", newer, true, {}, {}, {}, 0, 16 * 1024, 15});
    program.Store("rulesurl", server.Url("/winapp2.ini"));
    ProgramWindows& windows = program.Load();

    program.web.cancelAfter = 64 * 1024;
    ChooseMenu(windows.Main()->Hwnd(), IDM_frmMain_mnuPluginsItem2);
    ASSERT_EQ(program.messages.notices.size(), 1u);
    EXPECT_EQ(program.messages.notices[0].title, "Update Community Rules");
    EXPECT_EQ(program.messages.notices[0].text,
              "The community rules were not updated: the download was cancelled. The old file is kept.");
    ASSERT_FALSE(program.web.bars.empty());
    EXPECT_GT(program.web.bars.back(), 0) << "the bar moved";
    EXPECT_LT(program.web.bars.back(), 1000);
    EXPECT_TRUE(std::is_sorted(program.web.bars.begin(), program.web.bars.end()));
    EXPECT_EQ(Content(program.fileSystem, kRules), Rules("260101", false));
    EXPECT_THAT(controls::ListRows(program.List()), ElementsAre("Alpha", "Alpha Sessions"));
    EXPECT_FALSE(::FindWindowA(nullptr, "Update Community Rules")) << "the window is gone";

    program.web.cancelAfter.reset();
    program.web.bars.clear();
    ChooseMenu(windows.Main()->Hwnd(), IDM_frmMain_mnuPluginsItem2);
    ASSERT_EQ(program.messages.notices.size(), 2u);
    EXPECT_EQ(program.messages.notices[1].text, "The community rules are now version 260901.");
    EXPECT_EQ(Content(program.fileSystem, kRules), newer);
    EXPECT_THAT(controls::ListRows(program.List()), ElementsAre("Alpha", "Alpha Sessions", "Beta"));
    EXPECT_EQ(program.web.bars.back(), 1000);
}

}  // namespace
}  // namespace nimbral::guitest
