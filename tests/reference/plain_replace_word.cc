#include "tests/reference/plain_replace_word.h"

#include "platform/text.h"
#include "textcheck/replace_word.h"

namespace lexivane::reference {

namespace {

std::int32_t Length(const std::u16string& s) {
  return static_cast<std::int32_t>(s.size());
}

// The character at a 1-based position.
char16_t At(const std::u16string& text, std::int32_t position) {
  return text[position - 1];
}

}  // namespace

std::int32_t InStrIgnoringCase(std::int32_t start, const std::u16string& text,
                               const std::u16string& find) {
  for (std::int32_t p = start; p + Length(find) - 1 <= Length(text); ++p) {
    if (platform::EqualIgnoringCase(text.substr(p - 1, find.size()), find)) return p;
  }
  return 0;
}

bool IsWholeWord(std::int32_t before, std::int32_t after, const std::u16string& text) {
  if (before >= 1 && IsReplaceWordCharacter(At(text, before))) return false;
  if (after <= Length(text) && IsReplaceWordCharacter(At(text, after))) return false;
  return true;
}

std::int32_t FindWholeWord(std::int32_t start, const std::u16string& find,
                           const std::u16string& text) {
  for (;;) {
    if (start > Length(text)) return 0;
    const std::int32_t p = InStrIgnoringCase(start, text, find);
    if (p == 0) return 0;
    if (IsWholeWord(p - 1, p + Length(find), text)) return p;
    start = p + 1;
  }
}

std::u16string PlainReplaceWord(const std::u16string& text, const std::u16string& find,
                                const std::u16string& replace) {
  if (find.empty()) return text;
  std::u16string result = text;
  std::int32_t p = FindWholeWord(1, find, result);
  while (p != 0) {
    result = result.substr(0, p - 1) + replace + result.substr(p - 1 + find.size());
    std::int32_t next = FindWholeWord(p + 1, find, result);
    // Lying wholly inside the replacement, this occurrence would be replaced by the same
    // replacement holding it again, for ever.
    if (next != 0 && next + Length(find) <= p + Length(replace)) {
      next = FindWholeWord(p + Length(replace), find, result);
    }
    p = next;
  }
  return result;
}

}  // namespace lexivane::reference
