#include "browsers/Profiles.h"

#include <algorithm>
#include <set>

#include "system/Listers.h"
#include "system/xfileExists.h"
#include "text/AnsiText.h"
#include "text/WideText.h"

namespace nimbral {

namespace {

// CSIDL_LOCAL_APPDATA and CSIDL_APPDATA.
constexpr int kLocalAppData = 0x1c;
constexpr int kRoamingAppData = 0x1a;

constexpr const char* kChromiumCaches[] = {"Cache", "Code Cache", "GPUCache"};
// A profiles.ini larger than this is not one a browser wrote.
constexpr std::size_t kMaxProfilesIni = 1 << 20;

std::string FolderOf(Shell& shell, FileSystem& fileSystem, int folderNumber) {
    std::string path = shell.SpecialFolderPath(0, folderNumber);
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    if (path.empty())
        return {};
    return fileSystem.FinalPath(path).value_or(std::string());
}

const std::string& BaseOf(const AppDataFolders& folders, const Browser& browser) {
    return browser.family == BrowserFamily::kChromium ? folders.local : folders.roaming;
}

// The subfolders of a folder, by name, in alphabetical order.
std::vector<std::string> Subfolders(FileSystem& fileSystem, const std::string& folder) {
    std::vector<std::string> names;
    for (const DirEntry& entry : fileSystem.FindEntries(folder + "\\*").value_or(std::vector<DirEntry>{})) {
        if ((entry.attributes & FileAttribute::kDirectory) && entry.name != "." && entry.name != "..")
            names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return LessIgnoreCase(a, b); });
    return names;
}

bool IsNumberedProfile(const std::string& name) {
    constexpr std::string_view kPrefix = "Profile ";
    if (name.size() <= kPrefix.size() || name.compare(0, kPrefix.size(), kPrefix) != 0)
        return false;
    return std::all_of(name.begin() + kPrefix.size(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

Profile ChromiumProfile(const std::string& folder, const std::vector<std::string>& cacheBases) {
    Profile profile{folder, {}};
    for (const std::string& base : cacheBases) {
        for (const char* cache : kChromiumCaches) {
            const std::string path = JoinPath(base, cache);
            if (std::none_of(profile.cacheFolders.begin(), profile.cacheFolders.end(),
                             [&](const std::string& known) { return EqualsIgnoreCase(known, path); }))
                profile.cacheFolders.push_back(path);
        }
    }
    return profile;
}

std::vector<Profile> ChromiumProfiles(FileSystem& fileSystem, const std::string& userData) {
    std::vector<Profile> profiles;
    for (const std::string& name : Subfolders(fileSystem, userData)) {
        const std::string folder = JoinPath(userData, name);
        if (name == "Default" || IsNumberedProfile(name) || FileThere(fileSystem, JoinPath(folder, "Preferences")))
            profiles.push_back(ChromiumProfile(folder, {folder}));
    }
    return profiles;
}

// Opera keeps one profile in its roaming folder itself, or in a "Default" folder there, and its cache
// under the same path in the local folder.
std::vector<Profile> OperaProfiles(FileSystem& fileSystem, const AppDataFolders& folders, const Browser& browser) {
    const std::string roaming = JoinPath(folders.roaming, browser.dataFolder);
    const std::string local = folders.local.empty() ? std::string() : JoinPath(folders.local, browser.dataFolder);
    std::vector<Profile> profiles;
    for (const std::string& sub : {std::string(), std::string("Default")}) {
        const std::string folder = sub.empty() ? roaming : JoinPath(roaming, sub);
        if (!sub.empty() && !fileSystem.FolderExists(folder))
            continue;
        std::vector<std::string> cacheBases{folder};
        if (!local.empty())
            cacheBases.push_back(sub.empty() ? local : JoinPath(local, sub));
        profiles.push_back(ChromiumProfile(folder, cacheBases));
    }
    return profiles;
}

std::string ReadAll(FileSystem& fileSystem, const std::string& path) {
    const auto source = fileSystem.OpenForReading(path);
    if (!source || !source->IsRegularFile() || source->Size() > kMaxProfilesIni)
        return {};
    std::string text;
    char buffer[8192];
    while (text.size() <= kMaxProfilesIni) {
        const std::size_t got = source->Read(buffer, sizeof buffer);
        if (got == 0)
            break;
        text.append(buffer, got);
    }
    return text;
}

// The profile folders profiles.ini names, as written there: "Path=" relative to the ini's folder
// when "IsRelative=1" (or when it names no drive), with forward slashes read as backslashes.
std::vector<std::string> FirefoxProfileFolders(FileSystem& fileSystem, const std::string& firefoxFolder) {
    struct Section {
        std::string path;
        std::string isRelative;
    };
    std::vector<Section> sections;
    bool inProfile = false;
    const std::string text = ReadAll(fileSystem, JoinPath(firefoxFolder, "profiles.ini"));
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        std::string_view line(text.data() + at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[') {
            inProfile = line.size() > 8 && EqualsIgnoreCase(line.substr(0, 8), "[Profile");
            if (inProfile)
                sections.emplace_back();
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inProfile || equals == std::string_view::npos)
            continue;
        const std::string_view key = Trim(line.substr(0, equals));
        const std::string_view value = Trim(line.substr(equals + 1));
        if (EqualsIgnoreCase(key, "Path"))
            sections.back().path = ProgramTextFromUtf8(value);
        else if (EqualsIgnoreCase(key, "IsRelative"))
            sections.back().isRelative = std::string(value);
    }

    std::vector<std::string> folders;
    std::set<std::string> seen;
    for (Section& section : sections) {
        std::string path = ReplaceAll(section.path, "/", "\\");
        while (path.size() > 3 && path.back() == '\\')
            path.pop_back();
        if (path.empty())
            continue;
        const bool named = path.size() >= 2 && path[1] == ':';
        const bool relative = section.isRelative == "1" || (section.isRelative.empty() && !named && path[0] != '\\');
        std::string folder = relative ? JoinPath(firefoxFolder, path) : path;
        if (seen.insert(FoldCase(folder)).second)
            folders.push_back(std::move(folder));
    }
    return folders;
}

std::vector<Profile> FirefoxProfiles(FileSystem& fileSystem, const AppDataFolders& folders, const Browser& browser) {
    const std::string firefox = JoinPath(folders.roaming, browser.dataFolder);
    const std::string localProfiles =
        folders.local.empty() ? std::string() : JoinPath(JoinPath(folders.local, browser.dataFolder), "Profiles");
    std::vector<Profile> profiles;
    for (const std::string& folder : FirefoxProfileFolders(fileSystem, firefox)) {
        if (!fileSystem.FolderExists(folder))
            continue;
        Profile profile{folder, {}};
        // A profile below the Firefox folder keeps its cache in the local twin of its folder; one
        // elsewhere keeps it in itself.
        const bool below = folder.size() > firefox.size() &&
                           EqualsIgnoreCase(folder.substr(0, firefox.size()), firefox) &&
                           folder[firefox.size()] == '\\';
        if (below && !localProfiles.empty())
            profile.cacheFolders.push_back(JoinPath(JoinPath(localProfiles, FileNamePart(folder)), "cache2"));
        else
            profile.cacheFolders.push_back(JoinPath(folder, "cache2"));
        profiles.push_back(std::move(profile));
    }
    return profiles;
}

}  // namespace

AppDataFolders FindAppDataFolders(Shell& shell, FileSystem& fileSystem) {
    return {FolderOf(shell, fileSystem, kLocalAppData), FolderOf(shell, fileSystem, kRoamingAppData)};
}

bool BrowserPresent(FileSystem& fileSystem, const AppDataFolders& folders, const Browser& browser) {
    const std::string& base = BaseOf(folders, browser);
    return !base.empty() && fileSystem.FolderExists(JoinPath(base, browser.dataFolder));
}

std::optional<Installation> FindInstallation(FileSystem& fileSystem,
                                             const AppDataFolders& folders,
                                             const Browser& browser) {
    if (!BrowserPresent(fileSystem, folders, browser))
        return std::nullopt;
    Installation installation;
    installation.browser = &browser;
    installation.dataFolder = JoinPath(BaseOf(folders, browser), browser.dataFolder);
    switch (browser.family) {
        case BrowserFamily::kChromium:
            installation.lockFiles.push_back(JoinPath(installation.dataFolder, "lockfile"));
            installation.profiles = ChromiumProfiles(fileSystem, installation.dataFolder);
            break;
        case BrowserFamily::kOpera:
            installation.profiles = OperaProfiles(fileSystem, folders, browser);
            for (const Profile& profile : installation.profiles)
                installation.lockFiles.push_back(JoinPath(profile.folder, "lockfile"));
            break;
        case BrowserFamily::kFirefox:
            installation.profiles = FirefoxProfiles(fileSystem, folders, browser);
            for (const Profile& profile : installation.profiles)
                installation.lockFiles.push_back(JoinPath(profile.folder, "parent.lock"));
            break;
    }
    return installation;
}

std::vector<std::string> CookieDatabases(const Installation& installation, const Profile& profile) {
    if (installation.browser->family == BrowserFamily::kFirefox)
        return {JoinPath(profile.folder, "cookies.sqlite")};
    // Newer versions moved the file into "Network"; a profile may still hold the old one too.
    return {JoinPath(profile.folder, "Network\\Cookies"), JoinPath(profile.folder, "Cookies")};
}

std::string HistoryDatabase(const Installation& installation, const Profile& profile) {
    return JoinPath(profile.folder,
                    installation.browser->family == BrowserFamily::kFirefox ? "places.sqlite" : "History");
}

std::vector<std::string> HistoryCompanions(const Installation& installation, const Profile& profile) {
    if (installation.browser->family == BrowserFamily::kFirefox)
        return {};
    std::vector<std::string> files;
    for (const char* name : {"Visited Links", "Top Sites", "Shortcuts", "Network Action Predictor"}) {
        files.push_back(JoinPath(profile.folder, name));
        if (std::string_view(name) != "Visited Links")
            files.push_back(JoinPath(profile.folder, std::string(name) + "-journal"));
    }
    return files;
}

bool FileThere(FileSystem& fileSystem, const std::string& path) {
    const auto entries = fileSystem.FindEntries(path);
    return entries && entries->size() == 1 && !((*entries)[0].attributes & FileAttribute::kDirectory) &&
           EqualsIgnoreCase((*entries)[0].name, FileNamePart(path));
}

bool ExactlyNamed(FileSystem& fileSystem, const std::string& path) {
    const auto finalPath = fileSystem.FinalPath(path);
    return finalPath && EqualsIgnoreCase(*finalPath, path);
}

}  // namespace nimbral
