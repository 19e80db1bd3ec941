#pragma once

#include <windows.h>

#include "settings/SettingsStore.h"
#include "system/modRebrand.h"
#include "windows/MessageBoxes.h"
#include "windows/WindowBase.h"

namespace nimbral {

// The password prompt, the program's first window. Its load loads the settings; with password
// protection off it closes again before it is ever shown. With protection on it waits for the
// stored password, however many tries that takes; Cancel, Escape and the title bar's X give up.
class frmPass final : public WindowBase {
  public:
    frmPass(HINSTANCE instance, const Identity& identity, SettingsStore& settings, MessageBoxes& messages);

    // Loads the prompt and waits while it is up. Answers `opened`.
    bool Run(HWND owner);

    // True once protection was found off or the right password was given: the program may open.
    bool opened = false;

  private:
    void OnInitDialog() override;
    void OnCommand(int controlId, int notification) override;
    void OnOk() override { OnOkClicked(); }

    void OnOkClicked();

    HINSTANCE instance_;
    const Identity& identity_;
    SettingsStore& settings_;
    MessageBoxes& messages_;
};

}  // namespace nimbral
