#include "wizard/frmSetup.h"

#include <algorithm>

#include "browsers/BrowserCleaner.h"
#include "engine/modIECache.h"
#include "registry/AddRemove.h"
#include "settings/modHash.h"
#include "system/xfileExists.h"
#include "text/AnsiText.h"
#include "windows/Controls.h"
#include "windows/modIcon.h"
#include "windows/resource.h"

namespace nimbral {

namespace {

constexpr int kPages = 8;
constexpr int kFrames[kPages] = {IDC_frmSetup_Frame0, IDC_frmSetup_Frame1, IDC_frmSetup_Frame2, IDC_frmSetup_Frame3,
                                 IDC_frmSetup_Frame4, IDC_frmSetup_Frame5, IDC_frmSetup_Frame6, IDC_frmSetup_Frame7};

// What each page shows besides its frame. The player keys, stealth mode, the hot key and the list of
// paths belong to pages too, but are never shown.
const std::vector<int> kPageControls[kPages] = {
    {IDC_frmSetup_Label1, IDC_frmSetup_Label2, IDC_frmSetup_Label3, IDC_frmSetup_Label4, IDC_frmSetup_Label5,
     IDC_frmSetup_Label6, IDC_frmSetup_Label7},
    {IDC_frmSetup_Label8, IDC_frmSetup_Label9, IDC_frmSetup_lstSites0, IDC_frmSetup_cmdAdd0, IDC_frmSetup_Label10,
     IDC_frmSetup_lstSites1, IDC_frmSetup_cmdDel0, IDC_frmSetup_Label11, IDC_frmSetup_txtSite, IDC_frmSetup_cmdAdd20},
    {IDC_frmSetup_Label12, IDC_frmSetup_Label13, IDC_frmSetup_lstSites3, IDC_frmSetup_cmdAdd1, IDC_frmSetup_Label14,
     IDC_frmSetup_lstSites2, IDC_frmSetup_cmdDel1, IDC_frmSetup_Label15, IDC_frmSetup_Text1, IDC_frmSetup_cmdAdd21},
    {IDC_frmSetup_Label16, IDC_frmSetup_Drive1, IDC_frmSetup_Dir1, IDC_frmSetup_Label17, IDC_frmSetup_File1,
     IDC_frmSetup_cmdAddFile, IDC_frmSetup_Label18, IDC_frmSetup_lstFiles, IDC_frmSetup_cmdDelFile},
    {IDC_frmSetup_Label19, IDC_frmSetup_Label20, IDC_frmSetup_lstDoc, IDC_frmSetup_txtDoc, IDC_frmSetup_cmdAddDoc,
     IDC_frmSetup_cmdDelDoc, IDC_frmSetup_cmdDefaultDoc, IDC_frmSetup_Label21, IDC_frmSetup_lstMedia,
     IDC_frmSetup_txtMedia, IDC_frmSetup_cmdAddMedia, IDC_frmSetup_cmdDelMedia, IDC_frmSetup_cmdDefaultMedia},
    {IDC_frmSetup_Label22, IDC_frmSetup_txtSetting0, IDC_frmSetup_Label23},
    {IDC_frmSetup_Label26, IDC_frmSetup_frmPassword, IDC_frmSetup_chkPassword, IDC_frmSetup_Label27,
     IDC_frmSetup_txtPass1, IDC_frmSetup_Label28, IDC_frmSetup_txtPass2, IDC_frmSetup_Label29, IDC_frmSetup_frmEncrypt,
     IDC_frmSetup_chkencrypt, IDC_frmSetup_txtCrypt, IDC_frmSetup_Command1, IDC_frmSetup_Label30,
     IDC_frmSetup_frmStartup, IDC_frmSetup_chkRunAtStart, IDC_frmSetup_Label31},
    {IDC_frmSetup_Label32},
};
const int kNeverShown[] = {IDC_frmSetup_Label24,     IDC_frmSetup_txtSetting2, IDC_frmSetup_Label25,
                           IDC_frmSetup_txtSetting3, IDC_frmSetup_lstPaths,    IDC_frmSetup_chkStealthMode,
                           IDC_frmSetup_frmHotkey,   IDC_frmSetup_chkHotKey};

// The lists of the pages, their keep-list partners and the text boxes that feed them.
constexpr int kFoundLists[2] = {IDC_frmSetup_lstSites0, IDC_frmSetup_lstSites3};
constexpr int kKeepLists[2] = {IDC_frmSetup_lstSites1, IDC_frmSetup_lstSites2};
constexpr int kSiteBoxes[2] = {IDC_frmSetup_txtSite, IDC_frmSetup_Text1};

// Every page frame sits at left 30 and top 30 twips inside the window: two pixels at 96 dots per inch.
constexpr int kFrameTwips = 30;

bool IsMultiSelect(HWND list) {
    return (::GetWindowLongA(list, GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) != 0;
}

// Rows go in with the list's painting stopped, so even 10,001 of them take one repaint.
class RedrawPaused {
  public:
    explicit RedrawPaused(HWND window) : window_(window) { ::SendMessageA(window_, WM_SETREDRAW, FALSE, 0); }
    ~RedrawPaused() {
        ::SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(window_, nullptr, TRUE);
    }
    RedrawPaused(const RedrawPaused&) = delete;
    RedrawPaused& operator=(const RedrawPaused&) = delete;

  private:
    HWND window_;
};

void FillList(HWND list, const ListBoxRows& rows) {
    const RedrawPaused paused(list);
    controls::ClearList(list);
    std::size_t bytes = 0;
    for (const std::string& row : rows)
        bytes += row.size() + 1;
    ::SendMessageA(list, LB_INITSTORAGE, rows.size(), static_cast<LPARAM>(bytes));
    for (const std::string& row : rows)
        controls::AddListRow(list, row);
}

std::string FolderOfDrive(const std::string& path) {
    return path.size() >= 3 ? path.substr(0, 3) : path;
}

const char* ListName(int listId) {
    switch (listId) {
        case IDC_frmSetup_lstSites1:
            return "Keep only these URLs";
        case IDC_frmSetup_lstSites2:
            return "Keep only files from these sites";
        case IDC_frmSetup_lstFiles:
            return "Document menu files";
        case IDC_frmSetup_lstDoc:
            return "Document filenames";
        case IDC_frmSetup_lstMedia:
            return "Media filenames";
    }
    return "";
}

}  // namespace

frmSetup::frmSetup(HINSTANCE instance, Parts parts, std::function<void()> onClosed)
    : parts_(std::move(parts)), onClosed_(std::move(onClosed)), dir1_(parts_.fileSystem), file1_(parts_.fileSystem) {
    if (CreateModeless(instance, IDD_frmSetup, nullptr))
        ::ShowWindow(Hwnd(), SW_SHOW);
}

void frmSetup::OnInitDialog() {
    SetWindowIcons(Hwnd(), IDI_AAA, true);
    typedUrlsListed_ = false;
    controls::SetText(Control(IDC_frmSetup_txtCrypt), "Encrypt Me");
    for (int id : kNeverShown)
        ::ShowWindow(Control(id), SW_HIDE);
    OpenFolderPickers();
    for (int id : {IDC_frmSetup_txtSite, IDC_frmSetup_Text1, IDC_frmSetup_txtDoc, IDC_frmSetup_txtMedia})
        controls::ReportEnterKey(Control(id));

    parts_.settings.LoadSettings();
    WizardControls model;
    parts_.settings.FillWizardControls(model, parts_.shell);
    ShowControls(model);
    // Setting the box from the stored state is a change of the box like any other.
    if (model.chkRunAtStart == 1)
        OnRunAtStartChanged();

    LayoutPages();
    pageIndex_ = 0;
    ShowPage(pageIndex_);
}

void frmSetup::ShowControls(const WizardControls& model) {
    const std::pair<int, std::int16_t> boxes[] = {
        {IDC_frmSetup_chkPassword, model.chkPassword},     {IDC_frmSetup_chkencrypt, model.chkencrypt},
        {IDC_frmSetup_chkRunAtStart, model.chkRunAtStart}, {IDC_frmSetup_chkStealthMode, model.chkStealthMode},
        {IDC_frmSetup_chkHotKey, model.chkHotKey},
    };
    for (const auto& [id, value] : boxes)
        controls::SetChecked(Control(id), value);
    FillList(Control(IDC_frmSetup_lstSites1), model.lstSites[1]);
    FillList(Control(IDC_frmSetup_lstSites2), model.lstSites[2]);
    FillList(Control(IDC_frmSetup_lstFiles), model.lstFiles);
    FillList(Control(IDC_frmSetup_lstPaths), model.lstPaths);
    FillList(Control(IDC_frmSetup_lstMedia), model.lstMedia);
    FillList(Control(IDC_frmSetup_lstDoc), model.lstDoc);
    controls::SetText(Control(IDC_frmSetup_txtPass1), model.txtPass1);
    controls::SetText(Control(IDC_frmSetup_txtPass2), model.txtPass2);
    controls::SetText(Control(IDC_frmSetup_txtSetting0), model.txtSetting[0]);
    controls::SetText(Control(IDC_frmSetup_txtSetting2), model.txtSetting[2]);
    controls::SetText(Control(IDC_frmSetup_txtSetting3), model.txtSetting[3]);
}

WizardControls frmSetup::ReadControls() const {
    WizardControls model;
    model.chkPassword = static_cast<std::int16_t>(controls::Checked(Control(IDC_frmSetup_chkPassword)));
    model.chkencrypt = static_cast<std::int16_t>(controls::Checked(Control(IDC_frmSetup_chkencrypt)));
    model.chkRunAtStart = static_cast<std::int16_t>(controls::Checked(Control(IDC_frmSetup_chkRunAtStart)));
    model.chkStealthMode = static_cast<std::int16_t>(controls::Checked(Control(IDC_frmSetup_chkStealthMode)));
    model.chkHotKey = static_cast<std::int16_t>(controls::Checked(Control(IDC_frmSetup_chkHotKey)));
    model.lstSites[1] = controls::ListRows(Control(IDC_frmSetup_lstSites1));
    model.lstSites[2] = controls::ListRows(Control(IDC_frmSetup_lstSites2));
    model.lstFiles = controls::ListRows(Control(IDC_frmSetup_lstFiles));
    model.lstPaths = controls::ListRows(Control(IDC_frmSetup_lstPaths));
    model.lstMedia = controls::ListRows(Control(IDC_frmSetup_lstMedia));
    model.lstDoc = controls::ListRows(Control(IDC_frmSetup_lstDoc));
    model.txtPass1 = controls::Text(Control(IDC_frmSetup_txtPass1));
    model.txtPass2 = controls::Text(Control(IDC_frmSetup_txtPass2));
    model.txtSetting[0] = controls::Text(Control(IDC_frmSetup_txtSetting0));
    model.txtSetting[2] = controls::Text(Control(IDC_frmSetup_txtSetting2));
    model.txtSetting[3] = controls::Text(Control(IDC_frmSetup_txtSetting3));
    return model;
}

// ---- pages and navigation ----

void frmSetup::LayoutPages() {
    const int left = ::MulDiv(kFrameTwips, Dpi(), 1440);
    for (int frame : kFrames)
        ::SetWindowPos(Control(frame), nullptr, left, left, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmSetup::HideAllPages() {
    for (int page = 0; page < kPages; ++page) {
        ::ShowWindow(Control(kFrames[page]), SW_HIDE);
        for (int id : kPageControls[page])
            ::ShowWindow(Control(id), SW_HIDE);
    }
}

void frmSetup::EnterPage(int page) {
    ::EnableWindow(Control(IDC_frmSetup_cmdBack), TRUE);
    controls::SetText(Control(IDC_frmSetup_cmdNext), "next");
    ::ShowWindow(Control(kFrames[page]), SW_SHOW);
    for (int id : kPageControls[page])
        ::ShowWindow(Control(id), SW_SHOW);
    switch (page) {
        case 0:
            ::EnableWindow(Control(IDC_frmSetup_cmdBack), FALSE);
            break;
        case 1:
            LoadTypedUrlList();
            break;
        case 2:
            LoadCookieSiteList();
            break;
        case 7:
            controls::SetText(Control(IDC_frmSetup_cmdNext), "finish");
            break;
    }
    ::RedrawWindow(Control(IDC_frmSetup_cmdNext), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void frmSetup::ShowPage(int page) {
    HideAllPages();
    EnterPage(page);
}

void frmSetup::OnCommand(int controlId, int notification) {
    switch (controlId) {
        case IDC_frmSetup_cmdNext:
            // The caption tells which: "next" exactly moves on, anything else finishes.
            if (controls::Text(Control(IDC_frmSetup_cmdNext)) == "next") {
                if (pageIndex_ < kPages - 1)
                    ShowPage(++pageIndex_);
            } else {
                Finish();
            }
            return;
        case IDC_frmSetup_cmdBack:
            if (pageIndex_ > 0)
                ShowPage(--pageIndex_);
            return;
        case IDC_frmSetup_cmdCancel:
            Close();
            return;
        case IDC_frmSetup_cmdAdd0:
        case IDC_frmSetup_cmdAdd1:
            CopySelectedSites(controlId == IDC_frmSetup_cmdAdd0 ? 0 : 1);
            return;
        case IDC_frmSetup_lstSites0:
        case IDC_frmSetup_lstSites3:
            if (notification == LBN_DBLCLK)
                CopySelectedSites(controlId == IDC_frmSetup_lstSites0 ? 0 : 1);
            return;
        case IDC_frmSetup_cmdAdd20:
        case IDC_frmSetup_cmdAdd21:
            AddTypedSite(controlId == IDC_frmSetup_cmdAdd20 ? 0 : 1);
            return;
        // Enter in a text box adds what it holds, as the button beside it does.
        case IDC_frmSetup_txtSite:
        case IDC_frmSetup_Text1:
            if (notification == controls::kEnterPressed)
                AddTypedSite(controlId == IDC_frmSetup_txtSite ? 0 : 1);
            return;
        case IDC_frmSetup_txtDoc:
            if (notification == controls::kEnterPressed)
                AddDecoy(IDC_frmSetup_lstDoc, IDC_frmSetup_txtDoc);
            return;
        case IDC_frmSetup_txtMedia:
            if (notification == controls::kEnterPressed)
                AddDecoy(IDC_frmSetup_lstMedia, IDC_frmSetup_txtMedia);
            return;
        case IDC_frmSetup_cmdDel0:
        case IDC_frmSetup_cmdDel1:
            RemoveKeepListRow(controlId == IDC_frmSetup_cmdDel0 ? 0 : 1);
            return;
        case IDC_frmSetup_cmdAddDoc:
            AddDecoy(IDC_frmSetup_lstDoc, IDC_frmSetup_txtDoc);
            return;
        case IDC_frmSetup_cmdAddMedia:
            AddDecoy(IDC_frmSetup_lstMedia, IDC_frmSetup_txtMedia);
            return;
        case IDC_frmSetup_cmdDelDoc:
            RemoveDecoy(IDC_frmSetup_lstDoc);
            return;
        case IDC_frmSetup_cmdDelMedia:
            RemoveDecoy(IDC_frmSetup_lstMedia);
            return;
        case IDC_frmSetup_cmdDefaultDoc:
            InsertDecoyDefaults(IDC_frmSetup_lstDoc, kDocumentDefaults);
            return;
        case IDC_frmSetup_cmdDefaultMedia:
            InsertDecoyDefaults(IDC_frmSetup_lstMedia, kMediaDefaults);
            return;
        case IDC_frmSetup_Drive1:
            if (notification == CBN_SELCHANGE)
                OnDriveChosen();
            return;
        case IDC_frmSetup_Dir1:
            if (notification == LBN_DBLCLK)
                OnFolderChosen();
            return;
        case IDC_frmSetup_File1:
            if (notification == LBN_DBLCLK)
                AddPickedFile();
            return;
        case IDC_frmSetup_cmdAddFile:
            AddPickedFile();
            return;
        case IDC_frmSetup_cmdDelFile:
            RemovePickedFile();
            return;
        case IDC_frmSetup_chkPassword:
            if (notification == BN_CLICKED)
                OnPasswordClicked();
            return;
        case IDC_frmSetup_chkRunAtStart:
            if (notification == BN_CLICKED)
                OnRunAtStartChanged();
            return;
        case IDC_frmSetup_Command1:
            ViewSample();
            return;
    }
}

// The wizard has no OK button: Enter presses "next", or adds in the four text boxes, which take it
// themselves. A command with the id IDOK must not close the wizard behind its Cancel and finish.
void frmSetup::OnOk() {}

std::optional<INT_PTR> frmSetup::OnMessage(UINT message, WPARAM, LPARAM) {
    // The close box: the same as Cancel.
    if (message == WM_CLOSE) {
        Close();
        return TRUE;
    }
    return std::nullopt;
}

// However the wizard closes, the main window comes back.
void frmSetup::Close() {
    if (!IsOpen())
        return;
    typedUrlsListed_ = false;
    Destroy();
    if (onClosed_)
        onClosed_();
}

void frmSetup::Finish() {
    const WizardControls model = ReadControls();
    std::string cut;
    for (int listId : {IDC_frmSetup_lstSites1, IDC_frmSetup_lstSites2, IDC_frmSetup_lstFiles, IDC_frmSetup_lstDoc,
                       IDC_frmSetup_lstMedia}) {
        if (static_cast<std::size_t>(controls::ListCount(Control(listId))) > kListSlots)
            cut += std::string(cut.empty() ? "" : ", ") + ListName(listId);
    }
    // Storing clears the stored lists as it overwrites them; the engine then works on what was stored.
    parts_.settings.SaveWizardSettingsAndReload(model);
    parts_.settings.SaveSetting("run", "1");
    if (!cut.empty())
        Notice(std::string(kListsCut) + cut + ".");
    Notice(kSetupComplete);
    Close();
}

// ---- pages 1, 2 and 4: the keep-lists and the decoys ----

ListBoxModel frmSetup::ReadList(int listId) const {
    const HWND list = Control(listId);
    ListBoxModel model;
    model.rows = controls::ListRows(list);
    if (IsMultiSelect(list)) {
        model.selected.resize(model.rows.size());
        for (std::size_t i = 0; i < model.rows.size(); ++i)
            model.selected[i] = controls::ListRowSelected(list, static_cast<int>(i));
        model.current = ::SendMessageA(list, LB_GETCARETINDEX, 0, 0);
    } else {
        model.current = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
    }
    return model;
}

// Only what changed is rewritten: rows after the first that differs, and the selection.
void frmSetup::WriteList(int listId, const ListBoxModel& model) {
    const HWND list = Control(listId);
    const ListBoxModel before = ReadList(listId);
    const auto differs =
        std::mismatch(before.rows.begin(), before.rows.end(), model.rows.begin(), model.rows.end()).first;
    const auto kept = static_cast<std::size_t>(differs - before.rows.begin());
    {
        const RedrawPaused paused(list);
        for (std::size_t i = before.rows.size(); i-- > kept;)
            ::SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
        for (std::size_t i = kept; i < model.rows.size(); ++i)
            controls::AddListRow(list, model.rows[i]);
    }
    if (IsMultiSelect(list)) {
        for (std::size_t i = 0; i < model.selected.size(); ++i) {
            if (i >= kept && !model.selected[i])
                continue;  // rows added since are not selected
            if (i >= before.selected.size() || before.selected[i] != model.selected[i])
                controls::SelectListRow(list, static_cast<int>(i), model.selected[i]);
        }
        if (model.current >= 0)
            ::SendMessageA(list, LB_SETCARETINDEX, static_cast<WPARAM>(model.current), FALSE);
    } else {
        ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(model.current), 0);
    }
}

void frmSetup::LoadTypedUrlList() {
    if (typedUrlsListed_)
        return;
    ListBoxRows addresses = nimbral::LoadTypedUrlList(parts_.registry);
    if (parts_.browserDatabases) {
        for (std::string& address : BrowserTypedAddresses(parts_.fileSystem, parts_.shell, *parts_.browserDatabases))
            addresses.push_back(std::move(address));
    }
    FillList(Control(IDC_frmSetup_lstSites0), addresses);
    typedUrlsListed_ = true;
}

void frmSetup::LoadCookieSiteList() {
    ListBoxRows sites;
    ListCookieSites(parts_.urlCache, sites);
    if (parts_.browserDatabases) {
        for (std::string& host : BrowserCookieHosts(parts_.fileSystem, parts_.shell, *parts_.browserDatabases))
            sites.push_back(std::move(host));
    }
    FillList(Control(IDC_frmSetup_lstSites3), sites);
}

void frmSetup::CopySelectedSites(int index) {
    ListBoxModel source = ReadList(kFoundLists[index]);
    ListBoxModel target = ReadList(kKeepLists[index]);
    if (CopySelected(source, target) == 0)
        return;
    WriteList(kKeepLists[index], target);
    WriteList(kFoundLists[index], source);
}

void frmSetup::AddTypedSite(int index) {
    const HWND box = Control(kSiteBoxes[index]);
    std::string text = controls::Text(box);
    ListBoxModel list = ReadList(kKeepLists[index]);
    if (!nimbral::AddTypedSite(text, list))
        return;
    WriteList(kKeepLists[index], list);
    controls::SetText(box, text);
    ::SetFocus(box);
}

void frmSetup::RemoveKeepListRow(int index) {
    ListBoxModel list = ReadList(kKeepLists[index]);
    if (!nimbral::RemoveKeepListRow(list)) {
        Notice(kSelectASiteFirst);
        return;
    }
    WriteList(kKeepLists[index], list);
}

void frmSetup::AddDecoy(int listId, int textId) {
    std::string text = controls::Text(Control(textId));
    ListBoxModel list = ReadList(listId);
    AddDecoyName(text, list);
    WriteList(listId, list);
    controls::SetText(Control(textId), text);
    ::SetFocus(Control(textId));
}

void frmSetup::RemoveDecoy(int listId) {
    ListBoxModel list = ReadList(listId);
    RemoveDecoyName(list);
    WriteList(listId, list);
}

void frmSetup::InsertDecoyDefaults(int listId, const std::array<const char*, 7>& defaults) {
    ListBoxModel list = ReadList(listId);
    InsertDefaults(list, defaults);
    WriteList(listId, list);
}

// ---- page 3: the file pickers ----

void frmSetup::OpenFolderPickers() {
    std::string start =
        parts_.shell.SpecialFolderPath(reinterpret_cast<WindowHandle>(Hwnd()), SpecialFolder::kDocuments);
    if (start.size() > 3 && start.back() == '\\')
        start.pop_back();
    driveRoots_ = parts_.fileSystem.DriveRoots();
    if (start.empty() && !driveRoots_.empty())
        start = driveRoots_.front();
    if (!ShowFolder(start) && !driveRoots_.empty())
        ShowFolder(driveRoots_.front());
    ShowDrives(FolderOfDrive(dir1_.Path()));
}

void frmSetup::ShowDrives(const std::string& current) {
    const HWND drives = Control(IDC_frmSetup_Drive1);
    ::SendMessageA(drives, CB_RESETCONTENT, 0, 0);
    for (std::size_t i = 0; i < driveRoots_.size(); ++i) {
        ::SendMessageA(drives, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(driveRoots_[i].c_str()));
        if (EqualsIgnoreCase(driveRoots_[i], current))
            ::SendMessageA(drives, CB_SETCURSEL, i, 0);
    }
}

void frmSetup::OnDriveChosen() {
    const auto chosen = ::SendMessageA(Control(IDC_frmSetup_Drive1), CB_GETCURSEL, 0, 0);
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= driveRoots_.size())
        return;
    const std::string root = driveRoots_[static_cast<std::size_t>(chosen)];
    if (!ShowFolder(root)) {
        // A drive without a medium, or one that refuses: the pickers stay where they were.
        ShowDrives(FolderOfDrive(dir1_.Path()));
        Notice("The drive " + root + " cannot be read.");
    }
}

// Dir1 shows the way down to the open folder, one row for each folder on it, then the folders in it;
// File1 shows the open folder's files. False, with nothing changed, when the folder cannot be listed.
bool frmSetup::ShowFolder(const std::string& folder) {
    // Both listers keep what they had when a folder cannot be listed; a trial listing keeps them in
    // step with each other.
    FileLister trial(parts_.fileSystem);
    if (folder.empty() || !trial.SetPath(folder) || !dir1_.SetPath(folder) || !file1_.SetPath(folder))
        return false;

    std::vector<std::string> rows;
    dir1Paths_.clear();
    const std::string& path = dir1_.Path();
    std::string walked = path.substr(0, 3);
    rows.push_back(walked);
    dir1Paths_.push_back(walked);
    std::string indent = "  ";
    for (std::size_t at = 3; at < path.size();) {
        const std::size_t end = std::min(path.find('\\', at), path.size());
        walked = path.substr(0, end);
        rows.push_back(indent + path.substr(at, end - at));
        dir1Paths_.push_back(walked);
        indent += "  ";
        at = end + 1;
    }
    const int open = static_cast<int>(rows.size()) - 1;
    for (std::size_t i = 0; i < dir1_.Count(); ++i) {
        rows.push_back(indent + FileNamePart(dir1_.Entry(i)));
        dir1Paths_.push_back(dir1_.Entry(i));
    }
    FillList(Control(IDC_frmSetup_Dir1), rows);
    ::SendMessageA(Control(IDC_frmSetup_Dir1), LB_SETCURSEL, static_cast<WPARAM>(open), 0);

    ListBoxRows names;
    for (std::size_t i = 0; i < file1_.Count(); ++i)
        names.push_back(file1_.Entry(i));
    FillList(Control(IDC_frmSetup_File1), names);
    return true;
}

void frmSetup::OnFolderChosen() {
    const auto row = ::SendMessageA(Control(IDC_frmSetup_Dir1), LB_GETCURSEL, 0, 0);
    if (row < 0 || static_cast<std::size_t>(row) >= dir1Paths_.size())
        return;
    const std::string folder = dir1Paths_[static_cast<std::size_t>(row)];
    if (!ShowFolder(folder)) {
        ShowFolder(dir1_.Path());
        Notice("The folder " + folder + " cannot be read.");
    }
}

void frmSetup::AddPickedFile() {
    const HWND picker = Control(IDC_frmSetup_File1);
    std::ptrdiff_t current = ::SendMessageA(picker, LB_GETCURSEL, 0, 0);
    ListBoxRows files;
    for (std::size_t i = 0; i < file1_.Count(); ++i)
        files.push_back(file1_.Entry(i));
    ListBoxModel names = ReadList(IDC_frmSetup_lstFiles);
    ListBoxModel paths = ReadList(IDC_frmSetup_lstPaths);
    if (!nimbral::AddPickedFile(file1_.Path(), files, current, names, paths.rows))
        return;
    WriteList(IDC_frmSetup_lstFiles, names);
    WriteList(IDC_frmSetup_lstPaths, paths);
    ::SendMessageA(picker, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
}

void frmSetup::RemovePickedFile() {
    ListBoxModel names = ReadList(IDC_frmSetup_lstFiles);
    ListBoxModel paths = ReadList(IDC_frmSetup_lstPaths);
    nimbral::RemovePickedFile(names, paths.rows);
    WriteList(IDC_frmSetup_lstFiles, names);
    paths.current = -1;
    WriteList(IDC_frmSetup_lstPaths, paths);
}

// ---- page 6: the options ----

// Every way the user ticks the box is checked, the keyboard's as well as the mouse's: a password
// ticked in unchecked would lock the user out of the program with a password never confirmed.
void frmSetup::OnPasswordClicked() {
    const HWND box = Control(IDC_frmSetup_chkPassword);
    if (controls::Checked(box) != BST_CHECKED)
        return;
    const std::string problem =
        PasswordProblem(controls::Text(Control(IDC_frmSetup_txtPass1)), controls::Text(Control(IDC_frmSetup_txtPass2)));
    if (problem.empty())
        return;
    Notice(problem);
    controls::SetChecked(box, BST_UNCHECKED);
}

// Acts at once on every change of the box. A Run entry the system did not take is told, and the box
// shows what is really there, so the stored choice never claims a start-up that will not happen.
void frmSetup::OnRunAtStartChanged() {
    if (runAtStartReacting_)
        return;
    runAtStartReacting_ = true;
    const HWND box = Control(IDC_frmSetup_chkRunAtStart);
    if (IsVistaOrLater(parts_.osVersion)) {
        if (parts_.messages.AskOkCancel(Hwnd(), kVistaTitle, kVistaText)) {
            parts_.messages.Notice(Hwnd(), kStartupToolText, kStartupToolTitle);
            parts_.shell.StartCommand("explorer " + parts_.programFolder);
        }
    } else {
        AddRemove addRemove(parts_.registry);
        const std::string& name = parts_.identity.productName;
        const std::string command = StartupCommand(parts_.programFolder, parts_.exeFileName);
        if (controls::Checked(box) == BST_CHECKED) {
            addRemove.AddToRun(name, command);
            if (addRemove.GetString(Hive::LocalMachine, kRunPath, name) != command) {
                Notice(std::string(kRunEntryNotAdded) + kRunPath + ".");
                controls::SetChecked(box, BST_UNCHECKED);
            }
        } else {
            addRemove.RemoveFromRun(name);
            if (!addRemove.GetString(Hive::LocalMachine, kRunPath, name).empty()) {
                Notice(std::string(kRunEntryNotRemoved) + kRunPath + ".");
                controls::SetChecked(box, BST_CHECKED);
            }
        }
    }
    runAtStartReacting_ = false;
}

void frmSetup::ViewSample() {
    std::string sample = controls::Text(Control(IDC_frmSetup_txtCrypt));
    Notice(ScrambleText(sample));
}

void frmSetup::Notice(const std::string& text) {
    parts_.messages.Notice(Hwnd(), text, parts_.identity.productName);
}

}  // namespace nimbral
