// Running rule entries over a machine of doubles: what each key form deletes, what every refusal
// keeps, and that the preview writes the same lines and changes nothing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doubles/FakeFileSystem.h"
#include "doubles/FakeKnownFolders.h"
#include "doubles/FakeRegistry.h"
#include "doubles/FakeShell.h"
#include "doubles/RecordingResults.h"
#include "engine/Preview.h"
#include "rules/RuleFile.h"
#include "rules/RuleRunner.h"

namespace nimbral {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kLocal = "C:\\users\\me\\AppData\\Local";
const std::string kApp = kLocal + "\\App";

// A machine with an application's traces among the system's own folders.
struct Machine {
    Machine() {
        for (const char* file : {
                 "C:\\windows\\setup.log",
                 "C:\\windows\\explorer.exe",
                 "C:\\windows\\system32\\old.log",
                 "C:\\ToolReport.txt",
                 "C:\\keep.txt",
                 "C:\\Dell\\drivers\\a.inf",
                 "C:\\Program Files\\Nimbral\\nimbral.exe",
                 "C:\\Program Files\\Nimbral\\debug.log",
                 "C:\\Program Files\\App\\app.log",
                 "C:\\Program Files (x86)\\App\\app.log",
                 "C:\\ProgramData\\Vendor\\cache.bin",
                 "C:\\users\\me\\Desktop\\link.lnk",
                 "C:\\users\\me\\Documents\\doc.txt",
                 "C:\\users\\me\\Downloads\\setup.tmp",
                 "C:\\users\\me\\AppData\\Local\\Temp\\t1.tmp",
                 "C:\\users\\me\\AppData\\Local\\Temp\\sub\\t2.tmp",
                 "C:\\users\\me\\AppData\\Local\\top.log",
             }) {
            fs.AddFile(file);
        }
        for (const char* file : {
                 "\\Logs\\a.log",
                 "\\Logs\\b.txt",
                 "\\Logs\\sub\\c.log",
                 "\\p1\\Cache\\x.bin",
                 "\\p2\\Cache\\y.bin",
                 "\\p2\\Other\\z.bin",
                 "\\Cache\\one.tmp",
                 "\\Cache\\deep\\two.tmp",
                 "\\Cache\\deep\\deeper\\three.tmp",
                 "\\Mixed\\one.tmp",
                 "\\Mixed\\keep.dat",
                 "\\Mixed\\sub\\two.tmp",
                 "\\Db\\a.db",
                 "\\Db\\a.db-journal",
                 "\\Db\\b.db-wal",
                 "\\Db\\c.sqlite",
                 "\\Db\\c.sqlite-shm",
                 "\\Keep\\drop.txt",
                 "\\Keep\\keep.txt",
                 "\\Keep\\settings.cfg",
                 "\\Keep\\sub\\keep.txt",
                 "\\Keep\\sub\\drop.txt",
                 "\\Keep\\Whole\\inner.txt",
                 "\\Keep\\data\\x.db",
                 "\\Keep\\data\\x.log",
             }) {
            fs.AddFile(kApp + file);
        }
        fs.AddFile(kApp + "\\Logs\\hidden.log", FileAttribute::kHidden);
        fs.AddFile(kApp + "\\Logs\\system.log", FileAttribute::kSystem);
        fs.AddFile(kApp + "\\Logs\\readonly.log", FileAttribute::kReadOnly);
        fs.AddFolder(kApp + "\\Cache\\empty");
        fs.AddFolder("C:\\outside\\Cache");
        fs.AddFile("C:\\outside\\Cache\\precious.bin");
        fs.AddFile("C:\\outside\\precious.log");
        fs.AddFolderLink(kApp + "\\p3", "C:\\outside");
        fs.AddFolderLink(kApp + "\\Linked", "C:\\outside");
        fs.AddFileLink(kApp + "\\Logs\\link.log", "C:\\outside\\precious.log");
        fs.AddFile(kLocal +
                   "\\<U+0141>\xF3"
                   "d<U+017A>\\mapa.log");
        fs.AddFolder("C:\\users\\me\\AppData\\Roaming");

        registry.SetStringValue(Hive::CurrentUser, "Software\\App", "Last", "1");
        registry.SetStringValue(Hive::CurrentUser, "Software\\App", "Stays", "1");
        registry.SetStringValue(Hive::CurrentUser, "Software\\App\\History\\Deep", "x", "1");
        registry.SetStringValue(Hive::CurrentUser, "Software\\App\\Keep", "x", "1");
        registry.SetStringValue(Hive::LocalMachine,
                                "SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\App", "x", "1");
    }

    std::vector<std::string> Run(const std::string& keys) { return RunOver(fs, registry, keys); }

    std::vector<std::string> RunOver(FileSystem& fileSystem, Registry& reg, const std::string& keys) {
        const RuleFile file = ParseRuleFile("[Test *]\nDetectFile=%LocalAppData%\n" + keys + "\n");
        EXPECT_EQ(file.entries.size(), 1u) << keys;
        if (file.entries.empty())
            return {};
        testing::RecordingResults results;
        VariableResolver variables(folders);
        const ProtectedPlaces places = ProtectedPlaces::Resolve(shell.OwnFolders(), fileSystem);
        RunRuleEntry(file.entries[0], {fileSystem, reg, variables}, results, places);
        return results.lines;
    }

    testing::FakeFileSystem fs;
    testing::FakeRegistry registry;
    testing::FakeShell shell;
    testing::FakeKnownFolders folders;
};

TEST(RuleRun, EachKeyFormDeletesWhatItNamesAndNothingElse) {
    const struct {
        const char* what;
        std::string keys;
        std::vector<std::string> lines;
        std::vector<std::string> gone;
        std::vector<std::string> kept;
    } cases[] = {
        {"files directly in the folder",
         "FileKey1=%LocalAppData%\\App\\Logs|*.log",
         // Hidden files are an application's too; read-only ones and the system's are not forced,
         // and a link is never deleted.
         {"Deleted File: " + kApp + "\\Logs\\a.log", "Deleted File: " + kApp + "\\Logs\\hidden.log"},
         {kApp + "\\Logs\\a.log"},
         {kApp + "\\Logs\\b.txt", kApp + "\\Logs\\sub\\c.log", kApp + "\\Logs\\system.log",
          kApp + "\\Logs\\readonly.log", kApp + "\\Logs\\link.log", "C:\\outside\\precious.log"}},
        {"wildcards in a folder part, never through a link",
         "FileKey1=%LocalAppData%\\App\\*\\Cache|*",
         {"Deleted File: " + kApp + "\\p1\\Cache\\x.bin", "Deleted File: " + kApp + "\\p2\\Cache\\y.bin"},
         {kApp + "\\p1\\Cache\\x.bin", kApp + "\\p2\\Cache\\y.bin"},
         {kApp + "\\p2\\Other\\z.bin", "C:\\outside\\Cache\\precious.bin", kApp + "\\Cache\\one.tmp"}},
        {"RECURSE takes the subfolders' files and leaves the folders",
         "FileKey1=%LocalAppData%\\App\\Logs|*.log|RECURSE",
         {"Deleted File: " + kApp + "\\Logs\\a.log", "Deleted File: " + kApp + "\\Logs\\hidden.log",
          "Deleted File: " + kApp + "\\Logs\\sub\\c.log"},
         {kApp + "\\Logs\\sub\\c.log"},
         {kApp + "\\Logs\\sub", kApp + "\\Logs\\b.txt"}},
        {"REMOVESELF removes the emptied folders and the named one",
         "FileKey1=%LocalAppData%\\App\\Cache|*|REMOVESELF",
         {"Deleted File: " + kApp + "\\Cache\\one.tmp", "Deleted File: " + kApp + "\\Cache\\deep\\two.tmp",
          "Deleted File: " + kApp + "\\Cache\\deep\\deeper\\three.tmp",
          "Deleted Directory: " + kApp + "\\Cache\\deep\\deeper", "Deleted Directory: " + kApp + "\\Cache\\deep",
          "Deleted Directory: " + kApp + "\\Cache\\empty", "Deleted Directory: " + kApp + "\\Cache"},
         {kApp + "\\Cache"},
         {kApp + "\\Logs\\a.log"}},
        {"REMOVESELF leaves a folder that still holds something",
         "FileKey1=%LocalAppData%\\App\\Mixed|*.tmp|REMOVESELF",
         {"Deleted File: " + kApp + "\\Mixed\\one.tmp", "Deleted File: " + kApp + "\\Mixed\\sub\\two.tmp",
          "Deleted Directory: " + kApp + "\\Mixed\\sub"},
         {kApp + "\\Mixed\\sub"},
         {kApp + "\\Mixed\\keep.dat"}},
        {"a link the rule names is refused, not followed",
         "FileKey1=%LocalAppData%\\App\\Linked\\Cache|*",
         {"Refused to delete " + kApp + "\\Linked: it is a link to another folder"},
         {},
         {"C:\\outside\\Cache\\precious.bin"}},
        {"exclusions of files, of patterns below a folder and of a whole folder",
         "FileKey1=%LocalAppData%\\App\\Keep|*|RECURSE\nExcludeKey1=FILE|%LocalAppData%\\App\\Keep\\|keep.txt;*.cfg\n"
         "ExcludeKey2=PATH|%LocalAppData%\\App\\Keep\\data\\|*.db\nExcludeKey3=PATH|%LocalAppData%\\App\\Keep\\Whole\\",
         {"Deleted File: " + kApp + "\\Keep\\drop.txt", "Deleted File: " + kApp + "\\Keep\\data\\x.log",
          "Deleted File: " + kApp + "\\Keep\\sub\\drop.txt", "Deleted File: " + kApp + "\\Keep\\sub\\keep.txt"},
         {kApp + "\\Keep\\sub\\keep.txt"},
         {kApp + "\\Keep\\keep.txt", kApp + "\\Keep\\settings.cfg", kApp + "\\Keep\\data\\x.db",
          kApp + "\\Keep\\Whole\\inner.txt"}},
        {"a journal beside its database stays; one without goes",
         "FileKey1=%LocalAppData%\\App\\Db|*-journal;*-wal;*-shm",
         {"Refused to delete " + kApp +
              "\\Db\\a.db-journal: its database stands beside it, and deleting a live journal corrupts the database",
          "Deleted File: " + kApp + "\\Db\\b.db-wal",
          "Refused to delete " + kApp +
              "\\Db\\c.sqlite-shm: its database stands beside it, and deleting a live journal corrupts the database"},
         {kApp + "\\Db\\b.db-wal"},
         {kApp + "\\Db\\a.db-journal", kApp + "\\Db\\c.sqlite-shm"}},
        {"a database and its journal together",
         "FileKey1=%LocalAppData%\\App\\Db|a.db*",
         {"Deleted File: " + kApp + "\\Db\\a.db", "Deleted File: " + kApp + "\\Db\\a.db-journal"},
         {kApp + "\\Db\\a.db", kApp + "\\Db\\a.db-journal"},
         {kApp + "\\Db\\c.sqlite"}},
        {"both Program Files trees",
         "FileKey1=%ProgramFiles%\\App|*.log",
         {"Deleted File: C:\\Program Files\\App\\app.log", "Deleted File: C:\\Program Files (x86)\\App\\app.log"},
         {"C:\\Program Files\\App\\app.log", "C:\\Program Files (x86)\\App\\app.log"},
         {}},
        {"a name beyond the code page",
         "FileKey1=%LocalAppData%\\\xC5\x81\xC3\xB3\x64\xC5\xBA|*.log",
         {"Deleted File: " + kLocal +
          "\\<U+0141>\xF3"
          "d<U+017A>\\mapa.log"},
         {kLocal + "\\<U+0141>\xF3"
                   "d<U+017A>\\mapa.log"},
         {}},
        {"a registry key with its subkeys, and one value",
         "RegKey1=HKCU\\Software\\App\\History\nRegKey2=HKCU\\Software\\App|Last\nRegKey3=HKCU\\Software\\App|Missing\n"
         "RegKey4=HKCU\\Software\\Missing\nRegKey5=HKCC\\Software\\App",
         {"Deleted Registry Key: HKCU\\Software\\App\\History", "Deleted Registry Value: HKCU\\Software\\App\\Last",
          "Deleted Registry Key: HKCC\\Software\\App"},
         {},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Machine machine;
        EXPECT_EQ(machine.Run(c.keys), c.lines);
        for (const std::string& path : c.gone)
            EXPECT_FALSE(machine.fs.Exists(path)) << path;
        for (const std::string& path : c.kept)
            EXPECT_TRUE(machine.fs.Exists(path)) << path;
    }
    Machine machine;
    machine.Run("RegKey1=HKCU\\Software\\App\\History\nRegKey2=HKCU\\Software\\App|Last");
    EXPECT_FALSE(machine.registry.KeyExists(Hive::CurrentUser, "Software\\App\\History"));
    EXPECT_EQ(machine.registry.ReadStringValue(Hive::CurrentUser, "Software\\App", "Last"), "");
    EXPECT_EQ(machine.registry.ReadStringValue(Hive::CurrentUser, "Software\\App", "Stays"), "1");
}

// Whatever a key says, these stay; each refusal is one line, and nothing of the machine changes.
TEST(RuleRun, EveryRefusalIsLoggedAndChangesNothing) {
    const std::string notFull = "it is not a full path";
    const struct {
        std::string key;
        std::vector<std::string> lines;
    } cases[] = {
        {"FileKey1=%SystemDrive%|*.*|RECURSE", {"Refused to delete C:\\: it is the root of a drive"}},
        {"FileKey1=%SystemDrive%|*", {"Refused to delete C:\\: it is the root of a drive"}},
        {"FileKey1=C:\\|*.txt|RECURSE", {"Refused to delete C:\\: it is the root of a drive"}},
        {"FileKey1=%UserProfile%|*|REMOVESELF",
         {"Refused to delete C:\\users\\me: it is or holds your profile, Desktop, Documents or Downloads folder"}},
        {"FileKey1=%UserProfile%\\Desktop|*.lnk|REMOVESELF",
         {"Refused to delete C:\\users\\me\\Desktop: it is or holds your profile, Desktop, Documents or Downloads "
          "folder"}},
        {"FileKey1=%UserProfile%\\Downloads|*.tmp|REMOVESELF",
         {"Refused to delete C:\\users\\me\\Downloads: it is or holds your profile, Desktop, Documents or Downloads "
          "folder"}},
        {"FileKey1=%Documents%|*.txt|RECURSE",
         {"Refused to delete C:\\users\\me\\Documents: it is or holds your Documents folder"}},
        {"FileKey1=%UserProfile%\\Downloads|*.tmp|RECURSE",
         {"Refused to delete C:\\users\\me\\Downloads: it is or holds a folder the system keeps for you or for "
          "programs"}},
        {"FileKey1=%WinDir%|*.log|RECURSE", {"Refused to delete C:\\windows: it is or holds the Windows folder"}},
        {"FileKey1=%WinDir%|*.exe",
         {"Refused to delete C:\\windows\\explorer.exe: it is a program, library, driver or settings file of the "
          "Windows folder"}},
        {"FileKey1=%WinDir%\\System32|*.log",
         {"Refused to delete C:\\windows\\System32\\old.log: it is inside a system folder"}},
        {"FileKey1=%ProgramFiles%|*.log|RECURSE",
         {"Refused to delete C:\\Program Files: it is or holds the Program Files folder",
          "Refused to delete C:\\Program Files (x86): it is or holds a folder the system keeps for you or for "
          "programs"}},
        {"FileKey1=%ProgramFiles%\\Nimbral|*.log",
         {"Refused to delete C:\\Program Files\\Nimbral\\debug.log: it is inside this program's folder"}},
        {"FileKey1=%LocalAppData%|*.log|RECURSE",
         {"Refused to delete C:\\users\\me\\AppData\\Local: it is or holds your AppData folder"}},
        {"FileKey1=%ProgramData%|*|RECURSE",
         {"Refused to delete C:\\ProgramData: it is or holds a folder the system keeps for you or for programs"}},
        {"FileKey1=%Temp%|*|REMOVESELF",
         {"Refused to delete C:\\users\\me\\AppData\\Local\\Temp: it is or holds a folder the system keeps for you "
          "or for programs"}},
        {"FileKey1=%LocalAppData%\\Sync\\",
         {"Skipped FileKey1=%LocalAppData%\\Sync\\: it has no pipe, so it would mean every file of the folder"}},
        {"FileKey1=%LocalAppData%\\App|*|RECURSE|REMOVESELF",
         {"Skipped FileKey1=%LocalAppData%\\App|*|RECURSE|REMOVESELF: it has two flags"}},
        {"FileKey1=%LocalAppData%\\App|a*b*c*d*e*f*g*h*i*j*k*",
         {"Skipped FileKey1=%LocalAppData%\\App|a*b*c*d*e*f*g*h*i*j*k*: it has more than 10 wildcards"}},
        {"FileKey1=%Everything%|*", {"Skipped FileKey1=%Everything%|*: it uses a variable that is not known"}},
        {"FileKey1=%UserProfile%\\..\\..|*|RECURSE",
         {"Skipped FileKey1=%UserProfile%\\..\\..|*|RECURSE: it has a . or .. part"}},
        {"FileKey1=Windows\\Temp|*", {"Skipped FileKey1=Windows\\Temp|*: " + notFull}},
        {"RegKey1=HKCU\\Software", {"Refused to delete HKCU\\Software: it is a key the system is built on"}},
        {"RegKey1=HKLM\\SOFTWARE\\Microsoft\\Windows",
         {"Refused to delete HKLM\\SOFTWARE\\Microsoft\\Windows: it is a key the system is built on"}},
        {"RegKey1=HKU\\.DEFAULT", {"Refused to delete HKU\\.DEFAULT: it is a key the system is built on"}},
        {"RegKey1=HKCU", {"Skipped RegKey1=HKCU: it names a whole hive"}},
        {"RegKey1=HKCU\\Software\\App\\Keep\nExcludeKey1=REG|HKCU\\Software\\App\\Keep",
         {"Skipped RegKey1=HKCU\\Software\\App\\Keep: an exclusion of its entry keeps it"}},
        {"RegKey1=HKCU\\Software\\App|Stays\nExcludeKey1=REG|HKCU\\Software\\App|stays",
         {"Skipped RegKey1=HKCU\\Software\\App|Stays: an exclusion of its entry keeps it"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        Machine machine;
        const auto files = machine.fs.Dump();
        const auto keys = machine.registry.Dump();
        EXPECT_EQ(machine.Run(c.key), c.lines);
        EXPECT_EQ(machine.fs.Dump(), files);
        EXPECT_EQ(machine.registry.Dump(), keys);
    }
}

TEST(RuleRun, WhatTheRulesMustStillBeAllowedToCleanIsCleaned) {
    const struct {
        std::string key;
        std::vector<std::string> lines;
    } cases[] = {
        {"FileKey1=%SystemDrive%|Tool*.txt", {"Deleted File: C:\\ToolReport.txt"}},
        {"FileKey1=%WinDir%|*.log", {"Deleted File: C:\\windows\\setup.log"}},
        {"FileKey1=%SystemDrive%\\Dell|*|REMOVESELF",
         {"Deleted File: C:\\Dell\\drivers\\a.inf", "Deleted Directory: C:\\Dell\\drivers",
          "Deleted Directory: C:\\Dell"}},
        {"FileKey1=%Temp%\\*|*|REMOVESELF",
         {"Deleted File: C:\\users\\me\\AppData\\Local\\Temp\\sub\\t2.tmp",
          "Deleted Directory: C:\\users\\me\\AppData\\Local\\Temp\\sub"}},
        {"FileKey1=%LocalAppData%|top.log", {"Deleted File: C:\\users\\me\\AppData\\Local\\top.log"}},
    };
    for (const auto& c : cases) {
        Machine machine;
        EXPECT_EQ(machine.Run(c.key), c.lines) << c.key;
    }
}

TEST(RuleRun, ThePreviewWritesTheCleansLinesAndChangesNothing) {
    const std::string keys =
        "FileKey1=%LocalAppData%\\App\\Cache|*|REMOVESELF\nFileKey2=%LocalAppData%\\App\\*\\Cache|*\n"
        "FileKey3=%LocalAppData%\\App\\Db|*\nFileKey4=%LocalAppData%\\App\\Db|*\nFileKey5=%SystemDrive%|*|RECURSE\n"
        "FileKey6=%LocalAppData%\\App\\Keep|*|REMOVESELF\nExcludeKey1=FILE|%LocalAppData%\\App\\Keep\\|keep.txt\n"
        "FileKey7=%LocalAppData%\\Sync\\\nRegKey1=HKCU\\Software\\App\\History\nRegKey2=HKCU\\Software\\App|Last\n"
        "RegKey3=HKCU\\Software\\App\\History";
    Machine previewed;
    Machine cleaned;
    const auto files = previewed.fs.Dump();
    const auto registry = previewed.registry.Dump();
    PreviewFileSystem fileSystem(previewed.fs);
    PreviewRegistry previewRegistry(previewed.registry);
    const std::vector<std::string> preview = previewed.RunOver(fileSystem, previewRegistry, keys);
    const std::vector<std::string> clean = cleaned.Run(keys);
    EXPECT_EQ(preview, clean);
    EXPECT_GT(clean.size(), 12u);
    EXPECT_EQ(previewed.fs.Dump(), files);
    EXPECT_EQ(previewed.registry.Dump(), registry);
    EXPECT_NE(cleaned.fs.Dump(), files);
}

}  // namespace
}  // namespace nimbral
