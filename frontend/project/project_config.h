// A project's configuration file (.lexivane.toml or lexivane.toml, TOML read with toml++): the
// words of the project, the files not to check, the word rules and identifiers, and overrides
// of these for some of the files. docs/repository.md gives every key.
//
//   words = ["Lexivane", "toml"]        accepted in the files the configuration covers
//   words-files = ["words.txt"]         more of them, one a line, relative to this file
//   flag-words = ["teh"]                rejected even where the word list holds them
//   ignore-paths = ["vendor/", "*.svg"] files not checked (.gitignore syntax, path_globs.h)
//   variant = "en-GB"                   the English: en-US, en-GB, en-CA, en-AU or en (any)
//   rules = { names = false }           word rules switched off or on (word_rules.h)
//   identifiers = true                  the words of the identifiers of code checked too: "likely"
//                                       (as true) reports their likely typos, "all" every word
//                                       (the rule unlikely-typos off)
//   [[overrides]]                       for the files its `paths` globs match, in order:
//   paths = ["docs/**"]                 a later table's word wins over an earlier one's, its
//   words = ["docstring"]               rules and values replace theirs, its ignore-paths add
//
// Paths and globs are relative to the configuration's folder. Read reads and checks it all at
// once, its words files included, and throws a CommandError on the first fault:
// "FILE:LINE:COLUMN: what is wrong" for a TOML error, an unknown key, a value of the wrong type,
// a word that cannot be one (given_word.h), a bad glob (GlobProblem), or a words file that
// cannot be read; so a configuration is never half taken.
//
// A read configuration does not change; SettingsFor may be asked from any thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "frontend/project/path_globs.h"
#include "frontend/session/english_variant.h"
#include "frontend/session/spelling_session.h"
#include "frontend/session/word_rules.h"

namespace lexivane::frontend {

// What a configuration says for one file.
struct ProjectSettings {
  std::shared_ptr<const ProjectWords> words;  // null: none
  WordRules rules = WordRules::All();         // those the configuration leaves on
  bool identifiers = false;
  EnglishVariant variant = kDefaultVariant;
};

struct FileSettings {
  bool ignored = false;  // an ignore-paths glob matches the file
  // Shared by every file the same tables apply to, so that a session keeps its verdicts.
  std::shared_ptr<const ProjectSettings> settings;
};

class ProjectConfig {
 public:
  // `file` as the person may read it in messages.
  static std::shared_ptr<const ProjectConfig> Read(const std::filesystem::path& file);

  ProjectConfig(const ProjectConfig&) = delete;
  ProjectConfig& operator=(const ProjectConfig&) = delete;
  ~ProjectConfig();

  const std::filesystem::path& file() const { return file_; }
  // The words files it read (words-files, of its top level and overrides), absolute.
  const std::vector<std::filesystem::path>& words_files() const { return words_files_; }
  // `file`: absolute and lexically normal; one outside the configuration's folder is matched
  // by no glob. `folder_wide`: the top-level keys only, for a text that is no file there
  // (standard input).
  FileSettings SettingsFor(const std::filesystem::path& file, bool folder_wide = false) const;

  // The keys of the top level or of one override, as written.
  struct Table;

 private:
  ProjectConfig(std::filesystem::path file, std::filesystem::path folder);

  const std::filesystem::path file_;
  const std::filesystem::path folder_;  // absolute, lexically normal
  std::unique_ptr<Table> base_;
  std::vector<std::unique_ptr<Table>> overrides_;
  std::vector<std::filesystem::path> words_files_;
  // The settings of each set of overrides met so far (one bit per override).
  mutable std::mutex mutex_;
  mutable std::map<std::vector<bool>, std::shared_ptr<const ProjectSettings>> merged_;
};

}  // namespace lexivane::frontend
