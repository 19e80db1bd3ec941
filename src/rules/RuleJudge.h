#pragma once

// The judgements that rest on where a rule leads: which folders a key may sweep, which registry keys
// are the system's own, which entries reach the browsers' databases and which exclusions can be
// honoured. The run and the rules report ask the same questions here, so what the report says is
// refused is what the run refuses.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "rules/RuleFile.h"
#include "rules/RuleVariables.h"
#include "system/ProtectedFolders.h"

namespace nimbral {

// "*", "*.*" and the like: every file of the folder.
bool NamesEveryFile(std::string_view pattern);
// The segments of a path between its backslashes, empty ones left out.
std::vector<std::string> Parts(std::string_view path);
// A key that takes more than some named files directly in one folder: recursive, REMOVESELF, or a
// pattern that names every file.
bool SweepsFolder(const FileKeyRule& rule);

// The folder key used for "is or holds": the full path as the system reads it, letter case folded.
std::optional<std::string> PlaceKey(std::string_view path);
// Whether inner is outer or lies below it; both are place keys.
bool IsAtOrBelow(std::string_view inner, std::string_view outer);

class PlaceJudge {
  public:
    // The system's known folders are taken where they finally lie.
    PlaceJudge(FileSystem& fileSystem, VariableResolver& variables, const ProtectedPlaces& places);

    // Why the key must not act in the folder, which is where the folder finally lies; empty when it
    // may.
    std::string FolderRefusal(const std::string& folder, const FileKeyRule& rule) const;
    // Why one file a key names by a specific pattern must not go; empty when it may.
    std::string FileRefusal(const std::string& file) const;

  private:
    const ProtectedPlaces& places_;
    std::vector<std::string> userFolders_;    // the profile, Desktop, Documents, Downloads
    std::vector<std::string> systemFolders_;  // every other folder the variables name, but temp
    std::vector<std::string> tempFolders_;
};

// A key of the registry's own structure (a hive's first level, Software\Microsoft\Windows and the
// like): removing it with its subkeys would take the system with it.
bool IsSystemKey(const RegistryPlace& place);
// Whether place (a key, or one value) is key or lies below it.
bool IsAtOrBelow(const RegistryPlace& place, const RegistryPlace& key);

// Where one of the cookie and history databases that the browser entries edit lies on this machine:
// the parts of its folder, which may hold wildcards, and its name.
struct BrowserDatabase {
    std::vector<std::string> folder;
    std::vector<bool> wildcards;  // for each part of the folder
    std::string name;
};
std::vector<BrowserDatabase> BrowserDatabases(VariableResolver& variables);
// Whether the entry is one of the browsers' own cookie, history or cache entries, or one of its keys
// could delete one of those databases. refusedAnyway tells of a key that its place keeps from acting
// wherever it runs (a sweep of a drive's root).
bool TouchesBrowserData(const RuleEntry& entry,
                        VariableResolver& variables,
                        const std::vector<BrowserDatabase>& databases,
                        const std::function<bool(const FileKeyRule&, const ResolvedPath&)>& refusedAnyway);

// The first exclusion of the entry that cannot be honoured; none when all can.
std::optional<RuleNote> UnhonouredExclusion(const RuleEntry& entry, VariableResolver& variables);

}  // namespace nimbral
