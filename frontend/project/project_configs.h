// Which configuration applies to a file, and its settings for it. Without a file named for all
// (`--config FILE`), a file's configuration is the `.lexivane.toml` or `lexivane.toml` of its
// folder or of the nearest folder above it that has one, the search ending at the repository's
// root (a folder that holds `.git`, a folder or a file) or at the root of the file system. A
// folder with both files is an error: neither may quietly win. The folders are taken as written
// (made absolute, symbolic links not followed), each looked at once per object.
//
// A file with no configuration gets default settings, which change nothing. Standard input
// ("-") gets the top-level keys of the configuration of the current folder.
//
// Any thread may ask; the answers are shared.
#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "frontend/project/project_config.h"

namespace lexivane::frontend {

// The names a configuration file has, in the order they are looked for.
inline constexpr std::string_view kConfigFileNames[] = {".lexivane.toml", "lexivane.toml"};

class ProjectConfigs {
 public:
  // `named`: the one configuration file for every file; none: each file's is found as above.
  explicit ProjectConfigs(std::optional<std::string> named = std::nullopt);

  // The configuration that applies to `file`, or null. Throws CommandError for one that cannot
  // be read or holds a fault (project_config.h).
  std::shared_ptr<const ProjectConfig> ConfigFor(const std::string& file);
  // Its settings for `file` (throws as ConfigFor).
  FileSettings SettingsFor(const std::string& file);

 private:
  // The configuration that applies in `folder` (absolute, lexically normal), or null.
  std::shared_ptr<const ProjectConfig> ConfigIn(const std::filesystem::path& folder);
  std::shared_ptr<const ProjectConfig> Found(const std::filesystem::path& folder);

  const std::optional<std::string> named_;
  const std::shared_ptr<const ProjectSettings> defaults_;
  std::mutex mutex_;
  std::shared_ptr<const ProjectConfig> named_config_;
  std::unordered_map<std::string, std::shared_ptr<const ProjectConfig>> by_folder_;
  // The folder of the file asked last, as written ("dir/" or "" for the current one), and its
  // configuration.
  std::optional<std::string> last_folder_written_;
  std::shared_ptr<const ProjectConfig> last_config_;
};

}  // namespace lexivane::frontend
