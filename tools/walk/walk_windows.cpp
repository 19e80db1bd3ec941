// Drives nimbral.exe from outside its process, as a user would: windows found by their captions,
// controls by their ids, clicks and menu choices posted to them. Used by the black-box test and by
// scripts/run.sh to take pictures of the windows where there is no desktop to look at.
//
//   walk_windows.exe walk NIMBRAL_EXE [SHOTS_FOLDER]
//       Starts the program without arguments and walks: splash, main window, " Clean  Now", the
//       results window's log (printed), close, main window, File > Exit. The temp-folder question is
//       answered Cancel. With SHOTS_FOLDER, pictures of the main, help, about and results windows
//       are saved there as .bmp files.
//   walk_windows.exe wizard NIMBRAL_EXE COOKIE_SITE [SHOTS_FOLDER]
//       Starts the program, opens the setup wizard from the main window and walks its eight pages,
//       choosing COOKIE_SITE from the cookies found on page 2 for the cookie keep-list; finishes it,
//       answers "Setup Complete!", expects " Clean  Now" enabled on the main window that comes back,
//       runs a clean (the temp-folder question answered Cancel), prints its log and exits. With
//       SHOTS_FOLDER, a picture of each page is saved there.
//   walk_windows.exe plugins NIMBRAL_EXE [SHOTS_FOLDER]
//       Starts the program without arguments and opens the plugin download browser from the main
//       window: the notice (answered OK), the browser window at the download page, another address
//       typed and opened, the window closed (the program stays) and opened again, File > Exit. With
//       SHOTS_FOLDER, a picture of the plugin window is saved there.
//   walk_windows.exe record FILE ADDRESS
//       Stands in for the web browser of a test prefix: adds ADDRESS as a line to FILE, one recorder
//       at a time, and fetches nothing.
//   walk_windows.exe prompt ACTION [PASSWORD]
//       Waits for the password prompt of a program started by someone else and acts on it:
//       "cancel", "close" (the title bar's X), "ok" (types PASSWORD and presses Ok) or "wrong" (types
//       PASSWORD, presses Ok, expects the wrong-password message, closes it and cancels the prompt).
//   walk_windows.exe keys NIMBRAL_EXE
//       Starts the program and opens the setup wizard with real input (mouse clicks and key presses
//       sent to the screen, as a user makes them): in each of the four text boxes of pages 1, 2 and
//       4 types a name and presses Enter, which must add the name and stay on the page, also when
//       Enter is pressed again on the empty box; then cancels the wizard and exits.
//   walk_windows.exe second NIMBRAL_EXE
//       Starts the program and a clean from " Clean  Now", and while the clean waits on its
//       temp-folder question starts second copies: "NIMBRAL_EXE /auto /yes" must print "Another clean
//       is running." and end with code 3; the program without arguments must end without a window of
//       its own and leave the running copy's question in front. Then answers the question Cancel,
//       lets the clean finish and exits.
// Exit code 0 when every step went as expected; each failed step is printed.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "windows/resource.h"

namespace {

constexpr char kProduct[] = "Nimbral Windows Cleaner";
constexpr char kMainCaption[] = "Nimbral Windows Cleaner by Ardent Lume";
constexpr char kResultsCaption[] = "nimbral :: results";
constexpr char kHelpCaption[] = "Readme/Help";
constexpr char kAboutCaption[] = "About Nimbral Windows Cleaner";
constexpr char kFinished[] = "Finished Covering Your Tracks";
constexpr char kWizardCaption[] = "Setup Wizard";
constexpr char kSetupComplete[] = "Setup Complete!  Press 'Clean Now' to clean your computer!";
constexpr char kWrongPassword[] = "That password was not correct.  Please try again.";
constexpr char kPluginsCaption[] = "Download Plugins";
constexpr char kDownloadPage[] = "http://www.nimbral.example/plugins/";
constexpr char kPluginNotice[] =
    "Nimbral Windows Cleaner supports all free window washer plugins.  To install plugins, download them and run "
    "their install programs.  You may place them in the default window washer folder 'c:\\program files\\washer' "
    "or the plugins folder in your Nimbral Windows Cleaner directory.";
constexpr DWORD kPatienceMs = 60000;

int failures = 0;

void Fail(const std::string& what) {
    std::printf("FAIL: %s\n", what.c_str());
    std::fflush(stdout);
    ++failures;
}

void Say(const std::string& what) {
    std::printf("%s\n", what.c_str());
    std::fflush(stdout);
}

std::string TextOf(HWND window) {
    char text[1024] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// What an edit box of another process holds: GetWindowText would only see its caption.
std::string EditText(HWND box) {
    char text[1024] = {};
    ::SendMessageA(box, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// A top-level window with this caption (of this process, when one is given) that holds this control.
HWND FindTopLevel(const std::string& caption, DWORD process, int controlId, bool visibleOnly) {
    struct Search {
        const std::string& caption;
        DWORD process;
        int controlId;
        bool visibleOnly;
        HWND found;
    } search{caption, process, controlId, visibleOnly, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (s.process && owner != s.process)
                return TRUE;
            if (s.visibleOnly && !::IsWindowVisible(window))
                return TRUE;
            if (TextOf(window) != s.caption)
                return TRUE;
            if (s.controlId && !::GetDlgItem(window, s.controlId))
                return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Polls until the condition holds; runs `meanwhile` between polls.
bool WaitFor(const std::function<bool()>& condition,
             const std::function<void()>& meanwhile = {},
             DWORD patienceMs = kPatienceMs) {
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > patienceMs)
            return false;
        if (meanwhile)
            meanwhile();
        ::Sleep(10);
    }
    return true;
}

HWND WaitForWindow(const std::string& caption,
                   DWORD process,
                   int controlId,
                   const std::function<void()>& meanwhile = {}) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindTopLevel(caption, process, controlId, true)) != nullptr; }, meanwhile);
    if (!found)
        Fail("no window \"" + caption + "\" came up");
    return found;
}

std::vector<std::string> ListRows(HWND list) {
    std::vector<std::string> rows;
    const LRESULT count = ::SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // Across processes the system carries the text over in wide characters.
        const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, i, 0);
        std::vector<wchar_t> wide(length > 0 ? static_cast<size_t>(length) + 16 : 16, L'\0');
        ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        std::vector<char> row(wide.size() * 2, '\0');
        ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, row.data(), static_cast<int>(row.size()), nullptr, nullptr);
        rows.emplace_back(row.data());
    }
    return rows;
}

// The window as it is on the screen, saved as a 24-bit bitmap file.
void SavePicture(HWND window, const std::string& path) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ::Sleep(300);
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    // A maximised window's frame lies off the screen's edges.
    const RECT screenRect = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::IntersectRect(&rect, &rect, &screenRect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory, previous);
    const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(sizeof file + sizeof info.bmiHeader + imageSize), 0, 0,
                             static_cast<DWORD>(sizeof file + sizeof info.bmiHeader)};
    info.bmiHeader.biSizeImage = imageSize;
    if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
        std::fwrite(bits, imageSize, 1, out);
        std::fclose(out);
        Say("picture: " + path);
    } else {
        Fail("cannot write " + path);
    }
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

// Real input, as the mouse and keyboard make it: it goes to whatever window is in front and under
// the pointer, through the system's own input handling.
void SendInputs(std::vector<INPUT> inputs) {
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    ::Sleep(50);
}

void RealClick(HWND control) {
    RECT rect = {};
    ::GetWindowRect(control, &rect);
    const int x = (rect.left + rect.right) / 2;
    const int y = (rect.top + rect.bottom) / 2;
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT move = {};
    move.type = INPUT_MOUSE;
    move.mi.dx = static_cast<LONG>((x * 65535LL) / (width - 1));
    move.mi.dy = static_cast<LONG>((y * 65535LL) / (height - 1));
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    INPUT down = {};
    down.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    INPUT up = down;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInputs({move, down, up});
}

void PressKey(WORD key) {
    INPUT down = {};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = key;
    INPUT up = down;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInputs({down, up});
}

void TypeText(const std::string& text) {
    std::vector<INPUT> keys;
    for (char c : text) {
        INPUT key = {};
        key.type = INPUT_KEYBOARD;
        key.ki.wScan = static_cast<unsigned char>(c);
        key.ki.dwFlags = KEYEVENTF_UNICODE;
        keys.push_back(key);
        key.ki.dwFlags |= KEYEVENTF_KEYUP;
        keys.push_back(key);
    }
    SendInputs(keys);
}

void PostClick(HWND dialog, int controlId) {
    ::PostMessageA(::GetDlgItem(dialog, controlId), BM_CLICK, 0, 0);
}

void PostMenu(HWND window, int itemId) {
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(itemId, 0), 0);
}

// The temp-folder question of a run is answered Cancel, so a walk deletes nothing there.
void AnswerQuestions(DWORD process) {
    if (HWND question = FindTopLevel("Confirm Delete", process, 0, true))
        ::PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

bool Start(const std::string& program, PROCESS_INFORMATION& started) {
    std::string commandLine = "\"" + program + "\"";
    const std::string folder = program.substr(0, program.find_last_of('\\'));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &started)) {
        Fail("cannot start " + program);
        return false;
    }
    return true;
}

// File > Exit ends the program, with exit code 0, whatever else is up.
void Exit(HWND main, PROCESS_INFORMATION& started) {
    PostMenu(main, IDM_frmMain_mnuFileItem2);
    if (::WaitForSingleObject(started.hProcess, 20000) != WAIT_OBJECT_0) {
        Fail("File > Exit did not end the program");
        ::TerminateProcess(started.hProcess, 1);
    } else {
        DWORD code = 1;
        ::GetExitCodeProcess(started.hProcess, &code);
        Say("File > Exit: the program ended with code " + std::to_string(code));
        if (code != 0)
            Fail("exit code " + std::to_string(code));
    }
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
}

int Walk(const std::string& program, const std::string& shots) {
    PROCESS_INFORMATION started = {};
    if (!Start(program, started))
        return 1;
    const DWORD process = started.dwProcessId;

    // The splash comes and goes within a second; it stays loaded, hidden, after the main window is up.
    bool splashSeen = false;
    HWND main = nullptr;
    WaitFor([&] {
        splashSeen = splashSeen || FindTopLevel(kProduct, process, IDC_frmSplash_Image1, true);
        return (main = FindTopLevel(kMainCaption, process, IDC_frmMain_cmdStart, true)) != nullptr;
    });
    if (!main) {
        Fail("the main window did not come up");
        ::TerminateProcess(started.hProcess, 1);
        return 1;
    }
    HWND splash = nullptr;
    WaitFor(
        [&] {
            splash = FindTopLevel(kProduct, process, IDC_frmSplash_Image1, false);
            return splash && !::IsWindowVisible(splash);
        },
        {}, 5000);
    Say(std::string("splash: ") + (splashSeen ? "shown" : "not caught on screen") + ", then " +
        (splash && !::IsWindowVisible(splash) ? "hidden" : "not hidden"));
    if (!splash || ::IsWindowVisible(splash))
        Fail("the splash window is not loaded and hidden behind the main window");
    Say("main window: " + TextOf(main));

    bool helpTaken = false;
    if (HWND help = FindTopLevel(kHelpCaption, process, IDC_Form8_rtf1, true)) {
        Say("help window: up at start-up");
        if (!shots.empty())
            SavePicture(help, shots + "\\help.bmp"), helpTaken = true;
        ::PostMessageA(help, WM_CLOSE, 0, 0);
        WaitFor([&] { return !::IsWindow(help); });
    }
    if (!shots.empty()) {
        SavePicture(main, shots + "\\main.bmp");
        PostMenu(main, IDM_frmMain_mnuAboutItem);
        if (HWND about = WaitForWindow(kAboutCaption, process, IDC_frmAbout_lblWebsite)) {
            SavePicture(about, shots + "\\about.bmp");
            PostClick(about, IDOK);
            WaitFor([&] { return !::IsWindow(about); });
        }
        if (!helpTaken) {
            PostMenu(main, IDM_frmMain_mnuHelpItem);
            if (HWND help = WaitForWindow(kHelpCaption, process, IDC_Form8_rtf1)) {
                SavePicture(help, shots + "\\help.bmp");
                ::PostMessageA(help, WM_CLOSE, 0, 0);
                WaitFor([&] { return !::IsWindow(help); });
            }
        }
    }

    const HWND start = ::GetDlgItem(main, IDC_frmMain_cmdStart);
    if (TextOf(start) != " Clean  Now" || !::IsWindowEnabled(start))
        Fail("\" Clean  Now\" is not there to press");
    PostClick(main, IDC_frmMain_cmdStart);
    HWND results = WaitForWindow(kResultsCaption, process, IDC_frmResults_lstStatus, [&] { AnswerQuestions(process); });
    if (!results) {
        ::TerminateProcess(started.hProcess, 1);
        return 1;
    }
    if (::IsWindowVisible(main))
        Fail("the main window stayed up during the run");
    const HWND close = ::GetDlgItem(results, IDC_frmResults_cmdClose);
    if (!WaitFor([&] { return ::IsWindowEnabled(close) != FALSE; }, [&] { AnswerQuestions(process); }))
        Fail("the run did not finish");
    const std::string status = TextOf(::GetDlgItem(results, IDC_frmResults_lblStatus));
    if (status != kFinished)
        Fail("status reads \"" + status + "\"");
    const std::vector<std::string> log = ListRows(::GetDlgItem(results, IDC_frmResults_lstStatus));
    Say("results log: " + std::to_string(log.size()) + " lines");
    for (const std::string& line : log)
        Say("| " + line);
    if (log.size() < 3 || log[log.size() - 2] != "-- END   || Plugins" || log.back() != "  ")
        Fail("the log does not end with the plugin step");
    if (!shots.empty())
        SavePicture(results, shots + "\\results.bmp");

    PostClick(results, IDC_frmResults_cmdClose);
    if (!WaitFor([&] { return !::IsWindow(results) && ::IsWindowVisible(main); }))
        Fail("closing the results window did not bring the main window back");
    else
        Say("results window closed, main window back");

    Exit(main, started);
    return failures == 0 ? 0 : 1;
}

// Download Plugins, the notice answered OK; the plugin window that comes up, or none.
HWND OpenPlugins(HWND main, DWORD process) {
    PostClick(main, IDC_frmMain_cmdPlugs);
    HWND notice = nullptr;
    const bool noticed = WaitFor([&] {
        notice = FindTopLevel(kProduct, process, 0xFFFF, true);  // a message box's text has id 0xFFFF
        return notice != nullptr;
    });
    if (!noticed) {
        Fail("no plugin notice");
        return nullptr;
    }
    if (TextOf(::GetDlgItem(notice, 0xFFFF)) != kPluginNotice)
        Fail("the notice reads \"" + TextOf(::GetDlgItem(notice, 0xFFFF)) + "\"");
    if (FindTopLevel(kPluginsCaption, process, IDC_frmPlugins_Text1, false))
        Fail("the plugin window came before the notice was answered");
    ::PostMessageA(notice, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return WaitForWindow(kPluginsCaption, process, IDC_frmPlugins_Text1);
}

int Plugins(const std::string& program, const std::string& shots) {
    PROCESS_INFORMATION started = {};
    if (!Start(program, started))
        return 1;
    const DWORD process = started.dwProcessId;
    const HWND main = WaitForWindow(kMainCaption, process, IDC_frmMain_cmdPlugs);
    if (!main) {
        ::TerminateProcess(started.hProcess, 1);
        return 1;
    }
    if (HWND help = FindTopLevel(kHelpCaption, process, IDC_Form8_rtf1, true)) {
        ::PostMessageA(help, WM_CLOSE, 0, 0);
        WaitFor([&] { return !::IsWindow(help); });
    }

    HWND plugins = OpenPlugins(main, process);
    if (!plugins) {
        ::TerminateProcess(started.hProcess, 1);
        return 1;
    }
    const HWND address = ::GetDlgItem(plugins, IDC_frmPlugins_Text1);
    Say("plugin window: " + TextOf(plugins) + (::IsZoomed(plugins) ? ", maximised" : ", not maximised"));
    if (!::IsZoomed(plugins))
        Fail("the plugin window is not maximised");
    // This machine has no HTML engine for the window's browser: the page went to the web browser.
    if (!WaitFor([&] { return EditText(address) == kDownloadPage; }, {}, 5000))
        Fail("the address box reads \"" + EditText(address) + "\"");
    if (!::IsWindowVisible(::GetDlgItem(plugins, IDC_frmPlugins_lblNoBrowser)))
        Fail("the window does not say that its pages open in the web browser");
    Say("address: " + EditText(address));
    if (!shots.empty())
        SavePicture(plugins, shots + "\\plugins.bmp");

    ::SendMessageA(address, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("www.example.org/more"));
    PostClick(plugins, IDC_frmPlugins_Command3);
    if (!WaitFor([&] { return EditText(address) == "http://www.example.org/more"; }, {}, 5000))
        Fail("the typed address was not opened");

    ::PostMessageA(plugins, WM_CLOSE, 0, 0);
    if (!WaitFor([&] { return !::IsWindow(plugins); }))
        Fail("the plugin window stayed up");
    if (::WaitForSingleObject(started.hProcess, 500) == WAIT_OBJECT_0) {
        Fail("closing the plugin window ended the program");
        return 1;
    }
    Say("plugin window closed, the program runs on");

    plugins = OpenPlugins(main, process);
    if (plugins &&
        !WaitFor([&] { return EditText(::GetDlgItem(plugins, IDC_frmPlugins_Text1)) == kDownloadPage; }, {}, 5000))
        Fail("the plugin window did not open at the download page again");
    else if (plugins)
        Say("plugin window again, at " + EditText(::GetDlgItem(plugins, IDC_frmPlugins_Text1)));

    Exit(main, started);
    return failures == 0 ? 0 : 1;
}

// The message box of this process with this text; its OK pressed.
bool AnswerNotice(DWORD process, const std::string& title, const std::string& text) {
    HWND box = nullptr;
    const bool shown = WaitFor([&] {
        box = FindTopLevel(title, process, 0xFFFF, true);  // a message box's text has id 0xFFFF
        return box != nullptr;
    });
    if (!shown) {
        Fail("no message \"" + text + "\"");
        return false;
    }
    const std::string said = TextOf(::GetDlgItem(box, 0xFFFF));
    Say("message: " + said);
    if (said != text)
        Fail("the message reads \"" + said + "\"");
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    WaitFor([&] { return !::IsWindow(box); });
    return said == text;
}

int Wizard(const std::string& program, const std::string& cookieSite, const std::string& shots) {
    PROCESS_INFORMATION started = {};
    if (!Start(program, started))
        return 1;
    const DWORD process = started.dwProcessId;
    HWND main = WaitForWindow(kMainCaption, process, IDC_frmMain_cmdSetup);
    if (!main) {
        ::TerminateProcess(started.hProcess, 1);
        return 1;
    }
    if (HWND help = FindTopLevel(kHelpCaption, process, IDC_Form8_rtf1, true))
        ::PostMessageA(help, WM_CLOSE, 0, 0);
    PostClick(main, IDC_frmMain_cmdSetup);
    HWND wizard = WaitForWindow(kWizardCaption, process, IDC_frmSetup_cmdNext);
    if (!wizard) {
        ::TerminateProcess(started.hProcess, 1);
        return 1;
    }
    if (!WaitFor([&] { return !::IsWindow(main); }, {}, 5000))
        Fail("the main window stayed loaded while the wizard is open");
    Say("wizard: " + TextOf(wizard));

    const int frames[] = {IDC_frmSetup_Frame0, IDC_frmSetup_Frame1, IDC_frmSetup_Frame2, IDC_frmSetup_Frame3,
                          IDC_frmSetup_Frame4, IDC_frmSetup_Frame5, IDC_frmSetup_Frame6, IDC_frmSetup_Frame7};
    const HWND next = ::GetDlgItem(wizard, IDC_frmSetup_cmdNext);
    for (int page = 0; page < 8; ++page) {
        const HWND frame = ::GetDlgItem(wizard, frames[page]);
        if (!WaitFor([&] { return ::IsWindowVisible(frame) != FALSE; }, {}, 5000))
            Fail("page " + std::to_string(page) + " did not show");
        Say("page " + std::to_string(page) + ": " + TextOf(frame) + " [" + TextOf(next) + "]");
        if (!shots.empty())
            SavePicture(wizard, shots + "\\setup-page" + std::to_string(page) + ".bmp");
        if (page == 2) {
            const HWND found = ::GetDlgItem(wizard, IDC_frmSetup_lstSites3);
            const std::vector<std::string> sites = ListRows(found);
            Say("cookies on the system: " + std::to_string(sites.size()));
            for (const std::string& site : sites)
                Say("  " + site);
            bool chosen = false;
            for (std::size_t i = 0; i < sites.size() && !chosen; ++i) {
                if (sites[i] == cookieSite) {
                    ::SendMessageA(found, LB_SETSEL, TRUE, static_cast<LPARAM>(i));
                    chosen = true;
                }
            }
            if (!chosen)
                Fail("no cookie of " + cookieSite + " was found");
            PostClick(wizard, IDC_frmSetup_cmdAdd1);
            const HWND kept = ::GetDlgItem(wizard, IDC_frmSetup_lstSites2);
            if (!WaitFor([&] { return ListRows(kept) == std::vector<std::string>{cookieSite}; }, {}, 5000))
                Fail("the cookie site did not reach the keep-list");
        }
        PostClick(wizard, IDC_frmSetup_cmdNext);
        if (page < 7 && !WaitFor([&] { return !::IsWindowVisible(frame); }, {}, 5000))
            Fail("Next did not leave page " + std::to_string(page));
    }
    AnswerNotice(process, kProduct, kSetupComplete);
    main = WaitForWindow(kMainCaption, process, IDC_frmMain_cmdStart);
    if (!main || ::IsWindow(wizard)) {
        Fail("finishing did not bring the main window back in place of the wizard");
        ::TerminateProcess(started.hProcess, 1);
        return 1;
    }
    if (HWND help = FindTopLevel(kHelpCaption, process, IDC_Form8_rtf1, true))
        ::PostMessageA(help, WM_CLOSE, 0, 0);
    if (!::IsWindowEnabled(::GetDlgItem(main, IDC_frmMain_cmdStart)))
        Fail("\" Clean  Now\" is not enabled after the wizard");
    else
        Say("main window back, \" Clean  Now\" enabled");

    PostClick(main, IDC_frmMain_cmdStart);
    HWND results = WaitForWindow(kResultsCaption, process, IDC_frmResults_lstStatus, [&] { AnswerQuestions(process); });
    if (results) {
        const HWND close = ::GetDlgItem(results, IDC_frmResults_cmdClose);
        if (!WaitFor([&] { return ::IsWindowEnabled(close) != FALSE; }, [&] { AnswerQuestions(process); }))
            Fail("the run did not finish");
        for (const std::string& line : ListRows(::GetDlgItem(results, IDC_frmResults_lstStatus)))
            Say("| " + line);
        PostClick(results, IDC_frmResults_cmdClose);
        WaitFor([&] { return !::IsWindow(results) && ::IsWindowVisible(main); });
    }
    Exit(main, started);
    return failures == 0 ? 0 : 1;
}

// The program up with its main window, the help window that start-up may show closed; null when it
// did not come up.
HWND StartToMainWindow(const std::string& program, PROCESS_INFORMATION& started) {
    if (!Start(program, started))
        return nullptr;
    HWND main = WaitForWindow(kMainCaption, started.dwProcessId, IDC_frmMain_cmdStart);
    if (!main) {
        ::TerminateProcess(started.hProcess, 1);
        return nullptr;
    }
    if (HWND help = FindTopLevel(kHelpCaption, started.dwProcessId, IDC_Form8_rtf1, true)) {
        ::PostMessageA(help, WM_CLOSE, 0, 0);
        WaitFor([&] { return !::IsWindow(help); });
    }
    return main;
}

int Keys(const std::string& program) {
    PROCESS_INFORMATION started = {};
    HWND main = StartToMainWindow(program, started);
    if (!main)
        return 1;
    const DWORD process = started.dwProcessId;
    PostClick(main, IDC_frmMain_cmdSetup);
    HWND wizard = WaitForWindow(kWizardCaption, process, IDC_frmSetup_cmdNext);
    if (!wizard) {
        ::TerminateProcess(started.hProcess, 1);
        return 1;
    }
    // Real input goes to the window in front.
    ::SetForegroundWindow(wizard);
    if (!WaitFor([&] { return ::GetForegroundWindow() == wizard; }, {}, 5000))
        Fail("the wizard did not come to the front");
    const int frames[] = {IDC_frmSetup_Frame0, IDC_frmSetup_Frame1, IDC_frmSetup_Frame2, IDC_frmSetup_Frame3,
                          IDC_frmSetup_Frame4};
    const auto visiblePage = [&] {
        for (int page = 0; page < 5; ++page) {
            if (::IsWindowVisible(::GetDlgItem(wizard, frames[page])))
                return page;
        }
        return -1;
    };
    const struct {
        int page;
        int box;
        int list;
        const char* typed;
        const char* added;
    } rows[] = {
        {1, IDC_frmSetup_txtSite, IDC_frmSetup_lstSites1, "new.example", "new.example"},
        {2, IDC_frmSetup_Text1, IDC_frmSetup_lstSites2, "cookie.example", "cookie.example"},
        {4, IDC_frmSetup_txtDoc, IDC_frmSetup_lstDoc, "report.doc", "report"},
        {4, IDC_frmSetup_txtMedia, IDC_frmSetup_lstMedia, "clip.mpg", "clip"},
    };
    for (const auto& row : rows) {
        while (visiblePage() >= 0 && visiblePage() < row.page) {
            const int page = visiblePage();
            RealClick(::GetDlgItem(wizard, IDC_frmSetup_cmdNext));
            if (!WaitFor([&] { return visiblePage() != page; }, {}, 5000)) {
                Fail("a click on next did not leave page " + std::to_string(page));
                break;
            }
        }
        const HWND box = ::GetDlgItem(wizard, row.box);
        const HWND list = ::GetDlgItem(wizard, row.list);
        const std::vector<std::string> before = ListRows(list);
        RealClick(box);
        TypeText(row.typed);
        if (!WaitFor([&] { return EditText(box) == row.typed; }, {}, 5000))
            Fail(std::string("typing into the box gave \"") + EditText(box) + "\"");
        PressKey(VK_RETURN);
        std::vector<std::string> expected = before;
        expected.push_back(row.added);
        const bool added = WaitFor([&] { return ListRows(list) == expected; }, {}, 5000);
        Say(std::string("Enter after \"") + row.typed + "\" on page " + std::to_string(row.page) + ": " +
            (added ? "added" : "not added") + ", page " + std::to_string(visiblePage()) + ", box \"" + EditText(box) +
            "\"");
        if (!added)
            Fail(std::string("Enter did not add ") + row.typed);
        // Enter on the emptied box, again and again: nothing is added and the page stays.
        PressKey(VK_RETURN);
        PressKey(VK_RETURN);
        ::Sleep(200);
        if (visiblePage() != row.page)
            Fail("Enter moved the wizard to page " + std::to_string(visiblePage()));
        if (ListRows(list).size() != expected.size() && row.page < 4)
            Fail("Enter on the empty box added a row");
    }
    RealClick(::GetDlgItem(wizard, IDC_frmSetup_cmdCancel));
    main = WaitForWindow(kMainCaption, process, IDC_frmMain_cmdStart);
    if (!main || ::IsWindow(wizard)) {
        Fail("Cancel did not bring the main window back");
        ::TerminateProcess(started.hProcess, 1);
        return 1;
    }
    Exit(main, started);
    return failures == 0 ? 0 : 1;
}

// Runs a command line to its end and answers its exit code; what it wrote goes to output.
DWORD RunToEnd(const std::string& program, const std::string& arguments, std::string& output, DWORD patienceMs) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    ::CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    std::string commandLine = "\"" + program + "\" " + arguments;
    PROCESS_INFORMATION started = {};
    const BOOL ran = ::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                      &startup, &started);
    ::CloseHandle(writeEnd);
    if (!ran) {
        ::CloseHandle(readEnd);
        Fail("cannot start " + commandLine);
        return 1000;
    }
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
        output.append(buffer, got);
    ::CloseHandle(readEnd);
    DWORD code = 1000;
    if (::WaitForSingleObject(started.hProcess, patienceMs) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(started.hProcess, &code);
    else
        ::TerminateProcess(started.hProcess, 1);
    ::CloseHandle(started.hThread);
    ::CloseHandle(started.hProcess);
    return code;
}

int Second(const std::string& program) {
    PROCESS_INFORMATION started = {};
    HWND main = StartToMainWindow(program, started);
    if (!main)
        return 1;
    const DWORD process = started.dwProcessId;
    PostClick(main, IDC_frmMain_cmdStart);
    HWND question = nullptr;
    if (!WaitFor([&] { return (question = FindTopLevel("Confirm Delete", process, 0, true)) != nullptr; })) {
        Fail("the clean did not ask about the temp folder");
        ::TerminateProcess(started.hProcess, 1);
        return 1;
    }
    Say("the clean waits on its temp-folder question");

    std::string output;
    const DWORD code = RunToEnd(program, "/auto /yes", output, 60000);
    output.erase(std::remove(output.begin(), output.end(), '\r'), output.end());
    Say("a second copy with /auto /yes: code " + std::to_string(code) + ", said \"" + output + "\"");
    if (code != 3 || output != "Another clean is running.\n")
        Fail("the headless copy did not stand back");

    ::SetForegroundWindow(main);
    PROCESS_INFORMATION windowed = {};
    if (Start(program, windowed)) {
        bool ownWindow = false;
        // Looked at all along: the copy must never show a window of its own.
        const bool ended = WaitFor([&] { return ::WaitForSingleObject(windowed.hProcess, 0) == WAIT_OBJECT_0; },
                                   [&] {
                                       ownWindow = ownWindow ||
                                                   FindTopLevel(kMainCaption, windowed.dwProcessId, 0, true) ||
                                                   FindTopLevel(kProduct, windowed.dwProcessId, 0, true);
                                   },
                                   20000);
        DWORD windowedCode = 1000;
        ::GetExitCodeProcess(windowed.hProcess, &windowedCode);
        DWORD front = 0;
        ::GetWindowThreadProcessId(::GetForegroundWindow(), &front);
        Say(std::string("a second copy without arguments: ") + (ended ? "ended" : "still running") + " with code " +
            std::to_string(windowedCode) + (ownWindow ? ", showed a window" : ", showed no window") +
            (front == process ? "; the running copy is in front" : "; something else is in front"));
        if (!ended)
            ::TerminateProcess(windowed.hProcess, 1);
        if (!ended || ownWindow || front != process)
            Fail("the windowed copy did not hand over to the running one");
        ::CloseHandle(windowed.hThread);
        ::CloseHandle(windowed.hProcess);
    }

    AnswerQuestions(process);
    HWND results = WaitForWindow(kResultsCaption, process, IDC_frmResults_lstStatus);
    if (results) {
        const HWND close = ::GetDlgItem(results, IDC_frmResults_cmdClose);
        if (!WaitFor([&] { return ::IsWindowEnabled(close) != FALSE; }, [&] { AnswerQuestions(process); }))
            Fail("the run did not finish");
        PostClick(results, IDC_frmResults_cmdClose);
        WaitFor([&] { return !::IsWindow(results) && ::IsWindowVisible(main); });
    }
    Exit(main, started);
    return failures == 0 ? 0 : 1;
}

int Record(const std::string& file, const std::string& address) {
    const std::string line = address + "\n";
    // Recorders started close together take turns: the file is opened for no one else meanwhile.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const HANDLE out =
            ::CreateFileA(file.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            const BOOL wrote = ::WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            ::CloseHandle(out);
            return wrote && written == line.size() ? 0 : 1;
        }
        ::Sleep(10);
    }
    return 1;
}

int Prompt(const std::string& action, const std::string& password) {
    HWND prompt = WaitForWindow(kProduct, 0, IDC_frmPass_Text1);
    if (!prompt)
        return 1;
    Say("prompt: " + TextOf(::GetDlgItem(prompt, IDC_frmPass_Label1)));
    if (action == "cancel") {
        PostClick(prompt, IDC_frmPass_Command2);
    } else if (action == "close") {
        ::PostMessageA(prompt, WM_CLOSE, 0, 0);
    } else {
        ::SendMessageA(::GetDlgItem(prompt, IDC_frmPass_Text1), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(password.c_str()));
        PostClick(prompt, IDC_frmPass_Command1);
        if (action == "wrong") {
            HWND box = nullptr;
            const bool told = WaitFor([&] {
                box = FindTopLevel(kProduct, 0, 0xFFFF, true);  // a message box's text has id 0xFFFF
                return box && TextOf(::GetDlgItem(box, 0xFFFF)) == kWrongPassword;
            });
            if (!told) {
                Fail("no wrong-password message");
                return 1;
            }
            Say("message: " + TextOf(::GetDlgItem(box, 0xFFFF)));
            ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            WaitFor([&] { return !::IsWindow(box); });
            char typed[256] = {};
            ::SendMessageA(::GetDlgItem(prompt, IDC_frmPass_Text1), WM_GETTEXT, sizeof typed,
                           reinterpret_cast<LPARAM>(typed));
            if (password != typed)
                Fail("the typed text did not stay");
            if (!::IsWindow(prompt))
                Fail("the prompt closed after a wrong password");
            PostClick(prompt, IDC_frmPass_Command2);
        }
    }
    if (!WaitFor([&] { return !::IsWindow(prompt); }))
        Fail("the prompt stayed up");
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 2 && args[0] == "walk")
        return Walk(args[1], args.size() > 2 ? args[2] : std::string());
    if (args.size() >= 3 && args[0] == "wizard")
        return Wizard(args[1], args[2], args.size() > 3 ? args[3] : std::string());
    if (args.size() >= 2 && args[0] == "plugins")
        return Plugins(args[1], args.size() > 2 ? args[2] : std::string());
    if (args.size() >= 2 && args[0] == "keys")
        return Keys(args[1]);
    if (args.size() >= 2 && args[0] == "second")
        return Second(args[1]);
    if (args.size() >= 3 && args[0] == "record")
        return Record(args[1], args[2]);
    if (args.size() >= 2 && args[0] == "prompt")
        return Prompt(args[1], args.size() > 2 ? args[2] : std::string());
    std::fprintf(
        stderr,
        "usage: walk_windows.exe walk NIMBRAL_EXE [SHOTS_FOLDER] | wizard NIMBRAL_EXE COOKIE_SITE [SHOTS_FOLDER] | "
        "plugins NIMBRAL_EXE [SHOTS_FOLDER] | keys NIMBRAL_EXE | second NIMBRAL_EXE | "
        "record FILE ADDRESS | prompt ACTION [PASSWORD]\n");
    return 2;
}
