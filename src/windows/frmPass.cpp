#include "windows/frmPass.h"

#include "system/WindowTexts.h"
#include "windows/Controls.h"
#include "windows/modIcon.h"
#include "windows/resource.h"

namespace nimbral {

frmPass::frmPass(HINSTANCE instance, const Identity& identity, SettingsStore& settings, MessageBoxes& messages)
    : instance_(instance), identity_(identity), settings_(settings), messages_(messages) {}

bool frmPass::Run(HWND owner) {
    opened = false;
    RunModal(instance_, IDD_frmPass, owner);
    return opened;
}

void frmPass::OnInitDialog() {
    SetWindowIcons(Hwnd(), IDI_AAA, false);
    controls::SetText(Hwnd(), identity_.productName);
    settings_.LoadSettings();
    if (settings_.Current().ipa == 0) {
        opened = true;
        EndModal(IDOK);
    }
}

void frmPass::OnCommand(int controlId, int notification) {
    if (notification != BN_CLICKED)
        return;
    if (controlId == IDC_frmPass_Command1)
        OnOkClicked();
    else if (controlId == IDC_frmPass_Command2)
        EndModal(IDCANCEL);
}

// Letter by letter, letter case included; a wrong try leaves the text as typed.
void frmPass::OnOkClicked() {
    if (controls::Text(Control(IDC_frmPass_Text1)) == settings_.Current().pas) {
        opened = true;
        EndModal(IDOK);
        return;
    }
    messages_.Notice(Hwnd(), kWrongPassword, identity_.productName);
}

}  // namespace nimbral
