// The language server's side of the protocol's JSON: the objects it sends (positions, ranges,
// diagnostics, the quick fixes of a misspelling, the parameters of publishDiagnostics) and the
// parameters it reads from the client's messages (positions, changes, a command's word).
//
// Readers throw InvalidParams, or nlohmann::json's exception for a member that is missing or of
// the wrong type; the dispatcher answers either with the protocol's error for parameters that
// do not fit. Pure functions, any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "lsp/text_document.h"
#include "lsp/workspace.h"

namespace lexivane::frontend::lsp {

// The commands of the code actions, which the server carries out (workspace/executeCommand).
inline constexpr const char* kAddCommand = "lexivane.addToDictionary";
inline constexpr const char* kIgnoreCommand = "lexivane.ignoreWord";

// A request whose parameters do not fit.
struct InvalidParams {
  std::string message;
};

nlohmann::json Position(TextPosition position);
nlohmann::json Range(TextPosition start, TextPosition end);
nlohmann::json Diagnostic(const nlohmann::json& range, const Misspelling& misspelling,
                          int severity);

// The document that quick fixes edit. With a version, the edits name it (`documentChanges`), so
// that a client refuses them once the document has changed; without one they go in `changes`,
// which every client takes.
struct EditedDocument {
  std::string uri;
  std::optional<std::int64_t> version;
};

// Appends to `actions` the quick fixes of one misspelling of the document: a change to each of
// its suggestions (the first preferred), then adding the word to the dictionary, to the
// project's words when `project_words_edit` (a WorkspaceEdit) is given, and ignoring it.
void AddQuickFixes(nlohmann::json& actions, const EditedDocument& document,
                   const PlacedMisspelling& placed, const std::vector<std::u16string>& suggestions,
                   int severity, const nlohmann::json* project_words_edit = nullptr);

// The WorkspaceEdit that adds `word` to the words of the configuration file at `uri`, whose
// text is `toml` (AddProjectWord, which keeps the file's comments and layout); none when the
// word is there already. Throws CommandError for a file that AddProjectWord refuses.
std::optional<nlohmann::json> ProjectWordsEdit(const std::string& uri, std::string_view toml,
                                               std::u16string_view word);

// The whole textDocument/publishDiagnostics notification for the misspellings found in a
// snapshot, each a Diagnostic. Written as text, not built as a tree and dumped: a large
// document has tens of thousands of them, and the tree cost several times the check.
std::string PublishDiagnosticsMessage(const Workspace::Snapshot& checked,
                                      const std::vector<Misspelling>& found, int severity);

TextPosition PositionFrom(const nlohmann::json& position);
// The changes of a textDocument/didChange, in order.
std::vector<TextChange> TextChangesFrom(const nlohmann::json& content_changes);
// The word of a command's arguments: ["word"] (or [{"word": "word"}], as a client that passes
// the diagnostic's data back would), read as ReadGivenWord reads it; a word it refuses is
// InvalidParams.
std::u16string CommandWord(const nlohmann::json& params);

}  // namespace lexivane::frontend::lsp
