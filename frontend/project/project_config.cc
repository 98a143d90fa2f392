#include "frontend/project/project_config.h"

#include <fcntl.h>

#include <toml++/toml.h>
#include <array>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "frontend/io/command_error.h"
#include "frontend/io/input_text.h"
#include "frontend/session/offered_lists.h"
#include "frontend/words/given_word.h"
#include "lexivane/letter_case.h"
#include "lexivane/utf8.h"
#include "support/descriptor.h"

namespace lexivane::frontend {

namespace fs = std::filesystem;

struct ProjectConfig::Table {
  std::vector<std::u16string> words, flag_words;  // folded
  std::unique_ptr<PathGlobs> ignore_paths;
  std::unique_ptr<PathGlobs> paths;  // of an override
  std::vector<std::pair<WordRule, bool>> rules;
  std::optional<bool> identifiers;
  std::optional<EnglishVariant> variant;
};

namespace {

constexpr std::string_view kKeys[] = {"words",   "words-files", "flag-words", "ignore-paths",
                                      "variant", "rules",       "identifiers"};

std::string ListOf(const auto& names) {
  std::string list;
  for (const std::string_view name : names) list += (list.empty() ? "" : ", ") + std::string(name);
  return list;
}

std::string_view TypeName(const toml::node& node) {
  switch (node.type()) {
    case toml::node_type::table:
      return "a table";
    case toml::node_type::array:
      return "an array";
    case toml::node_type::string:
      return "a string";
    case toml::node_type::integer:
      return "an integer";
    case toml::node_type::floating_point:
      return "a number";
    case toml::node_type::boolean:
      return "true or false";
    default:
      return "a date or time";
  }
}

// The bytes of a file, or a CommandError "NAME: reason".
std::string ReadFile(const fs::path& file, const std::string& name) {
  support::Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  std::string bytes;
  const int error = fd.get() < 0 ? errno : support::ReadAll(fd.get(), bytes);
  if (error != 0) throw CommandError(name + ": " + std::strerror(error));
  return bytes;
}

class Reader {
 public:
  Reader(const fs::path& file, const fs::path& folder) : file_(file), folder_(folder) {}

  [[noreturn]] void Fail(const toml::source_region& where, const std::string& message) const {
    Fail(file_.string(), where.begin.line, where.begin.column, message);
  }
  [[noreturn]] static void Fail(const std::string& file, std::size_t line, std::size_t column,
                                const std::string& message) {
    throw CommandError(file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " +
                       message);
  }

  toml::table Parse(const std::string& text) const {
    try {
      return toml::parse(text, file_.string());
    } catch (const toml::parse_error& error) {
      Fail(error.source(), std::string(error.description()));
    }
  }

  // The keys of the top level (`is_override` false) or of one override.
  std::unique_ptr<ProjectConfig::Table> ReadTable(const toml::table& keys, bool is_override) {
    auto table = std::make_unique<ProjectConfig::Table>();
    for (const auto& [key, value] : keys) {
      const std::string_view name = key.str();
      if (name == "words" || name == "flag-words") {
        std::vector<std::u16string>& words = name == "words" ? table->words : table->flag_words;
        ForEachString(value, name, [&](const toml::value<std::string>& word) {
          words.push_back(Word(word, name));
        });
      } else if (name == "words-files") {
        ForEachString(value, name, [&](const toml::value<std::string>& file) {
          ReadWordsFile(file, table->words);
        });
      } else if (name == "ignore-paths") {
        table->ignore_paths = Globs(value, name);
      } else if (name == "paths" && is_override) {
        table->paths = Globs(value, name);
        if (table->paths->empty()) {
          Fail(value.source(), "paths is empty: the override covers no file");
        }
      } else if (name == "variant") {
        table->variant = Variant(value);
      } else if (name == "rules") {
        // After what `identifiers` switched: the table of rules has the last word.
        for (const auto& switched : Rules(value)) table->rules.push_back(switched);
      } else if (name == "identifiers") {
        // "likely": the words that are likely typos (true says the same); "all": every word
        // no list holds, as the rule unlikely-typos switched off says.
        const std::optional<std::string_view> which = value.value<std::string_view>();
        if (!value.is_boolean() && which != "likely" && which != "all") {
          Fail(value.source(),
               Expected("identifiers", "true, false, \"likely\" or \"all\"", value));
        }
        table->identifiers = !value.is_boolean() || value.as_boolean()->get();
        if (which) table->rules.emplace_back(WordRule::kUnlikelyTypos, which == "likely");
      } else if (!(name == "overrides" && !is_override)) {
        Fail(key.source(), "unknown key " + std::string(name) + " (the keys: " + ListOf(kKeys) +
                               (is_override ? ", paths)" : ", overrides)"));
      }
    }
    if (is_override && !table->paths) Fail(keys.source(), "an override needs paths");
    return table;
  }

  std::vector<std::unique_ptr<ProjectConfig::Table>> ReadOverrides(const toml::node& value) {
    const toml::array* tables = value.as_array();
    if (!tables) Fail(value.source(), Expected("overrides", "an array of tables", value));
    std::vector<std::unique_ptr<ProjectConfig::Table>> overrides;
    for (const toml::node& table : *tables) {
      if (!table.is_table()) Fail(table.source(), Expected("each override", "a table", table));
      overrides.push_back(ReadTable(*table.as_table(), true));
    }
    return overrides;
  }

  std::vector<fs::path> TakeWordsFiles() { return std::move(words_files_); }

 private:
  static std::string Expected(std::string_view what, std::string_view expected,
                              const toml::node& found) {
    return std::string(what) + " is " + std::string(expected) + ", not " +
           std::string(TypeName(found));
  }

  template <typename Take>
  void ForEachString(const toml::node& value, std::string_view key, Take take) const {
    const toml::array* items = value.as_array();
    if (!items) Fail(value.source(), Expected(key, "an array of strings", value));
    for (const toml::node& item : *items) {
      const auto* string = item.as_string();
      if (!string) {
        Fail(item.source(), Expected("each item of " + std::string(key), "a string", item));
      }
      take(*string);
    }
  }

  std::u16string Word(const toml::value<std::string>& word, std::string_view key) const {
    GivenWord given = ReadGivenWord(FromUtf8(word.get()));
    if (!given.taken()) Fail(word.source(), std::string(key) + ": " + given.refusal);
    return FoldCase(given.word);
  }

  // One word a line; blank lines and lines that begin with # are passed over.
  void ReadWordsFile(const toml::value<std::string>& name, std::vector<std::u16string>& words) {
    const fs::path file = folder_ / name.get();
    words_files_.push_back(file.lexically_normal());
    const std::string shown = (file_.parent_path() / name.get()).string();
    std::string bytes;
    try {
      bytes = ReadFile(file, shown);
    } catch (const CommandError& error) {
      Fail(name.source(), std::string("words-files: cannot read ") + error.what());
    }
    const std::u16string text = DecodeText(bytes);
    std::size_t line = 0;
    for (std::size_t start = 0; start <= text.size(); ++line) {
      const std::size_t end = std::min(text.find(u'\n', start), text.size());
      std::u16string_view entry = std::u16string_view(text).substr(start, end - start);
      start = end + 1;
      while (!entry.empty() &&
             (entry.back() == u'\r' || entry.back() == u' ' || entry.back() == u'\t')) {
        entry.remove_suffix(1);
      }
      while (!entry.empty() && (entry.front() == u' ' || entry.front() == u'\t'))
        entry.remove_prefix(1);
      if (entry.empty() || entry.front() == u'#') continue;
      GivenWord given = ReadGivenWord(entry);
      if (!given.taken()) Fail(shown, line + 1, 1, given.refusal);
      words.push_back(FoldCase(given.word));
    }
  }

  std::unique_ptr<PathGlobs> Globs(const toml::node& value, std::string_view key) const {
    std::vector<std::string> globs;
    ForEachString(value, key, [&](const toml::value<std::string>& glob) {
      if (const auto problem = GlobProblem(glob.get())) {
        Fail(glob.source(), std::string(key) + ": " + *problem);
      }
      globs.push_back(glob.get());
    });
    return std::make_unique<PathGlobs>(globs);
  }

  EnglishVariant Variant(const toml::node& value) const {
    const auto* name = value.as_string();
    if (!name) Fail(value.source(), Expected("variant", "a string", value));
    if (const auto variant = NamedVariant(name->get())) return *variant;
    Fail(value.source(),
         "no variant " + name->get() + " (the variants: " + ListOf(VariantNames()) + ")");
  }

  std::vector<std::pair<WordRule, bool>> Rules(const toml::node& value) const {
    const toml::table* rules = value.as_table();
    if (!rules) {
      Fail(value.source(), Expected("rules", "a table of rules and true or false", value));
    }
    std::vector<std::pair<WordRule, bool>> switched;
    for (const auto& [key, on] : *rules) {
      const std::optional<WordRule> rule = NamedWordRule(key.str());
      if (!rule) {
        Fail(key.source(),
             "no rule " + std::string(key.str()) + " (the rules: " + ListOf(WordRuleNames()) + ")");
      }
      if (!on.is_boolean()) {
        Fail(on.source(), Expected("rules." + std::string(key.str()), "true or false", on));
      }
      switched.emplace_back(*rule, on.as_boolean()->get());
    }
    return switched;
  }

  const fs::path& file_;
  const fs::path& folder_;
  std::vector<fs::path> words_files_;
};

}  // namespace

ProjectConfig::ProjectConfig(fs::path file, fs::path folder)
    : file_(std::move(file)), folder_(std::move(folder)) {}

ProjectConfig::~ProjectConfig() = default;

std::shared_ptr<const ProjectConfig> ProjectConfig::Read(const fs::path& file) {
  std::shared_ptr<ProjectConfig> config(
      new ProjectConfig(file, fs::absolute(file).lexically_normal().parent_path()));
  Reader reader(config->file_, config->folder_);
  const toml::table keys = reader.Parse(ReadFile(file, file.string()));
  config->base_ = reader.ReadTable(keys, false);
  if (const toml::node* overrides = keys.get("overrides")) {
    config->overrides_ = reader.ReadOverrides(*overrides);
  }
  config->words_files_ = reader.TakeWordsFiles();
  return config;
}

FileSettings ProjectConfig::SettingsFor(const fs::path& file, bool folder_wide) const {
  const fs::path relative = file.lexically_relative(folder_);
  const bool inside = !folder_wide && !relative.empty() && *relative.begin() != "..";
  const std::string path = inside ? relative.generic_string() : std::string();
  const auto matches = [&](const std::unique_ptr<PathGlobs>& globs) {
    return inside && globs && globs->Match(path);
  };
  FileSettings settings;
  settings.ignored = matches(base_->ignore_paths);
  std::vector<bool> applying(overrides_.size());
  for (std::size_t i = 0; i < overrides_.size(); ++i) {
    applying[i] = matches(overrides_[i]->paths);
    settings.ignored = settings.ignored || (applying[i] && matches(overrides_[i]->ignore_paths));
  }

  const std::lock_guard lock(mutex_);
  std::shared_ptr<const ProjectSettings>& merged = merged_[applying];
  if (!merged) {
    auto made = std::make_shared<ProjectSettings>();
    auto words = std::make_shared<ProjectWords>();
    const auto apply = [&](const Table& table) {
      for (const std::u16string& word : table.words) {
        words->flagged.erase(word);
        words->accepted.insert(word);
      }
      for (const std::u16string& word : table.flag_words) {
        words->accepted.erase(word);
        words->flagged.insert(word);
      }
      for (const auto& [rule, on] : table.rules) {
        made->rules = on ? made->rules.With(rule) : made->rules.Without(rule);
      }
      made->identifiers = table.identifiers.value_or(made->identifiers);
      made->variant = table.variant.value_or(made->variant);
    };
    apply(*base_);
    for (std::size_t i = 0; i < overrides_.size(); ++i) {
      if (applying[i]) apply(*overrides_[i]);
    }
    words->offered = OwnWordsOffered({words->accepted.begin(), words->accepted.end()});
    if (!words->accepted.empty() || !words->flagged.empty()) made->words = std::move(words);
    merged = std::move(made);
  }
  settings.settings = merged;
  return settings;
}

}  // namespace lexivane::frontend
