// The result is built by appending. Everything before the current search start is final: later
// searches start further right, and the whole-word test of an occurrence there looks back at
// most one unit, which is always the last unit appended. What is not final is always the
// inserted replacement less its first unit, followed by the rest of the original text. So no
// string is spliced, and the original text is lower-cased once, window by window, together
// with Find and Replace, for all the comparisons.
//
// Occurrences that start inside the pending part of the replacement are found by looking only
// at the replacement (worked out once per call) and at the first few units of the rest of the
// text; occurrences further right are found in the lower-cased original.

#include "textcheck/replace_word.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace lexivane {
namespace {

constexpr std::size_t kNone = std::u16string_view::npos;

bool IsLeadSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsTrailSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// A neighbour of an occurrence: a code unit, or kTextEdge before the start or after the end.
using Neighbour = int;
constexpr Neighbour kTextEdge = -1;

bool IsBoundary(Neighbour unit) {
  return unit == kTextEdge || !IsReplaceWordCharacter(static_cast<char16_t>(unit));
}

// A text and the lower-case form of a window of it. The window slides forward with the search
// and reuses its storage: lowering a long text whole would touch as much fresh memory again as
// the result does. Its edges never cut a surrogate pair, so each window maps exactly as the
// whole text would.
class LoweredText {
 public:
  explicit LoweredText(std::u16string_view text) : text_(text) {}

  std::u16string_view text() const { return text_; }

  // The lower-case form of text[j, j + length), which must lie within the text. The pointer
  // holds until the next call.
  const char16_t* LowerAt(std::size_t j, std::size_t length) {
    if (j < start_ || j + length > window_end()) Slide(j, length);
    return lower_.data() + (j - start_);
  }

  std::size_t window_end() const { return start_ + lower_.size(); }

 private:
  static constexpr std::size_t kWindow = std::size_t{1} << 16;

  bool CutsPair(std::size_t k) const {
    return k > 0 && k < text_.size() && IsLeadSurrogate(text_[k - 1]) && IsTrailSurrogate(text_[k]);
  }

  void Slide(std::size_t j, std::size_t length) {
    std::size_t begin = j;
    std::size_t end = std::min(text_.size(), j + std::max(length, kWindow));
    if (CutsPair(begin)) --begin;
    if (CutsPair(end)) ++end;
    platform::ToLower(text_.substr(begin, end - begin), lower_);
    start_ = begin;
  }

  std::u16string_view text_;
  std::size_t start_ = 0;
  std::u16string lower_;
};

// True when text[j, j + lower_part.size()), lower-cased on its own, equals `lower_part`.
//
// The slice of the whole text's lower-case form is that substring's own lower-case form except
// where the cut splits a surrogate pair: on its own, the cut half is unpaired and keeps its
// case, while in the whole text it was mapped with its partner. Such a half is compared as it
// stands; the unit next to it inside the substring is never a trail that the whole text
// paired differently, so the rest of the slice is exact.
bool MatchesAt(LoweredText& source, std::size_t j, std::u16string_view lower_part) {
  const std::u16string_view text = source.text();
  if (lower_part.empty()) return true;
  const char16_t* lower = source.LowerAt(j, lower_part.size());
  std::size_t begin = j;
  std::size_t end = j + lower_part.size();
  if (begin > 0 && IsLeadSurrogate(text[begin - 1]) && IsTrailSurrogate(text[begin])) {
    if (text[begin] != lower_part.front()) return false;
    ++begin;
    lower_part.remove_prefix(1);
  }
  // A start that was cut is a trail, so an end cut (a lead) never falls on the same unit.
  if (end < text.size() && IsLeadSurrogate(text[end - 1]) && IsTrailSurrogate(text[end])) {
    if (text[end - 1] != lower_part.back()) return false;
    --end;
    lower_part.remove_suffix(1);
  }
  return std::equal(lower + (begin - j), lower + (end - j), lower_part.begin());
}

// What the replacement offers to the search that resumes one unit after its start: the
// occurrences of Find lying wholly inside it, and the starts from which Find could run on into
// the text that follows it. Worked out once per call, since the replacement never changes.
class ReplacementSearch {
 public:
  ReplacementSearch(std::u16string_view replace, std::u16string_view find,
                    std::u16string_view lower_find)
      : replace_(replace), find_(find), lower_find_(lower_find) {
    LoweredText lowered(replace);
    const std::size_t r_size = replace.size();
    const std::size_t f_size = find.size();
    // Occurrences wholly inside, starting at 1 or later. The unit after the replacement is
    // always the one that followed the occurrence it replaced, which bounds a word, so one
    // that ends with the replacement is whole when its start is.
    for (std::size_t r = 1; r + f_size <= r_size && !whole_inside_; ++r) {
      whole_inside_ = IsBoundary(replace[r - 1]) &&
                      (r + f_size == r_size || IsBoundary(replace[r + f_size])) &&
                      MatchesAt(lowered, r, lower_find);
    }
    // Starts from which Find runs on past the end: kept when the part inside can begin Find.
    // Where a lead ends the replacement, it may pair with the unit after it, and a trail
    // opening the candidate is unpaired there, so the lowered replacement says nothing.
    const bool junction_may_pair = r_size > 0 && IsLeadSurrogate(replace.back());
    for (std::size_t r = std::max<std::size_t>(1, r_size + 1 - std::min(r_size, f_size));
         r < r_size; ++r) {
      if (!IsBoundary(replace[r - 1])) continue;
      if (junction_may_pair || IsTrailSurrogate(replace[r])) {
        running_on_.push_back({r, false});
        continue;
      }
      const char16_t* lower = lowered.LowerAt(r, r_size - r);
      if (std::equal(lower, lower + (r_size - r), lower_find.begin())) {
        running_on_.push_back({r, true});
      }
    }
  }

  // Whether a whole occurrence lies wholly inside the replacement, after its first unit.
  bool HasWholeInside() const { return whole_inside_; }

  // The first start r (1 or later) inside the replacement of a whole occurrence that runs on
  // into text[rest, ...), or kNone.
  std::size_t FindRunningOn(LoweredText& text, std::size_t rest) const {
    const std::u16string_view original = text.text();
    for (const Start& start : running_on_) {
      const std::size_t inside = replace_.size() - start.r;
      const std::size_t outside = find_.size() - inside;
      if (original.size() - rest < outside) continue;
      const std::size_t end = rest + outside;
      if (!IsBoundary(end < original.size() ? original[end] : kTextEdge)) {
        continue;
      }
      if (start.inside_matches) {
        // The candidate's lower-case form is the two pieces' own lower-case forms side by
        // side: no pair spans the junction, and the piece inside has been compared already.
        if (MatchesAt(text, rest, lower_find_.substr(inside))) return start.r;
      } else {
        std::u16string candidate(replace_.substr(start.r));
        candidate.append(original.substr(rest, outside));
        if (platform::EqualIgnoringCase(candidate, find_)) return start.r;
      }
    }
    return kNone;
  }

 private:
  struct Start {
    std::size_t r;
    // False where the part inside could not be compared on its own; the whole candidate is
    // then compared as it stands.
    bool inside_matches;
  };

  std::u16string_view replace_;
  std::u16string_view find_;
  std::u16string_view lower_find_;
  bool whole_inside_ = false;
  std::vector<Start> running_on_;
};

// The first j >= from where a whole occurrence of Find lies wholly in the text; `before` is the
// unit that precedes text[from] in the text as changed so far.
std::size_t FindWholeInText(LoweredText& text, std::u16string_view lower_find, std::size_t from,
                            Neighbour before) {
  const std::u16string_view original = text.text();
  const std::size_t size = lower_find.size();
  if (from > original.size() || original.size() - from < size) return kNone;
  const std::size_t last = original.size() - size;
  const char16_t first = lower_find.front();
  // A substring whose first unit is a trail cut from its pair starts with that trail as it
  // stands, not lowered: then the text itself has to be looked at as well.
  const bool cut_trail_may_start = IsTrailSurrogate(first);
  for (std::size_t j = from; j <= last;) {
    // Look for the first unit of Find as far as whole candidates lie in the lowered window.
    const char16_t* lower = text.LowerAt(j, size);
    const std::size_t scan_end = std::min(last + 1, text.window_end() - size + 1);
    std::size_t k = j;
    if (cut_trail_may_start) {
      while (k < scan_end && lower[k - j] != first && original[k] != first) ++k;
    } else {
      const char16_t* hit = std::char_traits<char16_t>::find(lower, scan_end - j, first);
      k = hit ? j + static_cast<std::size_t>(hit - lower) : scan_end;
    }
    if (k == scan_end) {
      j = scan_end;
      continue;
    }
    j = k;
    if (IsBoundary(j == from ? before : original[j - 1]) &&
        IsBoundary(j + size < original.size() ? original[j + size] : kTextEdge) &&
        MatchesAt(text, j, lower_find)) {
      return j;
    }
    ++j;
  }
  return kNone;
}

std::array<bool, 0x10000> MakeWordCharacterTable() {
  std::u16string every_unit(0x10000, u'\0');
  for (std::size_t i = 0; i < every_unit.size(); ++i) every_unit[i] = static_cast<char16_t>(i);
  const std::string bytes = platform::ToSingleByte(every_unit);
  std::array<bool, 0x10000> table{};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const unsigned byte = static_cast<unsigned char>(bytes[i]);
    // Setting bit 0x20 folds the capitals onto the small letters, and also the underscore
    // onto DEL and the controls 0x10 to 0x19 onto the digits, which therefore count too.
    const unsigned folded = byte | 0x20;
    table[i] = byte < 0x80 && ((folded >= 0x61 && folded <= 0x7A) ||
                               (folded >= 0x30 && folded <= 0x39) || folded == 0x7F);
  }
  return table;
}

// The result as a sink sees it: the string itself, or only its length.
struct ResultWriter {
  void Append(std::u16string_view units) { out.append(units); }
  std::u16string out;
};
struct ResultMeasurer {
  void Append(std::u16string_view units) { size += units.size(); }
  std::size_t size = 0;
};

// Feeds the result to `sink` from left to right, each unit once.
template <typename Sink>
void Replace(std::u16string_view text, std::u16string_view find, std::u16string_view replace,
             std::u16string_view lower_find, const ReplacementSearch& in_replacement, Sink& sink) {
  LoweredText original(text);
  std::size_t rest = 0;  // the original text from here on is not yet final
  // Whether replace[1, ...) is still open to the search, between the final part and the rest.
  bool pending = false;
  Neighbour last_final = kTextEdge;

  auto emit = [&](std::u16string_view units) {
    if (units.empty()) return;
    sink.Append(units);
    last_final = units.back();
  };
  // Replaces the occurrence that ends at text[end] and moves past the first unit of the text
  // that now starts there: the next search starts one unit after the replacement's start.
  auto insert_replacement = [&](std::size_t end) {
    if (!replace.empty()) {
      emit(replace.substr(0, 1));
      pending = replace.size() > 1;
      rest = end;
    } else if (end < text.size()) {
      emit(text.substr(end, 1));
      rest = end + 1;
    } else {
      rest = end;
    }
  };

  for (;;) {
    if (pending) {
      if (in_replacement.HasWholeInside()) {
        // Replacing it would insert the same replacement again with the same occurrence in
        // it, without end: go on after the replacement instead.
        emit(replace.substr(1));
        pending = false;
      } else if (const std::size_t r = in_replacement.FindRunningOn(original, rest); r != kNone) {
        emit(replace.substr(1, r - 1));
        pending = false;
        insert_replacement(rest + find.size() - (replace.size() - r));
        continue;
      }
    }
    const Neighbour before = pending ? replace.back() : last_final;
    const std::size_t j = FindWholeInText(original, lower_find, rest, before);
    if (pending) emit(replace.substr(1));
    pending = false;
    if (j == kNone) {
      emit(text.substr(rest));
      return;
    }
    emit(text.substr(rest, j - rest));
    insert_replacement(j + find.size());
  }
}

}  // namespace

bool IsReplaceWordCharacter(char16_t c) {
  static const std::array<bool, 0x10000> table = MakeWordCharacterTable();
  return table[c];
}

std::u16string ReplaceWord(std::u16string_view text, std::u16string_view find,
                           std::u16string_view replace) {
  if (find.empty() || text.size() < find.size()) return std::u16string(text);

  const std::u16string lower_find = platform::ToLower(find);
  const ReplacementSearch in_replacement(replace, find, lower_find);
  ResultWriter writer;
  if (replace.size() > find.size()) {
    // The result may outgrow the text. Measuring it first costs a second search, but growing
    // a long string copies it into fresh memory, which costs more.
    ResultMeasurer measurer;
    Replace(text, find, replace, lower_find, in_replacement, measurer);
    writer.out.reserve(measurer.size);
  } else {
    writer.out.reserve(text.size());
  }
  Replace(text, find, replace, lower_find, in_replacement, writer);
  return std::move(writer.out);
}

}  // namespace lexivane
