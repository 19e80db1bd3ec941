#include "windows/frmSplash.h"

#include <algorithm>
#include <string>

#include "windows/Controls.h"
#include "windows/resource.h"

namespace nimbral {

namespace {

constexpr char kPromotion[] =
    "Sweeps away what browsing and everyday work leave behind: cookies, history, typed addresses, "
    "temporary files and more, while the sites you trust keep theirs.";

// Room under the picture for at least two lines of text, in pixels at 96 dots per inch.
constexpr int kTextMargin = 8;
constexpr int kTextHeight = 34;

// The height the text takes at that width in the label's font, as the label wraps it.
int TextHeight(HWND label, int width) {
    const std::string text = controls::Text(label);
    const HDC dc = ::GetDC(label);
    if (!dc)
        return 0;
    const HGDIOBJ before = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(label, WM_GETFONT, 0, 0)));
    RECT room = {0, 0, width, 0};
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &room,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    ::SelectObject(dc, before);
    ::ReleaseDC(label, dc);
    return room.bottom;
}

}  // namespace

frmSplash::frmSplash(HINSTANCE instance, std::function<void()> showMainWindow)
    : instance_(instance), showMainWindow_(std::move(showMainWindow)) {
    CreateModeless(instance, IDD_frmSplash, nullptr);
}

void frmSplash::OnInitDialog() {
    controls::SetText(Control(IDC_frmSplash_Label3), kPromotion);
    ShowPicture();
    FitToPicture({::GetSystemMetrics(SM_CXSCREEN) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2});
    ::SetTimer(Hwnd(), IDC_frmSplash_Timer2, kTimer2Interval, nullptr);
}

// Where the window was, at its new size.
void frmSplash::OnDpiChanged(int, int) {
    RECT now = {};
    ::GetWindowRect(Hwnd(), &now);
    ShowPicture();
    FitToPicture({(now.left + now.right) / 2, (now.top + now.bottom) / 2});
}

void frmSplash::ShowPicture() {
    dpi::ShowPicture(Control(IDC_frmSplash_Image1), instance_, IDB_frmSplash_Image1, IDB_frmSplash_Image1_144, Dpi(),
                     picture_);
}

// The picture keeps its own size in pixels; the window and the text follow it.
void frmSplash::FitToPicture(POINT centre) {
    RECT picture = {};
    ::GetWindowRect(Control(IDC_frmSplash_Image1), &picture);
    const int width = picture.right - picture.left;
    const int height = picture.bottom - picture.top;
    if (width <= 0 || height <= 0)
        return;
    const int margin = dpi::Scaled(kTextMargin, Dpi());
    const HWND label = Control(IDC_frmSplash_Label3);
    const int textHeight = std::max(dpi::Scaled(kTextHeight, Dpi()), TextHeight(label, width - 2 * margin));
    ::SetWindowPos(Control(IDC_frmSplash_Image1), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(label, nullptr, margin, height + margin / 2, width - 2 * margin, textHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    RECT frame = {0, 0, width, height + margin / 2 + textHeight + margin / 2};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongA(Hwnd(), GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(Hwnd(), GWL_EXSTYLE)));
    const int frameWidth = frame.right - frame.left;
    const int frameHeight = frame.bottom - frame.top;
    ::SetWindowPos(Hwnd(), nullptr, centre.x - frameWidth / 2, centre.y - frameHeight / 2, frameWidth, frameHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmSplash::Show() {
    if (IsOpen())
        ::ShowWindow(Hwnd(), SW_SHOW);
}

std::optional<INT_PTR> frmSplash::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == IDC_frmSplash_Timer2) {
        OnTimer2();
        return TRUE;
    }
    if (message == WM_DESTROY)
        dpi::TakeBackPicture(Control(IDC_frmSplash_Image1), picture_);
    return std::nullopt;
}

void frmSplash::OnTimer2() {
    const std::int16_t before = intTemp_;
    intTemp_ = static_cast<std::int16_t>(intTemp_ + 2);
    if (before != 148)
        return;
    ::KillTimer(Hwnd(), IDC_frmSplash_Timer2);
    if (showMainWindow_)
        showMainWindow_();
    ::ShowWindow(Hwnd(), SW_HIDE);
}

}  // namespace nimbral
