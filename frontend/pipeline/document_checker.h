// The one pipeline every front end checks its texts with: a document goes through its mode's
// filter (document_modes.h), the word walk (running_words.h, and identifier_parts.h when the
// identifiers of code are checked) and the session's verdicts (spelling_session.h), and each
// word the session rejects comes out as a Finding handed to a Reporter. What a front end prints
// or sends (`list`'s lines, `check`'s reports, the ispell pipe's answers, the language server's
// diagnostics, the words `fix` offers) is a reporter; the walk is written once.
//
// Texts come in three forms, each walked the way that costs least:
//  - a whole text in UTF-16 (Check): filtered in a copy, unless its mode hides nothing, or in
//    place (CheckInPlace) when the caller has no further use for it and the mode only blanks;
//    findings carry their offsets, and the words as written are those of the text;
//  - a whole text whose bytes were kept (TextWithBytes): filtered in place, the words as written
//    are the bytes read, with no second copy of the file;
//  - plain text read in pieces (CheckPieces): the words are found in the UTF-8 bytes themselves
//    and only a word never seen before is widened, so memory does not grow with the text; a
//    finding there has no offset. A text with a UTF-16 or UTF-32 byte order mark is read whole.
// Prose a caller filtered itself (the server keeps a document's prose between checks, and checks
// a piece of it for a code action) goes through CheckProse.
//
// Before its walk, each form reads the text's inline directives (inline_directives.h) from the
// text as written, and a word one of them covers is taken as accepted; a text without any costs
// the look for them alone. A caller that checks a part of a document gives the directives of
// the whole.
//
// Each distinct word is judged once for all the texts of a session (the session's
// Utf8WordVerdicts), words of plain ASCII a batch at a time so that the lookups of several
// overlap; the findings of a text come out in order. A reporter may ask the session for
// suggestions but must not change its words while a check runs.
//
// One checker per session, on the session's thread.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "frontend/io/input_text.h"
#include "frontend/modes/document_modes.h"
#include "frontend/modes/markup_names.h"
#include "frontend/pipeline/inline_directives.h"
#include "frontend/session/spelling_session.h"
#include "frontend/session/word_verdicts.h"
#include "frontend/words/chunked_input.h"

namespace lexivane::frontend {

// What is checked, beside the text: how reports name it, and which of it is prose.
struct Document {
  std::string_view name;  // a file name, "<stdin>", a URI; may be empty
  DocumentMode mode = DocumentMode::kNone;
  CodeIdentifiers identifiers = CodeIdentifiers::kHidden;  // kChecked only in the code modes
};

// A misspelt word. The views last for the Report call only.
struct Finding {
  static constexpr std::size_t kNoOffset = std::string::npos;
  std::size_t offset = kNoOffset;  // in UTF-16 code units of the text; kNoOffset in pieces
  std::size_t length = 0;          // in UTF-16 code units of the text (0 in pieces)
  std::string_view written;        // as it stands in the text, in UTF-8
  std::string_view word;           // as it was judged (RunningWord::word), in UTF-8
  bool in_identifier = false;      // a word of an identifier of code (CodeIdentifiers::kChecked)
};

class Reporter {
 public:
  virtual ~Reporter() = default;
  virtual void Report(const Document& document, const Finding& finding) = 0;
  // Every word accepted, in its place among the findings, for a reporter whose output shows
  // them too (the ispell pipe's `*`); only when WantsAcceptedWords(), which is asked once at the
  // start of each walk.
  virtual bool WantsAcceptedWords() const { return false; }
  virtual void Accept(const Document&, const Finding&) {}
  // The findings so far are all out: a reporter that gathers its output may write it now.
  // Called after each piece of a text, and at least once after each text.
  virtual void Flush() {}
};

// The prose of `text` in the document's mode, with the rest hidden (HideNonProse), into
// `prose`; false, and `prose` left alone, when the mode hides nothing of this text, which is
// then its own prose. For a caller that keeps the prose between checks (CheckProse).
bool FilterProse(const Document& document, std::u16string_view text, std::u16string& prose);

class DocumentChecker {
 public:
  explicit DocumentChecker(SpellingSession& session);
  DocumentChecker(const DocumentChecker&) = delete;
  DocumentChecker& operator=(const DocumentChecker&) = delete;

  // The text filtered in a copy. `stop`, asked every few thousand words, ends the walk early:
  // false then (the findings so far were reported), true when the walk got to the end.
  bool Check(const Document& document, std::u16string_view text, Reporter& reporter,
             const std::function<bool()>& stop = {});
  // The text filtered in place, in a mode that only blanks (HidesOnly).
  void CheckInPlace(const Document& document, std::u16string& text, Reporter& reporter);
  // The text filtered in place; the words as written are the bytes read.
  void Check(const Document& document, TextWithBytes& input, Reporter& reporter);
  // Plain text (the document's mode hides only an interpreter line) read in pieces.
  void CheckPieces(const Document& document, ChunkedInput& input, Reporter& reporter);
  // `prose`, a copy of `text` of the same length with parts hidden (HideNonProse); the words
  // as written are those of `text`. Offsets count from the start of both.
  bool CheckProse(const Document& document, std::u16string_view text, std::u16string_view prose,
                  Reporter& reporter, const std::function<bool()>& stop = {});
  // The same for a part of a document that starts at `start` in it, under `directives`, those
  // of the whole document (a directive may stand outside the part).
  bool CheckProse(const Document& document, std::u16string_view text, std::u16string_view prose,
                  const InlineDirectives& directives, std::size_t start, Reporter& reporter,
                  const std::function<bool()>& stop = {});

  SpellingSession& session() { return session_; }
  // Whether a text so far had a misspelt word.
  bool found() const { return found_; }

 private:
  // Words of plain ASCII wait in a batch, so that the lookups of several overlap; a word of
  // the text being walked stays valid until the batch is judged. 48 rather than 16: a word's
  // slot, fetched as it joins the batch, then has longer to arrive (`list` over big.txt 3 %
  // faster; 96 is no faster).
  static constexpr std::size_t kBatch = 48;
  struct Waiting {
    Finding finding;
    Utf8WordVerdicts::Place place;
  };

  // CheckProse with the words as written found by written(begin, end, prose_word, scratch):
  // the UTF-8 of that range of the text, built in `scratch` if need be; prose_word is the range
  // of the prose when it is plain ASCII (else empty), what it is when the text was not rewritten.
  template <typename Written>
  bool Walk(std::u16string_view prose, Written&& written, const std::function<bool()>& stop);
  // When the document's identifiers are checked, keeps `text` with its identifiers hidden too
  // (prose_alone_), so that the walk tells the words of identifiers from those of comments
  // and strings; call before the text is filtered.
  void KeepProseAlone(const Document& document, std::u16string_view text);
  // Reads the names of the markup of a text about to be walked (markup_names.h); call before
  // the text is filtered.
  void ReadMarkupNames(const Document& document, std::u16string_view text);
  // Reads the directives of a text about to be walked; those of no text when it has none.
  template <typename Text>
  void ReadDirectives(Text text);
  // The reporter of the walk about to start.
  void UseReporter(Reporter& reporter);
  void AddAscii(const Finding& finding);
  void JudgeBatch();
  void Judge(const Finding& finding, Utf8WordVerdicts::Place place);
  // A word the verdicts reject: reported unless a list of programming words of the document's
  // mode holds it (code_words.h), the characters before it show it no word (word_context.h),
  // it is a name with `_` inside whose parts pass (RejectParts), it is the code's vocabulary
  // (IdentifierVocabulary), the session learned it from the project or the document's markup
  // is written with it (markup_names.h; both in prose and comments), or a directive covers it.
  // Apart, so that Judge, called for every word, stays small enough to be inlined.
  [[gnu::noinline]] void Reject(const Finding& finding);
  // CodeWordsHold for the document's mode, remembered: Reject asks it for every place a
  // rejected word is written. A bounded memory, as the verdicts are.
  bool CodeWordsOfModeHold(std::string_view word);
  // Whether a rejected word of an identifier is taken as the code's own: a spelling of any
  // English variant (`colour` under en-US, `color` under en-GB); under the rule
  // unlikely-typos one that is no likely typo (SpellingSession::LikelyTypo), and under any
  // rules a run of two or three accepted or programming words (compound_words.h: `filedir`,
  // `pathlen`) unless it is surely a typo (kSureTypoCost: `foramt`, `for` and `amt` but a slip
  // of `format`).
  // Under the rule name-prefixes, a family's prefix (IsNamePrefix) that is no slip's shape nor
  // a sure typo passes too (`KEYC` of `KEYC_F1`).
  bool IdentifierVocabulary(const Finding& finding, WordRules rules);
  // Whether the identifier's word at `finding` is the prefix of a family of names: the name's
  // first part (after `_` alone, if any), right before a `_`, with which three or more distinct
  // names of the walked text begin. Remembered for the walk.
  bool IsNamePrefix(const Finding& finding);
  // A name of ASCII (NameParts: `detect_data_type`, `windowBits`, a name of the code in
  // prose): each of its parts judged, and the rejected ones reported apart, at their places.
  // False for another word.
  bool RejectParts(const Finding& finding, WordRules rules);
  void Report(const Finding& finding);

  SpellingSession& session_;
  Utf8WordVerdicts& verdicts_;
  const Document* document_ = nullptr;  // of the walk under way
  Reporter* reporter_ = nullptr;
  bool wants_accepted_ = false;  // reporter_->WantsAcceptedWords(), asked once a walk
  InlineDirectives directives_of_text_;
  const InlineDirectives* directives_ = nullptr;  // of the walk under way; none when empty
  std::size_t directives_start_ = 0;  // where the text walked starts in the directives' text
  // The piece being walked (CheckPieces), where its words are found, and where it starts in
  // its text.
  const char* piece_ = nullptr;
  const char* piece_end_ = nullptr;
  std::size_t piece_start_ = 0;
  std::u16string_view walked_;  // the prose of the walk under way, when not in pieces
  // The text of the walk under way with its identifiers hidden too (KeepProseAlone); empty
  // when they are not checked.
  std::u16string prose_alone_;
  MarkupNames markup_names_;                                // of the text being walked
  std::unordered_map<std::u16string, bool> name_prefixes_;  // IsNamePrefix's, for the walk
  // CodeWordsOfModeHold's answers, a table of them for each mode asked.
  std::unordered_map<DocumentMode, std::unique_ptr<Utf8WordVerdicts>> code_words_held_;
  Waiting batch_[kBatch];
  std::size_t waiting_ = 0;
  bool found_ = false;
};

}  // namespace lexivane::frontend
