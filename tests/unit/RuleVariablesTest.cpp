// The rule paths' variables, resolved through what the system answers.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "doubles/FakeKnownFolders.h"
#include "rules/RuleFile.h"
#include "rules/RuleVariables.h"

namespace nimbral {
namespace {

using ::testing::ElementsAre;
using R = RuleRefusal;

// The paths a FileKey's path resolves to, or its refusal as text.
std::vector<std::string> Resolved(testing::FakeKnownFolders& folders, const std::string& path) {
    const RuleFile file = ParseRuleFile("[Probe *]\nFileKey1=" + path + "|*.log\n");
    if (file.entries.size() != 1 || file.entries[0].fileKeys[0].refusal)
        return {"(refused while reading)"};
    VariableResolver variables(folders);
    const Resolution resolution = variables.Resolve(file.entries[0].fileKeys[0].path);
    if (resolution.refusal)
        return {"refused: " + std::string(RefusalReason(*resolution.refusal))};
    std::vector<std::string> shown;
    for (const ResolvedPath& resolved : resolution.paths)
        shown.push_back(resolved.Shown() + (resolved.temp ? " (temp)" : ""));
    return shown;
}

TEST(RuleVariables, EachVariableStandsForTheFolderTheSystemNames) {
    testing::FakeKnownFolders folders;
    const struct {
        std::string path;
        std::vector<std::string> resolved;
    } cases[] = {
        {"%LocalAppData%\\Foo", {"C:\\users\\me\\AppData\\Local\\Foo"}},
        {"%AppData%\\Foo\\", {"C:\\users\\me\\AppData\\Roaming\\Foo"}},
        {"%LocalLowAppData%\\Foo", {"C:\\users\\me\\AppData\\LocalLow\\Foo"}},
        {"%UserProfile%\\.foo", {"C:\\users\\me\\.foo"}},
        {"%ProgramFiles%\\App", {"C:\\Program Files\\App", "C:\\Program Files (x86)\\App"}},
        {"%CommonProgramFiles%\\Shared",
         {"C:\\Program Files\\Common Files\\Shared", "C:\\Program Files (x86)\\Common Files\\Shared"}},
        {"%ProgramData%\\Vendor", {"C:\\ProgramData\\Vendor"}},
        {"%CommonAppData%\\Vendor", {"C:\\ProgramData\\Vendor"}},
        {"%AllUsersProfile%\\Vendor", {"C:\\ProgramData\\Vendor"}},
        {"%Public%\\Shared", {"C:\\users\\Public\\Shared"}},
        {"%WinDir%\\Logs", {"C:\\windows\\Logs"}},
        {"%SystemRoot%", {"C:\\windows"}},
        // The drive alone is "C:", which names the drive's current folder: the root is meant.
        {"%SystemDrive%", {"C:\\"}},
        {"%SystemDrive%\\Temp", {"C:\\Temp"}},
        {"%HomeDrive%\\Scratch", {"C:\\Scratch"}},
        {"%Temp%\\Sub", {"C:\\users\\me\\AppData\\Local\\Temp\\Sub (temp)"}},
        {"%tmp%", {"C:\\users\\me\\AppData\\Local\\Temp (temp)"}},
        {"%Documents%\\Game Saves", {"C:\\users\\me\\Documents\\Game Saves"}},
        {"%Pictures%\\Thumbs", {"C:\\users\\me\\Pictures\\Thumbs"}},
        {"%Music%\\Cache", {"C:\\users\\me\\Music\\Cache"}},
        {"%Video%\\Cache", {"C:\\users\\me\\Videos\\Cache"}},
        {"C:\\Users\\%UserName%\\Foo\\%username%.dat", {"C:\\Users\\me\\Foo\\me.dat"}},
        {"D:\\Games\\Foo", {"D:\\Games\\Foo"}},
        {"%AppData%\\a/b\\\\c", {"C:\\users\\me\\AppData\\Roaming\\a\\b\\c"}},
        {"%AppData%\\*\\Cache?", {"C:\\users\\me\\AppData\\Roaming\\*\\Cache?"}},
        // Paths the system would read as another place than they say.
        {"%UserProfile%\\..\\other", {"refused: it has a . or .. part"}},
        {"%AppData%\\.\\x", {"refused: it has a . or .. part"}},
        {"%AppData%\\x.\\y", {"refused: it has a . or .. part"}},
        {"%AppData%\\x \\y", {"refused: it has a . or .. part"}},
        {"%AppData%Foo", {"refused: it is not a full path"}},
        {"Foo\\Bar", {"refused: it is not a full path"}},
        {"C:Foo", {"refused: it is not a full path"}},
        {"%AppData%\\C:\\x", {"refused: it is not a full path"}},
        {"\\\\server\\share\\x", {"refused: it names a network share"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Resolved(folders, c.path), c.resolved) << c.path;
}

TEST(RuleVariables, AFolderTheSystemDoesNotNameRefusesTheKeyAndNothingElseIsAskedForIt) {
    testing::FakeKnownFolders folders;
    folders.folders.erase(KnownFolder::kLocalLowAppData);
    folders.folders.erase(KnownFolder::kProgramFilesX86);
    folders.folders[KnownFolder::kCommonProgramFilesX86] = folders.folders[KnownFolder::kCommonProgramFiles];
    EXPECT_THAT(Resolved(folders, "%LocalLowAppData%\\Foo"), ElementsAre("refused: the system has no such folder"));
    // A 32-bit system has one Program Files tree; a folder named twice is there once.
    EXPECT_THAT(Resolved(folders, "%ProgramFiles%\\App"), ElementsAre("C:\\Program Files\\App"));
    EXPECT_THAT(Resolved(folders, "%CommonProgramFiles%"), ElementsAre("C:\\Program Files\\Common Files"));

    for (const char* name : {"", "..", "a\\b", "x*"}) {
        folders.accountName = name;
        EXPECT_THAT(Resolved(folders, "C:\\Users\\%UserName%\\Foo"),
                    ElementsAre("refused: the system has no such folder"))
            << name;
    }
}

TEST(RuleVariables, EachFolderIsAskedOfTheSystemOnce) {
    testing::FakeKnownFolders folders;
    VariableResolver variables(folders);
    for (int i = 0; i < 100; ++i) {
        variables.Resolve({"ProgramFiles", "\\App"});
        variables.Resolve({"AppData", "\\App"});
    }
    EXPECT_EQ(folders.asked, 3);
}

TEST(RuleVariables, RegistryPlacesReachTheHiveTheRuleNames) {
    const auto seam = [](RuleHive hive, const char* path) { return SeamKey({"x", hive, path, std::nullopt}); };
    EXPECT_EQ(seam(RuleHive::kCurrentUser, "Software\\A"),
              std::make_pair(Hive::CurrentUser, std::string("Software\\A")));
    EXPECT_EQ(seam(RuleHive::kUsers, ".DEFAULT\\A"), std::make_pair(Hive::Users, std::string(".DEFAULT\\A")));
    // The current configuration is the current hardware profile of the machine's hive.
    EXPECT_EQ(seam(RuleHive::kCurrentConfig, "Software\\A"),
              std::make_pair(Hive::LocalMachine,
                             std::string("SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\A")));
}

}  // namespace
}  // namespace nimbral
