// FrontEnd: what `lexivane fix` needs from the place where the person answers it, a window or
// the terminal. The front end shows the suggestions dialog through its view and asks the one
// question the dialog cannot: whether to keep the changes when the person cancels half-way.
// Main thread only.
#pragma once

#include <cstddef>
#include <string>

#include "lexivane/dialog.h"

namespace lexivane::frontend::fix {

// The word the dialog is about to be shown for, in its line of the text as corrected so far.
struct WordInLine {
  std::size_t line_number = 0;  // from 1
  std::u16string line;          // without its line end
  std::size_t word_start = 0;   // in `line`
  std::size_t word_length = 0;
};

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;

  virtual DialogView& view() = 0;
  // Called before each showing of the dialog.
  virtual void ShowWord(const WordInLine&) {}
  // After a Cancel with `words_changed` changes made: true keeps them.
  virtual bool KeepChangesAfterCancel(std::size_t words_changed) = 0;
};

}  // namespace lexivane::frontend::fix
