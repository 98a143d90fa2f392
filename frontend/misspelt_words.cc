#include "frontend/misspelt_words.h"

#include <algorithm>
#include <iostream>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "frontend/ascii_words.h"
#include "frontend/identifier_parts.h"
#include "frontend/input_text.h"
#include "frontend/running_words.h"
#include "frontend/standard_output.h"
#include "frontend/utf8_running_words.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {

namespace {

// A UTF-16 text is printed in blocks of about this many bytes.
constexpr std::size_t kUtf16Block = std::size_t{1} << 16;

// text[begin, end), all ASCII, one byte a unit: a short word in `short_word` (its 16 units at
// once, so that the hash's wider loads of it find one store to read from and do not wait for
// the bytes to be written one by one), a long one in `word`.
std::string_view NarrowAscii(std::u16string_view text, std::size_t begin, std::size_t end,
                             char (&short_word)[16], std::string& word) {
#if defined(__SSE2__)
  if (end - begin <= 16 && begin + 16 <= text.size()) {
    const auto* units = reinterpret_cast<const __m128i*>(text.data() + begin);
    _mm_store_si128(reinterpret_cast<__m128i*>(short_word),
                    _mm_packus_epi16(_mm_loadu_si128(units), _mm_loadu_si128(units + 1)));
    return std::string_view(short_word, end - begin);
  }
#endif
  word.resize(end - begin);
  std::transform(text.begin() + begin, text.begin() + end, word.begin(),
                 [](char16_t c) { return static_cast<char>(c); });
  return word;
}

// Whether `bytes`, the start of a text, may still turn out to start an interpreter line: `#`,
// or `#!` and blanks, before the path.
bool MayStartInterpreterLine(std::string_view bytes) {
  if (bytes.size() > 1 && bytes.substr(0, 2) != "#!") return false;
  return bytes.find_first_not_of(" \t", 2) == std::string_view::npos &&
         (bytes.empty() || bytes[0] == '#');
}

}  // namespace

MisspeltWords::MisspeltWords(const SpellCheck& engine, bool unique, WordRules rules,
                             AcceptedNames accepted_names)
    : verdicts_([&engine, rules, names = std::move(accepted_names)](std::u16string_view word) {
        return FrontEndAccepts(engine, word, rules, names);
      }),
      unique_(unique) {}

void MisspeltWords::AddAscii(std::string_view word) {
  batch_[waiting_++] = {word, verdicts_.Find(word)};
  if (waiting_ == kBatch) FlushBatch();
}

void MisspeltWords::FlushBatch() {
  for (std::size_t i = 0; i < waiting_; ++i) Add(batch_[i].word, batch_[i].word, batch_[i].place);
  waiting_ = 0;
}

void MisspeltWords::Add(std::string_view as_written, std::string_view word,
                        Utf8WordVerdicts::Place place) {
  if (verdicts_.Accepts(word, place)) return;
  found_ = true;
  if (unique_ && !printed_.emplace(as_written).second) return;
  lines_ += as_written;
  lines_ += '\n';
}

void MisspeltWords::List(ChunkedInput& input, const Print& print) {
  waiting_ = 0;  // words of a walk that an exception ended are gone with their piece
  std::string_view piece;
  if (!input.Next(piece)) return;
  using namespace std::string_view_literals;
  if (piece.starts_with("\xFF\xFE"sv) || piece.starts_with("\xFE\xFF"sv) ||
      piece.starts_with("\0\0\xFE\xFF"sv)) {
    std::string bytes(piece);
    bytes += input.TakeRest();
    ListDocument(DecodeText(bytes), DocumentMode::kNone, print);
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
    if (interpreter_line) {
      const std::size_t end = piece.find('\n');
      interpreter_line = end == std::string_view::npos;
      piece.remove_prefix(interpreter_line ? piece.size() : end);
    }
    lines_.clear();
    ForEachUtf8RunningWord(
        piece, blank_before, [this](std::string_view word) { AddAscii(word); },
        [this](std::string_view as_written, std::string_view word) {
          FlushBatch();  // the words before come first
          Add(as_written, word, verdicts_.Find(word));
        });
    FlushBatch();
    if (!lines_.empty()) print(lines_);
    // A piece that does not end in a blank ends before a character that no word runs across
    // (or where a stretch too long was cut anyway): the next one is walked from its start.
    blank_before = !piece.empty() && IsAsciiBlank(piece.back()) ? piece.back() : '\0';
  } while (input.Next(piece));
}

void MisspeltWords::ListDocument(std::u16string_view text, DocumentMode mode, const Print& print,
                                 CodeIdentifiers identifiers) {
  waiting_ = 0;
  if (!HidesAnythingIn(mode, text)) return ListProse(text, text, print);
  std::u16string prose(text);
  HideNonProse(prose, mode, identifiers);
  ListProse(text, prose, print, identifiers);
}

void MisspeltWords::ListDocument(TextWithBytes& input, DocumentMode mode, const Print& print,
                                 CodeIdentifiers identifiers) {
  if (!input.has_bytes()) return ListDocument(input.text, mode, print, identifiers);
  waiting_ = 0;
  HideNonProse(input.text, mode, identifiers);
  ListProseAs(
      input.text,
      [&input](std::size_t begin, std::size_t end, std::string_view, std::string&) {
        // Read only when the word is printed, and long out of the cache by then: fetched while
        // the word is looked up.
        const std::string_view bytes = input.BytesOf(begin, end);
        __builtin_prefetch(bytes.data());
        return bytes;
      },
      print, mode == DocumentMode::kNone ? CodeIdentifiers::kHidden : identifiers);
}

void MisspeltWords::ListDocumentInPlace(std::u16string& text, DocumentMode mode,
                                        const Print& print, CodeIdentifiers identifiers) {
  waiting_ = 0;
  HideNonProse(text, mode, identifiers);
  const std::u16string_view prose = text;
  ListProseAs(
      prose,
      [prose](std::size_t begin, std::size_t end, std::string_view prose_word,
              std::string& scratch) -> std::string_view {
        if (!prose_word.empty()) return prose_word;
        scratch = ToUtf8(prose.substr(begin, end - begin));
        return scratch;
      },
      print, identifiers);
}

void MisspeltWords::ListProse(std::u16string_view text, std::u16string_view prose,
                              const Print& print, CodeIdentifiers identifiers) {
  ListProseAs(
      prose,
      [text, prose](std::size_t begin, std::size_t end, std::string_view prose_word,
                    std::string& scratch) -> std::string_view {
        const std::u16string_view written = text.substr(begin, end - begin);
        if (!prose_word.empty() && written == prose.substr(begin, end - begin)) return prose_word;
        scratch = ToUtf8(written);
        return scratch;
      },
      print, identifiers);
}

template <typename Written>
void MisspeltWords::ListProseAs(std::u16string_view prose, Written&& written, const Print& print,
                                CodeIdentifiers identifiers) {
  lines_.clear();
  std::string scratch, word;
  alignas(16) char short_word[16];
  const auto block_done = [&] {
    if (lines_.size() < kUtf16Block) return;
    print(lines_);
    lines_.clear();
  };
  const auto add_running = [&](const RunningWord& running) {
    const std::string_view as_written =
        written(running.offset, running.offset + running.length, std::string_view(), scratch);
    word = ToUtf8(running.word);
    Add(as_written, word, verdicts_.Find(word));
    block_done();
  };
  if (identifiers == CodeIdentifiers::kChecked) {
    // Each word of an identifier on its own, at its own place.
    ForEachRunningWordPart(prose, add_running);
  } else {
    ForEachRunningWord(
        prose,
        [&](std::size_t begin, std::size_t end) {
          // A word of plain ASCII: narrowed rather than converted.
          const std::string_view narrowed = NarrowAscii(prose, begin, end, short_word, word);
          Add(written(begin, end, narrowed, scratch), narrowed, verdicts_.Find(narrowed));
          block_done();
        },
        add_running);
  }
  if (!lines_.empty()) print(lines_);
}

ListedFiles ListMisspeltWordsOfFiles(
    const SpellCheck& engine, const std::vector<std::string>& files, bool unique,
    const std::function<DocumentMode(const std::string& file)>& mode_of, WordRules rules,
    bool check_identifiers, AcceptedNames accepted_names) {
  MisspeltWords misspelt(engine, unique, rules, std::move(accepted_names));
  const auto print = [](std::string_view lines) {
    std::cout.write(lines.data(), static_cast<std::streamsize>(lines.size()));
    CheckStandardOutput();
  };
  const bool all_read = ForEachInputFile(files, [&](const std::string& file) {
    if (const DocumentMode mode = mode_of ? mode_of(file) : DocumentMode::kNone;
        mode != DocumentMode::kNone) {
      if (HidesOnly(mode)) {
        InputText input = ReadInput(file);
        misspelt.ListDocumentInPlace(input.text, mode, print,
                                     CodeIdentifiersIn(mode, check_identifiers));
        return;
      }
      TextWithBytes input(file);
      misspelt.ListDocument(input, mode, print, CodeIdentifiersIn(mode, check_identifiers));
      return;
    }
    InputFile input(file);
    ChunkedInput chunks([&input](char* into, std::size_t most) { return input.Read(into, most); });
    misspelt.List(chunks, print);
  });
  return {misspelt.found(), !all_read};
}

}  // namespace lexivane::frontend
