// Case mapping through ICU's simple (one code point to one code point) mappings. These are
// locale-independent, which for English is what the en-US locale would give anyway: no Turkish
// dotless i, no Lithuanian dot handling.
//
// Proper case upper-cases the first character of a word with u_toupper, not u_totitle. The two
// differ only for the four Latin digraph letters (DŽ, LJ, NJ, DZ) and a few Greek letters with
// iota subscript, and upper case keeps this build in step with the Win32 one, which has no
// simple title-case mapping, and with callers that recognise a capitalised word by comparing
// its first character with that character's upper-case form.

#include <unicode/uchar.h>
#include <unicode/utf16.h>

#include "platform/text.h"
#include "platform/word_breaks.h"
#include "support/ascii.h"

namespace lexivane::platform {
namespace {

enum class Mapping { kLower, kUpper };

UChar32 MapCodePoint(UChar32 c, Mapping mapping) {
  return mapping == Mapping::kLower ? u_tolower(c) : u_toupper(c);
}

char16_t MapAscii(char16_t unit, Mapping mapping) {
  return mapping == Mapping::kLower ? support::AsciiLower(unit) : support::AsciiUpper(unit);
}

// Maps the code point that starts at `out[i]` in place and returns the index after it. `out`
// starts as a copy of the text, so only changed code points need writing back. A mapping whose
// encoding has another length is dropped: callers rely on positions carrying over unchanged.
std::size_t MapOneInPlace(std::u16string& out, std::size_t i, Mapping mapping) {
  const char16_t unit = out[i];
  if (unit < 0x80) {
    out[i] = MapAscii(unit, mapping);
    return i + 1;
  }
  const std::size_t start = i;
  UChar32 c;
  U16_NEXT(out.data(), i, out.size(), c);
  // An unpaired surrogate comes back as itself and has no case.
  if (U_IS_SURROGATE(c)) return i;
  const UChar32 mapped = MapCodePoint(c, mapping);
  if (mapped == c || U16_LENGTH(mapped) != U16_LENGTH(c)) return i;
  std::size_t write = start;
  UBool unused_error = false;
  U16_APPEND(out.data(), write, out.size(), mapped, unused_error);
  (void)unused_error;  // The room was checked above: the lengths are equal.
  return i;
}

std::u16string MapAll(std::u16string_view text, Mapping mapping) {
  std::u16string out(text);
  for (std::size_t i = 0; i < out.size();) i = MapOneInPlace(out, i, mapping);
  return out;
}

}  // namespace

std::u16string ToLower(std::u16string_view text) {
  return MapAll(text, Mapping::kLower);
}

void ToLower(std::u16string_view text, std::u16string& out) {
  out.assign(text);
  for (std::size_t i = 0; i < out.size();) i = MapOneInPlace(out, i, Mapping::kLower);
}

std::u16string ToUpper(std::u16string_view text) {
  return MapAll(text, Mapping::kUpper);
}

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && ToLower(a) == ToLower(b);
}

std::u16string ToProper(std::u16string_view text) {
  std::u16string out(text);
  bool word_start = true;
  for (std::size_t i = 0; i < out.size();) {
    // Separators are all single units with no case, so the unit before the mapping decides.
    const char16_t first_unit = out[i];
    i = MapOneInPlace(out, i, word_start ? Mapping::kUpper : Mapping::kLower);
    word_start = StartsWordAfter(first_unit);
  }
  return out;
}

}  // namespace lexivane::platform
