#include "windows/frmPlugins.h"

#include <commctrl.h>

#include "system/WindowTexts.h"
#include "text/AnsiText.h"
#include "windows/Controls.h"
#include "windows/modIcon.h"
#include "windows/modOnTop.h"
#include "windows/resource.h"

namespace nimbral {

namespace {

struct PictureButton {
    int controlId;
    int pictureId;
    const char* tooltip;
};

constexpr PictureButton kPictureButtons[] = {
    {IDC_frmPlugins_Command3, IDI_frmPlugins_Command3, "browse the entered url"},
    {IDC_frmPlugins_Command4, IDI_frmPlugins_Command4, "back"},
    {IDC_frmPlugins_Command5, IDI_frmPlugins_Command5, "forward"},
    {IDC_frmPlugins_Command6, IDI_frmPlugins_Command6, "stop"},
    {IDC_frmPlugins_Command7, IDI_frmPlugins_Command7, "refresh"},
};

// The buttons that act on the embedded browser's own pages, with nothing to act on without one.
constexpr int kBrowserButtons[] = {IDC_frmPlugins_Command4, IDC_frmPlugins_Command5, IDC_frmPlugins_Command6,
                                   IDC_frmPlugins_Command7};

constexpr int kPanelCount = 2;

PixelRect RectIn(HWND window, HWND control) {
    RECT rect = {};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// Repainted all at once afterwards: the group's frame and the controls inside it overlap.
void Place(HWND control, const PixelRect& rect) {
    ::MoveWindow(control, rect.left, rect.top, rect.width, rect.height, FALSE);
}

}  // namespace

frmPlugins::frmPlugins(HINSTANCE instance, const Identity& identity, Shell& shell, BrowserEmbedder* browsers)
    : instance_(instance), identity_(identity), shell_(shell), browsers_(browsers) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
}

// The browser goes while the window it lives in is still whole.
frmPlugins::~frmPlugins() {
    Destroy();
}

void frmPlugins::Load() {
    if (!IsOpen()) {
        CreateModeless(instance_, IDD_frmPlugins, nullptr);
        return;
    }
    if (::IsIconic(Hwnd()))
        ::ShowWindow(Hwnd(), SW_RESTORE);
    ::SetForegroundWindow(Hwnd());
}

void frmPlugins::OnInitDialog() {
    SetWindowIcons(Hwnd(), IDI_AAA, false);
    margins_ = PluginsMarginsFor(Dpi(), Dpi());
    browserPlace_ = RectIn(Hwnd(), Control(IDC_frmPlugins_lblNoBrowser));
    SetPictures();
    if (browsers_)
        browser_ = browsers_->Embed(reinterpret_cast<WindowHandle>(Hwnd()), IDC_frmPlugins_WebBrowser1, *this);
    if (!browser_)
        UseWebBrowserInstead();

    // The status bar starts with one panel; the second tells what happens to the page.
    const int parts[kPanelCount] = {0, -1};
    ::SendMessageA(Control(IDC_frmPlugins_StatusBar1), SB_SETPARTS, kPanelCount, reinterpret_cast<LPARAM>(parts));
    // On top for a moment, so that it opens in front of every other window without staying there.
    SetOnTop(Hwnd(), true);
    Navigate(PluginDownloadPage(identity_));
    ::ShowWindow(Hwnd(), SW_MAXIMIZE);
    SetOnTop(Hwnd(), false);
    // Not before: a window that owns another (as the tooltips' window is owned by this one) cannot be
    // made topmost under Wine.
    AddTooltips();
    SetInitialFocus(IDC_frmPlugins_Text1);
}

// Each at the size drawn for the window's scale; the pictures replaced go once no button shows them.
void frmPlugins::SetPictures() {
    const int size = dpi::SystemMetric(SM_CXSMICON, Dpi());
    std::vector<win32::UniqueHicon> pictures;
    for (const PictureButton& button : kPictureButtons) {
        const HICON picture =
            static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(button.pictureId), IMAGE_ICON, size, size, 0));
        pictures.emplace_back(picture);
        ::SendMessageA(Control(button.controlId), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(picture));
    }
    pictures_ = std::move(pictures);
}

// The browser's corner moved with the controls; the margins, pictures and the rest of the layout
// follow the scale.
void frmPlugins::OnDpiChanged(int oldDpi, int newDpi) {
    browserPlace_ = {::MulDiv(browserPlace_.left, newDpi, oldDpi), ::MulDiv(browserPlace_.top, newDpi, oldDpi),
                     ::MulDiv(browserPlace_.width, newDpi, oldDpi), ::MulDiv(browserPlace_.height, newDpi, oldDpi)};
    margins_ = PluginsMarginsFor(newDpi, newDpi);
    SetPictures();
    LayOut();
}

// The tooltip window belongs to this one and goes with it.
void frmPlugins::AddTooltips() {
    const HWND tips = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                                        CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(), nullptr, instance_, nullptr);
    if (!tips)
        return;
    for (const PictureButton& button : kPictureButtons) {
        TOOLINFOA tool = {};
        // The size the common controls of every Windows version take.
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = Hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(Control(button.controlId));
        tool.lpszText = const_cast<char*>(button.tooltip);
        ::SendMessageA(tips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// Rather than an empty box where the page would be, the window says where its pages go, and leaves
// only the buttons that still mean something.
void frmPlugins::UseWebBrowserInstead() {
    ::ShowWindow(Control(IDC_frmPlugins_lblNoBrowser), SW_SHOW);
    for (int id : kBrowserButtons)
        ::EnableWindow(Control(id), FALSE);
}

void frmPlugins::Navigate(const std::string& address) {
    if (browser_) {
        // A page that cannot be fetched shows as the browser's own error page.
        browser_->Navigate(address);
        return;
    }
    const std::string webAddress = WebAddressForShell(address);
    if (webAddress.empty())
        return;
    shell_.OpenLink(webAddress);
    controls::SetText(Control(IDC_frmPlugins_Text1), webAddress);
    SetPanel(1, kOpenedElsewherePrefix + webAddress);
}

// The address as typed: the browser makes of it what a browser's address bar would. Blank text is no
// address at all.
void frmPlugins::OnBrowse() {
    const std::string typed = controls::Text(Control(IDC_frmPlugins_Text1));
    if (!Trim(typed).empty())
        Navigate(typed);
}

void frmPlugins::OnOk() {
    if (::GetFocus() == Control(IDC_frmPlugins_Text1))
        OnBrowse();
}

void frmPlugins::OnCommand(int controlId, int notification) {
    if (notification != BN_CLICKED)
        return;
    // Going back with nothing to go back to, and the like, is no error to the user: the browser stays
    // where it is.
    switch (controlId) {
        case IDC_frmPlugins_Command3:
            OnBrowse();
            return;
        case IDC_frmPlugins_Command4:
            if (browser_)
                browser_->GoBack();
            return;
        case IDC_frmPlugins_Command5:
            if (browser_)
                browser_->GoForward();
            return;
        case IDC_frmPlugins_Command6:
            if (browser_)
                browser_->Stop();
            return;
        case IDC_frmPlugins_Command7:
            if (browser_)
                browser_->Refresh();
            return;
    }
}

void frmPlugins::StatusTextChange(const std::string& text) {
    SetPanel(0, text);
}

// The browser may report while it is still being embedded, before this window holds it to ask where
// it is.
void frmPlugins::DownloadBegin() {
    if (browser_)
        SetPanel(1, kOpeningPrefix + browser_->LocationURL());
}

// The address box shows where the browser ended up, after any redirection.
void frmPlugins::DownloadComplete() {
    if (!browser_)
        return;
    const std::string location = browser_->LocationURL();
    SetPanel(1, kCompletedPrefix + location);
    controls::SetText(Control(IDC_frmPlugins_Text1), location);
    controls::SetText(Hwnd(), browser_->LocationName());
}

void frmPlugins::SetPanel(int panel, const std::string& text) {
    ::SendMessageA(Control(IDC_frmPlugins_StatusBar1), SB_SETTEXTA, static_cast<WPARAM>(panel),
                   reinterpret_cast<LPARAM>(text.c_str()));
}

void frmPlugins::LayOut() {
    const HWND statusBar = Control(IDC_frmPlugins_StatusBar1);
    // The status bar keeps itself along the bottom edge when told of the new size.
    ::SendMessageA(statusBar, WM_SIZE, 0, 0);
    RECT client = {};
    ::GetClientRect(Hwnd(), &client);

    PluginsWindowNow now;
    now.clientWidth = client.right;
    now.clientHeight = client.bottom;
    now.statusBarHeight = RectIn(Hwnd(), statusBar).height;
    now.frmBrowser = RectIn(Hwnd(), Control(IDC_frmPlugins_frmBrowser));
    now.Text1 = RectIn(Hwnd(), Control(IDC_frmPlugins_Text1));
    now.Command3 = RectIn(Hwnd(), Control(IDC_frmPlugins_Command3));
    now.WebBrowser1 = browserPlace_;
    const PluginsLayout layout = LayOutPlugins(now, margins_);

    Place(Control(IDC_frmPlugins_frmBrowser), layout.frmBrowser);
    Place(Control(IDC_frmPlugins_Text1), layout.Text1);
    Place(Control(IDC_frmPlugins_Command3), layout.Command3);
    browserPlace_ = layout.WebBrowser1;
    if (browser_) {
        browser_->Place({browserPlace_.left, browserPlace_.top, browserPlace_.width, browserPlace_.height});
    } else {
        Place(Control(IDC_frmPlugins_lblNoBrowser), browserPlace_);
    }
    const int parts[kPanelCount] = {layout.panelWidth, -1};
    ::SendMessageA(statusBar, SB_SETPARTS, kPanelCount, reinterpret_cast<LPARAM>(parts));
    ::RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

std::optional<INT_PTR> frmPlugins::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED)
                LayOut();
            return TRUE;
        case WM_CLOSE:
            Destroy();
            return TRUE;
        case WM_DESTROY:
            browser_.reset();
            for (const PictureButton& button : kPictureButtons)
                ::SendMessageA(Control(button.controlId), BM_SETIMAGE, IMAGE_ICON, 0);
            pictures_.clear();
            break;
    }
    return std::nullopt;
}

}  // namespace nimbral
