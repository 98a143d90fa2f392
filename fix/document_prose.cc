#include "fix/document_prose.h"

#include "frontend/pipeline/document_checker.h"
#include "frontend/words/running_words.h"
#include "frontend/words/word_characters.h"

namespace lexivane::frontend::fix {

namespace {

// The characters at which the text check run cuts its tokens (docs/text-check.md).
bool IsRunDelimiter(char16_t c) {
  return std::u16string_view(u"\t\r\n \"/?.;:,\\()[]{}<>|!-").find(c) != std::u16string_view::npos;
}

bool IsWordCharacter(char16_t c) {
  return c != u' ' && c != kWordJoiner && MayStandInWord(c, PlaceInWord::kInside);
}

// Blanks every character decoded from a longer sequence (a character reference, an escape)
// that no word holds where it stands: a quotation mark, a dash, `&`, `*`, an apostrophe that
// does not stand between two letters. Running text ends a word there as at a blank, and so
// does the run at a blank: the words beside it, written plainly, are offered as `check`
// reports them (`&ldquo;teh&rdquo;`, `\(aqteh\(aq`, `\*teh`).
void BlankDecodedSeparators(std::u16string& prose, std::u16string_view document) {
  const auto filled = [&](std::size_t i) {  // the rest of a sequence, after its character
    return (prose[i] == kWordJoiner || prose[i] == u' ') && prose[i] != document[i];
  };
  for (std::size_t i = 0; i < prose.size(); ++i) {
    const char16_t c = prose[i];
    if (c == document[i] || c == u' ' || c == kWordJoiner) continue;
    std::size_t end = i + 1;
    while (end < prose.size() && filled(end)) ++end;
    bool in_word = IsWordCharacter(c);
    if (c == u'\'' || c == kTypographicApostrophe) {
      std::size_t before = i;
      while (before > 0 && prose[before - 1] == kWordJoiner) --before;
      in_word = before > 0 && IsWordCharacter(prose[before - 1]) && end < prose.size() &&
                IsWordCharacter(prose[end]);
    }
    // A sequence that stands for nothing inside a word (`hy\-phen`) is word joiners alone after
    // a letter of the document: that word keeps them, and is not offered below.
    if (!in_word) prose.replace(i, end - i, end - i, u' ');
    i = end - 1;
  }
}

}  // namespace

std::u16string DocumentProse(std::u16string_view document, DocumentMode mode) {
  Document whole;
  whole.mode = mode;
  std::u16string prose;
  if (!FilterProse(whole, document, prose)) return std::u16string(document);
  BlankDecodedSeparators(prose, document);
  for (std::size_t i = 0; i < prose.size();) {
    if (IsRunDelimiter(prose[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    bool decoded = false;
    for (; end < prose.size() && !IsRunDelimiter(prose[end]); ++end) {
      decoded = decoded || prose[end] != document[end];
    }
    if (decoded) prose.replace(i, end - i, end - i, u' ');
    i = end;
  }
  return prose;
}

}  // namespace lexivane::frontend::fix
