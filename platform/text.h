// Text services of the host platform: the single-byte code page, case mapping and the number
// test. The engine sees text only through these functions, so that the POSIX build (ICU) and
// the Win32 build (the system's NLS and automation conversions) can each supply their own.
//
// Every function here is a pure query: it never throws on odd input (unpaired surrogates, NUL
// characters, empty strings) and may be called from any thread.
#pragma once

#include <string>
#include <string_view>

namespace lexivane::platform {

// The single-byte form of `text` in the ANSI code page: the system's on Windows (Windows-1252 on
// an English system), Windows-1252 elsewhere. Exactly one byte per UTF-16 code unit, so lengths
// and positions carry over unchanged. A code unit without a single-byte form (a surrogate half,
// most characters above U+00FF) becomes "?"; no best-fit guesses ("ā" is "?", not "a").
std::string ToSingleByte(std::u16string_view text);

// As ToSingleByte, and reports whether every code unit had an exact single-byte form. When it
// answers false, no string of FromSingleByte() can equal `text`.
bool ToSingleByteExact(std::u16string_view text, std::string& out);

// The inverse mapping: one UTF-16 code unit per byte. The five bytes that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value, as the
// system conversion does, so that every byte survives a round trip. (On a Windows system whose
// ANSI code page has two-byte characters, a byte that only starts one reads as U+FFFD and does
// not; see codepage_win32.cc.)
std::u16string FromSingleByte(std::string_view bytes);
char16_t FromSingleByte(unsigned char byte);

// Locale-aware case mapping (US English) that keeps the length in code units: each code point
// is mapped on its own (simple case mapping), so ß, ŉ or İ never expand. Unpaired surrogates
// and characters without a case pass through unchanged.
std::u16string ToLower(std::u16string_view text);
// The same into `out`, reusing its storage: the word check lower-cases every word it sees.
void ToLower(std::u16string_view text, std::u16string& out);
std::u16string ToUpper(std::u16string_view text);

// True when `a` and `b` are equal with letter case ignored: equality after ToLower of both,
// rather than a collation, so that it never disagrees with ToLower (the simple per-code-point
// mapping above). Texts of different lengths are never equal; a surrogate half that is
// unpaired within its own text is compared as it stands, even where it was cut from a pair.
bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b);

// Proper case: the first character of every word upper-cased, all others lower-cased, where a
// word starts at the beginning of the text and after a space, tab, line feed, vertical tab,
// form feed, carriage return or NUL. Apostrophes and hyphens do not start a word. The first
// character takes the same mapping as ToUpper (not a title-case form such as "ǅ"), so that a
// proper-cased word always has a first character equal to its own upper case.
std::u16string ToProper(std::u16string_view text);

// True when the whole text reads as a number: on Windows by the system's automation conversion
// in the user's locale, elsewhere by US English rules; see docs/numbers.md. On every platform a
// text of ASCII characters without a decimal digit and without "&" is no number: the word check
// and the suggestion search rely on that to rule texts out without asking.
bool IsNumeric(std::u16string_view text);

}  // namespace lexivane::platform
