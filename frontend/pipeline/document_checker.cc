#include "frontend/pipeline/document_checker.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "frontend/modes/markup_names.h"
#include "frontend/pipeline/word_context.h"
#include "frontend/session/code_words.h"
#include "frontend/session/english_variant.h"
#include "frontend/words/ascii_words.h"
#include "frontend/words/compound_words.h"
#include "frontend/words/running_words.h"
#include "frontend/words/utf8_running_words.h"
#include "lexivane/utf8.h"
#include "support/ascii.h"

namespace lexivane::frontend {

namespace {

// How often, in words, a walk asks whether to stop.
constexpr std::size_t kWordsBetweenStops = 4096;

struct Stopped {};

// A word of four capitals or more, ASCII: a macro, a variable, a constant (`BUFSIZ`,
// `MAKEFLAGS`), judged by the rule capital-names as an identifier's word is.
bool IsCapitalName(std::string_view word) {
  return word.size() >= 4 && std::all_of(word.begin(), word.end(), support::IsAsciiUpper<char>);
}

// A unit of a name of code: an ASCII letter or digit, or `_`.
bool IsNameUnit(char16_t c) {
  return support::IsAsciiAlnum(c) || c == u'_';
}

// Whether a name's first part starts at `at` in `text`: nothing of a name before it but `_`
// (`_BEOS_`).
bool StartsName(std::u16string_view text, std::size_t at) {
  while (at > 0 && text[at - 1] == u'_') --at;
  return at == 0 || !IsNameUnit(text[at - 1]);
}

// text[begin, end), all ASCII, one byte a unit, in `word`: NarrowAscii's way for a long word,
// apart so that the short words' way is inlined where the walk asks.
[[gnu::noinline]] std::string_view NarrowLongAscii(std::u16string_view text, std::size_t begin,
                                                   std::size_t end, std::string& word) {
  word.resize(end - begin);
  std::transform(text.begin() + begin, text.begin() + end, word.begin(),
                 [](char16_t c) { return static_cast<char>(c); });
  return word;
}

// text[begin, end), all ASCII, one byte a unit: a short word in `short_word` (its 16 units at
// once, so that the hash's wider loads of it find one store to read from and do not wait for
// the bytes to be written one by one), a long one in `word`.
inline std::string_view NarrowAscii(std::u16string_view text, std::size_t begin, std::size_t end,
                                    char (&short_word)[16], std::string& word) {
#if defined(__SSE2__)
  if (end - begin <= 16 && begin + 16 <= text.size()) {
    const auto* units = reinterpret_cast<const __m128i*>(text.data() + begin);
    _mm_store_si128(reinterpret_cast<__m128i*>(short_word),
                    _mm_packus_epi16(_mm_loadu_si128(units), _mm_loadu_si128(units + 1)));
    return std::string_view(short_word, end - begin);
  }
#endif
  return NarrowLongAscii(text, begin, end, word);
}

// Whether `bytes`, the start of a text, may still turn out to start an interpreter line: `#`,
// or `#!` and blanks, before the path.
bool MayStartInterpreterLine(std::string_view bytes) {
  if (bytes.size() > 1 && bytes.substr(0, 2) != "#!") return false;
  return bytes.find_first_not_of(" \t", 2) == std::string_view::npos &&
         (bytes.empty() || bytes[0] == '#');
}

}  // namespace

DocumentChecker::DocumentChecker(SpellingSession& session)
    : session_(session), verdicts_(session.verdicts()) {}

void DocumentChecker::UseReporter(Reporter& reporter) {
  reporter_ = &reporter;
  wants_accepted_ = reporter.WantsAcceptedWords();
}

void DocumentChecker::AddAscii(const Finding& finding) {
  batch_[waiting_++] = {finding, verdicts_.Find(finding.word)};
  if (waiting_ == kBatch) JudgeBatch();
}

void DocumentChecker::JudgeBatch() {
  for (std::size_t i = 0; i < waiting_; ++i) Judge(batch_[i].finding, batch_[i].place);
  waiting_ = 0;
}

void DocumentChecker::KeepProseAlone(const Document& document, std::u16string_view text) {
  prose_alone_.clear();
  if (document.identifiers != CodeIdentifiers::kChecked) return;
  prose_alone_.assign(text);
  HideNonProse(prose_alone_, document.mode, CodeIdentifiers::kHidden);
}

void DocumentChecker::ReadMarkupNames(const Document& document, std::u16string_view text) {
  markup_names_.clear();
  AddMarkupNames(document.mode, text, markup_names_);
}

template <typename Text>
void DocumentChecker::ReadDirectives(Text text) {
  directives_of_text_.Clear();
  directives_of_text_.Read(text);
  directives_ = directives_of_text_.empty() ? nullptr : &directives_of_text_;
  directives_start_ = 0;
}

void DocumentChecker::Judge(const Finding& finding, Utf8WordVerdicts::Place place) {
  if (verdicts_.Accepts(finding.word, place)) {
    if (wants_accepted_) reporter_->Accept(*document_, finding);
    return;
  }
  Reject(finding);
}

void DocumentChecker::Reject(const Finding& finding) {
  const WordRules rules = session_.rules();
  const std::string_view stem =
      rules.Has(WordRule::kElisions) ? ElidedStem(finding.word) : std::string_view();
  if (rules.Has(WordRule::kCodeWords) &&
      (CodeWordsOfModeHold(finding.word) || (!stem.empty() && CodeWordsOfModeHold(stem)))) {
    if (wants_accepted_) reporter_->Accept(*document_, finding);
    return;
  }
  const char* const written_end = finding.written.data() + finding.written.size();
  const WordInContext context =
      finding.offset != Finding::kNoOffset
          ? ContextOf(walked_.substr(0, finding.offset), finding.word, rules,
                      walked_.substr(std::min(finding.offset + finding.length, walked_.size())))
          : ContextOf(
                std::string_view(piece_, static_cast<std::size_t>(finding.written.data() - piece_)),
                finding.word, rules,
                std::string_view(written_end, static_cast<std::size_t>(piece_end_ - written_end)));
  if (context == WordInContext::kAfterKeyLetter) {
    // The key letter, two characters before the word: an ASCII letter, as ContextOf saw.
    const char key = finding.offset != Finding::kNoOffset
                         ? static_cast<char>(walked_[finding.offset - 2])
                         : finding.written.data()[-2];
    const std::string whole = key + std::string(finding.word);
    if (verdicts_.Accepts(whole) ||
        (rules.Has(WordRule::kCodeWords) && CodeWordsHold(document_->mode, whole))) {
      if (wants_accepted_) reporter_->Accept(*document_, finding);
      return;
    }
  }
  if (context == WordInContext::kWord || context == WordInContext::kAfterKeyLetter ||
      context == WordInContext::kInOption) {
    if (RejectParts(finding, rules)) return;
    // The project's words stand in its prose and comments; in code, and in the options of its
    // commands, the slips of its names are what is looked for.
    const bool vocabulary =
        finding.in_identifier
            ? IdentifierVocabulary(finding, rules)
            : session_.Learned(finding.word) || IsMarkupName(markup_names_, finding.word) ||
                  (context == WordInContext::kInOption && IdentifierVocabulary(finding, rules)) ||
                  (rules.Has(WordRule::kCapitalNames) && IsCapitalName(finding.word) &&
                   !session_.LikelyTypo(finding.word));
    if (!vocabulary) return Report(finding);
  }
  if (context == WordInContext::kAfterEscape) {
    const Finding rest{finding.offset == Finding::kNoOffset ? finding.offset : finding.offset + 1,
                       finding.length == 0 ? 0 : finding.length - 1, finding.written.substr(1),
                       finding.word.substr(1)};
    if (!verdicts_.Accepts(rest.word)) return Report(rest);
  }
  if (wants_accepted_) reporter_->Accept(*document_, finding);
}

bool DocumentChecker::CodeWordsOfModeHold(std::string_view word) {
  std::unique_ptr<Utf8WordVerdicts>& held = code_words_held_[document_->mode];
  if (held == nullptr) {
    held = std::make_unique<Utf8WordVerdicts>([mode = document_->mode](std::u16string_view word) {
      return CodeWordsHold(mode, ToUtf8(word));
    });
  }
  return held->Accepts(word);
}

bool DocumentChecker::IdentifierVocabulary(const Finding& finding, WordRules rules) {
  // Asked for every place an identifier's word is written: the remembered answers first.
  const bool code_words = rules.Has(WordRule::kCodeWords);
  if ((code_words && IdentifierWordsHold(finding.word)) || session_.LearnedInNames(finding.word)) {
    return true;
  }
  if (rules.Has(WordRule::kUnlikelyTypos) && !session_.LikelyTypo(finding.word)) return true;
  // A name is written in its author's English, or in that of the interface it wraps
  // (`SetColor` in a British project): any variant's spelling is right in one.
  const std::u16string wide = FromUtf8(finding.word);
  if (VariantAccepts(EnglishVariant::kAny, wide) || VariantFlags(session_.variant(), wide)) {
    return true;
  }
  // The words of a run may be programming words too (`pathlen`, `checkurl`); not the
  // vocabulary of identifiers, whose short parts would pass too many slips as runs.
  const auto accepts = [this, code_words](std::string_view part) {
    return verdicts_.Accepts(part) || (code_words && CodeWordsHold(document_->mode, part));
  };
  // C's count of a thing, `n` and its name (`nread`, `nfields`, `NITEMS`); not `nneeded`, the
  // slip that doubles a first `n`, nor a sure typo (`ndoes` of `nodes`).
  const std::string_view word = finding.word;
  if (word.size() >= 5 && (word[0] == 'n' || word[0] == 'N') &&
      support::AsciiLower(word[1]) != 'n' && accepts(word.substr(1)) &&
      session_.TypoCost(word) > kSureTypoCost) {
    return true;
  }
  if (IsCompoundOfWords(word, accepts) && session_.TypoCost(word) > kSureTypoCost) return true;
  return rules.Has(WordRule::kNamePrefixes) && IsNamePrefix(finding) &&
         session_.MayBeNameVocabulary(word);
}

bool DocumentChecker::IsNamePrefix(const Finding& finding) {
  constexpr std::size_t kNamesOfAFamily = 3;
  const std::size_t end = finding.offset + finding.length;
  if (finding.offset == Finding::kNoOffset || end >= walked_.size() || walked_[end] != u'_' ||
      !StartsName(walked_, finding.offset)) {
    return false;
  }
  // The prefix with its `_`, as written.
  std::u16string prefix(walked_.substr(finding.offset, finding.length + 1));
  if (const auto known = name_prefixes_.find(prefix); known != name_prefixes_.end()) {
    return known->second;
  }
  std::vector<std::u16string_view> names;
  for (std::size_t at = walked_.find(prefix); at != std::u16string_view::npos;
       at = walked_.find(prefix, at + 1)) {
    if (!StartsName(walked_, at)) continue;
    std::size_t name_end = at + prefix.size();
    while (name_end < walked_.size() && IsNameUnit(walked_[name_end])) ++name_end;
    const std::u16string_view name = walked_.substr(at, name_end - at);
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    if (names.size() == kNamesOfAFamily) break;
  }
  const bool family = names.size() == kNamesOfAFamily;
  name_prefixes_.emplace(std::move(prefix), family);
  return family;
}

bool DocumentChecker::RejectParts(const Finding& finding, WordRules rules) {
  const std::string_view word = finding.word;
  if (finding.written != word) return false;
  // Most rejected words have no `_` and no capital after a small letter: no name, and no need
  // to widen them.
  bool may_be_name = false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if ((word[i] & 0x80) != 0) return false;
    may_be_name = may_be_name || word[i] == '_' ||
                  (i > 0 && support::IsAsciiLower(word[i - 1]) && support::IsAsciiUpper(word[i]));
  }
  if (!may_be_name) return false;
  const std::optional<std::vector<WordPart>> parts =
      NameParts(std::u16string(word.begin(), word.end()), rules);
  if (!parts) return false;
  for (const WordPart& at : *parts) {
    // A part of one or two letters (`t` of `size_t`, `fd`) is not judged, as in identifiers.
    if (at.length <= 2) continue;
    const std::string_view part = word.substr(at.offset, at.length);
    if (!verdicts_.Accepts(part)) {
      Reject({finding.offset == Finding::kNoOffset ? finding.offset : finding.offset + at.offset,
              part.size(), part, part});
    }
  }
  return true;
}

void DocumentChecker::Report(const Finding& finding) {
  if (directives_ != nullptr) {
    const std::size_t at =
        finding.offset != Finding::kNoOffset
            ? directives_start_ + finding.offset
            : piece_start_ + static_cast<std::size_t>(finding.written.data() - piece_);
    if (directives_->Covers(at, finding.word)) {
      if (wants_accepted_) reporter_->Accept(*document_, finding);
      return;
    }
  }
  found_ = true;
  reporter_->Report(*document_, finding);
}

void DocumentChecker::CheckPieces(const Document& document, ChunkedInput& input,
                                  Reporter& reporter) {
  document_ = &document;
  UseReporter(reporter);
  waiting_ = 0;  // words of a walk that an exception ended are gone with their piece
  directives_of_text_.Clear();
  directives_ = nullptr;
  markup_names_.clear();  // plain text has none
  piece_start_ = 0;
  std::string_view piece;
  if (!input.Next(piece)) return reporter.Flush();
  using namespace std::string_view_literals;
  if (piece.starts_with("\xFF\xFE"sv) || piece.starts_with("\xFE\xFF"sv) ||
      piece.starts_with("\0\0\xFE\xFF"sv)) {
    std::string bytes(piece);
    bytes += input.TakeRest();
    Check(document, DecodeText(bytes), reporter);
    return;
  }
  if (piece.starts_with("\xEF\xBB\xBF"sv)) piece.remove_prefix(3);
  // An interpreter line is no prose (document_modes.h). Telling whether the text starts with
  // one may take more than the first piece, and it may run over several.
  std::string head;
  if (MayStartInterpreterLine(piece)) {
    head = piece;
    for (std::string_view more; MayStartInterpreterLine(head) && input.Next(more);) head += more;
    piece = head;
  }
  bool interpreter_line = InterpreterLineLength(piece) > 0;
  char blank_before = '\0';  // none at the start of the text
  do {
    // The directives so far; a piece's words are placed by their distance from its start.
    directives_of_text_.Read(piece, piece_start_);
    if (!directives_of_text_.empty()) directives_ = &directives_of_text_;
    piece_ = piece.data();
    piece_end_ = piece.data() + piece.size();
    if (interpreter_line) {
      const std::size_t end = piece.find('\n');
      interpreter_line = end == std::string_view::npos;
      piece.remove_prefix(interpreter_line ? piece.size() : end);
    }
    ForEachUtf8RunningWord(
        piece, blank_before,
        [this](std::string_view word) {
          AddAscii({Finding::kNoOffset, 0, word, word});
        },
        [this](std::string_view as_written, std::string_view word) {
          JudgeBatch();  // the words before come first
          const Finding finding{Finding::kNoOffset, 0, as_written, word};
          Judge(finding, verdicts_.Find(word));
        });
    JudgeBatch();
    reporter.Flush();
    // A piece that does not end in a blank ends before a character that no word runs across
    // (or where a stretch too long was cut anyway): the next one is walked from its start.
    blank_before = !piece.empty() && IsAsciiBlank(piece.back()) ? piece.back() : '\0';
    piece_start_ += static_cast<std::size_t>(piece.data() + piece.size() - piece_);
  } while (input.Next(piece));
}

bool FilterProse(const Document& document, std::u16string_view text, std::u16string& prose) {
  if (!HidesAnythingIn(document.mode, text)) return false;
  prose.assign(text);
  HideNonProse(prose, document.mode, document.identifiers);
  return true;
}

bool DocumentChecker::Check(const Document& document, std::u16string_view text, Reporter& reporter,
                            const std::function<bool()>& stop) {
  std::u16string prose;
  const bool filtered = FilterProse(document, text, prose);
  return CheckProse(document, text, filtered ? std::u16string_view(prose) : text, reporter, stop);
}

void DocumentChecker::Check(const Document& document, TextWithBytes& input, Reporter& reporter) {
  if (!input.has_bytes()) {
    Check(document, input.text, reporter);
    return;
  }
  document_ = &document;
  UseReporter(reporter);
  ReadDirectives(std::u16string_view(input.text));
  KeepProseAlone(document, input.text);
  ReadMarkupNames(document, input.text);
  HideNonProse(input.text, document.mode, document.identifiers);
  Walk(input.text,
       [&input](std::size_t begin, std::size_t end, std::string_view, std::string&) {
         // Read only when the word is reported, and long out of the cache by then: fetched
         // while the word is looked up.
         const std::string_view bytes = input.BytesOf(begin, end);
         __builtin_prefetch(bytes.data());
         return bytes;
       },
       {});
}

void DocumentChecker::CheckInPlace(const Document& document, std::u16string& text,
                                   Reporter& reporter) {
  document_ = &document;
  UseReporter(reporter);
  ReadDirectives(std::u16string_view(text));
  KeepProseAlone(document, text);
  ReadMarkupNames(document, text);
  HideNonProse(text, document.mode, document.identifiers);
  const std::u16string_view prose = text;
  Walk(prose,
       [prose](std::size_t begin, std::size_t end, std::string_view prose_word,
               std::string& scratch) -> std::string_view {
         if (!prose_word.empty()) return prose_word;
         scratch = ToUtf8(prose.substr(begin, end - begin));
         return scratch;
       },
       {});
}

bool DocumentChecker::CheckProse(const Document& document, std::u16string_view text,
                                 std::u16string_view prose, Reporter& reporter,
                                 const std::function<bool()>& stop) {
  directives_of_text_.Clear();
  directives_of_text_.Read(text);
  return CheckProse(document, text, prose, directives_of_text_, 0, reporter, stop);
}

bool DocumentChecker::CheckProse(const Document& document, std::u16string_view text,
                                 std::u16string_view prose, const InlineDirectives& directives,
                                 std::size_t start, Reporter& reporter,
                                 const std::function<bool()>& stop) {
  document_ = &document;
  UseReporter(reporter);
  directives_ = directives.empty() ? nullptr : &directives;
  directives_start_ = start;
  KeepProseAlone(document, text);
  ReadMarkupNames(document, text);
  return Walk(
      prose,
      [text, prose](std::size_t begin, std::size_t end, std::string_view prose_word,
                    std::string& scratch) -> std::string_view {
        const std::u16string_view written = text.substr(begin, end - begin);
        if (!prose_word.empty() && written == prose.substr(begin, end - begin)) return prose_word;
        scratch = ToUtf8(written);
        return scratch;
      },
      stop);
}

template <typename Written>
bool DocumentChecker::Walk(std::u16string_view prose, Written&& written,
                           const std::function<bool()>& stop) {
  waiting_ = 0;
  walked_ = prose;
  name_prefixes_.clear();
  std::string scratch, word;
  alignas(16) char short_word[16];
  std::size_t words = 0;
  const auto stopping = [&] { return stop && ++words % kWordsBetweenStops == 0 && stop(); };
  const auto add_running = [&](const RunningWord& running) {
    if (stopping()) throw Stopped{};
    const std::size_t end = running.offset + running.length;
    const std::string_view as_written = written(running.offset, end, std::string_view(), scratch);
    word = ToUtf8(running.word);
    // The filter that hides identifiers hid this word: it is one (or a part of one).
    const bool in_identifier = !prose_alone_.empty() && prose_alone_[running.offset] == u' ';
    Judge({running.offset, running.length, as_written, word, in_identifier}, verdicts_.Find(word));
  };
  try {
    if (document_->identifiers == CodeIdentifiers::kChecked) {
      // Each word of an identifier on its own, at its own place.
      ForEachRunningWordPart(prose, [&](const RunningWord& part) {
        // A part of one or two letters (`dt`, `hw`, the `Ii` of `getIi`) is an abbreviation or
        // a letter of a name far more often than a slip: not judged.
        if (part.length > 2) add_running(part);
      });
    } else {
      ForEachRunningWord(
          prose,
          [&](std::size_t begin, std::size_t end) {
            if (stopping()) throw Stopped{};
            // A word of plain ASCII: narrowed rather than converted.
            const std::string_view narrowed = NarrowAscii(prose, begin, end, short_word, word);
            Judge({begin, end - begin, written(begin, end, narrowed, scratch), narrowed},
                  verdicts_.Find(narrowed));
          },
          add_running);
    }
  } catch (const Stopped&) {
    reporter_->Flush();
    return false;
  }
  reporter_->Flush();
  return true;
}

}  // namespace lexivane::frontend
