#pragma once

// Plugins: discovery of the plugin files in the two plugin folders, and running one plugin's two
// lists (".ww1": files and folders to delete; ".ww2": registry values and keys to delete).

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/ResultsSurface.h"
#include "plugins/PluginList.h"
#include "settings/SettingsStore.h"
#include "system/Listers.h"
#include "system/ProtectedFolders.h"

namespace nimbral {

// The second plugin folder, kept by the outside party that publishes the list format.
inline constexpr char kWasherFolder[] = "c:\\program files\\washer";

// ---- the two line formats ----

// One line of a ".ww1" list, taken apart. kind says what the line asks for.
struct FileListLine {
    enum class Kind {
        Ignored,        // "No entries.", empty, no backslash, or a line that must not be acted on
        OneFile,        // folder + name: delete that one file
        FilesInFolder,  // folder + "*.*": delete the files directly inside
        WholeFolder,    // folder + "*.* >plus subdirectories<": delete the folder with everything
    };
    Kind kind = Kind::Ignored;
    std::string folder;  // up to and including the last backslash, as written
    std::string name;    // the file name, or "*.*"
    std::string option;
};
FileListLine ParseFileListLine(std::string_view line);

// One line of a ".ww2" list, taken apart.
struct RegistryListLine {
    enum class Kind { Nothing, Value, Key };
    Kind kind = Kind::Nothing;
    std::string hiveText;      // as written, with its backslash: "HKey_Current_User\"
    std::optional<Hive> hive;  // none when the hive text is not one of the four exact names
    std::string keyPath;       // below the hive, as written (not trimmed)
    std::string valueName;     // for a value entry
};
RegistryListLine ParseRegistryListLine(std::string_view line);

// ---- processing the lists during a clean run ----

struct PluginServices {
    FileSystem& fileSystem;
    Registry& registry;
    FileLister& FileEngine;  // the main window's file lister
};

void ProcessFileList(PluginServices& services,
                     ResultsSurface& results,
                     const ProtectedPlaces& places,
                     const std::string& listPath);
void ProcessRegistryList(PluginServices& services, ResultsSurface& results, const std::string& listPath);

}  // namespace nimbral
