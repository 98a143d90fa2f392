#include "frontend/project/project_configs.h"

#include <system_error>
#include <vector>

#include "frontend/io/command_error.h"

namespace lexivane::frontend {

namespace fs = std::filesystem;

namespace {

bool Exists(const fs::path& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

// `path` for messages: relative to the current folder when it is below it.
fs::path Shown(const fs::path& path) {
  std::error_code error;
  const fs::path here = fs::current_path(error);
  if (error) return path;
  const fs::path relative = path.lexically_relative(here);
  return relative.empty() || *relative.begin() == ".." ? path : relative;
}

}  // namespace

ProjectConfigs::ProjectConfigs(std::optional<std::string> named)
    : named_(std::move(named)), defaults_(std::make_shared<ProjectSettings>()) {}

namespace {

// Standard input is a text of the current folder.
fs::path AbsolutePath(const std::string& file) {
  return fs::absolute(file == "-" ? "." : file).lexically_normal();
}

}  // namespace

std::shared_ptr<const ProjectConfig> ProjectConfigs::ConfigFor(const std::string& file) {
  const std::lock_guard lock(mutex_);
  if (named_) {
    if (!named_config_) named_config_ = ProjectConfig::Read(*named_);
    return named_config_;
  }
  // A walk's files of one folder come one after another: the folder as written tells them.
  const std::string_view written_folder = std::string_view(file).substr(0, file.rfind('/') + 1);
  if (file != "-" && last_folder_written_ == written_folder) return last_config_;
  const fs::path path = AbsolutePath(file);
  std::shared_ptr<const ProjectConfig> config = ConfigIn(file == "-" ? path : path.parent_path());
  if (file != "-") {
    last_folder_written_ = written_folder;
    last_config_ = config;
  }
  return config;
}

FileSettings ProjectConfigs::SettingsFor(const std::string& file) {
  const std::shared_ptr<const ProjectConfig> config = ConfigFor(file);
  if (!config) return {false, defaults_};
  return config->SettingsFor(AbsolutePath(file), file == "-");
}

std::shared_ptr<const ProjectConfig> ProjectConfigs::ConfigIn(const fs::path& folder) {
  // The folders looked at on the way up, to be given what was found above them.
  std::vector<std::string> passed;
  std::shared_ptr<const ProjectConfig> config;
  for (fs::path at = folder;; at = at.parent_path()) {
    if (const auto known = by_folder_.find(at.string()); known != by_folder_.end()) {
      config = known->second;
      break;
    }
    passed.push_back(at.string());
    config = Found(at);
    if (config || Exists(at / ".git") || at == at.root_path() || !at.has_relative_path()) break;
  }
  for (const std::string& each : passed) by_folder_.emplace(each, config);
  return config;
}

std::shared_ptr<const ProjectConfig> ProjectConfigs::Found(const fs::path& folder) {
  std::optional<fs::path> found;
  for (const std::string_view name : kConfigFileNames) {
    const fs::path file = folder / name;
    if (!Exists(file)) continue;
    if (found) {
      throw CommandError(Shown(folder).string() + ": both " + found->filename().string() + " and " +
                         std::string(name) + " are here; keep one");
    }
    found = file;
  }
  return found ? ProjectConfig::Read(Shown(*found)) : nullptr;
}

}  // namespace lexivane::frontend
