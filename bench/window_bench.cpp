// Times the windows under Wine, in the program's own composition over the real system:
//   window_bench.exe load [RUNS]   the main window's load (icons, captions, the plugin list from both
//                                  plugin folders, the cookie folder, the ticks), RUNS times
//   window_bench.exe clean [--gaps] one clean run from " Clean  Now"; with --gaps also the longest
//                                  time in it during which no message was handled (a 1 ms timer
//                                  counts the handled messages; the system fires it at most every
//                                  10 ms or so), which the timer's own messages make a little slower
//   window_bench.exe headless      one clean run as nimbral.exe /auto /yes makes it, timed the same
//                                  way, its log to standard output
//   window_bench.exe wizard        the setup wizard opened over full lists (10,001 entries in each
//                                  of its six stored lists) and finished, each timed until the windows
//                                  are idle again: with nothing stored since start-up, after a setting
//                                  was stored, and with another program storing one while it is open
// The temp-folder question is answered OK. Prints the figures; bench/window-bench.sh prepares the
// machine.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/Application.h"
#include "platform/win32/VersionResource.h"
#include "windows/Controls.h"
#include "windows/MessageLoop.h"
#include "windows/resource.h"
#include "wizard/frmSetup.h"

namespace {

class AnsweringMessageBoxes final : public nimbral::MessageBoxes {
  public:
    void Notice(HWND, const std::string&, const std::string&) override {}
    bool AskOkCancel(HWND, const std::string&, const std::string&) override { return true; }
};

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now;
}

// Each handled timer message, with the step the results window showed then.
struct Handled {
    LARGE_INTEGER at;
    std::string step;
};
std::vector<Handled> handled;
nimbral::Application* application = nullptr;

std::string CurrentStep() {
    nimbral::frmResults* results = application ? application->windows().Results() : nullptr;
    return results ? nimbral::controls::Text(results->Control(IDC_frmResults_lblStatus)) : std::string();
}

void CALLBACK CountHandled(HWND, UINT, UINT_PTR, DWORD) {
    handled.push_back({Now(), CurrentStep()});
}

int Load(nimbral::Application& app, int runs) {
    app.settings().LoadSettings();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const LARGE_INTEGER start = Now();
        app.windows().LoadMainWindow();
        times.push_back(Milliseconds(start, Now()));
    }
    const std::size_t plugins =
        app.windows().Main() ? nimbral::controls::ListCount(app.windows().Main()->Control(IDC_frmMain_lstPlugs)) : 0;
    std::sort(times.begin(), times.end());
    std::printf("main window load, %zu plugins listed: median %.1f ms, fastest %.1f ms, slowest %.1f ms (%d runs)\n",
                plugins, times[times.size() / 2], times.front(), times.back(), runs);
    return 0;
}

int Clean(nimbral::Application& app, bool gaps) {
    app.settings().LoadSettings();
    app.windows().LoadMainWindow();
    nimbral::frmMain* main = app.windows().Main();
    if (!main)
        return 1;
    application = &app;
    handled.reserve(1 << 20);
    const UINT_PTR timer = gaps ? ::SetTimer(nullptr, 0, 1, CountHandled) : 0;
    const LARGE_INTEGER start = Now();
    handled.push_back({start, "(start)"});
    ::SendMessageA(main->Control(IDC_frmMain_cmdStart), BM_CLICK, 0, 0);
    const LARGE_INTEGER end = Now();
    handled.push_back({end, CurrentStep()});
    if (timer)
        ::KillTimer(nullptr, timer);
    const std::size_t lines =
        app.windows().Results()
            ? nimbral::controls::ListCount(app.windows().Results()->Control(IDC_frmResults_lstStatus))
            : 0;
    if (!gaps) {
        std::printf("clean run: %.0f ms, %zu log lines\n", Milliseconds(start, end), lines);
        return 0;
    }

    // The longest gap of the whole run, and of each step (by the step shown when the gap ended).
    double longest = 0;
    std::size_t at = 0;
    std::vector<std::pair<std::string, double>> perStep;
    for (std::size_t i = 1; i < handled.size(); ++i) {
        const double gap = Milliseconds(handled[i - 1].at, handled[i].at);
        if (gap > longest)
            longest = gap, at = i;
        auto step = std::find_if(perStep.begin(), perStep.end(),
                                 [&](const auto& entry) { return entry.first == handled[i].step; });
        if (step == perStep.end())
            perStep.emplace_back(handled[i].step, gap);
        else
            step->second = std::max(step->second, gap);
    }
    for (const auto& [step, gap] : perStep)
        std::printf("  longest gap while the status read \"%s\": %.1f ms\n", step.c_str(), gap);
    std::printf(
        "clean run: %.0f ms, %zu log lines, %zu timer messages handled; longest gap between handled "
        "messages %.1f ms (ending %.0f ms into the run)\n",
        Milliseconds(start, end), lines, handled.size() - 2, longest, Milliseconds(start, handled[at].at));
    return 0;
}

}  // namespace

// Handles what is waiting, then reports how long since start.
double UntilIdle(LARGE_INTEGER start) {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        nimbral::HandleMessage(message);
    return Milliseconds(start, Now());
}

int Wizard(nimbral::Application& app) {
    nimbral::SettingsStore& settings = app.settings();
    settings.SaveSetting("enc", "0");
    for (const char* prefix : {"sit", "coo", "doc", "med", "fil", "pat"}) {
        for (int i = 0; i < 10001; ++i)
            settings.SaveSetting(prefix + std::to_string(i), std::string("entry number ") + std::to_string(i));
    }
    const LARGE_INTEGER loading = Now();
    settings.LoadSettings();
    std::printf("loading the settings alone: %.0f ms\n", Milliseconds(loading, Now()));
    nimbral::win32::Win32Registry registry;
    nimbral::win32::Win32Shell shell;
    nimbral::win32::Win32FileSystem fileSystem;
    nimbral::win32::Win32UrlCache urlCache;
    nimbral::win32::Win32OsVersionSource osVersion;
    AnsweringMessageBoxes messages;

    // As a user who opens the wizard after start-up and finishes it unchanged; after a setting was
    // stored in between, which makes the wizard read everything, then with one entry edited, which
    // makes it write; and with another program storing a setting while the wizard is open, which
    // makes the finish write everything.
    enum class Round { Unchanged, StoredBefore, StoredWhileOpen };
    bool allStored = true;
    for (const Round round : {Round::Unchanged, Round::StoredBefore, Round::StoredWhileOpen}) {
        if (round == Round::StoredBefore)
            settings.SaveSetting("benchmark mark", std::to_string(::GetTickCount()));
        bool closed = false;
        std::optional<nimbral::frmSetup> wizard;
        const LARGE_INTEGER opening = Now();
        wizard.emplace(::GetModuleHandleA(nullptr),
                       nimbral::frmSetup::Parts{app.identity(), settings, registry, shell, fileSystem, urlCache,
                                                osVersion, messages, "C:\\bench", "window_bench.exe"},
                       [&closed] { closed = true; });
        const double opened = UntilIdle(opening);
        const std::size_t rows = nimbral::controls::ListCount(wizard->Control(IDC_frmSetup_lstSites1));
        const std::string last = "entry " + std::to_string(static_cast<int>(round));
        const HWND cookies = wizard->Control(IDC_frmSetup_lstSites2);
        if (round != Round::Unchanged) {
            ::SendMessageA(cookies, LB_DELETESTRING, 10000, 0);
            ::SendMessageA(cookies, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(last.c_str()));
        }
        if (round == Round::StoredWhileOpen) {
            nimbral::win32::Win32SettingsArea elsewhere;
            elsewhere.SaveSetting(app.identity().productName, "Settings", "benchmark mark",
                                  std::to_string(::GetTickCount()));
        }
        for (int page = 0; page < 7; ++page)
            ::SendMessageA(wizard->Control(IDC_frmSetup_cmdNext), BM_CLICK, 0, 0);
        UntilIdle(Now());
        const LARGE_INTEGER finishing = Now();
        ::SendMessageA(wizard->Control(IDC_frmSetup_cmdNext), BM_CLICK, 0, 0);
        const double finished = UntilIdle(finishing);
        const bool stored =
            closed && settings.Current().coo[10000] == (round == Round::Unchanged ? "entry number 10000" : last);
        allStored = allStored && stored;
        const char* const what[] = {"nothing stored since start-up", "a setting stored since the last load",
                                    "another program storing a setting while it is open"};
        std::printf("setup wizard over six lists of %zu entries, %s: opened in %.0f ms, finished%s in %.0f ms%s\n",
                    rows, what[static_cast<int>(round)], opened,
                    round == Round::Unchanged ? "" : " with one entry edited", finished, stored ? "" : " (NOT STORED)");
    }
    return allStored ? 0 : 1;
}

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    AnsweringMessageBoxes messages;
    nimbral::Application app(nimbral::win32::ReadIdentity(), messages);
    if (!args.empty() && args[0] == "load")
        return Load(app, args.size() > 1 ? std::max(1, std::atoi(args[1].c_str())) : 5);
    if (!args.empty() && args[0] == "clean")
        return Clean(app, args.size() > 1 && args[1] == "--gaps");
    if (!args.empty() && args[0] == "headless") {
        const LARGE_INTEGER start = Now();
        const int code = app.RunHeadless(true);
        std::fprintf(stderr, "headless clean: %.0f ms\n", Milliseconds(start, Now()));
        return code;
    }
    if (!args.empty() && args[0] == "wizard")
        return Wizard(app);
    std::fprintf(stderr, "usage: window_bench.exe load [RUNS] | clean [--gaps] | headless | wizard\n");
    return 2;
}
