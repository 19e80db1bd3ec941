// Feeds arbitrary bytes to the community rule file's parser and to the resolution of every path it
// accepts, and stops at the first result that would let a key act on something other than a
// well-formed full path, a pattern within one folder, or a key below a known hive.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "rules/RuleFile.h"
#include "rules/RuleVariables.h"
#include "system/ProtectedFolders.h"

namespace nimbral {
namespace {

void Require(bool holds, const char* rule) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", rule);
        std::abort();
    }
}

bool HasControl(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

std::size_t Wildcards(std::string_view text) {
    std::size_t n = 0;
    for (const char c : text)
        n += (c == '*' || c == '?') ? 1 : 0;
    return n;
}

// A machine whose folders hold what a system could name them by, a letter beyond the code page
// among them.
class Folders final : public KnownFolders {
  public:
    std::string FolderPath(KnownFolder folder) override {
        switch (folder) {
            case KnownFolder::kWindows:
                return "C:\\Windows";
            case KnownFolder::kProfile:
                return "C:\\Users\\<U+0141>ukasz";
            case KnownFolder::kTemp:
                return "C:\\Users\\<U+0141>ukasz\\AppData\\Local\\Temp\\";
            case KnownFolder::kProgramFilesX86:
                return "";
            default:
                return "C:\\Users\\<U+0141>ukasz\\AppData\\Local";
        }
    }
    std::string AccountName() override { return "<U+0141>ukasz"; }
};

void CheckPath(VariableResolver& variables, const RulePath& path) {
    Require(path.variable.empty() || IsFolderVariable(path.variable), "a path starts with a known variable or none");
    Require(Wildcards(path.rest) <= kMaxWildcards, "a path has at most ten wildcards");
    const Resolution resolution = variables.Resolve(path);
    Require(resolution.refusal.has_value() == resolution.paths.empty(), "a path resolves or is refused");
    for (const ResolvedPath& resolved : resolution.paths) {
        Require(ResolveFullPath(resolved.base).has_value(), "a resolved base is a full path");
        for (const std::string& segment : resolved.segments) {
            Require(!segment.empty() && segment != "." && segment != "..", "no empty, . or .. part");
            Require(segment.find_first_of("\\/:%") == std::string::npos, "a part is one name, variables resolved");
            Require(segment.back() != '.' && segment.back() != ' ', "a part reads as it is written");
        }
        const std::string shown = resolved.Shown();
        const auto full = ResolveFullPath(shown);
        Require(full.has_value(), "a resolved path is full");
        Require(*full == shown, "the system reads the path as it is written");
    }
}

void CheckPatterns(const std::vector<std::string>& patterns) {
    for (const std::string& pattern : patterns) {
        Require(!pattern.empty(), "a pattern is not empty");
        Require(pattern.find_first_of("\\/:") == std::string::npos, "a pattern names files in one folder");
        Require(pattern.find_first_not_of(". ") != std::string::npos, "a pattern is not only dots");
        Require(Wildcards(pattern) <= kMaxWildcards, "a pattern has at most ten wildcards");
        Require(!HasControl(pattern), "a pattern holds no control character");
        Require(MatchesWildcard("", "*") && MatchesWildcard(pattern, "*"), "a star matches every name");
        if (!HasWildcard(pattern))
            Require(MatchesWildcard(pattern, pattern), "a name matches itself");
    }
}

void CheckPlace(const RegistryPlace& place) {
    Require(!place.keyPath.empty(), "a registry key is below its hive");
    Require(place.keyPath.front() != '\\' && place.keyPath.back() != '\\', "a key path has no outer backslash");
    Require(!place.valueName || !place.valueName->empty(), "a value name is not empty");
    Require(!HasControl(place.keyPath) && !(place.valueName && HasControl(*place.valueName)),
            "a registry place holds no control character");
}

}  // namespace
}  // namespace nimbral

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace nimbral;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const RuleFile file = ParseRuleFile(input);
    if (file.refusal) {
        Require(file.entries.empty(), "a refused file lists nothing");
        return 0;
    }
    Require(file.entryCount == file.entries.size() + file.refusedEntries.size(), "every entry is kept or refused");

    Folders folders;
    VariableResolver variables(folders);
    for (const RuleEntry& entry : file.entries) {
        Require(!entry.name.empty() && !HasControl(entry.name), "an entry has a name of text");
        for (const FileKeyRule& rule : entry.fileKeys) {
            if (rule.refusal)
                continue;
            Require(!HasControl(rule.key.value), "an acting key holds no control character");
            Require(!rule.patterns.empty(), "an acting FileKey names patterns");
            CheckPatterns(rule.patterns);
            CheckPath(variables, rule.path);
        }
        for (const ExcludeKeyRule& rule : entry.excludeKeys) {
            Require(!rule.refusal, "an entry with a refused exclusion is not kept");
            if (rule.kind == ExcludeKind::kRegistry) {
                CheckPlace(rule.place);
                continue;
            }
            CheckPatterns(rule.patterns);
            CheckPath(variables, rule.path);
        }
        for (const RegKeyRule& rule : entry.regKeys) {
            if (!rule.refusal)
                CheckPlace(rule.place);
        }
        for (const DetectRule& rule : entry.detects) {
            if (!rule.refusal)
                CheckPlace(rule.place);
        }
        for (const DetectFileRule& rule : entry.detectFiles) {
            if (!rule.refusal)
                CheckPath(variables, rule.path);
        }
    }
    return 0;
}
