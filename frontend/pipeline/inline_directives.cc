#include "frontend/pipeline/inline_directives.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <type_traits>
#include <utility>

#include "frontend/modes/find_units.h"
#include "lexivane/letter_case.h"
#include "lexivane/utf8.h"
#include "support/ascii.h"

namespace lexivane::frontend {

namespace {

using Command = InlineDirectives::Command;

struct Prefix {
  std::string_view name;
  bool any_case;
  bool line_ignore_only;  // codespell's one command: `ignore`, for its line
};
constexpr Prefix kPrefixes[] = {{"lexivane", false, false},
                                {"cspell", true, false},
                                {"spellchecker", true, false},
                                {"spell-checker", true, false},
                                {"codespell", false, true}};

struct CommandName {
  std::string_view name;
  Command command;
};
// The longer of two names that start alike first.
constexpr CommandName kCommands[] = {{"ignore", Command::kWords},
                                     {"words", Command::kWords},
                                     {"disable-next-line", Command::kDisableNextLine},
                                     {"disable-line", Command::kDisableLine},
                                     {"disable", Command::kDisable},
                                     {"enable", Command::kEnable}};

template <typename Char>
bool IsNameUnit(Char c) {
  return support::IsAsciiAlnum(c) || c == Char{'_'} || c == Char{'-'};
}
// What may not stand just before a prefix: a `-` may, as in `<!--cspell:ignore ...`.
template <typename Char>
bool JoinsPrefix(Char c) {
  return support::IsAsciiAlnum(c) || c == Char{'_'};
}
// Units outside ASCII are taken as letters: a word of a directive may be "naïve".
template <typename Char>
bool IsWordUnit(Char c) {
  return IsNameUnit(c) || c == Char{'\''} || static_cast<std::make_unsigned_t<Char>>(c) >= 0x80;
}
template <typename Char>
bool StartsWord(Char c) {
  return IsWordUnit(c) && c != Char{'-'} && c != Char{'\''};
}

// Whether text[at, at + name.size()) is `name`, in lower case or, with `any_case`, in any case.
template <typename Char>
bool HasName(std::basic_string_view<Char> text, std::size_t at, std::string_view name,
             bool any_case) {
  if (at + name.size() > text.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const Char c = text[at + i];
    if (c != Char(name[i]) &&
        !(any_case && support::IsAsciiUpper(c) && static_cast<char>(c - 'A' + 'a') == name[i])) {
      return false;
    }
  }
  return true;
}

std::string Folded(std::u16string_view word) {
  return ToUtf8(FoldCase(word));
}
std::string Folded(std::string_view word) {
  return ToUtf8(FoldCase(FromUtf8(word)));
}

template <typename Char>
bool IsLineBreak(Char c) {
  return c == Char{'\n'} || c == Char{'\r'};
}
// Where the line after the one that holds text[from] starts; npos when the text ends first. A
// CR at the text's end counts as a line's end.
template <typename Char>
std::size_t NextLineStart(std::basic_string_view<Char> text, std::size_t from) {
  for (std::size_t i = from; i < text.size(); ++i) {
    if (text[i] == Char{'\n'}) return i + 1;
    if (text[i] == Char{'\r'}) {
      return i + 1 < text.size() && text[i + 1] == Char{'\n'} ? i + 2 : i + 1;
    }
  }
  return std::basic_string_view<Char>::npos;
}
template <typename Char>
std::size_t LineStart(std::basic_string_view<Char> text, std::size_t at) {
  while (at > 0 && !IsLineBreak(text[at - 1])) --at;
  return at;
}

template <typename Char>
std::size_t FindColon(std::basic_string_view<Char> text, std::size_t from) {
  if constexpr (sizeof(Char) == 1) {
    const void* found = std::memchr(text.data() + from, ':', text.size() - from);
    return found == nullptr
               ? text.size()
               : static_cast<std::size_t>(static_cast<const Char*>(found) - text.data());
  } else {
    return FindAnyOf(text, from, u':');
  }
}

}  // namespace

void InlineDirectives::Read(std::u16string_view text, std::size_t start) {
  ReadText(text, start);
}
void InlineDirectives::Read(std::string_view text, std::size_t start) {
  ReadText(text, start);
}

template <typename Char>
void InlineDirectives::CoverToLineEnd(std::basic_string_view<Char> text, std::size_t start,
                                      std::size_t begin, std::size_t from) {
  const std::size_t next = NextLineStart(text, from);
  if (next != text.npos) {
    ranges_.push_back({begin, start + next});
  } else {
    open_line_from_ = std::min(open_line_from_.value_or(begin), begin);
  }
}

template <typename Char>
std::optional<InlineDirectives::Directive> InlineDirectives::DirectiveAt(
    std::basic_string_view<Char> text, std::size_t colon) {
  for (const Prefix& prefix : kPrefixes) {
    if (colon < prefix.name.size()) continue;
    const std::size_t at = colon - prefix.name.size();
    if (!HasName(text, at, prefix.name, prefix.any_case)) continue;
    if (at > 0 && JoinsPrefix(text[at - 1])) return std::nullopt;
    std::size_t i = colon + 1;
    while (i < text.size() && (text[i] == Char{' '} || text[i] == Char{'\t'})) ++i;
    const auto command =
        std::find_if(std::begin(kCommands), std::end(kCommands), [&](const CommandName& name) {
          const std::size_t end = i + name.name.size();
          return HasName(text, i, name.name, false) &&
                 (end == text.size() || !IsNameUnit(text[end]));
        });
    if (command == std::end(kCommands) ||
        (prefix.line_ignore_only && command->command != Command::kWords)) {
      return std::nullopt;
    }
    Directive directive{command->command, prefix.line_ignore_only, at, i + command->name.size()};
    if (directive.command != Command::kWords) return directive;
    // Words separated by blanks or commas, up to anything else; codespell's, after blanks, by
    // commas alone.
    const auto blank = [](Char c) { return c == Char{' '} || c == Char{'\t'}; };
    for (std::size_t j = directive.end;;) {
      const bool blanks = !prefix.line_ignore_only || directive.words.empty();
      while (j < text.size() && ((blanks && blank(text[j])) || text[j] == Char{','})) ++j;
      if (j == text.size() || !StartsWord(text[j])) break;
      std::size_t end = j;
      while (end < text.size() && IsWordUnit(text[end])) ++end;
      directive.end = end;
      while (text[directive.end - 1] == Char{'-'} || text[directive.end - 1] == Char{'\''}) {
        --directive.end;
      }
      directive.words.push_back(Folded(text.substr(j, directive.end - j)));
      j = end;
    }
    if (prefix.line_ignore_only && directive.words.empty()) {
      directive.command = Command::kIgnoreLine;
    }
    return directive;
  }
  return std::nullopt;
}

template <typename Char>
void InlineDirectives::ReadText(std::basic_string_view<Char> text, std::size_t start) {
  // What a piece before left to the end of a line read now.
  const bool line_words_open = !line_words_.empty() && line_words_.back().line.end == kOpen;
  if (const std::size_t first_next_line = open_line_from_ || line_words_open || next_line_pending_
                                              ? NextLineStart(text, 0)
                                              : text.npos;
      first_next_line != text.npos) {
    if (open_line_from_) {
      ranges_.push_back({*std::exchange(open_line_from_, {}), start + first_next_line});
    }
    if (line_words_open) line_words_.back().line.end = start + first_next_line;
    if (std::exchange(next_line_pending_, false)) {
      CoverToLineEnd(text, start, start + first_next_line, first_next_line);
    }
  }
  for (std::size_t colon = FindColon(text, 0); colon < text.size();
       colon = FindColon(text, colon + 1)) {
    if (const auto directive = DirectiveAt(text, colon)) Apply(*directive, text, start);
  }
  std::sort(ranges_.begin(), ranges_.end(),
            [](const Range& a, const Range& b) { return a.begin < b.begin; });
  std::vector<Range> merged;
  for (const Range& range : ranges_) {
    if (!merged.empty() && range.begin <= merged.back().end) {
      merged.back().end = std::max(merged.back().end, range.end);
    } else {
      merged.push_back(range);
    }
  }
  ranges_ = std::move(merged);
  std::sort(words_.begin(), words_.end());
  words_.erase(std::unique(words_.begin(), words_.end()), words_.end());
}

template <typename Char>
void InlineDirectives::Apply(const Directive& directive, std::basic_string_view<Char> text,
                             std::size_t start) {
  ranges_.push_back({start + directive.begin, start + directive.end});  // never checked
  const std::size_t line = LineStart(text, directive.begin);
  switch (directive.command) {
    case Command::kWords:
      if (!directive.on_its_line) {
        words_.insert(words_.end(), directive.words.begin(), directive.words.end());
        break;
      }
      if (line_words_.empty() || line_words_.back().line.begin != start + line) {
        const std::size_t next = NextLineStart(text, directive.begin);
        line_words_.push_back({{start + line, next == text.npos ? kOpen : start + next}, {}});
      }
      line_words_.back().words.insert(line_words_.back().words.end(), directive.words.begin(),
                                      directive.words.end());
      break;
    case Command::kIgnoreLine:
    case Command::kDisableLine:
      CoverToLineEnd(text, start, start + line, directive.begin);
      break;
    case Command::kDisableNextLine:
      if (const std::size_t next = NextLineStart(text, directive.begin); next != text.npos) {
        CoverToLineEnd(text, start, start + next, next);
      } else {
        next_line_pending_ = true;
      }
      break;
    case Command::kDisable:
      if (!disabled_from_) disabled_from_ = start + line;
      break;
    case Command::kEnable:
      if (disabled_from_) {
        CoverToLineEnd(text, start, *std::exchange(disabled_from_, {}), directive.begin);
      }
      break;
  }
}

bool InlineDirectives::Covers(std::size_t offset, std::string_view word) const {
  if ((disabled_from_ && offset >= *disabled_from_) ||
      (open_line_from_ && offset >= *open_line_from_)) {
    return true;
  }
  const auto range = std::upper_bound(ranges_.begin(), ranges_.end(), offset,
                                      [](std::size_t at, const Range& r) { return at < r.begin; });
  if (range != ranges_.begin() && offset < std::prev(range)->end) return true;
  const auto line = std::upper_bound(
      line_words_.begin(), line_words_.end(), offset,
      [](std::size_t at, const LineWords& words) { return at < words.line.begin; });
  const bool on_line = line != line_words_.begin() && offset < std::prev(line)->line.end;
  if (words_.empty() && !on_line) return false;
  const std::string folded = Folded(word);
  if (std::binary_search(words_.begin(), words_.end(), folded)) return true;
  if (!on_line) return false;
  const std::vector<std::string>& line_words = std::prev(line)->words;
  return std::find(line_words.begin(), line_words.end(), folded) != line_words.end();
}

}  // namespace lexivane::frontend
