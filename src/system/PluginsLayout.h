#pragma once

// Where the plugin download window puts its controls whenever its size changes. The window's fixed
// lengths are given in twips; they become pixels once, here, for the screen's resolution. A length
// that comes out negative (a window made smaller than its margins) is taken as its absolute value, so
// no control is ever given a negative size.

namespace nimbral {

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
    bool operator==(const PixelRect&) const = default;
};

// The fixed lengths, in pixels.
struct PluginsMargins {
    int groupRight;    // what the group leaves of the window's width: 300 twips
    int gap;           // between controls and inside the group's right edge: 100 twips
    int belowBrowser;  // between the browser and the group's bottom, besides the status bar: 800 twips

    bool operator==(const PluginsMargins&) const = default;
};

// `dpiX` and `dpiY`: the screen's pixels per inch across and down (1440 twips make an inch).
PluginsMargins PluginsMarginsFor(int dpiX, int dpiY);

// The window as it is now, in client-area pixels. Only the lengths the layout does not set are read:
// the positions of the group, of Text1 and of the browser, and the width of Command3.
struct PluginsWindowNow {
    int clientWidth = 0;
    int clientHeight = 0;
    int statusBarHeight = 0;
    PixelRect frmBrowser;
    PixelRect Text1;
    PixelRect Command3;
    PixelRect WebBrowser1;
};

struct PluginsLayout {
    PixelRect frmBrowser;
    PixelRect Text1;
    PixelRect Command3;
    PixelRect WebBrowser1;
    int panelWidth = 0;  // each of the status bar's two panels
};

// The group fills the window but for the margin on its right and the status bar below it. The
// address box stretches so that Command3, one gap after it, ends one gap inside the group's right
// edge, where the browser ends too. The browser fills the group below its own top but for one gap on
// the right and the margin below it.
PluginsLayout LayOutPlugins(const PluginsWindowNow& now, const PluginsMargins& margins);

}  // namespace nimbral
