#include "frontend/session/english_variant.h"

#include <algorithm>
#include <array>

#include "frontend/session/sorted_word_list.h"
#include "support/ascii.h"
#include "support/embed.h"

// The lists' sections, each opened by a line "=NAME accepted" or "=NAME flagged".
LEXIVANE_EMBED(lexivane_variant_words, LEXIVANE_VARIANT_WORDS_FILE);

namespace lexivane::frontend {
namespace {

constexpr std::array<std::string_view, 5> kNames = {"en-US", "en-GB", "en-CA", "en-AU", "en"};

struct VariantLists {
  SortedWordList accepted{""}, flagged{""};
};

// Each variant's lists, by EnglishVariant; American has none.
const std::array<VariantLists, kNames.size()>& ListsOf() {
  static const auto lists = [] {
    std::array<VariantLists, kNames.size()> made;
    const std::string_view text = LEXIVANE_EMBEDDED_TEXT(lexivane_variant_words);
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t heading_end = text.find('\n', at);
      const std::string_view heading = text.substr(at + 1, heading_end - at - 1);
      const std::size_t next = std::min(text.find("\n=", heading_end), text.size() - 1) + 1;
      const SortedWordList section(text.substr(heading_end + 1, next - heading_end - 1));
      const std::string_view name = heading.substr(0, heading.find(' '));
      const auto variant = NamedVariant(name);
      if (variant && heading.ends_with(" accepted"))
        made[static_cast<std::size_t>(*variant)].accepted = section;
      if (variant && heading.ends_with(" flagged"))
        made[static_cast<std::size_t>(*variant)].flagged = section;
      at = next;
    }
    return made;
  }();
  return lists;
}

const VariantLists& Lists(EnglishVariant variant) {
  return ListsOf()[static_cast<std::size_t>(variant)];
}

enum class LetterCase { kAsWritten, kCapitalised, kAllCaps };

LetterCase CaseOf(std::u16string_view word) {
  const auto upper = [](char16_t c) {
    return c < 0x80 && support::IsAsciiUpper(static_cast<char>(c));
  };
  const auto lower = [](char16_t c) {
    return c < 0x80 && support::IsAsciiLower(static_cast<char>(c));
  };
  if (word.empty() || !upper(word[0])) return LetterCase::kAsWritten;
  if (std::none_of(word.begin(), word.end(), lower) && word.size() > 1) return LetterCase::kAllCaps;
  return LetterCase::kCapitalised;
}

// `word`, in lower case, with its first letter or all of them capitals.
std::u16string InCase(std::u16string word, LetterCase letter_case) {
  const std::size_t raised = letter_case == LetterCase::kAllCaps ? word.size()
                             : letter_case == LetterCase::kCapitalised
                                 ? std::min<std::size_t>(1, word.size())
                                 : 0;
  for (std::size_t i = 0; i < raised; ++i) {
    if (word[i] < 0x80)
      word[i] = static_cast<char16_t>(support::AsciiUpper(static_cast<char>(word[i])));
  }
  return word;
}

}  // namespace

const std::vector<std::string_view>& VariantNames() {
  static const std::vector<std::string_view> names(kNames.begin(), kNames.end());
  return names;
}

std::string_view VariantName(EnglishVariant variant) {
  return kNames[static_cast<std::size_t>(variant)];
}

std::optional<EnglishVariant> NamedVariant(std::string_view name) {
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (name.size() == kNames[i].size() &&
        std::equal(name.begin(), name.end(), kNames[i].begin(), [](char a, char b) {
          return support::AsciiLower(a == '_' ? '-' : a) == support::AsciiLower(b);
        })) {
      return static_cast<EnglishVariant>(i);
    }
  }
  return std::nullopt;
}

bool VariantAccepts(EnglishVariant variant, std::u16string_view word) {
  return variant != EnglishVariant::kAmerican && Lists(variant).accepted.Holds(word);
}

std::string_view VariantOwnSpellings(EnglishVariant variant) {
  return Lists(variant).accepted.text();
}

bool VariantFlags(EnglishVariant variant, std::u16string_view word) {
  return variant != EnglishVariant::kAmerican && Lists(variant).flagged.Holds(word);
}

std::vector<std::u16string> VariantSpellings(EnglishVariant variant, std::u16string_view word) {
  std::vector<std::u16string> spellings;
  if (variant == EnglishVariant::kAmerican) return spellings;
  const SortedWordList& flagged = Lists(variant).flagged;
  // The entry's spellings, or those of the word before its 's, each with the 's.
  std::u16string_view ending;
  std::optional<std::string_view> data = flagged.Find(word);
  if (!data && (word.ends_with(u"'s") || word.ends_with(u"'S"))) {
    ending = word.substr(word.size() - 2);
    data = flagged.Find(word.substr(0, word.size() - 2));
  }
  if (!data) return spellings;
  for (std::size_t at = 0; at < data->size();) {
    const std::size_t end = std::min(data->find(',', at), data->size());
    std::u16string spelling(data->begin() + static_cast<std::ptrdiff_t>(at),
                            data->begin() + static_cast<std::ptrdiff_t>(end));
    spellings.push_back(spelling + std::u16string(ending));
    at = end + 1;
  }
  return spellings;
}

std::vector<std::u16string> InVariant(EnglishVariant variant, std::u16string_view word,
                                      std::vector<std::u16string> suggestions, std::size_t most) {
  if (variant == EnglishVariant::kAmerican || variant == EnglishVariant::kAny) return suggestions;
  std::vector<std::u16string> shown;
  const auto add = [&](std::u16string suggestion) {
    if (shown.size() < most && suggestion != word &&
        std::find(shown.begin(), shown.end(), suggestion) == shown.end()) {
      shown.push_back(std::move(suggestion));
    }
  };
  const LetterCase word_case = CaseOf(word);
  for (std::u16string& spelling : VariantSpellings(variant, word))
    add(InCase(std::move(spelling), word_case));
  for (std::u16string& suggestion : suggestions) {
    if (!VariantFlags(variant, suggestion)) {
      add(std::move(suggestion));
      continue;
    }
    const LetterCase suggestion_case = CaseOf(suggestion);
    for (std::u16string& spelling : VariantSpellings(variant, suggestion))
      add(InCase(std::move(spelling), suggestion_case));
  }
  return shown;
}

}  // namespace lexivane::frontend
