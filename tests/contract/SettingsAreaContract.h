#pragma once

// What every SettingsArea must do. Harness requirements:
//   SettingsArea& Get();
//   std::string Application();   // an application name no other test uses
//   void PutNonString(const std::string& application, const std::string& section, const std::string& key);
//   void RemoveValue(const std::string& application, const std::string& section, const std::string& key);
//   void RemoveSection(const std::string& application, const std::string& section);
// (the last three as another program would do them, not through the area)

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/SettingsArea.h"

namespace nimbral::contract {

template <typename Harness>
class SettingsAreaContract : public ::testing::Test {
  protected:
    Harness harness;
    SettingsArea& area() { return harness.Get(); }
};

TYPED_TEST_SUITE_P(SettingsAreaContract);

TYPED_TEST_P(SettingsAreaContract, MissingKeysAndValuesGiveTheDefault) {
    const std::string app = this->harness.Application();
    EXPECT_EQ(this->area().GetSetting(app, "Settings", "ipa", "0"), "0");
    ASSERT_TRUE(this->area().SaveSetting(app, "Settings", "other", "x"));
    EXPECT_EQ(this->area().GetSetting(app, "Settings", "ipa", "dflt"), "dflt");
    EXPECT_EQ(this->area().GetSetting(app, "Elsewhere", "other", "dflt"), "dflt");
}

TYPED_TEST_P(SettingsAreaContract, StoredTextsComeBackWholeWhateverTheirLengthOrCharacters) {
    const std::string app = this->harness.Application();
    const std::string long_(100000, 'q');
    std::string high;
    for (int c = 1; c < 256; ++c)
        high += static_cast<char>(c);
    ASSERT_TRUE(this->area().SaveSetting(app, "Settings", "long", long_));
    ASSERT_TRUE(this->area().SaveSetting(app, "Settings", "high", high));
    ASSERT_TRUE(this->area().SaveSetting(app, "Settings", "empty", ""));
    EXPECT_EQ(this->area().GetSetting(app, "Settings", "long", ""), long_);
    EXPECT_EQ(this->area().GetSetting(app, "Settings", "high", ""), high);
    EXPECT_EQ(this->area().GetSetting(app, "Settings", "empty", "dflt"), "");
    // Value names ignore letter case, as everywhere in the registry.
    EXPECT_EQ(this->area().GetSetting(app, "Settings", "LONG", ""), long_);
    ASSERT_TRUE(this->area().SaveSetting(app, "Settings", "long", "short"));
    EXPECT_EQ(this->area().GetSetting(app, "Settings", "long", ""), "short");
}

TYPED_TEST_P(SettingsAreaContract, AValueThatIsNotTextReadsAsMissing) {
    const std::string app = this->harness.Application();
    this->harness.PutNonString(app, "Settings", "enc");
    EXPECT_EQ(this->area().GetSetting(app, "Settings", "enc", "1"), "1");
}

TYPED_TEST_P(SettingsAreaContract, MissingAndNonTextValuesReadAsNoValue) {
    const std::string app = this->harness.Application();
    EXPECT_EQ(this->area().ReadSetting(app, "Settings", "ipa"), std::nullopt);
    ASSERT_TRUE(this->area().SaveSetting(app, "Settings", "empty", ""));
    EXPECT_EQ(this->area().ReadSetting(app, "Settings", "empty"), std::optional<std::string>(""));
    this->harness.PutNonString(app, "Settings", "enc");
    EXPECT_EQ(this->area().ReadSetting(app, "Settings", "enc"), std::nullopt);
}

// Enough values for an adapter to read them side by side.
TYPED_TEST_P(SettingsAreaContract, ManyValuesReadAtOnceAreEachAsReadAlone) {
    const std::string app = this->harness.Application();
    SettingsArea& area = this->area();
    std::vector<std::string> keys;
    for (int i = 0; i < 1000; ++i) {
        const std::string key = "sit" + std::to_string(i);
        keys.push_back(i % 2 ? key : "SIT" + std::to_string(i));
        if (i % 7 == 0)
            continue;
        if (i % 11 == 0)
            this->harness.PutNonString(app, "Settings", key);
        else
            ASSERT_TRUE(area.SaveSetting(app, "Settings", key, i == 500 ? std::string(100000, 'q') : "v" + key));
    }
    EXPECT_EQ(area.ReadSettings(app, "Missing", keys), std::vector<std::optional<std::string>>(keys.size()));

    const std::vector<std::optional<std::string>> together = area.ReadSettings(app, "Settings", keys);
    ASSERT_EQ(together.size(), keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(together[i], area.ReadSetting(app, "Settings", keys[i])) << keys[i];
    EXPECT_EQ(together[1], std::optional<std::string>("vsit1"));
    EXPECT_EQ(together[7], std::nullopt);
    EXPECT_EQ(together[11], std::nullopt);
    EXPECT_EQ(together[500], std::optional<std::string>(std::string(100000, 'q')));
}

TYPED_TEST_P(SettingsAreaContract, ManyValuesStoredAtOnceAreEachAsStoredAlone) {
    const std::string app = this->harness.Application();
    SettingsArea& area = this->area();
    this->harness.PutNonString(app, "Settings", "sit3");
    std::vector<std::pair<std::string, std::string>> values;
    for (int i = 0; i < 1000; ++i) {
        const std::string number = std::to_string(i);
        values.emplace_back("sit" + number, i == 500 ? std::string(100000, 'q') : number + " stored");
    }
    values.emplace_back("empty", "");
    // Into a section that does not exist yet, as a single value would go.
    EXPECT_EQ(area.SaveSettings(app, "New", {{"a", "1"}}), std::vector<bool>{true});
    EXPECT_EQ(area.GetSetting(app, "New", "a", ""), "1");

    EXPECT_EQ(area.SaveSettings(app, "Settings", values), std::vector<bool>(values.size(), true));
    for (const auto& [key, text] : values)
        EXPECT_EQ(area.ReadSetting(app, "Settings", key), std::optional<std::string>(text)) << key;
}

// The settings store keeps what it read while the watch sees nothing: a change the watch misses
// would leave the program working with settings that are no longer stored.
TYPED_TEST_P(SettingsAreaContract, AWatchSeesEveryChangeToItsSectionWhoeverMakesIt) {
    enum class Change {
        None,
        SameTextAgain,
        ThroughTheArea,
        ByAnotherProgram,
        ValueRemoved,
        SectionRemoved,
        ElsewhereOnly
    };
    const struct {
        Change change;
        bool seen;
    } cases[] = {
        {Change::None, false},          {Change::ThroughTheArea, true}, {Change::ByAnotherProgram, true},
        {Change::SectionRemoved, true}, {Change::ElsewhereOnly, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.change));
        const std::string app = this->harness.Application();
        SettingsArea& area = this->area();
        ASSERT_TRUE(area.SaveSetting(app, "Settings", "sit0", "kept"));
        ASSERT_TRUE(area.SaveSetting(app, "Other", "x", "1"));
        const std::uint64_t watch = area.WatchSection(app, "Settings");
        ASSERT_NE(watch, 0u);
        EXPECT_FALSE(area.SectionChanged(watch));
        switch (c.change) {
            case Change::None:
                break;
            case Change::SameTextAgain:
                ASSERT_TRUE(area.SaveSetting(app, "Settings", "sit0", "kept"));
                break;
            case Change::ThroughTheArea:
                ASSERT_TRUE(area.SaveSetting(app, "Settings", "sit0", "changed"));
                break;
            case Change::ValueRemoved:
                this->harness.RemoveValue(app, "Settings", "sit0");
                break;
            case Change::ByAnotherProgram:
                this->harness.PutNonString(app, "Settings", "run");
                break;
            case Change::SectionRemoved:
                this->harness.RemoveSection(app, "Settings");
                break;
            case Change::ElsewhereOnly:
                ASSERT_TRUE(area.SaveSetting(app, "Other", "x", "2"));
                break;
        }
        EXPECT_EQ(area.SectionChanged(watch), c.seen);
        // Once seen, a change stays seen.
        EXPECT_EQ(area.SectionChanged(watch), c.seen);
        // A later watch ends this one, so that two readers never take each other's watch for theirs.
        const std::uint64_t next = area.WatchSection(app, "Other");
        ASSERT_NE(next, 0u);
        EXPECT_TRUE(area.SectionChanged(watch));
        EXPECT_FALSE(area.SectionChanged(next));
    }
}

TYPED_TEST_P(SettingsAreaContract, ASectionThatDoesNotExistCannotBeWatched) {
    const std::string app = this->harness.Application();
    EXPECT_EQ(this->area().WatchSection(app, "Settings"), 0u);
    EXPECT_TRUE(this->area().SectionChanged(0));
}

REGISTER_TYPED_TEST_SUITE_P(SettingsAreaContract,
                            MissingKeysAndValuesGiveTheDefault,
                            StoredTextsComeBackWholeWhateverTheirLengthOrCharacters,
                            AValueThatIsNotTextReadsAsMissing,
                            MissingAndNonTextValuesReadAsNoValue,
                            ManyValuesReadAtOnceAreEachAsReadAlone,
                            ManyValuesStoredAtOnceAreEachAsStoredAlone,
                            AWatchSeesEveryChangeToItsSectionWhoeverMakesIt,
                            ASectionThatDoesNotExistCannotBeWatched);

}  // namespace nimbral::contract
