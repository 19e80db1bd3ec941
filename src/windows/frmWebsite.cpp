#include "windows/frmWebsite.h"

#include "system/WindowTexts.h"
#include "windows/resource.h"

namespace nimbral {

frmWebsite::frmWebsite(HINSTANCE instance, const Identity& identity, Shell& shell, std::string& request)
    : instance_(instance), identity_(identity), shell_(shell), request_(request) {}

void frmWebsite::Load() {
    if (!IsOpen())
        CreateModeless(instance_, IDD_frmWebsite, nullptr);
}

void frmWebsite::OnInitDialog() {
    ::SetTimer(Hwnd(), IDC_frmWebsite_Timer1, kTimer1Interval, nullptr);
    const std::string link = LinkForRequest(request_, identity_);
    if (link.empty())
        return;
    shell_.OpenLink(WithHttpScheme(link));
    request_.clear();
}

std::optional<INT_PTR> frmWebsite::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == IDC_frmWebsite_Timer1) {
        ::KillTimer(Hwnd(), IDC_frmWebsite_Timer1);
        Destroy();
        return TRUE;
    }
    return std::nullopt;
}

}  // namespace nimbral
