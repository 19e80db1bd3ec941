#include "rules/RuleRunner.h"

#include <algorithm>

#include "system/Folders.h"
#include "system/Listers.h"
#include "text/AnsiText.h"

namespace nimbral {

namespace {

// A key whose tree is larger than this is no application's: it is left alone.
constexpr std::size_t kMaxKeysRemoved = 100000;

constexpr std::string_view kJournalEndings[] = {"-journal", "-wal", "-shm"};

// A folder or file as the log names it (the rule's path, its wildcards filled in by what was found)
// and as it finally lies, where it is judged and acted on.
struct Place {
    std::string shown;
    std::string actual;
};

Place Child(const Place& folder, const std::string& name) {
    return {JoinPath(folder.shown, name), JoinPath(folder.actual, name)};
}

bool IsFolder(const DirEntry& entry) {
    return (entry.attributes & FileAttribute::kDirectory) != 0;
}

bool IsLink(const DirEntry& entry) {
    return (entry.attributes & FileAttribute::kReparsePoint) != 0;
}

// The entries of a folder but "." and "..", in the order the log shows them; none when it cannot be
// listed.
std::optional<std::vector<DirEntry>> EntriesOf(FileSystem& fileSystem, const std::string& folder) {
    auto entries = fileSystem.FindEntries(JoinPath(folder, "*"));
    if (!entries)
        return entries;
    entries->erase(std::remove_if(entries->begin(), entries->end(),
                                  [](const DirEntry& entry) { return entry.name == "." || entry.name == ".."; }),
                   entries->end());
    std::sort(entries->begin(), entries->end(),
              [](const DirEntry& a, const DirEntry& b) { return LessIgnoreCase(a.name, b.name); });
    return entries;
}

bool MatchesAny(const std::string& name, const std::vector<std::string>& patterns) {
    return std::any_of(patterns.begin(), patterns.end(),
                       [&name](const std::string& pattern) { return MatchesWildcard(name, pattern); });
}

// The exclusions of one entry, their folders taken where they finally lie, as the files they are
// compared with are.
class Exclusions {
  public:
    Exclusions(const RuleEntry& entry, FileSystem& fileSystem, VariableResolver& variables) {
        for (const ExcludeKeyRule& rule : entry.excludeKeys) {
            if (rule.kind == ExcludeKind::kRegistry) {
                registry_.push_back(rule.place);
                continue;
            }
            for (const ResolvedPath& path : variables.Resolve(rule.path).paths) {
                std::vector<std::string> parts = Parts(fileSystem.FinalPath(path.base).value_or(path.base));
                parts.insert(parts.end(), path.segments.begin(), path.segments.end());
                folders_.push_back({rule.kind, std::move(parts), &rule.patterns});
            }
        }
    }

    bool KeepsFile(const std::string& file) const {
        std::vector<std::string> parts = Parts(file);
        if (parts.empty())
            return false;
        const std::string name = parts.back();
        parts.pop_back();
        for (const Folder& folder : folders_) {
            const bool whole = folder.kind == ExcludeKind::kPath;
            if (!Within(parts, folder, whole))
                continue;
            if ((whole && folder.patterns->empty()) || MatchesAny(name, *folder.patterns))
                return true;
        }
        return false;
    }

    // A folder everything in which is kept: it is neither entered nor removed.
    bool KeepsFolder(const std::string& path) const {
        const std::vector<std::string> parts = Parts(path);
        for (const Folder& folder : folders_) {
            if (folder.kind == ExcludeKind::kPath && folder.patterns->empty() && Within(parts, folder, true))
                return true;
        }
        return false;
    }

    bool KeepsRegistry(const RegistryPlace& place) const {
        for (const RegistryPlace& kept : registry_) {
            if (!kept.valueName ? IsAtOrBelow(place, kept)
                                : place.valueName && EqualsIgnoreCase(*place.valueName, *kept.valueName) &&
                                      IsAtOrBelow(place, kept) && IsAtOrBelow(kept, place)) {
                return true;
            }
        }
        return false;
    }

  private:
    struct Folder {
        ExcludeKind kind;
        std::vector<std::string> parts;
        const std::vector<std::string>* patterns;
    };

    // Whether the folder parts are the exclusion's folder, or (below) lie anywhere under it.
    static bool Within(const std::vector<std::string>& parts, const Folder& folder, bool below) {
        if (parts.size() < folder.parts.size() || (!below && parts.size() != folder.parts.size()))
            return false;
        for (std::size_t i = 0; i < folder.parts.size(); ++i) {
            if (!MatchesWildcard(parts[i], folder.parts[i]))
                return false;
        }
        return true;
    }

    std::vector<Folder> folders_;
    std::vector<RegistryPlace> registry_;
};

class Runner {
  public:
    Runner(const RuleEntry& entry, RuleRunServices services, ResultsSurface& results, const ProtectedPlaces& places)
        : entry_(entry),
          fileSystem_(services.fileSystem),
          registry_(services.registry),
          variables_(services.variables),
          results_(results),
          judge_(services.fileSystem, services.variables, places),
          exclusions_(entry, services.fileSystem, services.variables) {}

    void Run() {
        for (const FileKeyRule& rule : entry_.fileKeys)
            RunFileKey(rule);
        for (const RegKeyRule& rule : entry_.regKeys)
            RunRegKey(rule);
    }

  private:
    void Skipped(const RuleKey& key, RuleRefusal why) {
        results_.AppendLine("Skipped " + PrintableText(key.Written()) + ": " + std::string(RefusalReason(why)));
    }

    void Refused(const std::string& shown, const std::string& reason) {
        results_.AppendLine(RefusalLine(PrintableText(shown), reason));
    }

    void RunFileKey(const FileKeyRule& rule) {
        if (rule.refusal) {
            Skipped(rule.key, *rule.refusal);
            return;
        }
        const Resolution resolution = variables_.Resolve(rule.path);
        if (resolution.refusal) {
            Skipped(rule.key, *resolution.refusal);
            return;
        }
        for (const ResolvedPath& path : resolution.paths) {
            const auto base = fileSystem_.FinalPath(path.base);
            if (!base)
                continue;
            // As the temp step takes it: a temp folder that leads somewhere else is not emptied.
            if (path.temp) {
                const auto target = ResolveFolder(fileSystem_, path.base);
                if (target && target->isLink) {
                    Refused(path.base, std::string(RefusalReason(RuleRefusal::kLink)));
                    continue;
                }
            }
            for (const Place& folder : FoldersNamed({path.base, *base}, path.segments))
                RunInFolder(rule, folder);
        }
    }

    // The folders the parts name below base, never through a link: a link named by the rule is
    // refused, one a wildcard would take is passed over.
    std::vector<Place> FoldersNamed(const Place& base, const std::vector<std::string>& segments) {
        std::vector<Place> folders{base};
        for (const std::string& segment : segments) {
            std::vector<Place> next;
            for (const Place& folder : folders) {
                if (!HasWildcard(segment)) {
                    const auto found = fileSystem_.FindEntries(JoinPath(folder.actual, segment));
                    if (!found || found->empty() || !IsFolder(found->front()))
                        continue;
                    if (IsLink(found->front())) {
                        Refused(JoinPath(folder.shown, segment), std::string(RefusalReason(RuleRefusal::kLink)));
                        continue;
                    }
                    next.push_back({JoinPath(folder.shown, segment), JoinPath(folder.actual, found->front().name)});
                    continue;
                }
                const auto entries = EntriesOf(fileSystem_, folder.actual);
                if (!entries)
                    continue;
                for (const DirEntry& entry : *entries) {
                    if (IsFolder(entry) && !IsLink(entry) && MatchesWildcard(entry.name, segment))
                        next.push_back(Child(folder, entry.name));
                }
                results_.ProcessPendingMessages();
            }
            folders = std::move(next);
        }
        return folders;
    }

    void RunInFolder(const FileKeyRule& rule, const Place& folder) {
        if (exclusions_.KeepsFolder(folder.actual))
            return;
        if (const std::string reason = judge_.FolderRefusal(folder.actual, rule); !reason.empty()) {
            Refused(folder.shown, reason);
            return;
        }
        // Walked with a stack of its own, so no depth of folders can exhaust the program's; a folder
        // is removed (REMOVESELF) once everything below it has had its turn.
        struct Level {
            Place place;
            std::vector<Place> subfolders;
            std::size_t next = 0;
        };
        std::vector<Level> levels;
        const auto enter = [&](const Place& place) {
            const auto entries = EntriesOf(fileSystem_, place.actual);
            if (!entries)
                return;
            Level level{place, {}, 0};
            for (const DirEntry& entry : *entries) {
                const Place child = Child(place, entry.name);
                if (!IsFolder(entry))
                    RemoveMatchingFile(rule, place, child, entry);
                else if (rule.flag != FileKeyFlag::kNone && !IsLink(entry) && !exclusions_.KeepsFolder(child.actual))
                    level.subfolders.push_back(child);
                results_.ProcessPendingMessages();
            }
            levels.push_back(std::move(level));
        };
        enter(folder);
        while (!levels.empty()) {
            Level& level = levels.back();
            if (level.next < level.subfolders.size()) {
                const Place child = level.subfolders[level.next++];
                enter(child);
                continue;
            }
            const Place done = std::move(level.place);
            levels.pop_back();
            if (rule.flag == FileKeyFlag::kRemoveSelf)
                RemoveIfEmpty(done);
        }
    }

    void RemoveMatchingFile(const FileKeyRule& rule, const Place& folder, const Place& file, const DirEntry& entry) {
        // The system's own files, and links, which go as links or not at all, are never a rule's.
        if ((entry.attributes & (FileAttribute::kSystem | FileAttribute::kReparsePoint)) ||
            !MatchesAny(entry.name, rule.patterns) || exclusions_.KeepsFile(file.actual)) {
            return;
        }
        if (!SweepsFolder(rule)) {
            if (const std::string reason = judge_.FileRefusal(file.actual); !reason.empty()) {
                Refused(file.shown, reason);
                return;
            }
        }
        if (IsLiveJournal(folder, entry.name)) {
            Refused(file.shown, std::string(RefusalReason(RuleRefusal::kHotJournal)));
            return;
        }
        if (fileSystem_.RemoveFile(file.actual))
            results_.AppendLine("Deleted File: " + PrintableText(file.shown));
    }

    // A journal, write-ahead log or shared-memory file of a database that is still beside it.
    bool IsLiveJournal(const Place& folder, const std::string& name) {
        const std::string folded = FoldCase(name);
        for (const std::string_view ending : kJournalEndings) {
            if (folded.size() <= ending.size() || folded.compare(folded.size() - ending.size(), ending.size(), ending))
                continue;
            const std::string database = name.substr(0, name.size() - ending.size());
            const auto found = fileSystem_.FindEntries(JoinPath(folder.actual, database));
            return found &&
                   std::any_of(found->begin(), found->end(), [](const DirEntry& entry) { return !IsFolder(entry); });
        }
        return false;
    }

    void RemoveIfEmpty(const Place& folder) {
        const auto entries = EntriesOf(fileSystem_, folder.actual);
        if (!entries || !entries->empty())
            return;
        if (fileSystem_.RemoveFolder(folder.actual, [this] { results_.ProcessPendingMessages(); }))
            results_.AppendLine("Deleted Directory: " + PrintableText(folder.shown));
    }

    bool HasValue(Hive hive, const std::string& keyPath, const std::string& valueName) {
        const auto names = registry_.ValueNames(hive, keyPath);
        return names && std::any_of(names->begin(), names->end(), [&valueName](const std::string& name) {
                   return EqualsIgnoreCase(name, valueName);
               });
    }

    void RunRegKey(const RegKeyRule& rule) {
        if (rule.refusal) {
            Skipped(rule.key, *rule.refusal);
            return;
        }
        if (exclusions_.KeepsRegistry(rule.place)) {
            Skipped(rule.key, RuleRefusal::kExcludedValue);
            return;
        }
        const auto [hive, keyPath] = SeamKey(rule.place);
        const std::string shown = ShownKey(rule.place);
        if (rule.place.valueName) {
            const std::string& value = *rule.place.valueName;
            if (!HasValue(hive, keyPath, value))
                return;
            registry_.DeleteRegistryValue(hive, keyPath, value);
            if (!HasValue(hive, keyPath, value))
                results_.AppendLine("Deleted Registry Value: " + PrintableText(shown + "\\" + value));
            return;
        }
        if (IsSystemKey(rule.place)) {
            Refused(shown, std::string(RefusalReason(RuleRefusal::kSystemKey)));
            return;
        }
        if (!registry_.SubkeyNames(hive, keyPath))
            return;
        // Deepest keys first: a key goes once nothing is below it.
        std::vector<std::string> keys{keyPath};
        for (std::size_t i = 0; i < keys.size(); ++i) {
            if (keys.size() > kMaxKeysRemoved)
                return;
            for (const std::string& name : registry_.SubkeyNames(hive, keys[i]).value_or(std::vector<std::string>{}))
                keys.push_back(keys[i] + "\\" + name);
        }
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
            registry_.DeleteRegistryKey(hive, *key);
            results_.ProcessPendingMessages();
        }
        if (!registry_.SubkeyNames(hive, keyPath))
            results_.AppendLine("Deleted Registry Key: " + PrintableText(shown));
    }

    const RuleEntry& entry_;
    FileSystem& fileSystem_;
    Registry& registry_;
    VariableResolver& variables_;
    ResultsSurface& results_;
    PlaceJudge judge_;
    Exclusions exclusions_;
};

}  // namespace

void RunRuleEntry(const RuleEntry& entry,
                  RuleRunServices services,
                  ResultsSurface& results,
                  const ProtectedPlaces& places) {
    Runner(entry, services, results, places).Run();
}

}  // namespace nimbral
