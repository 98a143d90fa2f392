// CarefulHost: the event sink of `lexivane fix`, which turns the answers a person gives during a
// text check run into the corrected text, exactly as chosen.
//
// The run walks a working text of its own, to which it applies every Change All, while a Change
// reaches the host only as an event (positions after it still count the old word). The host
// mirrors that working text (W) and keeps each Change as an edit: where in W the word stands,
// and what the person wants there. A Change All is applied to W with ReplaceWord, as the run
// applies it, and moves the edits through the same replacement. The corrected text is W with
// the edits applied, so no position arithmetic on the host's own changed text is ever needed.
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

class CarefulHost : public SpellCheckEvents {
 public:
  // `engine` provides ReplaceWord and must outlive the host; `text` is the text being checked.
  CarefulHost(const SpellCheck& engine, std::u16string text);

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
    std::size_t position;  // in W
    std::size_t length;    // of what W holds there
    std::u16string replacement;
  };

  const SpellCheck& engine_;
  std::u16string working_;   // W, the run's working text
  std::vector<Edit> edits_;  // in increasing position, never overlapping
  std::size_t words_changed_ = 0;
};

}  // namespace lexivane::frontend::fix
