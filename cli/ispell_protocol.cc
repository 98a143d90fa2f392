#include "cli/ispell_protocol.h"

#include <unicode/ustring.h>

#include <utility>

#include "cli/running_words.h"
#include "lexivane/utf8.h"
#include "lexivane/version.h"

namespace lexivane::cli {

namespace {

// More distinct misspellings than this in one session start the memory of suggestions afresh,
// so that a client sending endless garbage cannot grow it without bound.
constexpr std::size_t kRememberedWords = 4096;

bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// Turns UTF-16 offsets, visited in increasing order, into counts of characters.
class CharacterCounter {
 public:
  explicit CharacterCounter(std::u16string_view text) : text_(text) {}
  std::size_t At(std::size_t offset) {
    for (; unit_ < offset; ++unit_) {
      if (!IsLowSurrogate(text_[unit_])) ++characters_;
    }
    return characters_;
  }

 private:
  std::u16string_view text_;
  std::size_t unit_ = 0;
  std::size_t characters_ = 0;
};

// The word of a request line (`*word`): the rest of the line without surrounding blanks.
std::u16string RequestWord(std::string_view line) {
  line.remove_prefix(1);
  const auto first = line.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = line.find_last_not_of(" \t\r");
  return FromUtf8(line.substr(first, last - first + 1));
}

}  // namespace

std::string IspellBanner() {
  // Editors give UTF-8 and their full word characters only to the spell checkers they know by
  // name. Enchant's conversation is the one ours is: UTF-8 always, word characters and
  // dictionaries asked of the program itself (-word-chars, -list-dicts).
  return std::string(
             "@(#) International Ispell Version 3.1.20 (but really Enchant 2.3.3) lexivane ") +
         Version();
}

std::u16string LowerCase(std::u16string_view word) {
  std::u16string lower(word.size() + 8, u'\0');
  for (;;) {
    UErrorCode status = U_ZERO_ERROR;
    // The root locale: the words are English, and a Turkish user's dotless i must not change
    // what is accepted.
    const int32_t length =
        u_strToLower(lower.data(), static_cast<int32_t>(lower.size()), word.data(),
                     static_cast<int32_t>(word.size()), "", &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
      lower.resize(static_cast<std::size_t>(length));
      continue;
    }
    if (U_FAILURE(status)) return std::u16string(word);
    lower.resize(static_cast<std::size_t>(length));
    return lower;
  }
}

IspellSession::IspellSession(SpellCheck& engine, std::optional<std::string> personal_file)
    : engine_(engine), personal_file_(std::move(personal_file)), verdicts_(std::in_place, engine) {}

std::optional<std::string> IspellSession::TakeWarning() {
  return std::exchange(warning_, {});
}

bool IspellSession::Accepted(const std::u16string& word) {
  return verdicts_->Accepts(word) ||
         (!session_words_.empty() && session_words_.contains(LowerCase(word)));
}

const std::vector<std::u16string>& IspellSession::Suggestions(const std::u16string& word) {
  if (const auto known = suggestions_.find(word); known != suggestions_.end()) {
    return known->second;
  }
  if (suggestions_.size() >= kRememberedWords) suggestions_.clear();
  return suggestions_.emplace(word, ShownSuggestions(engine_, word, kShownSuggestionsMax))
      .first->second;
}

void IspellSession::Forget() {
  suggestions_.clear();
}

std::string IspellSession::Check(std::string_view line) {
  const std::u16string text = FromUtf8(line);
  CharacterCounter characters(text);
  std::string out;
  ForEachRunningWord(text, [&](const RunningWord& found) {
    if (Accepted(found.word)) {
      if (!terse_) out += "*\n";
      return;
    }
    const std::string as_written =
        ToUtf8(std::u16string_view(text).substr(found.offset, found.length));
    const std::string offset = std::to_string(characters.At(found.offset));
    const std::vector<std::u16string>& suggestions = Suggestions(found.word);
    if (suggestions.empty()) {
      out += "# " + as_written + ' ' + offset + '\n';
      return;
    }
    out += "& " + as_written + ' ' + std::to_string(suggestions.size()) + ' ' + offset + ':';
    for (std::size_t i = 0; i < suggestions.size(); ++i) {
      out += (i == 0 ? " " : ", ") + ToUtf8(suggestions[i]);
    }
    out += '\n';
  });
  return out + '\n';
}

void IspellSession::Save() {
  const std::string file = personal_file_.value_or(ToUtf8(DefaultCustomDictionaryPath()));
  try {
    // The default file is saved by leaving the name empty, which creates its folder.
    engine_.SaveCustom(personal_file_ ? FromUtf8(*personal_file_) : std::u16string());
  } catch (const Error& error) {
    warning_ = file + ": cannot save the personal dictionary: " + error.what() +
               "; the file was left as it was";
  }
}

std::string IspellSession::Answer(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  if (line.empty()) return "\n";
  switch (line.front()) {
    case '*':
    case '&': {
      std::u16string word = RequestWord(line);
      if (word.empty()) return {};
      engine_.AddToCustom(line.front() == '&' ? LowerCase(word) : word);
      Forget();
      return {};
    }
    case '@': {
      const std::u16string word = RequestWord(line);
      if (!word.empty()) session_words_.insert(LowerCase(word));
      Forget();
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
    // Filter modes (+ -) and ispell's ~ name formats that are not ours: the text is read as
    // plain text whatever they say.
    case '+':
    case '-':
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

}  // namespace lexivane::cli
