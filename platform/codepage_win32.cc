// The ANSI code page as the system converts it. The conversion is read once, byte by byte, into
// two small tables, so that every call keeps one byte per code unit whatever the system would
// do with a run of text (a surrogate pair becomes one "?" there, a best-fit guess turns "ā" into
// "a"), and a conversion costs a table lookup rather than two system calls.
//
// A byte reads as the one code unit that MultiByteToWideChar gives it; a code unit converts to a
// byte only when WideCharToMultiByte, without best-fit guesses, gives that same byte back, so
// the two directions always agree. Wine and Windows both give the five bytes that Windows-1252
// leaves undefined the C1 control of the same value, so every byte survives a round trip there.
// Should the ANSI code page have characters of two bytes (Japanese, Chinese, Korean systems), a
// byte that only starts one has no character of its own: it reads as U+FFFD and does not
// survive the round trip.

#include <windows.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace lexivane::platform {
namespace {

constexpr char kNoForm = '?';
constexpr char16_t kNoUnit = 0xFFFD;

struct Tables {
  std::array<char16_t, 256> to_unit{};
  std::array<char, 256> low_to_byte{};  // units below U+0100; kNoForm where there is none
  std::vector<std::pair<char16_t, char>> high_to_byte;  // the others that have a byte, sorted
};

bool ConvertsBackTo(char16_t unit, char byte) {
  const wchar_t wide = static_cast<wchar_t>(unit);
  char back[2] = {};
  BOOL guessed = FALSE;
  const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &wide, 1, back,
                                           sizeof back, nullptr, &guessed);
  return length == 1 && !guessed && back[0] == byte;
}

Tables ReadTables() {
  Tables t;
  t.low_to_byte.fill(kNoForm);
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    wchar_t wide[2] = {};
    const int length = ::MultiByteToWideChar(CP_ACP, 0, &byte, 1, wide, 2);
    const char16_t unit = length == 1 ? static_cast<char16_t>(wide[0]) : kNoUnit;
    t.to_unit[b] = unit;
    if (unit == kNoUnit || !ConvertsBackTo(unit, byte)) continue;
    if (unit < 0x100) {
      t.low_to_byte[unit] = byte;
    } else {
      t.high_to_byte.emplace_back(unit, byte);
    }
  }
  std::sort(t.high_to_byte.begin(), t.high_to_byte.end());
  return t;
}

const Tables& SystemTables() {
  static const Tables tables = ReadTables();
  return tables;
}

// Fills `out` (already sized) and answers whether every unit had an exact form.
bool Convert(std::u16string_view text, char* out) {
  const Tables& t = SystemTables();
  bool exact = true;
  for (char16_t unit : text) {
    char byte = kNoForm;
    if (unit < 0x100) {
      byte = t.low_to_byte[unit];
    } else {
      const auto found = std::lower_bound(
          t.high_to_byte.begin(), t.high_to_byte.end(), unit,
          [](const std::pair<char16_t, char>& entry, char16_t u) { return entry.first < u; });
      if (found != t.high_to_byte.end() && found->first == unit) byte = found->second;
    }
    // '?' itself is of course exact.
    if (byte == kNoForm && unit != u'?') exact = false;
    *out++ = byte;
  }
  return exact;
}

}  // namespace

std::string ToSingleByte(std::u16string_view text) {
  std::string out(text.size(), '\0');
  Convert(text, out.data());
  return out;
}

bool ToSingleByteExact(std::u16string_view text, std::string& out) {
  out.resize(text.size());
  return Convert(text, out.data());
}

std::u16string FromSingleByte(std::string_view bytes) {
  const Tables& t = SystemTables();
  std::u16string out(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out[i] = t.to_unit[static_cast<unsigned char>(bytes[i])];
  }
  return out;
}

char16_t FromSingleByte(unsigned char byte) {
  return SystemTables().to_unit[byte];
}

}  // namespace lexivane::platform
