#include "frontend/project/project_words_edit.h"

#include <toml++/toml.h>

#include <cstdio>
#include <utility>

#include "frontend/io/command_error.h"

namespace lexivane::frontend {

namespace {

// The byte offset of a line and column of toml++ (both counted from 1).
std::size_t OffsetOf(std::string_view text, const toml::source_position& position) {
  std::size_t offset = 0;
  for (toml::source_index line = 1; line < position.line; ++line) {
    const std::size_t end = text.find('\n', offset);
    if (end == std::string_view::npos) return text.size();
    offset = end + 1;
  }
  // Columns count code points: a continuation byte of UTF-8 is no column of its own.
  for (toml::source_index column = 1; column < position.column && offset < text.size(); ++column) {
    ++offset;
    while (offset < text.size() && (static_cast<unsigned char>(text[offset]) & 0xC0) == 0x80) {
      ++offset;
    }
  }
  return offset;
}

std::size_t LineStart(std::string_view text, std::size_t offset) {
  const std::size_t newline = text.rfind('\n', offset == 0 ? 0 : offset - 1);
  return offset == 0 || newline == std::string_view::npos ? 0 : newline + 1;
}

// Where a new top-level key may go: before the first table header, past the comment and blank
// lines that open the file; at the end when there is no table.
FileEdit NewWordsKey(std::string_view text, const std::string& entry) {
  std::size_t offset = 0;
  std::size_t first_table = std::string_view::npos;
  for (std::size_t line = 0; line < text.size();) {
    const std::size_t end = std::min(text.find('\n', line), text.size());
    const std::string_view content = text.substr(line, end - line);
    const std::size_t first = content.find_first_not_of(" \t\r");
    if (first != std::string_view::npos && content[first] == '[') {
      first_table = line;
      break;
    }
    line = end + 1;
  }
  // Past the opening comments (and blank lines) of the part before the first table.
  const std::size_t limit = first_table == std::string_view::npos ? text.size() : first_table;
  while (offset < limit) {
    const std::size_t end = std::min(text.find('\n', offset), text.size());
    const std::string_view content = text.substr(offset, end - offset);
    const std::size_t first = content.find_first_not_of(" \t\r");
    if (first != std::string_view::npos && content[first] != '#') break;
    offset = std::min(end + 1, text.size());
  }
  if (first_table == std::string_view::npos && offset == text.size()) {
    const bool ends_line = text.empty() || text.back() == '\n';
    return {offset, 0, std::string(ends_line ? "" : "\n") + "words = [" + entry + "]\n"};
  }
  return {offset, 0, "words = [" + entry + "]\n"};
}

}  // namespace

std::string TomlString(std::string_view word) {
  std::string quoted = "\"";
  for (const char c : word) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
      quoted += escaped;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

FileEdit AddProjectWord(std::string_view toml_text, std::string_view word,
                        std::string_view file_name) {
  toml::table root;
  try {
    root = toml::parse(toml_text);
  } catch (const toml::parse_error& error) {
    const toml::source_position& at = error.source().begin;
    throw CommandError(std::string(file_name) + ":" + std::to_string(at.line) + ":" +
                       std::to_string(at.column) + ": " + std::string(error.description()));
  }
  const std::string entry = TomlString(word);
  const toml::node* words = root.get("words");
  if (words == nullptr) return NewWordsKey(toml_text, entry);
  const toml::array* array = words->as_array();
  if (array == nullptr || (!array->empty() && !array->is_homogeneous(toml::node_type::string))) {
    const toml::source_position& at = words->source().begin;
    throw CommandError(std::string(file_name) + ":" + std::to_string(at.line) + ":" +
                       std::to_string(at.column) + ": words must be an array of strings");
  }
  for (const toml::node& listed : *array) {
    if (listed.value<std::string_view>() == word) return {};
  }
  if (array->empty()) {
    // toml++ gives an empty array no place: the key's own line holds `[]`.
    for (std::size_t line = 0; line < toml_text.size();) {
      const std::size_t end = std::min(toml_text.find('\n', line), toml_text.size());
      const std::string_view content = toml_text.substr(line, end - line);
      const std::size_t key = content.find_first_not_of(" \t");
      if (key != std::string_view::npos && content.substr(key).starts_with("words")) {
        const std::size_t open = content.find('[');
        if (open != std::string_view::npos) return {line + open + 1, 0, entry};
      }
      if (key != std::string_view::npos && content[key] == '[') break;  // a table: past it
      line = end + 1;
    }
    throw CommandError(std::string(file_name) + ": cannot find where `words` is written");
  }
  const toml::node& last = *array->back().as_string();
  const std::size_t last_end = OffsetOf(toml_text, last.source().end);
  const std::size_t last_begin = OffsetOf(toml_text, last.source().begin);
  const std::size_t open = OffsetOf(toml_text, array->source().begin);
  // One entry a line when the last one stands on a line of its own after the `[` and the `]`
  // is not on it: the new one goes on a line after it (and after a comment there).
  const std::size_t line_end = std::min(toml_text.find('\n', last_end), toml_text.size());
  const std::string_view rest = toml_text.substr(last_end, line_end - last_end);
  const std::size_t bracket = rest.find(']');
  if (LineStart(toml_text, last_begin) > open &&
      (bracket == std::string_view::npos || rest.find('#') < bracket)) {
    const std::size_t line = LineStart(toml_text, last_begin);
    const std::string indent(toml_text.substr(line, last_begin - line));
    const std::size_t after = rest.find_first_not_of(" \t");
    if (after != std::string_view::npos && rest[after] == ',') {
      return {line_end, 0, "\n" + indent + entry + ','};
    }
    std::string text = ",";
    text.append(rest).append("\n").append(indent).append(entry);
    return {last_end, rest.size(), std::move(text)};
  }
  return {last_end, 0, ", " + entry};
}

}  // namespace lexivane::frontend
