// Options that several commands of the tool take alike.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/modes/document_modes.h"
#include "frontend/session/english_variant.h"
#include "frontend/session/ranking.h"
#include "frontend/session/word_rules.h"

namespace CLI {
class App;
}

namespace lexivane::cli {

// Registers --custom FILE (the custom dictionary to use instead of the default file) on a
// command; an empty name is a usage error.
void AddCustomOption(CLI::App& command, std::optional<std::string>& custom_file);

// Registers --mode NAME (which parts of each file are prose: frontend/modes/document_modes.h); an
// unknown name is a usage error.
void AddModeOption(CLI::App& command, std::optional<std::string>& mode_name);

// Registers --no-rule NAME[,NAME...] (word rules to switch off: frontend/session/word_rules.h); an
// unknown name is a usage error.
void AddNoRuleOption(CLI::App& command, std::vector<std::string>& rules_off);

// Registers --variant NAME (the English to check for: frontend/session/english_variant.h); none
// until the option is given (then each file's configuration says). An unknown name is a usage
// error.
void AddVariantOption(CLI::App& command, std::optional<frontend::EnglishVariant>& variant);

// Registers --ranking NAME (the order of the suggestions: frontend/session/ranking.h); `ranking`
// holds the command's default until the option is given. An unknown name is a usage error.
void AddRankingOption(CLI::App& command, frontend::Ranking& ranking);

// The mode to read `file` in: the one named, or the one its name calls for, or else its
// interpreter line (`#!/bin/sh`), read from the file.
frontend::DocumentMode ModeOf(const std::optional<std::string>& mode_name, const std::string& file);
// The same, given the file's first bytes (for its interpreter line).
frontend::DocumentMode ModeOf(const std::optional<std::string>& mode_name, const std::string& file,
                              std::string_view first_bytes);
// The mode to read a file found by walking a folder in: as ModeOf, but a file that neither its
// name nor its first line says anything of is read as plain text with addresses (url), not as
// plain text: a project's README, NEWS and copyright files are full of links.
frontend::DocumentMode WalkedFileMode(const std::optional<std::string>& mode_name,
                                      const std::string& file, std::string_view first_bytes);

// Registers --identifiers: in the code modes, check the identifiers of the code too, each cut
// into its words (frontend/words/identifier_parts.h).
void AddIdentifiersOption(CLI::App& command, bool& identifiers);

// Registers --config FILE: the configuration file for every file checked, instead of each
// file's own (frontend/project/project_configs.h).
void AddConfigOption(CLI::App& command, std::optional<std::string>& config_file);

}  // namespace lexivane::cli
