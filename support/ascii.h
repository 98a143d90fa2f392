// The character classes of ASCII, as the C library's are in the "C" locale but without a locale
// and for every character type: char (signed or not), unsigned char, char16_t, char32_t, int.
// A character outside ASCII is in none of the classes and keeps its case, so a UTF-16 unit or a
// byte of UTF-8 is never taken for the ASCII character of its low bits. AsciiSet is a set of
// ASCII characters made at compile time. Everything here is constexpr, and any thread may use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lexivane::support {

namespace ascii_detail {
// The character as a number: a byte of a signed char from 0 to 255, and a negative int as a huge
// number, neither of which passes for a character of ASCII.
template <typename Char>
constexpr std::uint32_t Code(Char c) {
  if constexpr (sizeof(Char) == 1) {
    return static_cast<unsigned char>(c);
  } else {
    return static_cast<std::uint32_t>(c);
  }
}
template <typename Char>
constexpr bool InRange(Char c, char low, char high) {
  return Code(c) >= static_cast<std::uint32_t>(low) && Code(c) <= static_cast<std::uint32_t>(high);
}
}  // namespace ascii_detail

template <typename Char>
constexpr bool IsAsciiUpper(Char c) {
  return ascii_detail::InRange(c, 'A', 'Z');
}
template <typename Char>
constexpr bool IsAsciiLower(Char c) {
  return ascii_detail::InRange(c, 'a', 'z');
}
template <typename Char>
constexpr bool IsAsciiLetter(Char c) {
  return IsAsciiUpper(c) || IsAsciiLower(c);
}
template <typename Char>
constexpr bool IsAsciiDigit(Char c) {
  return ascii_detail::InRange(c, '0', '9');
}
template <typename Char>
constexpr bool IsAsciiAlnum(Char c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c);
}
template <typename Char>
constexpr bool IsAsciiHexDigit(Char c) {
  return IsAsciiDigit(c) || ascii_detail::InRange(c, 'a', 'f') ||
         ascii_detail::InRange(c, 'A', 'F');
}
// The space, and tab, line feed, vertical tab, form feed and carriage return.
template <typename Char>
constexpr bool IsAsciiSpace(Char c) {
  return ascii_detail::Code(c) == ' ' || ascii_detail::InRange(c, '\t', '\r');
}

// The value of a hex digit (0 to 15), or -1 for any other character.
template <typename Char>
constexpr int AsciiHexDigitValue(Char c) {
  if (IsAsciiDigit(c)) return static_cast<int>(ascii_detail::Code(c)) - '0';
  if (ascii_detail::InRange(c, 'a', 'f')) return static_cast<int>(ascii_detail::Code(c)) - 'a' + 10;
  if (ascii_detail::InRange(c, 'A', 'F')) return static_cast<int>(ascii_detail::Code(c)) - 'A' + 10;
  return -1;
}

template <typename Char>
constexpr Char AsciiLower(Char c) {
  return IsAsciiUpper(c) ? static_cast<Char>(c + ('a' - 'A')) : c;
}
template <typename Char>
constexpr Char AsciiUpper(Char c) {
  return IsAsciiLower(c) ? static_cast<Char>(c - ('a' - 'A')) : c;
}

// `text` with its ASCII letters in small letters.
inline std::string AsciiLowered(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) c = AsciiLower(c);
  return lowered;
}

namespace ascii_detail {
template <typename Char>
constexpr bool EqualIgnoringCase(std::basic_string_view<Char> text, std::string_view ascii) {
  if (text.size() != ascii.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (AsciiLower(Code(text[i])) != AsciiLower(Code(ascii[i]))) return false;
  }
  return true;
}
}  // namespace ascii_detail

// Whether `text` equals `ascii` with the case of ASCII letters ignored; every other character must
// be the same.
constexpr bool EqualsIgnoringAsciiCase(std::string_view text, std::string_view ascii) {
  return ascii_detail::EqualIgnoringCase(text, ascii);
}
constexpr bool EqualsIgnoringAsciiCase(std::u16string_view text, std::string_view ascii) {
  return ascii_detail::EqualIgnoringCase(text, ascii);
}
// Whether `text` starts with `ascii`, so compared.
constexpr bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view ascii) {
  return text.size() >= ascii.size() &&
         EqualsIgnoringAsciiCase(text.substr(0, ascii.size()), ascii);
}
constexpr bool StartsWithIgnoringAsciiCase(std::u16string_view text, std::string_view ascii) {
  return text.size() >= ascii.size() &&
         EqualsIgnoringAsciiCase(text.substr(0, ascii.size()), ascii);
}

// A set of ASCII characters, made at compile time from a string of them; one load to ask.
class AsciiSet {
 public:
  constexpr explicit AsciiSet(const char* members) {
    for (; *members != '\0'; ++members) has_[static_cast<unsigned char>(*members)] = true;
  }
  template <typename Char>
  constexpr bool Has(Char c) const {
    const std::uint32_t code = ascii_detail::Code(c);
    return code < 128 && has_[code];
  }

 private:
  bool has_[128] = {};
};

}  // namespace lexivane::support
