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
// Lines go into the log and the bar moves as they come, but both are drawn at most this often:
// drawing the list for each line, or the bar for each file, costs milliseconds under some systems,
// more than the step's own work for that line or file. The user sees them move ten times a second.
constexpr DWORD kShowIntervalMs = 100;

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
    // Asked of the system once: looking a control up by its id costs a round trip on some systems.
    log_ = Control(IDC_frmResults_lstStatus);
    bar_ = Control(IDC_frmResults_ProgressBar1);
    status_ = Control(IDC_frmResults_lblStatus);
    SetWindowIcons(Hwnd(), IDI_AAA, false);
    // Until the run is over the title bar's X is as unavailable as the close button.
    ::EnableMenuItem(::GetSystemMenu(Hwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    measure_.reset(::CreateCompatibleDC(nullptr));
    MeasureInTheLogsFont();
    ShowProgressRange();
}

void frmResults::MeasureInTheLogsFont() {
    measureFont_.reset();
    const auto font = reinterpret_cast<HFONT>(::SendMessageA(log_, WM_GETFONT, 0, 0));
    if (measure_ && font)
        measureFont_ = win32::SelectObjectRestorer(measure_.get(), font);
}

// The lines are as much wider as the log's font grew.
void frmResults::OnDpiChanged(int oldDpi, int newDpi) {
    MeasureInTheLogsFont();
    widestLine_ = ::MulDiv(widestLine_, newDpi, oldDpi);
    ::SendMessageA(log_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widestLine_), 0);
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
    if (!logHeld_) {
        ::SendMessageA(log_, WM_SETREDRAW, FALSE, 0);
        logHeld_ = true;
    }
    const LRESULT index = ::SendMessageA(log_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    if (index < 0)
        return;
    lastLine_ = index;
    WidenLogFor(line);
    ProcessPendingMessages();
}

// Draws what the log received since it was last drawn, scrolled as far as it goes (which brings the
// last line into view), and the bar where the run has taken it.
void frmResults::ShowPending() {
    if (!IsOpen())
        return;
    if (logHeld_) {
        // Scrolled while it is not drawn, so it is drawn once, where it ends up.
        ::SendMessageA(log_, LB_SETTOPINDEX, static_cast<WPARAM>(lastLine_), 0);
        ::SendMessageA(log_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(log_, nullptr, TRUE);
        logHeld_ = false;
    }
    if (barHeld_)
        ShowProgressValue();
}

// A list box scrolls sideways only as far as it is told its lines reach.
void frmResults::WidenLogFor(const std::string& line) {
    SIZE size = {};
    if (!measure_ || !::GetTextExtentPoint32A(measure_.get(), line.c_str(), static_cast<int>(line.size()), &size))
        return;
    if (size.cx + kLineMargin <= widestLine_)
        return;
    widestLine_ = size.cx + kLineMargin;
    ::SendMessageA(log_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widestLine_), 0);
}

void frmResults::SetStatus(const std::string& text) {
    if (!IsOpen())
        return;
    // The log shows what the step before wrote by the time the status names the next one.
    ShowPending();
    ::SetWindowTextA(status_, text.c_str());
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
    barHeld_ = true;
}

// The bar never has an empty range, and a maximum too large for thousandths to fit the control's
// whole numbers is shown in coarser steps, so a full bar still means the run reached its maximum.
void frmResults::ShowProgressRange() {
    const double maximum = std::isfinite(progressMax_) && progressMax_ > 0 ? progressMax_ : 0.0;
    progressScale_ = maximum * kProgressUnitsPerStep <= INT_MAX ? kProgressUnitsPerStep : INT_MAX / maximum;
    progressTop_ = static_cast<int>(std::clamp(std::round(maximum * progressScale_), 1.0, double{INT_MAX}));
    if (!IsOpen())
        return;
    ::SendMessageA(bar_, PBM_SETRANGE32, 0, progressTop_);
    ShowProgressValue();
}

void frmResults::ShowProgressValue() {
    if (!IsOpen())
        return;
    barHeld_ = false;
    const double units = progressValue_ > 0 ? progressValue_ * progressScale_ : 0.0;
    const double position = std::min(std::round(units), static_cast<double>(progressTop_));
    ::SendMessageA(bar_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void frmResults::ProcessPendingMessages() {
    const DWORD now = tickSource_();
    if (lastPump_ && now - *lastPump_ < kPumpIntervalMs)
        return;
    lastPump_ = now;
    if ((logHeld_ || barHeld_) && (!lastShown_ || now - *lastShown_ >= kShowIntervalMs)) {
        // What waits is answered before the log is drawn, and again after: under Wine turning the
        // log's drawing back on takes 5 to 15 ms and painting it about 10, and the two together with
        // the work before would keep the window from answering for longer than a user can tell.
        nimbral::ProcessPendingMessages();
        ShowPending();
        lastShown_ = now;
    }
    nimbral::ProcessPendingMessages();
}

bool frmResults::ConfirmOkCancel(const std::string& title, const std::string& text) {
    // The question comes with everything written so far in view.
    ShowPending();
    return confirm_(Hwnd(), title, text);
}

void frmResults::EnableClose() {
    if (!IsOpen())
        return;
    ShowPending();
    ::EnableWindow(Control(IDC_frmResults_cmdClose), TRUE);
    ::EnableMenuItem(::GetSystemMenu(Hwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
}

void frmResults::SetConfirm(ConfirmFunction confirm) {
    confirm_ = confirm ? std::move(confirm) : AskWithMessageBox;
}

void frmResults::SetTickSource(TickSource tickSource) {
    tickSource_ = tickSource ? std::move(tickSource) : ::GetTickCount;
    lastPump_.reset();
    lastShown_.reset();
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
