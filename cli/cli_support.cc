#include "cli/cli_support.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "platform/files.h"

namespace lexivane::cli {

InputText ReadInput(const std::string& file) {
  std::string bytes;
  if (file == "-") {
    std::ostringstream content;
    content << std::cin.rdbuf();
    bytes = std::move(content).str();
    return {"<stdin>", lexivane::FromUtf8(bytes)};
  }
  if (std::filesystem::is_directory(file)) throw CommandError(file + ": is a directory");
  std::ifstream in(file, std::ios::binary);
  if (!in) throw CommandError(file + ": " + std::strerror(errno));
  bytes.assign(std::istreambuf_iterator<char>(in), {});
  if (in.bad()) throw CommandError(file + ": read error");
  return {file, lexivane::FromUtf8(bytes)};
}

std::string DefaultCustomDictionaryFile() {
  std::filesystem::path config;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && *xdg != '\0') {
    config = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    config = std::filesystem::path(home) / ".config";
  } else {
    return {};
  }
  return (config / "lexivane" / "lvscust.dic").string();
}

std::optional<std::string> LoadCustomDictionary(SpellCheck& engine,
                                                const std::optional<std::string>& custom_file) {
  std::string file = custom_file.value_or(DefaultCustomDictionaryFile());
  if (file.empty()) return std::nullopt;
  if (!custom_file && !std::filesystem::is_regular_file(file)) return std::nullopt;
  if (!engine.LoadCustom(lexivane::FromUtf8(file))) {
    throw CommandError(file + ": cannot read the custom dictionary");
  }
  return file;
}

std::string Utf8(std::u16string_view text) {
  return lexivane::ToUtf8(text);
}

}  // namespace lexivane::cli
