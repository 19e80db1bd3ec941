#include "text/AnsiText.h"

#include <gtest/gtest.h>

namespace nimbral {
namespace {

TEST(AnsiText, CaseFoldingCoversAsciiAndTheLatinLettersOfTheCodePage) {
    EXPECT_EQ(FoldCase("ABC xyz \xC0\xC9\xDE \x8A\x8C\x8E\x9F"), "abc xyz \xE0\xE9\xFE \x9A\x9C\x9E\xFF");
    // Signs and digits that sit beside the letters have no case.
    EXPECT_EQ(FoldCase("\xD7\xF7\xDF@[`{09"), "\xD7\xF7\xDF@[`{09");
    EXPECT_EQ(UpperCase("service pack 6a \xE9\xFF"), "SERVICE PACK 6A \xC9\x9F");
    for (int c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        EXPECT_EQ(FoldCase(UpperCaseChar(ch)), FoldCase(ch)) << c;
    }
}

TEST(AnsiText, SearchIgnoresLetterCase) {
    const struct {
        const char* text;
        const char* part;
        std::size_t start;
        std::size_t found;
    } cases[] = {
        {"http://WWW.Example.com/", "www.", 0, 7},
        {"abcABC", "abc", 1, 3},
        {"abc", "abcd", 0, std::string::npos},
        {"abc", "", 0, 0},
        {"abc", "", 3, 3},
        {"abc", "a", 4, std::string::npos},
        {"", "a", 0, std::string::npos},
        {"CAF\xC9", "caf\xE9", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.part);
        EXPECT_EQ(FindIgnoreCase(c.text, c.part, c.start), c.found);
    }
    EXPECT_TRUE(ContainsIgnoreCase("Windows XP Professional", "windows xp"));
    EXPECT_FALSE(ContainsIgnoreCase("Windows 2000", "Windows XP"));
    EXPECT_TRUE(EqualsIgnoreCase("a.WW1", "A.ww1"));
    EXPECT_FALSE(EqualsIgnoreCase("a.ww1", "a.ww"));
}

TEST(AnsiText, ReplaceAllIgnoresCaseAndNeverRescansWhatItInserted) {
    const struct {
        const char* text;
        const char* part;
        const char* replacement;
        const char* result;
    } cases[] = {
        {"HTTP://www.A.com http://b", "http://", "", "www.A.com b"},
        {"aaa", "a", "aa", "aaaaaa"},
        {"abab", "AB", "b", "bb"},
        {"none here", "xyz", "q", "none here"},
        {"keep", "", "x", "keep"},
        {"", "a", "b", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReplaceAllIgnoreCase(c.text, c.part, c.replacement), c.result);
    }
}

TEST(AnsiText, TrimmingRemovesBlanksOnly) {
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim("\ta\t"), "\ta\t");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a "), "  a");
}

TEST(AnsiText, SortOrderIgnoresCaseAndBreaksTiesByBytes) {
    EXPECT_TRUE(LessIgnoreCase("a.ww1", "B.ww1"));
    EXPECT_TRUE(LessIgnoreCase("b.txt", "B.ww1"));
    EXPECT_FALSE(LessIgnoreCase("B.ww1", "b.txt"));
    EXPECT_TRUE(LessIgnoreCase("B", "b"));
    EXPECT_FALSE(LessIgnoreCase("b", "B"));
    EXPECT_FALSE(LessIgnoreCase("a", "a"));
    EXPECT_TRUE(LessIgnoreCase("ab", "ABC"));
}

TEST(AnsiText, DecimalTextHasNoBlankOrGrouping) {
    EXPECT_EQ(DecimalText(0), "0");
    EXPECT_EQ(DecimalText(-12), "-12");
    EXPECT_EQ(DecimalText(std::uint64_t{18446744073709551615u}), "18446744073709551615");
    EXPECT_EQ(DecimalText(std::int64_t{1234567}), "1234567");
}

TEST(AnsiText, ParseInt16AcceptsNumbersAndRejectsEverythingElse) {
    const struct {
        const char* text;
        std::optional<std::int16_t> value;
    } cases[] = {
        {"0", 0},
        {"1", 1},
        {" 2 ", 2},
        {"-1", -1},
        {"+7", 7},
        {"32767", 32767},
        {"-32768", -32768},
        {"1.5", 2},
        {"2.5", 2},
        {"2.51", 3},
        {"0.4", 0},
        {".6", 1},
        {"007", 7},
        {"32768", std::nullopt},
        {"-32769", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"1a", std::nullopt},
        {"-", std::nullopt},
        {".", std::nullopt},
        {"1.2.3", std::nullopt},
        {"\t1", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("'") + c.text + "'");
        EXPECT_EQ(ParseInt16(c.text), c.value);
    }
}

}  // namespace
}  // namespace nimbral
