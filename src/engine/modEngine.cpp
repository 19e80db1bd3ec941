#include "engine/modEngine.h"

#include <exception>
#include <optional>
#include <set>
#include <vector>

#include "engine/HostKey.h"
#include "engine/KeepPatterns.h"
#include "engine/modIECache.h"
#include "registry/ClearKey.h"
#include "system/Folders.h"
#include "system/ProtectedFolders.h"
#include "system/clsOS.h"
#include "system/xfileExists.h"
#include "text/AnsiText.h"

namespace nimbral {

namespace {

constexpr char kSeparator[] = "  ";
constexpr char kKillMarker[] = "##kill##";

struct Step {
    std::int16_t Settings::*flag;  // null: always runs
    const char* status;
    const char* begin;
    const char* end;
    void (*run)(CleanRunContext&);
};

// The fixed order of the run. The media player's END line is one word short of its BEGIN line.
constexpr Step kSteps[] = {
    {&Settings::detype, "Editing Typed URL's", "-- BEGIN || Edit Typed URL's", "-- END   || Edit Typed URL's",
     EditTypedUrls},
    {&Settings::dehist, "Deleting History", "-- BEGIN || Delete History", "-- END   || Delete History", DeleteHistory},
    {&Settings::decook, "Removing Unwanted Cookies", "-- BEGIN || Remove Unwanted Cookies",
     "-- END   || Remove Unwanted Cookies", RemoveUnwantedCookies},
    {&Settings::deintt, "Removing Temporary Internet Files", "-- BEGIN || Remove Temporary Internet Files",
     "-- END   || Remove Temporary Internet Files", RemoveTempInternetFiles},
    {&Settings::dedocu, "Cleaning Documents Menu", "-- BEGIN || Clean Documents Menu",
     "-- END   || Clean Documents Menu", CleanDocumentsMenu},
    {&Settings::demedi, "Cleaning Media Player", "-- BEGIN || Clean Media Player", "-- END   || Clean Media",
     CleanMediaPlayer},
    {&Settings::dewint, "Deleting Windows Temp Files", "-- BEGIN || Delete Temp Files", "-- END   || Delete Temp Files",
     DeleteTempFiles},
    {&Settings::derecy, "Emptying your Recycle Bin", "-- BEGIN || Empty Recycle Bin", "-- END   || Empty Recycle Bin",
     EmptyRecycleBin},
    {&Settings::deruns, "Clearing the Run Menu", "-- BEGIN || Clear Run Menu", "-- END   || Clear Run Menu",
     ClearRunMenu},
    {nullptr, "Running Selected Plugins", "-- BEGIN || Plugins", "-- END   || Plugins", RunSelectedPlugins},
};

// A failure that escapes a step is reported on one line and the run goes on, so the run always
// reaches its end and the close button that brings the main window back.
void RunStep(CleanRunContext& run, const Step& step) {
    ResultsSurface& results = run.results;
    results.SetStatus(step.status);
    results.AppendLine(step.begin);
    try {
        step.run(run);
    } catch (const std::exception& e) {
        results.AppendLine(std::string("Step failed: ") + (step.begin + 12) + " (" + e.what() + ")");
    } catch (...) {
        results.AppendLine(std::string("Step failed: ") + (step.begin + 12));
    }
    results.AppendLine(step.end);
    results.AppendLine(kSeparator);
    results.ProcessPendingMessages();
}

// Runs one statement of a step whose failures are dropped one by one.
template <typename Statement>
void IgnoringFailure(Statement&& statement) {
    try {
        statement();
    } catch (...) {
    }
}

std::string Numbered(const char* name, std::size_t number) {
    return name + DecimalText(std::uint64_t{number});
}

// What a step writes instead of its success line when a list it clears could not be emptied.
std::string CouldNotClearLine(const std::string& keyPath) {
    return "Could not clear: " + FullKeyName(Hive::CurrentUser, keyPath);
}

}  // namespace

void RunClean(CleanHost& host, EngineServices& services) {
    ResultsSurface& results = host.ShowResults();
    results.ProcessPendingMessages();
    services.settings.LoadSettings();

    CleanRunContext run(services, results);
    const Settings& settings = services.settings.Current();
    for (const Step& step : kSteps) {
        if (step.flag && settings.*step.flag != 1)
            continue;
        RunStep(run, step);
    }

    results.SetProgressValue(results.ProgressMax());
    results.SetStatus("Finished Covering Your Tracks");
    results.EnableClose();
}

void EditTypedUrls(CleanRunContext& run) {
    Registry& registry = run.services.registry;
    ResultsSurface& results = run.results;
    const KeepPatterns keep(run.services.settings.Current().sit);

    // Every kept address is written back, however many there are.
    struct Address {
        std::string text;
        std::string valueName;
    };
    std::vector<Address> kept;
    std::vector<Address> dropped;
    for (std::size_t n = 1;; ++n) {
        std::string valueName = Numbered("url", n);
        std::string address = registry.ReadStringValue(Hive::CurrentUser, kTypedUrlsKey, valueName);
        if (address.empty() || address == kKillMarker)
            break;
        (keep.Matches(address) ? kept : dropped).push_back({std::move(address), std::move(valueName)});
    }

    // An address is reported deleted only once it is gone: the key cannot be deleted while it has
    // subkeys, and then its values go one by one.
    const bool cleared = ClearRegistryKey(registry, Hive::CurrentUser, kTypedUrlsKey);
    std::set<std::string> left;
    if (!cleared) {
        for (const std::string& name :
             registry.ValueNames(Hive::CurrentUser, kTypedUrlsKey).value_or(std::vector<std::string>{}))
            left.insert(FoldCase(name));
    }
    for (const Address& address : dropped) {
        if (left.count(FoldCase(address.valueName)))
            continue;
        results.AppendLine("Deleted URL: " + address.text);
        results.ProcessPendingMessages();
    }
    if (!cleared)
        results.AppendLine(CouldNotClearLine(kTypedUrlsKey));

    // Renumbered from url1 in their old order. Where old values stayed, a kept address that stayed
    // keeps its place and one that went takes the next free number, so each is there once.
    std::size_t j = 1;
    for (const Address& address : kept) {
        if (!left.count(FoldCase(address.valueName))) {
            while (left.count(FoldCase(Numbered("url", j))))
                ++j;
            registry.SetStringValue(Hive::CurrentUser, kTypedUrlsKey, Numbered("url", j), address.text);
            left.insert(FoldCase(Numbered("url", j)));
        }
        results.AppendLine("Kept URL: " + address.text);
        results.ProcessPendingMessages();
    }
}

void DeleteHistory(CleanRunContext& run) {
    IgnoringFailure([&] { run.services.history.DeleteHistory(); });
    run.results.AppendLine("Deleted History");
}

void RemoveUnwantedCookies(CleanRunContext& run) {
    ResultsSurface& results = run.results;
    const std::string& folder = run.services.cookieFolder;
    const KeepText keep = KeepText::FromList(run.services.settings.Current().coo);

    // The lister belongs to this run alone: when the cookie folder cannot be listed it lists nothing,
    // so no other folder's files are ever touched.
    FileLister& files = run.results.File1() ? *run.results.File1() : run.File1;
    // Thousands of cookie files may be listed; the window keeps answering meanwhile.
    const auto betweenEntries = [&results] { results.ProcessPendingMessages(); };
    if (!folder.empty())
        files.SetPath(folder, betweenEntries);
    const std::size_t n = files.Count();
    std::size_t deleted = 0;
    results.AppendLine("Found " + DecimalText(std::uint64_t{n}) + " cookies in " + folder);
    results.SetProgressValue(0.001f);
    results.SetProgressMax(static_cast<float>(n) + 0.001f);

    // Files are deleted where the folder finally lies, and only a file that lies there: a link in
    // the folder is not deleted, and its target is never touched.
    const auto finalFolder = n > 0 ? run.services.fileSystem.FinalPath(files.Path()) : std::nullopt;
    for (std::size_t i = 0; i < n; ++i) {
        IgnoringFailure([&] {
            const std::string& name = files.Entry(i);
            // Only a file that really went counts as deleted; the others are kept.
            if (ContainsIgnoreCase(name, "txt") && !keep.Contains(HostKey(name, false)) && finalFolder &&
                run.services.fileSystem.RemoveFile(JoinPath(*finalFolder, name))) {
                ++deleted;
            }
        });
        results.SetProgressValue(static_cast<float>(i + 1));
        results.ProcessPendingMessages();
    }

    results.AppendLine("Deleted " + DecimalText(std::uint64_t{deleted}) + " unwanted cookies in " + folder);
    results.AppendLine("Kept " + DecimalText(std::int64_t(files.Count()) - std::int64_t(deleted)) + " cookies in " +
                       folder);
    IgnoringFailure([&] { WalkUrlCache(run.urlCache, results, kCookiesMode, keep); });
}

void RemoveTempInternetFiles(CleanRunContext& run) {
    WalkUrlCache(run.urlCache, run.results, kTempFilesMode, KeepText::FromList(run.services.settings.Current().sit));
}

void CleanDocumentsMenu(CleanRunContext& run) {
    EngineServices& s = run.services;
    ResultsSurface& results = run.results;
    s.shell.ClearRecentDocuments();

    // Without a Windows folder (or a Recent folder) the pattern would point at another folder.
    const std::string windowsFolder = s.shell.WindowsFolder();
    if (!windowsFolder.empty()) {
        IgnoringFailure([&] { s.fileSystem.DeleteFilesMatching(windowsFolder + "\\recent\\*.lnk"); });
    }

    const clsOS os(s.osVersion);
    if (ContainsIgnoreCase(os.OS_Name, "Windows XP") || ContainsIgnoreCase(os.OS_Name, "Windows 2000")) {
        IgnoringFailure([&] {
            const std::string recent = s.shell.SpecialFolderPath(s.mainWindow, SpecialFolder::kRecent);
            if (!recent.empty())
                s.fileSystem.DeleteFilesMatching(recent + "*.lnk");
        });
    }

    results.AppendLine("Removed all entries from Documents Menu");
    results.ProcessPendingMessages();

    const Settings& settings = s.settings.Current();
    for (std::size_t i = 0; i < kListSlots; ++i) {
        if (settings.pat[i].empty())
            continue;
        s.shell.AddRecentDocument(settings.pat[i]);
        results.AppendLine("Added " + settings.fil[i] + " to the Documents Menu");
        results.ProcessPendingMessages();
    }
}

void CleanMediaPlayer(CleanRunContext& run) {
    Registry& registry = run.services.registry;
    ResultsSurface& results = run.results;
    results.AppendLine(ClearRegistryKey(registry, Hive::CurrentUser, kMediaListKey)
                           ? "Removed all entries from Media Player History"
                           : CouldNotClearLine(kMediaListKey));

    const SettingList& media = run.services.settings.Current().med;
    std::size_t k = 0;
    for (std::size_t i = 0; i < kListSlots; ++i) {
        if (media[i].empty())
            continue;
        registry.SetStringValue(Hive::CurrentUser, kMediaListKey, Numbered("File", k), "c:\\" + media[i] + ".mpeg");
        results.AppendLine("Added decoy " + media[i] + ".mpeg to Media Player History");
        results.ProcessPendingMessages();
        ++k;
    }
    results.ProcessPendingMessages();
}

void DeleteTempFiles(CleanRunContext& run) {
    EngineServices& s = run.services;
    ResultsSurface& results = run.results;
    FileSystem& fileSystem = s.fileSystem;
    std::string& tempFolder = s.settings.Current().td;
    if (tempFolder.empty())
        tempFolder = s.shell.TempFolderPath();
    if (const std::string refusal = PathShapeRefusal(tempFolder); !refusal.empty()) {
        results.AppendLine(RefusalLine(tempFolder, refusal));
        return;
    }
    // The setting is acted on as the system reads a path ("/", "..", a trailing dot); the log shows
    // it as it is written.
    const auto fullPath = ResolveFullPath(tempFolder);
    const std::string setting = fullPath.value_or(tempFolder);

    // Pointing DirEngine there points FileEngine there too.
    FolderLister& dirEngine = s.listers.DirEngine;
    FileLister& fileEngine = s.listers.FileEngine;
    const auto betweenEntries = [&results] { results.ProcessPendingMessages(); };
    if (setting.empty() || !dirEngine.SetPath(setting, betweenEntries) || fileEngine.Path() != dirEngine.Path())
        return;

    // Judged where it finally lies, before the question is even asked. A folder that is itself a link
    // would have the removal work on what it leads to, so it is refused as a whole.
    const std::string folder = dirEngine.Path();
    const auto target = ResolveFolder(fileSystem, folder);
    std::string refusal;
    if (!fullPath)
        refusal = "it is not a full path";
    else if (!target)
        return;
    else if (target->isLink)
        refusal = "it is a link to another folder";
    else
        refusal = run.places.RefusalReason(target->finalPath, Removal::kFolder);
    if (!refusal.empty()) {
        results.AppendLine(RefusalLine(folder, refusal));
        return;
    }

    const std::string prompt =
        "All files in the following directory are about to be deleted.  Please ensure this is your Windows Temp "
        "File directory.  You can change this setting through the setup wizard.\r\n\r\nDirectory: " +
        folder + "\r\n\r\nWould you like to contine?";
    if (!results.ConfirmOkCancel("Confirm Delete", prompt))
        return;

    DeleteDirectory(fileSystem, results, run.places, setting, tempFolder);

    // Thousands of names may be left to look at; the window keeps answering between them.
    for (std::size_t i = 0; i < dirEngine.Count(); ++i) {
        results.ProcessPendingMessages();
        IgnoringFailure([&] { DeleteDirectory(fileSystem, results, run.places, dirEngine.Entry(i)); });
    }

    // The files go where the folder finally lies; when the folder itself went, they went with it.
    const auto finalFolder = fileSystem.FinalPath(fileEngine.Path());
    for (std::size_t i = 0; finalFolder && i < fileEngine.Count(); ++i) {
        results.ProcessPendingMessages();
        IgnoringFailure([&] {
            fileEngine.SetListIndex(static_cast<std::ptrdiff_t>(i));
            const std::string name = fileEngine.FileName();
            const std::string full = JoinPath(*finalFolder, name);
            if (!FileFound(fileSystem, full))
                return;
            fileSystem.SetAttributesNormal(full);
            results.AppendLine((fileSystem.RemoveFile(full) ? "File Deleted: " : "Could not Delete: ") + name);
        });
    }

    // Programs expect their temporary folder to be there: the first removal may have taken it away.
    if (!fileSystem.FolderExists(folder))
        fileSystem.CreateFolder(folder);
}

void EmptyRecycleBin(CleanRunContext& run) {
    run.services.shell.EmptyRecycleBin(run.services.mainWindow);
    run.results.AppendLine("Recycle Bin Emptied");
}

void ClearRunMenu(CleanRunContext& run) {
    Registry& registry = run.services.registry;
    ResultsSurface& results = run.results;
    std::string mruList;
    IgnoringFailure([&] { mruList = registry.ReadStringValue(Hive::CurrentUser, kRunMruKey, "MRUList"); });
    for (char entry : mruList) {
        IgnoringFailure([&] { registry.DeleteRegistryValue(Hive::CurrentUser, kRunMruKey, std::string(1, entry)); });
    }
    IgnoringFailure([&] { registry.DeleteRegistryValue(Hive::CurrentUser, kRunMruKey, "MRUList"); });
    results.AppendLine("Run Menu Cleared - May require restart");
    // Each list's line says whether it was emptied.
    const auto clear = [&](const char* keyPath, const char* clearedLine) {
        bool cleared = false;
        IgnoringFailure([&] { cleared = ClearRegistryKey(registry, Hive::CurrentUser, keyPath); });
        results.AppendLine(cleared ? clearedLine : CouldNotClearLine(keyPath));
    };
    clear(kSearchAssistantKey, "Search History Cleared - May require restart");
    clear(kFilesNamedMruKey, "Classic Search History Cleared - May require restart");
}

void RunSelectedPlugins(CleanRunContext& run) {
    PluginList& plugins = run.services.lstPlugs;
    // The list is read afresh on every pass: a plugin may change what it holds.
    for (std::size_t i = 0; i < plugins.size(); ++i) {
        if (!plugins[i].selected)
            continue;
        const std::string name = plugins[i].text;
        PluginSource* const source = plugins[i].source;
        run.results.AppendLine("STARTING PLUGIN: " + name);
        if (source)
            source->RunEntry(name, run.results, run.places);
        else
            run.services.plugins.RunPluginByName(name, run.results, run.places);
        run.results.AppendLine("FINISHED PLUGIN: " + name);
        run.results.AppendLine("-----");
    }
}

}  // namespace nimbral
