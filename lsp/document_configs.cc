#include "lsp/document_configs.h"

#include <system_error>
#include <utility>

#include "frontend/io/command_error.h"
#include "frontend/project/project_configs.h"
#include "lsp/file_uri.h"

namespace lexivane::frontend::lsp {

namespace fs = std::filesystem;

DocumentConfigs::DocumentConfigs(Report report, std::function<void()> changed)
    : report_(std::move(report)), changed_(std::move(changed)) {
  ReadAfresh();
}

void DocumentConfigs::UseSettings(WordRules rules, bool identifiers,
                                  std::optional<EnglishVariant> variant) {
  std::lock_guard lock(mutex_);
  if (rules == rules_ && identifiers == identifiers_ && variant == variant_) return;
  rules_ = rules;
  identifiers_ = identifiers;
  variant_ = variant;
  check_ = std::make_shared<ConfiguredCheck>(std::nullopt, rules_, identifiers_, variant_);
}

void DocumentConfigs::ReadAfresh() {
  check_ = std::make_shared<ConfiguredCheck>(std::nullopt, rules_, identifiers_, variant_);
  seen_.clear();
  reported_.clear();
}

// The folders a configuration is searched in, as ProjectConfigs searches them, then the words
// files of the configuration that applies there.
DocumentConfigs::Stamps DocumentConfigs::StampsIn(const fs::path& folder, ConfiguredCheck& check) {
  Stamps stamps;
  for (fs::path at = folder;; at = at.parent_path()) {
    for (const std::string_view name : kConfigFileNames) {
      stamps.push_back(StampOf((at / name).string()));
    }
    std::error_code error;
    if (fs::exists(fs::symlink_status(at / ".git", error)) || at == at.root_path() ||
        !at.has_relative_path()) {
      break;
    }
  }
  try {
    // Any file of the folder has the folder's configuration.
    if (const auto config = check.ConfigFor((folder / kConfigFileNames[0]).string())) {
      for (const fs::path& words : config->words_files()) stamps.push_back(StampOf(words.string()));
    }
  } catch (const CommandError&) {
    // A configuration with a fault is reported where it is used; its own stamp will show it
    // mended.
  }
  return stamps;
}

std::shared_ptr<ConfiguredCheck> DocumentConfigs::CurrentCheck(const fs::path& folder) {
  std::shared_ptr<ConfiguredCheck> check;
  {
    std::lock_guard lock(mutex_);
    check = check_;
  }
  Stamps now = StampsIn(folder, *check);
  bool changed = false;
  {
    std::lock_guard lock(mutex_);
    const auto [seen, first] = seen_.try_emplace(folder, now);
    if (!first && seen->second != now) {
      changed = true;
      // Every folder is seen afresh at its next check, with the words files read now.
      ReadAfresh();
    }
    check = check_;
  }
  if (changed) changed_();
  return check;
}

void DocumentConfigs::Refresh() {
  bool changed = false;
  {
    std::lock_guard lock(mutex_);
    for (const auto& [folder, stamps] : seen_) {
      if (StampsIn(folder, *check_) != stamps) changed = true;
    }
    if (changed) ReadAfresh();
  }
  if (changed) changed_();
}

void DocumentConfigs::ReportOnce(const std::string& message) {
  {
    std::lock_guard lock(mutex_);
    if (!reported_.insert(message).second) return;
  }
  report_(message);
}

std::optional<CodeIdentifiers> DocumentConfigs::Prepare(const std::string& uri, DocumentMode mode,
                                                        SpellingSession* session) {
  if (const std::optional<std::string> file = FilePathOfUri(uri)) {
    const fs::path path = fs::path(*file).lexically_normal();
    const std::shared_ptr<ConfiguredCheck> check = CurrentCheck(path.parent_path());
    try {
      return session != nullptr ? check->Prepare(path.string(), mode, *session)
                                : check->IdentifiersFor(path.string(), mode);
    } catch (const CommandError& error) {
      ReportOnce(error.what());
    }
  }
  std::lock_guard lock(mutex_);
  if (session != nullptr)
    session->UseProjectSettings(rules_, nullptr, variant_.value_or(kDefaultVariant));
  return CodeIdentifiersIn(mode, identifiers_);
}

std::optional<fs::path> DocumentConfigs::ConfigFileOf(const std::string& uri) {
  const std::optional<std::string> file = FilePathOfUri(uri);
  if (!file) return std::nullopt;
  const fs::path path = fs::path(*file).lexically_normal();
  try {
    const auto config = CurrentCheck(path.parent_path())->ConfigFor(path.string());
    if (config) return fs::absolute(config->file()).lexically_normal();
  } catch (const CommandError&) {
  }
  return std::nullopt;
}

}  // namespace lexivane::frontend::lsp
