// UTF-8 conversion written out by hand so that the portable core needs no library for it and
// both builds treat broken input the same way (ICU's converter is not in the Windows build).
// Invalid input becomes U+FFFD one maximal subpart at a time (the practice Unicode recommends and
// browsers follow): a lead byte and the continuation bytes that could still have completed it count
// as one error.

#include "lexivane/utf8.h"

#include "support/utf16.h"
namespace lexivane {
namespace {

using support::AppendUtf16;
using support::IsLeadSurrogate;
using support::IsTrailSurrogate;

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one code point from text[i...], advancing i past it. An invalid sequence yields
// U+FFFD and advances past its maximal subpart only, so the byte that broke it is read again
// as the start of the next sequence.
char32_t DecodeUtf8(std::string_view text, std::size_t& i) {
  const unsigned char lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;

  int continuation_count;
  char32_t c;
  // The range of the first continuation byte rules out overlong forms, encoded surrogates and
  // code points above U+10FFFF in one comparison.
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    continuation_count = 1;
    c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    continuation_count = 2;
    c = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    continuation_count = 3;
    c = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return kReplacement;
  }

  for (int k = 0; k < continuation_count; ++k) {
    if (i == text.size()) return kReplacement;
    const unsigned char byte = static_cast<unsigned char>(text[i]);
    if (byte < low || byte > high) return kReplacement;
    c = (c << 6) | (byte & 0x3F);
    ++i;
    low = 0x80;
    high = 0xBF;
  }
  return c;
}

}  // namespace

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (IsLeadSurrogate(c) && i + 1 < text.size() && IsTrailSurrogate(text[i + 1])) {
      c = support::CodePointOfPair(c, text[i + 1]);
      ++i;
    } else if (IsLeadSurrogate(c) || IsTrailSurrogate(c)) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::u16string FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) AppendUtf16(out, DecodeUtf8(text, i));
  return out;
}

}  // namespace lexivane
