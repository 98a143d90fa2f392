// The number test under US English rules, written out in docs/numbers.md. Every word check
// asks it first, so it scans once, allocates nothing, and turns most words away after one
// pass that finds no digit.

#include <algorithm>

#include "platform/text.h"
#include "support/ascii.h"

namespace lexivane::platform {
namespace {

class Cursor {
 public:
  explicit Cursor(std::u16string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ == text_.size(); }
  char16_t Peek() const { return AtEnd() ? u'\0' : text_[pos_]; }
  bool PeekDigit() const { return !AtEnd() && support::IsAsciiDigit(text_[pos_]); }

  bool Take(char16_t unit) {
    if (AtEnd() || text_[pos_] != unit) return false;
    ++pos_;
    return true;
  }

  bool TakeSign() { return Take(u'+') || Take(u'-'); }

  std::size_t TakeDigits() {
    const std::size_t start = pos_;
    while (PeekDigit()) ++pos_;
    return pos_ - start;
  }

  void SkipBlanks() {
    while (!AtEnd() && (text_[pos_] == u' ' || text_[pos_] == u'\t')) ++pos_;
  }

  // The integer part: plain digits, or one to three digits followed by groups of a comma and
  // exactly three digits. Answers the number of digits taken; on a malformed group it answers
  // 0 and the text cannot be a number.
  std::size_t TakeIntegerPart(bool& malformed) {
    const std::size_t leading = TakeDigits();
    if (leading == 0 || Peek() != u',') return leading;
    if (leading > 3) {
      malformed = true;
      return 0;
    }
    std::size_t total = leading;
    while (Take(u',')) {
      if (TakeDigits() != 3) {
        malformed = true;
        return 0;
      }
      total += 3;
    }
    return total;
  }

 private:
  std::u16string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

bool IsNumeric(std::u16string_view text) {
  if (std::none_of(text.begin(), text.end(), support::IsAsciiDigit<char16_t>)) return false;

  Cursor cursor(text);
  cursor.SkipBlanks();

  // Up to two marks before the number, in either order: a sign or an opening parenthesis, and
  // a dollar sign.
  bool leading_sign = false;
  bool parenthesis = false;
  bool currency = false;
  for (int mark = 0; mark < 2; ++mark) {
    if (!leading_sign && !parenthesis && cursor.TakeSign()) {
      leading_sign = true;
    } else if (!leading_sign && !parenthesis && cursor.Take(u'(')) {
      parenthesis = true;
    } else if (!currency && cursor.Take(u'$')) {
      currency = true;
    }
  }

  bool malformed = false;
  std::size_t digits = cursor.TakeIntegerPart(malformed);
  if (malformed) return false;
  if (cursor.Take(u'.')) digits += cursor.TakeDigits();
  if (digits == 0) return false;

  if (cursor.Take(u'e') || cursor.Take(u'E')) {
    cursor.TakeSign();
    if (cursor.TakeDigits() == 0) return false;
  }

  if (parenthesis) {
    if (!cursor.Take(u')')) return false;
  } else if (!leading_sign) {
    cursor.TakeSign();
  }

  cursor.SkipBlanks();
  return cursor.AtEnd();
}

}  // namespace lexivane::platform
