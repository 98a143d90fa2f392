// Windows-1252 as the system conversion of code page 1252 maps it, without best-fit guesses:
// a code unit converts only when some byte converts back to it.

#include <array>
#include <cstdint>

#include "platform/text.h"

namespace lexivane::platform {
namespace {

constexpr char kNoForm = '?';

// 0x80 to 0x9F. The five bytes that Windows-1252 leaves undefined keep the C1 control of the
// same value, so that every byte survives the round trip.
constexpr std::array<char16_t, 32> kUnitsOf80To9F = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

struct Tables {
  std::array<char16_t, 256> to_unit{};
  // The byte for each code unit below U+0100; kNoForm where that unit has none (the C1
  // controls whose bytes Windows-1252 gives to other characters).
  std::array<char, 256> low_to_byte{};
};

constexpr Tables MakeTables() {
  Tables t;
  for (int b = 0; b < 256; ++b) t.to_unit[b] = static_cast<char16_t>(b);
  for (int i = 0; i < 32; ++i) t.to_unit[0x80 + i] = kUnitsOf80To9F[i];
  for (int u = 0; u < 256; ++u) t.low_to_byte[u] = kNoForm;
  for (int b = 0; b < 256; ++b) {
    if (t.to_unit[b] < 0x100) t.low_to_byte[t.to_unit[b]] = static_cast<char>(b);
  }
  return t;
}

constexpr Tables kTables = MakeTables();

// The 27 characters above U+00FF that have a byte all sit in the 0x80 to 0x9F range. They are
// rare in words, so a scan of that short range beats keeping a second table in step with it.
bool HighUnitToByte(char16_t unit, char& byte) {
  for (std::size_t i = 0; i < kUnitsOf80To9F.size(); ++i) {
    if (kUnitsOf80To9F[i] == unit) {
      byte = static_cast<char>(0x80 + i);
      return true;
    }
  }
  byte = kNoForm;
  return false;
}

// Fills `out` (already sized) and answers whether every unit had an exact form.
bool Convert(std::u16string_view text, char* out) {
  bool exact = true;
  for (char16_t unit : text) {
    if (unit < 0x100) {
      const char byte = kTables.low_to_byte[unit];
      // The table answers '?' for a unit without a form; '?' itself is of course exact.
      if (byte == kNoForm && unit != u'?') exact = false;
      *out++ = byte;
    } else {
      if (!HighUnitToByte(unit, *out++)) exact = false;
    }
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
  std::u16string out(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out[i] = kTables.to_unit[static_cast<unsigned char>(bytes[i])];
  }
  return out;
}

char16_t FromSingleByte(unsigned char byte) {
  return kTables.to_unit[byte];
}

}  // namespace lexivane::platform
