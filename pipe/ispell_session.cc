#include "pipe/ispell_session.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "frontend/io/command_error.h"
#include "frontend/io/text_positions.h"
#include "frontend/pipeline/document_checker.h"
#include "frontend/words/given_word.h"
#include "frontend/words/running_words.h"
#include "lexivane/letter_case.h"
#include "lexivane/shown_suggestions.h"
#include "lexivane/utf8.h"
#include "lexivane/version.h"

namespace lexivane::frontend::ispell {

namespace {

// The word of a request line (`*word`): the rest of the line without the spaces and tabs around
// it, which ispell-family programs drop too.
std::u16string RequestWord(std::string_view line) {
  line.remove_prefix(1);
  const auto first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = line.find_last_not_of(" \t");
  return FromUtf8(line.substr(first, last - first + 1));
}

// A part of a request as standard error may show it: a control character (C0, DEL or C1), which
// could move a terminal's cursor or change its colours, as \xNN; bytes that are not UTF-8 as
// U+FFFD.
std::string Printable(std::string_view text) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::u16string shown;
  for (const char16_t c : FromUtf8(text)) {
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
      shown += {u'\\', u'x', static_cast<char16_t>(kDigits[c >> 4]),
                static_cast<char16_t>(kDigits[c & 15])};
    } else {
      shown += c;
    }
  }
  return ToUtf8(shown);
}

// The result lines of one text line: the reporter of the pipe. Words are reported as they stand
// in the line sent (`caf&eacute;`, not `café`), since clients compare the two.
class LineAnswer : public Reporter {
 public:
  // `text` is the line after its `^`, `start` the characters before it.
  LineAnswer(std::u16string_view text, std::size_t start, bool terse, SpellingSession& session)
      : text_(text),
        positions_(text, Columns::kCharacters),
        start_(start),
        terse_(terse),
        session_(session) {}

  bool WantsAcceptedWords() const override { return !terse_; }
  void Accept(const Document&, const Finding&) override { out_ += "*\n"; }

  void Report(const Document&, const Finding& finding) override {
    const std::u16string_view written = text_.substr(finding.offset, finding.length);
    // Clients read a reported word up to the next blank, so one written with a blank or a
    // control character inside (TeX's `Stra\ss e`) cannot be reported: it passes.
    if (std::any_of(written.begin(), written.end(),
                    [](char16_t c) { return c <= u' ' || c == u'\x7F'; })) {
      if (!terse_) out_ += "*\n";
      return;
    }
    // The line holds no LF; offsets count every character before the word, a CR included.
    const std::string offset = std::to_string(start_ + positions_.At(finding.offset).characters);
    const SuggestionList list = session_.Suggestions(FromUtf8(finding.word));
    const std::vector<std::u16string>& suggestions = *list;
    if (suggestions.empty()) {
      out_ += "# " + std::string(finding.written) + ' ' + offset + '\n';
      return;
    }
    out_ += "& " + std::string(finding.written) + ' ' + std::to_string(suggestions.size()) + ' ' +
            offset + ':';
    for (std::size_t i = 0; i < suggestions.size(); ++i) {
      out_ += (i == 0 ? " " : ", ") + ToUtf8(suggestions[i]);
    }
    out_ += '\n';
  }

  std::string Take() { return std::move(out_) + '\n'; }

 private:
  std::u16string_view text_;
  PositionCounter positions_;
  const std::size_t start_;
  const bool terse_;
  SpellingSession& session_;
  std::string out_;
};

}  // namespace

std::string IspellBanner() {
  // Editors give UTF-8 and their full word characters only to the spell checkers they know by
  // name. Enchant's conversation is the one ours is: UTF-8 always, word characters and
  // dictionaries asked of the program itself (-word-chars, -list-dicts).
  return std::string(
             "@(#) International Ispell Version 3.1.20 (but really Enchant 2.3.3) lexivane ") +
         Version();
}

IspellSession::IspellSession(PreparedChecker& checker, DocumentMode mode)
    : checker_(checker), session_(checker.session()), options_mode_(mode), mode_(mode) {}

std::optional<std::string> IspellSession::TakeWarning() {
  return std::exchange(warning_, {});
}

std::string IspellSession::Check(std::string_view line) {
  // `^` is no word character: only what follows it is a document, but offsets count it.
  const std::size_t start = line.starts_with('^') ? 1 : 0;
  const std::u16string text = FromUtf8(line.substr(start));
  LineAnswer answer(text, start, terse_, session_);
  checker_.checker().Check({"", mode_}, text, answer);
  return answer.Take();
}

void IspellSession::SwitchMode(std::string_view line) {
  if (line.front() == '-') {
    mode_ = options_mode_;
    return;
  }
  // `+` alone is TeX, as ispell-family programs take it; a mode is also named as --mode names it.
  std::string_view name = line.substr(1);
  name.remove_prefix(std::min(name.size(), name.find_first_not_of(" \t")));
  name = name.substr(0, name.find_last_not_of(" \t") + 1);
  if (name.empty()) name = "tex";
  if (const auto mode = ModeNamed(name)) {
    mode_ = *mode;
  } else {
    warning_ = "the + request names no mode: " + Printable(name) + "; the mode stays " +
               std::string(NameOf(mode_));
  }
}

void IspellSession::Save() {
  const std::vector<std::u16string>& added = session_.added_words();
  try {
    checker_.custom_file().AddWords(
        {added.begin() + static_cast<std::ptrdiff_t>(saved_words_), added.end()});
    saved_words_ = added.size();
  } catch (const CommandError& error) {
    warning_ = std::string(error.what()) + "; the file was left as it was";
  }
}

std::string IspellSession::Answer(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  if (line.empty()) return "\n";
  switch (line.front()) {
    case '*':
    case '&':
    case '@': {
      // A request without a word is ignored; one whose word cannot be an entry is refused.
      const std::u16string given = RequestWord(line);
      if (given.empty()) return {};
      const GivenWord read = ReadGivenWord(given);
      if (!read.taken()) {
        warning_ = std::string("the ") + line.front() + " request was refused: " + read.refusal;
      } else if (line.front() == '@') {
        session_.AcceptForSession(read.word);
      } else {
        session_.AddToCustom(line.front() == '&' ? FoldCase(read.word) : read.word);
      }
      return {};
    }
    case '#':
      Save();
      return {};
    case '!':
      terse_ = true;
      return {};
    case '%':
      terse_ = false;
      return {};
    case '+':
    case '-':
      SwitchMode(line);
      return {};
    // ispell's extended character modes (~tex, ~nroff) name the characters' spelling in its
    // dictionaries; ours reads UTF-8 and the filters decode the rest.
    case '~':
      return {};
    case '$':
      // $$ requests (a stored replacement, configuration) are accepted and have no effect.
      if (line.starts_with("$$")) return {};
      break;
    default:
      break;
  }
  // `^` and `$` are no word characters: the line is checked whole, so offsets count them.
  return Check(line);
}

}  // namespace lexivane::frontend::ispell
