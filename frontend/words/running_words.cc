#include "frontend/words/running_words.h"

#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>

#include "frontend/words/ascii_words.h"

namespace lexivane::frontend {

namespace {

using running_words_detail::kMaxIcuStretch;
static_assert(kMaxIcuStretch <= std::numeric_limits<std::int32_t>::max() / 2);

// One segment-building pass shared by both paths: hands a word on, with U+2019 read as U+0027.
class Emitter {
 public:
  Emitter(std::u16string_view text, const std::function<void(const RunningWord&)>& found)
      : text_(text), found_(found) {}

  void Emit(std::size_t begin, std::size_t end) {
    word_.offset = begin;
    word_.length = end - begin;
    word_.word.assign(text_.substr(begin, end - begin));
    ReadApostrophes(word_.word);
    if (word_.word.find(kWordJoiner) != std::u16string::npos) std::erase(word_.word, kWordJoiner);
    ComposeMarks(word_.word);
    found_(word_);
  }

  // Cuts a segment of the word boundaries at its inner punctuation (apostrophes and connectors
  // stay) and hands on the pieces that hold a letter.
  void EmitSegment(std::size_t begin, std::size_t end) {
    std::size_t piece = begin;
    bool has_letter = false;
    for (std::size_t i = begin; i < end;) {
      const std::size_t at = i;
      UChar32 c;
      U16_NEXT(text_.data(), i, end, c);
      const bool cuts = c == 0x2044 /* fraction slash */ ||
                        (u_ispunct(c) && c != u'\'' && c != kTypographicApostrophe &&
                         u_charType(c) != U_CONNECTOR_PUNCTUATION);
      if (cuts) {
        if (has_letter) EmitPiece(piece, at);
        piece = i;
        has_letter = false;
      } else {
        has_letter = has_letter || u_isUAlphabetic(c);
      }
    }
    if (has_letter) EmitPiece(piece, end);
  }

 private:
  // An apostrophe joined a letter that was punctuation to us (ICU's boundaries take `@` and
  // some punctuation of other scripts for letters): at the piece's edge it joins nothing, and
  // neither do the word joiners that a filter put after it (an apostrophe decoded from a longer
  // sequence, such as `&rsquo;`). Word joiners after a letter stay: they are the rest of the
  // sequence that letter was decoded from. Ordinals ("3rd") are numbers.
  void EmitPiece(std::size_t begin, std::size_t end) {
    const auto apostrophe = [this](std::size_t i) {
      return text_[i] == u'\'' || text_[i] == kTypographicApostrophe;
    };
    while (apostrophe(begin) || text_[begin] == kWordJoiner) ++begin;
    for (std::size_t before = end; before > begin; --before) {
      if (apostrophe(before - 1)) {
        end = before - 1;
      } else if (text_[before - 1] != kWordJoiner) {
        break;
      }
    }
    if (!IsOrdinal(text_.data() + begin, end - begin)) Emit(begin, end);
  }

  std::u16string_view text_;
  const std::function<void(const RunningWord&)>& found_;
  RunningWord word_{};
};

// The thread's word break iterator and the UText it reads, made on first use.
class IcuWords {
 public:
  IcuWords() {
    UErrorCode status = U_ZERO_ERROR;
    iterator_.reset(icu::BreakIterator::createWordInstance(icu::Locale::getEnglish(), status));
    if (U_FAILURE(status)) {
      throw std::runtime_error(std::string("cannot load the word break rules: ") +
                               u_errorName(status));
    }
  }
  IcuWords(const IcuWords&) = delete;
  IcuWords& operator=(const IcuWords&) = delete;
  ~IcuWords() { utext_close(utext_); }

  // Hands every segment of text[begin, end) to the emitter.
  void Segment(std::u16string_view text, std::size_t begin, std::size_t end, Emitter& emitter) {
    UErrorCode status = U_ZERO_ERROR;
    utext_ = utext_openUChars(utext_, reinterpret_cast<const UChar*>(text.data() + begin),
                              static_cast<std::int64_t>(end - begin), &status);
    iterator_->setText(utext_, status);
    if (U_FAILURE(status)) {
      throw std::runtime_error(std::string("cannot cut text into words: ") + u_errorName(status));
    }
    std::int32_t start = iterator_->first();
    for (std::int32_t stop = iterator_->next(); stop != icu::BreakIterator::DONE;
         start = stop, stop = iterator_->next()) {
      emitter.EmitSegment(begin + static_cast<std::size_t>(start),
                          begin + static_cast<std::size_t>(stop));
    }
  }

  static IcuWords& ForThisThread() {
    thread_local IcuWords words;
    return words;
  }

 private:
  std::unique_ptr<icu::BreakIterator> iterator_;
  UText* utext_ = nullptr;
};

}  // namespace

void ReadApostrophes(std::u16string& word) {
  std::replace(word.begin(), word.end(), kTypographicApostrophe, u'\'');
}

void ComposeMarks(std::u16string& word) {
  // Marks of every script start at U+0300; most words have no unit that high.
  if (std::all_of(word.begin(), word.end(), [](char16_t c) { return c < 0x300; })) return;
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status)) return;
  icu::UnicodeString text(false, reinterpret_cast<const UChar*>(word.data()),
                          static_cast<std::int32_t>(word.size()));
  if (nfc->isNormalized(text, status) && !std::any_of(word.begin(), word.end(), [](char16_t c) {
        return u_getCombiningClass(c) != 0;
      })) {
    return;
  }
  icu::UnicodeString composed = nfc->normalize(text, status);
  if (U_FAILURE(status)) return;
  std::u16string result;
  for (std::int32_t i = 0; i < composed.length(); ++i) {
    const char16_t c = composed.charAt(i);
    if (u_getCombiningClass(c) == 0) result += c;
  }
  word = std::move(result);
}

void ForEachRunningWord(std::u16string_view text,
                        const std::function<void(const RunningWord&)>& found) {
  Emitter emitter(text, found);
  ForEachRunningWord(
      text, [&emitter](std::size_t begin, std::size_t end) { emitter.Emit(begin, end); }, found);
}

namespace running_words_detail {

void ForEachWordOfStretch(std::u16string_view text, std::size_t begin, std::size_t end,
                          const std::function<void(const RunningWord&)>& found) {
  Emitter emitter(text, found);
  // The blank before the stretch goes along: combining marks after it belong to it.
  const bool after_blank = begin > 0 && IsAsciiBlank(text[begin - 1]);
  IcuWords::ForThisThread().Segment(text, after_blank ? begin - 1 : begin, end, emitter);
}

}  // namespace running_words_detail

void ForEachRunningWordByIcu(std::u16string_view text,
                             const std::function<void(const RunningWord&)>& found) {
  Emitter emitter(text, found);
  IcuWords& icu = IcuWords::ForThisThread();
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.size();
    if (end - start > kMaxIcuStretch) {
      // Cut after the last blank in reach, or anywhere when there is none.
      end = start + kMaxIcuStretch;
      for (std::size_t i = end; i > start + 1; --i) {
        if (IsAsciiBlank(text[i - 1])) {
          end = i;
          break;
        }
      }
    }
    icu.Segment(text, start, end, emitter);
    start = end;
  }
}

}  // namespace lexivane::frontend
