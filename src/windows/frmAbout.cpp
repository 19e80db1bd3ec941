#include "windows/frmAbout.h"

#include "system/WindowTexts.h"
#include "windows/Controls.h"
#include "windows/modIcon.h"
#include "windows/resource.h"

namespace nimbral {

namespace {

constexpr char kNotice[] =
    "What this program deletes cannot be brought back. Put the sites whose cookies and addresses you "
    "want to keep on the keep-lists of the setup wizard before you clean.";

constexpr COLORREF kLinkColour = RGB(0, 0, 204);

// The dialog's own font, made bold or underlined.
HFONT VariantOf(HFONT base, bool bold, bool underline) {
    LOGFONTA font = {};
    if (!base || !::GetObjectA(base, sizeof font, &font))
        return nullptr;
    if (bold) {
        font.lfWeight = FW_BOLD;
        font.lfHeight = font.lfHeight * 5 / 4;
    }
    font.lfUnderline = underline ? TRUE : FALSE;
    return ::CreateFontIndirectA(&font);
}

}  // namespace

frmAbout::frmAbout(HINSTANCE instance, const Identity& identity, std::function<void()> openWebsite)
    : instance_(instance), identity_(identity), openWebsite_(std::move(openWebsite)) {
    CreateModeless(instance, IDD_frmAbout, nullptr);
}

void frmAbout::OnInitDialog() {
    SetWindowIcons(Hwnd(), IDI_AAA, false);
    controls::SetText(Hwnd(), AboutCaption(identity_));
    controls::SetText(Control(IDC_frmAbout_Label1), identity_.productName);
    controls::SetText(Control(IDC_frmAbout_lblCompany), identity_.companyName);
    controls::SetText(Control(IDC_frmAbout_lblVersion), identity_.Version());
    controls::SetText(Control(IDC_frmAbout_lblWebsite), identity_.websiteName);
    controls::SetText(Control(IDC_frmAbout_Label5), kNotice);
    UseOwnFontsAndPicture();
}

void frmAbout::OnDpiChanged(int, int) {
    UseOwnFontsAndPicture();
}

// Each at the window's scale; a font replaced goes once its label has the new one.
void frmAbout::UseOwnFontsAndPicture() {
    win32::UniqueHfont title(VariantOf(DialogFont(), true, false));
    win32::UniqueHfont link(VariantOf(DialogFont(), false, true));
    if (title)
        ::SendMessageA(Control(IDC_frmAbout_Label1), WM_SETFONT, reinterpret_cast<WPARAM>(title.get()), TRUE);
    if (link)
        ::SendMessageA(Control(IDC_frmAbout_lblWebsite), WM_SETFONT, reinterpret_cast<WPARAM>(link.get()), TRUE);
    titleFont_ = std::move(title);
    linkFont_ = std::move(link);
    dpi::ShowPicture(Control(IDC_frmAbout_Picture1), instance_, IDB_frmAbout_Picture1, IDB_frmAbout_Picture1_144, Dpi(),
                     picture_);
}

void frmAbout::Show() {
    if (IsOpen())
        ::ShowWindow(Hwnd(), SW_SHOW);
}

void frmAbout::OnCommand(int controlId, int notification) {
    if (controlId == IDC_frmAbout_lblWebsite && notification == STN_CLICKED && openWebsite_)
        openWebsite_();
}

std::optional<INT_PTR> frmAbout::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        // The website label looks and points like a link.
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == Control(IDC_frmAbout_lblWebsite)) {
                const auto dc = reinterpret_cast<HDC>(wParam);
                ::SetTextColor(dc, kLinkColour);
                ::SetBkMode(dc, TRANSPARENT);
                return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wParam) == Control(IDC_frmAbout_lblWebsite)) {
                ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND
                ::SetWindowLongPtrA(Hwnd(), DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            break;
        case WM_DESTROY:
            // The labels let go of the fonts before the fonts go.
            ::SendMessageA(Control(IDC_frmAbout_Label1), WM_SETFONT, 0, FALSE);
            ::SendMessageA(Control(IDC_frmAbout_lblWebsite), WM_SETFONT, 0, FALSE);
            titleFont_.reset();
            linkFont_.reset();
            dpi::TakeBackPicture(Control(IDC_frmAbout_Picture1), picture_);
            break;
    }
    return std::nullopt;
}

}  // namespace nimbral
