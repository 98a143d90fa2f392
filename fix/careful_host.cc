#include "fix/careful_host.h"

#include <algorithm>
#include <functional>
#include <numeric>
#include <stdexcept>
#include <utility>

#include "frontend/words/word_characters.h"
#include "lexivane/letter_case.h"
#include "lexivane/utf8.h"
#include "support/ascii.h"
#include "support/utf16.h"

namespace lexivane::frontend::fix {

namespace {

constexpr std::size_t kNone = std::u16string::npos;

// A letter, mark, digit or connector: part of a word for the word rule of running text, which
// reads more than ASCII. Apostrophes are left to cleaning, which knows where they end a word.
bool JoinsWord(char32_t c) {
  return c != U'\'' && c != U'\u2019' && MayStandInWord(c, PlaceInWord::kInside);
}

using support::CodePointOfPair;
using support::IsLeadSurrogate;
using support::IsTrailSurrogate;

// A word character for ReplaceWord (docs/text-check.md): ASCII only, since every character
// from U+0080 up has a Windows-1252 byte of 0x80 or more, or none.
bool IsReplaceWordCharacter(char16_t c) {
  const char16_t b = c | 0x20;
  return c < 0x80 && ((b >= u'a' && b <= u'z') || (b >= u'0' && b <= u'9') || b == 0x7F);
}

// `chosen` in the place of the word, with what stood before and after it in the token unless
// `chosen` already carries that.
struct Placed {
  std::u16string_view before, after;  // what is to be kept beside `chosen`
};
Placed Place(std::u16string_view before, std::u16string_view chosen, std::u16string_view after) {
  const bool carries_before = chosen.starts_with(before);
  if (carries_before) chosen.remove_prefix(before.size());
  return {carries_before ? std::u16string_view() : before,
          chosen.ends_with(after) ? std::u16string_view() : after};
}

}  // namespace

// Cleaning in the word check's own order, on the same lower-cased form; every character from
// U+0080 up is a mark to it. The word is the last unbroken stretch of what cleaning keeps:
// cleaning only skips characters before the first letter, and then only digits come before.
WordSpan WordInToken(std::u16string_view token) {
  const WordSpan all{0, token.size()};
  const std::u16string folded = FoldCase(token);
  if (std::all_of(folded.begin(), folded.end(),
                  [](char16_t c) { return c >= 0x40 && c <= 0x7B; })) {
    return all;  // looked up as it stands
  }
  std::size_t start = kNone, end = 0;
  int counted = 0;
  bool kept_any = false;
  for (std::size_t i = 0; i < folded.size(); ++i) {
    const char16_t c = folded[i];
    bool keep = false;
    if (support::IsAsciiLetter(c) || c == u' ' || (c == u'\'' && kept_any)) {
      keep = true;
      ++counted;
    } else if (c == u'-') {
      keep = counted > 0;
    } else if (support::IsAsciiDigit(c)) {
      keep = true;
    } else if (counted > 0) {
      break;
    }
    if (!keep) {
      start = kNone;
      continue;
    }
    if (start == kNone) start = i;
    end = i + 1;
    kept_any = true;
  }
  if (counted < 2 || start == kNone) return all;
  if (folded[end - 1] == u'-' || folded[end - 1] == u'\'') {
    --end;
  } else if (end - start >= 2 && folded.compare(end - 2, 2, u"'s") == 0) {
    end -= 2;
  }
  if (end <= start) return all;
  while (start > 0) {
    const bool pair =
        start >= 2 && IsTrailSurrogate(token[start - 1]) && IsLeadSurrogate(token[start - 2]);
    if (!JoinsWord(pair ? CodePointOfPair(token[start - 2], token[start - 1]) : token[start - 1]))
      break;
    start -= pair ? 2 : 1;
  }
  while (end < token.size()) {
    const bool pair =
        end + 1 < token.size() && IsLeadSurrogate(token[end]) && IsTrailSurrogate(token[end + 1]);
    if (!JoinsWord(pair ? CodePointOfPair(token[end], token[end + 1]) : token[end])) break;
    end += pair ? 2 : 1;
  }
  return {start, end};
}

CarefulHost::CarefulHost(const SpellCheck& engine, std::u16string text)
    : CarefulHost(engine, text, text) {}

CarefulHost::CarefulHost(const SpellCheck& engine, std::u16string checked, std::u16string document)
    : engine_(engine),
      working_(std::move(checked)),
      document_(std::move(document)),
      origins_(working_.size()) {
  if (document_.size() != working_.size()) {
    throw std::logic_error("the document and its checked text differ in length");
  }
  std::iota(origins_.begin(), origins_.end(), std::uint32_t{0});
}

void CarefulHost::SpellReplace(std::u16string_view sOriginalWord,
                               std::u16string_view sReplacementWord, std::int32_t lPosStart,
                               std::vector<std::u16string>&) {
  const auto position = static_cast<std::size_t>(lPosStart);
  const std::size_t end = position + sOriginalWord.size();
  if (lPosStart < 0 || working_.compare(position, sOriginalWord.size(), sOriginalWord) != 0) {
    throw std::logic_error("the run changed \"" + ToUtf8(sOriginalWord) + "\" at " +
                           std::to_string(lPosStart) + ", where the text holds something else");
  }
  // The run only moves forward, so every Change lies after the ones before it.
  if (std::any_of(edits_.begin(), edits_.end(), [&](const Edit& edit) {
        return edit.length > 0 && edit.position + edit.length > position;
      })) {
    throw std::logic_error("the run changed \"" + ToUtf8(sOriginalWord) + "\" at " +
                           std::to_string(lPosStart) + ", inside an earlier change");
  }
  // The token as the result holds it: text kept beside an earlier replacement inside it counts.
  const auto first = std::find_if(edits_.begin(), edits_.end(),
                                  [&](const Edit& edit) { return edit.position > position; });
  const auto last =
      std::find_if(first, edits_.end(), [&](const Edit& edit) { return edit.position >= end; });
  std::u16string token;
  std::size_t copied = position;
  for (auto edit = first; edit != last; ++edit) {
    token.append(working_, copied, edit->position - copied).append(edit->text);
    copied = edit->position;
  }
  token.append(working_, copied, end - copied);

  const WordSpan word = WordInToken(token);
  const std::u16string_view view(token);
  const Placed placed = Place(view.substr(0, word.start), sReplacementWord, view.substr(word.end));
  std::u16string text(placed.before);
  text.append(sReplacementWord).append(placed.after);
  if (text == token) return;  // the same text: nothing changes
  const auto at = edits_.erase(first, last);
  edits_.insert(at, {position, sOriginalWord.size(), std::move(text)});
  ++words_changed_;
}

// ReplaceWord over one stretch of W between the edits of the person's Changes, made the way the
// run makes it (docs/text-check.md: whole words in any letter case, from left to right, each
// search after a replacement starting one unit into it, and starting after it when the
// occurrence found lies wholly inside it), noting where each replacement lands. So the rest of
// each token replaced is kept beside the replacement, and text kept beside earlier replacements
// moves with the text around it: one inside a replaced occurrence ends up before the
// replacement when it stood before its word, after it otherwise, so that nothing is lost.
class CarefulHost::ChangeAll {
 public:
  ChangeAll(std::u16string_view find, std::u16string_view replacement)
      : find_(find),
        replacement_(replacement),
        folded_find_(FoldCase(find)),
        folded_replacement_(FoldCase(replacement)),
        searcher_(folded_find_.begin(), folded_find_.end()) {}

  // Replaces in `in`, whose text kept beside words is `kept` (positions relative to `in`) and
  // whose units came from `in_origins`. Appends the result to `out`, where its units came from
  // to `out_origins`, and the kept text, moved, to `edits`; answers how many occurrences were
  // replaced.
  std::size_t Apply(std::u16string_view in, const std::uint32_t* in_origins,
                    const std::vector<Edit>& kept, std::u16string& out,
                    std::vector<std::uint32_t>& out_origins, std::vector<Edit>& edits) {
    in_ = in;
    in_origins_ = in_origins;
    folded_in_ = FoldCase(in);
    out_.clear();
    out_origins_.clear();
    placed_.clear();
    next_in_ = 0;
    std::size_t kept_done = 0;
    std::size_t replaced = 0;
    // The text being searched is out_ followed by in_[next_in_..]; positions count in it.
    for (std::size_t at = FindInInput(0); at != kNone; ++replaced) {
      std::u16string found;
      for (std::size_t i = 0; i < find_.size(); ++i) found += Unit(at + i);
      std::vector<Edit> inside_before, inside_after;
      if (at < out_.size()) {
        // It begins inside the replacement before it: what was placed after that moves along.
        std::vector<Edit> moved;
        while (!placed_.empty() && placed_.back().position > at) {
          moved.insert(moved.begin(), std::move(placed_.back()));
          placed_.pop_back();
        }
        for (Edit& edit : moved) {
          (edit.before_word ? inside_before : inside_after).push_back(std::move(edit));
        }
        next_in_ += at + find_.size() - out_.size();
        out_.resize(at);
        out_origins_.resize(at);
      } else {
        const std::size_t start = next_in_ + at - out_.size();
        for (; kept_done < kept.size() && kept[kept_done].position <= start; ++kept_done) {
          Copy(kept[kept_done].position);
          placed_.push_back(kept[kept_done]);
          placed_.back().position = out_.size();
        }
        Copy(start);
        next_in_ = start + find_.size();
      }
      for (; kept_done < kept.size() && kept[kept_done].position < next_in_; ++kept_done) {
        (kept[kept_done].before_word ? inside_before : inside_after).push_back(kept[kept_done]);
      }
      const WordSpan word = WordInToken(found);
      const std::u16string_view view(found);
      const Placed placed = Place(view.substr(0, word.start), replacement_, view.substr(word.end));
      if (!placed.before.empty()) {
        placed_.push_back({at, 0, std::u16string(placed.before), true});
      }
      for (Edit& edit : inside_before) placed_.push_back({at, 0, std::move(edit.text), true});
      out_ += replacement_;
      out_origins_.resize(out_.size(), kNew);
      for (Edit& edit : inside_after) {
        placed_.push_back({out_.size(), 0, std::move(edit.text), false});
      }
      if (!placed.after.empty()) {
        placed_.push_back({out_.size(), 0, std::u16string(placed.after), false});
      }
      std::size_t next = FindAfterReplacement(at);
      // Wholly inside the replacement, it would be replaced by one that holds it again.
      if (next != kNone && next + find_.size() <= at + replacement_.size()) {
        next = FindInInput(next_in_);
      }
      at = next;
    }
    for (; kept_done < kept.size(); ++kept_done) {
      Copy(kept[kept_done].position);
      placed_.push_back(kept[kept_done]);
      placed_.back().position = out_.size();
    }
    Copy(in_.size());
    for (Edit& edit : placed_) {
      edit.position += out.size();
      edits.push_back(std::move(edit));
    }
    out += out_;
    out_origins.insert(out_origins.end(), out_origins_.begin(), out_origins_.end());
    return replaced;
  }

  const std::u16string& last_result() const { return out_; }

 private:
  std::size_t Size() const { return out_.size() + in_.size() - next_in_; }
  char16_t Unit(std::size_t at) const {
    return at < out_.size() ? out_[at] : in_[next_in_ + at - out_.size()];
  }
  bool Whole(std::size_t at) const {
    const std::size_t after = at + find_.size();
    return (at == 0 || !IsReplaceWordCharacter(Unit(at - 1))) &&
           (after >= Size() || !IsReplaceWordCharacter(Unit(after)));
  }
  void Copy(std::size_t to) {
    out_.append(in_.substr(next_in_, to - next_in_));
    out_origins_.insert(out_origins_.end(), in_origins_ + next_in_, in_origins_ + to);
    next_in_ = to;
  }

  // The first whole occurrence that starts at in_[from] or later.
  std::size_t FindInInput(std::size_t from) const {
    if (from > in_.size()) return kNone;
    for (auto it = folded_in_.begin() + static_cast<std::ptrdiff_t>(from);;) {
      it = std::search(it, folded_in_.end(), searcher_);
      if (it == folded_in_.end()) return kNone;
      const std::size_t at =
          out_.size() + static_cast<std::size_t>(it - folded_in_.begin()) - next_in_;
      if (Whole(at)) return at;
      ++it;
    }
  }

  // The first whole occurrence that starts one unit into the replacement at `at` or later.
  std::size_t FindAfterReplacement(std::size_t at) const {
    for (std::size_t start = at + 1; start < out_.size(); ++start) {
      if (start + find_.size() > Size()) break;
      std::size_t i = 0;
      for (; i < find_.size(); ++i) {
        const std::size_t here = start + i;
        const char16_t folded = here < out_.size() ? folded_replacement_[here - at]
                                                   : folded_in_[next_in_ + here - out_.size()];
        if (folded != folded_find_[i]) break;
      }
      if (i == find_.size() && Whole(start)) return start;
    }
    // An empty replacement leaves nothing to step into: the unit after it is skipped instead.
    return FindInInput(next_in_ + (replacement_.empty() ? 1 : 0));
  }

  std::u16string_view find_, replacement_;
  std::u16string folded_find_, folded_replacement_;
  std::boyer_moore_horspool_searcher<std::u16string::const_iterator> searcher_;
  std::u16string_view in_;
  const std::uint32_t* in_origins_ = nullptr;
  std::u16string folded_in_;
  std::u16string out_;
  std::vector<std::uint32_t> out_origins_;
  std::size_t next_in_ = 0;
  std::vector<Edit> placed_;
};

// W is replaced stretch by stretch: those between the Changes' edits, and each such edit's token
// on its own. Every such token starts right after a delimiter of the run (or at the start) and
// ends right before one (or at the end); every delimiter is a word boundary for ReplaceWord too,
// and the word of a Change All never contains one. So no occurrence crosses a cut, and the ends
// of the text that a stretch sees stand where W has boundaries anyway: the stretches give
// exactly ReplaceWord of the whole of W, which is what the run made of its working text. Where
// the Change All replaced (part of) the token of a Change, the Change still wins: the person
// chose it for that very occurrence.
void CarefulHost::SpellChangeAll(std::u16string_view sOriginalWord,
                                 std::u16string_view sReplacementWord, std::int32_t) {
  if (sOriginalWord.empty()) return;  // ReplaceWord changes nothing
  ChangeAll change(sOriginalWord, sReplacementWord);
  std::u16string next;
  next.reserve(working_.size());
  std::vector<std::uint32_t> next_origins;
  next_origins.reserve(working_.size());
  std::vector<Edit> edits;
  std::vector<Edit> kept;  // text kept beside words in the stretch, relative to its start
  std::size_t from = 0;
  const auto change_stretch = [&](std::size_t to) {
    const std::u16string_view stretch(working_.data() + from, to - from);
    words_changed_ +=
        change.Apply(stretch, origins_.data() + from, kept, next, next_origins, edits);
    // The run changed its text with ReplaceWord; a stretch that came out otherwise would put
    // every later choice in the wrong place.
    if (change.last_result() != engine_.ReplaceWord(stretch, sOriginalWord, sReplacementWord)) {
      throw std::logic_error("Change All of \"" + ToUtf8(sOriginalWord) +
                             "\" went otherwise than the run's");
    }
    kept.clear();
  };
  for (Edit& edit : edits_) {
    if (edit.length == 0) {
      kept.push_back(std::move(edit));
      kept.back().position -= from;
      continue;
    }
    change_stretch(edit.position);
    const std::size_t position = next.size();
    next += engine_.ReplaceWord(std::u16string_view(working_).substr(edit.position, edit.length),
                                sOriginalWord, sReplacementWord);
    next_origins.resize(next.size(), kNew);  // under an edit: never part of the result
    edits.push_back({position, next.size() - position, std::move(edit.text)});
    from = edit.position + edit.length;
  }
  change_stretch(working_.size());
  working_ = std::move(next);
  origins_ = std::move(next_origins);
  edits_ = std::move(edits);
}

std::u16string CarefulHost::Result() const {
  std::u16string result;
  result.reserve(working_.size());
  // W's units as the document has them where they came from it.
  const auto append_working = [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
      result += origins_[i] == kNew ? working_[i] : document_[origins_[i]];
    }
  };
  std::size_t from = 0;
  for (const Edit& edit : edits_) {
    append_working(from, edit.position);
    result += edit.text;
    from = edit.position + edit.length;
  }
  append_working(from, working_.size());
  return result;
}

std::size_t CarefulHost::ResultPosition(std::size_t working_position) const {
  std::size_t position = working_position;
  for (const Edit& edit : edits_) {
    // Text kept just before the word stands before it in the result.
    if (edit.length == 0 ? edit.position > working_position : edit.position >= working_position) {
      break;
    }
    if (edit.position + edit.length > working_position) {
      return position - (working_position - edit.position);  // inside: the edit's start
    }
    position = position + edit.text.size() - edit.length;
  }
  return position;
}

}  // namespace lexivane::frontend::fix
