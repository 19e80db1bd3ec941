// The settings store on the real registry: where and how the values land.

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/UniqueHandles.h"
#include "platform/win32/Win32SettingsArea.h"
#include "settings/SettingsStore.h"

namespace nimbral::wintest {
namespace {

constexpr char kKey[] = "Software\\VB and VBA Program Settings\\Nimbral Windows Cleaner\\Settings";

struct StoredValue {
    DWORD type = 0;
    std::string data;
};

StoredValue Query(const char* name) {
    win32::UniqueHkey key;
    StoredValue value;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return value;
    char data[512] = {};
    DWORD size = sizeof data;
    if (::RegQueryValueExA(key.get(), name, nullptr, &value.type, reinterpret_cast<BYTE*>(data), &size) ==
        ERROR_SUCCESS) {
        value.data.assign(data, size);
    }
    return value;
}

class SettingsOnTheRegistry : public ::testing::Test {
  protected:
    void SetUp() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }

    win32::Win32SettingsArea area;
    SettingsStore store{area, "Nimbral Windows Cleaner"};
};

TEST_F(SettingsOnTheRegistry, FinishingTheWizardStoresStringValuesUnderTheProductsKey) {
    store.LoadSettings();
    EXPECT_EQ(store.Current().enc, 1);
    EXPECT_EQ(Query("enc").type, 0u) << "loading writes nothing";

    WizardControls controls;
    controls.chkencrypt = 1;
    controls.chkHotKey = 1;
    controls.lstSites[1] = {"abc", " "};
    controls.txtSetting[0] = "C:\\Temp";
    store.ClearStoredLists();
    store.SaveWizardSettings(controls);
    store.LoadSettings();
    store.SaveSetting("run", "1");

    const struct {
        const char* name;
        std::string data;
    } expected[] = {
        {"enc", std::string("1") + '\0'},
        {"ipa", std::string("0") + '\0'},
        {"sit0", std::string("\xE1\xE2\xE3") + '\0'},
        {"sit1", std::string("\xA0") + '\0'},
        {"run", std::string("1") + '\0'},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        const StoredValue v = Query(e.name);
        EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(v.data, e.data);
    }
    EXPECT_EQ(store.Current().sit[0], "abc");
    EXPECT_EQ(store.Current().sit[1], " ");
    EXPECT_EQ(store.Current().td, "C:\\Temp");
}

// The section's key is kept open between calls; a plugin may delete it meanwhile, and a setting
// saved after that must still land, and one read must not come from the deleted key.
TEST_F(SettingsOnTheRegistry, ASectionDeletedBehindTheStoresBackIsMadeAgain) {
    ASSERT_TRUE(area.SaveSetting("Nimbral Windows Cleaner", "Settings", "run", "1"));
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    EXPECT_EQ(area.GetSetting("Nimbral Windows Cleaner", "Settings", "run", "none"), "none");
    ASSERT_TRUE(area.SaveSetting("Nimbral Windows Cleaner", "Settings", "run", "2"));
    EXPECT_EQ(Query("run").data, std::string("2") + '\0');
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
    ASSERT_TRUE(area.SaveSetting("Nimbral Windows Cleaner", "Settings", "run", "3"));
    EXPECT_EQ(area.GetSetting("Nimbral Windows Cleaner", "Settings", "run", "none"), "3");
}

}  // namespace
}  // namespace nimbral::wintest
