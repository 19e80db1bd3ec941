// The ".ww2" registry lists over the in-memory doubles.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "doubles/FakeFileSystem.h"
#include "doubles/FakeRegistry.h"
#include "doubles/RecordingResults.h"
#include "plugins/runPlugin.h"
#include "system/Listers.h"

namespace nimbral {
namespace {

using ::testing::ElementsAre;
using testing::FakeFileSystem;
using testing::FakeRegistry;
using ::testing::IsEmpty;
using testing::RecordingResults;
using Kind = RegistryListLine::Kind;

constexpr char kList[] = "C:\\nimbral\\plugins\\Test.ww2";

// A text with its zero bytes kept.
template <std::size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

// Hands every call on to the fake and writes down the deletions with their exact arguments, so a
// test sees the very names a line led to (trailing blanks, zero bytes and all), not only what the
// fake happened to find under them.
class RecordingRegistry final : public Registry {
  public:
    explicit RecordingRegistry(FakeRegistry& fake) : fake_(fake) {}

    bool SetStringValue(Hive hive, const std::string& key, const std::string& name, const std::string& text) override {
        return fake_.SetStringValue(hive, key, name, text);
    }
    std::string ReadStringValue(Hive hive, const std::string& key, const std::string& name) override {
        return fake_.ReadStringValue(hive, key, name);
    }
    void DeleteRegistryValue(Hive hive, const std::string& key, const std::string& name) override {
        Record("value " + HiveName(hive) + " [" + key + "] [" + name + "]");
        fake_.DeleteRegistryValue(hive, key, name);
    }
    std::string DeleteRegistryKey(Hive hive, const std::string& key) override {
        const std::string result = fake_.DeleteRegistryKey(hive, key);
        Record("key " + HiveName(hive) + " [" + key + "] " + result);
        return result;
    }
    std::optional<std::vector<std::string>> ValueNames(Hive hive, const std::string& key) override {
        return fake_.ValueNames(hive, key);
    }
    std::optional<std::vector<std::string>> SubkeyNames(Hive hive, const std::string& key) override {
        return fake_.SubkeyNames(hive, key);
    }
    void SaveKey(Hive hive, const std::string& key) override { fake_.SaveKey(hive, key); }
    std::string GetString(Hive hive, const std::string& key, const std::string& name) override {
        return fake_.GetString(hive, key, name);
    }
    void SaveString(Hive hive, const std::string& key, const std::string& name, const std::string& text) override {
        fake_.SaveString(hive, key, name, text);
    }
    void DeleteValue(Hive hive, const std::string& key, const std::string& name) override {
        Record("DeleteValue");
        fake_.DeleteValue(hive, key, name);
    }
    void DeleteKey(Hive hive, const std::string& key) override {
        Record("DeleteKey");
        fake_.DeleteKey(hive, key);
    }

    std::vector<std::string> calls;
    std::function<void()> onDelete;

  private:
    static std::string HiveName(Hive hive) {
        switch (hive) {
            case Hive::ClassesRoot:
                return "HKCR";
            case Hive::CurrentUser:
                return "HKCU";
            case Hive::LocalMachine:
                return "HKLM";
            case Hive::Users:
                return "HKU";
        }
        return "?";
    }
    void Record(std::string call) {
        calls.push_back(std::move(call));
        if (onDelete)
            onDelete();
    }

    FakeRegistry& fake_;
};

TEST(ParseRegistryListLine, TakesEachLineApartAtItsMarker) {
    struct Case {
        std::string line;
        Kind kind;
        std::string hiveText;
        std::optional<Hive> hive;
        std::string keyPath;
        std::string valueName;
    };
    const Case cases[] = {
        {"HKey_Current_User\\Software\\Foo\\+ Value`= Bar", Kind::Value, "HKey_Current_User\\", Hive::CurrentUser,
         "Software\\Foo\\", "Bar"},
        {"HKey_Local_Machine\\Software\\Foo\\- Key*", Kind::Key, "HKey_Local_Machine\\", Hive::LocalMachine,
         "Software\\Foo\\", ""},
        {"HKey_Classes_Root\\.xyz\\- Key*", Kind::Key, "HKey_Classes_Root\\", Hive::ClassesRoot, ".xyz\\", ""},
        {"HKey_Users\\.DEFAULT\\Foo\\+ Value`= Bar", Kind::Value, "HKey_Users\\", Hive::Users, ".DEFAULT\\Foo\\",
         "Bar"},
        // The hive must be spelt exactly as the format does; the entry is still an entry.
        {"HKEY_CURRENT_USER\\Software\\Foo\\- Key*", Kind::Key, "HKEY_CURRENT_USER\\", std::nullopt, "Software\\Foo\\",
         ""},
        {"HKey_Current_user\\Software\\Foo\\+ Value`= Bar", Kind::Value, "HKey_Current_user\\", std::nullopt,
         "Software\\Foo\\", "Bar"},
        // Hyphens and plus signs inside key names do not end the key path.
        {"HKey_Local_Machine\\Software\\Classes\\CLSID\\{0002DF01-0000-0000-C000-000000000046}\\+ Value`= Bar",
         Kind::Value, "HKey_Local_Machine\\", Hive::LocalMachine,
         "Software\\Classes\\CLSID\\{0002DF01-0000-0000-C000-000000000046}\\", "Bar"},
        {"HKey_Current_User\\Software\\Foo-Bar\\- Key*", Kind::Key, "HKey_Current_User\\", Hive::CurrentUser,
         "Software\\Foo-Bar\\", ""},
        {"HKey_Current_User\\Software\\Notepad++\\+ Value`= Last", Kind::Value, "HKey_Current_User\\",
         Hive::CurrentUser, "Software\\Notepad++\\", "Last"},
        // The key path is taken as written, blanks included.
        {"HKey_Current_User\\Software\\Foo - Key*", Kind::Key, "HKey_Current_User\\", Hive::CurrentUser,
         "Software\\Foo ", ""},
        // Markers are found in any letter case, but only the marker as written is taken out of the
        // name: the value this line names is "+ VALUE`= Bar".
        {"HKey_Current_User\\Software\\Foo\\+ VALUE`= Bar", Kind::Value, "HKey_Current_User\\", Hive::CurrentUser,
         "Software\\Foo\\", "+ VALUE`= Bar"},
        {"HKey_Current_User\\Software\\Foo\\- kEY*", Kind::Key, "HKey_Current_User\\", Hive::CurrentUser,
         "Software\\Foo\\", ""},
        {"HKey_Current_User\\Software\\Foo\\+ Value`=  My Value  ", Kind::Value, "HKey_Current_User\\",
         Hive::CurrentUser, "Software\\Foo\\", " My Value"},
        // A name that repeats the hive or the key path keeps it: it names that value, not another.
        {"HKey_Current_User\\Software\\Foo\\+ Value`= Software\\Foo\\Bar", Kind::Value, "HKey_Current_User\\",
         Hive::CurrentUser, "Software\\Foo\\", "Software\\Foo\\Bar"},
        {"HKey_Current_User\\HKey_Current_User\\+ Value`= HKey_Current_User\\", Kind::Value, "HKey_Current_User\\",
         Hive::CurrentUser, "HKey_Current_User\\", "HKey_Current_User\\"},
        // A line holding the value marker is a value line wherever the key marker stands: it never
        // deletes a whole key.
        {"HKey_Current_User\\Software\\Foo\\+ Value`= a - Key*", Kind::Value, "HKey_Current_User\\", Hive::CurrentUser,
         "Software\\Foo\\", "a - Key*"},
        {"HKey_Current_User\\Software\\Foo\\- Key* + Value`= Bar", Kind::Value, "HKey_Current_User\\",
         Hive::CurrentUser, "Software\\Foo\\- Key* ", "Bar"},
        {"HKey_Current_User\\Software\\Leaf- Key*\\+ Value`= v", Kind::Value, "HKey_Current_User\\", Hive::CurrentUser,
         "Software\\Leaf- Key*\\", "v"},
        {"HKey_Current_User\\Software\\Caf\xe9\\+ Value`= \xc4nderung", Kind::Value, "HKey_Current_User\\",
         Hive::CurrentUser, "Software\\Caf\xe9\\", "\xc4nderung"},
        // Names no key below the hive; the registry refuses that deletion itself.
        {"HKey_Current_User\\- Key*", Kind::Key, "HKey_Current_User\\", Hive::CurrentUser, "", ""},
        {"Software\\Foo\\- Key*", Kind::Key, "Software\\", std::nullopt, "Foo\\", ""},
        {"Foo - Key*", Kind::Key, "", std::nullopt, "Foo ", ""},

        // Lines that name nothing.
        {"HKey_Current_User\\Software\\Foo\\+ Value`= ", Kind::Nothing, "", std::nullopt, "", ""},
        {"HKey_Current_User\\Software\\Foo\\+ Value`=    ", Kind::Nothing, "", std::nullopt, "", ""},
        {"HKey_Current_User\\Software\\Foo\\+ Value`=", Kind::Nothing, "", std::nullopt, "", ""},
        {"HKey_Current_User\\Software\\Foo\\+ Value`=Bar", Kind::Nothing, "", std::nullopt, "", ""},
        {"HKey_Current_User\\Software\\Foo\\-Key*", Kind::Nothing, "", std::nullopt, "", ""},
        {"HKey_Current_User\\Software\\Foo-Bar\\Baz", Kind::Nothing, "", std::nullopt, "", ""},
        {"- Key*\\Software", Kind::Nothing, "", std::nullopt, "", ""},
        {"No entries.", Kind::Nothing, "", std::nullopt, "", ""},
        {"", Kind::Nothing, "", std::nullopt, "", ""},
        // A zero byte would cut the name short in the system's calls.
        {Bytes("HKey_Current_User\\Software\\Foo\0\\Sub\\- Key*"), Kind::Nothing, "", std::nullopt, "", ""},
        {Bytes("HKey_Current_User\\Software\\Foo\\+ Value`= Bar\0Baz"), Kind::Nothing, "", std::nullopt, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const RegistryListLine entry = ParseRegistryListLine(c.line);
        EXPECT_EQ(entry.kind, c.kind);
        EXPECT_EQ(entry.hiveText, c.hiveText);
        EXPECT_EQ(entry.hive, c.hive);
        EXPECT_EQ(entry.keyPath, c.keyPath);
        EXPECT_EQ(entry.valueName, c.valueName);
    }
}

class RegistryListTest : public ::testing::Test {
  protected:
    RegistryListTest() { fs.AddFile(kList); }

    std::vector<std::string> Run(std::string content) {
        fs.SetContent(kList, std::move(content));
        ProcessRegistryList(services, results, kList);
        return results.lines;
    }

    FakeFileSystem fs;
    FakeRegistry fake;
    RecordingRegistry registry{fake};
    FileLister lister{fs};
    PluginServices services{fs, registry, lister};
    RecordingResults results;
};

TEST_F(RegistryListTest, DeletesWhatEachLineNamesAndLogsTheEntry) {
    fake.SetStringValue(Hive::CurrentUser, "Software\\Foo", "Bar", "x");
    fake.SetStringValue(Hive::CurrentUser, "Software\\Foo", "Keep", "x");
    fake.SetStringValue(Hive::LocalMachine, "Software\\Foo", "v", "x");
    fake.SaveKey(Hive::LocalMachine, "Software\\Other");

    EXPECT_THAT(Run("HKey_Current_User\\Software\\Foo\\+ Value`= Bar\r\n"
                    "HKey_Local_Machine\\Software\\Foo\\- Key*\r\n"),
                ElementsAre("Deleted Registry Value: HKey_Current_User\\Software\\Foo\\Bar",
                            "Deleted Registry Key: HKey_Local_Machine\\Software\\Foo\\"));

    EXPECT_FALSE(fake.Raw(Hive::CurrentUser, "Software\\Foo", "Bar"));
    EXPECT_TRUE(fake.Raw(Hive::CurrentUser, "Software\\Foo", "Keep"));
    EXPECT_FALSE(fake.KeyExists(Hive::LocalMachine, "Software\\Foo"));
    EXPECT_TRUE(fake.KeyExists(Hive::LocalMachine, "Software\\Other"));
    EXPECT_THAT(registry.calls,
                ElementsAre("value HKCU [Software\\Foo\\] [Bar]", "key HKLM [Software\\Foo\\] Success"));
}

// The log records what the list asked for, not what happened.
TEST_F(RegistryListTest, LogsEntriesThatDeleteNothing) {
    fake.SaveKey(Hive::CurrentUser, "Software\\Foo\\Sub");
    fake.SetStringValue(Hive::CurrentUser, "Software\\Foo", "Bar", "x");

    EXPECT_THAT(Run("HKEY_CURRENT_USER\\Software\\Foo\\Sub\\- Key*\r\n"
                    "HKey_current_user\\Software\\Foo\\+ Value`= Bar\r\n"
                    "HKey_Current_User\\Software\\Missing\\- Key*\r\n"
                    "HKey_Current_User\\Software\\Foo\\+ Value`= Missing\r\n"
                    "HKey_Current_User\\Software\\Foo\\- Key*\r\n"),
                ElementsAre("Deleted Registry Key: HKEY_CURRENT_USER\\Software\\Foo\\Sub\\",
                            "Deleted Registry Value: HKey_current_user\\Software\\Foo\\Bar",
                            "Deleted Registry Key: HKey_Current_User\\Software\\Missing\\",
                            "Deleted Registry Value: HKey_Current_User\\Software\\Foo\\Missing",
                            "Deleted Registry Key: HKey_Current_User\\Software\\Foo\\"));

    // A hive in the wrong case reaches the registry not at all; a key with subkeys stays.
    EXPECT_THAT(registry.calls, ElementsAre("key HKCU [Software\\Missing\\] No! Key to Delete Or Key Not Found",
                                            "value HKCU [Software\\Foo\\] [Missing]",
                                            "key HKCU [Software\\Foo\\] No! Key to Delete Or Key Not Found"));
    EXPECT_TRUE(fake.KeyExists(Hive::CurrentUser, "Software\\Foo\\Sub"));
    EXPECT_TRUE(fake.Raw(Hive::CurrentUser, "Software\\Foo", "Bar"));
}

// Every key named after a GUID holds hyphens; cutting there would name the wrong key.
TEST_F(RegistryListTest, KeyPathsWithHyphensNameTheirOwnKey) {
    const std::string guidKey = "Software\\Classes\\CLSID\\{0002DF01-0000-0000-C000-000000000046}";
    fake.SaveKey(Hive::LocalMachine, guidKey);
    fake.SaveKey(Hive::LocalMachine, "Software\\Classes\\CLSID\\{0002DF01");
    fake.SaveKey(Hive::CurrentUser, "Software\\A");
    fake.SetStringValue(Hive::CurrentUser, "Software\\A", "V", "x");
    fake.SetStringValue(Hive::CurrentUser, "Software\\A-B", "V", "x");

    EXPECT_THAT(Run("HKey_Local_Machine\\" + guidKey +
                    "\\- Key*\n"
                    "HKey_Current_User\\Software\\A-B\\+ Value`= V\n"),
                ElementsAre("Deleted Registry Key: HKey_Local_Machine\\" + guidKey + "\\",
                            "Deleted Registry Value: HKey_Current_User\\Software\\A-B\\V"));

    EXPECT_FALSE(fake.KeyExists(Hive::LocalMachine, guidKey));
    EXPECT_TRUE(fake.KeyExists(Hive::LocalMachine, "Software\\Classes\\CLSID\\{0002DF01"));
    EXPECT_FALSE(fake.Raw(Hive::CurrentUser, "Software\\A-B", "V"));
    EXPECT_TRUE(fake.Raw(Hive::CurrentUser, "Software\\A", "V"));
}

TEST_F(RegistryListTest, DeletesTheKeyPathAsWrittenWithItsTrailingBlank) {
    EXPECT_THAT(Run("HKey_Current_User\\Software\\Foo - Key*"),
                ElementsAre("Deleted Registry Key: HKey_Current_User\\Software\\Foo "));
    EXPECT_THAT(registry.calls, ElementsAre("key HKCU [Software\\Foo ] No! Key to Delete Or Key Not Found"));
}

TEST_F(RegistryListTest, ReadsLinesEndedByAnySystem) {
    const std::string a = "HKey_Current_User\\A\\- Key*";
    const std::string b = "HKey_Current_User\\B\\- Key*";
    const std::string endings[] = {"\r", "\n", "\r\n", "\r\r\n", "\n\r", "\n\n", "\r\n\r\n"};
    for (const std::string& end : endings) {
        for (const std::string& last : {std::string(), end}) {
            SCOPED_TRACE(::testing::PrintToString(end + "|" + last));
            results.lines.clear();
            EXPECT_THAT(Run(a + end + b + last), ElementsAre("Deleted Registry Key: HKey_Current_User\\A\\",
                                                             "Deleted Registry Key: HKey_Current_User\\B\\"));
        }
    }
}

TEST_F(RegistryListTest, LinesThatNameNothingWriteNothing) {
    fake.SetStringValue(Hive::CurrentUser, "Software\\Foo", "Bar", "x");
    EXPECT_THAT(Run("No entries.\r\n"
                    "\r\n"
                    "   \r\n"
                    "HKey_Current_User\\Software\\Foo\\+ Value`= \r\n"
                    "HKey_Current_User\\Software\\Foo\\+ Value`=Bar\r\n"
                    "HKey_Current_User\\Software\\Foo\\Bar\r\n"),
                IsEmpty());
    EXPECT_THAT(registry.calls, IsEmpty());
}

TEST_F(RegistryListTest, EmptyFileWritesNothing) {
    EXPECT_THAT(Run(""), IsEmpty());
    EXPECT_THAT(registry.calls, IsEmpty());
}

TEST_F(RegistryListTest, ALineHoldingAZeroByteDoesNotAct) {
    fake.SaveKey(Hive::CurrentUser, "Software\\Foo");
    fake.SetStringValue(Hive::CurrentUser, "Software\\Bar", "Name", "x");
    EXPECT_THAT(Run(Bytes("HKey_Current_User\\Software\\Foo\0\\Sub\\- Key*\r\n"
                          "HKey_Current_User\\Software\\Bar\\+ Value`= Name\0Tail\r\n"
                          "HKey_Current_User\\Software\\Baz\\- Key*\r\n")),
                ElementsAre("Skipped a line holding a NUL character", "Skipped a line holding a NUL character",
                            "Deleted Registry Key: HKey_Current_User\\Software\\Baz\\"));
    EXPECT_THAT(registry.calls, ElementsAre("key HKCU [Software\\Baz\\] No! Key to Delete Or Key Not Found"));
    EXPECT_TRUE(fake.KeyExists(Hive::CurrentUser, "Software\\Foo"));
    EXPECT_TRUE(fake.Raw(Hive::CurrentUser, "Software\\Bar", "Name"));
}

// Cut to any length, this line would name the value Bar.
TEST_F(RegistryListTest, ATooLongLineIsSkippedWithOneLogLine) {
    fake.SetStringValue(Hive::CurrentUser, "Software\\Foo", "Bar", "x");
    fake.SetStringValue(Hive::CurrentUser, "Software\\Foo", "Other", "x");
    const std::string longLine = "HKey_Current_User\\Software\\Foo\\+ Value`= Bar" + std::string(10 << 20, ' ');

    EXPECT_THAT(Run(longLine + "\r\nHKey_Current_User\\Software\\Foo\\+ Value`= Other\r\n" + longLine),
                ElementsAre("Skipped a line longer than 32768 characters",
                            "Deleted Registry Value: HKey_Current_User\\Software\\Foo\\Other",
                            "Skipped a line longer than 32768 characters"));
    EXPECT_TRUE(fake.Raw(Hive::CurrentUser, "Software\\Foo", "Bar"));
    EXPECT_THAT(registry.calls, ElementsAre("value HKCU [Software\\Foo\\] [Other]"));
}

// The registry knows no "..": such a segment is a key name like any other, and nothing above or
// beside it is touched.
TEST_F(RegistryListTest, DotDotSegmentsReachNothingOutsideTheNamedKey) {
    fake.SaveKey(Hive::CurrentUser, "Software\\Foo");
    fake.SaveKey(Hive::CurrentUser, "Software\\Bar");
    fake.SetStringValue(Hive::CurrentUser, "Software", "V", "x");

    Run("HKey_Current_User\\Software\\Foo\\..\\Bar\\- Key*\r\n"
        "HKey_Current_User\\Software\\Foo\\..\\- Key*\r\n"
        "HKey_Current_User\\Software\\Foo\\..\\+ Value`= V\r\n"
        "HKey_Current_User\\..\\..\\- Key*\r\n");

    EXPECT_THAT(registry.calls, ElementsAre("key HKCU [Software\\Foo\\..\\Bar\\] No! Key to Delete Or Key Not Found",
                                            "key HKCU [Software\\Foo\\..\\] No! Key to Delete Or Key Not Found",
                                            "value HKCU [Software\\Foo\\..\\] [V]",
                                            "key HKCU [..\\..\\] No! Key to Delete Or Key Not Found"));
    EXPECT_TRUE(fake.KeyExists(Hive::CurrentUser, "Software\\Foo"));
    EXPECT_TRUE(fake.KeyExists(Hive::CurrentUser, "Software\\Bar"));
    EXPECT_TRUE(fake.Raw(Hive::CurrentUser, "Software", "V"));
}

TEST_F(RegistryListTest, AnEmptyKeyPathNeverDeletesAHive) {
    fake.SaveKey(Hive::CurrentUser, "Software");
    EXPECT_THAT(
        Run("HKey_Current_User\\- Key*\r\nHKey_Current_User\\\\- Key*\r\n"),
        ElementsAre("Deleted Registry Key: HKey_Current_User\\", "Deleted Registry Key: HKey_Current_User\\\\"));
    EXPECT_THAT(registry.calls, ElementsAre("key HKCU [] No! Key to Delete Or Key Not Found",
                                            "key HKCU [\\] No! Key to Delete Or Key Not Found"));
    EXPECT_TRUE(fake.KeyExists(Hive::CurrentUser, "Software"));
}

TEST_F(RegistryListTest, AListThatCannotBeOpenedGetsOneLogLine) {
    ProcessRegistryList(services, results, "C:\\nimbral\\plugins\\Gone.ww2");
    EXPECT_THAT(results.lines, ElementsAre("Could not read: C:\\nimbral\\plugins\\Gone.ww2"));
}

// The list may be deleted while the run reads it; what was opened is read to its end.
TEST_F(RegistryListTest, AListThatVanishesWhileReadIsReadToItsEnd) {
    registry.onDelete = [this] { fs.RemoveFile(kList); };
    EXPECT_THAT(
        Run("HKey_Current_User\\A\\- Key*\r\nHKey_Current_User\\B\\- Key*\r\n"),
        ElementsAre("Deleted Registry Key: HKey_Current_User\\A\\", "Deleted Registry Key: HKey_Current_User\\B\\"));
}

TEST_F(RegistryListTest, BinaryGarbageNamesNothing) {
    std::string garbage(1 << 20, '\0');
    std::uint32_t state = 12345;
    for (char& c : garbage) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    fake.SaveKey(Hive::CurrentUser, "Software");
    EXPECT_THAT(Run(garbage), IsEmpty());
    EXPECT_THAT(registry.calls, IsEmpty());
    EXPECT_TRUE(fake.KeyExists(Hive::CurrentUser, "Software"));
}

}  // namespace
}  // namespace nimbral
