#include <gtest/gtest.h>

#include "system/PluginsLayout.h"

namespace nimbral {
namespace {

TEST(PluginsLayout, TwipsBecomeThePixelsOfTheScreensResolution) {
    struct Case {
        int dpiX;
        int dpiY;
        PluginsMargins margins;
    };
    const Case cases[] = {
        {96, 96, {20, 7, 53}},
        {120, 120, {25, 8, 67}},
        {144, 144, {30, 10, 80}},
        // Across and down each with its own resolution.
        {96, 192, {20, 7, 107}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dpiX << " x " << c.dpiY);
        EXPECT_EQ(PluginsMarginsFor(c.dpiX, c.dpiY), c.margins);
    }
}

// The window as its template lays it out at 96 pixels per inch, in a client area of the given size.
PluginsWindowNow Window(int width, int height) {
    PluginsWindowNow now;
    now.clientWidth = width;
    now.clientHeight = height;
    now.statusBarHeight = 20;
    now.frmBrowser = {7, 0, 300, 200};
    now.Text1 = {120, 14, 100, 20};
    now.Command3 = {230, 13, 24, 22};
    now.WebBrowser1 = {13, 40, 280, 100};
    return now;
}

constexpr PluginsMargins k96Dpi = {20, 7, 53};

TEST(PluginsLayout, GroupAddressBoxAndBrowserFollowTheWindow) {
    const PluginsLayout layout = LayOutPlugins(Window(800, 600), k96Dpi);
    EXPECT_EQ(layout.frmBrowser, (PixelRect{7, 0, 780, 580}));
    EXPECT_EQ(layout.Text1, (PixelRect{120, 14, 629, 20}));
    EXPECT_EQ(layout.Command3, (PixelRect{756, 13, 24, 22}));
    EXPECT_EQ(layout.WebBrowser1, (PixelRect{13, 40, 767, 467}));
    EXPECT_EQ(layout.panelWidth, 400);
}

// Command3 sits one gap after the address box and ends one gap inside the group, level with the
// browser's right edge, at any size that leaves room for them.
TEST(PluginsLayout, Command3EndsInsideTheGroupWhereTheBrowserEnds) {
    for (int width : {300, 641, 1024, 1920}) {
        SCOPED_TRACE(width);
        const PluginsLayout layout = LayOutPlugins(Window(width, 480), k96Dpi);
        EXPECT_EQ(layout.Command3.left, layout.Text1.Right() + k96Dpi.gap);
        EXPECT_EQ(layout.Command3.Right(), layout.frmBrowser.Right() - k96Dpi.gap);
        EXPECT_EQ(layout.Command3.Right(), layout.WebBrowser1.Right());
    }
}

TEST(PluginsLayout, WindowSmallerThanItsMarginsGivesAbsoluteLengths) {
    struct Case {
        int width;
        int height;
        PixelRect frmBrowser;
        PixelRect Text1;
        PixelRect Command3;
        PixelRect WebBrowser1;
        int panelWidth;
    };
    const Case cases[] = {
        {100, 50, {7, 0, 80, 30}, {120, 14, 71, 20}, {198, 13, 24, 22}, {13, 40, 67, 83}, 50},
        // Narrower than the group's margin and lower than the status bar.
        {10, 5, {7, 0, 10, 15}, {120, 14, 141, 20}, {268, 13, 24, 22}, {13, 40, 3, 98}, 5},
        {0, 0, {7, 0, 20, 20}, {120, 14, 131, 20}, {258, 13, 24, 22}, {13, 40, 7, 93}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const PluginsLayout layout = LayOutPlugins(Window(c.width, c.height), k96Dpi);
        EXPECT_EQ(layout.frmBrowser, c.frmBrowser);
        EXPECT_EQ(layout.Text1, c.Text1);
        EXPECT_EQ(layout.Command3, c.Command3);
        EXPECT_EQ(layout.WebBrowser1, c.WebBrowser1);
        EXPECT_EQ(layout.panelWidth, c.panelWidth);
    }
}

}  // namespace
}  // namespace nimbral
