// The documents open in the language server, shared between the thread that reads the client's
// messages (which opens, edits and closes them, and answers code actions from them) and the
// worker that checks them (which takes a copy of a changed document, checks it without the lock,
// and stores the misspellings it found).
//
// Each document keeps its mode (frontend/modes/document_modes.h): what is checked is its prose, the
// text with everything else blanked, which keeps every offset, so what is found in it is placed
// in the text as it stands.
//
// The misspellings stored are always those of the current text: an edit moves the ones after it
// and drops the ones it touches. An edit made while the worker checks an older copy is noted and
// replayed on the worker's findings when it stores them, so that they too fit the current text.
// A document changed again is checked again; the published diagnostics carry the version they
// were found in.
//
// Thread-safe: every member locks.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "frontend/modes/document_modes.h"
#include "frontend/pipeline/inline_directives.h"
#include "lsp/text_document.h"

namespace lexivane::frontend::lsp {

struct Misspelling {
  std::size_t offset = 0;  // in UTF-16 code units
  std::size_t length = 0;
  std::u16string word;  // as written in the text, less word joiners
};

// A misspelling at the position the client sees.
struct PlacedMisspelling {
  TextPosition start;
  TextPosition end;
  const Misspelling* misspelling;
};

// A change of a document's text: a range, or the whole text when there is none.
struct TextChange {
  std::optional<std::pair<TextPosition, TextPosition>> range;
  std::u16string text;
};

class Workspace {
 public:
  using Clock = std::chrono::steady_clock;

  // A copy of a document for the worker to check.
  struct Snapshot {
    std::string uri;
    std::int64_t version = 0;
    std::uint64_t opening = 0;  // which opening of the uri it belongs to
    TextDocument document;
    DocumentMode mode = DocumentMode::kNone;
    // The document's prose, when a code action made it for this text: the worker need not
    // filter the document again.
    std::optional<std::u16string> prose;
    CodeIdentifiers prose_identifiers = CodeIdentifiers::kHidden;  // it was made with
  };

  // Called with the lock held, so that what is published for a document can never follow its
  // closing; it must not call back into the workspace.
  using Publisher = std::function<void(const Snapshot&, const std::vector<Misspelling>&)>;

  explicit Workspace(Clock::duration quiet_time);

  void Open(const std::string& uri, std::int64_t version, std::u16string text,
            DocumentMode mode = DocumentMode::kNone);
  // False when the document is not open.
  bool Change(const std::string& uri, std::int64_t version, const std::vector<TextChange>& changes);
  // Calls `closed` with the lock held (to publish the empty list) if the document was open.
  void Close(const std::string& uri, const std::function<void()>& closed);
  // The document is checked again (it was saved), or every open one (the dictionaries or the
  // settings changed).
  void CheckAgain(const std::string& uri);
  void CheckAllAgain();

  // The version of the document's text as it stands; nullopt when it is not open.
  std::optional<std::int64_t> VersionOf(const std::string& uri) const;
  // The mode it is read in; nullopt when it is not open.
  std::optional<DocumentMode> ModeOf(const std::string& uri) const;

  // Calls `visit` with the lock held for the stored misspellings that touch the range (a word
  // that ends where the range starts counts), in order; false when the document is not open.
  bool VisitMisspellings(const std::string& uri, TextPosition start, TextPosition end,
                         const std::function<void(const PlacedMisspelling&)>& visit) const;
  // A piece of text that holds every word touching a range, for checking on the spot when the
  // stored misspellings miss the document's latest edits (the worker has not checked them yet).
  // The piece runs from the last ASCII blank before the range (words never cross one) to the
  // first after it, looking at most kStretchReach code units each way; where no blank is in
  // reach it is cut there, and `cut_before` / `cut_after` say so (a word at a cut edge may be
  // part of a longer one). The piece is prose: it is cut from the whole document with its
  // non-prose hidden, since what a piece holds may depend on what comes before it (a word inside
  // a code block); that costs a pass over the document, made only when the worker is behind,
  // once per change.
  // Nullopt when the stored misspellings are current, the range is
  // longer than kLongestUncheckedRange (the stored ones serve then), or the document is not
  // open.
  struct TextPiece {
    std::u16string text;
    TextPosition start;  // of the piece's first character
    bool cut_before = false;
    bool cut_after = false;
    CodeIdentifiers identifiers = CodeIdentifiers::kHidden;  // kept in it, for the finder
    // The inline directives of the whole document, and where the piece starts in it.
    std::shared_ptr<const InlineDirectives> directives = nullptr;
    std::size_t offset = 0;
  };
  static constexpr std::size_t kStretchReach = 4096;
  static constexpr std::size_t kLongestUncheckedRange = 65536;
  // `check_identifiers`: the setting (CodeIdentifiersIn says what it means for the document).
  std::optional<TextPiece> UncheckedPiece(const std::string& uri, TextPosition start,
                                          TextPosition end, bool check_identifiers = false) const;

  // The worker's side. NextToCheck waits until a document has been quiet for the quiet time
  // since its last change (or `stop` returns true: nullopt); Store keeps what was found in a
  // snapshot and publishes it, unless the document was closed meanwhile.
  std::optional<Snapshot> NextToCheck(const std::function<bool()>& stop);
  void Store(const Snapshot& checked, std::vector<Misspelling> found, const Publisher& publish);
  // Wakes NextToCheck so that it asks `stop` again.
  void Wake();

 private:
  struct Edit {
    std::size_t start;
    std::size_t old_end;
    std::size_t new_length;
  };
  struct Entry {
    TextDocument document;
    DocumentMode mode = DocumentMode::kNone;
    std::int64_t version = 0;
    std::uint64_t opening = 0;
    bool dirty = true;
    Clock::time_point changed_at;
    bool being_checked = false;
    bool stored_current = false;  // the misspellings are those of the text as it stands
    std::vector<Edit> edits_while_checked;
    std::vector<Misspelling> misspellings;
    // The prose of the text as it stands, made by the first UncheckedPiece after a change, so
    // that the code actions an editor asks for at every move of the cursor pay for it once, and
    // the worker's next check takes it instead of filtering the text again.
    mutable std::optional<std::u16string> prose;
    mutable CodeIdentifiers prose_identifiers = CodeIdentifiers::kHidden;  // it was made with
    // The inline directives of the text as it stands, read with the prose.
    mutable std::shared_ptr<const InlineDirectives> directives;
  };

  // Moves the misspellings after the edit and drops those it touches.
  static void Shift(std::vector<Misspelling>& misspellings, const Edit& edit);

  const Clock::duration quiet_time_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::string, Entry> documents_;
  std::uint64_t openings_ = 0;
};

}  // namespace lexivane::frontend::lsp
