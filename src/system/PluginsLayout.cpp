#include "system/PluginsLayout.h"

#include <cstdlib>

namespace nimbral {

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kGroupRightTwips = 300;
constexpr int kGapTwips = 100;
constexpr int kBelowBrowserTwips = 800;

// To the nearest pixel.
int TwipsToPixels(int twips, int dpi) {
    return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

}  // namespace

PluginsMargins PluginsMarginsFor(int dpiX, int dpiY) {
    return {TwipsToPixels(kGroupRightTwips, dpiX), TwipsToPixels(kGapTwips, dpiX),
            TwipsToPixels(kBelowBrowserTwips, dpiY)};
}

PluginsLayout LayOutPlugins(const PluginsWindowNow& now, const PluginsMargins& margins) {
    PluginsLayout layout;

    layout.frmBrowser = now.frmBrowser;
    layout.frmBrowser.width = std::abs(now.clientWidth - margins.groupRight);
    layout.frmBrowser.height = std::abs(now.clientHeight - now.statusBarHeight);

    // The address box's and the browser's own edges count from the group's, as they sit inside it.
    const int text1Left = now.Text1.left - now.frmBrowser.left;
    layout.Text1 = now.Text1;
    layout.Text1.width = std::abs(layout.frmBrowser.width - text1Left - now.Command3.width - 2 * margins.gap);
    layout.Command3 = now.Command3;
    layout.Command3.left = layout.Text1.Right() + margins.gap;

    const int browserLeft = now.WebBrowser1.left - now.frmBrowser.left;
    const int browserTop = now.WebBrowser1.top - now.frmBrowser.top;
    layout.WebBrowser1 = now.WebBrowser1;
    layout.WebBrowser1.width = std::abs(layout.frmBrowser.width - browserLeft - margins.gap);
    layout.WebBrowser1.height =
        std::abs(layout.frmBrowser.height - browserTop - margins.belowBrowser - now.statusBarHeight);

    layout.panelWidth = std::abs(now.clientWidth) / 2;
    return layout;
}

}  // namespace nimbral
