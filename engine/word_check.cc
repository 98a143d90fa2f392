#include "engine/word_check.h"

#include <algorithm>

#include "engine/dictionaries.h"
#include "platform/text.h"
#include "support/ascii.h"

namespace lexivane {

namespace {

bool IsShortOrNumeric(std::u16string_view word) {
  return word.size() < 2 || platform::IsNumeric(word);
}

}  // namespace

bool IsPlainWord(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(),
                     [](unsigned char byte) { return byte >= 0x40 && byte <= 0x7B; });
}

std::u16string CleanWord(std::u16string_view word) {
  const std::string bytes = platform::ToSingleByte(word);
  if (IsPlainWord(bytes)) return std::u16string(word);

  // Every byte kept is ASCII, so the result's characters are the bytes themselves.
  std::u16string result;
  int counted = 0;
  for (unsigned char byte : bytes) {
    if (support::IsAsciiLetter(byte) || byte == ' ' || (byte == '\'' && !result.empty())) {
      result += byte;
      ++counted;
    } else if (byte == '-') {
      if (counted > 0) result += byte;
    } else if (support::IsAsciiDigit(byte)) {
      result += byte;
    } else if (counted > 0) {
      break;
    }
  }
  if (counted < 2) return {};
  if (result.ends_with(u'-') || result.ends_with(u'\'')) {
    result.pop_back();
  } else if (result.ends_with(u"'s")) {
    result.resize(result.size() - 2);
  }
  return result;
}

bool IsAcceptedWord(Dictionaries& dictionaries, std::u16string_view word, bool check_custom) {
  const WordTables& tables = dictionaries.tables;
  WordCheckScratch& scratch = dictionaries.scratch;
  std::u16string& lowered = scratch.lowered;
  // Most words are ASCII letters alone: such a word has no digit, so it reads as no number; it
  // is plain, so it is its own cleaned form; and its lower case is ASCII's, already the
  // single-byte form the list holds. It is lowered once, into those bytes.
  if (word.size() >= 2 && std::all_of(word.begin(), word.end(), support::IsAsciiLetter<char16_t>)) {
    std::string& bytes = scratch.single_byte;
    bytes.resize(word.size());
    for (std::size_t i = 0; i < word.size(); ++i) {
      bytes[i] = support::AsciiLower(static_cast<char>(word[i]));
    }
    if (tables.LookUpMainBytes(bytes)) return true;
    if (!check_custom) return false;
    lowered.resize(bytes.size());
    std::copy(bytes.begin(), bytes.end(), lowered.begin());
    return dictionaries.custom.Contains(lowered);
  }
  platform::ToLower(word, lowered);
  if (IsShortOrNumeric(lowered) || tables.LookUpMain(lowered, scratch.single_byte)) return true;
  const std::u16string cleaned = CleanWord(lowered);
  if (cleaned != lowered) {
    if (IsShortOrNumeric(cleaned) || tables.LookUpMain(cleaned, scratch.single_byte)) return true;
  }
  // The custom dictionary is asked for the lower-cased word, punctuation and all.
  return check_custom && dictionaries.custom.Contains(lowered);
}

bool IsNeverAccepted(const WordCheckTally& tally, std::size_t longest_main_word) {
  // Both kinds of text below are ASCII without a digit or "&", so neither they nor their cleaned
  // forms read as numbers (platform/text.h), and lower-casing changes none of the counts. A
  // custom entry of the text's length is the caller's to rule out.
  //
  // A text of '@' to '{' alone is plain and so its own cleaned form: longer than every entry,
  // it cannot be one.
  if (tally.outside_plain == 0) return tally.length > longest_main_word;
  // A text of letters, blanks, apostrophes and hyphens is cleaned without the scan stopping:
  // every letter and blank is kept, and the last step drops at most one of them (the "s" of
  // "'s"). So the cleaned form has at least letters_and_blanks - 1 characters; when that is
  // above the longest entry and at least 2, the cleaned form is neither short nor an entry, and
  // the text, which is no shorter, is no entry either.
  return tally.outside_letters_marks == 0 &&
         tally.letters_and_blanks >= std::max<std::size_t>(longest_main_word, 1) + 2;
}

}  // namespace lexivane
