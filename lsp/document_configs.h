// The project configuration (.lexivane.toml, frontend/project/project_configs.h) of each
// document the language server checks, applied as `lexivane check` applies it to the document's
// file: its words, flag-words, rules and identifiers, and its ignore-paths, which leave the
// document without diagnostics. A document that is no `file:` URI has none.
//
// The configuration files are looked at again before each use: the stamps (size, times, inode)
// of every configuration file that could apply in the document's folder, present or not, are
// compared with those seen before. When one changed, appeared or went, every configuration is
// read afresh and `changed` is called, so that the server checks every open document again.
// Refresh does the same for every folder seen, when the client says a file changed. The files a
// configuration's words-files name are looked at alike.
//
// A configuration with a fault is reported through `report`, once until a configuration file
// changes, and the document is checked without it.
//
// Thread-safe: the worker and the server's thread prepare their own sessions with it; the
// callbacks are called on the calling thread with no lock held.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "frontend/modes/document_modes.h"
#include "frontend/project/configured_check.h"
#include "frontend/session/custom_dictionary_file.h"
#include "frontend/session/spelling_session.h"
#include "frontend/session/word_rules.h"

namespace lexivane::frontend::lsp {

class DocumentConfigs {
 public:
  using Report = std::function<void(const std::string& message)>;

  DocumentConfigs(Report report, std::function<void()> changed);

  // The server's settings: the word rules it leaves on, whether it checks identifiers, and the
  // English variant it names (none: each configuration's).
  void UseSettings(WordRules rules, bool identifiers, std::optional<EnglishVariant> variant);

  // Readies `session` (when given) for the document at `uri`, read in `mode`, and answers how
  // its document shows the identifiers of code; none when its configuration leaves it out.
  std::optional<CodeIdentifiers> Prepare(const std::string& uri, DocumentMode mode,
                                         SpellingSession* session);
  // The configuration file that applies to the document (absolute); none without one, or when
  // it has a fault.
  std::optional<std::filesystem::path> ConfigFileOf(const std::string& uri);

  void Refresh();

 private:
  using Stamps = std::vector<std::optional<FileStamp>>;
  // The stamps of what the configuration of a folder is read from, as they are now: every
  // configuration file that could apply, and the words files of the one `check` finds.
  static Stamps StampsIn(const std::filesystem::path& folder, ConfiguredCheck& check);
  // The check of the configuration files as they stand, after looking at those of `folder`.
  std::shared_ptr<ConfiguredCheck> CurrentCheck(const std::filesystem::path& folder);
  void ReadAfresh();  // with mutex_ held
  void ReportOnce(const std::string& message);

  const Report report_;
  const std::function<void()> changed_;
  std::mutex mutex_;
  WordRules rules_ = WordRules::All();
  bool identifiers_ = false;
  std::optional<EnglishVariant> variant_;
  std::shared_ptr<ConfiguredCheck> check_;
  std::map<std::filesystem::path, Stamps> seen_;  // by folder, since the last ReadAfresh
  std::set<std::string> reported_;
};

}  // namespace lexivane::frontend::lsp
