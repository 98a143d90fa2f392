#include "frontend/words/identifier_parts.h"
#include "support/ascii.h"
#include "support/utf16.h"

#include <unicode/uchar.h>

#include <string>

namespace lexivane::frontend {

namespace {

enum class Kind { kSmall, kCapital, kDigit, kOtherLetter, kConnector, kOther };

Kind KindOf(char16_t c) {
  if (support::IsAsciiLower(c)) return Kind::kSmall;
  if (support::IsAsciiUpper(c)) return Kind::kCapital;
  if (support::IsAsciiDigit(c)) return Kind::kDigit;
  if (c < 0x80) return c == u'_' ? Kind::kConnector : Kind::kOther;
  if (support::IsSurrogate(c)) return Kind::kOtherLetter;  // rare: no case to cut at
  if (u_isULowercase(c)) return Kind::kSmall;
  if (u_isUUppercase(c)) return Kind::kCapital;
  if (u_isdigit(c)) return Kind::kDigit;
  if (u_charType(c) == U_CONNECTOR_PUNCTUATION) return Kind::kConnector;
  return u_isalpha(c) ? Kind::kOtherLetter : Kind::kOther;
}

bool IsLetter(Kind kind) {
  return kind == Kind::kSmall || kind == Kind::kCapital || kind == Kind::kOtherLetter;
}

}  // namespace

std::vector<WordPart> IdentifierParts(std::u16string_view identifier) {
  std::vector<WordPart> parts;
  std::size_t start = 0;
  bool letter = false;
  const auto end_part = [&](std::size_t end) {
    if (letter && end > start) parts.push_back({start, end - start});
    start = end;
    letter = false;
  };
  for (std::size_t i = 0; i < identifier.size(); ++i) {
    const Kind kind = KindOf(identifier[i]);
    if (kind == Kind::kConnector) {
      end_part(i);
      start = i + 1;
      continue;
    }
    if (kind == Kind::kCapital && i > start) {
      const Kind before = KindOf(identifier[i - 1]);
      const bool small_next =
          i + 1 < identifier.size() && KindOf(identifier[i + 1]) == Kind::kSmall;
      // A lone `s` after capitals is their plural (`URLs`, `IDsByName`), not a word's start.
      const bool plural = small_next && identifier[i + 1] == u's' &&
                          (i + 2 == identifier.size() || KindOf(identifier[i + 2]) != Kind::kSmall);
      if (before == Kind::kSmall || before == Kind::kDigit ||
          (before == Kind::kCapital && small_next && !plural)) {
        end_part(i);
      }
    }
    letter = letter || IsLetter(kind);
  }
  end_part(identifier.size());
  return parts;
}

void ForEachRunningWordPart(std::u16string_view text,
                            const std::function<void(const RunningWord&)>& found) {
  RunningWord part;
  ForEachRunningWord(text, [&](const RunningWord& word) {
    const std::u16string_view written = text.substr(word.offset, word.length);
    // A word with a decoded character in it is prose, not a name.
    if (written.find(kWordJoiner) != std::u16string_view::npos) return found(word);
    const std::vector<WordPart> parts = IdentifierParts(written);
    if (parts.size() == 1 && parts[0].length == written.size()) return found(word);
    for (const WordPart& each : parts) {
      part.offset = word.offset + each.offset;
      part.length = each.length;
      part.word.assign(written.substr(each.offset, each.length));
      ReadApostrophes(part.word);
      found(part);
    }
  });
}

}  // namespace lexivane::frontend
