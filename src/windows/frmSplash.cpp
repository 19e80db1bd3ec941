#include "windows/frmSplash.h"

#include "windows/Controls.h"
#include "windows/resource.h"

namespace nimbral {

namespace {

constexpr char kPromotion[] =
    "Sweeps away what browsing and everyday work leave behind: cookies, history, typed addresses, "
    "temporary files and more, while the sites you trust keep theirs.";

// Room under the picture for two lines of text.
constexpr int kTextMargin = 8;
constexpr int kTextHeight = 34;

}  // namespace

frmSplash::frmSplash(HINSTANCE instance, std::function<void()> showMainWindow)
    : showMainWindow_(std::move(showMainWindow)) {
    CreateModeless(instance, IDD_frmSplash, nullptr);
}

void frmSplash::OnInitDialog() {
    controls::SetText(Control(IDC_frmSplash_Label3), kPromotion);
    FitToPicture();
    ::SetTimer(Hwnd(), IDC_frmSplash_Timer2, kTimer2Interval, nullptr);
}

// The picture keeps its own size in pixels; the window and the text follow it.
void frmSplash::FitToPicture() {
    RECT picture = {};
    ::GetWindowRect(Control(IDC_frmSplash_Image1), &picture);
    const int width = picture.right - picture.left;
    const int height = picture.bottom - picture.top;
    if (width <= 0 || height <= 0)
        return;
    ::SetWindowPos(Control(IDC_frmSplash_Label3), nullptr, kTextMargin, height + kTextMargin / 2,
                   width - 2 * kTextMargin, kTextHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT frame = {0, 0, width, height + kTextMargin / 2 + kTextHeight + kTextMargin / 2};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongA(Hwnd(), GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(Hwnd(), GWL_EXSTYLE)));
    const int frameWidth = frame.right - frame.left;
    const int frameHeight = frame.bottom - frame.top;
    ::SetWindowPos(Hwnd(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - frameWidth) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - frameHeight) / 2, frameWidth, frameHeight,
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
