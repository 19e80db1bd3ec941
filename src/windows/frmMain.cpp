#include "windows/frmMain.h"

#include "platform/win32/SystemText.h"
#include "system/WindowTexts.h"
#include "system/xfileExists.h"
#include "windows/Controls.h"
#include "windows/modIcon.h"
#include "windows/resource.h"

namespace nimbral {

namespace {

struct Category {
    int controlId;
    const char* key;
    std::int16_t Settings::*flag;
    std::int16_t CategoryChecks::*check;
};

constexpr Category kCategories[] = {
    {IDC_frmMain_chkCookies, "decook", &Settings::decook, &CategoryChecks::chkCookies},
    {IDC_frmMain_chkDocuments, "dedocu", &Settings::dedocu, &CategoryChecks::chkDocuments},
    {IDC_frmMain_chkHistory, "dehist", &Settings::dehist, &CategoryChecks::chkHistory},
    {IDC_frmMain_chkIntTemp, "deintt", &Settings::deintt, &CategoryChecks::chkIntTemp},
    {IDC_frmMain_chkMedia, "demedi", &Settings::demedi, &CategoryChecks::chkMedia},
    {IDC_frmMain_chkRecycle, "derecy", &Settings::derecy, &CategoryChecks::chkRecycle},
    {IDC_frmMain_chkRunSearch, "deruns", &Settings::deruns, &CategoryChecks::chkRunSearch},
    {IDC_frmMain_chkTyped, "detype", &Settings::detype, &CategoryChecks::chkTyped},
    {IDC_frmMain_chkWinTemp, "dewint", &Settings::dewint, &CategoryChecks::chkWinTemp},
};

const Category* CategoryOf(int controlId) {
    for (const Category& category : kCategories) {
        if (category.controlId == controlId)
            return &category;
    }
    return nullptr;
}

constexpr int kVerdanaPoints = 8;

}  // namespace

frmMain::frmMain(HINSTANCE instance, Parts parts, Actions& actions) : parts_(std::move(parts)), actions_(actions) {
    CreateModeless(instance, IDD_frmMain, nullptr);
}

void frmMain::OnInitDialog() {
    SetWindowIcons(Hwnd(), IDI_AAA, true);
    wizardHandOver_ = false;
    controls::SetText(Hwnd(), MainWindowCaption(parts_.identity));
    SetVisitCaption();
    ::EnableWindow(Control(IDC_frmMain_cmdStart), CleanNowEnabled(parts_.settings.GetSetting("run", "0")));
    // The wizard is a window of its own that may not be part of this program yet.
    ::EnableWindow(Control(IDC_frmMain_cmdSetup), parts_.setupWizardAvailable);
    ::EnableMenuItem(::GetMenu(Hwnd()), IDM_frmMain_mnuFileItem0,
                     MF_BYCOMMAND | (parts_.setupWizardAvailable ? MF_ENABLED : MF_GRAYED));
    UseVerdanaForTheCheckBoxes();

    parts_.pluginTables.Clear();
    parts_.lstPlugs.clear();
    RebuildPluginList();
    cookieFolder_ = parts_.shell.SpecialFolderPath(reinterpret_cast<WindowHandle>(Hwnd()), SpecialFolder::kCookies);
    ShowCategoryFlags();

    if (parts_.settings.GetSetting("showHelp", "1") == "1")
        actions_.ViewHelp();
}

void frmMain::SetVisitCaption() {
    const std::string weburlname = parts_.registry.ReadStringValue(Hive::LocalMachine, kRebrandKey, kRebrandValue);
    controls::SetText(Control(IDC_frmMain_cmdVisit), VisitCaption(parts_.identity, weburlname));
}

// At the window's own scale; the font it replaces goes only once no box uses it.
void frmMain::UseVerdanaForTheCheckBoxes() {
    const int height = -::MulDiv(kVerdanaPoints, Dpi(), 72);
    win32::UniqueHfont verdana(::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                             DEFAULT_PITCH | FF_SWISS, "Verdana"));
    for (const Category& category : kCategories)
        ::SendMessageA(Control(category.controlId), WM_SETFONT, reinterpret_cast<WPARAM>(verdana.get()), TRUE);
    verdana_ = std::move(verdana);
}

void frmMain::RebuildPluginList() {
    BuildPluginList(parts_.pluginTables, parts_.lstPlugs, parts_.File1, parts_.settings, parts_.programFolder,
                    parts_.pluginSources);
    ShowPluginList();
}

void frmMain::ShowPluginList() {
    const HWND list = Control(IDC_frmMain_lstPlugs);
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    controls::ClearList(list);
    for (const PluginEntry& entry : parts_.lstPlugs) {
        const int row = controls::AddListRow(list, entry.text);
        if (row >= 0 && entry.selected)
            controls::SelectListRow(list, row, true);
    }
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void frmMain::ShowCategoryFlags() {
    CategoryChecks checks;
    parts_.settings.ApplyCategoryFlags(checks);
    for (const Category& category : kCategories)
        controls::SetChecked(Control(category.controlId), checks.*category.check);
}

void frmMain::Show() {
    if (IsOpen())
        ::ShowWindow(Hwnd(), SW_SHOW);
}

void frmMain::Hide() {
    if (IsOpen())
        ::ShowWindow(Hwnd(), SW_HIDE);
}

std::string frmMain::TrimPath(const std::string& path) {
    return FileNamePart(path);
}

bool frmMain::fileExists(const std::string& path) {
    return FileFound(parts_.fileSystem, path);
}

void frmMain::CopyFile(const std::string& source, const std::string& destination) {
    if (!::CopyFileW(win32::Wide(source).c_str(), win32::Wide(destination).c_str(), FALSE))
        parts_.messages.Notice(Hwnd(), kCopyFailed, kCopyFailedTitle);
}

void frmMain::OnCommand(int controlId, int notification) {
    if (CategoryOf(controlId)) {
        if (notification == BN_CLICKED)
            OnCategoryClicked(controlId);
        return;
    }
    switch (controlId) {
        case IDC_frmMain_lstPlugs:
            if (notification == LBN_SELCHANGE)
                OnPluginSelectionChanged();
            return;
        case IDC_frmMain_cmdStart:
            // Until the wizard has been finished once, only the menu item starts a run.
            if (controls::Enabled(Control(IDC_frmMain_cmdStart)))
                actions_.CleanNow();
            return;
        case IDM_frmMain_mnuFileItem1:
            actions_.CleanNow();
            return;
        case IDC_frmMain_cmdSetup:
        case IDM_frmMain_mnuFileItem0:
            OnSetupWizard();
            return;
        case IDM_frmMain_mnuFileItem2:
            actions_.EndProgram();
            return;
        case IDC_frmMain_Command1:
        case IDM_frmMain_mnuPluginsItem0:
            RebuildPluginList();
            return;
        case IDC_frmMain_cmdPlugs:
            OnDownloadPlugins();
            return;
        case IDM_frmMain_mnuPluginsItem1:
            actions_.OpenRulesReport();
            return;
        case IDM_frmMain_mnuPluginsItem2:
            if (actions_.UpdateCommunityRules())
                RebuildPluginList();
            return;
        case IDC_frmMain_cmdVisit:
            actions_.OpenWebsite(kWebsiteRequest);
            return;
        case IDM_frmMain_mnuHelpItem:
            actions_.ViewHelp();
            return;
        case IDM_frmMain_mnuAboutItem:
            actions_.ViewAbout();
            return;
    }
}

// A click, by mouse or keyboard, ticks an unticked or greyed box and unticks a ticked one; the box's
// new value is stored and becomes the run's flag at once, so the box never shows what the run would
// not do.
void frmMain::OnCategoryClicked(int controlId) {
    const Category& category = *CategoryOf(controlId);
    const HWND box = Control(controlId);
    const std::int16_t value = controls::Checked(box) == BST_CHECKED ? 0 : 1;
    controls::SetChecked(box, value);
    parts_.settings.SaveSetting(category.key, value ? "1" : "0");
    parts_.settings.Current().*category.flag = value;
}

// The line the user clicked is the list's caret line; only that line's choice is stored.
void frmMain::OnPluginSelectionChanged() {
    StorePluginLine(static_cast<int>(::SendMessageA(Control(IDC_frmMain_lstPlugs), LB_GETCARETINDEX, 0, 0)));
}

// The space bar toggles the caret line here rather than in the list, so the choice is stored however
// the list reports (or fails to report) the change.
void frmMain::OnPluginSpaceBar(int row) {
    const HWND list = Control(IDC_frmMain_lstPlugs);
    if (row < 0 || row >= controls::ListCount(list))
        return;
    controls::SelectListRow(list, row, !controls::ListRowSelected(list, row));
    StorePluginLine(row);
}

void frmMain::StorePluginLine(int row) {
    const HWND list = Control(IDC_frmMain_lstPlugs);
    if (row < 0 || row >= controls::ListCount(list))
        return;
    const std::string name = controls::ListRow(list, row);
    const bool selected = controls::ListRowSelected(list, row);
    // A line that warns of what it removes is ticked only once the user has read the warning.
    if (selected && static_cast<std::size_t>(row) < parts_.lstPlugs.size()) {
        const std::string& warning = parts_.lstPlugs[static_cast<std::size_t>(row)].warning;
        if (!warning.empty() && !parts_.messages.AskOkCancel(Hwnd(), name, warning)) {
            controls::SelectListRow(list, row, false);
            return;
        }
    }
    parts_.settings.SaveSetting("plug" + name, selected ? "True" : "False");
    if (static_cast<std::size_t>(row) < parts_.lstPlugs.size())
        parts_.lstPlugs[static_cast<std::size_t>(row)].selected = selected;
}

void frmMain::OnSetupWizard() {
    if (!parts_.setupWizardAvailable)
        return;
    wizardHandOver_ = true;
    actions_.OpenSetupWizard();
    Unload();
}

void frmMain::OnDownloadPlugins() {
    parts_.messages.Notice(Hwnd(), PluginNotice(parts_.identity.productName), parts_.identity.productName);
    actions_.OpenPluginBrowser();
}

std::optional<INT_PTR> frmMain::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            Unload();
            return TRUE;
        // Answered directly, not through DWLP_MSGRESULT: -2 for a key handled here, -1 for the list's
        // own handling.
        case WM_VKEYTOITEM:
            if (reinterpret_cast<HWND>(lParam) == Control(IDC_frmMain_lstPlugs) && LOWORD(wParam) == VK_SPACE) {
                OnPluginSpaceBar(HIWORD(wParam));
                return -2;
            }
            return -1;
        case WM_DESTROY:
            for (const Category& category : kCategories)
                ::SendMessageA(Control(category.controlId), WM_SETFONT, 0, FALSE);
            verdana_.reset();
            break;
    }
    return std::nullopt;
}

void frmMain::Unload() {
    Destroy();
    if (!wizardHandOver_)
        actions_.EndProgram();
}

}  // namespace nimbral
