// Case mapping through the system's NLS tables. The locale is fixed to en-US rather than the
// user's: the word lists are English, and a Turkish user locale would lower-case "I" to a
// dotless i that no English word contains. LCMAP_LOWERCASE and LCMAP_UPPERCASE map each code
// unit on its own, so lengths never change; the result is checked all the same and the text
// kept as it was should the system ever answer otherwise.
//
// Proper case is assembled from the upper- and lower-case forms of the whole text, taking each
// character from one or the other, so that it uses exactly the same mappings as ToUpper and
// ToLower.

#include <windows.h>

#include "platform/text.h"
#include "platform/word_breaks.h"
#include "support/ascii.h"
#include "support/utf16.h"

namespace lexivane::platform {
namespace {

bool IsAscii(std::u16string_view text) {
  for (char16_t unit : text) {
    if (unit >= 0x80) return false;
  }
  return true;
}

std::u16string MapAscii(std::u16string_view text, DWORD flags) {
  std::u16string out(text);
  for (char16_t& unit : out) {
    unit = flags == LCMAP_LOWERCASE ? support::AsciiLower(unit) : support::AsciiUpper(unit);
  }
  return out;
}

std::u16string Map(std::u16string_view text, DWORD flags) {
  if (IsAscii(text)) return MapAscii(text, flags);
  // LCMapStringEx takes an int length; a text longer than that is not a word to case-map.
  if (text.size() > 0x7FFFFFFF) return std::u16string(text);
  const int length = static_cast<int>(text.size());
  std::u16string out(text.size(), u'\0');
  const int written =
      ::LCMapStringEx(L"en-US", flags, reinterpret_cast<LPCWSTR>(text.data()), length,
                      reinterpret_cast<LPWSTR>(out.data()), length, nullptr, nullptr, 0);
  if (written != length) return std::u16string(text);
  return out;
}

using support::IsLeadSurrogate;
using support::IsTrailSurrogate;

}  // namespace

std::u16string ToLower(std::u16string_view text) {
  return Map(text, LCMAP_LOWERCASE);
}

void ToLower(std::u16string_view text, std::u16string& out) {
  if (!IsAscii(text)) {
    out = Map(text, LCMAP_LOWERCASE);
    return;
  }
  out.assign(text);
  for (char16_t& unit : out) unit = support::AsciiLower(unit);
}

std::u16string ToUpper(std::u16string_view text) {
  return Map(text, LCMAP_UPPERCASE);
}

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && ToLower(a) == ToLower(b);
}

std::u16string ToProper(std::u16string_view text) {
  const std::u16string upper = ToUpper(text);
  std::u16string out = ToLower(text);
  bool word_start = true;
  for (std::size_t i = 0; i < text.size();) {
    // A surrogate pair is one character: both halves come from the same form.
    std::size_t length = 1;
    if (IsLeadSurrogate(text[i]) && i + 1 < text.size() && IsTrailSurrogate(text[i + 1])) {
      length = 2;
    }
    if (word_start) out.replace(i, length, upper, i, length);
    word_start = StartsWordAfter(text[i]);
    i += length;
  }
  return out;
}

}  // namespace lexivane::platform
