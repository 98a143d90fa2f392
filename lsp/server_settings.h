// The language server's settings: what the client may set (in initializationOptions or with
// workspace/didChangeConfiguration), and how a value the client sends is read and checked.
//
// CheckerSettings is what an engine and its finder are made from; a change of it means a new
// engine for every thread that checks. ServerSettings adds what only shapes the answers (the
// diagnostics' severity). Values; ChangeSettings is a pure function, for any thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "frontend/pipeline/prepared_checker.h"
#include "frontend/session/custom_dictionary_file.h"
#include "frontend/session/english_variant.h"
#include "frontend/session/ranking.h"
#include "frontend/session/word_rules.h"

namespace lexivane::frontend::lsp {

struct CheckerSettings {
  std::optional<std::string> custom_dictionary;  // none: the tool's default file
  float suggestion_threshold = 0.8f;
  std::size_t max_suggestions = 5;
  Ranking ranking = kDefaultRanking;   // "suggestionRanking": "typing" or "engine"
  WordRules rules = WordRules::All();  // "noRule": the names of those switched off
  bool check_identifiers = false;      // in the code modes, the identifiers of the code too
  // "variant": the English to check for; none: each document's configuration's, else en-US.
  std::optional<EnglishVariant> variant = std::nullopt;
  friend bool operator==(const CheckerSettings&, const CheckerSettings&) = default;
};

// The custom dictionary file the settings mean. The server's file is made by the first word
// saved to it; until then there is none.
CustomDictionaryFile CustomDictionaryOf(const CheckerSettings& settings);
// The checker the settings call for (prepared_checker.h), with that file.
CheckerSetup CheckerSetupOf(const CheckerSettings& settings);

struct ServerSettings {
  CheckerSettings checker;
  int severity = 3;  // the protocol's DiagnosticSeverity: 1 error ... 4 hint
  friend bool operator==(const ServerSettings&, const ServerSettings&) = default;
};

struct SettingsChange {
  ServerSettings settings;
  std::vector<std::string> refused;  // the names of the settings whose value was not taken
};

// `current` with the settings that `given` holds, either under a "lexivane" key or at its top.
// A setting whose value does not fit keeps its current value and is named in `refused`;
// settings the server does not know are passed over.
SettingsChange ChangeSettings(const ServerSettings& current, const nlohmann::json& given);

}  // namespace lexivane::frontend::lsp
