#include "windows/frmRules.h"

#include "windows/Controls.h"
#include "windows/modIcon.h"
#include "windows/resource.h"

namespace nimbral {

frmRules::frmRules(HINSTANCE instance, HWND owner, std::vector<std::string> report) : report_(std::move(report)) {
    CreateModeless(instance, IDD_frmRules, owner);
}

void frmRules::OnInitDialog() {
    SetWindowIcons(Hwnd(), IDI_AAA, false);
    std::string text;
    for (const std::string& line : report_)
        text += line + "\r\n";
    const HWND box = Control(IDC_frmRules_txtReport);
    // A report of a whole release is longer than an edit box holds by default.
    ::SendMessageA(box, EM_SETLIMITTEXT, 0, 0);
    controls::SetText(box, text);
    SetInitialFocus(IDOK);
}

void frmRules::Show() {
    if (IsOpen())
        ::ShowWindow(Hwnd(), SW_SHOW);
}

}  // namespace nimbral
