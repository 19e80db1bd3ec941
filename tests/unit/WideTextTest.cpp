#include "text/WideText.h"

#include <gtest/gtest.h>

#include <random>

namespace nimbral {
namespace {

struct Spelling {
    std::u16string system;
    std::string program;
};

class WideTextSpelling : public testing::TestWithParam<Spelling> {};

TEST_P(WideTextSpelling, GoesBothWays) {
    EXPECT_EQ(ProgramTextFromUtf16(GetParam().system), GetParam().program);
    EXPECT_EQ(Utf16FromProgramText(GetParam().program), GetParam().system);
}

INSTANTIATE_TEST_SUITE_P(
    Names,
    WideTextSpelling,
    testing::Values(Spelling{u"C:\\probe\\tmp", "C:\\probe\\tmp"},
                    // Letters of the code page are its bytes; the ones it lacks are written out, never as the
                    // look-alike the system's best fit would give ("Lódz").
                    Spelling{u"C:\\probe\\\u0141\u00f3d\u017a",
                             "C:\\probe\\<U+0141>\xf3"
                             "d<U+017A>"},
                    Spelling{u"\u65e5\u672c\u8a9e.txt", "<U+65E5><U+672C><U+8A9E>.txt"},
                    Spelling{u"emoji-\U0001F600.txt", "emoji-<U+1F600>.txt"},
                    Spelling{u"\u216b.txt", "<U+216B>.txt"},
                    Spelling{u"\u20ac \u0160 \u0178", "\x80 \x8a \x9f"},
                    // The bytes the code page leaves undefined stand for the control characters of their number.
                    Spelling{u"\u0081\u008d\u008f\u0090\u009d", "\x81\x8d\x8f\x90\x9d"},
                    Spelling{u"\u0080\u009e", "<U+0080><U+009E>"},
                    // A lone surrogate is a name Windows allows.
                    Spelling{u"a\xd800z", "a<U+D800>z"},
                    Spelling{u"\xdc00\xd800", "<U+DC00><U+D800>"},
                    // A "<" that would be read as an escape is one itself; any other stays as it is.
                    Spelling{u"<U+0141>", "<U+003C>U+0141>"},
                    Spelling{u"<U+003C>U+0141>", "<U+003C>U+003C>U+0141>"},
                    Spelling{u"<U+0041> <U+141> <U+0141 <u+0141> <U+00e9>",
                             "<U+0041> <U+141> <U+0141 <u+0141> <U+00e9>"},
                    Spelling{u"<U+003C>", "<U+003C>"},
                    Spelling{u"<U+01F600>", "<U+01F600>"},
                    Spelling{u"<U+110000>", "<U+110000>"},
                    Spelling{u"<", "<"}));

TEST(WideText, ReadsEveryProgramTextBackAsItWas) {
    // Program texts come from setting values, plugin lines and scrambled settings: none may change on
    // its way to the system and back.
    std::mt19937 random(20261210);
    const std::string pieces[] = {"<",    "U+",   "003C", "0141", ">",    "1F600",
                                  "D800", "DC00", "a",    "\xf3", "\x81", "<U+0141>"};
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (int i = std::uniform_int_distribution<int>(0, 8)(random); i > 0; --i)
            text += pieces[std::uniform_int_distribution<std::size_t>(0, std::size(pieces) - 1)(random)];
        const std::u16string wide = Utf16FromProgramText(text);
        const std::string back = ProgramTextFromUtf16(wide);
        // A surrogate pair written as two escapes comes back as one; the system sees the same name.
        if (text.find("D800><U+DC00") == std::string::npos) {
            EXPECT_EQ(back, text);
        } else {
            EXPECT_EQ(Utf16FromProgramText(back), wide) << text;
        }
    }
}

TEST(WideText, ReadsEveryUtf16TextBackAsItWas) {
    std::mt19937 random(8);
    const char16_t units[] = {u'<', u'U', u'+', u'0', u'3', u'C', u'>', u'A', 0x141, 0xF3, 0xD800, 0xDC00, 0x80};
    for (int round = 0; round < 20000; ++round) {
        std::u16string text;
        for (int i = std::uniform_int_distribution<int>(0, 12)(random); i > 0; --i)
            text += units[std::uniform_int_distribution<std::size_t>(0, std::size(units) - 1)(random)];
        EXPECT_EQ(Utf16FromProgramText(ProgramTextFromUtf16(text)), text);
    }
}

TEST(WideText, Utf8) {
    EXPECT_EQ(ProgramTextFromUtf8("\xc5\x81\xc3\xb3"
                                  "d\xc5\xba"),
              "<U+0141>\xf3"
              "d<U+017A>");
    EXPECT_EQ(ProgramTextFromUtf8("\xf0\x9f\x98\x80"), "<U+1F600>");
    // Not UTF-8: an over-long form, a lone continuation byte, a cut sequence, an encoded surrogate.
    EXPECT_EQ(ProgramTextFromUtf8("\xc0\xaf|\x80|\xe6\x97|\xed\xa0\x80"),
              "<U+FFFD><U+FFFD>|<U+FFFD>|<U+FFFD><U+FFFD>|<U+FFFD><U+FFFD><U+FFFD>");
    EXPECT_EQ(Utf8FromProgramText("<U+0141>\xf3"
                                  "d<U+017A> \x80"),
              "\xc5\x81\xc3\xb3"
              "d\xc5\xba \xe2\x82\xac");
    EXPECT_EQ(Utf8FromProgramText("<U+D800>"), "\xef\xbf\xbd");
}

TEST(WideText, TellsWhetherATextHoldsEscapedLetters) {
    EXPECT_TRUE(HasEscapedLetters("C:\\<U+0141>"));
    EXPECT_FALSE(HasEscapedLetters("C:\\\xf3"));
    EXPECT_FALSE(HasEscapedLetters("<U+003C>U+0141>"));
    EXPECT_FALSE(HasEscapedLetters("<U+0041>"));
}

}  // namespace
}  // namespace nimbral
