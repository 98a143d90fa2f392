#include "frontend/session/code_words.h"

#include <algorithm>
#include <array>

#include "frontend/session/sorted_word_list.h"
#include "support/embed.h"

// The lists' sections, each opened by a line "=NAME"; and the table of their entries' lines.
LEXIVANE_EMBED(lexivane_code_words, LEXIVANE_CODE_WORDS_FILE);
LEXIVANE_EMBED(lexivane_code_words_table, LEXIVANE_CODE_WORDS_TABLE_FILE);

namespace lexivane::frontend {
namespace {

enum class List { kNone, kGeneral, kC, kPython, kShell, kHtml, kIdentifiers };

// The list of the language of `mode`, beside the general list that every mode has.
List LanguageListOf(DocumentMode mode) {
  switch (mode) {
    case DocumentMode::kCFamily:
      return List::kC;
    case DocumentMode::kPython:
      return List::kPython;
    case DocumentMode::kShell:
    case DocumentMode::kHashComments:  // Makefiles and Dockerfiles run shell commands
    case DocumentMode::kM4:            // autoconf writes shell
      return List::kShell;
    case DocumentMode::kHtml:
      return List::kHtml;
    default:
      return List::kNone;
  }
}

constexpr std::array<std::string_view, 7> kSectionNames = {
    "", "general", "c", "python", "shell", "html", "identifiers"};

// Each list's text, by List.
std::string_view TextOf(List list) {
  static const auto sections = [] {
    std::array<std::string_view, kSectionNames.size()> found{};
    const std::string_view text = LEXIVANE_EMBEDDED_TEXT(lexivane_code_words);
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t heading_end = text.find('\n', at);
      const std::string_view name = text.substr(at + 1, heading_end - at - 1);
      const std::size_t next = std::min(text.find("\n=", heading_end), text.size() - 1) + 1;
      for (std::size_t i = 1; i < kSectionNames.size(); ++i) {
        if (kSectionNames[i] == name)
          found[i] = text.substr(heading_end + 1, next - heading_end - 1);
      }
      at = next;
    }
    return found;
  }();
  return sections[static_cast<std::size_t>(list)];
}

// Each list, looked up in the table made at build time: the document checker asks for every
// occurrence of a word the verdicts reject, identifiers that recur throughout a file too.
SortedWordList ListOf(List list) {
  static const auto tables = [] {
    std::array<LineTable, kSectionNames.size()> made{};
    for (std::size_t i = 1; i < kSectionNames.size(); ++i) {
      made[i] = LineTable(LEXIVANE_EMBEDDED_BYTES(lexivane_code_words_table),
                          LEXIVANE_EMBEDDED_TEXT(lexivane_code_words), kSectionNames[i],
                          TextOf(static_cast<List>(i)));
    }
    return made;
  }();
  const std::size_t at = static_cast<std::size_t>(list);
  return SortedWordList(TextOf(list), &tables[at]);
}

}  // namespace

bool CodeWordsHold(DocumentMode mode, std::string_view word) {
  const List language = LanguageListOf(mode);
  return ListOf(List::kGeneral).Holds(word) ||
         (language != List::kNone && ListOf(language).Holds(word));
}

bool IdentifierWordsHold(std::string_view word) {
  return ListOf(List::kIdentifiers).Holds(word);
}

std::string_view CodeWordList(std::string_view name) {
  for (std::size_t i = 1; i < kSectionNames.size(); ++i) {
    if (kSectionNames[i] == name) return ListOf(static_cast<List>(i)).text();
  }
  return {};
}

}  // namespace lexivane::frontend
