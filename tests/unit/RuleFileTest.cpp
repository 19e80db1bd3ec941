// Taking a community rule file apart. The fixtures are written here in the file's shape; none is a
// line of the published file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "rules/RuleDetect.h"
#include "rules/RuleFile.h"

namespace nimbral {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace std::string_literals;
using R = RuleRefusal;

std::vector<std::string> Names(const RuleFile& file) {
    std::vector<std::string> names;
    for (const RuleEntry& entry : file.entries)
        names.push_back(entry.name);
    return names;
}

// One entry holding the key line, parsed; the entry itself must be accepted.
RuleEntry EntryWith(const std::string& keyLine) {
    const RuleFile file = ParseRuleFile("[Probe *]\r\nDetectFile=%AppData%\\Probe\r\n" + keyLine + "\r\n");
    EXPECT_EQ(file.entries.size(), 1u) << keyLine;
    return file.entries.empty() ? RuleEntry{} : file.entries.front();
}

TEST(RuleFileKeys, EachFileKeyFormIsTakenApartOrRefusedForWhatItWouldDo) {
    const struct {
        std::string value;
        std::optional<R> refusal;
        std::string variable = {};
        std::string rest = {};
        std::vector<std::string> patterns = {};
        FileKeyFlag flag = FileKeyFlag::kNone;
    } cases[] = {
        {"%LocalAppData%\\Foo|*.log", {}, "LocalAppData", "\\Foo", {"*.log"}, FileKeyFlag::kNone},
        {"%localappdata%\\Foo\\*\\Cache*|*|RECURSE",
         {},
         "localappdata",
         "\\Foo\\*\\Cache*",
         {"*"},
         FileKeyFlag::kRecurse},
        {"%AppData%\\Foo|a.txt; b.txt;;*.tmp |removeself",
         {},
         "AppData",
         "\\Foo",
         {"a.txt", "b.txt", "*.tmp"},
         FileKeyFlag::kRemoveSelf},
        // ";" separates patterns, never parts of the path.
        {"%AppData%\\a;b|x.dat", {}, "AppData", "\\a;b", {"x.dat"}, FileKeyFlag::kNone},
        {"C:\\Users\\%UserName%\\Foo|*.log", {}, "", "C:\\Users\\%UserName%\\Foo", {"*.log"}, FileKeyFlag::kNone},
        {"%SystemDrive%|Tool*.txt", {}, "SystemDrive", "", {"Tool*.txt"}, FileKeyFlag::kNone},
        {"%AppData%\\Foo|?*?*?*?*?*", {}, "AppData", "\\Foo", {"?*?*?*?*?*"}, FileKeyFlag::kNone},
        // Without a pipe the key would mean every file of the folder.
        {"%LocalAppData%\\Sync\\", R::kNoPipe},
        {"%AppData%\\Foo|*.log|RECURSE|REMOVESELF", R::kTwoFlags},
        {"%AppData%\\Foo|*.log|RECURSE|RECURSE", R::kTwoFlags},
        {"%AppData%\\Foo|*.log|RECURSE|DEEP", R::kUnknownFlag},
        {"%AppData%\\Foo|*.log|RECURSIVE", R::kUnknownFlag},
        {"%AppData%\\Foo|*.log|", R::kUnknownFlag},
        {"%AppData%\\Foo|", R::kNoPattern},
        {"%AppData%\\Foo|; ;", R::kNoPattern},
        {"%AppData%\\Foo|sub\\*.log", R::kBadPattern},
        {"%AppData%\\Foo|a/b", R::kBadPattern},
        {"%AppData%\\Foo|data.txt:hidden", R::kBadPattern},
        {"%AppData%\\Foo|..", R::kBadPattern},
        {"%AppData%\\Foo|*.log;***********", R::kTooManyWildcards},
        {"%AppData%\\*\\*\\*\\*\\*\\*\\*\\*\\*\\*\\*|x", R::kTooManyWildcards},
        {"%RootDir%\\Foo|*.log", R::kUnknownVariable},
        {"%AppData%\\%Foo%|*", R::kUnknownVariable},
        {"C:\\Users\\%UserName\\Foo|*", R::kUnknownVariable},
        {"%AppData%\\%LocalAppData%|*", R::kMisplacedVariable},
        {"|*.log", R::kNotFullPath},
        {"%AppData%\\Foo\tBar|*", R::kControlCharacter},
        {"%AppData%\\Foo\xC3|*", R::kNotUtf8},
        {"%AppData%\\Foo\xC0\xAF..|*", R::kNotUtf8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const RuleEntry entry = EntryWith("FileKey1=" + c.value);
        ASSERT_EQ(entry.fileKeys.size(), 1u);
        const FileKeyRule& rule = entry.fileKeys.front();
        EXPECT_EQ(rule.refusal, c.refusal);
        if (c.refusal)
            continue;
        EXPECT_EQ(rule.path.variable, c.variable);
        EXPECT_EQ(rule.path.rest, c.rest);
        EXPECT_EQ(rule.patterns, c.patterns);
        EXPECT_EQ(rule.flag, c.flag);
    }
}

TEST(RuleFileKeys, RegistryPlacesNameAKnownHiveAndAKeyBelowIt) {
    const struct {
        std::string value;
        std::optional<R> refusal;
        RuleHive hive = RuleHive::kCurrentUser;
        std::string keyPath = {};
        std::optional<std::string> valueName = {};
    } cases[] = {
        {"HKCU\\Software\\Foo", {}, RuleHive::kCurrentUser, "Software\\Foo", {}},
        {"HKEY_LOCAL_MACHINE\\Software\\Foo\\|Bar", {}, RuleHive::kLocalMachine, "Software\\Foo", "Bar"},
        {"hkcr\\.foo", {}, RuleHive::kClassesRoot, ".foo", {}},
        {"HKU\\.DEFAULT\\Software\\Foo|Last Path", {}, RuleHive::kUsers, ".DEFAULT\\Software\\Foo", "Last Path"},
        {"HKCC\\Software\\Foo", {}, RuleHive::kCurrentConfig, "Software\\Foo", {}},
        {"HKCU\\Software\\Foo|a|b", {}, RuleHive::kCurrentUser, "Software\\Foo", "a|b"},
        {"HKCU\\Software\\Foo|", R::kNoValueName},
        {"HKCU", R::kWholeHive},
        {"HKLM\\\\", R::kWholeHive},
        {"HKXX\\Software\\Foo", R::kUnknownHive},
        {"Software\\Foo", R::kUnknownHive},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const RuleEntry entry = EntryWith("RegKey1=" + c.value);
        ASSERT_EQ(entry.regKeys.size(), 1u);
        const RegKeyRule& rule = entry.regKeys.front();
        EXPECT_EQ(rule.refusal, c.refusal);
        if (c.refusal)
            continue;
        EXPECT_EQ(rule.place.hive, c.hive);
        EXPECT_EQ(rule.place.keyPath, c.keyPath);
        EXPECT_EQ(rule.place.valueName, c.valueName);
    }
}

TEST(RuleFileKeys, ExclusionsAreReadAndOneThatCannotBeHonouredRefusesItsWholeEntry) {
    const struct {
        std::string value;
        std::optional<R> refusal;
        ExcludeKind kind = ExcludeKind::kFile;
        std::vector<std::string> patterns = {};
    } cases[] = {
        {"FILE|%AppData%\\Foo\\|keep.txt;*.cfg", {}, ExcludeKind::kFile, {"keep.txt", "*.cfg"}},
        {"PATH|%AppData%\\Foo\\Keep\\", {}, ExcludeKind::kPath, {}},
        {"path|%AppData%\\Foo\\|*.db", {}, ExcludeKind::kPath, {"*.db"}},
        {"REG|HKCU\\Software\\Foo\\Keep", {}, ExcludeKind::kRegistry, {}},
        {"REG|HKCU\\Software\\Foo|Keep", {}, ExcludeKind::kRegistry, {}},
        {"FILE|%AppData%\\Foo\\", R::kNoPattern},
        {"DIR|%AppData%\\Foo", R::kUnknownExclusion},
        {"%AppData%\\Foo", R::kNoPipe},
        {"PATH|%Nowhere%\\x", R::kUnknownVariable},
        {"PATH|%AppData%\\x|*.a|RECURSE", R::kUnknownFlag},
        {"REG|HKQQ\\x", R::kUnknownHive},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const RuleFile file = ParseRuleFile(
            "[Probe *]\r\nDetectFile=%AppData%\\Probe\r\nFileKey1=%AppData%\\Probe|*\r\nExcludeKey1=" + c.value +
            "\r\n");
        if (c.refusal) {
            EXPECT_THAT(file.entries, IsEmpty());
            ASSERT_EQ(file.refusedEntries.size(), 1u);
            EXPECT_EQ(file.refusedEntries[0].refusal, *c.refusal);
            EXPECT_EQ(file.refusedEntries[0].key, "ExcludeKey1=" + c.value);
            continue;
        }
        ASSERT_EQ(file.entries.size(), 1u);
        ASSERT_EQ(file.entries[0].excludeKeys.size(), 1u);
        EXPECT_EQ(file.entries[0].excludeKeys[0].kind, c.kind);
        EXPECT_EQ(file.entries[0].excludeKeys[0].patterns, c.patterns);
    }
}

TEST(RuleFileKeys, DetectOsBoundsCompareAsNumbers) {
    const RuleEntry newer = EntryWith("DetectOS=6.2|");
    const RuleEntry older = EntryWith("DetectOS=|6.1");
    const RuleEntry between = EntryWith("DetectOS=5.1|6.3");
    ASSERT_TRUE(newer.detectOs && older.detectOs && between.detectOs);
    EXPECT_TRUE(WithinVersions({10, 0}, *newer.detectOs)) << "10.0 comes after 6.3, not before it";
    EXPECT_TRUE(WithinVersions({6, 2}, *newer.detectOs));
    EXPECT_FALSE(WithinVersions({6, 1}, *newer.detectOs));
    EXPECT_TRUE(WithinVersions({6, 1}, *older.detectOs));
    EXPECT_FALSE(WithinVersions({10, 0}, *older.detectOs));
    EXPECT_TRUE(WithinVersions({6, 0}, *between.detectOs));
    EXPECT_FALSE(WithinVersions({6, 10}, *between.detectOs));

    for (const char* unreadable : {"DetectOS=six|", "DetectOS=6.1", "DetectOS=6..1|", "DetectOS=1|2|3"}) {
        const RuleFile file = ParseRuleFile("[Probe *]\nDetectFile=%AppData%\\Probe\n"s + unreadable + "\n");
        EXPECT_THAT(file.entries, IsEmpty()) << unreadable;
    }
}

// ---- the file as a whole ----

const std::string kTwoEntries =
    "; Version: 260101\n; # of entries: 2\n\n[Alpha Tool *]\nLangSecRef=3021\nDetectFile=%AppData%\\Alpha\n"
    "FileKey1=%AppData%\\Alpha|*.log;*.tmp\n; FileKey2=%AppData%\\Alpha|*\n;a note\n  ; indented note\n\n"
    "[Beta Tool *]\nDetect=HKCU\\Software\\Beta\nFileKey1=%LocalAppData%\\Beta\\Cache|*|RECURSE\n";

std::string WithLineEnds(const std::string& text, const std::string& end) {
    std::string out;
    for (const char c : text)
        out += c == '\n' ? end : std::string(1, c);
    return out;
}

TEST(RuleFileText, EveryEncodingAndLineEndOfTheFileReadsTheSame) {
    const struct {
        const char* what;
        std::string bytes;
    } files[] = {
        {"UTF-8, CR LF", WithLineEnds(kTwoEntries, "\r\n")},
        {"with a byte order mark", "\xEF\xBB\xBF" + WithLineEnds(kTwoEntries, "\r\n")},
        {"LF", WithLineEnds(kTwoEntries, "\n")},
        {"lone CR", WithLineEnds(kTwoEntries, "\r")},
        {"no end on the last line", WithLineEnds(kTwoEntries.substr(0, kTwoEntries.size() - 1), "\n")},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.what);
        const RuleFile file = ParseRuleFile(f.bytes);
        EXPECT_FALSE(file.refusal);
        EXPECT_EQ(file.version, "260101");
        EXPECT_EQ(file.statedEntries, 2u);
        EXPECT_EQ(file.entryCount, 2u);
        ASSERT_THAT(Names(file), ElementsAre("Alpha Tool", "Beta Tool"));
        // Comments are whole lines; inside a value ";" separates the patterns.
        ASSERT_EQ(file.entries[0].fileKeys.size(), 1u);
        EXPECT_THAT(file.entries[0].fileKeys[0].patterns, ElementsAre("*.log", "*.tmp"));
        EXPECT_EQ(file.entries[1].fileKeys[0].flag, FileKeyFlag::kRecurse);
        EXPECT_EQ(file.entries[1].detects[0].place.keyPath, "Software\\Beta");
    }
}

TEST(RuleFileText, AFileThatIsNotUtf8OrIsTheSweepingFlavourIsNotReadAtAll) {
    const struct {
        const char* what;
        std::string bytes;
        R refusal;
    } files[] = {
        {"UTF-16 with its mark", "\xFF\xFE;\0 \0V\0"s, R::kNotUtf8File},
        {"UTF-16 without a mark", "\0;\0 \0V\0e\0r\0\r\0\n\0[\0A\0]\0"s, R::kNotUtf8File},
        {"Winapp3 on the first line", "; Version: 260101 Winapp3\r\n[A *]\r\nFileKey1=%SystemDrive%|*.bak|RECURSE\r\n",
         R::kWinapp3},
        {"winapp3.ini named in any case", "; WINAPP3.INI\r\n[A *]\r\n", R::kWinapp3},
        {"larger than 16 MB", std::string(kMaxRuleFileBytes + 1, ';'), R::kFileTooLarge},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.what);
        const RuleFile file = ParseRuleFile(f.bytes);
        EXPECT_EQ(file.refusal, f.refusal);
        EXPECT_THAT(file.entries, IsEmpty());
    }
    // The flavour is named on the first line only: a later mention is a comment like any other.
    EXPECT_FALSE(ParseRuleFile("; Version: 1\r\n; not for Winapp3 users\r\n").refusal);
}

TEST(RuleFileText, LettersOutsideTheCodePageAreKeptAsProgramText) {
    const RuleFile file = ParseRuleFile(
        "[\xC5\x81\xC3\xB3\x64\xC5\xBA Maps *]\r\nDetectFile=%AppData%\\\xC5\x81\xC3\xB3\x64\xC5\xBA\r\n"
        "FileKey1=%AppData%\\\xC5\x81\xC3\xB3\x64\xC5\xBA\\\xE6\x97\xA5\xE6\x9C\xAC|*.log\r\n");
    ASSERT_THAT(Names(file), ElementsAre("<U+0141>\xF3"
                                         "d<U+017A> Maps"));
    EXPECT_EQ(file.entries[0].fileKeys[0].path.rest,
              "\\<U+0141>\xF3"
              "d<U+017A>\\<U+65E5><U+672C>");
    EXPECT_FALSE(file.entries[0].fileKeys[0].refusal);
}

TEST(RuleFileText, AnEntryWithARepeatedKeyOrAnUnknownKeyIsRefusedWholeAndALaterNamesakeDropped) {
    const RuleFile file = ParseRuleFile(
        WithLineEnds("[First *]\nDetectFile=%AppData%\\A\nFileKey1=%AppData%\\A|*.log\n"
                     "[Twice *]\nDetectFile=%AppData%\\B\nFileKey1=%AppData%\\B|*.log\nFileKey1=%AppData%\\B|*.tmp\n"
                     "[Case *]\nDetectFile=%AppData%\\C\nFileKey1=%AppData%\\C|*.log\nfilekey1=%AppData%\\C|*.tmp\n"
                     "[Labels *]\ndetectfile=%AppData%\\D\nFileKey1=%AppData%\\D|*.log\nFileKey01=%AppData%\\D|*.tmp\n"
                     "Detect=HKCU\\Software\\D\nDetect1=HKCU\\Software\\D1\n"
                     "[Unknown *]\nDetectFile=%AppData%\\E\nColour=Red\n"
                     "[Unnumbered *]\nDetectFile=%AppData%\\F\nFileKey=%AppData%\\F|*\n"
                     "[Loose *]\nDetectFile=%AppData%\\G\njust some words\n"
                     "[first *]\nDetectFile=%AppData%\\H\nFileKey1=%AppData%\\H|*\n"
                     "[]\nDetectFile=%AppData%\\I\n"
                     "[Last *]\nDetectFile=%AppData%\\J\n",
                     "\r\n"));
    EXPECT_EQ(file.entryCount, 10u);
    EXPECT_THAT(Names(file), ElementsAre("First", "Labels", "Last"));
    EXPECT_EQ(file.entries[0].fileKeys[0].path.rest, "\\A") << "the first of two namesakes is the one kept";
    EXPECT_EQ(file.entries[1].fileKeys.size(), 2u);
    EXPECT_EQ(file.entries[1].detects.size(), 2u);

    std::vector<std::string> refused;
    for (const RuleNote& note : file.refusedEntries) {
        EXPECT_TRUE(note.wholeEntry);
        refused.push_back(note.entry + ": " + std::string(RefusalReason(note.refusal)) + " [" + note.key + "]");
    }
    EXPECT_THAT(refused, ElementsAre("Twice: it gives a key twice [FileKey1]", "Case: it gives a key twice [filekey1]",
                                     "Unknown: it has a key that is not known [Colour=Red]",
                                     "Unnumbered: it has a key that is not known [FileKey=%AppData%\\F|*]",
                                     "Loose: it has a line that is not a key [just some words]",
                                     "first: an entry of the same name comes before it []",
                                     ": its name is empty, too long or not text []"));
}

TEST(RuleFileText, RefusedKeysAreListedInTheOrderTheyWouldRun) {
    const RuleEntry entry = EntryWith("FileKey2=%AppData%\\x\r\nFileKey1=%AppData%\\y|*|A|B\r\nRegKey1=HKCU");
    std::vector<std::string> keys;
    for (const RuleNote& note : RefusedKeys(entry))
        keys.push_back(note.key + ": " + std::string(RefusalReason(note.refusal)));
    EXPECT_THAT(keys, ElementsAre("FileKey2=%AppData%\\x: it has no pipe, so it would mean every file of the folder",
                                  "FileKey1=%AppData%\\y|*|A|B: it has a flag that is not known",
                                  "RegKey1=HKCU: it names a whole hive"));
}

TEST(RuleWildcards, MatchLikeTheSystemIgnoringCaseWithLettersBeyondTheCodePageAsOne) {
    const struct {
        const char* name;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"app.log", "*.log", true},
        {"APP.LOG", "*.log", true},
        {"app.log.1", "*.log", false},
        {"app.log", "*", true},
        {"noext", "*.*", true},
        {"a.b.c", "*.*", true},
        {"Cache", "Cache*", true},
        {"Cache_Data", "Cache*", true},
        {"MyCache", "Cache*", false},
        {"ab", "a?", true},
        {"a", "a?", false},
        {"abc", "a?", false},
        {"History", "Hist*ry", true},
        {"Histry", "Hist*ry", true},
        {"x", "", false},
        {"aaa", "*a*a*a*", true},
        {"aa", "*a*a*a*", false},
        {"Profile 1", "Profile ?", true},
        // "<U+0141>" is one letter to "?", and its small form matches it.
        {"<U+0141>og.txt", "?og.txt", true},
        {"<U+0141>og.txt", "<U+0142>og.*", true},
        {"<U+0141>og.txt", "L*", false},
        {"\xC9t\xE9.txt", "\xE9T\xC9.TXT", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesWildcard(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
}

}  // namespace
}  // namespace nimbral
