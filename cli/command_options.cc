#include "cli/command_options.h"

#include <CLI/CLI.hpp>

#include <fstream>
#include <string_view>

#include "frontend/session/custom_dictionary_file.h"

namespace lexivane::cli {
namespace {

// "a, b, c": the names an option takes, for its help and its errors.
template <typename Names, typename NameOf>
std::string ListOfNames(const Names& names, NameOf name_of) {
  std::string list;
  for (const auto& each : names) list += (list.empty() ? "" : ", ") + std::string(name_of(each));
  return list;
}

}  // namespace

void AddCustomOption(CLI::App& command, std::optional<std::string>& custom_file) {
  command
      .add_option("--custom", custom_file,
                  "Custom dictionary to use instead of " + frontend::DefaultCustomDictionaryFile())
      ->check(CLI::Validator(
          [](const std::string& file) { return file.empty() ? "the file name is empty" : ""; },
          "FILE"));
}

void AddModeOption(CLI::App& command, std::optional<std::string>& mode_name) {
  const std::string names = ListOfNames(frontend::ModeNames(),
                                        [](const frontend::ModeName& known) { return known.name; });
  command
      .add_option("--mode", mode_name,
                  "Which parts of the files are prose to check: " + names +
                      " (default: by each file's extension, none for other files)")
      ->check(CLI::Validator(
          [names](const std::string& name) {
            return frontend::ModeNamed(name) ? ""
                                             : "no mode " + name + " (the modes: " + names + ")";
          },
          "NAME"));
}

void AddNoRuleOption(CLI::App& command, std::vector<std::string>& rules_off) {
  const std::string names =
      ListOfNames(frontend::WordRuleNames(), [](std::string_view name) { return name; });
  command
      .add_option(
          "--no-rule", rules_off,
          "Switch a word rule off: " + names + " (repeat it or separate the names with commas)")
      ->delimiter(',')
      ->allow_extra_args(false)
      ->check(CLI::Validator(
          [names](const std::string& name) {
            return frontend::NamedWordRule(name)
                       ? ""
                       : "no rule " + name + " (the rules: " + names + ")";
          },
          "NAME"));
}

void AddVariantOption(CLI::App& command, std::optional<frontend::EnglishVariant>& variant) {
  const std::string names =
      ListOfNames(frontend::VariantNames(), [](std::string_view name) { return name; });
  command
      .add_option_function<std::string>(
          "--variant",
          [&variant](const std::string& name) { variant = frontend::NamedVariant(name); },
          "The English to check for: " + names +
              " (en: any of them; default: the configuration's, else en-US)")
      ->check(CLI::Validator(
          [names](const std::string& name) {
            return frontend::NamedVariant(name)
                       ? ""
                       : "no variant " + name + " (the variants: " + names + ")";
          },
          "NAME"));
}

void AddRankingOption(CLI::App& command, frontend::Ranking& ranking) {
  std::string what;
  for (const frontend::RankingName& known : frontend::RankingNames()) {
    what += (what.empty() ? "" : "; ") + std::string(known.name) + ", " + std::string(known.what);
  }
  command
      .add_option_function<std::string>(
          "--ranking",
          [&ranking](const std::string& name) {
            ranking = frontend::RankingNamed(name).value_or(ranking);
          },
          "The order of the suggestions: " + what +
              " (default: " + std::string(frontend::NameOf(ranking)) + ")")
      ->check(CLI::Validator(
          [](const std::string& name) {
            return frontend::RankingNamed(name)
                       ? ""
                       : "no ranking " + name + " (the rankings: " + frontend::RankingNameList() +
                             ")";
          },
          "NAME"));
}

frontend::DocumentMode ModeOf(const std::optional<std::string>& mode_name,
                              const std::string& file) {
  if (mode_name) return frontend::ModeNamed(*mode_name).value_or(frontend::DocumentMode::kNone);
  const frontend::DocumentMode by_name = frontend::ModeForFile(file);
  if (by_name != frontend::DocumentMode::kNone || file == "-") return by_name;
  // A script without an extension says what it is on its interpreter line.
  std::ifstream in(file, std::ios::binary);
  char head[256];
  in.read(head, sizeof head);
  return ModeOf(mode_name, file, std::string_view(head, static_cast<std::size_t>(in.gcount())));
}

frontend::DocumentMode ModeOf(const std::optional<std::string>& mode_name, const std::string& file,
                              std::string_view first_bytes) {
  if (mode_name) return frontend::ModeNamed(*mode_name).value_or(frontend::DocumentMode::kNone);
  return frontend::ModeForFile(file, first_bytes.substr(0, first_bytes.find('\n')));
}

frontend::DocumentMode WalkedFileMode(const std::optional<std::string>& mode_name,
                                      const std::string& file, std::string_view first_bytes) {
  const frontend::DocumentMode mode = ModeOf(mode_name, file, first_bytes);
  return !mode_name && mode == frontend::DocumentMode::kNone ? frontend::DocumentMode::kUrl : mode;
}

void AddIdentifiersOption(CLI::App& command, bool& identifiers) {
  command.add_flag("--identifiers", identifiers,
                   "In source code (the modes ccpp, comment, python), check the identifiers of "
                   "the code too, each word of one (getValue, max_size) on its own");
}

void AddConfigOption(CLI::App& command, std::optional<std::string>& config_file) {
  command.add_option("--config", config_file,
                     "Configuration file for every file (default: each file's .lexivane.toml or "
                     "lexivane.toml, in its folder or the nearest above it in the repository)");
}

}  // namespace lexivane::cli
