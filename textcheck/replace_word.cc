// The result is built by appending. Everything before the current search start is final: later
// searches start further right, and the whole-word test of an occurrence there looks back at
// most one unit, which is always the last unit appended. What the search looks at is the text
// as changed so far from its start on, which is never built either: the part of the replacement
// just inserted after its first unit (the open part), then the rest of the original text.
//
// Each search is one pass of a Knuth-Morris-Pratt matcher over the lower-case form of that
// text, looking for the middle of Find (all but its first and last unit); the two end units of
// each hit are then compared on their own. That split is what comparing each candidate
// substring lower-cased on its own asks for: inside a candidate, every unit pairs and maps as in
// the whole text, while a trail surrogate at its start or a lead at its end is unpaired within
// it and keeps its case, whatever stands outside. A search ends at the first whole occurrence,
// and the next one starts inside the replacement inserted for it, after the units it replaced,
// so every unit of the original text is matched once, and every unit of a replacement at most
// once per time it is inserted: the time is linear in the text and the result together.
//
// The original text is lower-cased window by window, once, as the searches move right.

#include "textcheck/replace_word.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "support/ascii.h"
#include "support/utf16.h"

namespace lexivane {
namespace {

constexpr std::size_t kNone = std::u16string_view::npos;

using support::IsLeadSurrogate;
using support::IsTrailSurrogate;

// A neighbour of an occurrence: a code unit, or kTextEdge before the start or after the end.
using Neighbour = int;
constexpr Neighbour kTextEdge = -1;

bool IsBoundary(Neighbour unit) {
  return unit == kTextEdge || !IsReplaceWordCharacter(static_cast<char16_t>(unit));
}

// The lower-case form of `units` (one unit, or a surrogate pair), unit `i` of it.
char16_t LowerOf(std::u16string_view units, std::size_t i) {
  if (units.size() == 1 && units[0] < 0x80) {
    return support::AsciiLower(units[0]);
  }
  return platform::ToLower(units)[i];
}

// A text and the lower-case form of a window of it. The window slides with the search and
// reuses its storage: lowering a long text whole would touch as much fresh memory again as the
// result does. Its edges never cut a surrogate pair, so each window maps exactly as the whole
// text would.
class LoweredText {
 public:
  explicit LoweredText(std::u16string_view text) : text_(text) {}

  std::u16string_view text() const { return text_; }

  // The lower-case form of the text from `k` (within the text) to the end of the window that
  // holds it. The view holds until the next call.
  std::u16string_view From(std::size_t k) {
    if (k < start_ || k >= start_ + lower_.size()) Slide(k);
    return std::u16string_view(lower_).substr(k - start_);
  }

 private:
  static constexpr std::size_t kWindow = std::size_t{1} << 16;

  bool CutsPair(std::size_t k) const {
    return k > 0 && k < text_.size() && IsLeadSurrogate(text_[k - 1]) && IsTrailSurrogate(text_[k]);
  }

  void Slide(std::size_t k) {
    std::size_t begin = k;
    std::size_t end = std::min(text_.size(), k + kWindow);
    if (CutsPair(begin)) --begin;
    if (CutsPair(end)) ++end;
    platform::ToLower(text_.substr(begin, end - begin), lower_);
    start_ = begin;
  }

  std::u16string_view text_;
  std::size_t start_ = 0;
  std::u16string lower_;
};

// The ends of the occurrences of a pattern in a stream of units fed piece by piece
// (Knuth-Morris-Pratt): after a mismatch the matcher falls back to the longest part of the
// pattern that the units just seen still match, so no unit is looked at again.
class StreamMatcher {
 public:
  explicit StreamMatcher(std::u16string_view pattern)
      : pattern_(pattern), fallback_(pattern.size()) {
    // fallback_[i]: the length of the longest proper prefix of pattern[0, i] that ends it too.
    for (std::size_t i = 1, k = 0; i < pattern.size(); ++i) {
      while (k > 0 && pattern[i] != pattern[k]) k = fallback_[k - 1];
      if (pattern[i] == pattern[k]) ++k;
      fallback_[i] = k;
    }
  }

  void Restart() { matched_ = 0; }

  // Feeds `units` up to the first unit that completes an occurrence and answers its index, or
  // answers units.size() when none does. The pattern must not be empty.
  std::size_t Feed(std::u16string_view units) {
    for (std::size_t i = 0; i < units.size(); ++i) {
      if (matched_ == 0) {
        // Nothing pending: only the pattern's first unit can start an occurrence.
        i = units.find(pattern_[0], i);
        if (i == kNone) return units.size();
      }
      while (matched_ > 0 && pattern_[matched_] != units[i]) matched_ = fallback_[matched_ - 1];
      if (pattern_[matched_] == units[i]) ++matched_;
      if (matched_ == pattern_.size()) {
        matched_ = fallback_[matched_ - 1];
        return i;
      }
    }
    return units.size();
  }

 private:
  std::u16string_view pattern_;
  std::vector<std::size_t> fallback_;
  std::size_t matched_ = 0;
};

// The text as changed so far, from a search start on: the open part of the last replacement,
// then the original text from `rest`.
struct Ahead {
  std::u16string_view open;
  std::u16string_view text;
  std::size_t rest;

  std::size_t size() const { return open.size() + (text.size() - rest); }
  char16_t operator[](std::size_t i) const {
    return i < open.size() ? open[i] : text[rest + (i - open.size())];
  }
};

// The search for whole occurrences of Find in the text as changed so far, made of the original
// text and the replacement. Holds the lower-case forms of Find and of the replacement, worked
// out once per call.
class WholeWordSearch {
 public:
  WholeWordSearch(std::u16string_view text, std::u16string_view find, std::u16string_view replace)
      : text_(text),
        find_(find),
        lower_find_(platform::ToLower(find)),
        replace_(replace),
        lower_replace_(platform::ToLower(replace)),
        middle_(std::u16string_view(lower_find_).substr(1, find.size() < 2 ? 0 : find.size() - 2)) {
  }
  // The matcher refers to lower_find_.
  WholeWordSearch(const WholeWordSearch&) = delete;
  WholeWordSearch& operator=(const WholeWordSearch&) = delete;

  std::u16string_view text() const { return text_.text(); }
  std::u16string_view find() const { return find_; }
  std::u16string_view replace() const { return replace_; }

  // The first start j of a whole occurrence of Find in replace[open, ...) followed by
  // text[rest, ...), counted from the start of that, or kNone. `before` is the unit that
  // precedes it in the text as changed so far.
  std::size_t First(std::size_t open, std::size_t rest, Neighbour before) {
    const Ahead ahead{replace_.substr(open), text_.text(), rest};
    const std::size_t m = find_.size();
    if (ahead.size() < m) return kNone;
    if (m <= 2) {
      // No middle: every start is a candidate, and costs a few comparisons.
      for (std::size_t j = 0; j + m <= ahead.size(); ++j) {
        if (IsWholeAt(ahead, j, before)) return j;
      }
      return kNone;
    }

    // Feeds the lower-case form of ahead[offset, ...) to the matcher. A middle ending at
    // ahead[i] makes a candidate at i + 2 - m if one more unit, its last, follows.
    middle_.Restart();
    auto search = [&](std::u16string_view lower, std::size_t offset) {
      for (std::size_t k = 0; k < lower.size(); ++k) {
        k += middle_.Feed(lower.substr(k));
        if (k == lower.size()) break;
        const std::size_t i = offset + k;
        if (i + 1 < ahead.size() && IsWholeAt(ahead, i + 2 - m, before)) return i + 2 - m;
      }
      return kNone;
    };
    // Middles start one unit after the search start. The lowered replacement serves for the
    // open part but for its last unit, which may pair with the unit after it.
    const std::size_t open_size = ahead.open.size();
    if (open_size >= 3) {
      const std::u16string_view lower_open =
          std::u16string_view(lower_replace_).substr(open + 1, open_size - 2);
      if (const std::size_t j = search(lower_open, 1); j != kNone) return j;
    }
    if (open_size >= 1) {
      // Where the replacement meets the original text, a pair may form or break up, so the
      // lowered original is wrong there too.
      char16_t junction[2];
      std::size_t count = 0;
      if (open_size >= 2) junction[count++] = LowerAt(ahead, open_size - 1);
      if (rest < text_.text().size()) junction[count++] = LowerAt(ahead, open_size);
      const std::size_t offset = open_size >= 2 ? open_size - 1 : 1;
      if (const std::size_t j = search(std::u16string_view(junction, count), offset); j != kNone) {
        return j;
      }
    }
    for (std::size_t t = rest + 1; t < text_.text().size();) {
      const std::u16string_view lower = text_.From(t);
      if (const std::size_t j = search(lower, open_size + (t - rest)); j != kNone) return j;
      t += lower.size();
    }
    return kNone;
  }

 private:
  // The lower-case form of ahead[i] as the text as changed so far maps it: with its partner
  // when it is half of a pair there.
  char16_t LowerAt(const Ahead& ahead, std::size_t i) const {
    const char16_t unit = ahead[i];
    if (IsLeadSurrogate(unit) && i + 1 < ahead.size() && IsTrailSurrogate(ahead[i + 1])) {
      const char16_t pair[2] = {unit, ahead[i + 1]};
      return LowerOf(std::u16string_view(pair, 2), 0);
    }
    if (IsTrailSurrogate(unit) && i > 0 && IsLeadSurrogate(ahead[i - 1])) {
      const char16_t pair[2] = {ahead[i - 1], unit};
      return LowerOf(std::u16string_view(pair, 2), 1);
    }
    return LowerOf(std::u16string_view(&unit, 1), 0);
  }

  // Whether ahead[j, j + m) is a whole occurrence, given that its middle matches.
  bool IsWholeAt(const Ahead& ahead, std::size_t j, Neighbour before) const {
    const std::size_t m = find_.size();
    if (!IsBoundary(j == 0 ? before : ahead[j - 1])) return false;
    if (!IsBoundary(j + m < ahead.size() ? ahead[j + m] : kTextEdge)) return false;
    const char16_t first = ahead[j];
    const char16_t last = ahead[j + m - 1];
    if (m == 1) {
      // A lone unit: a surrogate half is unpaired and keeps its case.
      return (IsLeadSurrogate(first) || IsTrailSurrogate(first)
                  ? first
                  : LowerOf(std::u16string_view(&first, 1), 0)) == lower_find_[0];
    }
    // A trail at the start and a lead at the end are unpaired within the candidate; a lead at
    // the start pairs with the unit after it, a trail at the end with the unit before it.
    const char16_t lower_first = IsTrailSurrogate(first) ? first : LowerAt(ahead, j);
    if (lower_first != lower_find_[0]) return false;
    const char16_t lower_last = IsLeadSurrogate(last) ? last : LowerAt(ahead, j + m - 1);
    return lower_last == lower_find_[m - 1];
  }

  LoweredText text_;
  std::u16string_view find_;
  std::u16string lower_find_;
  std::u16string_view replace_;
  std::u16string lower_replace_;
  StreamMatcher middle_;
};

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
void Replace(WholeWordSearch& search, Sink& sink) {
  const std::u16string_view text = search.text();
  const std::u16string_view replace = search.replace();
  const std::size_t m = search.find().size();
  std::size_t rest = 0;               // the original text from here on is not yet final
  std::size_t open = replace.size();  // replace[open, ...) lies between the final part and the rest
  Neighbour last_final = kTextEdge;

  auto emit = [&](std::u16string_view units) {
    if (units.empty()) return;
    sink.Append(units);
    last_final = units.back();
  };

  for (;;) {
    const std::size_t open_size = replace.size() - open;
    const std::size_t j = search.First(open, rest, last_final);
    std::size_t end;  // where the occurrence ends in the original text
    if (j == kNone) {
      emit(replace.substr(open));
      emit(text.substr(rest));
      return;
    }
    if (j < open_size) {
      if (j + m <= open_size) {
        // Wholly inside the replacement: replacing it would insert the same replacement again
        // with the same occurrence in it, without end. Go on after the replacement instead.
        emit(replace.substr(open));
        open = replace.size();
        continue;
      }
      emit(replace.substr(open, j));
      end = rest + (j + m - open_size);
    } else {
      emit(replace.substr(open));
      emit(text.substr(rest, j - open_size));
      end = rest + (j - open_size) + m;
    }
    // The next search starts one unit after the start of the replacement.
    if (!replace.empty()) {
      emit(replace.substr(0, 1));
      open = 1;
      rest = end;
    } else {
      open = 0;
      if (end < text.size()) {
        emit(text.substr(end, 1));
        rest = end + 1;
      } else {
        rest = end;
      }
    }
  }
}

}  // namespace

bool IsReplaceWordCharacter(char16_t c) {
  static const std::array<bool, 0x10000> table = MakeWordCharacterTable();
  return table[c];
}

std::u16string ReplaceWholeWords(std::u16string_view text, std::u16string_view find,
                                 std::u16string_view replace) {
  if (find.empty() || text.size() < find.size()) return std::u16string(text);

  WholeWordSearch search(text, find, replace);
  ResultWriter writer;
  if (replace.size() > find.size()) {
    // The result may outgrow the text. Measuring it first costs a second search, but growing
    // a long string copies it into fresh memory, which costs more.
    ResultMeasurer measurer;
    Replace(search, measurer);
    writer.out.reserve(measurer.size);
  } else {
    writer.out.reserve(text.size());
  }
  Replace(search, writer);
  return std::move(writer.out);
}

}  // namespace lexivane
