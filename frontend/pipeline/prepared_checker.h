// What every front end checks with, set up in one place: an engine readied on the calling
// thread, the custom dictionary file loaded into it (and its names, for the word rule `names`),
// the session over them with the front end's word rules, ranking and number of suggestions,
// and the document checker over the session (document_checker.h).
//
// The engine works on the calling thread's dictionaries (lexivane/spell_check.h), so the
// checker is made and used on one thread; the session's added words stay in that thread's
// custom dictionary after it is gone.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "frontend/pipeline/document_checker.h"
#include "frontend/session/custom_dictionary_file.h"
#include "frontend/session/english_variant.h"
#include "frontend/session/ranking.h"
#include "frontend/session/spelling_session.h"
#include "frontend/session/suggestion_memo.h"
#include "frontend/session/word_rules.h"
#include "lexivane/spell_check.h"

namespace lexivane::frontend {

struct CheckerSetup {
  // The file named (--custom, -p, a setting); none: the library's default file. No file at all,
  // and no custom dictionary in the verdicts, for a front end whose host keeps the person's
  // words itself (the Enchant provider).
  std::optional<std::string> custom_file;
  CustomDictionaryFile::Missing missing = CustomDictionaryFile::Missing::kRefused;
  bool uses_custom_file = true;
  WordRules rules = WordRules::All();
  // The session's until a project's settings (configured_check.h) say otherwise.
  EnglishVariant variant = kDefaultVariant;
  Ranking ranking = kDefaultRanking;
  std::size_t max_suggestions = 0;
  std::optional<float> suggestion_threshold;  // the engine's own when none
  // The suggestion memo of the checkers of one walk's threads (suggestion_memo.h); none: each
  // session keeps its own.
  std::shared_ptr<SuggestionMemo> shared_suggestions;
};

class PreparedChecker {
 public:
  // Reports a custom dictionary file that cannot be read, and the checker goes on without its
  // words; without one, that is a CommandError (LoadInto's message).
  using Warn = std::function<void(const std::string& message)>;

  explicit PreparedChecker(const CheckerSetup& setup, Warn warn = {});
  PreparedChecker(const PreparedChecker&) = delete;
  PreparedChecker& operator=(const PreparedChecker&) = delete;

  SpellCheck& engine() { return engine_; }
  SpellingSession& session() { return session_; }
  DocumentChecker& checker() { return checker_; }
  const CustomDictionaryFile& custom_file() const { return file_; }
  // The file whose words were loaded last; none when none could be.
  const std::optional<std::string>& loaded_custom_file() const { return loaded_file_; }

  // Loads the custom dictionary file again when it changed on disk since it was last looked at,
  // keeping the words the session added (saved or not); true when it did, so that what was
  // found before may be out of date. A file gone keeps its words: nothing takes words out of a
  // thread's custom dictionary.
  bool CatchUpWithCustomFile();

 private:
  // Loads the file as it is at `now`; true when it did.
  bool Load(std::optional<FileStamp> now);

  SpellCheck engine_;
  const CustomDictionaryFile file_;
  const bool uses_file_;
  const Warn warn_;
  std::optional<FileStamp> stamp_;  // of the file when it was last loaded, or looked at
  std::optional<std::string> loaded_file_;
  SpellingSession session_;
  DocumentChecker checker_;
};

}  // namespace lexivane::frontend
