#include "text/WideText.h"

#include <cstdint>
#include <optional>

namespace nimbral {

namespace {

// What Windows reads bytes 0x80 to 0x9F of the code page as. The five bytes the code page leaves
// undefined read as the control characters of the same number, as the system reads them, so every
// byte has a character and every such character its byte.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t UnitOf(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : char16_t{byte};
}

std::optional<unsigned char> ByteOf(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return static_cast<unsigned char>(code);
    for (unsigned i = 0; i < 32; ++i) {
        if (kHigh[i] == code)
            return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

constexpr char32_t kLessThan = 0x3C;
constexpr char32_t kReplacement = 0xFFFD;

int HexDigit(int c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The escape "U+" + hex + ">" that starts at `at` of a text seen through unitAt (-1 past its end),
// the "<" before it being given. Only the one spelling the program writes is an escape: upper-case
// hex, four digits up to FFFF and no leading zero above.
template <typename UnitAt>
std::optional<std::pair<char32_t, std::size_t>> EscapeAfterLessThan(const UnitAt& unitAt, std::size_t at) {
    if (unitAt(at) != 'U' || unitAt(at + 1) != '+')
        return std::nullopt;
    std::size_t digits = 0;
    char32_t code = 0;
    for (int d; digits < 6 && (d = HexDigit(unitAt(at + 2 + digits))) >= 0; ++digits)
        code = code * 16 + static_cast<char32_t>(d);
    if (digits < 4 || unitAt(at + 2 + digits) != '>')
        return std::nullopt;
    if (digits > 4 && (code <= 0xFFFF || unitAt(at + 2) == '0' || code > 0x10FFFF))
        return std::nullopt;
    return std::pair{code, at + 3 + digits};
}

// Whether a "<" followed by the text at `at` is read as an escape: one of a letter the code page
// lacks, or "<U+003C>" where a plain "<" would itself begin such an escape.
template <typename UnitAt>
bool ReadAsEscape(const UnitAt& unitAt, std::size_t at) {
    for (;;) {
        const auto escape = EscapeAfterLessThan(unitAt, at);
        if (!escape)
            return false;
        if (escape->first != kLessThan)
            return !ByteOf(escape->first);
        at = escape->second;
    }
}

void AppendEscape(std::string& text, char32_t code) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    text += "<U+";
    int digits = 4;
    while (digits < 6 && (code >> (4 * digits)) != 0)
        ++digits;
    for (int i = digits - 1; i >= 0; --i)
        text += kHex[(code >> (4 * i)) & 15];
    text += '>';
}

void AppendUtf16(std::u16string& text, char32_t code) {
    if (code > 0xFFFF) {
        code -= 0x10000;
        text += static_cast<char16_t>(0xD800 + (code >> 10));
        text += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
        text += static_cast<char16_t>(code);
    }
}

void AppendUtf8(std::string& text, char32_t code) {
    if (code >= 0xD800 && code <= 0xDFFF)
        code = kReplacement;
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The next code point of UTF-16 text at `at`, which moves past it; a lone surrogate is its own.
char32_t NextCodePoint(std::u16string_view text, std::size_t& at) {
    const char16_t unit = text[at++];
    if (unit >= 0xD800 && unit <= 0xDBFF && at < text.size() && text[at] >= 0xDC00 && text[at] <= 0xDFFF)
        return 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[at++] - 0xDC00);
    return unit;
}

// The next code point of UTF-8 text at `at`, which moves past it; U+FFFD for each byte that does not
// begin a well-formed sequence.
char32_t NextUtf8(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t code = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        ++at;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, least = 0x10000;
    } else {
        ++at;
        return kReplacement;
    }
    if (at + length > text.size()) {
        ++at;
        return kReplacement;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            ++at;
            return kReplacement;
        }
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++at;
        return kReplacement;
    }
    at += length;
    return code;
}

}  // namespace

std::string ProgramTextFromUtf16(std::u16string_view text) {
    std::string program;
    program.reserve(text.size());
    const auto unitAt = [text](std::size_t i) { return i < text.size() ? int{text[i]} : -1; };
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        const char32_t code = NextCodePoint(text, at);
        if (code == kLessThan && ReadAsEscape(unitAt, start + 1))
            AppendEscape(program, kLessThan);
        else if (const auto byte = ByteOf(code))
            program += static_cast<char>(*byte);
        else
            AppendEscape(program, code);
    }
    return program;
}

std::u16string Utf16FromProgramText(std::string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    const auto unitAt = [text](std::size_t i) {
        return i < text.size() ? int{static_cast<unsigned char>(text[i])} : -1;
    };
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] == '<' && ReadAsEscape(unitAt, at + 1)) {
            const auto escape = EscapeAfterLessThan(unitAt, at + 1);
            AppendUtf16(wide, escape->first);
            at = escape->second;
            continue;
        }
        wide += UnitOf(static_cast<unsigned char>(text[at++]));
    }
    return wide;
}

std::string ProgramTextFromUtf8(std::string_view text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (std::size_t at = 0; at < text.size();)
        AppendUtf16(wide, NextUtf8(text, at));
    return ProgramTextFromUtf16(wide);
}

std::string Utf8FromProgramText(std::string_view text) {
    const std::u16string wide = Utf16FromProgramText(text);
    std::string utf8;
    utf8.reserve(wide.size());
    for (std::size_t at = 0; at < wide.size();)
        AppendUtf8(utf8, NextCodePoint(wide, at));
    return utf8;
}

bool HasEscapedLetters(std::string_view text) {
    const auto unitAt = [text](std::size_t i) {
        return i < text.size() ? int{static_cast<unsigned char>(text[i])} : -1;
    };
    for (std::size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
        const auto escape = EscapeAfterLessThan(unitAt, at + 1);
        if (escape && escape->first != kLessThan && !ByteOf(escape->first))
            return true;
    }
    return false;
}

}  // namespace nimbral
