#pragma once

// The program's texts are Windows-1252 bytes; the system's are Unicode, and a path may hold letters
// that code page lacks ("Łódź"). Converting such a path through the code page gives a look-alike
// ("Lódz") that names another file, so program texts that came from the system carry each letter
// the code page lacks as "<U+" + hex + ">" ("<U+0141>ód<U+017A>"), which is also how the log shows
// it. Windows allows neither "<" nor ">" in a file name, so the form can never be read as part of a
// real name; a "<" that would be read as the start of one is itself written "<U+003C>".
//
// The conversion is lossless: a Unicode text turned into program text and back is the same text,
// every lone surrogate included, and a program text turned into Unicode and back is the same bytes
// (but for the form of a surrogate pair written as two escapes, which comes back as one).

#include <string>
#include <string_view>

namespace nimbral {

// UTF-16 code units as the system gives them, possibly ill-formed.
std::string ProgramTextFromUtf16(std::u16string_view text);
std::u16string Utf16FromProgramText(std::string_view text);

// UTF-8 as a database keeps it. Bytes that are not UTF-8 come out as "<U+FFFD>".
std::string ProgramTextFromUtf8(std::string_view text);
// Lone surrogates, which UTF-8 cannot hold, go as U+FFFD.
std::string Utf8FromProgramText(std::string_view text);

// Whether the text holds a letter the code page lacks, written as above.
bool HasEscapedLetters(std::string_view text);

}  // namespace nimbral
