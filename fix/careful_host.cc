#include "fix/careful_host.h"

#include <stdexcept>
#include <utility>

#include "lexivane/utf8.h"

namespace lexivane::frontend::fix {

CarefulHost::CarefulHost(const SpellCheck& engine, std::u16string text)
    : engine_(engine), working_(std::move(text)) {}

void CarefulHost::SpellReplace(std::u16string_view sOriginalWord,
                               std::u16string_view sReplacementWord, std::int32_t lPosStart,
                               std::vector<std::u16string>&) {
  const auto position = static_cast<std::size_t>(lPosStart);
  if (lPosStart < 0 || working_.compare(position, sOriginalWord.size(), sOriginalWord) != 0) {
    throw std::logic_error("the run changed \"" + ToUtf8(sOriginalWord) + "\" at " +
                           std::to_string(lPosStart) + ", where the text holds something else");
  }
  // The run only moves forward, so every Change lies after the ones before it.
  if (!edits_.empty() && position < edits_.back().position + edits_.back().length) {
    throw std::logic_error("the run changed \"" + ToUtf8(sOriginalWord) + "\" at " +
                           std::to_string(lPosStart) + ", inside an earlier change");
  }
  edits_.push_back({position, sOriginalWord.size(), std::u16string(sReplacementWord)});
  ++words_changed_;
}

// W is replaced piece by piece: the stretches between edits, and each edit's word on its own.
// Every edit's word starts right after a word delimiter (or at the start) and ends right before
// one (or at the end); every delimiter is a word boundary for ReplaceWord too, and the word of a
// Change All never contains one. So no occurrence crosses a cut, and the ends of the text that a
// piece sees stand where W has boundaries anyway: the pieces give exactly ReplaceWord of the
// whole of W, which is what the run made of its working text. Cut this way, each edit learns
// where its word went and how long it now is. Where the Change All replaced (part of) the word
// of an edit, the edit's replacement still wins: the person chose it for that very occurrence.
void CarefulHost::SpellChangeAll(std::u16string_view sOriginalWord,
                                 std::u16string_view sReplacementWord, std::int32_t) {
  // The number of occurrences a piece held: each marked one grows by exactly one unit.
  const std::u16string marked = std::u16string(sOriginalWord) + u'\uFFFF';
  std::u16string next;
  next.reserve(working_.size());
  const auto replace_piece = [&](std::size_t from, std::size_t to) {
    const std::u16string_view piece(working_.data() + from, to - from);
    next += engine_.ReplaceWord(piece, sOriginalWord, sReplacementWord);
  };
  const auto count_piece = [&](std::size_t from, std::size_t to) {
    const std::u16string_view piece(working_.data() + from, to - from);
    words_changed_ += engine_.ReplaceWord(piece, sOriginalWord, marked).size() - piece.size();
  };

  std::size_t from = 0;
  for (Edit& edit : edits_) {
    count_piece(from, edit.position);
    replace_piece(from, edit.position);
    const std::size_t position = next.size();
    replace_piece(edit.position, edit.position + edit.length);
    from = edit.position + edit.length;
    edit.position = position;
    edit.length = next.size() - position;
  }
  count_piece(from, working_.size());
  replace_piece(from, working_.size());
  working_ = std::move(next);
}

std::u16string CarefulHost::Result() const {
  std::u16string result;
  result.reserve(working_.size());
  std::size_t from = 0;
  for (const Edit& edit : edits_) {
    result.append(working_, from, edit.position - from);
    result += edit.replacement;
    from = edit.position + edit.length;
  }
  result.append(working_, from);
  return result;
}

std::size_t CarefulHost::ResultPosition(std::size_t working_position) const {
  std::size_t position = working_position;
  for (const Edit& edit : edits_) {
    if (edit.position >= working_position) break;
    if (edit.position + edit.length > working_position) {
      return position - (working_position - edit.position);  // inside: the edit's start
    }
    position = position + edit.replacement.size() - edit.length;
  }
  return position;
}

}  // namespace lexivane::frontend::fix
