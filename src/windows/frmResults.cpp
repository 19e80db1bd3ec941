#include "windows/frmResults.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cmath>

#include "text/AnsiText.h"
#include "windows/modIcon.h"
#include "windows/resource.h"

namespace nimbral {
namespace {

// Pumping on every item of a run over a huge cache would cost more than the items themselves; this
// often is enough for the window to repaint and answer input, and leaves room for one slow call
// between two pumps within the 50 ms a user does not notice.
constexpr DWORD kPumpIntervalMs = 5;

// The control counts in whole numbers and the run in fractions (a range may start at 0.001):
// thousandths keep those apart.
constexpr double kProgressUnitsPerStep = 1000;

// The list box draws each line a little way in from its left edge.
constexpr int kLineMargin = 4;

bool AskWithMessageBox(HWND owner, const std::string& title, const std::string& text) {
    return ::MessageBoxA(owner, text.c_str(), title.c_str(), MB_OKCANCEL) == IDOK;
}

}  // namespace

frmResults::frmResults(HINSTANCE instance, HWND owner, std::function<void()> onClose, FileSystem* fileSystem)
    : onClose_(std::move(onClose)), confirm_(AskWithMessageBox), tickSource_(::GetTickCount) {
    if (fileSystem)
        file1_.emplace(*fileSystem);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    CreateModeless(instance, IDD_frmResults, owner);
}

void frmResults::OnInitDialog() {
    SetWindowIcons(Hwnd(), IDI_AAA, false);
    // Until the run is over the title bar's X is as unavailable as the close button.
    ::EnableMenuItem(::GetSystemMenu(Hwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    measure_.reset(::CreateCompatibleDC(nullptr));
    const auto font = reinterpret_cast<HFONT>(::SendMessageA(Control(IDC_frmResults_lstStatus), WM_GETFONT, 0, 0));
    if (measure_ && font)
        measureFont_ = win32::SelectObjectRestorer(measure_.get(), font);
    ShowProgressRange();
}

void frmResults::Show() {
    if (IsOpen())
        ::ShowWindow(Hwnd(), SW_SHOW);
}

void frmResults::AppendLine(const std::string& text) {
    if (!IsOpen())
        return;
    // A control character inside a line (a setting's, a name's) is shown, never obeyed.
    const std::string line = PrintableText(text);
    const HWND log = Control(IDC_frmResults_lstStatus);
    const LRESULT index = ::SendMessageA(log, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    if (index < 0)
        return;
    WidenLogFor(line);
    // Scrolls as far as the list goes, which brings the last line into view.
    ::SendMessageA(log, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    // Each line redraws the list's scroll bars at once, which under some themes costs milliseconds,
    // and a step may write several lines in a row: the window answers between them.
    ProcessPendingMessages();
}

// A list box scrolls sideways only as far as it is told its lines reach.
void frmResults::WidenLogFor(const std::string& line) {
    SIZE size = {};
    if (!measure_ || !::GetTextExtentPoint32A(measure_.get(), line.c_str(), static_cast<int>(line.size()), &size))
        return;
    if (size.cx + kLineMargin <= widestLine_)
        return;
    widestLine_ = size.cx + kLineMargin;
    ::SendMessageA(Control(IDC_frmResults_lstStatus), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widestLine_), 0);
}

void frmResults::SetStatus(const std::string& text) {
    if (IsOpen())
        ::SetWindowTextA(Control(IDC_frmResults_lblStatus), text.c_str());
}

void frmResults::SetProgressMax(float maximum) {
    progressMax_ = maximum;
    ShowProgressRange();
}

float frmResults::ProgressMax() const {
    return progressMax_;
}

void frmResults::SetProgressValue(float value) {
    progressValue_ = value;
    ShowProgressValue();
}

// The bar never has an empty range, and a maximum too large for thousandths to fit the control's
// whole numbers is shown in coarser steps, so a full bar still means the run reached its maximum.
void frmResults::ShowProgressRange() {
    const double maximum = std::isfinite(progressMax_) && progressMax_ > 0 ? progressMax_ : 0.0;
    progressScale_ = maximum * kProgressUnitsPerStep <= INT_MAX ? kProgressUnitsPerStep : INT_MAX / maximum;
    progressTop_ = static_cast<int>(std::clamp(std::round(maximum * progressScale_), 1.0, double{INT_MAX}));
    if (!IsOpen())
        return;
    ::SendMessageA(Control(IDC_frmResults_ProgressBar1), PBM_SETRANGE32, 0, progressTop_);
    ShowProgressValue();
}

void frmResults::ShowProgressValue() {
    if (!IsOpen())
        return;
    const double units = progressValue_ > 0 ? progressValue_ * progressScale_ : 0.0;
    const double position = std::min(std::round(units), static_cast<double>(progressTop_));
    ::SendMessageA(Control(IDC_frmResults_ProgressBar1), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void frmResults::ProcessPendingMessages() {
    const DWORD now = tickSource_();
    if (lastPump_ && now - *lastPump_ < kPumpIntervalMs)
        return;
    lastPump_ = now;
    nimbral::ProcessPendingMessages();
}

bool frmResults::ConfirmOkCancel(const std::string& title, const std::string& text) {
    return confirm_(Hwnd(), title, text);
}

void frmResults::EnableClose() {
    if (!IsOpen())
        return;
    ::EnableWindow(Control(IDC_frmResults_cmdClose), TRUE);
    ::EnableMenuItem(::GetSystemMenu(Hwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
}

void frmResults::SetConfirm(ConfirmFunction confirm) {
    confirm_ = confirm ? std::move(confirm) : AskWithMessageBox;
}

void frmResults::SetTickSource(TickSource tickSource) {
    tickSource_ = tickSource ? std::move(tickSource) : ::GetTickCount;
    lastPump_.reset();
}

void frmResults::OnCommand(int controlId, int notification) {
    switch (controlId) {
        case IDC_frmResults_cmdClose:
            if (notification == BN_CLICKED)
                OnCloseClicked();
            break;
    }
}

std::optional<INT_PTR> frmResults::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            OnCloseClicked();
            return TRUE;
        case WM_DESTROY:
            // The dialog deletes its font as it goes, which must not still be selected here.
            measureFont_.reset();
            measure_.reset();
            break;
    }
    return std::nullopt;
}

// The close button's state is the run's: disabled, the run is still under way, whatever asked for the
// window to close.
void frmResults::OnCloseClicked() {
    if (!::IsWindowEnabled(Control(IDC_frmResults_cmdClose)))
        return;
    if (onClose_)
        onClose_();
    Destroy();
}

}  // namespace nimbral
