#include "rules/RuleFile.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "rules/RuleVariables.h"
#include "text/AnsiText.h"
#include "text/WideText.h"

namespace nimbral {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kVersionPrefix = "; Version: ";
constexpr std::string_view kEntriesPrefix = "; # of entries: ";
// A name longer than this could not be stored as the entry's choice in the settings.
constexpr std::size_t kMaxNameLength = 200;

enum class KeyKind {
    kDetect,
    kDetectFile,
    kDetectOs,
    kSpecialDetect,
    kFileKey,
    kRegKey,
    kExcludeKey,
    kLangSecRef,
    kSection,
    kDefault,
    kWarning,
};

struct KeyName {
    std::string_view word;
    KeyKind kind;
    bool numbered;    // may carry a number
    bool unnumbered;  // may stand without one
};

constexpr KeyName kKeyNames[] = {
    {"Detect", KeyKind::kDetect, true, true},          {"DetectFile", KeyKind::kDetectFile, true, true},
    {"DetectOS", KeyKind::kDetectOs, false, true},     {"SpecialDetect", KeyKind::kSpecialDetect, true, true},
    {"FileKey", KeyKind::kFileKey, true, false},       {"RegKey", KeyKind::kRegKey, true, false},
    {"ExcludeKey", KeyKind::kExcludeKey, true, false}, {"LangSecRef", KeyKind::kLangSecRef, false, true},
    {"Section", KeyKind::kSection, false, true},       {"Default", KeyKind::kDefault, false, true},
    {"Warning", KeyKind::kWarning, false, true},
};

struct Hives {
    std::string_view shortName;
    std::string_view longName;
    RuleHive hive;
};

constexpr Hives kHives[] = {
    {"HKCR", "HKEY_CLASSES_ROOT", RuleHive::kClassesRoot},     {"HKCU", "HKEY_CURRENT_USER", RuleHive::kCurrentUser},
    {"HKLM", "HKEY_LOCAL_MACHINE", RuleHive::kLocalMachine},   {"HKU", "HKEY_USERS", RuleHive::kUsers},
    {"HKCC", "HKEY_CURRENT_CONFIG", RuleHive::kCurrentConfig},
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool HasControlCharacter(std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            return true;
    }
    return false;
}

// Well-formed UTF-8: no stray continuation bytes, no overlong forms, no surrogates, nothing past
// U+10FFFF.
bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        std::uint32_t code = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (length == 4 && (code < 0x10000 || code > 0x10FFFF))) {
            return false;
        }
        i += length;
    }
    return true;
}

// Almost every line of a release is plain ASCII, which is program text as it stands.
std::string ProgramText(std::string_view utf8) {
    for (const char c : utf8) {
        if (static_cast<unsigned char>(c) >= 0x80 || c == '<')
            return ProgramTextFromUtf8(utf8);
    }
    return std::string(utf8);
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    for (;;) {
        const std::size_t next = text.find(separator, at);
        parts.push_back(text.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at));
        if (next == std::string_view::npos)
            return parts;
        at = next + 1;
    }
}

std::size_t WildcardCount(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text)
        count += (c == '*' || c == '?') ? 1 : 0;
    return count;
}

// A path of a key: an optional folder variable at its start, %UserName% anywhere, nothing else
// between percent signs.
std::optional<RuleRefusal> ReadPath(std::string_view text, RulePath& path) {
    if (TrimBlanks(text).empty())
        return RuleRefusal::kNotFullPath;
    std::string_view rest = text;
    if (rest.front() == '%') {
        const std::size_t close = rest.find('%', 1);
        if (close == std::string_view::npos)
            return RuleRefusal::kUnknownVariable;
        const std::string_view name = rest.substr(1, close - 1);
        if (IsFolderVariable(name)) {
            path.variable = std::string(name);
            rest.remove_prefix(close + 1);
        } else if (!IsUserNameVariable(name)) {
            return RuleRefusal::kUnknownVariable;
        }
    }
    for (std::size_t at = 0; at < rest.size();) {
        const std::size_t open = rest.find('%', at);
        if (open == std::string_view::npos)
            break;
        const std::size_t close = rest.find('%', open + 1);
        if (close == std::string_view::npos)
            return RuleRefusal::kUnknownVariable;
        const std::string_view name = rest.substr(open + 1, close - open - 1);
        if (IsFolderVariable(name))
            return RuleRefusal::kMisplacedVariable;
        if (!IsUserNameVariable(name))
            return RuleRefusal::kUnknownVariable;
        at = close + 1;
    }
    if (WildcardCount(rest) > kMaxWildcards)
        return RuleRefusal::kTooManyWildcards;
    path.rest = std::string(rest);
    return std::nullopt;
}

// Patterns separated by ";", blanks around each dropped; an empty one between two separators is
// nothing. Each must name files in the one folder.
std::optional<RuleRefusal> ReadPatterns(std::string_view text, std::vector<std::string>& patterns) {
    for (std::string_view pattern : Split(text, ';')) {
        pattern = TrimBlanks(pattern);
        if (pattern.empty())
            continue;
        if (pattern.find_first_of("\\/:") != std::string_view::npos ||
            pattern.find_first_not_of(". ") == std::string_view::npos) {
            return RuleRefusal::kBadPattern;
        }
        if (WildcardCount(pattern) > kMaxWildcards)
            return RuleRefusal::kTooManyWildcards;
        patterns.emplace_back(pattern);
    }
    return std::nullopt;
}

std::optional<RuleRefusal> ReadRegistryPlace(std::string_view text, RegistryPlace& place) {
    const std::size_t bar = text.find('|');
    std::string_view keyText = text.substr(0, bar);
    if (bar != std::string_view::npos) {
        const std::string_view value = text.substr(bar + 1);
        if (value.empty())
            return RuleRefusal::kNoValueName;
        place.valueName = std::string(value);
    }
    const std::size_t slash = keyText.find('\\');
    const std::string_view hiveText = keyText.substr(0, slash);
    const Hives* hive = nullptr;
    for (const Hives& known : kHives) {
        if (EqualsIgnoreCase(hiveText, known.shortName) || EqualsIgnoreCase(hiveText, known.longName))
            hive = &known;
    }
    if (!hive)
        return RuleRefusal::kUnknownHive;
    std::string_view keyPath = slash == std::string_view::npos ? std::string_view() : keyText.substr(slash + 1);
    while (!keyPath.empty() && keyPath.front() == '\\')
        keyPath.remove_prefix(1);
    while (!keyPath.empty() && keyPath.back() == '\\')
        keyPath.remove_suffix(1);
    if (keyPath.empty())
        return RuleRefusal::kWholeHive;
    place.hiveText = std::string(hiveText);
    place.hive = hive->hive;
    place.keyPath = std::string(keyPath);
    return std::nullopt;
}

std::optional<FileKeyFlag> FlagNamed(std::string_view text) {
    if (EqualsIgnoreCase(text, "RECURSE"))
        return FileKeyFlag::kRecurse;
    if (EqualsIgnoreCase(text, "REMOVESELF"))
        return FileKeyFlag::kRemoveSelf;
    return std::nullopt;
}

std::optional<RuleRefusal> ReadFileKey(std::string_view value, FileKeyRule& rule) {
    const std::vector<std::string_view> parts = Split(value, '|');
    if (parts.size() < 2)
        return RuleRefusal::kNoPipe;
    if (parts.size() > 3) {
        for (std::size_t i = 2; i < parts.size(); ++i) {
            if (!FlagNamed(parts[i]))
                return RuleRefusal::kUnknownFlag;
        }
        return RuleRefusal::kTwoFlags;
    }
    if (parts.size() == 3) {
        const auto flag = FlagNamed(parts[2]);
        if (!flag)
            return RuleRefusal::kUnknownFlag;
        rule.flag = *flag;
    }
    if (auto refusal = ReadPath(parts[0], rule.path))
        return refusal;
    if (auto refusal = ReadPatterns(parts[1], rule.patterns))
        return refusal;
    if (rule.patterns.empty())
        return RuleRefusal::kNoPattern;
    return std::nullopt;
}

std::optional<RuleRefusal> ReadExcludeKey(std::string_view value, ExcludeKeyRule& rule) {
    const std::size_t bar = value.find('|');
    if (bar == std::string_view::npos)
        return RuleRefusal::kNoPipe;
    const std::string_view kind = value.substr(0, bar);
    const std::string_view rest = value.substr(bar + 1);
    if (EqualsIgnoreCase(kind, "REG")) {
        rule.kind = ExcludeKind::kRegistry;
        return ReadRegistryPlace(rest, rule.place);
    }
    if (EqualsIgnoreCase(kind, "FILE"))
        rule.kind = ExcludeKind::kFile;
    else if (EqualsIgnoreCase(kind, "PATH"))
        rule.kind = ExcludeKind::kPath;
    else
        return RuleRefusal::kUnknownExclusion;
    const std::vector<std::string_view> parts = Split(rest, '|');
    if (parts.size() > 2)
        return RuleRefusal::kUnknownFlag;
    if (auto refusal = ReadPath(parts[0], rule.path))
        return refusal;
    if (parts.size() == 2) {
        if (auto refusal = ReadPatterns(parts[1], rule.patterns))
            return refusal;
    }
    // Which files of the folder a FILE exclusion keeps must be said.
    if (rule.kind == ExcludeKind::kFile && rule.patterns.empty())
        return RuleRefusal::kNoPattern;
    return std::nullopt;
}

std::optional<WindowsVersion> ReadVersion(std::string_view text) {
    WindowsVersion version;
    for (const std::string_view part : Split(text, '.')) {
        if (part.empty() || part.size() > 9 || part.find_first_not_of("0123456789") != std::string_view::npos)
            return std::nullopt;
        std::uint32_t number = 0;
        for (const char c : part)
            number = number * 10 + static_cast<std::uint32_t>(c - '0');
        version.push_back(number);
    }
    return version;
}

std::optional<DetectOsRule> ReadDetectOs(std::string_view value) {
    const std::vector<std::string_view> parts = Split(value, '|');
    if (parts.size() != 2)
        return std::nullopt;
    DetectOsRule rule;
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string_view side = TrimBlanks(parts[i]);
        if (side.empty())
            continue;
        auto version = ReadVersion(side);
        if (!version)
            return std::nullopt;
        (i == 0 ? rule.min : rule.max) = std::move(version);
    }
    return rule;
}

// What an entry has become while its lines are read.
struct EntryBeingRead {
    RuleEntry entry;
    std::optional<RuleRefusal> refusal;
    std::string refusedKey;
    std::vector<std::string> keyNames;  // folded; an entry has a few dozen keys at most

    void Refuse(RuleRefusal why, std::string key = {}) {
        if (refusal)
            return;
        refusal = why;
        refusedKey = std::move(key);
    }
};

const KeyName* KnownKey(std::string_view name) {
    std::size_t digits = name.size();
    while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9')
        --digits;
    const std::string_view word = name.substr(0, digits);
    const bool numbered = digits < name.size();
    for (const KeyName& known : kKeyNames) {
        if (EqualsIgnoreCase(word, known.word) && (numbered ? known.numbered : known.unnumbered))
            return &known;
    }
    return nullptr;
}

void ReadKey(EntryBeingRead& reading, std::string_view line, std::size_t lineNumber) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        reading.Refuse(RuleRefusal::kNotAKey, ProgramText(line));
        return;
    }
    const std::string_view name = TrimBlanks(line.substr(0, equals));
    const std::string_view rawValue = TrimBlanks(line.substr(equals + 1));
    const KeyName* known = IsUtf8(name) ? KnownKey(name) : nullptr;
    if (!known) {
        reading.Refuse(RuleRefusal::kUnknownKey, ProgramText(line));
        return;
    }
    std::string folded = FoldCase(name);
    if (std::find(reading.keyNames.begin(), reading.keyNames.end(), folded) != reading.keyNames.end()) {
        reading.Refuse(RuleRefusal::kDuplicateKey, std::string(name));
        return;
    }
    reading.keyNames.push_back(std::move(folded));

    RuleKey key{std::string(name), ProgramText(rawValue), lineNumber};
    // Checked on the bytes as written, before anything could stand in for them.
    std::optional<RuleRefusal> unusable;
    if (!IsUtf8(rawValue))
        unusable = RuleRefusal::kNotUtf8;
    else if (HasControlCharacter(rawValue))
        unusable = RuleRefusal::kControlCharacter;
    const std::string& value = key.value;
    RuleEntry& entry = reading.entry;
    switch (known->kind) {
        case KeyKind::kFileKey: {
            FileKeyRule rule;
            rule.key = std::move(key);
            rule.refusal = unusable ? unusable : ReadFileKey(rule.key.value, rule);
            entry.fileKeys.push_back(std::move(rule));
            break;
        }
        case KeyKind::kRegKey: {
            RegKeyRule rule;
            rule.key = std::move(key);
            rule.refusal = unusable ? unusable : ReadRegistryPlace(rule.key.value, rule.place);
            entry.regKeys.push_back(std::move(rule));
            break;
        }
        case KeyKind::kExcludeKey: {
            ExcludeKeyRule rule;
            rule.key = std::move(key);
            rule.refusal = unusable ? unusable : ReadExcludeKey(rule.key.value, rule);
            if (rule.refusal)
                reading.Refuse(*rule.refusal, rule.key.Written());
            entry.excludeKeys.push_back(std::move(rule));
            break;
        }
        case KeyKind::kDetect: {
            DetectRule rule;
            rule.key = std::move(key);
            rule.refusal = unusable ? unusable : ReadRegistryPlace(rule.key.value, rule.place);
            entry.detects.push_back(std::move(rule));
            break;
        }
        case KeyKind::kDetectFile: {
            DetectFileRule rule;
            rule.key = std::move(key);
            rule.refusal = unusable ? unusable : ReadPath(rule.key.value, rule.path);
            entry.detectFiles.push_back(std::move(rule));
            break;
        }
        case KeyKind::kDetectOs:
            entry.detectOs = unusable ? std::nullopt : ReadDetectOs(value);
            if (!entry.detectOs)
                reading.Refuse(RuleRefusal::kUnreadableDetectOs, key.Written());
            break;
        case KeyKind::kSpecialDetect:
            entry.specialDetects.push_back(value);
            break;
        case KeyKind::kWarning:
            entry.warning = value;
            break;
        case KeyKind::kLangSecRef:
        case KeyKind::kSection:
        case KeyKind::kDefault:
            // Where another cleaner shows the entry, and whether it ticks it: every entry here is
            // unticked until the user ticks it.
            break;
    }
}

// "[Name *]" as the entry's name; nothing when the line is not that.
std::optional<std::string> EntryName(std::string_view line) {
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        return std::nullopt;
    std::string_view name = line.substr(1, line.size() - 2);
    if (name.size() >= 2 && name.substr(name.size() - 2) == " *")
        name.remove_suffix(2);
    name = TrimBlanks(name);
    if (name.empty() || name.size() > kMaxNameLength || !IsUtf8(name) || HasControlCharacter(name))
        return std::string();
    return ProgramText(name);
}

std::optional<std::size_t> StatedEntries(std::string_view line) {
    if (line.substr(0, kEntriesPrefix.size()) != kEntriesPrefix)
        return std::nullopt;
    std::size_t count = 0;
    bool any = false;
    for (const char c : TrimBlanks(line.substr(kEntriesPrefix.size()))) {
        if (c == ',' || c == '.')
            continue;
        if (c < '0' || c > '9' || count > 100000000)
            return std::nullopt;
        count = count * 10 + static_cast<std::size_t>(c - '0');
        any = true;
    }
    return any ? std::optional(count) : std::nullopt;
}

class Parser {
  public:
    explicit Parser(RuleFile& file) : file_(file) {}

    void Line(std::string_view raw, std::size_t number) {
        if (raw.size() > kMaxRuleLineLength) {
            if (reading_)
                reading_->Refuse(RuleRefusal::kLineTooLong);
            return;
        }
        std::string_view line = TrimBlanks(raw);
        if (line.empty())
            return;
        if (line.front() == ';') {
            if (!reading_ && !file_.statedEntries)
                file_.statedEntries = StatedEntries(line);
            return;
        }
        if (line.front() == '[') {
            Finish();
            ++file_.entryCount;
            reading_.emplace();
            reading_->entry.line = number;
            const auto name = EntryName(line);
            if (!name) {
                reading_->Refuse(RuleRefusal::kBadEntryName, ProgramText(line));
            } else {
                reading_->entry.name = *name;
                if (name->empty())
                    reading_->Refuse(RuleRefusal::kBadEntryName);
            }
            return;
        }
        // Lines before the first entry belong to no entry, and do nothing.
        if (reading_)
            ReadKey(*reading_, line, number);
    }

    void Finish() {
        if (!reading_)
            return;
        EntryBeingRead reading = std::move(*reading_);
        reading_.reset();
        RuleEntry& entry = reading.entry;
        const bool known = !entry.name.empty() && !names_.insert(FoldCase(entry.name)).second;
        if (known)
            reading.Refuse(RuleRefusal::kDuplicateEntry);
        if (reading.refusal) {
            file_.refusedEntries.push_back({entry.line, entry.name, reading.refusedKey, *reading.refusal, true});
            return;
        }
        file_.entries.push_back(std::move(entry));
    }

  private:
    RuleFile& file_;
    std::optional<EntryBeingRead> reading_;
    std::unordered_set<std::string> names_;  // folded
};

}  // namespace

bool IsWinapp3Header(std::string_view firstLine) {
    return ContainsIgnoreCase(firstLine, "Winapp3");
}

RuleFile ParseRuleFile(std::string_view bytes) {
    RuleFile file;
    if (bytes.size() > kMaxRuleFileBytes) {
        file.refusal = RuleRefusal::kFileTooLarge;
        return file;
    }
    if (bytes.substr(0, kBom.size()) == kBom)
        bytes.remove_prefix(kBom.size());
    else if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        file.refusal = RuleRefusal::kNotUtf8File;
        return file;
    }

    Parser parser(file);
    std::size_t number = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t end = at;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        const std::string_view line = bytes.substr(at, end - at);
        ++number;
        if (number == 1) {
            // Text of two bytes a character: every other byte of its first line is a zero.
            if (line.find('\0') != std::string_view::npos) {
                file.refusal = RuleRefusal::kNotUtf8File;
                return file;
            }
            if (IsWinapp3Header(line)) {
                file.refusal = RuleRefusal::kWinapp3;
                return file;
            }
            if (line.substr(0, kVersionPrefix.size()) == kVersionPrefix) {
                const std::string_view version = TrimBlanks(line.substr(kVersionPrefix.size()));
                if (!version.empty() && version.find_first_not_of("0123456789") == std::string_view::npos)
                    file.version = std::string(version);
            }
        }
        parser.Line(line, number);
        at = end;
        if (at < bytes.size() && bytes[at] == '\r') {
            ++at;
            if (at < bytes.size() && bytes[at] == '\n')
                ++at;
        } else if (at < bytes.size()) {
            ++at;
        }
    }
    parser.Finish();
    return file;
}

std::vector<RuleNote> RefusedKeys(const RuleEntry& entry) {
    std::vector<RuleNote> notes;
    const auto note = [&](const RuleKey& key, const std::optional<RuleRefusal>& refusal) {
        if (refusal)
            notes.push_back({key.line, entry.name, key.Written(), *refusal, false});
    };
    for (const DetectRule& rule : entry.detects)
        note(rule.key, rule.refusal);
    for (const DetectFileRule& rule : entry.detectFiles)
        note(rule.key, rule.refusal);
    for (const FileKeyRule& rule : entry.fileKeys)
        note(rule.key, rule.refusal);
    for (const RegKeyRule& rule : entry.regKeys)
        note(rule.key, rule.refusal);
    return notes;
}

// ---- wildcards ----

namespace {

// One character of program text: a byte, or a whole "<U+hex>" letter.
struct Unit {
    std::uint32_t value;
    std::size_t length;
};

// Upper and lower case of the letters beyond the code page that names are likely to hold: the
// Latin, Greek and Cyrillic alphabets.
std::uint32_t FoldCodePoint(std::uint32_t cp) {
    if (cp >= 0x0100 && cp <= 0x017F) {
        const bool oddUpper = (cp >= 0x0139 && cp <= 0x0148) || (cp >= 0x0179 && cp <= 0x017E);
        if (oddUpper)
            return (cp % 2 == 1) ? cp + 1 : cp;
        if (cp == 0x0130 || cp == 0x0131 || cp == 0x0138 || cp == 0x0149 || cp == 0x0178 || cp == 0x017F)
            return cp;
        return (cp % 2 == 0) ? cp + 1 : cp;
    }
    if ((cp >= 0x0391 && cp <= 0x03A9) || (cp >= 0x0410 && cp <= 0x042F))
        return cp + 0x20;
    if (cp >= 0x0400 && cp <= 0x040F)
        return cp + 0x50;
    return cp;
}

Unit UnitAt(std::string_view text, std::size_t at) {
    if (text[at] == '<' && text.substr(at, 3) == "<U+") {
        std::uint32_t cp = 0;
        std::size_t i = at + 3;
        for (; i < text.size() && i - at < 3 + 6; ++i) {
            const char c = text[i];
            std::uint32_t digit = 0;
            if (c >= '0' && c <= '9')
                digit = static_cast<std::uint32_t>(c - '0');
            else if (c >= 'A' && c <= 'F')
                digit = static_cast<std::uint32_t>(c - 'A' + 10);
            else if (c >= 'a' && c <= 'f')
                digit = static_cast<std::uint32_t>(c - 'a' + 10);
            else
                break;
            cp = cp * 16 + digit;
        }
        if (i > at + 3 && i < text.size() && text[i] == '>')
            return {0x100000u + FoldCodePoint(cp), i + 1 - at};
    }
    return {static_cast<unsigned char>(FoldCase(text[at])), 1};
}

bool Matches(std::string_view name, std::string_view pattern) {
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starN = n;
            continue;
        }
        const Unit nameUnit = UnitAt(name, n);
        if (p < pattern.size()) {
            const Unit patternUnit = UnitAt(pattern, p);
            if (pattern[p] == '?' || patternUnit.value == nameUnit.value) {
                n += nameUnit.length;
                p += pattern[p] == '?' ? 1 : patternUnit.length;
                continue;
            }
        }
        if (starP == std::string_view::npos)
            return false;
        starN += UnitAt(name, starN).length;
        n = starN;
        p = starP;
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

}  // namespace

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
    if (Matches(name, pattern))
        return true;
    return pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
           Matches(name, pattern.substr(0, pattern.size() - 2));
}

bool HasWildcard(std::string_view text) {
    return text.find_first_of("*?") != std::string_view::npos;
}

}  // namespace nimbral
