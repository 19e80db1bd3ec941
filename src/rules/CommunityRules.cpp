#include "rules/CommunityRules.h"

#include <algorithm>

#include "rules/RuleDetect.h"
#include "rules/RuleJudge.h"
#include "rules/RuleRunner.h"
#include "rules/RuleVariables.h"
#include "system/Listers.h"
#include "text/AnsiText.h"

namespace nimbral {

namespace {

std::string Count(std::size_t n) {
    return DecimalText(std::uint64_t{n});
}

struct ReportLine {
    std::size_t line;
    std::string text;
};

bool IsLiteral(const ResolvedPath& path) {
    return std::none_of(path.segments.begin(), path.segments.end(),
                        [](const std::string& part) { return HasWildcard(part); });
}

// A folder without wildcards, judged where it finally lies, as the run would judge it.
std::string WhereItLies(FileSystem& fileSystem, const ResolvedPath& path) {
    const std::string shown = path.Shown();
    return fileSystem.FinalPath(shown).value_or(shown);
}

ReportLine NoteLine(const RuleNote& note) {
    std::string text = "Line " + Count(note.line) + " [" + PrintableText(note.entry) + "]: ";
    const std::string reason(RefusalReason(note.refusal));
    if (note.wholeEntry)
        text += "not listed: " + reason + (note.key.empty() ? "" : " (" + PrintableText(note.key) + ")");
    else
        text += "skips " + PrintableText(note.key) + ": " + reason;
    return {note.line, std::move(text)};
}

}  // namespace

RuleFileBytes ReadRuleFileBytes(FileSystem& fileSystem, const std::string& path) {
    RuleFileBytes read;
    const auto source = fileSystem.OpenForReading(path);
    if (!source || !source->IsRegularFile()) {
        read.refusal = RuleRefusal::kFileUnreadable;
        return read;
    }
    if (source->Size() > kMaxRuleFileBytes) {
        read.refusal = RuleRefusal::kFileTooLarge;
        return read;
    }
    read.bytes.reserve(static_cast<std::size_t>(source->Size()));
    std::string buffer(64 * 1024, '\0');
    for (;;) {
        const std::size_t got = source->Read(buffer.data(), buffer.size());
        if (got == 0)
            break;
        read.bytes.append(buffer.data(), got);
        // A file that grows while it is read is not taken either.
        if (read.bytes.size() > kMaxRuleFileBytes) {
            read.refusal = RuleRefusal::kFileTooLarge;
            return read;
        }
    }
    if (source->Failed())
        read.refusal = RuleRefusal::kFileUnreadable;
    return read;
}

CommunityRules::CommunityRules(RuleServices services, std::string programFolder)
    : services_(services),
      programFolder_(std::move(programFolder)),
      path_(programFolder_ + "\\plugins\\" + kRuleFileName) {}

void CommunityRules::AddEntries(PluginList& lstPlugs, const SettingsStore& settings) {
    file_ = RuleFile{};
    notListed_.clear();
    listed_.clear();
    found_ = false;
    FileSystem& fileSystem = services_.fileSystem;
    const std::string folder = programFolder_ + "\\plugins";
    path_ = JoinPath(folder, kRuleFileName);
    // The file in whatever letter case it was saved.
    const auto entries = fileSystem.FindEntries(path_);
    if (!entries)
        return;
    for (const DirEntry& entry : *entries) {
        if (!(entry.attributes & FileAttribute::kDirectory) && EqualsIgnoreCase(entry.name, kRuleFileName)) {
            path_ = JoinPath(folder, entry.name);
            found_ = true;
            break;
        }
    }
    if (!found_)
        return;
    RuleFileBytes read = ReadRuleFileBytes(fileSystem, path_);
    if (read.refusal) {
        file_.refusal = read.refusal;
        return;
    }
    file_ = ParseRuleFile(read.bytes);
    if (file_.refusal)
        return;

    VariableResolver variables(services_.folders);
    const std::vector<BrowserDatabase> databases = BrowserDatabases(variables);
    // Asked of the system only when a key could reach a browser's database at all.
    std::optional<ProtectedPlaces> places;
    std::optional<PlaceJudge> judge;
    const auto refusedAnyway = [&](const FileKeyRule& rule, const ResolvedPath& path) {
        if (!judge) {
            places = ProtectedPlaces::Resolve(services_.shell.OwnFolders(), fileSystem);
            judge.emplace(fileSystem, variables, *places);
        }
        return IsLiteral(path) && !judge->FolderRefusal(WhereItLies(fileSystem, path), rule).empty();
    };
    RuleDetector detector(fileSystem, services_.registry, variables, ReportedWindowsVersion(services_.osVersion));
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < file_.entries.size(); ++i) {
        const RuleEntry& entry = file_.entries[i];
        if (TouchesBrowserData(entry, variables, databases, refusedAnyway)) {
            notListed_.push_back({entry.line, entry.name, {}, RuleRefusal::kBrowserData, true});
            continue;
        }
        if (auto note = UnhonouredExclusion(entry, variables)) {
            notListed_.push_back(std::move(*note));
            continue;
        }
        if (!detector.Detected(entry))
            continue;
        const bool taken = std::any_of(lstPlugs.begin(), lstPlugs.end(), [&entry](const PluginEntry& line) {
            return EqualsIgnoreCase(line.text, entry.name);
        });
        if (taken) {
            notListed_.push_back({entry.line, entry.name, {}, RuleRefusal::kNameAlreadyListed, true});
            continue;
        }
        found.push_back(i);
    }
    // The choices of all the lines in one read of the settings.
    std::vector<std::string> keys;
    keys.reserve(found.size());
    for (const std::size_t i : found)
        keys.push_back("plug" + file_.entries[i].name);
    const std::vector<std::string> choices = settings.GetSettings(keys, "False");
    for (std::size_t k = 0; k < found.size(); ++k) {
        const RuleEntry& entry = file_.entries[found[k]];
        // Deleting an application's traces unasked would be the fault: only a tick the user gave counts.
        lstPlugs.push_back({entry.name, choices[k] == "True", this, entry.warning});
        listed_.emplace(FoldCase(entry.name), found[k]);
    }
}

void CommunityRules::RunEntry(const std::string& name, ResultsSurface& results, const ProtectedPlaces& places) {
    const auto found = listed_.find(FoldCase(name));
    if (found == listed_.end())
        return;
    // The system's folders as they are now, not as they were when the list was built.
    VariableResolver variables(services_.folders);
    RunRuleEntry(file_.entries[found->second], {services_.fileSystem, services_.registry, variables}, results, places);
}

std::vector<std::string> CommunityRules::Report() {
    std::vector<std::string> report{"Rules file: " + path_};
    if (!found_) {
        report.push_back(std::string("There is no ") + kRuleFileName +
                         " in the plugins folder: Plugins > Update Community Rules fetches the current one.");
        return report;
    }
    if (file_.refusal) {
        report.push_back("The file is not read: " + std::string(RefusalReason(*file_.refusal)) + ".");
        return report;
    }
    report.push_back("Version: " + (file_.version.empty() ? std::string("not given") : file_.version));
    report.push_back("Entries: " + Count(file_.entryCount));
    report.push_back("Listed on this machine: " + Count(listed_.size()));

    std::vector<ReportLine> lines;
    std::size_t entries = 0;
    for (const RuleNote& note : file_.refusedEntries)
        lines.push_back(NoteLine(note));
    for (const RuleNote& note : notListed_)
        lines.push_back(NoteLine(note));
    entries = lines.size();

    // What each key would be refused wherever its folder lies is known without running it: its own
    // faults, and the places it names without wildcards.
    VariableResolver variables(services_.folders);
    const ProtectedPlaces places = ProtectedPlaces::Resolve(services_.shell.OwnFolders(), services_.fileSystem);
    const PlaceJudge judge(services_.fileSystem, variables, places);
    for (const RuleEntry& entry : file_.entries) {
        for (const RuleNote& note : RefusedKeys(entry))
            lines.push_back(NoteLine(note));
        for (const FileKeyRule& rule : entry.fileKeys) {
            if (rule.refusal)
                continue;
            const Resolution resolution = variables.Resolve(rule.path);
            if (resolution.refusal) {
                lines.push_back(NoteLine({rule.key.line, entry.name, rule.key.Written(), *resolution.refusal, false}));
                continue;
            }
            // Only a sweep is refused for its folder; the files a specific pattern names are judged
            // one by one where they lie.
            if (!SweepsFolder(rule))
                continue;
            for (const ResolvedPath& path : resolution.paths) {
                if (!IsLiteral(path))
                    continue;
                const std::string shown = path.Shown();
                const std::string folder = WhereItLies(services_.fileSystem, path);
                if (const std::string reason = judge.FolderRefusal(folder, rule); !reason.empty()) {
                    lines.push_back({rule.key.line, "Line " + Count(rule.key.line) + " [" + PrintableText(entry.name) +
                                                        "]: refuses " + PrintableText(shown) + " (" +
                                                        PrintableText(rule.key.Written()) + "): " + reason});
                }
            }
        }
        for (const RegKeyRule& rule : entry.regKeys) {
            if (!rule.refusal && !rule.place.valueName && IsSystemKey(rule.place))
                lines.push_back(
                    NoteLine({rule.key.line, entry.name, rule.key.Written(), RuleRefusal::kSystemKey, false}));
        }
    }
    report.push_back("Entries refused: " + Count(entries));
    report.push_back("Keys refused: " + Count(lines.size() - entries));
    std::stable_sort(lines.begin(), lines.end(),
                     [](const ReportLine& a, const ReportLine& b) { return a.line < b.line; });
    for (ReportLine& line : lines)
        report.push_back(std::move(line.text));
    return report;
}

}  // namespace nimbral
