#include "browsers/BrowserCleaner.h"

#include <set>

#include "browsers/CleanPlans.h"
#include "browsers/CookieKeep.h"
#include "browsers/Profiles.h"
#include "engine/KeepPatterns.h"
#include "system/Folders.h"
#include "text/AnsiText.h"
#include "text/WideText.h"

namespace nimbral {

namespace {

enum class Trace { kCache, kCookies, kHistory };

struct EntryKind {
    Trace trace;
    const char* suffix;
};
constexpr EntryKind kEntryKinds[] = {{Trace::kCache, " Cache"},
                                     {Trace::kCookies, " Cookies"},
                                     {Trace::kHistory, " History"}};

constexpr char kThroughLink[] = "it is reached through a link";

void CleanCaches(FileSystem& fileSystem,
                 ResultsSurface& results,
                 const ProtectedPlaces& places,
                 const Installation& installation) {
    for (const Profile& profile : installation.profiles) {
        for (const std::string& folder : profile.cacheFolders) {
            if (!fileSystem.FolderExists(folder))
                continue;
            // The removal would take place where the folder finally lies; through a link that is
            // somewhere the browser never put its cache.
            if (!ExactlyNamed(fileSystem, folder))
                results.AppendLine("Could not delete: " + folder);
            else
                DeleteDirectory(fileSystem, results, places, folder);
            results.ProcessPendingMessages();
        }
    }
}

// A database that is there and lies where it is named; the line saying why not otherwise.
bool Cleanable(FileSystem& fileSystem, ResultsSurface& results, const std::string& path) {
    if (!FileThere(fileSystem, path))
        return false;
    if (ExactlyNamed(fileSystem, path))
        return true;
    results.AppendLine("Could not clean " + path + ": " + kThroughLink);
    return false;
}

void CleanCookies(FileSystem& fileSystem,
                  Databases& databases,
                  ResultsSurface& results,
                  const Installation& installation,
                  const CookieKeep& keep) {
    for (const Profile& profile : installation.profiles) {
        for (const std::string& path : CookieDatabases(installation, profile)) {
            if (!Cleanable(fileSystem, results, path))
                continue;
            CleanDatabase(databases, results, path,
                          [&](Connection& db) { return CookieLines(CleanCookieTable(db, keep), path); });
            results.ProcessPendingMessages();
        }
    }
}

void CleanHistory(FileSystem& fileSystem,
                  Databases& databases,
                  ResultsSurface& results,
                  const Installation& installation,
                  const KeepPatterns& keep) {
    const bool firefox = installation.browser->family == BrowserFamily::kFirefox;
    for (const Profile& profile : installation.profiles) {
        const std::string path = HistoryDatabase(installation, profile);
        bool cleaned = true;
        if (FileThere(fileSystem, path)) {
            cleaned =
                Cleanable(fileSystem, results, path) && CleanDatabase(databases, results, path, [&](Connection& db) {
                    return HistoryLines(firefox ? CleanFirefoxHistory(db, keep) : CleanChromiumHistory(db, keep), path);
                });
        }
        results.ProcessPendingMessages();
        // The browser fills these from the history, and would fill them again from an uncleaned one.
        if (!cleaned)
            continue;
        for (const std::string& file : HistoryCompanions(installation, profile)) {
            if (FileThere(fileSystem, file))
                results.AppendLine((fileSystem.RemoveFile(file) ? "Deleted File: " : "Could not Delete: ") + file);
        }
    }
}

std::vector<Installation> Installations(FileSystem& fileSystem, Shell& shell) {
    const AppDataFolders folders = FindAppDataFolders(shell, fileSystem);
    std::vector<Installation> installations;
    for (const Browser& browser : kBrowsers) {
        if (auto installation = FindInstallation(fileSystem, folders, browser))
            installations.push_back(std::move(*installation));
    }
    return installations;
}

// Reads every file of one kind in turn; a file that cannot be read is passed over.
template <typename Read>
void ReadEach(FileSystem& fileSystem, Databases& databases, const std::vector<std::string>& paths, Read read) {
    for (const std::string& path : paths) {
        if (!FileThere(fileSystem, path))
            continue;
        OpenedDatabase opened = databases.Open(path);
        if (!opened.connection)
            continue;
        opened.connection->LeaveLogOnClose();
        read(*opened.connection);
    }
}

void AddOnce(ListBoxRows& rows, std::set<std::string>& seen, std::string text) {
    if (!text.empty() && seen.insert(text).second)
        rows.push_back(std::move(text));
}

}  // namespace

std::string SkippedRunningLine(const std::string& browser) {
    return "Skipped " + browser + ": it is running. Close it and clean again.";
}

std::vector<std::string> BrowserCleaner::EntryNames() {
    const AppDataFolders folders = FindAppDataFolders(shell_, fileSystem_);
    std::vector<std::string> names;
    for (const Browser& browser : kBrowsers) {
        if (!BrowserPresent(fileSystem_, folders, browser))
            continue;
        for (const EntryKind& kind : kEntryKinds)
            names.push_back(browser.name + std::string(kind.suffix));
    }
    return names;
}

void BrowserCleaner::AddEntries(PluginList& lstPlugs, const SettingsStore& settings) {
    for (std::string& name : EntryNames()) {
        const bool selected = settings.GetSetting(SelectionKey(name), "False") == "True";
        lstPlugs.push_back({std::move(name), selected, this});
    }
}

void BrowserCleaner::RunEntry(const std::string& name, ResultsSurface& results, const ProtectedPlaces& places) {
    for (const Browser& browser : kBrowsers) {
        for (const EntryKind& kind : kEntryKinds) {
            if (name != browser.name + std::string(kind.suffix))
                continue;
            const auto installation = FindInstallation(fileSystem_, FindAppDataFolders(shell_, fileSystem_), browser);
            if (!installation)
                return;
            for (const std::string& lockFile : installation->lockFiles) {
                if (databases_.HeldByAnother(lockFile)) {
                    results.AppendLine(SkippedRunningLine(browser.name));
                    return;
                }
            }
            const Settings& settings = settings_.Current();
            switch (kind.trace) {
                case Trace::kCache:
                    CleanCaches(fileSystem_, results, places, *installation);
                    break;
                case Trace::kCookies:
                    CleanCookies(fileSystem_, databases_, results, *installation, CookieKeep(settings.coo));
                    break;
                case Trace::kHistory:
                    CleanHistory(fileSystem_, databases_, results, *installation, KeepPatterns(settings.sit));
                    break;
            }
            return;
        }
    }
}

ListBoxRows BrowserCookieHosts(FileSystem& fileSystem, Shell& shell, Databases& databases) {
    ListBoxRows hosts;
    std::set<std::string> seen;
    for (const Installation& installation : Installations(fileSystem, shell)) {
        for (const Profile& profile : installation.profiles) {
            ReadEach(fileSystem, databases, CookieDatabases(installation, profile), [&](Connection& db) {
                const char* sql = db.TableExists("cookies") ? "SELECT host_key FROM cookies ORDER BY rowid"
                                                            : "SELECT host FROM moz_cookies ORDER BY rowid";
                Statement select = db.Prepare(sql);
                while (select.Step()) {
                    std::string host = ProgramTextFromUtf8(select.Text(0));
                    AddOnce(hosts, seen, host.empty() || host[0] != '.' ? host : host.substr(1));
                }
            });
        }
    }
    return hosts;
}

ListBoxRows BrowserTypedAddresses(FileSystem& fileSystem, Shell& shell, Databases& databases) {
    ListBoxRows addresses;
    std::set<std::string> seen;
    for (const Installation& installation : Installations(fileSystem, shell)) {
        const bool firefox = installation.browser->family == BrowserFamily::kFirefox;
        for (const Profile& profile : installation.profiles) {
            ReadEach(fileSystem, databases, {HistoryDatabase(installation, profile)}, [&](Connection& db) {
                Statement select = db.Prepare(firefox ? "SELECT url FROM moz_places WHERE typed = 1 ORDER BY id"
                                                      : "SELECT url FROM urls WHERE typed_count > 0 ORDER BY id");
                while (select.Step())
                    AddOnce(addresses, seen, ProgramTextFromUtf8(select.Text(0)));
            });
        }
    }
    return addresses;
}

}  // namespace nimbral
