// Inline directives: lines of a document that tell the checker to leave part of it alone,
// written where the document's author wants them, in a comment or in prose, in the forms people
// already have in their files:
//
//   lexivane: ignore WORD...       the words are accepted anywhere in the document
//   lexivane: words WORD...        the same
//   lexivane: disable-line         the line the directive stands in is not checked
//   lexivane: disable-next-line    nor the line after it
//   lexivane: disable              the lines from this one to the next `enable` (to the end of
//   lexivane: enable               the document without one) are not checked
//
// `cspell:`, `spellchecker:` and `spell-checker:` take the same commands. `codespell:ignore`
// alone leaves its own line unchecked; followed by words, only those words on its line.
// `lexivane:` and `codespell:` are written in lower case; the other three prefixes in any letter
// case (`cSpell:`), the commands in lower case. Blanks may follow the colon. A prefix counts only
// where no letter, digit or `_` comes just before it.
//
// The words of a directive are separated by blanks or commas and end at anything else (a line
// break, `*/`, `-->`); codespell's come after blanks and are separated by commas alone
// (`codespell:ignore teh,wrold`), so that the prose after them is no word of the directive; a word
// is letters, digits, `_`, `'` and `-`, starting with a letter or a digit. They are accepted in any
// letter case. The directive itself, from its prefix to its last word, is never checked, so its
// words may be misspelt.
//
// Directives are read from the text as written, before a mode hides anything, so one inside an
// HTML or Markdown comment counts. A line ends at LF, CR LF or a lone CR. Positions are offsets
// in the units of the text read: UTF-16 code units, or bytes of UTF-8.
//
// A text may be read in pieces, in order, each starting where the one before ended: a
// directive then acts from the piece it stands in on (its line's part in pieces before is not
// covered), as the words before it were judged already. Reading costs a look at each `:` of
// the text; a text without directives leaves the set empty. One object per text and thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lexivane::frontend {

class InlineDirectives {
 public:
  // What a directive asks for; kIgnoreLine is codespell's without words.
  enum class Command { kWords, kDisableLine, kDisableNextLine, kDisable, kEnable, kIgnoreLine };

  // Reads the directives of `text`, which starts at `start` in the document.
  void Read(std::u16string_view text, std::size_t start = 0);
  void Read(std::string_view text, std::size_t start = 0);
  void Clear() { *this = InlineDirectives(); }

  bool empty() const {
    return ranges_.empty() && line_words_.empty() && words_.empty() && !disabled_from_ &&
           !open_line_from_ && !next_line_pending_;
  }
  // Whether the misspelt `word` (UTF-8) found at `offset` is left alone.
  bool Covers(std::size_t offset, std::string_view word) const;

 private:
  static constexpr std::size_t kOpen = std::string::npos;
  struct Range {
    std::size_t begin, end;
  };
  struct LineWords {
    Range line;  // end kOpen until the line's end is read
    std::vector<std::string> words;
  };

  struct Directive {
    Command command;
    bool on_its_line;                     // codespell's words: on the directive's line only
    std::size_t begin, end;               // in the text read, from the prefix to the last word
    std::vector<std::string> words = {};  // folded
  };

  template <typename Char>
  static std::optional<Directive> DirectiveAt(std::basic_string_view<Char> text, std::size_t colon);
  template <typename Char>
  void ReadText(std::basic_string_view<Char> text, std::size_t start);
  template <typename Char>
  void Apply(const Directive& directive, std::basic_string_view<Char> text, std::size_t start);
  // Covers from `begin` (in the document) to the end of the line that holds text[from].
  template <typename Char>
  void CoverToLineEnd(std::basic_string_view<Char> text, std::size_t start, std::size_t begin,
                      std::size_t from);

  std::vector<Range> ranges_;  // disjoint, in order once a Read ends
  std::vector<LineWords> line_words_;
  std::vector<std::string> words_;             // folded, in order once a Read ends
  std::optional<std::size_t> disabled_from_;   // a `disable` no `enable` has ended yet
  std::optional<std::size_t> open_line_from_;  // covered to the end of a line not read yet
  bool next_line_pending_ = false;             // the line after one not ended yet is to be covered
};

}  // namespace lexivane::frontend
