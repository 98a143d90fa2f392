#include "lsp/server_settings.h"

#include <cstdint>
#include <utility>

#include "lexivane/shown_suggestions.h"

namespace lexivane::frontend::lsp {

namespace {

using Json = nlohmann::json;

std::optional<int> SeverityFrom(const Json& value) {
  if (value.is_number_integer()) {
    const auto number = value.get<std::int64_t>();
    if (number >= 1 && number <= 4) return static_cast<int>(number);
  } else if (value.is_string()) {
    static const std::pair<const char*, int> kNames[] = {
        {"error", 1}, {"warning", 2}, {"information", 3}, {"info", 3}, {"hint", 4}};
    for (const auto& [name, severity] : kNames) {
      if (value.get<std::string>() == name) return severity;
    }
  }
  return std::nullopt;
}

}  // namespace

CustomDictionaryFile CustomDictionaryOf(const CheckerSettings& settings) {
  return CustomDictionaryFile(settings.custom_dictionary,
                              CustomDictionaryFile::Missing::kNoneUntilMade);
}

CheckerSetup CheckerSetupOf(const CheckerSettings& settings) {
  CheckerSetup setup;
  setup.custom_file = settings.custom_dictionary;
  setup.missing = CustomDictionaryFile::Missing::kNoneUntilMade;
  setup.rules = settings.rules;
  setup.ranking = settings.ranking;
  setup.max_suggestions = settings.max_suggestions;
  setup.suggestion_threshold = settings.suggestion_threshold;
  return setup;
}

SettingsChange ChangeSettings(const ServerSettings& current, const Json& given) {
  SettingsChange change{current, {}};
  const Json& settings = given.contains("lexivane") ? given["lexivane"] : given;
  if (!settings.is_object()) return change;
  ServerSettings& next = change.settings;
  const auto refuse = [&](const char* name) { change.refused.emplace_back(name); };
  if (const auto it = settings.find("customDictionary"); it != settings.end()) {
    if (it->is_null() || (it->is_string() && it->get<std::string>().empty())) {
      next.checker.custom_dictionary.reset();
    } else if (it->is_string()) {
      next.checker.custom_dictionary = it->get<std::string>();
    } else {
      refuse("customDictionary");
    }
  }
  if (const auto it = settings.find("severity"); it != settings.end()) {
    if (const auto severity = SeverityFrom(*it)) {
      next.severity = *severity;
    } else {
      refuse("severity");
    }
  }
  if (const auto it = settings.find("suggestionThreshold"); it != settings.end()) {
    if (it->is_number() && it->get<double>() >= 0 && it->get<double>() <= 1) {
      next.checker.suggestion_threshold = it->get<float>();
    } else {
      refuse("suggestionThreshold");
    }
  }
  if (const auto it = settings.find("maxSuggestions"); it != settings.end()) {
    if (it->is_number_integer() && it->get<std::int64_t>() >= 0 &&
        it->get<std::int64_t>() <= static_cast<std::int64_t>(kShownSuggestionsMax)) {
      next.checker.max_suggestions = it->get<std::size_t>();
    } else {
      refuse("maxSuggestions");
    }
  }
  if (const auto it = settings.find("suggestionRanking"); it != settings.end()) {
    const auto ranking = it->is_string() ? RankingNamed(it->get<std::string>()) : std::nullopt;
    if (ranking) {
      next.checker.ranking = *ranking;
    } else {
      refuse("suggestionRanking");
    }
  }
  if (const auto it = settings.find("noRule"); it != settings.end()) {
    WordRules rules = WordRules::All();
    bool known = it->is_array();
    for (const Json& name : known ? *it : Json::array()) {
      const auto rule = name.is_string() ? NamedWordRule(name.get<std::string>()) : std::nullopt;
      known = known && rule.has_value();
      if (rule) rules = rules.Without(*rule);
    }
    if (known) {
      next.checker.rules = rules;
    } else {
      refuse("noRule");
    }
  }
  if (const auto it = settings.find("variant"); it != settings.end()) {
    const auto variant = it->is_string() ? NamedVariant(it->get<std::string>()) : std::nullopt;
    if (variant || it->is_null()) {
      next.checker.variant = variant;
    } else {
      refuse("variant");
    }
  }
  if (const auto it = settings.find("checkIdentifiers"); it != settings.end()) {
    if (it->is_boolean()) {
      next.checker.check_identifiers = it->get<bool>();
    } else {
      refuse("checkIdentifiers");
    }
  }
  return change;
}

}  // namespace lexivane::frontend::lsp
