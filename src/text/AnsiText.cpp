#include "text/AnsiText.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace nimbral {

namespace {

unsigned char Byte(char c) {
    return static_cast<unsigned char>(c);
}

}  // namespace

char FoldCase(char c) {
    const unsigned char b = Byte(c);
    if (b >= 'A' && b <= 'Z')
        return static_cast<char>(b + 32);
    // À to Þ, except the multiplication sign ×.
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7)
        return static_cast<char>(b + 32);
    switch (b) {
        case 0x8A:
            return static_cast<char>(0x9A);  // Š
        case 0x8C:
            return static_cast<char>(0x9C);  // Œ
        case 0x8E:
            return static_cast<char>(0x9E);  // Ž
        case 0x9F:
            return static_cast<char>(0xFF);  // Ÿ
        default:
            return c;
    }
}

char UpperCaseChar(char c) {
    const unsigned char b = Byte(c);
    if (b >= 'a' && b <= 'z')
        return static_cast<char>(b - 32);
    // à to þ, except the division sign ÷; ß has no single upper-case form.
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7)
        return static_cast<char>(b - 32);
    switch (b) {
        case 0x9A:
            return static_cast<char>(0x8A);
        case 0x9C:
            return static_cast<char>(0x8C);
        case 0x9E:
            return static_cast<char>(0x8E);
        case 0xFF:
            return static_cast<char>(0x9F);
        default:
            return c;
    }
}

std::string FoldCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = FoldCase(c);
    return out;
}

std::string UpperCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = UpperCaseChar(c);
    return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

std::size_t FindIgnoreCase(std::string_view text, std::string_view part, std::size_t start) {
    if (start > text.size())
        return std::string::npos;
    const auto it = std::search(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(), part.begin(), part.end(),
                                [](char x, char y) { return FoldCase(x) == FoldCase(y); });
    if (it == text.end() && !part.empty())
        return std::string::npos;
    return static_cast<std::size_t>(it - text.begin());
}

bool ContainsIgnoreCase(std::string_view text, std::string_view part) {
    return FindIgnoreCase(text, part) != std::string::npos;
}

namespace {

template <typename Find>
std::string ReplaceEach(std::string_view text, std::string_view part, std::string_view replacement, Find find) {
    if (part.empty())
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = find(text, part, 0); at != std::string::npos; at = find(text, part, from)) {
        out.append(text.substr(from, at - from));
        out.append(replacement);
        from = at + part.size();
    }
    out.append(text.substr(from));
    return out;
}

}  // namespace

std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view part, std::string_view replacement) {
    return ReplaceEach(text, part, replacement, [](std::string_view t, std::string_view p, std::size_t start) {
        return FindIgnoreCase(t, p, start);
    });
}

std::string ReplaceAll(std::string_view text, std::string_view part, std::string_view replacement) {
    return ReplaceEach(text, part, replacement,
                       [](std::string_view t, std::string_view p, std::size_t start) { return t.find(p, start); });
}

bool LessIgnoreCase(std::string_view a, std::string_view b) {
    const auto folded = std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return Byte(FoldCase(x)) < Byte(FoldCase(y)); });
    if (folded)
        return true;
    if (!EqualsIgnoreCase(a, b))
        return false;
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Byte(x) < Byte(y); });
}

std::string_view TrimLeft(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view TrimRight(std::string_view text) {
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view Trim(std::string_view text) {
    return TrimRight(TrimLeft(text));
}

std::string DecimalText(std::int64_t value) {
    return std::to_string(value);
}
std::string DecimalText(std::uint64_t value) {
    return std::to_string(value);
}

std::optional<std::int16_t> ParseInt16(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const auto dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    if (whole.empty() && fraction.empty())
        return std::nullopt;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (!std::all_of(whole.begin(), whole.end(), isDigit) || !std::all_of(fraction.begin(), fraction.end(), isDigit))
        return std::nullopt;

    // Accumulate with a ceiling so a long run of digits cannot overflow.
    std::int64_t magnitude = 0;
    for (char c : whole) {
        magnitude = std::min<std::int64_t>(magnitude * 10 + (c - '0'), 1'000'000);
    }
    if (!fraction.empty()) {
        const int firstDigit = fraction.front() - '0';
        const bool beyondHalf = std::any_of(fraction.begin() + 1, fraction.end(), [](char c) { return c != '0'; });
        if (firstDigit > 5 || (firstDigit == 5 && (beyondHalf || magnitude % 2 == 1)))
            ++magnitude;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT16_MIN || value > INT16_MAX)
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

std::string PrintableText(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || code == 127) {
            shown += '<';
            shown += kHex[code >> 4];
            shown += kHex[code & 15];
            shown += '>';
        } else {
            shown += c;
        }
    }
    return shown;
}

}  // namespace nimbral
