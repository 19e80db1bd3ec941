#include "rules/RuleJudge.h"

#include <algorithm>
#include <array>

#include "text/AnsiText.h"

namespace nimbral {

namespace {

using KF = KnownFolder;

constexpr KnownFolder kUserFolders[] = {KF::kProfile, KF::kDesktop, KF::kDocuments, KF::kDownloads};
constexpr KnownFolder kSystemFolders[] = {
    KF::kLocalAppData,
    KF::kRoamingAppData,
    KF::kLocalLowAppData,
    KF::kProgramFiles,
    KF::kProgramFilesX86,
    KF::kCommonProgramFiles,
    KF::kCommonProgramFilesX86,
    KF::kProgramData,
    KF::kPublic,
    KF::kWindows,
    KF::kPictures,
    KF::kMusic,
    KF::kVideos,
};

// Below the hive (and, for HKU, below the account's own key), folded.
constexpr std::string_view kSystemKeys[] = {
    "software",
    "software\\classes",
    "software\\clients",
    "software\\microsoft",
    "software\\microsoft\\windows",
    "software\\microsoft\\windows\\currentversion",
    "software\\microsoft\\windows\\currentversion\\explorer",
    "software\\microsoft\\windows\\currentversion\\run",
    "software\\microsoft\\windows\\currentversion\\uninstall",
    "software\\microsoft\\windows nt",
    "software\\microsoft\\windows nt\\currentversion",
    "software\\policies",
    "software\\wow6432node",
    "software\\wow6432node\\microsoft",
    "software\\wow6432node\\microsoft\\windows",
    "software\\wow6432node\\microsoft\\windows\\currentversion",
    "system\\currentcontrolset",
    "system\\currentcontrolset\\control",
    "system\\currentcontrolset\\services",
};

// Whether two parts, either of which may hold wildcards, could name the same entry. Two patterns are
// taken to meet: a refusal too many only keeps an entry off the list.
bool CouldMeet(const std::string& a, bool patternA, const std::string& b, bool patternB) {
    if (!patternA && !patternB)
        return EqualsIgnoreCase(a, b);
    if (!patternA)
        return MatchesWildcard(a, b);
    if (!patternB)
        return MatchesWildcard(b, a);
    return true;
}

std::vector<bool> Wildcards(const std::vector<std::string>& parts) {
    std::vector<bool> wildcards;
    wildcards.reserve(parts.size());
    for (const std::string& part : parts)
        wildcards.push_back(HasWildcard(part));
    return wildcards;
}

std::vector<std::string> FullParts(const ResolvedPath& path) {
    std::vector<std::string> parts = Parts(path.base);
    parts.insert(parts.end(), path.segments.begin(), path.segments.end());
    return parts;
}

// Where the browser entries' databases lie, as rule paths.
struct Database {
    std::string_view variable;
    std::string_view rest;
};
constexpr Database kBrowserDatabases[] = {
    {"LocalAppData", "\\Google\\Chrome*\\User Data\\*\\Cookies"},
    {"LocalAppData", "\\Google\\Chrome*\\User Data\\*\\Network\\Cookies"},
    {"LocalAppData", "\\Google\\Chrome*\\User Data\\*\\History"},
    {"LocalAppData", "\\Microsoft\\Edge*\\User Data\\*\\Cookies"},
    {"LocalAppData", "\\Microsoft\\Edge*\\User Data\\*\\Network\\Cookies"},
    {"LocalAppData", "\\Microsoft\\Edge*\\User Data\\*\\History"},
    {"LocalAppData", "\\BraveSoftware\\Brave-Browser*\\User Data\\*\\Cookies"},
    {"LocalAppData", "\\BraveSoftware\\Brave-Browser*\\User Data\\*\\Network\\Cookies"},
    {"LocalAppData", "\\BraveSoftware\\Brave-Browser*\\User Data\\*\\History"},
    {"LocalAppData", "\\Vivaldi\\User Data\\*\\Cookies"},
    {"LocalAppData", "\\Vivaldi\\User Data\\*\\Network\\Cookies"},
    {"LocalAppData", "\\Vivaldi\\User Data\\*\\History"},
    {"LocalAppData", "\\Chromium\\User Data\\*\\Cookies"},
    {"LocalAppData", "\\Chromium\\User Data\\*\\Network\\Cookies"},
    {"LocalAppData", "\\Chromium\\User Data\\*\\History"},
    {"AppData", "\\Opera Software\\Opera*\\Cookies"},
    {"AppData", "\\Opera Software\\Opera*\\Network\\Cookies"},
    {"AppData", "\\Opera Software\\Opera*\\History"},
    {"AppData", "\\Opera Software\\Opera*\\*\\Cookies"},
    {"AppData", "\\Opera Software\\Opera*\\*\\Network\\Cookies"},
    {"AppData", "\\Opera Software\\Opera*\\*\\History"},
    {"AppData", "\\Mozilla\\Firefox\\Profiles\\*\\cookies.sqlite"},
    {"AppData", "\\Mozilla\\Firefox\\Profiles\\*\\places.sqlite"},
};

constexpr std::string_view kBrowserWords[] = {"chrome", "chromium", "edge", "brave", "vivaldi", "opera", "firefox"};
constexpr std::string_view kDataWords[] = {"cookie", "cookies", "history", "cache", "caches"};

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : text) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (letter) {
            word += FoldCase(c);
        } else if (!word.empty()) {
            words.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty())
        words.push_back(std::move(word));
    return words;
}

template <std::size_t N>
bool HoldsWord(const std::vector<std::string>& words, const std::string_view (&wanted)[N]) {
    for (const std::string& word : words) {
        for (const std::string_view w : wanted) {
            if (word == w)
                return true;
        }
    }
    return false;
}

bool CouldDelete(const FileKeyRule& rule,
                 const std::vector<std::string>& folder,
                 const std::vector<bool>& wildcards,
                 const BrowserDatabase& database) {
    const std::vector<std::string>& target = database.folder;
    const bool recursive = rule.flag != FileKeyFlag::kNone;
    if (folder.size() > target.size() || (!recursive && folder.size() != target.size()))
        return false;
    for (std::size_t i = 0; i < folder.size(); ++i) {
        if (!CouldMeet(folder[i], wildcards[i], target[i], database.wildcards[i]))
            return false;
    }
    for (const std::string& pattern : rule.patterns) {
        if (CouldMeet(database.name, false, pattern, HasWildcard(pattern)))
            return true;
    }
    return false;
}

}  // namespace

bool NamesEveryFile(std::string_view pattern) {
    return pattern.find('*') != std::string_view::npos && pattern.find_first_not_of("*.") == std::string_view::npos;
}

bool SweepsFolder(const FileKeyRule& rule) {
    if (rule.flag != FileKeyFlag::kNone)
        return true;
    for (const std::string& pattern : rule.patterns) {
        if (NamesEveryFile(pattern))
            return true;
    }
    return false;
}

std::optional<std::string> PlaceKey(std::string_view path) {
    const auto full = ResolveFullPath(path);
    if (!full)
        return std::nullopt;
    return FoldCase(*full);
}

bool IsAtOrBelow(std::string_view inner, std::string_view outer) {
    if (inner.size() < outer.size() || inner.substr(0, outer.size()) != outer)
        return false;
    return inner.size() == outer.size() || outer.back() == '\\' || inner[outer.size()] == '\\';
}

PlaceJudge::PlaceJudge(FileSystem& fileSystem, VariableResolver& variables, const ProtectedPlaces& places)
    : places_(places) {
    const auto add = [&](std::vector<std::string>& to, KnownFolder folder) {
        const std::string& path = variables.Folder(folder);
        if (path.empty())
            return;
        if (const auto key = PlaceKey(fileSystem.FinalPath(path).value_or(path)))
            to.push_back(*key);
        // A folder not there yet keeps its spelling: it cannot be reached any other way.
        if (const auto key = PlaceKey(path))
            to.push_back(*key);
    };
    for (const KnownFolder folder : kUserFolders)
        add(userFolders_, folder);
    for (const KnownFolder folder : kSystemFolders)
        add(systemFolders_, folder);
    add(tempFolders_, KF::kTemp);
}

std::string PlaceJudge::FolderRefusal(const std::string& folder, const FileKeyRule& rule) const {
    const auto key = PlaceKey(folder);
    if (!key)
        return std::string(RefusalReason(RuleRefusal::kNotFullPath));
    const bool sweeps = SweepsFolder(rule);
    const bool root = key->size() == 3 && (*key)[1] == ':';
    if (sweeps && root)
        return std::string(RefusalReason(RuleRefusal::kDriveRootSweep));
    const auto holds = [&key](const std::vector<std::string>& folders) {
        for (const std::string& known : folders) {
            if (IsAtOrBelow(known, *key))
                return true;
        }
        return false;
    };
    if (rule.flag == FileKeyFlag::kRemoveSelf) {
        if (holds(userFolders_))
            return std::string(RefusalReason(RuleRefusal::kRemoveSelfUserFolder));
        if (holds(tempFolders_))
            return std::string(RefusalReason(RuleRefusal::kSystemFolderSweep));
    }
    if (!sweeps)
        return {};
    if (std::string reason = places_.RefusalReason(folder, Removal::kFolder); !reason.empty())
        return reason;
    if (holds(systemFolders_) || holds(userFolders_))
        return std::string(RefusalReason(RuleRefusal::kSystemFolderSweep));
    return {};
}

std::string PlaceJudge::FileRefusal(const std::string& file) const {
    return places_.RefusalReason(file, Removal::kFile);
}

bool IsSystemKey(const RegistryPlace& place) {
    std::string_view path = place.keyPath;
    if (place.hive == RuleHive::kUsers) {
        // The first level of HKU is each account's own key.
        const std::size_t slash = path.find('\\');
        if (slash == std::string_view::npos)
            return true;
        path.remove_prefix(slash + 1);
    }
    if (path.find('\\') == std::string_view::npos)
        return true;
    const std::string folded = FoldCase(path);
    for (const std::string_view key : kSystemKeys) {
        if (folded == key)
            return true;
    }
    return false;
}

bool IsAtOrBelow(const RegistryPlace& place, const RegistryPlace& key) {
    const auto [placeHive, placePath] = SeamKey(place);
    const auto [keyHive, keyPath] = SeamKey(key);
    return placeHive == keyHive && IsAtOrBelow(FoldCase(placePath), FoldCase(keyPath));
}

std::vector<BrowserDatabase> BrowserDatabases(VariableResolver& variables) {
    std::vector<BrowserDatabase> databases;
    for (const Database& database : kBrowserDatabases) {
        for (const ResolvedPath& path :
             variables.Resolve({std::string(database.variable), std::string(database.rest)}).paths) {
            std::vector<std::string> folder = FullParts(path);
            std::string name = std::move(folder.back());
            folder.pop_back();
            std::vector<bool> wildcards = Wildcards(folder);
            databases.push_back({std::move(folder), std::move(wildcards), std::move(name)});
        }
    }
    return databases;
}

bool TouchesBrowserData(const RuleEntry& entry,
                        VariableResolver& variables,
                        const std::vector<BrowserDatabase>& databases,
                        const std::function<bool(const FileKeyRule&, const ResolvedPath&)>& refusedAnyway) {
    const std::vector<std::string> words = Words(entry.name);
    if (HoldsWord(words, kBrowserWords) && HoldsWord(words, kDataWords))
        return true;
    for (const FileKeyRule& rule : entry.fileKeys) {
        if (rule.refusal)
            continue;
        for (const ResolvedPath& path : variables.Resolve(rule.path).paths) {
            const std::vector<std::string> folder = FullParts(path);
            const std::vector<bool> wildcards = Wildcards(folder);
            const bool reaches = std::any_of(databases.begin(), databases.end(), [&](const BrowserDatabase& database) {
                return CouldDelete(rule, folder, wildcards, database);
            });
            // Asked last: it may have to look at the machine.
            if (reaches && !refusedAnyway(rule, path))
                return true;
        }
    }
    return false;
}

std::optional<RuleNote> UnhonouredExclusion(const RuleEntry& entry, VariableResolver& variables) {
    for (const ExcludeKeyRule& exclusion : entry.excludeKeys) {
        const auto note = [&](RuleRefusal why) {
            return RuleNote{exclusion.key.line, entry.name, exclusion.key.Written(), why, true};
        };
        if (exclusion.refusal)
            return note(*exclusion.refusal);
        if (exclusion.kind != ExcludeKind::kRegistry) {
            // A folder the system does not have holds nothing to keep.
            const Resolution resolution = variables.Resolve(exclusion.path);
            if (resolution.refusal && resolution.refusal != RuleRefusal::kFolderUnknown)
                return note(*resolution.refusal);
            continue;
        }
        // A key removed with everything below it cannot keep part of itself.
        for (const RegKeyRule& rule : entry.regKeys) {
            if (!rule.refusal && !rule.place.valueName && IsAtOrBelow(exclusion.place, rule.place))
                return note(RuleRefusal::kExclusionNotHonoured);
        }
    }
    return std::nullopt;
}

std::vector<std::string> Parts(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at <= path.size()) {
        const std::size_t end = std::min(path.find('\\', at), path.size());
        if (end > at)
            parts.emplace_back(path.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

}  // namespace nimbral
