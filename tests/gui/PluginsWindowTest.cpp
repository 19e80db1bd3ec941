#include <windows.h>
#include <commctrl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/GuiSupport.h"
#include "system/PluginsLayout.h"
#include "system/WindowTexts.h"
#include "windows/frmPlugins.h"
#include "windows/resource.h"

namespace nimbral::guitest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kDownloadPage[] = "http://www.nimbral.example/plugins/";

// The plugin window over a recording browser (or none, with `browsers.available` off).
struct PluginsWindow : TestProgram {
    frmPlugins& Load() {
        window.Load();
        return window;
    }
    HWND Item(int id) const { return ::GetDlgItem(window.Hwnd(), id); }
    std::string Caption() const { return controls::Text(window.Hwnd()); }
    std::string Address() const { return controls::Text(Item(IDC_frmPlugins_Text1)); }
    std::string Panel(int index) const {
        const HWND bar = Item(IDC_frmPlugins_StatusBar1);
        const auto length = LOWORD(::SendMessageA(bar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(index), 0));
        std::string text(length + 1u, '\0');
        ::SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
        text.resize(length);
        return text;
    }
    std::vector<int> PanelEdges() const {
        int edges[8] = {};
        const auto count =
            ::SendMessageA(Item(IDC_frmPlugins_StatusBar1), SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges));
        return std::vector<int>(edges, edges + count);
    }
    void Type(const std::string& text) const { controls::SetText(Item(IDC_frmPlugins_Text1), text); }
    // Enter pressed on a control that the user moved to, through the program's own handling of dialog
    // keys.
    void PressEnterIn(int controlId) const {
        const HWND control = Item(controlId);
        ::SendMessageA(window.Hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
        ::PostMessageA(control, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        ::PostMessageA(control, WM_KEYUP, VK_RETURN, 0xC01C0001);
        Pump();
    }
    // Everything the user can see of the window's state, to tell that an action changed nothing.
    std::vector<std::string> Seen() const { return {Caption(), Address(), Panel(0), Panel(1)}; }

    frmPlugins window{ThisProgram(), identity, shell, &browsers};
};

PixelRect RectIn(HWND window, HWND control) {
    RECT rect = {};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

HWND TooltipsOf(HWND window) {
    struct Search {
        HWND owner;
        HWND found;
    } search{window, nullptr};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND candidate, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            char name[64] = {};
            ::GetClassNameA(candidate, name, sizeof name);
            if (std::string(name) == TOOLTIPS_CLASSA && ::GetWindow(candidate, GW_OWNER) == s.owner) {
                s.found = candidate;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string TooltipText(HWND tooltips, HWND window, HWND control) {
    char text[128] = {};
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    ::SendMessageA(tooltips, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

struct PictureButton {
    int id;
    const char* tooltip;
};
constexpr PictureButton kPictureButtons[] = {
    {IDC_frmPlugins_Command3, "browse the entered url"},
    {IDC_frmPlugins_Command4, "back"},
    {IDC_frmPlugins_Command5, "forward"},
    {IDC_frmPlugins_Command6, "stop"},
    {IDC_frmPlugins_Command7, "refresh"},
};

TEST(PluginsWindow, LoadsWithItsGroupAddressBoxPictureButtonsAndTwoPanels) {
    PluginsWindow plugins;
    frmPlugins& window = plugins.Load();
    ASSERT_TRUE(window.IsOpen());
    EXPECT_TRUE(window.ShowsPagesItself());
    EXPECT_EQ(plugins.Caption(), "Download Plugins");
    EXPECT_EQ(controls::Text(plugins.Item(IDC_frmPlugins_frmBrowser)), "Browser");
    EXPECT_EQ(controls::Text(plugins.Item(IDC_frmPlugins_Label5)), "URL:");
    EXPECT_EQ(plugins.Address(), "");
    EXPECT_EQ(::GetFocus(), plugins.Item(IDC_frmPlugins_Text1));

    const HWND tooltips = TooltipsOf(window.Hwnd());
    ASSERT_NE(tooltips, nullptr);
    for (const auto& button : kPictureButtons) {
        SCOPED_TRACE(button.tooltip);
        const HWND control = plugins.Item(button.id);
        EXPECT_TRUE(::GetWindowLongA(control, GWL_STYLE) & BS_ICON);
        EXPECT_NE(::SendMessageA(control, BM_GETIMAGE, IMAGE_ICON, 0), 0);
        EXPECT_TRUE(controls::Enabled(control));
        EXPECT_EQ(TooltipText(tooltips, window.Hwnd(), control), button.tooltip);
    }
    EXPECT_EQ(plugins.PanelEdges().size(), 2u);

    // The browser lives in this window, under its own control id; the page that would stand in for
    // it stays hidden.
    EXPECT_THAT(plugins.browsers.hosts, ElementsAre(reinterpret_cast<WindowHandle>(window.Hwnd())));
    EXPECT_THAT(plugins.browsers.controlIds, ElementsAre(IDC_frmPlugins_WebBrowser1));
    EXPECT_FALSE(::IsWindowVisible(plugins.Item(IDC_frmPlugins_lblNoBrowser)));
}

TEST(PluginsWindow, LoadGoesToTheDownloadPageOnTopThenMaximisesInTheNormalOrder) {
    PluginsWindow plugins;
    bool topmostWhileNavigating = false;
    bool maximisedWhileNavigating = true;
    std::size_t panelsWhileNavigating = 0;
    plugins.browsers.onNavigate = [&](const std::string&) {
        topmostWhileNavigating = ::GetWindowLongA(plugins.window.Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST;
        maximisedWhileNavigating = ::IsZoomed(plugins.window.Hwnd());
        panelsWhileNavigating = plugins.PanelEdges().size();
    };
    const HWND window = plugins.Load().Hwnd();

    EXPECT_THAT(plugins.browsers.calls, ElementsAre(std::string("Navigate ") + kDownloadPage));
    EXPECT_TRUE(topmostWhileNavigating);
    EXPECT_FALSE(maximisedWhileNavigating);
    EXPECT_EQ(panelsWhileNavigating, 2u);
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_TRUE(::IsZoomed(window));
    EXPECT_FALSE(::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(PluginsWindow, EnterInTheAddressBoxAndCommand3GoToTheAddressAsTyped) {
    struct Case {
        const char* way;
        const char* typed;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {"Enter", "www.example.org/more ", {"Navigate www.example.org/more "}},
        {"Command3", "  HTTP://Example.ORG/a?b=c", {"Navigate   HTTP://Example.ORG/a?b=c"}},
        {"Enter", "", {}},
        {"Command3", "   ", {}},
        // Enter on a button presses that button, and back in the address box it navigates again.
        {"Enter on back, then in the box", "www.example.org", {"GoBack", "Navigate www.example.org"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.way) + " \"" + c.typed + "\"");
        PluginsWindow plugins;
        plugins.Load();
        plugins.browsers.calls.clear();
        plugins.Type(c.typed);
        if (std::string(c.way) == "Enter")
            plugins.PressEnterIn(IDC_frmPlugins_Text1);
        else if (std::string(c.way) == "Command3")
            Click(plugins.Item(IDC_frmPlugins_Command3));
        else {
            plugins.PressEnterIn(IDC_frmPlugins_Command4);
            plugins.PressEnterIn(IDC_frmPlugins_Text1);
        }
        EXPECT_EQ(plugins.browsers.calls, c.calls);
        EXPECT_TRUE(plugins.window.IsOpen());
    }
}

TEST(PluginsWindow, BackForwardStopAndRefreshIgnoreTheBrowsersRefusal) {
    for (const bool failing : {false, true}) {
        SCOPED_TRACE(failing ? "refused" : "done");
        PluginsWindow plugins;
        plugins.Load();
        plugins.browsers.location = kDownloadPage;
        plugins.browsers.Events().DownloadComplete();
        plugins.browsers.calls.clear();
        plugins.browsers.failing = failing;
        const std::vector<std::string> before = plugins.Seen();

        for (int id :
             {IDC_frmPlugins_Command4, IDC_frmPlugins_Command5, IDC_frmPlugins_Command6, IDC_frmPlugins_Command7})
            Click(plugins.Item(id));
        EXPECT_THAT(plugins.browsers.calls, ElementsAre("GoBack", "GoForward", "Stop", "Refresh"));
        EXPECT_THAT(plugins.messages.notices, IsEmpty());
        EXPECT_TRUE(plugins.window.IsOpen());
        EXPECT_EQ(plugins.Seen(), before);

        // The window goes on working.
        plugins.Type("www.example.org");
        Click(plugins.Item(IDC_frmPlugins_Command3));
        EXPECT_EQ(plugins.browsers.calls.back(), "Navigate www.example.org");
    }
}

TEST(PluginsWindow, BrowserNotificationsShowInTheStatusBarAddressBoxAndCaption) {
    PluginsWindow plugins;
    plugins.Load();
    BrowserEvents& browser = plugins.browsers.Events();

    browser.StatusTextChange("Connecting to www.nimbral.example");
    EXPECT_EQ(plugins.Panel(0), "Connecting to www.nimbral.example");

    // The user typed one address; the site sends the browser on to another.
    plugins.Type("nimbral.example/p");
    plugins.browsers.location = "http://nimbral.example/p";
    browser.DownloadBegin();
    EXPECT_EQ(plugins.Panel(1), "Opening http://nimbral.example/p");
    EXPECT_EQ(plugins.Address(), "nimbral.example/p");
    EXPECT_EQ(plugins.Caption(), "Download Plugins");

    plugins.browsers.location = "http://www.nimbral.example/plugins/index.html";
    plugins.browsers.title = "Nimbral plugins";
    browser.DownloadComplete();
    EXPECT_EQ(plugins.Panel(1), "Completed http://www.nimbral.example/plugins/index.html");
    EXPECT_EQ(plugins.Address(), "http://www.nimbral.example/plugins/index.html");
    EXPECT_EQ(plugins.Caption(), "Nimbral plugins");
    EXPECT_EQ(plugins.Panel(0), "Connecting to www.nimbral.example");

    const std::vector<std::string> before = plugins.Seen();
    browser.ProgressChange(50, 100);
    EXPECT_EQ(plugins.Seen(), before);
}

// The window at each size laid out as the rule says, the browser given the same place, and nothing
// given a negative length, down to the smallest window the system allows (narrower than the margins
// of the address box and lower than the browser's).
TEST(PluginsWindow, EveryResizeLaysTheWindowOutWithoutNegativeLengths) {
    PluginsWindow plugins;
    const HWND window = plugins.Load().Hwnd();
    ::ShowWindow(window, SW_RESTORE);
    const PixelRect text1 = RectIn(window, plugins.Item(IDC_frmPlugins_Text1));
    const win32::WindowDc screen(window);
    const PluginsMargins margins =
        PluginsMarginsFor(::GetDeviceCaps(screen.get(), LOGPIXELSX), ::GetDeviceCaps(screen.get(), LOGPIXELSY));
    const BrowserBounds first = plugins.browsers.placements.front();

    for (const SIZE size : {SIZE{620, 440}, SIZE{300, 200}, SIZE{1, 1}}) {
        SCOPED_TRACE(::testing::Message() << size.cx << " x " << size.cy);
        plugins.browsers.placements.clear();
        ::SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

        RECT client = {};
        ::GetClientRect(window, &client);
        PluginsWindowNow now;
        now.clientWidth = client.right;
        now.clientHeight = client.bottom;
        now.statusBarHeight = RectIn(window, plugins.Item(IDC_frmPlugins_StatusBar1)).height;
        now.frmBrowser = RectIn(window, plugins.Item(IDC_frmPlugins_frmBrowser));
        now.Text1 = text1;
        now.Command3 = RectIn(window, plugins.Item(IDC_frmPlugins_Command3));
        now.WebBrowser1 = {first.left, first.top, 0, 0};
        const PluginsLayout expected = LayOutPlugins(now, margins);

        EXPECT_EQ(RectIn(window, plugins.Item(IDC_frmPlugins_frmBrowser)), expected.frmBrowser);
        EXPECT_EQ(RectIn(window, plugins.Item(IDC_frmPlugins_Text1)), expected.Text1);
        EXPECT_EQ(RectIn(window, plugins.Item(IDC_frmPlugins_Command3)), expected.Command3);
        ASSERT_FALSE(plugins.browsers.placements.empty());
        const BrowserBounds placed = plugins.browsers.placements.back();
        EXPECT_EQ((PixelRect{placed.left, placed.top, placed.width, placed.height}), expected.WebBrowser1);
        for (const BrowserBounds& bounds : plugins.browsers.placements) {
            EXPECT_GE(bounds.width, 0);
            EXPECT_GE(bounds.height, 0);
        }
        EXPECT_EQ(plugins.PanelEdges().front(), client.right / 2);
        if (size.cx == 1) {
            // Only a length taken as its absolute value makes the address box wider than its group.
            EXPECT_GT(expected.Text1.width, expected.frmBrowser.width);
        }
    }
}

TEST(PluginsWindow, WithoutAnEmbeddableBrowserPagesOpenInTheWebBrowser) {
    PluginsWindow plugins;
    plugins.browsers.available = false;
    frmPlugins& window = plugins.Load();
    ASSERT_TRUE(window.IsOpen());
    EXPECT_FALSE(window.ShowsPagesItself());
    EXPECT_THAT(plugins.shell.openedLinks, ElementsAre(kDownloadPage));
    EXPECT_EQ(plugins.Panel(1), std::string("Opened in your web browser: ") + kDownloadPage);
    EXPECT_EQ(plugins.Address(), kDownloadPage);
    EXPECT_EQ(plugins.Caption(), "Download Plugins");
    EXPECT_TRUE(::IsZoomed(window.Hwnd()));

    // In the browser's place, a word on where the pages go, laid out as the browser would be.
    const HWND notice = plugins.Item(IDC_frmPlugins_lblNoBrowser);
    EXPECT_TRUE(::IsWindowVisible(notice));
    EXPECT_NE(controls::Text(notice).find("open in your web browser"), std::string::npos);
    EXPECT_EQ(plugins.Item(IDC_frmPlugins_WebBrowser1), nullptr);
    const PixelRect place = RectIn(window.Hwnd(), notice);
    const PixelRect group = RectIn(window.Hwnd(), plugins.Item(IDC_frmPlugins_frmBrowser));
    EXPECT_EQ(place.Right(), RectIn(window.Hwnd(), plugins.Item(IDC_frmPlugins_Command3)).Right());
    EXPECT_LT(place.Bottom(), group.Bottom());

    for (int id : {IDC_frmPlugins_Command4, IDC_frmPlugins_Command5, IDC_frmPlugins_Command6, IDC_frmPlugins_Command7})
        EXPECT_FALSE(controls::Enabled(plugins.Item(id)));

    struct Case {
        const char* typed;
        bool enter;
        const char* opened;
    };
    const Case cases[] = {
        {"www.example.org/more", true, "http://www.example.org/more"},
        {" https://www.example.org/ ", false, "https://www.example.org/"},
        // The shell would run a program or open a file: it only ever gets a web address.
        {"C:\\windows\\system32\\calc.exe", false, "http://C:\\windows\\system32\\calc.exe"},
        {"", true, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        plugins.shell.openedLinks.clear();
        plugins.Type(c.typed);
        if (c.enter)
            plugins.PressEnterIn(IDC_frmPlugins_Text1);
        else
            Click(plugins.Item(IDC_frmPlugins_Command3));
        if (!c.opened) {
            EXPECT_THAT(plugins.shell.openedLinks, IsEmpty());
            continue;
        }
        EXPECT_THAT(plugins.shell.openedLinks, ElementsAre(c.opened));
        EXPECT_EQ(plugins.Panel(1), std::string("Opened in your web browser: ") + c.opened);
        EXPECT_EQ(plugins.Address(), c.opened);
    }
    EXPECT_THAT(plugins.browsers.calls, IsEmpty());
}

}  // namespace
}  // namespace nimbral::guitest
