// CarefulHost: the event sink of `lexivane fix`, which turns the answers a person gives during a
// text check run into the corrected text, exactly as chosen.
//
// The run walks a working text of its own, to which it applies every Change All, while a Change
// reaches the host only as an event (positions after it still count the old word). The host
// mirrors that working text (W) and keeps what the corrected text holds in other places as
// edits of it: a stretch of W and what stands there instead. A Change All is applied to W as the
// run applies it (ReplaceWord) and moves the edits along. The corrected text is W with the edits
// applied, so no position arithmetic on the host's own changed text is ever needed.
//
// A choice replaces only the word it was made for. The run's tokens are cut at its own
// delimiters, so one may hold more than a word ("“recieve”", "teh—and", "Jonh's", "teh…"); the
// dialog's suggestions are made for the word inside it (WordInToken), and the chosen text takes
// that word's place alone. The rest of the token stays, before the chosen text unless the text
// already begins with it and after it unless the text already ends with it. For a Change the
// edit is the whole token in its new form; a Change All leaves the bare replacement in W, and
// the rest of each token it replaced is kept as text beside it (an edit of length 0).
//
// The text checked may be a document's prose with the rest blanked (document_modes.h) while the
// result is to be the document itself: the host is then given the document too, of the same
// length, and tracks where each unit of W came from in it. A unit the choices left in place is
// taken from the document, so the markup blanked around the prose comes back as it was, and
// every other unit is what the person chose. The document must equal the checked text wherever
// a token of the run may lie, that is everywhere but at the run's delimiters.
//
// One choice is the host's own: when a Change All replaces a word (or part of a word) that the
// person had already changed one by one, the earlier explicit choice is kept for that occurrence.
//
// An event that does not fit W (a Change whose word is not where the run says it is) means the
// host and the run disagree, which is a bug: the handler throws std::logic_error, which ends
// the run before anything is written. One object per run, on the run's thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lexivane/events.h"
#include "lexivane/spell_check.h"

namespace lexivane::frontend::fix {

// Where in a token stands the word that the suggestions for the token are made for: what the
// word check looks up after cleaning it (docs/word-check.md), widened over the letters, marks
// and digits beside it at which cleaning, knowing only ASCII, stops ("naïeve" is one word).
// Quotes, dashes, an ellipsis, a trailing possessive 's, a control character and whatever
// follows them are no part of it. A token without such a word is all word.
struct WordSpan {
  std::size_t start;
  std::size_t end;
};
WordSpan WordInToken(std::u16string_view token);

class CarefulHost : public SpellCheckEvents {
 public:
  // `engine` provides ReplaceWord and must outlive the host; `text` is the text being checked.
  CarefulHost(const SpellCheck& engine, std::u16string text);
  // `checked` is what the run checks, `document` (of the same length) what the result is made
  // from where the choices left the text in place.
  CarefulHost(const SpellCheck& engine, std::u16string checked, std::u16string document);

  void SpellReplace(std::u16string_view sOriginalWord, std::u16string_view sReplacementWord,
                    std::int32_t lPosStart, std::vector<std::u16string>& sSuggestions) override;
  void SpellChangeAll(std::u16string_view sOriginalWord, std::u16string_view sReplacementWord,
                      std::int32_t lPosStart) override;

  // The text with every choice made so far.
  std::u16string Result() const;
  // Where a position of the run's working text lies in Result().
  std::size_t ResultPosition(std::size_t working_position) const;

  // How many words the choices so far changed: one per Change, one per occurrence that a
  // Change All replaced.
  std::size_t words_changed() const { return words_changed_; }

 private:
  struct Edit {
    std::size_t position;      // in W
    std::size_t length;        // of what W holds there; 0 for text kept beside a replaced word
    std::u16string text;       // what the result holds instead
    bool before_word = false;  // of length 0: it stood before the word (else after it)
  };
  class ChangeAll;

  static constexpr std::uint32_t kNew = UINT32_MAX;  // a unit the choices put in W

  const SpellCheck& engine_;
  std::u16string working_;  // W, the run's working text
  std::u16string document_;
  std::vector<std::uint32_t> origins_;  // of each unit of W: its place in document_, or kNew
  // In increasing position, those of length 0 in the order of the result; the others never
  // overlap and hold no edit of length 0 inside.
  std::vector<Edit> edits_;
  std::size_t words_changed_ = 0;
};

}  // namespace lexivane::frontend::fix
