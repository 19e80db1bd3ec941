// The community rules' speed and size under Wine, over the real system:
//   rules_bench.exe generate FILE [ENTRIES] [FILEKEYS]  writes a rule file in the published one's
//                                                       shape (about 4,000 entries, 15,000 FileKeys)
//   rules_bench.exe seed COUNT       puts on this machine what detects the first COUNT entries
//   rules_bench.exe detect FOLDER [RUNS]  reads FOLDER\plugins\winapp2.ini and detects its entries as
//                                    the main window's load does, RUNS times, and tells how much
//                                    memory the file takes while the list holds its entries
// bench/rules-bench.sh prepares the machine and also times the main window's load with the file.

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/UniqueHandles.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32KnownFolders.h"
#include "platform/win32/Win32OsVersionSource.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SettingsArea.h"
#include "platform/win32/Win32Shell.h"
#include "rules/CommunityRules.h"
#include "rules/RuleDetect.h"
#include "rules/RuleJudge.h"
#include "settings/SettingsStore.h"
#include "text/WideText.h"

namespace {

using nimbral::KnownFolder;

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

std::string Vendor(int i) {
    return "Bench Vendor " + std::to_string(i) + "\\App " + std::to_string(i);
}

// The variables, wildcards, flags and pattern lists of the published file, in about its proportions:
// most keys under the local AppData, many with a wildcard in a folder part, a few long pattern lists.
std::string FileKey(int entry, int key) {
    const std::string app = Vendor(entry);
    switch (key % 8) {
        case 0:
            return "%LocalAppData%\\" + app + "\\*\\Cache*|*|REMOVESELF";
        case 1:
            return "%AppData%\\" + app + "|*.log;*.tmp;*.bak;crash*.dmp";
        case 2:
            return "%LocalAppData%\\" + app + "\\Logs|*.log|RECURSE";
        case 3:
            return "%ProgramData%\\" + app + "\\Updates|*.msi;*.cab;*.exe";
        case 4:
            return "%LocalAppData%\\" + app + "\\User Data\\*\\GPUCache|*|REMOVESELF";
        case 5:
            return "%UserProfile%\\.bench-app-" + std::to_string(entry) + "|*.history;*.cache;recent*.xml";
        case 6: {
            std::string patterns;
            for (int p = 0; p < 24; ++p)
                patterns += (p ? ";" : "") + std::string("trace-") + std::to_string(p) + "-*.etl";
            return "%LocalAppData%\\" + app + "\\Diagnostics|" + patterns;
        }
        default:
            return "%ProgramFiles%\\" + app + "\\Temp|*.*";
    }
}

int Generate(const std::string& path, int entries, int fileKeys) {
    std::string text = "; Version: 260101\r\n; # of entries: " + std::to_string(entries) +
                       "\r\n; Generated for the benchmark in the shape of the community file.\r\n";
    int keysLeft = fileKeys;
    for (int i = 0; i < entries; ++i) {
        const std::string app = Vendor(i);
        text += "\r\n[Bench App " + std::to_string(i) + " *]\r\n";
        text += i % 2 ? "LangSecRef=3021\r\n" : "Section=Bench Tools\r\n";
        switch (i % 3) {
            case 0:
                text += "DetectFile=%ProgramFiles%\\" + app + "\r\n";
                break;
            case 1:
                text += "DetectFile1=%LocalAppData%\\" + app + "\r\nDetectFile2=%AppData%\\" + app + "\\*.json\r\n";
                break;
            default:
                text += "Detect=HKCU\\Software\\" + app + "\r\n";
                break;
        }
        if (i % 800 == 0)
            text += "Warning=This also removes the application's saved settings.\r\n";
        // The keys spread as evenly as they go.
        const int keys = keysLeft / (entries - i);
        keysLeft -= keys;
        for (int k = 0; k < keys; ++k)
            text += "FileKey" + std::to_string(k + 1) + "=" + FileKey(i, k + i) + "\r\n";
        text += "RegKey1=HKCU\\Software\\" + app + "\\Recent\r\n";
        if (i % 3 == 0)
            text += "RegKey2=HKCU\\Software\\" + app + "|LastFolder\r\n";
        if (i % 50 == 0)
            text += "ExcludeKey1=FILE|%LocalAppData%\\" + app + "\\|settings.json\r\n";
    }
    const std::u16string wide = nimbral::Utf16FromProgramText(path);
    nimbral::win32::UniqueHfile file(::CreateFileW(reinterpret_cast<const wchar_t*>(wide.c_str()), GENERIC_WRITE, 0,
                                                   nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
        return 1;
    std::printf("wrote %d entries, %d FileKeys, %zu bytes\n", entries, fileKeys, text.size());
    return 0;
}

bool MakeFolders(const std::string& path) {
    std::size_t at = path.find('\\', 3);
    for (;;) {
        const std::u16string wide = nimbral::Utf16FromProgramText(path.substr(0, at));
        ::CreateDirectoryW(reinterpret_cast<const wchar_t*>(wide.c_str()), nullptr);
        if (at == std::string::npos)
            return true;
        at = path.find('\\', at + 1);
    }
}

int Seed(int count) {
    nimbral::win32::Win32KnownFolders folders;
    for (int i = 0; i < count; ++i) {
        const std::string app = Vendor(i);
        switch (i % 3) {
            case 0:
                MakeFolders(folders.FolderPath(KnownFolder::kProgramFiles) + "\\" + app);
                break;
            case 1:
                MakeFolders(folders.FolderPath(KnownFolder::kLocalAppData) + "\\" + app + "\\Logs");
                break;
            default: {
                nimbral::win32::UniqueHkey key;
                ::RegCreateKeyExA(HKEY_CURRENT_USER, ("Software\\" + app).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, key.put(), nullptr);
                break;
            }
        }
    }
    std::printf("seeded %d applications\n", count);
    return 0;
}

PROCESS_MEMORY_COUNTERS_EX Memory() {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters);
    return counters;
}

int Detect(const std::string& programFolder, int runs) {
    nimbral::win32::Win32FileSystem fileSystem;
    nimbral::win32::Win32Registry registry;
    nimbral::win32::Win32KnownFolders folders;
    nimbral::win32::Win32OsVersionSource osVersion;
    nimbral::win32::Win32Shell shell;
    // Each listed line's choice is read as the main window's load reads it.
    nimbral::win32::Win32SettingsArea area;
    nimbral::SettingsStore settings(area, "Nimbral Windows Cleaner");
    std::vector<double> times;
    std::size_t listed = 0;
    double heldMb = 0;
    double peakMb = 0;
    std::optional<nimbral::CommunityRules> kept;
    nimbral::PluginList lstPlugs;
    for (int run = 0; run < runs; ++run) {
        // The first read is the one the program makes at its start, into a heap that has not grown yet;
        // the committed memory it adds is what the rules cost, the file's bytes read on the way included.
        const PROCESS_MEMORY_COUNTERS_EX before = Memory();
        const LARGE_INTEGER start = Now();
        kept.emplace(nimbral::RuleServices{fileSystem, registry, folders, osVersion, shell}, programFolder);
        lstPlugs.clear();
        kept->AddEntries(lstPlugs, settings);
        times.push_back(Milliseconds(start, Now()));
        const PROCESS_MEMORY_COUNTERS_EX after = Memory();
        listed = lstPlugs.size();
        if (run == 0) {
            heldMb = static_cast<double>(after.PagefileUsage - before.PagefileUsage) / (1024.0 * 1024.0);
            peakMb = static_cast<double>(after.PeakPagefileUsage - before.PagefileUsage) / (1024.0 * 1024.0);
        }
    }
    // Where the time of one read goes.
    {
        const LARGE_INTEGER t0 = Now();
        const nimbral::RuleFileBytes read =
            nimbral::ReadRuleFileBytes(fileSystem, programFolder + "\\plugins\\winapp2.ini");
        const LARGE_INTEGER t1 = Now();
        const nimbral::RuleFile file = nimbral::ParseRuleFile(read.bytes);
        const LARGE_INTEGER t2 = Now();
        nimbral::VariableResolver variables(folders);
        const auto databases = nimbral::BrowserDatabases(variables);
        for (const nimbral::RuleEntry& entry : file.entries)
            nimbral::TouchesBrowserData(entry, variables, databases, [](const auto&, const auto&) { return false; });
        const LARGE_INTEGER t3 = Now();
        nimbral::RuleDetector detector(fileSystem, registry, variables, nimbral::ReportedWindowsVersion(osVersion));
        std::size_t found = 0;
        for (const nimbral::RuleEntry& entry : file.entries)
            found += detector.Detected(entry) ? 1 : 0;
        const LARGE_INTEGER t4 = Now();
        std::vector<std::string> keys;
        for (const nimbral::PluginEntry& line : lstPlugs)
            keys.push_back("plug" + line.text);
        settings.GetSettings(keys, "False");
        const LARGE_INTEGER t5 = Now();
        std::printf(
            "  one read: file %.1f ms, parse %.1f ms, browser check %.1f ms, detection %.1f ms (%zu), the lines' "
            "choices %.1f ms\n",
            Milliseconds(t0, t1), Milliseconds(t1, t2), Milliseconds(t2, t3), Milliseconds(t3, t4), found,
            Milliseconds(t4, t5));
    }
    std::sort(times.begin(), times.end());
    std::printf("read and detect, %zu entries listed: median %.1f ms, fastest %.1f ms, slowest %.1f ms (%d runs)\n",
                listed, times[times.size() / 2], times.front(), times.back(), runs);
    std::printf("memory: %.1f MB more committed while the list holds the entries, %.1f MB at the peak of the read\n",
                heldMb, peakMb);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "generate" && argc > 2)
        return Generate(argv[2], argc > 3 ? std::atoi(argv[3]) : 4000, argc > 4 ? std::atoi(argv[4]) : 15000);
    if (what == "seed" && argc > 2)
        return Seed(std::atoi(argv[2]));
    if (what == "detect" && argc > 2)
        return Detect(argv[2], argc > 3 ? std::atoi(argv[3]) : 7);
    std::fprintf(stderr,
                 "usage: rules_bench.exe generate FILE [ENTRIES] [FILEKEYS] | seed COUNT | detect FOLDER [RUNS]\n");
    return 2;
}
