#pragma once

#include <windows.h>

#include <string>

#include "platform/WebDownload.h"
#include "rules/CommunityRules.h"
#include "rules/RuleUpdate.h"
#include "windows/WindowBase.h"

namespace nimbral {

// What the community rules' windows work with, owned by the program.
struct RulesParts {
    CommunityRules& rules;
    WebDownload& web;
    FileReplacer& replacer;
};

// The update of the community rules while it downloads: where from, a progress bar and Cancel. The
// download runs inside the window, which keeps answering between its pieces; Cancel (or Escape, or
// the title bar's X) stops it and keeps the old file.
class frmRulesUpdate final : public WindowBase {
  public:
    frmRulesUpdate(HINSTANCE instance, RulesParts parts, std::string url, std::string path);

    // Shows the window modal over owner until the download is over; answers what came of it.
    RuleUpdateOutcome Run(HWND owner);

  private:
    void OnInitDialog() override;
    void OnCommand(int controlId, int notification) override;
    void OnOk() override {}
    void OnCancel() override { cancelled_ = true; }
    std::optional<INT_PTR> OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    void Download();
    bool OnProgress(std::uint64_t received, std::uint64_t total);

    HINSTANCE instance_;
    RulesParts parts_;
    std::string url_;
    std::string path_;
    bool cancelled_ = false;
    RuleUpdateOutcome outcome_;
};

}  // namespace nimbral
