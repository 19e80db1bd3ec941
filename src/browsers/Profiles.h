#pragma once

// Today's browsers, where each keeps its data on this machine, and the profiles found there. Only
// the file system is asked: a browser's own list of profiles may be out of date or damaged, a folder
// on disk is what there is to clean.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Shell.h"

namespace nimbral {

enum class BrowserFamily { kChromium, kOpera, kFirefox };

struct Browser {
    const char* name;  // as the list and the log show it
    BrowserFamily family;
    // Below the user's local application data folder for the Chromium family, below the roaming one
    // for Opera and Firefox: the folder whose presence says the browser is there.
    const char* dataFolder;
};

// In the order the plugin list shows them.
inline constexpr std::array<Browser, 7> kBrowsers = {{
    {"Google Chrome", BrowserFamily::kChromium, "Google\\Chrome\\User Data"},
    {"Microsoft Edge", BrowserFamily::kChromium, "Microsoft\\Edge\\User Data"},
    {"Brave", BrowserFamily::kChromium, "BraveSoftware\\Brave-Browser\\User Data"},
    {"Vivaldi", BrowserFamily::kChromium, "Vivaldi\\User Data"},
    {"Opera", BrowserFamily::kOpera, "Opera Software\\Opera Stable"},
    {"Chromium", BrowserFamily::kChromium, "Chromium\\User Data"},
    {"Mozilla Firefox", BrowserFamily::kFirefox, "Mozilla\\Firefox"},
}};

// The user's two application data folders, each where it finally lies and without a trailing
// backslash; empty when the system names none.
struct AppDataFolders {
    std::string local;
    std::string roaming;
};
AppDataFolders FindAppDataFolders(Shell& shell, FileSystem& fileSystem);

struct Profile {
    std::string folder;
    // Where its cache folders are.
    std::vector<std::string> cacheFolders;
};

// One browser's data on this machine.
struct Installation {
    const Browser* browser = nullptr;
    std::string dataFolder;
    // Files a running browser holds open without sharing.
    std::vector<std::string> lockFiles;
    std::vector<Profile> profiles;
};

// Whether the browser's data folder is there; cheap enough for every load of the main window.
bool BrowserPresent(FileSystem& fileSystem, const AppDataFolders& folders, const Browser& browser);
// The browser's data and profiles; none when its data folder is not there.
std::optional<Installation> FindInstallation(FileSystem& fileSystem,
                                             const AppDataFolders& folders,
                                             const Browser& browser);

// The files of a profile that hold cookies, history and typed addresses, in the order they are
// cleaned; each may or may not be there.
std::vector<std::string> CookieDatabases(const Installation& installation, const Profile& profile);
std::string HistoryDatabase(const Installation& installation, const Profile& profile);
// Files beside a Chromium History that the browser fills from it; removed with it.
std::vector<std::string> HistoryCompanions(const Installation& installation, const Profile& profile);

// An ordinary file is there, exactly so named.
bool FileThere(FileSystem& fileSystem, const std::string& path);
// The path is where its entry finally lies: no link or junction anywhere on the way or at its end.
bool ExactlyNamed(FileSystem& fileSystem, const std::string& path);

}  // namespace nimbral
