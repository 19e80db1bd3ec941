#pragma once

// The clean run and its steps.

#include <string>

#include "platform/FileSystem.h"
#include "platform/HistoryLibrary.h"
#include "platform/OsVersionSource.h"
#include "platform/Registry.h"
#include "platform/ResultsSurface.h"
#include "platform/Shell.h"
#include "engine/RunUrlCache.h"
#include "platform/UrlCache.h"
#include "plugins/PluginList.h"
#include "settings/SettingsStore.h"
#include "system/Listers.h"
#include "system/ProtectedFolders.h"

namespace nimbral {

// What the run works with, owned elsewhere for the life of the program.
struct EngineServices {
    SettingsStore& settings;
    Registry& registry;
    FileSystem& fileSystem;
    Shell& shell;
    UrlCache& urlCache;
    HistoryLibrary& history;
    OsVersionSource& osVersion;
    MainWindowListers& listers;  // DirEngine and FileEngine
    PluginList& lstPlugs;
    PluginRunner& plugins;
    std::string cookieFolder;  // special folder 33 with its backslash, looked up by the main window
    WindowHandle mainWindow = 0;
};

// One run's own state: the results surface, a file lister for a surface that has none, the
// protected places, taken once as the run starts, before any plugin could change what the system
// answers about them, and the URL cache as the run's walks share it.
struct CleanRunContext {
    CleanRunContext(EngineServices& services, ResultsSurface& results)
        : services(services),
          results(results),
          File1(services.fileSystem),
          places(ProtectedPlaces::Resolve(services.shell.OwnFolders(), services.fileSystem)),
          urlCache(services.urlCache) {}

    EngineServices& services;
    ResultsSurface& results;
    FileLister File1;
    ProtectedPlaces places;
    RunUrlCache urlCache;
};

inline constexpr char kTypedUrlsKey[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs\\";
inline constexpr char kMediaListKey[] = "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList";
inline constexpr char kRunMruKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
inline constexpr char kSearchAssistantKey[] = "Software\\Microsoft\\Search Assistant\\ACMru\\5603";
inline constexpr char kFilesNamedMruKey[] =
    "Software\\Microsoft\\Internet Explorer\\Explorer Bars\\{C4EE31F3-4768-11D2-BE5C-00A0C9A83DA1}\\FilesNamedMRU";

void RunClean(CleanHost& host, EngineServices& services);

void EditTypedUrls(CleanRunContext& run);
void DeleteHistory(CleanRunContext& run);
void RemoveUnwantedCookies(CleanRunContext& run);
void RemoveTempInternetFiles(CleanRunContext& run);
void CleanDocumentsMenu(CleanRunContext& run);
void CleanMediaPlayer(CleanRunContext& run);
void DeleteTempFiles(CleanRunContext& run);
void EmptyRecycleBin(CleanRunContext& run);
void ClearRunMenu(CleanRunContext& run);
void RunSelectedPlugins(CleanRunContext& run);

}  // namespace nimbral
