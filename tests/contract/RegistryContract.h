#pragma once

// What every Registry must do, held against the in-memory double natively and against the Win32
// adapter under Wine. A harness gives the registry, a throwaway key under HKEY_CURRENT_USER, and a
// raw look at what was stored.
//
// Harness requirements:
//   Registry& Get();
//   std::string Root();                               // key path under HKEY_CURRENT_USER, no trailing backslash
//   void PutDword(const std::string& keyPath, const std::string& name, std::uint32_t value);
//   bool KeyExists(Hive hive, const std::string& keyPath);
//   std::optional<std::pair<std::uint32_t, std::string>> Raw(Hive, keyPath, name);  // type, data bytes

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Registry.h"
#include "registry/AddRemove.h"

namespace nimbral::contract {

inline constexpr std::uint32_t kRegSzType = 1;

template <typename Harness>
class RegistryContract : public ::testing::Test {
  protected:
    Harness harness;
    Registry& reg() { return harness.Get(); }
    std::string Key(const std::string& sub = "") { return sub.empty() ? harness.Root() : harness.Root() + "\\" + sub; }
};

TYPED_TEST_SUITE_P(RegistryContract);

TYPED_TEST_P(RegistryContract, StringValuesReadBackTheSameWhicheverWriterStoredThem) {
    const std::string key = this->Key("Deep\\Er");
    // The path does not exist yet: both writers create it.
    ASSERT_TRUE(this->reg().SetStringValue(Hive::CurrentUser, key, "Set", "caf\xE9 one"));
    this->reg().SaveString(Hive::CurrentUser, key, "Saved", "caf\xE9 one");

    const auto set = this->harness.Raw(Hive::CurrentUser, key, "Set");
    const auto saved = this->harness.Raw(Hive::CurrentUser, key, "Saved");
    ASSERT_TRUE(set && saved);
    EXPECT_EQ(set->first, kRegSzType);
    EXPECT_EQ(saved->first, kRegSzType);
    // SaveString leaves the zero out of its data length; the registry counts it all the same.
    EXPECT_EQ(set->second, std::string("caf\xE9 one") + '\0');
    EXPECT_EQ(saved->second, std::string("caf\xE9 one") + '\0');

    // Each reader gives the whole text back.
    for (const char* name : {"Set", "Saved"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(this->reg().ReadStringValue(Hive::CurrentUser, key, name), "caf\xE9 one");
        EXPECT_EQ(this->reg().GetString(Hive::CurrentUser, key, name), "caf\xE9 one");
    }
    // A key path with a trailing backslash names the same key.
    EXPECT_EQ(this->reg().ReadStringValue(Hive::CurrentUser, key + "\\", "Set"), "caf\xE9 one");
}

TYPED_TEST_P(RegistryContract, ReadStringValueComparesNamesExactly) {
    const std::string key = this->Key();
    this->reg().SetStringValue(Hive::CurrentUser, key, "Wanted", "yes");
    EXPECT_EQ(this->reg().ReadStringValue(Hive::CurrentUser, key, "Wanted"), "yes");
    EXPECT_EQ(this->reg().ReadStringValue(Hive::CurrentUser, key, "wanted"), "");
    EXPECT_EQ(this->reg().ReadStringValue(Hive::CurrentUser, key, "Missing"), "");
    EXPECT_EQ(this->reg().ReadStringValue(Hive::CurrentUser, key + "\\NoSuchKey", "Wanted"), "");
    this->reg().SetStringValue(Hive::CurrentUser, key, "Empty", "");
    EXPECT_EQ(this->reg().ReadStringValue(Hive::CurrentUser, key, "Empty"), "");
}

TYPED_TEST_P(RegistryContract, ReadStringValueStopsAtTheFirstValueTooLongForItsBuffers) {
    struct Case {
        const char* what;
        std::string name;
        std::string data;
        bool stillFound;
    };
    const Case cases[] = {
        {"254 characters of data fit with their zero", "a", std::string(254, 'x'), true},
        {"255 characters of data do not", "a", std::string(255, 'x'), false},
        {"a 254-character name fits", "a" + std::string(253, 'n'), "short", true},
        {"a 255-character name does not", "a" + std::string(254, 'n'), "short", false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string key = this->Key("Long" + std::to_string(n++));
        // Created first and named to sort first, so every registry walks it before the wanted value.
        this->reg().SetStringValue(Hive::CurrentUser, key, c.name, c.data);
        this->reg().SetStringValue(Hive::CurrentUser, key, "b_wanted", "found");
        EXPECT_EQ(this->reg().ReadStringValue(Hive::CurrentUser, key, "b_wanted"), c.stillFound ? "found" : "");
    }
}

TYPED_TEST_P(RegistryContract, OnlyGetStringLooksAtTheValuesType) {
    const std::string key = this->Key();
    this->harness.PutDword(key, "Number", 0x41424344);
    EXPECT_EQ(this->reg().GetString(Hive::CurrentUser, key, "Number"), "");
    // The enumeration takes any data as text less its last byte: "DCBA" in memory order.
    EXPECT_EQ(this->reg().ReadStringValue(Hive::CurrentUser, key, "Number"), "DCB");
    EXPECT_EQ(this->reg().GetString(Hive::CurrentUser, key, "Missing"), "");
    EXPECT_EQ(this->reg().GetString(Hive::CurrentUser, key + "\\NoSuchKey", "Number"), "");
}

TYPED_TEST_P(RegistryContract, DeletingValuesLeavesTheirNeighbours) {
    const std::string key = this->Key();
    this->reg().SetStringValue(Hive::CurrentUser, key, "Gone", "1");
    this->reg().SetStringValue(Hive::CurrentUser, key, "Stays", "2");
    this->reg().DeleteRegistryValue(Hive::CurrentUser, key, "Gone");
    this->reg().SaveString(Hive::CurrentUser, key, "AlsoGone", "3");
    this->reg().DeleteValue(Hive::CurrentUser, key, "AlsoGone");
    EXPECT_FALSE(this->harness.Raw(Hive::CurrentUser, key, "Gone"));
    EXPECT_FALSE(this->harness.Raw(Hive::CurrentUser, key, "AlsoGone"));
    EXPECT_EQ(this->reg().ReadStringValue(Hive::CurrentUser, key, "Stays"), "2");
    // Deleting what is not there changes nothing and creates nothing.
    this->reg().DeleteRegistryValue(Hive::CurrentUser, key + "\\NoSuchKey", "Gone");
    this->reg().DeleteRegistryValue(Hive::CurrentUser, key, "Gone");
    EXPECT_FALSE(this->harness.KeyExists(Hive::CurrentUser, key + "\\NoSuchKey"));
    EXPECT_EQ(this->reg().ValueNames(Hive::CurrentUser, key), std::vector<std::string>{"Stays"});
}

TYPED_TEST_P(RegistryContract, ValueNamesListsEveryValueHoweverLongItsName) {
    const std::string key = this->Key("Names");
    const std::string longName(300, 'n');
    this->reg().SetStringValue(Hive::CurrentUser, key, longName, "1");
    this->reg().SetStringValue(Hive::CurrentUser, key, "", "default");
    this->reg().SetStringValue(Hive::CurrentUser, key, "Short", "2");
    this->reg().SaveKey(Hive::CurrentUser, key + "\\Sub");
    const auto names = this->reg().ValueNames(Hive::CurrentUser, key);
    ASSERT_TRUE(names);
    EXPECT_THAT(*names, ::testing::UnorderedElementsAre("", "Short", longName));
    EXPECT_EQ(this->reg().ValueNames(Hive::CurrentUser, key + "\\Sub"), std::vector<std::string>{});
    EXPECT_EQ(this->reg().ValueNames(Hive::CurrentUser, key + "\\Missing"), std::vector<std::string>{});
}

TYPED_TEST_P(RegistryContract, SubkeyNamesTellWhetherAKeyIsThereAndWhatItHolds) {
    const std::string key = this->Key("Holder");
    this->reg().SaveKey(Hive::CurrentUser, key + "\\One");
    this->reg().SaveKey(Hive::CurrentUser, key + "\\Two\\Deeper");
    this->reg().SetStringValue(Hive::CurrentUser, key, "value", "not a key");
    const auto names = this->reg().SubkeyNames(Hive::CurrentUser, key);
    ASSERT_TRUE(names);
    EXPECT_EQ(names->size(), 2u);
    EXPECT_EQ(this->reg().SubkeyNames(Hive::CurrentUser, key + "\\One"), std::vector<std::string>{});
    EXPECT_FALSE(this->reg().SubkeyNames(Hive::CurrentUser, key + "\\Missing"));
}

TYPED_TEST_P(RegistryContract, DeleteRegistryKeyRemovesOnlyKeysWithoutSubkeys) {
    const std::string parent = this->Key("Parent");
    this->reg().SaveKey(Hive::CurrentUser, parent + "\\Child");
    this->reg().SetStringValue(Hive::CurrentUser, parent, "v", "1");

    EXPECT_EQ(this->reg().DeleteRegistryKey(Hive::CurrentUser, parent), kKeyNotDeleted);
    EXPECT_TRUE(this->harness.KeyExists(Hive::CurrentUser, parent + "\\Child"));
    EXPECT_EQ(this->reg().ReadStringValue(Hive::CurrentUser, parent, "v"), "1");

    EXPECT_EQ(this->reg().DeleteRegistryKey(Hive::CurrentUser, parent + "\\Child"), kKeyDeleted);
    EXPECT_FALSE(this->harness.KeyExists(Hive::CurrentUser, parent + "\\Child"));
    EXPECT_EQ(this->reg().DeleteRegistryKey(Hive::CurrentUser, parent + "\\Child"), kKeyNotDeleted);
    EXPECT_EQ(this->reg().DeleteRegistryKey(Hive::CurrentUser, parent), kKeyDeleted);
    EXPECT_FALSE(this->harness.KeyExists(Hive::CurrentUser, parent));

    // The hive itself is never a key to delete.
    EXPECT_EQ(this->reg().DeleteRegistryKey(Hive::CurrentUser, ""), kKeyNotDeleted);
    this->reg().DeleteKey(Hive::CurrentUser, "");
    EXPECT_TRUE(this->harness.KeyExists(Hive::CurrentUser, this->Key()));
}

TYPED_TEST_P(RegistryContract, AddRemoveManagesTheRunAndUninstallEntries) {
    AddRemove addRemove(this->reg());
    const std::string name = "Nimbral Contract " + this->harness.Root().substr(this->harness.Root().rfind('\\') + 1);

    addRemove.AddToRun(name, "C:\\Program Files\\nimbral.exe");
    EXPECT_EQ(addRemove.GetString(Hive::LocalMachine, kRunPath, name), "C:\\Program Files\\nimbral.exe");
    addRemove.RemoveFromRun(name);
    EXPECT_FALSE(this->harness.Raw(Hive::LocalMachine, kRunPath, name));

    addRemove.AddToList(name, "C:\\uninstall.exe /x");
    const std::string entry = kUninstallPath + name;
    EXPECT_EQ(addRemove.GetString(Hive::LocalMachine, entry, "DisplayName"), name);
    EXPECT_EQ(addRemove.GetString(Hive::LocalMachine, entry, "UninstallString"), "C:\\uninstall.exe /x");
    addRemove.RemoveFromList(name);
    EXPECT_FALSE(this->harness.KeyExists(Hive::LocalMachine, entry));
}

REGISTER_TYPED_TEST_SUITE_P(RegistryContract,
                            StringValuesReadBackTheSameWhicheverWriterStoredThem,
                            ReadStringValueComparesNamesExactly,
                            ReadStringValueStopsAtTheFirstValueTooLongForItsBuffers,
                            OnlyGetStringLooksAtTheValuesType,
                            DeletingValuesLeavesTheirNeighbours,
                            ValueNamesListsEveryValueHoweverLongItsName,
                            SubkeyNamesTellWhetherAKeyIsThereAndWhatItHolds,
                            DeleteRegistryKeyRemovesOnlyKeysWithoutSubkeys,
                            AddRemoveManagesTheRunAndUninstallEntries);

}  // namespace nimbral::contract
