#pragma once

// The community rule file (winapp2.ini), taken apart. Every line is hostile input: whatever it
// holds, it becomes an entry or key that is refused with a reason, or one whose parts are known to
// be well formed: a path with known variables, patterns without separators, a known registry hive.
// Nothing here asks the system; RuleVariables resolves the paths and RuleDetect looks at the machine.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/RuleRefusals.h"

namespace nimbral {

// The file is read whole; no release comes near this.
inline constexpr std::size_t kMaxRuleFileBytes = 16u * 1024 * 1024;
// The longest line of a release is about a thousand characters.
inline constexpr std::size_t kMaxRuleLineLength = 32768;
// More than any pattern of a release, and few enough that matching one stays cheap.
inline constexpr std::size_t kMaxWildcards = 10;

// One "Name=Value" line of an entry.
struct RuleKey {
    std::string name;   // as written: "FileKey12"
    std::string value;  // program text (see WideText.h); empty when the value is refused as not text
    std::size_t line = 0;
    // The key as the log and the report name it.
    std::string Written() const { return name + "=" + value; }
};

// A path of a key, its variables not yet resolved: an optional folder variable at its start, then
// the rest as written (which may hold %UserName% and wildcards).
struct RulePath {
    std::string variable;  // "LocalAppData", as written between the percent signs; empty for none
    std::string rest;      // everything after the variable
};

enum class RuleHive { kClassesRoot, kCurrentUser, kLocalMachine, kUsers, kCurrentConfig };

struct RegistryPlace {
    std::string hiveText;  // as written: "HKCU"
    RuleHive hive = RuleHive::kCurrentUser;
    std::string keyPath;  // below the hive, without leading or trailing backslashes
    std::optional<std::string> valueName;
};

enum class FileKeyFlag { kNone, kRecurse, kRemoveSelf };

struct FileKeyRule {
    RuleKey key;
    RulePath path;
    std::vector<std::string> patterns;
    FileKeyFlag flag = FileKeyFlag::kNone;
    std::optional<RuleRefusal> refusal;
};

struct RegKeyRule {
    RuleKey key;
    RegistryPlace place;
    std::optional<RuleRefusal> refusal;
};

enum class ExcludeKind { kFile, kPath, kRegistry };

struct ExcludeKeyRule {
    RuleKey key;
    ExcludeKind kind = ExcludeKind::kFile;
    RulePath path;                      // FILE and PATH
    std::vector<std::string> patterns;  // FILE: the names; PATH: none means everything below
    RegistryPlace place;                // REG
    std::optional<RuleRefusal> refusal;
};

struct DetectRule {
    RuleKey key;
    RegistryPlace place;
    std::optional<RuleRefusal> refusal;
};

struct DetectFileRule {
    RuleKey key;
    RulePath path;
    std::optional<RuleRefusal> refusal;
};

// A Windows version as "major.minor"; compared part by part, so 10.0 comes after 6.3.
using WindowsVersion = std::vector<std::uint32_t>;

struct DetectOsRule {
    std::optional<WindowsVersion> min;
    std::optional<WindowsVersion> max;
};

struct RuleEntry {
    std::string name;  // without its brackets and the trailing " *"
    std::size_t line = 0;
    std::string warning;  // asked before the entry is ticked; empty for none
    std::vector<DetectRule> detects;
    std::vector<DetectFileRule> detectFiles;
    std::vector<std::string> specialDetects;
    std::optional<DetectOsRule> detectOs;
    std::vector<FileKeyRule> fileKeys;
    std::vector<RegKeyRule> regKeys;
    std::vector<ExcludeKeyRule> excludeKeys;
};

// An entry, key or file the program refuses, as the report shows it.
struct RuleNote {
    std::size_t line = 0;
    std::string entry;  // empty for the file itself
    std::string key;    // the key as written, when one key is at fault
    RuleRefusal refusal = RuleRefusal::kUnknownKey;
    // The whole entry is refused (because of key, when there is one), not only the key.
    bool wholeEntry = false;
};

struct RuleFile {
    // The number after "; Version: " on the first line; empty when the line says nothing of it.
    std::string version;
    // What the file's header says it holds ("; # of entries: 4,067").
    std::optional<std::size_t> statedEntries;
    // Set when nothing of the file is read.
    std::optional<RuleRefusal> refusal;
    // Every entry the file holds, refused ones included.
    std::size_t entryCount = 0;
    std::vector<RuleEntry> entries;
    // The entries refused whole, in file order.
    std::vector<RuleNote> refusedEntries;
};

// Takes a file apart: UTF-8 with or without a byte order mark, lines ending in CR LF, LF or CR. A
// line whose first character (blanks aside) is ";" is a comment; elsewhere ";" separates patterns.
RuleFile ParseRuleFile(std::string_view bytes);

// Whether the first line says the file is the Winapp3 flavour.
bool IsWinapp3Header(std::string_view firstLine);

// Every key of the entry that is refused on its own, in the order the entry's keys run.
std::vector<RuleNote> RefusedKeys(const RuleEntry& entry);

// Windows wildcard matching of one name, letter case ignored: "*" stands for any run of characters,
// "?" for one, and a pattern ending in ".*" also matches the name without that ending ("*.*" matches
// every name). A letter written "<U+hex>" counts as one character.
bool MatchesWildcard(std::string_view name, std::string_view pattern);
bool HasWildcard(std::string_view text);

}  // namespace nimbral
