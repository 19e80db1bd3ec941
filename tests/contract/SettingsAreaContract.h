#pragma once

// What every SettingsArea must do. Harness requirements:
//   SettingsArea& Get();
//   std::string Application();   // an application name no other test uses
//   void PutNonString(const std::string& application, const std::string& section, const std::string& key);

#include <gtest/gtest.h>

#include <string>

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

REGISTER_TYPED_TEST_SUITE_P(SettingsAreaContract,
                            MissingKeysAndValuesGiveTheDefault,
                            StoredTextsComeBackWholeWhateverTheirLengthOrCharacters,
                            AValueThatIsNotTextReadsAsMissing);

}  // namespace nimbral::contract
