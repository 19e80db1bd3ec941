#include "rules/RuleDetect.h"

#include <algorithm>

#include "system/Listers.h"
#include "text/AnsiText.h"

namespace nimbral {

namespace {

// A wildcard path over a large tree must not list it all.
constexpr std::size_t kMaxFoldersPerPart = 4096;

struct SpecialDetection {
    std::string_view name;
    std::string_view variable;
    std::string_view rest;
};

// The old shorthand of some entries for "this browser or mail program is installed".
constexpr SpecialDetection kSpecialDetects[] = {
    {"DET_CHROME", "LocalAppData", "\\Google\\Chrome"},
    {"DET_MOZILLA", "AppData", "\\Mozilla\\Firefox"},
    {"DET_THUNDERBIRD", "AppData", "\\Thunderbird"},
    {"DET_OPERA", "AppData", "\\Opera Software"},
};

int Compare(const WindowsVersion& a, const WindowsVersion& b) {
    for (std::size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const std::uint32_t x = i < a.size() ? a[i] : 0;
        const std::uint32_t y = i < b.size() ? b[i] : 0;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

}  // namespace

std::optional<WindowsVersion> ReportedWindowsVersion(OsVersionSource& osVersion) {
    const auto record = osVersion.ReadBasic();
    if (!record)
        return std::nullopt;
    return WindowsVersion{record->majorVersion, record->minorVersion};
}

bool WithinVersions(const WindowsVersion& version, const DetectOsRule& bounds) {
    return (!bounds.min || Compare(*bounds.min, version) <= 0) && (!bounds.max || Compare(version, *bounds.max) <= 0);
}

const RuleDetector::Listing* RuleDetector::ListingOf(const std::string& folder) {
    const std::string key = FoldCase(folder);
    const auto found = listings_.find(key);
    if (found != listings_.end())
        return found->second ? &*found->second : nullptr;
    std::optional<Listing> listing;
    if (auto entries = fileSystem_.FindEntries(JoinPath(folder, "*"))) {
        listing.emplace();
        for (const DirEntry& entry : *entries) {
            if (entry.name == "." || entry.name == "..")
                continue;
            listing->folders.emplace(FoldCase(entry.name), (entry.attributes & FileAttribute::kDirectory) != 0);
            listing->entries.push_back(entry);
        }
    }
    const auto stored = listings_.emplace(key, std::move(listing)).first;
    return stored->second ? &*stored->second : nullptr;
}

bool RuleDetector::Exists(const ResolvedPath& path) {
    if (path.segments.empty())
        return fileSystem_.FolderExists(path.base);
    std::vector<std::string> folders{path.base};
    for (std::size_t i = 0; i < path.segments.size(); ++i) {
        const std::string& part = path.segments[i];
        const bool last = i + 1 == path.segments.size();
        std::vector<std::string> next;
        for (const std::string& folder : folders) {
            const Listing* listing = ListingOf(folder);
            if (!listing)
                continue;
            if (!HasWildcard(part)) {
                const auto found = listing->folders.find(FoldCase(part));
                if (found == listing->folders.end() || !(last || found->second))
                    continue;
                if (last)
                    return true;
                next.push_back(JoinPath(folder, part));
                continue;
            }
            for (const DirEntry& entry : listing->entries) {
                const bool isFolder = (entry.attributes & FileAttribute::kDirectory) != 0;
                if (!(last || isFolder) || !MatchesWildcard(entry.name, part))
                    continue;
                if (last)
                    return true;
                if (next.size() < kMaxFoldersPerPart)
                    next.push_back(JoinPath(folder, entry.name));
            }
        }
        folders = std::move(next);
        if (folders.empty())
            return false;
    }
    return false;
}

// Walked down from the hive, each key's subkeys listed once: most entries ask after a vendor that is
// not under Software, which that one listing answers. The hive's own root, which may hold thousands of
// keys, is never listed: the first level is opened directly.
bool RuleDetector::KeyExists(Hive hive, const std::string& keyPath) {
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= keyPath.size();) {
        const std::size_t end = std::min(keyPath.find('\\', start), keyPath.size());
        if (end > start)
            parts.push_back(FoldCase(std::string_view(keyPath).substr(start, end - start)));
        start = end + 1;
    }
    if (parts.empty())
        return false;
    std::string at = parts[0];
    for (std::size_t i = 1;; ++i) {
        const std::optional<std::unordered_set<std::string>>& subkeys = SubkeysOf(hive, at);
        if (!subkeys)
            return false;
        if (i == parts.size())
            return true;
        if (!subkeys->count(parts[i]))
            return false;
        at += "\\" + parts[i];
    }
}

const std::optional<std::unordered_set<std::string>>& RuleDetector::SubkeysOf(Hive hive, const std::string& key) {
    const std::string id = DecimalText(static_cast<std::uint64_t>(hive)) + ":" + key;
    auto found = subkeys_.find(id);
    if (found != subkeys_.end())
        return found->second;
    std::optional<std::unordered_set<std::string>> folded;
    if (const auto names = registry_.SubkeyNames(hive, key)) {
        folded.emplace();
        for (const std::string& name : *names)
            folded->insert(FoldCase(name));
    }
    return subkeys_.emplace(id, std::move(folded)).first->second;
}

bool RuleDetector::PlaceExists(const RegistryPlace& place) {
    auto [hive, keyPath] = SeamKey(place);
    bool exists = KeyExists(hive, keyPath);
    // A 32-bit program keeps its machine-wide keys where a 64-bit one sees them under WOW6432Node.
    constexpr std::string_view kSoftware = "software\\";
    if (!exists && hive == Hive::LocalMachine && FoldCase(keyPath).rfind(kSoftware, 0) == 0) {
        keyPath = "Software\\WOW6432Node\\" + keyPath.substr(kSoftware.size());
        exists = KeyExists(hive, keyPath);
    }
    if (!exists || !place.valueName)
        return exists;
    const auto names = registry_.ValueNames(hive, keyPath);
    return names && std::any_of(names->begin(), names->end(),
                                [&place](const std::string& name) { return EqualsIgnoreCase(name, *place.valueName); });
}

bool RuleDetector::Detected(const RuleEntry& entry) {
    if (entry.detectOs && (!windows_ || !WithinVersions(*windows_, *entry.detectOs)))
        return false;
    for (const DetectRule& rule : entry.detects) {
        if (!rule.refusal && PlaceExists(rule.place))
            return true;
    }
    for (const DetectFileRule& rule : entry.detectFiles) {
        if (rule.refusal)
            continue;
        for (const ResolvedPath& path : variables_.Resolve(rule.path).paths) {
            if (Exists(path))
                return true;
        }
    }
    for (const std::string& special : entry.specialDetects) {
        for (const SpecialDetection& known : kSpecialDetects) {
            if (!EqualsIgnoreCase(special, known.name))
                continue;
            for (const ResolvedPath& path :
                 variables_.Resolve({std::string(known.variable), std::string(known.rest)}).paths) {
                if (Exists(path))
                    return true;
            }
        }
    }
    return false;
}

}  // namespace nimbral
