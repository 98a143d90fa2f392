// The configuration `lexivane init` starts a project with: every key, explained in a comment,
// those that would change anything commented out, so that the file as written checks as no
// file does.
#pragma once

#include <filesystem>
#include <string_view>

namespace lexivane::frontend {

std::string_view StarterConfig();

// Writes StarterConfig() as `.lexivane.toml` in `folder` and answers its path. Never replaces
// a file: a CommandError when either configuration file is there already, or when it cannot be
// written.
std::filesystem::path WriteStarterConfig(const std::filesystem::path& folder);

}  // namespace lexivane::frontend
