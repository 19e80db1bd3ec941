// Every window as the user sees it at the display scale of this run: each visible control inside its
// window, no two of them on top of each other (a group box and what lies inside it aside), and each
// caption with room for its text in the control's own font. The run is made once at 96 and once at
// 144 dots per inch (NIMBRAL_TEST_DPI says which), and the windows are moved to a display of another
// scale as well.

#include <windows.h>
#include <commctrl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "doubles/FakeKnownFolders.h"
#include "gui/GuiSupport.h"
#include "rules/CommunityRules.h"
#include "windows/Dpi.h"
#include "windows/frmPass.h"
#include "windows/frmRules.h"
#include "windows/frmRulesUpdate.h"
#include "windows/resource.h"
#include "wizard/frmSetup.h"

namespace nimbral::guitest {
namespace {

using ::testing::IsEmpty;

struct Seen {
    HWND window;
    RECT place;  // in the parent's client area
};

std::string ClassOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

LONG StyleOf(HWND window) {
    return ::GetWindowLongA(window, GWL_STYLE);
}

bool IsGroupBox(HWND window) {
    return ::lstrcmpiA(ClassOf(window).c_str(), "Button") == 0 && (StyleOf(window) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string Named(HWND control) {
    return "control " + std::to_string(::GetDlgCtrlID(control)) + " (" + ClassOf(control) + " \"" +
           controls::Text(control) + "\")";
}

std::vector<Seen> VisibleControls(HWND window) {
    std::vector<Seen> seen;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child))
            continue;
        RECT place = {};
        ::GetWindowRect(child, &place);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        seen.push_back({child, place});
    }
    return seen;
}

// The room the control's text takes in its font, as the control draws it; nothing for a control
// whose text scrolls, is cut short with an ellipsis by design, or is a picture.
std::optional<SIZE> TextRoom(HWND control, const RECT& place) {
    const std::string text = controls::Text(control);
    const std::string kind = ClassOf(control);
    const LONG style = StyleOf(control);
    const int width = place.right - place.left;
    UINT format = DT_CALCRECT | DT_EXPANDTABS;
    int extraWidth = 0;
    const int dpi = dpi::OfWindow(control);
    if (::lstrcmpiA(kind.c_str(), "Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        if ((type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP) ||
            (style & SS_ELLIPSISMASK))
            return std::nullopt;
        format |= type == SS_LEFTNOWORDWRAP ? DT_SINGLELINE : DT_WORDBREAK;
        if (style & SS_NOPREFIX)
            format |= DT_NOPREFIX;
    } else if (::lstrcmpiA(kind.c_str(), "Button") == 0) {
        if (style & (BS_ICON | BS_BITMAP))
            return std::nullopt;
        format |= DT_SINGLELINE;
        switch (style & BS_TYPEMASK) {
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_3STATE:
            case BS_AUTO3STATE:
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON:
                // The box and the gap beside it.
                extraWidth = ::GetSystemMetrics(SM_CXMENUCHECK) + dpi::Scaled(4, dpi);
                break;
            case BS_GROUPBOX:
                // The frame's line on either side of the caption.
                extraWidth = dpi::Scaled(16, dpi);
                break;
            default:
                // The button's edges.
                extraWidth = dpi::Scaled(6, dpi);
                break;
        }
    } else {
        return std::nullopt;
    }
    if (text.empty())
        return std::nullopt;
    const HDC dc = ::GetDC(control);
    const auto font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
    const HGDIOBJ before = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
    RECT room = {0, 0, (format & DT_WORDBREAK) ? width : 0, 0};
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &room, format);
    ::SelectObject(dc, before);
    ::ReleaseDC(control, dc);
    return SIZE{room.right + extraWidth, room.bottom};
}

// What is wrong with the window's layout, one line for each fault.
std::vector<std::string> LayoutFaults(HWND window) {
    std::vector<std::string> faults;
    if (!window || !::IsWindowVisible(window))
        return {"the window is not shown"};
    RECT client = {};
    ::GetClientRect(window, &client);
    const std::vector<Seen> seen = VisibleControls(window);
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const Seen& one = seen[i];
        if (!Inside(one.place, client))
            faults.push_back(Named(one.window) + " reaches outside the window");
        if (const std::optional<SIZE> room = TextRoom(one.window, one.place)) {
            if (room->cx > one.place.right - one.place.left || room->cy > one.place.bottom - one.place.top)
                faults.push_back(Named(one.window) + " is too small for its text: it needs " +
                                 std::to_string(room->cx) + " by " + std::to_string(room->cy) + ", it has " +
                                 std::to_string(one.place.right - one.place.left) + " by " +
                                 std::to_string(one.place.bottom - one.place.top));
        }
        for (std::size_t j = i + 1; j < seen.size(); ++j) {
            const Seen& other = seen[j];
            RECT both = {};
            if (!::IntersectRect(&both, &one.place, &other.place))
                continue;
            if ((IsGroupBox(one.window) && Inside(other.place, one.place)) ||
                (IsGroupBox(other.window) && Inside(one.place, other.place)))
                continue;
            faults.push_back(Named(one.window) + " overlaps " + Named(other.window));
        }
    }
    return faults;
}

int FontHeight(HWND control) {
    LOGFONTA font = {};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return std::abs(font.lfHeight);
}

SIZE PictureSize(HWND pictureControl) {
    BITMAP bitmap = {};
    ::GetObjectA(reinterpret_cast<HBITMAP>(::SendMessageA(pictureControl, STM_GETIMAGE, IMAGE_BITMAP, 0)),
                 sizeof bitmap, &bitmap);
    return {bitmap.bmWidth, bitmap.bmHeight};
}

SIZE ButtonPictureSize(HWND button) {
    ICONINFO info = {};
    if (!::GetIconInfo(reinterpret_cast<HICON>(::SendMessageA(button, BM_GETIMAGE, IMAGE_ICON, 0)), &info))
        return {};
    BITMAP bitmap = {};
    ::GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return {bitmap.bmWidth, bitmap.bmHeight};
}

// The window as Windows moves it to a display of another scale: the message, with the place it
// suggests, the same corner at the size scaled.
void MoveToScale(HWND window, int newDpi) {
    const int oldDpi = dpi::OfWindow(window);
    RECT now = {};
    ::GetWindowRect(window, &now);
    RECT suggested = {now.left, now.top, now.left + ::MulDiv(now.right - now.left, newDpi, oldDpi),
                      now.top + ::MulDiv(now.bottom - now.top, newDpi, oldDpi)};
    ::SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&suggested));
}

// A download that never reaches the server: it lets the update window come up and be looked at.
class LookedAtDownload final : public WebDownload {
  public:
    Download Fetch(const std::string&, std::uint64_t, const Progress& progress) override {
        progress(1000, 4000);
        faults = LayoutFaults(::FindWindowA(nullptr, "Update Community Rules"));
        looked = true;
        return {};
    }
    std::vector<std::string> faults;
    bool looked = false;
};

struct Program : TestProgram {
    Program() {
        Store("showHelp", "0");
        Store("ipa", "0");
        Store("enc", "0");
        for (const char* flag :
             {"detype", "dehist", "decook", "deintt", "dedocu", "demedi", "derecy", "deruns", "dewint"})
            Store(flag, "0");
        fileSystem.AddFile(std::string(kProgramFolder) + "\\Help.rtf");
        fileSystem.SetContent(std::string(kProgramFolder) + "\\Help.rtf",
                              "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Ticking {\\b Cookies} removes them.\\par}");
        fileSystem.AddFile(std::string(kProgramFolder) + "\\plugins\\Alpha.ww1");
        settings.LoadSettings();
    }
    ProgramWindows windows{Parts(), &browsers};
};

struct Wizard : TestProgram {
    Wizard() {
        Store("enc", "0");
        OsVersionExRecord windowsXp;
        windowsXp.majorVersion = 5;
        windowsXp.minorVersion = 1;
        windowsXp.platformId = 2;
        os.extended = windowsXp;
        window.emplace(ThisProgram(),
                       frmSetup::Parts{identity, settings, registry, shell, fileSystem, cache, os, messages,
                                       kProgramFolder, "nimbral.exe", nullptr},
                       [] {});
    }
    void Next() { Click(::GetDlgItem(window->Hwnd(), IDC_frmSetup_cmdNext)); }
    std::optional<frmSetup> window;
};

// Each window the user can open, loaded as the program loads it; answers the window to look at.
struct Opened {
    const char* name;
    std::function<HWND(Program&)> open;
};

const std::vector<Opened>& ModelessWindows() {
    static const std::vector<Opened> windows = {
        {"splash",
         [](Program& program) {
             program.windows.Start();
             return program.windows.Splash()->Hwnd();
         }},
        {"main",
         [](Program& program) {
             program.windows.LoadMainWindow();
             return program.windows.Main()->Hwnd();
         }},
        {"results",
         [](Program& program) {
             program.windows.LoadMainWindow();
             program.windows.CleanNow();
             return program.windows.Results()->Hwnd();
         }},
        {"help",
         [](Program& program) {
             program.windows.ViewHelp();
             return program.windows.Help()->Hwnd();
         }},
        {"about",
         [](Program& program) {
             program.windows.ViewAbout();
             return program.windows.About()->Hwnd();
         }},
        {"plugin browser",
         [](Program& program) {
             program.windows.OpenPluginBrowser();
             return program.windows.Plugins()->Hwnd();
         }},
        {"plugin browser without a browser inside",
         [](Program& program) {
             program.browsers.available = false;
             program.windows.OpenPluginBrowser();
             return program.windows.Plugins()->Hwnd();
         }},
    };
    return windows;
}

TEST(Layout, TheRunIsAtTheScaleItWasStartedFor) {
    const char* asked = std::getenv("NIMBRAL_TEST_DPI");
    Program program;
    program.windows.LoadMainWindow();
    const int dpi = dpi::OfWindow(program.windows.Main()->Hwnd());
    EXPECT_EQ(dpi, asked ? std::atoi(asked) : dpi::kStandard);
    EXPECT_EQ(program.windows.Main()->Dpi(), dpi);
}

// The program asks for the common controls of version 6, which draw in the user's visual style: its
// buttons are theirs, and answer what only theirs know.
TEST(Layout, TheControlsAreTheCommonControlsOfVersionSix) {
    Program program;
    program.windows.LoadMainWindow();
    SIZE ideal = {};
    EXPECT_TRUE(::SendMessageA(::GetDlgItem(program.windows.Main()->Hwnd(), IDC_frmMain_cmdStart), BCM_GETIDEALSIZE, 0,
                               reinterpret_cast<LPARAM>(&ideal)));
    EXPECT_GT(ideal.cx, 0);
}

TEST(Layout, EveryWindowHasRoomForEachOfItsControls) {
    for (const Opened& window : ModelessWindows()) {
        SCOPED_TRACE(window.name);
        Program program;
        EXPECT_THAT(LayoutFaults(window.open(program)), IsEmpty());
    }

    {
        SCOPED_TRACE("password prompt");
        Program program;
        program.Store("ipa", "1");
        program.Store("pas", "x");
        std::vector<std::string> faults = {"never shown"};
        frmPass prompt(ThisProgram(), program.identity, program.settings, program.messages);
        ModalDriver driver({[&](HWND dialog) {
            faults = LayoutFaults(dialog);
            Click(::GetDlgItem(dialog, IDC_frmPass_Command2));
        }});
        prompt.Run(driver.Owner());
        EXPECT_THAT(faults, IsEmpty());
    }
    {
        SCOPED_TRACE("community rules report");
        std::vector<std::string> report(40, "Alpha: 3 files, 12 KB");
        frmRules rules(ThisProgram(), nullptr, report);
        rules.Show();
        EXPECT_THAT(LayoutFaults(rules.Hwnd()), IsEmpty());
    }
    {
        SCOPED_TRACE("community rules update");
        Program program;
        testing::FakeKnownFolders folders;
        CommunityRules rules{RuleServices{program.fileSystem, program.registry, folders, program.os, program.shell},
                             kProgramFolder};
        LookedAtDownload web;
        struct NoReplacer final : FileReplacer {
            bool Replace(const std::string&, const std::string&) override { return false; }
        } replacer;
        RulesParts parts{rules, web, replacer};
        frmRulesUpdate update(ThisProgram(), parts, "http://rules.example/winapp2.ini", rules.FilePath());
        update.Run(nullptr);
        EXPECT_TRUE(web.looked);
        EXPECT_THAT(web.faults, IsEmpty());
    }
}

TEST(Layout, EveryPageOfTheWizardHasRoomForEachOfItsControls) {
    Wizard wizard;
    for (int page = 0; page < 8; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        EXPECT_THAT(LayoutFaults(wizard.window->Hwnd()), IsEmpty());
        wizard.Next();
    }
}

// Windows sends the message when a window is dragged to a display of another scale; Wine never does,
// since all its displays have one scale.
TEST(Layout, AWindowMovedToADisplayOfAnotherScaleIsLaidOutAgainAtThatScale) {
    for (const Opened& window : ModelessWindows()) {
        SCOPED_TRACE(window.name);
        Program program;
        const HWND hwnd = window.open(program);
        const int from = dpi::OfWindow(hwnd);
        for (const int to : {from * 3 / 2, from}) {
            SCOPED_TRACE("moved to " + std::to_string(to) + " dots per inch");
            MoveToScale(hwnd, to);
            EXPECT_THAT(LayoutFaults(hwnd), IsEmpty());
        }
    }

    Program program;
    program.windows.LoadMainWindow();
    const HWND main = program.windows.Main()->Hwnd();
    const HWND box = ::GetDlgItem(main, IDC_frmMain_chkCookies);
    const HWND button = ::GetDlgItem(main, IDC_frmMain_cmdStart);
    const int boxFont = FontHeight(box);
    const int buttonFont = FontHeight(button);
    MoveToScale(main, program.windows.Main()->Dpi() * 2);
    // Verdana in the boxes, the dialog's font on the buttons: each twice as tall.
    EXPECT_NEAR(FontHeight(box), boxFont * 2, 1);
    EXPECT_NEAR(FontHeight(button), buttonFont * 2, 1);

    program.windows.ViewAbout();
    const HWND about = program.windows.About()->Hwnd();
    MoveToScale(about, 144);
    EXPECT_EQ(PictureSize(::GetDlgItem(about, IDC_frmAbout_Picture1)).cx, 144);
    MoveToScale(about, 120);
    EXPECT_EQ(PictureSize(::GetDlgItem(about, IDC_frmAbout_Picture1)).cx, 120);
    MoveToScale(about, 96);
    EXPECT_EQ(PictureSize(::GetDlgItem(about, IDC_frmAbout_Picture1)).cx, 96);

    program.windows.OpenPluginBrowser();
    const HWND plugins = program.windows.Plugins()->Hwnd();
    MoveToScale(plugins, 192);
    EXPECT_EQ(ButtonPictureSize(::GetDlgItem(plugins, IDC_frmPlugins_Command3)).cx,
              dpi::SystemMetric(SM_CXSMICON, 192));
}

TEST(Layout, PicturesAreDrawnForTheScale) {
    Program program;
    program.windows.Start();
    const HWND splash = program.windows.Splash()->Hwnd();
    const int dpi = dpi::OfWindow(splash);
    // Drawn for 96 and 144 dots per inch: at those, exactly the drawn size.
    if (dpi == 96 || dpi == 144) {
        EXPECT_EQ(PictureSize(::GetDlgItem(splash, IDC_frmSplash_Image1)).cx, dpi::Scaled(420, dpi));
    }
    program.windows.ViewAbout();
    EXPECT_EQ(PictureSize(::GetDlgItem(program.windows.About()->Hwnd(), IDC_frmAbout_Picture1)).cx,
              dpi::Scaled(96, dpi));
}

}  // namespace
}  // namespace nimbral::guitest
