#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doubles/FakeShell.h"
#include "gui/GuiSupport.h"
#include "platform/win32/OleWebBrowser.h"
#include "platform/win32/UniqueHandles.h"
#include "windows/frmPlugins.h"
#include "windows/resource.h"

// The OLE host against the WebBrowser control of the Wine prefix the tests run in. That prefix has no
// HTML engine (Debian ships none for Wine, and the test bed turns mshtml off): the control itself is
// made and runs in place, but it could never draw a page. So the host must refuse to embed it there,
// and the plugin window must hand its page to the shell. The container's own work (in-place
// activation, placement, the order it lets go in) is tried on the engine-less control too, with
// nothing but about:blank, which the control makes without any network.

namespace nimbral::guitest {
namespace {

using ::testing::ElementsAre;

constexpr int kBrowserId = IDC_frmPlugins_WebBrowser1;

class RecordingEvents final : public BrowserEvents {
  public:
    void StatusTextChange(const std::string& text) override { seen.push_back("StatusTextChange " + text); }
    void ProgressChange(long, long) override { seen.push_back("ProgressChange"); }
    void DownloadBegin() override { seen.push_back("DownloadBegin"); }
    void DownloadComplete() override { seen.push_back("DownloadComplete"); }
    std::vector<std::string> seen;
};

struct HostWindow {
    HostWindow()
        : window(::CreateWindowExA(0,
                                   "STATIC",
                                   "host",
                                   WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                   0,
                                   0,
                                   400,
                                   300,
                                   nullptr,
                                   nullptr,
                                   ThisProgram(),
                                   nullptr)) {}
    WindowHandle handle() const { return reinterpret_cast<WindowHandle>(window.get()); }
    win32::UniqueHwnd window;
};

RECT RectIn(HWND window, HWND control) {
    RECT rect = {};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Handles this thread's messages until `done` or five seconds have passed.
template <typename Done>
bool PumpUntil(Done done) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        const DWORD waited = ::GetTickCount() - start;
        if (waited >= 5000)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000 - waited, QS_ALLINPUT);
        Pump();
    }
    return true;
}

TEST(PluginsBrowserHost, TestPrefixHasNoHtmlEngineSoTheDownloadPageOpensInTheWebBrowser) {
    const win32::OleInitialization ole;
    ASSERT_TRUE(ole.Succeeded());
    win32::OleBrowserEmbedder browsers;
    {
        // Asked on a window of its own first: a prefix that could show pages would otherwise have the
        // window below fetch the real download page.
        HostWindow host;
        RecordingEvents events;
        EXPECT_EQ(browsers.Embed(host.handle(), kBrowserId, events), nullptr);
        ASSERT_EQ(browsers.LastOutcome(), win32::EmbedOutcome::kNoEngine);
        EXPECT_EQ(::GetDlgItem(host.window.get(), kBrowserId), nullptr);
        EXPECT_EQ(win32::LiveBrowserSites(), 0);
    }

    TestProgram program;
    frmPlugins window(ThisProgram(), program.identity, program.shell, &browsers);
    window.Load();
    ASSERT_TRUE(window.IsOpen());
    EXPECT_FALSE(window.ShowsPagesItself());
    EXPECT_THAT(program.shell.openedLinks, ElementsAre("http://www.nimbral.example/plugins/"));
    EXPECT_EQ(::GetDlgItem(window.Hwnd(), kBrowserId), nullptr);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(window.Hwnd(), IDC_frmPlugins_lblNoBrowser)));
}

TEST(PluginsBrowserHost, ContainerRunsTheControlInPlaceReportsItsEventsAndLetsGoOfItWhole) {
    const win32::OleInitialization ole;
    ASSERT_TRUE(ole.Succeeded());
    win32::OleBrowserEmbedder browsers(false);
    HostWindow host;
    RecordingEvents events;
    {
        const std::unique_ptr<EmbeddedBrowser> browser = browsers.Embed(host.handle(), kBrowserId, events);
        ASSERT_NE(browser, nullptr);
        EXPECT_EQ(browsers.LastOutcome(), win32::EmbedOutcome::kEmbedded);
        EXPECT_EQ(win32::LiveBrowserSites(), 1);

        // In place: the control's window lives in the container, which is the host's WebBrowser1.
        const HWND container = ::GetDlgItem(host.window.get(), kBrowserId);
        ASSERT_NE(container, nullptr);
        const HWND control = ::GetWindow(container, GW_CHILD);
        ASSERT_NE(control, nullptr);
        browser->Place({10, 20, 300, 200});
        const RECT placed = RectIn(host.window.get(), container);
        EXPECT_EQ(placed.left, 10);
        EXPECT_EQ(placed.top, 20);
        EXPECT_EQ(placed.right, 310);
        EXPECT_EQ(placed.bottom, 220);
        const RECT inside = RectIn(container, control);
        EXPECT_EQ(inside.right - inside.left, 300);
        EXPECT_EQ(inside.bottom - inside.top, 200);

        // Nowhere to go yet: refused, and nothing thrown.
        EXPECT_EQ(browser->LocationURL(), "");
        EXPECT_FALSE(browser->GoBack());
        EXPECT_FALSE(browser->GoForward());

        // Without an engine, Wine's control takes ten seconds over any page; its events come all the
        // same, through the connection point, to the window's side.
        EXPECT_TRUE(browser->Navigate("about:blank"));
        EXPECT_TRUE(PumpUntil([&] { return browser->LocationURL() == "about:blank"; }));
        ASSERT_FALSE(events.seen.empty());
        EXPECT_EQ(events.seen.front(), "DownloadBegin");
        EXPECT_EQ(events.seen.back(), "DownloadComplete");
        EXPECT_TRUE(browser->Stop());
    }
    // The control let go of every reference to the container's object, and the container is gone.
    EXPECT_EQ(win32::LiveBrowserSites(), 0);
    EXPECT_EQ(::GetDlgItem(host.window.get(), kBrowserId), nullptr);
    // Nothing reaches the window's side after the browser is gone.
    const std::size_t seen = events.seen.size();
    Pump();
    EXPECT_EQ(events.seen.size(), seen);
}

}  // namespace
}  // namespace nimbral::guitest
