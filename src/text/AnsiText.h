#pragma once

// Text rules shared by the whole program. Every text is a std::string of Windows-1252 bytes, as the
// ANSI functions take it; "ignoring letter case" folds ASCII and the Latin-1 letters of that code
// page, independent of any locale, so results are the same on every machine.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nimbral {

// The lower-case form of one Windows-1252 character (Š, Œ, Ž and Ÿ included).
char FoldCase(char c);
// The upper-case form; the inverse of FoldCase for letters that have both forms.
char UpperCaseChar(char c);

std::string FoldCase(std::string_view text);
std::string UpperCase(std::string_view text);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
bool ContainsIgnoreCase(std::string_view text, std::string_view part);
// Position of the first occurrence of part at or after start, or std::string::npos. An empty part
// is found at start, as long as start is inside the text or at its end.
std::size_t FindIgnoreCase(std::string_view text, std::string_view part, std::size_t start = 0);
// Replaces every occurrence of part, left to right, without rescanning replaced text.
std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view part, std::string_view replacement);
// The same with letter case compared exactly.
std::string ReplaceAll(std::string_view text, std::string_view part, std::string_view replacement);

// Orders texts alphabetically without regard to letter case; texts equal but for case fall back to
// byte order, so a sort never depends on the order the system listed things in.
bool LessIgnoreCase(std::string_view a, std::string_view b);

// Trimming removes blanks (code 32) only: tabs and other white space are part of the text.
std::string_view TrimLeft(std::string_view text);
std::string_view TrimRight(std::string_view text);
std::string_view Trim(std::string_view text);

// The text with each control character (codes 0 to 31 and 127) shown as "<" + two hex digits +
// ">", for echoing text of unknown origin into a log that goes to a window or a terminal.
std::string PrintableText(std::string_view text);

// Decimal text without grouping or leading blank, as counts appear in the results log.
std::string DecimalText(std::int64_t value);
std::string DecimalText(std::uint64_t value);
inline std::string DecimalText(int value) {
    return DecimalText(static_cast<std::int64_t>(value));
}
inline std::string DecimalText(unsigned value) {
    return DecimalText(static_cast<std::uint64_t>(value));
}

// Converts a stored flag to a 16-bit number: blanks around it are allowed, a decimal fraction is
// rounded half to even, and anything else (letters, an empty text, a number out of range) gives no
// value, so the caller can keep what it had.
std::optional<std::int16_t> ParseInt16(std::string_view text);

}  // namespace nimbral
