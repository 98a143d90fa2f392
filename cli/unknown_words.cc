#include "cli/unknown_words.h"

#include <vector>

#include "cli/cli_support.h"
#include "lexivane/events.h"

namespace lexivane::cli {

namespace {

// Hands each SpellWordNotInDic of the current piece on with the piece's start added back.
class UnknownWordSink : public SpellCheckEvents {
 public:
  explicit UnknownWordSink(const std::function<void(std::u16string_view, std::size_t)>& found)
      : found_(found) {}

  void set_piece_start(std::size_t start) { piece_start_ = start; }

  void SpellWordNotInDic(std::u16string_view sOriginalWord, std::int32_t lPosStart,
                         bool&) override {
    found_(sOriginalWord, piece_start_ + static_cast<std::size_t>(lPosStart));
  }

 private:
  const std::function<void(std::u16string_view, std::size_t)>& found_;
  std::size_t piece_start_ = 0;
};

// The end of every piece, the last one text.size(); empty when some stretch cannot be cut.
// The cuts are all found before anything is checked, so that a text is checked whole or not
// at all.
std::vector<std::size_t> PieceEnds(std::u16string_view text, std::size_t max_piece) {
  std::vector<std::size_t> ends;
  for (std::size_t start = 0; text.size() - start > max_piece;) {
    const std::u16string_view window = text.substr(start, max_piece);
    std::size_t cut = window.find_last_of(u"\r\n");
    if (cut == std::u16string_view::npos) cut = window.find_last_of(kWordDelimiters);
    if (cut == std::u16string_view::npos) return {};
    start += cut + 1;
    ends.push_back(start);
  }
  ends.push_back(text.size());
  return ends;
}

}  // namespace

bool ForEachUnknownWord(SpellCheck& engine, std::u16string_view text,
                        const std::function<void(std::u16string_view, std::size_t)>& found,
                        std::size_t max_piece) {
  const std::vector<std::size_t> ends = PieceEnds(text, max_piece);
  if (ends.empty()) return false;

  UnknownWordSink sink(found);
  const SinkConnection connection(engine, sink);
  std::size_t start = 0;
  for (const std::size_t end : ends) {
    sink.set_piece_start(start);
    engine.CheckText(text.substr(start, end - start), false);
    start = end;
  }
  return true;
}

}  // namespace lexivane::cli
