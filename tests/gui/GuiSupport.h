#pragma once

// What the GUI tests share: a program of doubles behind the real windows, a message box double, and
// the ways a user acts on a control (a click, the mouse released over a box, the space bar).

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "doubles/FakeFileSystem.h"
#include "doubles/FakeOsVersionSource.h"
#include "doubles/FakeRegistry.h"
#include "doubles/FakeSettingsArea.h"
#include "doubles/FakeShell.h"
#include "doubles/FakeUrlCache.h"
#include "doubles/RecordingBrowsers.h"
#include "windows/Controls.h"
#include "windows/MessageBoxes.h"
#include "windows/ProgramWindows.h"

namespace nimbral::guitest {

inline constexpr char kProduct[] = "Nimbral Windows Cleaner";
inline constexpr char kProgramFolder[] = "C:\\Program Files\\Nimbral";

inline HINSTANCE ThisProgram() {
    return ::GetModuleHandleA(nullptr);
}

// Message boxes that are answered by the test and remember what they said.
class RecordingMessageBoxes final : public MessageBoxes {
  public:
    struct Shown {
        HWND owner;
        std::string text;
        std::string title;
    };
    void Notice(HWND owner, const std::string& text, const std::string& title) override {
        notices.push_back({owner, text, title});
        if (onNotice)
            onNotice();
    }
    bool AskOkCancel(HWND owner, const std::string& title, const std::string& text) override {
        questions.push_back({owner, text, title});
        return answer;
    }

    std::vector<Shown> notices;
    std::vector<Shown> questions;
    bool answer = false;
    std::function<void()> onNotice;
};

// A plugin runner that only notes which plugins the run asked for.
class RecordingPlugins final : public PluginRunner {
  public:
    void RunPluginByName(const std::string& name, ResultsSurface& results, const ProtectedPlaces&) override {
        ran.push_back(name);
        results.AppendLine("ran " + name);
    }
    std::vector<std::string> ran;
};

class NoHistory final : public HistoryLibrary {
  public:
    bool DeleteHistory() override { return true; }
};

// The program's windows over doubles: a fresh machine, its settings in memory.
struct TestProgram {
    TestProgram() { fileSystem.AddFolder(std::string(kProgramFolder) + "\\plugins"); }

    ProgramParts Parts() {
        return ProgramParts{ThisProgram(), identity,       settings, registry,  fileSystem, shell,
                            cache,         history,        os,       listers,   tables,     lstPlugs,
                            plugins,       kProgramFolder, messages, openWizard};
    }

    // A setting as stored.
    std::string Stored(const std::string& key) { return area.GetSetting(kProduct, "Settings", key, "<missing>"); }
    void Store(const std::string& key, const std::string& text) { area.SaveSetting(kProduct, "Settings", key, text); }

    Identity identity{kProduct, "Ardent Lume", "www.nimbral.example", 2, 2};
    testing::FakeSettingsArea area;
    SettingsStore settings{area, kProduct};
    testing::FakeRegistry registry;
    testing::FakeFileSystem fileSystem;
    testing::FakeShell shell;
    testing::FakeUrlCache cache;
    FakeOsVersionSource os;
    NoHistory history;
    MainWindowListers listers{fileSystem};
    PluginTables tables;
    PluginList lstPlugs;
    RecordingPlugins plugins;
    RecordingMessageBoxes messages;
    std::function<void()> openWizard;
    testing::RecordingBrowsers browsers;
};

// A window of the test's own that owns a modal dialog: each time the dialog's loop runs out of
// messages, the next step runs against the dialog. A dialog still up after the last step is given
// up with Cancel, and the test fails.
class ModalDriver {
  public:
    using Step = std::function<void(HWND dialog)>;

    explicit ModalDriver(std::vector<Step> steps) : steps_(std::move(steps)) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = ThisProgram();
        windowClass.lpszClassName = "NimbralTestOwner";
        ::RegisterClassA(&windowClass);
        owner_ = ::CreateWindowExA(0, "NimbralTestOwner", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, ThisProgram(),
                                   nullptr);
        ::SetWindowLongPtrA(owner_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~ModalDriver() { ::DestroyWindow(owner_); }

    HWND Owner() const { return owner_; }
    bool RanAllSteps() const { return next_ == steps_.size() && !gaveUp_; }

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<ModalDriver*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX)
            self->Idle(reinterpret_cast<HWND>(lParam));
        return ::DefWindowProcA(window, message, wParam, lParam);
    }

    void Idle(HWND dialog) {
        if (next_ < steps_.size()) {
            steps_[next_++](dialog);
        } else if (!gaveUp_) {
            gaveUp_ = true;
            ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        // The dialog's loop waits for a message once it is idle: give it one.
        if (::IsWindow(dialog))
            ::PostMessageA(dialog, WM_NULL, 0, 0);
    }

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    bool gaveUp_ = false;
    HWND owner_ = nullptr;
};

// Takes the quit request a window posted, so it does not end a later test's pumping; true when there
// was one.
inline bool TakeQuit() {
    MSG message;
    bool found = false;
    while (::PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        found = true;
    return found;
}

// Handles what is waiting for this thread's windows (posted dialog commands, for one).
inline void Pump() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        HandleMessage(message);
    }
}

inline void Click(HWND button) {
    ::SendMessageA(button, BM_CLICK, 0, 0);
}

// The mouse pressed and released over the middle of a control.
inline void MouseClick(HWND control, POINT at = {-1, -1}) {
    if (at.x < 0) {
        RECT client = {};
        ::GetClientRect(control, &client);
        at = {client.right / 2, client.bottom / 2};
    }
    ::SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ::SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

// The space bar pressed and released, with the character the keyboard translation makes of it.
inline void PressSpace(HWND control) {
    ::SendMessageA(control, WM_KEYDOWN, VK_SPACE, 0x00390001);
    ::SendMessageA(control, WM_CHAR, ' ', 0x00390001);
    ::SendMessageA(control, WM_KEYUP, VK_SPACE, 0xC0390001);
}

// A menu item chosen, as the menu bar sends it.
inline void ChooseMenu(HWND window, int itemId) {
    ::SendMessageA(window, WM_COMMAND, MAKEWPARAM(itemId, 0), 0);
}

inline std::string MenuText(HMENU menu, UINT item, UINT flags) {
    char text[128] = {};
    ::GetMenuStringA(menu, item, text, sizeof text, flags);
    return text;
}

}  // namespace nimbral::guitest
