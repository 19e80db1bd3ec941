#pragma once

// Whether an entry's application is on this machine: its Windows versions, its registry keys, its
// files and folders. Thousands of entries ask about the same few folders (Program Files, AppData)
// and keys (Software), so each folder and key is listed once and every question about what it holds
// is answered from that listing.

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/OsVersionSource.h"
#include "platform/Registry.h"
#include "rules/RuleFile.h"
#include "rules/RuleVariables.h"

namespace nimbral {

// The Windows version the system reports; none when it does not.
std::optional<WindowsVersion> ReportedWindowsVersion(OsVersionSource& osVersion);
// Whether version lies within the entry's bounds (either may be missing); parts compare as numbers.
bool WithinVersions(const WindowsVersion& version, const DetectOsRule& bounds);

class RuleDetector {
  public:
    RuleDetector(FileSystem& fileSystem,
                 Registry& registry,
                 VariableResolver& variables,
                 std::optional<WindowsVersion> windows)
        : fileSystem_(fileSystem), registry_(registry), variables_(variables), windows_(std::move(windows)) {}

    // DetectOS must hold; then any Detect, DetectFile or known SpecialDetect that holds lists the
    // entry. An entry that asks nothing is not listed.
    bool Detected(const RuleEntry& entry);
    // Whether the path names anything: a file or folder for its last part, folders before it.
    bool Exists(const ResolvedPath& path);

  private:
    struct Listing {
        std::unordered_map<std::string, bool> folders;  // folded name: whether it is a folder
        std::vector<DirEntry> entries;
    };
    const Listing* ListingOf(const std::string& folder);
    bool KeyExists(Hive hive, const std::string& keyPath);
    // The key's subkeys, listed once; none when the key is not there.
    const std::optional<std::unordered_set<std::string>>& SubkeysOf(Hive hive, const std::string& key);
    bool PlaceExists(const RegistryPlace& place);

    FileSystem& fileSystem_;
    Registry& registry_;
    VariableResolver& variables_;
    std::optional<WindowsVersion> windows_;
    std::unordered_map<std::string, std::optional<Listing>> listings_;  // by folded folder
    // The folded names of each key's subkeys, by hive and folded key; none for a key that is not there.
    std::unordered_map<std::string, std::optional<std::unordered_set<std::string>>> subkeys_;
};

}  // namespace nimbral
