#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/HostKey.h"
#include "engine/KeepPatterns.h"
#include "engine/KeepText.h"
#include "text/AnsiText.h"

namespace nimbral {
namespace {

// The straightforward searches the fast ones must agree with.
bool ReferenceKeepTextContains(std::string_view joined, std::string_view key) {
    return !joined.empty() && ContainsIgnoreCase(joined, key);
}

bool ReferencePatternsMatch(const std::vector<std::string>& entries, std::string_view address) {
    for (const std::string& entry : entries) {
        std::string pattern = NormaliseKeepEntry(entry);
        if (pattern.empty())
            pattern = kNoAddressText;
        if (ContainsIgnoreCase(address, pattern))
            return true;
    }
    return false;
}

// Few distinct characters, so texts repeat themselves and keys are often found; both letter cases
// of ASCII and Latin-1 letters, a zero byte and the high bytes without case.
constexpr char kAlphabet[] = {'a',    'A',    'b',    'B', '\xE9', '\xC9', '\x8A',
                              '\x9A', '\xFF', '\x9F', '.', '/',    '\0',   '\xD7'};

class RandomText {
  public:
    explicit RandomText(unsigned seed) : engine_(seed) {}
    std::string Text(std::size_t maxLength) {
        std::string text(Below(maxLength + 1), ' ');
        for (char& c : text)
            c = kAlphabet[Below(std::size(kAlphabet))];
        return text;
    }
    // Flips the case of some letters.
    std::string Recased(std::string text) {
        for (char& c : text) {
            if (Below(2) == 0)
                c = UpperCaseChar(c);
        }
        return text;
    }
    std::size_t Below(std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound - 1)(engine_); }

  private:
    std::mt19937 engine_;
};

TEST(KeepText, FindsEverySubstringOfRandomTextsInAnyLetterCase) {
    RandomText random(20260901);
    for (int round = 0; round < 300; ++round) {
        // Long enough for the suffix sorting to recurse, short enough to try every substring.
        const std::string text = random.Text(round < 250 ? 60 : 400);
        const KeepText keep(text);
        SCOPED_TRACE(::testing::PrintToString(text));
        const std::size_t step = text.size() > 100 ? 7 : 1;
        for (std::size_t from = 0; from < text.size(); from += step) {
            for (std::size_t length = 0; from + length <= text.size() && length <= 40; ++length) {
                const std::string key = random.Recased(text.substr(from, length));
                ASSERT_TRUE(keep.Contains(key)) << ::testing::PrintToString(key);
            }
        }
        for (int probe = 0; probe < 200; ++probe) {
            const std::string key = random.Text(8);
            ASSERT_EQ(keep.Contains(key), ReferenceKeepTextContains(text, key)) << ::testing::PrintToString(key);
        }
    }
}

TEST(KeepText, RepetitiveTextsAreSearchedCorrectly) {
    for (const std::string& text :
         {std::string(500, 'a'), std::string(300, 'a') + "b", "b" + std::string(300, 'a'), [] {
              std::string t;
              for (int i = 0; i < 200; ++i)
                  t += "ab" + std::string(static_cast<std::size_t>(i % 5), 'a');
              return t;
          }()}) {
        const KeepText keep(text);
        for (const std::string& key :
             {std::string(300, 'a'), std::string(501, 'a'), std::string("aab"), std::string("ba"), std::string("bb"),
              std::string("aaaaaab"), std::string(299, 'A') + "B"}) {
            EXPECT_EQ(keep.Contains(key), ReferenceKeepTextContains(text, key))
                << text.substr(0, 20) << "... / " << key.substr(0, 20);
        }
    }
}

TEST(KeepText, EdgeCases) {
    const struct {
        std::string text;
        std::string key;
        bool found;
    } cases[] = {
        {"", "", false},  // nothing occurs in an empty keep text, not even nothing
        {"", "a", false},
        {"a", "", true},
        {"example.com", "", true},
        {"example.com", "example.com", true},
        {"example.com", "example.com.", false},
        {"example.com", "m", true},  // the last character alone
        {"example.com", "om", true},
        {"example.com", "mx", false},
        {"example.com", "x", true},
        {"example.com", "z", false},
        {"EXAMPLE.COM", "ample.c", true},
        {"CAF\xC9\x8A\x9F", "caf\xE9\x9A\xFF", true},  // É/é, Š/š, Ÿ/ÿ
        {"\xD7", "\xF7", false},                       // × and ÷ are no pair of letters
        {"stra\xDF"
         "e",
         "STRA\xDF"
         "E",
         true},  // ß has no upper case of its own
        {"stra\xDF"
         "e",
         "STRASSE", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.text) + " / " + ::testing::PrintToString(c.key));
        EXPECT_EQ(KeepText(c.text).Contains(c.key), c.found);
    }
}

TEST(KeepText, AListIsJoinedSlotBySlotWithoutSeparators) {
    SettingList list;
    list[0] = "alpha.com";
    list[1] = "beta.org";
    list[5000] = "gamma.net";
    list[10000] = "omega.info";
    const KeepText keep = KeepText::FromList(list);
    for (const char* key : {"alpha.com", "combeta", "ORGGAMMA", "netomega", "a.comb", "omega.info"})
        EXPECT_TRUE(keep.Contains(key)) << key;
    for (const char* key : {"alpha.com/", "com beta", "infoalpha"})
        EXPECT_FALSE(keep.Contains(key)) << key;

    EXPECT_FALSE(KeepText::FromList(SettingList()).Contains(""));
}

TEST(KeepPatterns, AgreesWithTheSlotBySlotSearchOnRandomLists) {
    RandomText random(77);
    // Pieces the normalisation removes, so that entries and addresses hold them in any case.
    const std::string pieces[] = {"http://", "HTTP://", "www.", "WwW.", "/", "##ls38348728337239cbsi"};
    const auto entry = [&] {
        std::string text = random.Text(6);
        if (random.Below(3) == 0)
            text.insert(random.Below(text.size() + 1), pieces[random.Below(std::size(pieces))]);
        return text;
    };
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> entries(random.Below(12));
        for (std::string& e : entries)
            e = entry();
        const KeepPatterns patterns(entries);
        for (int probe = 0; probe < 100; ++probe) {
            std::string address = random.Text(30);
            if (random.Below(4) == 0)
                address.insert(random.Below(address.size() + 1), random.Recased(entry()));
            ASSERT_EQ(patterns.Matches(address), ReferencePatternsMatch(entries, address))
                << ::testing::PrintToString(entries) << " / " << ::testing::PrintToString(address);
        }
    }
}

TEST(KeepPatterns, EdgeCases) {
    const struct {
        std::vector<std::string> entries;
        std::string address;
        bool matches;
    } cases[] = {
        {{}, "http://example.com/", false},
        {{"example.com"}, "", false},
        {{"www.example.com/"}, "http://example.com/page", true},
        {{"www.example.com/"}, "EXAMPLE.COM", true},
        {{"www.example.com/"}, "http://www.example.co/", false},
        {{"example.com"}, "http://search.test/?q=example.com", true},  // anywhere in the address
        {{"http://"}, "http://example.com/", false},                   // normalises to nothing
        {{"http://"}, "x##LS38348728337239cbsi", true},                // which stands for this text
        {{"/"}, "http://example.com/", true},                          // a lone "/" stays
        {{"caf\xC9.example"}, "http://CAF\xE9.EXAMPLE/", true},
        // Patterns inside one another, so matching must fall back from a longer one.
        {{"abcd", "bce"}, "xabcex", true},
        {{"abcd", "bc"}, "xabx", false},
        {{"abcd", "bc"}, "xabcx", true},
        {{"aab", "ab"}, "aaab", true},
        {{"he", "she", "his", "hers"}, "ahishers", true},
        {{"he", "she", "his", "hers"}, "ahixsrs", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.entries) + " / " + c.address);
        EXPECT_EQ(KeepPatterns(c.entries).Matches(c.address), c.matches);
        EXPECT_EQ(ReferencePatternsMatch(c.entries, c.address), c.matches);
    }
}

TEST(KeepPatterns, EverySlotOfAListIsAPatternAndEmptySlotsMatchNothingReal) {
    SettingList list;
    list[10000] = "last.example";
    const KeepPatterns patterns(list);
    EXPECT_TRUE(patterns.Matches("http://www.last.example/"));
    EXPECT_FALSE(patterns.Matches("http://first.example/"));
    EXPECT_FALSE(patterns.Matches(""));

    SettingList full;
    for (std::size_t i = 0; i < SettingList::size(); ++i)
        full[i] = "site" + std::to_string(i) + ".example";
    const KeepPatterns all(full);
    EXPECT_TRUE(all.Matches("http://site10000.example/"));
    EXPECT_TRUE(all.Matches("http://SITE0.EXAMPLE/"));
    // With no empty slot, the stand-in text is no pattern either.
    EXPECT_FALSE(all.Matches("##LS38348728337239CBSI"));
    EXPECT_FALSE(all.Matches("http://site.example/"));
}

}  // namespace
}  // namespace nimbral
