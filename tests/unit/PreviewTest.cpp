// A preview is the clean's log without the clean: the same run over the preview seams writes what
// the clean writes on an identical machine, and leaves its own machine as it was.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "doubles/FakeFileSystem.h"
#include "doubles/FakeOsVersionSource.h"
#include "doubles/FakeRegistry.h"
#include "doubles/FakeSettingsArea.h"
#include "doubles/FakeShell.h"
#include "doubles/FakeUrlCache.h"
#include "engine/Headless.h"
#include "engine/Preview.h"
#include "engine/modEngine.h"
#include "plugins/PluginFiles.h"

namespace nimbral {
namespace {

using testing::FakeFileSystem;
using testing::FakeRegistry;
using testing::FakeSettingsArea;
using testing::FakeShell;
using testing::FakeUrlCache;
namespace fa = FileAttribute;
namespace ct = UrlCacheEntryType;

constexpr char kApp[] = "Nimbral Windows Cleaner";
constexpr char kProgram[] = "C:\\Program Files\\Nimbral";
constexpr char kCookies[] = "C:\\users\\me\\Cookies\\";

// The history library as the real one acts: every history entry of the cache goes.
class CacheHistory final : public HistoryLibrary {
  public:
    explicit CacheHistory(UrlCache& cache) : cache_(cache) {}
    bool DeleteHistory() override {
        std::vector<std::string> history;
        cache_.Walk([&](const std::string& name, std::uint32_t type) {
            if (type & ct::kUrlHistory)
                history.push_back(name);
        });
        for (const std::string& name : history)
            cache_.DeleteEntry(name);
        return true;
    }

  private:
    UrlCache& cache_;
};

// A machine with something for every step to find, and what makes the steps go different ways:
// kept and dropped entries, a subkey under a cleared list, a locked file, read-only files, links to
// files and folders, a plugin that deletes files, folders, values and keys and tries the Windows
// folder.
struct Machine {
    Machine() {
        const auto store = [this](const std::string& key, const std::string& text) {
            area.SaveSetting(kApp, "Settings", key, text);
        };
        for (const char* flag :
             {"detype", "dehist", "decook", "deintt", "dedocu", "demedi", "dewint", "derecy", "deruns"}) {
            store(flag, "1");
        }
        store("enc", "0");
        store("sit0", "kept.example");
        store("coo0", "kept.example");
        store("pat0", "C:\\docs\\a.doc");
        store("fil0", "a.doc");
        store("med0", "decoy");
        store("td", "C:\\users\\me\\Temp\\");
        store("plugWork", "True");

        const char* typed = "Software\\Microsoft\\Internet Explorer\\TypedURLs\\";
        registry.SetStringValue(Hive::CurrentUser, typed, "url1", "http://kept.example/");
        registry.SetStringValue(Hive::CurrentUser, typed, "url2", "http://gone.example/");
        registry.SaveKey(Hive::CurrentUser, std::string(typed) + "Sub");
        registry.SetStringValue(Hive::CurrentUser, kMediaListKey, "File0", "C:\\films\\private.avi");
        registry.SetStringValue(Hive::CurrentUser, kRunMruKey, "a", "notepad");
        registry.SetStringValue(Hive::CurrentUser, kRunMruKey, "b", "regedit");
        registry.SetStringValue(Hive::CurrentUser, kRunMruKey, "MRUList", "ba");
        registry.SetStringValue(Hive::CurrentUser, kSearchAssistantKey, "000", "private search");
        registry.SaveKey(Hive::CurrentUser, std::string(kSearchAssistantKey) + "\\Sub");
        registry.SetStringValue(Hive::CurrentUser, kFilesNamedMruKey, "000", "*.doc");
        registry.SetStringValue(Hive::CurrentUser, "Software\\Plug", "X", "1");
        registry.SetStringValue(Hive::CurrentUser, "Software\\Plug", "Y", "2");
        registry.SaveKey(Hive::CurrentUser, "Software\\Plug\\Sub");

        cache.Add("Cookie:me@kept.example/", ct::kCookie | ct::kNormal);
        cache.Add("Cookie:me@gone.example/", ct::kCookie | ct::kNormal);
        cache.Add("http://gone.example/page", ct::kNormal);
        cache.Add("http://kept.example/logo.png", ct::kNormal);
        cache.Add("Visited: me@http://gone.example/", ct::kUrlHistory);

        fs.AddFile("C:\\windows\\win.ini");
        fs.AddFile("C:\\elsewhere\\precious.txt");
        fs.AddFile("C:\\elsewhere\\inner\\deep.txt");
        for (const char* name :
             {"me@kept.example[1].txt", "me@gone.example[1].txt", "me@locked.example[1].txt", "index.dat"})
            fs.AddFile(std::string(kCookies) + name);
        fs.LockFile(std::string(kCookies) + "me@locked.example[1].txt");
        fs.AddFileLink(std::string(kCookies) + "me@link.example[1].txt", "C:\\elsewhere\\precious.txt");
        fs.AddFile("C:\\windows\\recent\\old.lnk");
        fs.AddFile("C:\\users\\me\\Recent\\older.lnk");
        fs.AddFile("C:\\users\\me\\Temp\\a.tmp");
        fs.AddFile("C:\\users\\me\\Temp\\ro.tmp", fa::kReadOnly);
        fs.AddFile("C:\\users\\me\\Temp\\sub\\inner.tmp");
        fs.AddFileLink("C:\\users\\me\\Temp\\link.doc", "C:\\elsewhere\\precious.txt");
        fs.AddFolderLink("C:\\users\\me\\Temp\\dlink", "C:\\elsewhere");
        fs.AddFile("C:\\users\\me\\Temp\\z\\last.tmp", fa::kReadOnly);
        fs.AddFile("C:\\data\\one.txt");
        fs.AddFile("C:\\data\\two.txt");
        fs.AddFile("C:\\data\\keep\\three.txt");
        fs.AddFile("C:\\data2\\x\\y.txt");
        fs.AddFile(std::string(kProgram) + "\\plugins\\Work.ww1");
        fs.SetContent(std::string(kProgram) + "\\plugins\\Work.ww1",
                      "C:\\data\\one.txt\r\nC:\\data\\*.*\r\nC:\\data2\\*.* >plus subdirectories<\r\n"
                      "C:\\windows\\*.*\r\nC:\\data\\one.txt\r\nC:\\data2\\*.* >plus subdirectories<\r\n");
        fs.AddFile(std::string(kProgram) + "\\plugins\\Work.ww2");
        fs.SetContent(
            std::string(kProgram) + "\\plugins\\Work.ww2",
            "HKey_Current_User\\Software\\Plug\\+ Value`= X\r\nHKey_Current_User\\Software\\Plug\\- Key*\r\n"
            "HKey_Current_User\\Software\\Plug\\Sub\\- Key*\r\nHKey_Current_User\\Software\\Plug\\- Key*\r\n");

        shell.folders[SpecialFolder::kCookies] = kCookies;
        shell.folders[SpecialFolder::kRecent] = "C:\\users\\me\\Recent\\";
        shell.folders[SpecialFolder::kProfile] = "C:\\users\\me\\";
        os.basic = OsVersionRecord{5, 1, 2600, 2, std::string(128, '\0')};
        os.extended = OsVersionExRecord{};
    }

    // The run as the program makes it, over the given seams; the log it writes.
    std::vector<std::string> Clean(Registry& reg, FileSystem& files, Shell& sh, UrlCache& urls, HistoryLibrary& hist) {
        MainWindowListers runListers(files);
        PluginTables tables;
        PluginList lstPlugs;
        BuildPluginList(tables, lstPlugs, runListers.File1, settings, kProgram);
        PluginFiles plugins(PluginServices{files, reg, runListers.FileEngine}, kProgram);
        EngineServices services{settings, reg, files, sh, urls, hist, os, runListers, lstPlugs, plugins, kCookies, 0};
        std::vector<std::string> log;
        HeadlessHost host([&log](std::string_view text) { log.emplace_back(text.substr(0, text.size() - 1)); }, true);
        RunClean(host, services);
        return log;
    }
    std::vector<std::string> Clean() {
        CacheHistory history(cache);
        return Clean(registry, fs, shell, cache, history);
    }
    std::vector<std::string> Preview() {
        PreviewFileSystem previewFiles(fs);
        PreviewRegistry previewRegistry(registry);
        PreviewUrlCache previewCache(cache);
        PreviewHistory previewHistory(previewCache);
        PreviewShell previewShell(shell, previewFiles);
        return Clean(previewRegistry, previewFiles, previewShell, previewCache, previewHistory);
    }

    FakeSettingsArea area;
    SettingsStore settings{area, kApp};
    FakeRegistry registry;
    FakeFileSystem fs;
    FakeShell shell{fs};
    FakeUrlCache cache;
    FakeOsVersionSource os;
};

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

TEST(Preview, WritesTheLinesTheCleanWritesAndChangesNothing) {
    Machine cleaned;
    const auto cleanLog = cleaned.Clean();
    Machine previewed;
    const auto previewLog = previewed.Preview();

    EXPECT_EQ(previewLog, cleanLog);
    // The run was worth comparing: it deleted, kept, refused and failed.
    for (const char* line :
         {"Deleted URL: http://gone.example/", "Deleted 1 unwanted cookies in C:\\users\\me\\Cookies\\",
          "Could not delete: C:\\users\\me\\Temp", "Deleted Directory: C:\\users\\me\\Temp\\sub",
          "File Deleted: ro.tmp", "Could not Delete: link.doc", "Deleted File: one.txt", "Does not exist: one.txt",
          "Deleted Directory: C:\\data2", "Folder does not exist: C:\\data2",
          "Refused to delete C:\\windows: it is or holds the Windows folder",
          "Removed all entries from Media Player History"}) {
        EXPECT_THAT(cleanLog, ::testing::Contains(line)) << Joined(cleanLog);
    }

    const Machine untouched;
    EXPECT_EQ(previewed.fs.Dump(), untouched.fs.Dump());
    EXPECT_EQ(previewed.registry.Dump(), untouched.registry.Dump());
    EXPECT_EQ(previewed.cache.Names(), untouched.cache.Names());
    EXPECT_THAT(previewed.shell.calls, ::testing::IsEmpty());
    EXPECT_EQ(previewed.area.Writes(), untouched.area.Writes());
    // And the clean did change its machine.
    EXPECT_NE(cleaned.fs.Dump(), untouched.fs.Dump());
    EXPECT_NE(cleaned.registry.Dump(), untouched.registry.Dump());
}

// A temp folder that goes whole and is made again: the steps after it see it empty, as the clean
// left it, and a plugin's lines find nothing there.
TEST(Preview, AFolderRemovedAndMadeAgainReadsEmpty) {
    const auto prepare = [](Machine& machine) {
        machine.area.SaveSetting(kApp, "Settings", "td", "C:\\t\\");
        machine.fs.AddFile("C:\\t\\a.tmp");
        machine.fs.AddFile("C:\\t\\sub\\b.tmp");
        machine.fs.SetContent(std::string(kProgram) + "\\plugins\\Work.ww1",
                              "C:\\t\\a.tmp\r\nC:\\t\\*.*\r\nC:\\t\\sub\\*.* >plus subdirectories<\r\n");
    };
    Machine cleaned;
    prepare(cleaned);
    const auto cleanLog = cleaned.Clean();
    Machine previewed;
    prepare(previewed);
    const auto before = previewed.fs.Dump();
    const auto previewLog = previewed.Preview();

    EXPECT_EQ(previewLog, cleanLog);
    for (const char* line : {"Deleted Directory: C:\\t", "Does not exist: a.tmp", "Folder does not exist: C:\\t\\sub"})
        EXPECT_THAT(cleanLog, ::testing::Contains(line)) << Joined(cleanLog);
    EXPECT_TRUE(cleaned.fs.FolderExists("C:\\t\\"));
    EXPECT_EQ(previewed.fs.Dump(), before);
}

// The registry as the preview shows it after each kind of change.
TEST(Preview, TheRegistryReadsBackWhatTheRunWouldHaveLeft) {
    FakeRegistry real;
    real.SetStringValue(Hive::CurrentUser, "Software\\K", "a", "1");
    real.SetStringValue(Hive::CurrentUser, "Software\\K", "b", "2");
    real.SaveKey(Hive::CurrentUser, "Software\\K\\Sub");
    const auto before = real.Dump();
    PreviewRegistry view(real);

    EXPECT_EQ(view.DeleteRegistryKey(Hive::CurrentUser, "Software\\K"), kKeyNotDeleted) << "it has a subkey";
    view.DeleteRegistryValue(Hive::CurrentUser, "Software\\K", "a");
    view.SetStringValue(Hive::CurrentUser, "Software\\K", "c", "3");
    EXPECT_EQ(view.ValueNames(Hive::CurrentUser, "Software\\K"), (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(view.ReadStringValue(Hive::CurrentUser, "Software\\K", "a"), "");
    EXPECT_EQ(view.ReadStringValue(Hive::CurrentUser, "Software\\K", "c"), "3");
    EXPECT_EQ(view.DeleteRegistryKey(Hive::CurrentUser, "Software\\K\\Sub"), kKeyDeleted);
    EXPECT_EQ(view.SubkeyNames(Hive::CurrentUser, "Software\\K"), std::vector<std::string>{});
    EXPECT_EQ(view.DeleteRegistryKey(Hive::CurrentUser, "Software\\K"), kKeyDeleted);
    EXPECT_EQ(view.ValueNames(Hive::CurrentUser, "Software\\K"), std::vector<std::string>{});
    EXPECT_FALSE(view.SubkeyNames(Hive::CurrentUser, "Software\\K"));
    EXPECT_EQ(view.DeleteRegistryKey(Hive::CurrentUser, "Software\\K"), kKeyNotDeleted) << "already gone";
    // Written again, the key holds only what was written since.
    view.SetStringValue(Hive::CurrentUser, "Software\\K", "url1", "x");
    EXPECT_EQ(view.ValueNames(Hive::CurrentUser, "Software\\K"), std::vector<std::string>{"url1"});
    EXPECT_EQ(view.ReadStringValue(Hive::CurrentUser, "Software\\K", "b"), "");
    EXPECT_EQ(real.Dump(), before);
}

}  // namespace
}  // namespace nimbral
