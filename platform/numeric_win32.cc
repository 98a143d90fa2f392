// The number test on Windows: the system's automation conversion to a double in the user's
// locale, as the component's hosts expect of a Windows program. Its answers differ from the
// portable rules in places (docs/numbers.md lists them): it skips thousands separators wherever
// they stand, reads "&H" and "&O" as hexadecimal and octal, and refuses numbers beyond a
// double's range.
//
// Every word check asks it first, so most words are turned away before the system is asked: a
// text of ASCII characters without a decimal digit and without the "&" of a radix prefix is no
// number in any locale.

#include <windows.h>
// After windows.h, which it needs.
#include <oleauto.h>

#include <algorithm>
#include <string>

#include "platform/text.h"
#include "support/ascii.h"

namespace lexivane::platform {
namespace {

bool MayBeANumber(std::u16string_view text) {
  return std::any_of(text.begin(), text.end(), [](char16_t unit) {
    return support::IsAsciiDigit(unit) || unit == u'&' || unit >= 0x80;
  });
}

}  // namespace

bool IsNumeric(std::u16string_view text) {
  // The conversion reads up to the first NUL; a text that goes on after one is not a number as
  // a whole.
  if (!MayBeANumber(text) || text.find(u'\0') != std::u16string_view::npos) return false;
  std::u16string terminated(text);
  double value = 0;
  return SUCCEEDED(::VarR8FromStr(reinterpret_cast<OLECHAR*>(terminated.data()),
                                  LOCALE_USER_DEFAULT, 0, &value));
}

}  // namespace lexivane::platform
