#include "windows/frmRulesUpdate.h"

#include <commctrl.h>

#include "rules/RuleFile.h"
#include "windows/Controls.h"
#include "windows/MessageLoop.h"
#include "windows/modIcon.h"
#include "windows/resource.h"

namespace nimbral {

namespace {

// Posted by the load, so that the window is up before the download starts.
constexpr UINT kStartDownload = WM_APP + 1;
constexpr int kProgressSteps = 1000;

}  // namespace

frmRulesUpdate::frmRulesUpdate(HINSTANCE instance, RulesParts parts, std::string url, std::string path)
    : instance_(instance), parts_(parts), url_(std::move(url)), path_(std::move(path)) {
    INITCOMMONCONTROLSEX common = {sizeof common, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&common);
}

RuleUpdateOutcome frmRulesUpdate::Run(HWND owner) {
    cancelled_ = false;
    outcome_ = {};
    if (RunModal(instance_, IDD_frmRulesUpdate, owner) == -1)
        outcome_.message = "The community rules were not updated: the window could not be shown.";
    return outcome_;
}

void frmRulesUpdate::OnInitDialog() {
    SetWindowIcons(Hwnd(), IDI_AAA, false);
    controls::SetText(Control(IDC_frmRulesUpdate_lblStatus), "Downloading " + url_);
    ::SendMessageA(Control(IDC_frmRulesUpdate_ProgressBar1), PBM_SETRANGE32, 0, kProgressSteps);
    ::PostMessageA(Hwnd(), kStartDownload, 0, 0);
}

void frmRulesUpdate::OnCommand(int controlId, int notification) {
    if (controlId == IDC_frmRulesUpdate_cmdCancel && notification == BN_CLICKED)
        cancelled_ = true;
}

std::optional<INT_PTR> frmRulesUpdate::OnMessage(UINT message, WPARAM, LPARAM) {
    switch (message) {
        case kStartDownload:
            // The dialog would show itself only once its queue ran dry, which is after the download.
            ::ShowWindow(Hwnd(), SW_SHOW);
            ::UpdateWindow(Hwnd());
            Download();
            EndModal(IDOK);
            return TRUE;
        case WM_CLOSE:
            cancelled_ = true;
            return TRUE;
    }
    return std::nullopt;
}

void frmRulesUpdate::Download() {
    // The window's keys (Escape among them) reach it while the download pumps the messages itself.
    ModelessWindows::Add(Hwnd());
    outcome_ = UpdateCommunityRules(
        parts_.web, parts_.replacer, url_, path_,
        [this](std::uint64_t received, std::uint64_t total) { return OnProgress(received, total); });
    ModelessWindows::Remove(Hwnd());
}

bool frmRulesUpdate::OnProgress(std::uint64_t received, std::uint64_t total) {
    // Without an announced size the bar measures against the largest file taken.
    const std::uint64_t whole = total != 0 ? total : kMaxRuleFileBytes;
    const auto position = static_cast<WPARAM>(std::min<std::uint64_t>(received, whole) * kProgressSteps / whole);
    ::SendMessageA(Control(IDC_frmRulesUpdate_ProgressBar1), PBM_SETPOS, position, 0);
    // A request to end the program ends the download too; the request stays for the main loop.
    if (!nimbral::ProcessPendingMessages())
        cancelled_ = true;
    return !cancelled_;
}

}  // namespace nimbral
