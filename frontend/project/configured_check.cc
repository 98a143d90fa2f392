#include "frontend/project/configured_check.h"

#include <utility>

namespace lexivane::frontend {

ConfiguredCheck::ConfiguredCheck(std::optional<std::string> config_file, WordRules rules,
                                 bool identifiers, std::optional<EnglishVariant> variant)
    : configs_(std::move(config_file)),
      rules_(rules),
      identifiers_(identifiers),
      variant_(variant) {}

void ConfiguredCheck::ReadConfigurations(const std::vector<std::string>& files) {
  if (files.empty()) configs_.ConfigFor("-");
  for (const std::string& file : files) configs_.ConfigFor(file);
}

std::optional<CodeIdentifiers> ConfiguredCheck::Prepare(const std::string& file, DocumentMode mode,
                                                        SpellingSession& session) {
  return Apply(file, mode, &session);
}

std::optional<CodeIdentifiers> ConfiguredCheck::IdentifiersFor(const std::string& file,
                                                               DocumentMode mode) {
  return Apply(file, mode, nullptr);
}

std::optional<CodeIdentifiers> ConfiguredCheck::Apply(const std::string& file, DocumentMode mode,
                                                      SpellingSession* session) {
  const FileSettings settings = configs_.SettingsFor(file);
  if (settings.ignored) return std::nullopt;
  WordRules rules = settings.settings->rules;
  for (const std::string_view name : WordRuleNames()) {
    const WordRule rule = *NamedWordRule(name);
    if (!rules_.Has(rule)) rules = rules.Without(rule);
  }
  if (session != nullptr) {
    session->UseProjectSettings(rules, settings.settings->words,
                                variant_.value_or(settings.settings->variant));
    session->UseLearnedWords(learned_words_);
  }
  return CodeIdentifiersIn(mode, identifiers_ || settings.settings->identifiers);
}

}  // namespace lexivane::frontend
