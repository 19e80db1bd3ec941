#include "plugins/PluginFiles.h"

#include <algorithm>

#include "system/xfileExists.h"
#include "text/AnsiText.h"

namespace nimbral {

namespace {

constexpr char kListExtension[] = ".ww1";

// Adds the ".ww1" files of one folder that are not known yet. False when the folder cannot be listed.
bool ScanFolder(PluginTables& tables,
                PluginList& lstPlugs,
                FileLister& lister,
                const SettingsStore& settings,
                const std::string& folder) {
    if (!lister.SetPath(folder) || !lister.Refresh())
        return false;
    for (std::size_t i = 0; i < lister.Count(); ++i) {
        const std::string file(Trim(lister.Entry(i)));
        const std::size_t extension = FindIgnoreCase(file, kListExtension);
        if (extension == std::string::npos)
            continue;

        // A file counts as known when its name holds a known plugin's name anywhere.
        std::size_t k = 0;
        bool known = false;
        for (; k < kPluginSlots && !tables.names[k].empty(); ++k) {
            if (ContainsIgnoreCase(file, Trim(tables.names[k]))) {
                known = true;
                break;
            }
        }
        if (known || k == kPluginSlots)
            continue;

        tables.names[k] = std::string(Trim(std::string_view(file).substr(0, extension)));
        tables.files[k] = JoinPath(lister.Path(), file);
        lstPlugs.push_back({tables.names[k], settings.GetSetting(SelectionKey(tables.names[k]), "False") == "True"});
    }
    return true;
}

bool ListHolds(const PluginList& lstPlugs, const std::string& name) {
    return std::any_of(lstPlugs.begin(), lstPlugs.end(),
                       [&name](const PluginEntry& line) { return ContainsIgnoreCase(line.text, name); });
}

}  // namespace

void PluginTables::Clear() {
    names.fill({});
    files.fill({});
}

namespace {

void BuildPluginFileList(PluginTables& tables,
                         PluginList& lstPlugs,
                         FileLister& File1,
                         const SettingsStore& settings,
                         const std::string& programFolder) {
    if (!ScanFolder(tables, lstPlugs, File1, settings, programFolder + "\\plugins"))
        return;
    if (!ScanFolder(tables, lstPlugs, File1, settings, kWasherFolder))
        return;

    // The rebuild selects every plugin whose choice is not exactly "False".
    lstPlugs.clear();
    for (const std::string& name : tables.names) {
        if (ListHolds(lstPlugs, name))
            continue;
        if (name.empty() || name == " ")
            break;
        lstPlugs.push_back({std::string(Trim(name)), settings.GetSetting(SelectionKey(name), "False") != "False"});
    }
}

}  // namespace

void BuildPluginList(PluginTables& tables,
                     PluginList& lstPlugs,
                     FileLister& File1,
                     const SettingsStore& settings,
                     const std::string& programFolder,
                     const PluginSources& sources) {
    // A refresh starts from the list as it is: the lines of the program's own come again last.
    lstPlugs.erase(std::remove_if(lstPlugs.begin(), lstPlugs.end(),
                                  [](const PluginEntry& line) { return line.source != nullptr; }),
                   lstPlugs.end());
    BuildPluginFileList(tables, lstPlugs, File1, settings, programFolder);
    for (PluginSource* source : sources)
        source->AddEntries(lstPlugs, settings);
}

void PluginFiles::RunPluginByName(const std::string& name, ResultsSurface& results, const ProtectedPlaces& places) {
    const auto pick = [&](const char* extension) -> std::string {
        for (const std::string& folder : {programFolder_ + "\\plugins", std::string(kWasherFolder)}) {
            const std::string path = folder + "\\" + name + extension;
            if (FileFound(services_.fileSystem, path))
                return path;
        }
        return {};
    };
    if (const std::string fileList = pick(".ww1"); !fileList.empty()) {
        ProcessFileList(services_, results, places, fileList);
    }
    if (const std::string registryList = pick(".ww2"); !registryList.empty()) {
        ProcessRegistryList(services_, results, registryList);
    }
}

}  // namespace nimbral
