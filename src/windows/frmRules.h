#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "windows/WindowBase.h"

namespace nimbral {

// The community rules report: what the rule file holds, what of it is listed on this machine, and
// every entry and key left out, with the reason, so a user can see what was refused and why.
class frmRules final : public WindowBase {
  public:
    // Loads the window hidden, showing the report's lines.
    frmRules(HINSTANCE instance, HWND owner, std::vector<std::string> report);

    void Show();

  private:
    void OnInitDialog() override;

    std::vector<std::string> report_;
};

}  // namespace nimbral
