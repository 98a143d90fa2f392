// What a configuration changes in the check of each file, for the commands that check files
// (`check`, `list`) and for the walk that finds them: whether the file is checked at all, the
// session's word rules, project words and English variant, and whether the identifiers of code
// are checked. The command line has the last word: a rule it switches off stays off, a variant
// it names is the variant, and --identifiers checks the identifiers whatever the configuration
// says.
//
// Any thread may call Prepare, each with its own session.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frontend/modes/document_modes.h"
#include "frontend/project/project_configs.h"
#include "frontend/session/spelling_session.h"
#include "frontend/session/word_rules.h"

namespace lexivane::frontend {

class ConfiguredCheck {
 public:
  // `config_file`: --config; `rules`, `identifiers` and `variant` (none: the configuration's):
  // as the command line sets them.
  ConfiguredCheck(std::optional<std::string> config_file, WordRules rules, bool identifiers,
                  std::optional<EnglishVariant> variant = std::nullopt);

  // Reads the configuration of each file (a CommandError on the first fault), so that a wrong
  // one stops the command before any file is checked.
  void ReadConfigurations(const std::vector<std::string>& files);

  // Readies `session` to check `file`, read in `mode`, and answers how its document shows the
  // identifiers of code; none when the configuration's ignore-paths leave the file out.
  std::optional<CodeIdentifiers> Prepare(const std::string& file, DocumentMode mode,
                                         SpellingSession& session);
  // As Prepare, for a caller with no session to ready yet.
  std::optional<CodeIdentifiers> IdentifiersFor(const std::string& file, DocumentMode mode);
  // The words Prepare hands each session from now on (SpellingSession::UseLearnedWords).
  void UseLearnedWords(std::shared_ptr<const LearnedWords> words) {
    learned_words_ = std::move(words);
  }
  // The configuration that applies to `file` (ProjectConfigs::ConfigFor).
  std::shared_ptr<const ProjectConfig> ConfigFor(const std::string& file) {
    return configs_.ConfigFor(file);
  }

 private:
  std::optional<CodeIdentifiers> Apply(const std::string& file, DocumentMode mode,
                                       SpellingSession* session);

  ProjectConfigs configs_;
  const WordRules rules_;
  const bool identifiers_;
  const std::optional<EnglishVariant> variant_;
  std::shared_ptr<const LearnedWords> learned_words_;
};

}  // namespace lexivane::frontend
