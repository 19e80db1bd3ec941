// The steps that clear registry lists, against Wine's real registry, where a key that holds a
// subkey cannot be deleted whole.

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "doubles/FakeFileSystem.h"
#include "doubles/FakeOsVersionSource.h"
#include "doubles/FakeSettingsArea.h"
#include "doubles/FakeShell.h"
#include "doubles/FakeUrlCache.h"
#include "doubles/RecordingResults.h"
#include "engine/modEngine.h"
#include "platform/win32/UniqueHandles.h"
#include "platform/win32/Win32Registry.h"

namespace nimbral::wintest {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

class ClearingOnTheRealRegistry : public ::testing::Test {
  protected:
    ClearingOnTheRealRegistry() {
        DeleteKeys();
        area.SaveSetting("Nimbral Windows Cleaner", "Settings", "enc", "0");
        area.SaveSetting("Nimbral Windows Cleaner", "Settings", "sit0", "kept.example");
    }
    ~ClearingOnTheRealRegistry() override { DeleteKeys(); }

    // Other tests of the prefix may have seeded these lists.
    static void DeleteKeys() {
        for (const char* key : {kTypedUrlsKey, kMediaListKey, kSearchAssistantKey})
            ::RegDeleteTreeA(HKEY_CURRENT_USER, key);
    }

    std::vector<std::string> Run(void (*step)(CleanRunContext&)) {
        settings.LoadSettings();
        testing::RecordingResults results;
        CleanRunContext run(services, results);
        step(run);
        return results.lines;
    }

    void AddSubkey(const std::string& key) { registry.SaveKey(Hive::CurrentUser, key + "\\Private"); }
    std::vector<std::string> Values(const std::string& key) {
        return registry.ValueNames(Hive::CurrentUser, key).value_or(std::vector<std::string>{"<unreadable>"});
    }

    testing::FakeSettingsArea area;
    SettingsStore settings{area, "Nimbral Windows Cleaner"};
    win32::Win32Registry registry;
    testing::FakeFileSystem fs;
    testing::FakeShell shell;
    testing::FakeUrlCache cache;
    struct NoHistory final : HistoryLibrary {
        bool DeleteHistory() override { return false; }
    } history;
    FakeOsVersionSource os;
    MainWindowListers listers{fs};
    PluginList plugins;
    struct NoPlugins final : PluginRunner {
        void RunPluginByName(const std::string&, ResultsSurface&, const ProtectedPlaces&) override {}
    } runner;
    EngineServices services{settings, registry, fs, shell, cache, history, os, listers, plugins, runner, "", 0};
};

TEST_F(ClearingOnTheRealRegistry, TypedAddressesGoEvenWhenTheKeyHoldsASubkeyAndKeptOnesAreThereOnce) {
    registry.SetStringValue(Hive::CurrentUser, kTypedUrlsKey, "url1", "http://private.example/");
    registry.SetStringValue(Hive::CurrentUser, kTypedUrlsKey, "url2", "http://kept.example/");
    AddSubkey(kTypedUrlsKey);
    EXPECT_THAT(Run(EditTypedUrls),
                ElementsAre("Deleted URL: http://private.example/", "Kept URL: http://kept.example/"));
    EXPECT_THAT(Values(kTypedUrlsKey), ElementsAre("url1"));
    EXPECT_EQ(registry.ReadStringValue(Hive::CurrentUser, kTypedUrlsKey, "url1"), "http://kept.example/");
}

TEST_F(ClearingOnTheRealRegistry, MediaAndSearchListsAreEmptiedAroundASubkeyBeforeTheyAreSaidToBe) {
    registry.SetStringValue(Hive::CurrentUser, kMediaListKey, "File0", "C:\\private\\film.avi");
    AddSubkey(kMediaListKey);
    EXPECT_THAT(Run(CleanMediaPlayer), ElementsAre("Removed all entries from Media Player History"));
    EXPECT_THAT(Values(kMediaListKey), ::testing::IsEmpty());

    registry.SetStringValue(Hive::CurrentUser, kSearchAssistantKey, "000", "private search");
    AddSubkey(kSearchAssistantKey);
    EXPECT_THAT(Run(ClearRunMenu), Contains("Search History Cleared - May require restart"));
    EXPECT_THAT(Values(kSearchAssistantKey), ::testing::IsEmpty());
    win32::UniqueHkey subkey;
    EXPECT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kSearchAssistantKey) + "\\Private").c_str(), 0, KEY_READ,
                              subkey.put()),
              ERROR_SUCCESS)
        << "a subkey that is not the program's stays";
}

}  // namespace
}  // namespace nimbral::wintest
