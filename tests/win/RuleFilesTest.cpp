// Rule entries carried out on the real file system and registry: a fixture machine under the
// prefix's own AppData, the links make-links.sh laid out, and names the code page cannot spell.

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "WinTestSupport.h"
#include "doubles/RecordingResults.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32KnownFolders.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "rules/RuleFile.h"
#include "rules/RuleRunner.h"
#include "text/WideText.h"

namespace nimbral::wintest {
namespace {

using ::testing::ElementsAre;

std::wstring Wide(const std::string& programText) {
    const std::u16string text = Utf16FromProgramText(programText);
    return std::wstring(text.begin(), text.end());
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Write(const std::string& path, const std::string& content = "x") {
    win32::UniqueHfile file(
        ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << path;
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
}

// Makes the file and every folder on its way below base.
void Make(const std::string& base, const std::string& relative) {
    std::string at = base;
    std::size_t start = 0;
    for (std::size_t slash; (slash = relative.find('\\', start)) != std::string::npos; start = slash + 1) {
        at += "\\" + relative.substr(start, slash - start);
        ::CreateDirectoryW(Wide(at).c_str(), nullptr);
    }
    Write(base + "\\" + relative);
}

class RulesOnTheRealSystem : public ::testing::Test {
  protected:
    RulesOnTheRealSystem() {
        RemoveTree(root);
        ::CreateDirectoryW(Wide(root).c_str(), nullptr);
    }
    ~RulesOnTheRealSystem() override {
        RemoveTree(root);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\NimbralRulesTest");
    }

    std::vector<std::string> Run(const std::string& keys) {
        const RuleFile file = ParseRuleFile("[Test *]\r\nDetectFile=%LocalAppData%\r\n" + keys + "\r\n");
        EXPECT_EQ(file.entries.size(), 1u);
        if (file.entries.empty())
            return {};
        testing::RecordingResults results;
        VariableResolver variables(folders);
        RunRuleEntry(file.entries[0], {fs, registry, variables}, results,
                     ProtectedPlaces::Resolve(shell.OwnFolders(), fs));
        return results.lines;
    }

    win32::Win32FileSystem fs;
    win32::Win32Registry registry;
    win32::Win32Shell shell;
    win32::Win32KnownFolders folders;
    const std::string local = folders.FolderPath(KnownFolder::kLocalAppData);
    const std::string root = local + "\\NimbralRules";
};

TEST_F(RulesOnTheRealSystem, EachKeyFormActsOnExactlyWhatItNames) {
    const struct {
        const char* what;
        std::vector<std::string> files;
        std::string keys;
        std::vector<std::string> lines;
        std::vector<std::string> kept;
    } cases[] = {
        {"wildcards in folder parts",
         {"p1\\Cache\\x.bin", "p2\\Cache\\y.bin", "p2\\Other\\z.bin", "p2\\Cache\\keep.txt"},
         "FileKey1=%LocalAppData%\\NimbralRules\\*\\Cache|*.bin",
         {"Deleted File: " + root + "\\p1\\Cache\\x.bin", "Deleted File: " + root + "\\p2\\Cache\\y.bin"},
         {"p2\\Other\\z.bin", "p2\\Cache\\keep.txt"}},
        {"RECURSE",
         {"Logs\\a.log", "Logs\\sub\\deeper\\b.log", "Logs\\c.txt"},
         "FileKey1=%LocalAppData%\\NimbralRules\\Logs|*.log|RECURSE",
         {"Deleted File: " + root + "\\Logs\\a.log", "Deleted File: " + root + "\\Logs\\sub\\deeper\\b.log"},
         {"Logs\\c.txt", "Logs\\sub\\deeper"}},
        {"REMOVESELF",
         {"Cache\\one.tmp", "Cache\\deep\\two.tmp"},
         "FileKey1=%LocalAppData%\\NimbralRules\\Cache|*|REMOVESELF",
         {"Deleted File: " + root + "\\Cache\\one.tmp", "Deleted File: " + root + "\\Cache\\deep\\two.tmp",
          "Deleted Directory: " + root + "\\Cache\\deep", "Deleted Directory: " + root + "\\Cache"},
         {}},
        {"exclusions",
         {"Keep\\drop.txt", "Keep\\keep.txt", "Keep\\data\\x.db", "Keep\\data\\x.log"},
         "FileKey1=%LocalAppData%\\NimbralRules\\Keep|*|RECURSE\r\n"
         "ExcludeKey1=FILE|%LocalAppData%\\NimbralRules\\Keep\\|keep.txt\r\n"
         "ExcludeKey2=PATH|%LocalAppData%\\NimbralRules\\Keep\\data\\|*.db",
         {"Deleted File: " + root + "\\Keep\\drop.txt", "Deleted File: " + root + "\\Keep\\data\\x.log"},
         {"Keep\\keep.txt", "Keep\\data\\x.db"}},
        {"a live journal",
         {"Db\\a.db", "Db\\a.db-journal", "Db\\b.db-wal"},
         "FileKey1=%LocalAppData%\\NimbralRules\\Db|*-journal;*-wal",
         {"Refused to delete " + root +
              "\\Db\\a.db-journal: its database stands beside it, and deleting a live journal corrupts the database",
          "Deleted File: " + root + "\\Db\\b.db-wal"},
         {"Db\\a.db", "Db\\a.db-journal"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (const std::string& file : c.files)
            Make(root, file);
        EXPECT_EQ(Run(c.keys), c.lines);
        for (const std::string& kept : c.kept)
            EXPECT_TRUE(Exists(root + "\\" + kept)) << kept;
    }
}

TEST_F(RulesOnTheRealSystem, RegistryKeysGoWithTheirSubkeysAndValuesOneByOne) {
    for (const char* key : {"Software\\NimbralRulesTest\\App\\History\\Deep", "Software\\NimbralRulesTest\\Other"}) {
        win32::UniqueHkey made;
        ASSERT_EQ(
            ::RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, made.put(), nullptr),
            ERROR_SUCCESS);
    }
    registry.SetStringValue(Hive::CurrentUser, "Software\\NimbralRulesTest\\App", "Last", "1");
    registry.SetStringValue(Hive::CurrentUser, "Software\\NimbralRulesTest\\App", "Stays", "1");
    EXPECT_THAT(Run("RegKey1=HKCU\\Software\\NimbralRulesTest\\App\\History\r\n"
                    "RegKey2=HKEY_CURRENT_USER\\Software\\NimbralRulesTest\\App|Last\r\n"
                    "RegKey3=HKCU\\Software\\NimbralRulesTest\\App|Missing"),
                ElementsAre("Deleted Registry Key: HKCU\\Software\\NimbralRulesTest\\App\\History",
                            "Deleted Registry Value: HKEY_CURRENT_USER\\Software\\NimbralRulesTest\\App\\Last"));
    EXPECT_FALSE(registry.SubkeyNames(Hive::CurrentUser, "Software\\NimbralRulesTest\\App\\History"));
    EXPECT_EQ(registry.ReadStringValue(Hive::CurrentUser, "Software\\NimbralRulesTest\\App", "Stays"), "1");
    EXPECT_TRUE(registry.SubkeyNames(Hive::CurrentUser, "Software\\NimbralRulesTest\\Other"));
}

// The rules row of make-links.sh: links out of the prefix, each as Wine shows it.
TEST_F(RulesOnTheRealSystem, NothingIsDeletedThroughALinkAndALinkNamedIsRefused) {
    const std::string row = "C:\\nimbral-links\\rules";
    EXPECT_THAT(Run("FileKey1=" + row + "-dirlink\\dlink\\inner|*\r\nFileKey2=" + row +
                    "-dirlink\\*\\inner|*|RECURSE\r\nFileKey3=" + row + "-filelink|*.txt\r\nFileKey4=" + row +
                    "-deep|*|REMOVESELF"),
                ElementsAre("Refused to delete " + row + "-dirlink\\dlink: it is a link to another folder",
                            "Deleted File: " + row + "-deep\\sub\\inner\\plain.txt"));
    EXPECT_EQ(UnixFileContent(OutsideUnix("precious.txt")), "precious\n");
    EXPECT_EQ(UnixFileContent(OutsideUnix("inner/deep.txt")), "precious\n");
    EXPECT_TRUE(Exists(row + "-filelink\\flink.txt")) << "a link stays where it is";
    EXPECT_TRUE(Exists(row + "-deep\\sub\\inner")) << "a folder that still holds a link is not removed";
}

TEST_F(RulesOnTheRealSystem, ANameTheCodePageCannotSpellIsReachedNotALookAlike) {
    const std::string named = root +
                              "\\<U+0141>\xF3"
                              "d<U+017A>";
    const std::string lookAlike = root +
                                  "\\L\xF3"
                                  "dz";
    ASSERT_TRUE(::CreateDirectoryW(Wide(named).c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(Wide(lookAlike).c_str(), nullptr));
    Write(named + "\\in-a.log");
    Write(lookAlike + "\\in-b.log");
    EXPECT_THAT(Run("FileKey1=%LocalAppData%\\NimbralRules\\\xC5\x81\xC3\xB3\x64\xC5\xBA|*.log"),
                ElementsAre("Deleted File: " + named + "\\in-a.log"));
    EXPECT_FALSE(Exists(named + "\\in-a.log"));
    EXPECT_TRUE(Exists(lookAlike + "\\in-b.log"));
}

}  // namespace
}  // namespace nimbral::wintest
