#include "lsp/protocol_json.h"

#include <cstdint>
#include <utility>

#include "frontend/project/project_words_edit.h"
#include "frontend/words/given_word.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend::lsp {

namespace {

using Json = nlohmann::json;

std::string Quoted(const std::string& word) {
  return "'" + word + "'";
}

// Appends UTF-8 text as a JSON string: quotes, backslashes and control characters escaped, the
// rest as it is.
void AppendQuoted(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
}

void AppendPosition(std::string& out, TextPosition position) {
  out += R"({"line":)";
  out += std::to_string(position.line);
  out += R"(,"character":)";
  out += std::to_string(position.character);
  out += '}';
}

void AppendRange(std::string& out, TextPosition start, TextPosition end) {
  out += R"({"start":)";
  AppendPosition(out, start);
  out += R"(,"end":)";
  AppendPosition(out, end);
  out += '}';
}

}  // namespace

Json Position(TextPosition position) {
  return {{"line", position.line}, {"character", position.character}};
}

Json Range(TextPosition start, TextPosition end) {
  return {{"start", Position(start)}, {"end", Position(end)}};
}

Json Diagnostic(const Json& range, const Misspelling& misspelling, int severity) {
  const std::string word = ToUtf8(misspelling.word);
  return {{"range", range},
          {"severity", severity},
          {"source", "lexivane"},
          {"code", "unknown-word"},
          {"message", "Unknown word " + Quoted(word)},
          {"data", {{"word", word}, {"range", range}}}};
}

void AddQuickFixes(Json& actions, const EditedDocument& document, const PlacedMisspelling& placed,
                   const std::vector<std::u16string>& suggestions, int severity,
                   const Json* project_words_edit) {
  const Json where = Range(placed.start, placed.end);
  const Json diagnostic = Diagnostic(where, *placed.misspelling, severity);
  const std::string word = ToUtf8(placed.misspelling->word);
  bool first = true;
  for (const std::u16string& suggestion : suggestions) {
    const std::string text = ToUtf8(suggestion);
    Json edits = Json::array({Json{{"range", where}, {"newText", text}}});
    Json edit = Json::object();
    if (document.version) {
      edit["documentChanges"] =
          Json::array({{{"textDocument", {{"uri", document.uri}, {"version", *document.version}}},
                        {"edits", std::move(edits)}}});
    } else {
      edit["changes"][document.uri] = std::move(edits);
    }
    actions.push_back({{"title", "Change to " + Quoted(text)},
                       {"kind", "quickfix"},
                       {"diagnostics", Json::array({diagnostic})},
                       {"isPreferred", first},
                       {"edit", std::move(edit)}});
    first = false;
  }
  const std::pair<const char*, std::string> kCommands[] = {
      {kAddCommand, "Add " + Quoted(word) + " to the dictionary"},
      {kIgnoreCommand, "Ignore " + Quoted(word) + " in this session"}};
  for (const auto& [command, title] : kCommands) {
    actions.push_back(
        {{"title", title},
         {"kind", "quickfix"},
         {"diagnostics", Json::array({diagnostic})},
         {"command",
          {{"title", title}, {"command", command}, {"arguments", Json::array({word})}}}});
    if (command == kAddCommand && project_words_edit != nullptr) {
      actions.push_back({{"title", "Add " + Quoted(word) + " to the project's words"},
                         {"kind", "quickfix"},
                         {"diagnostics", Json::array({diagnostic})},
                         {"edit", *project_words_edit}});
    }
  }
}

std::optional<Json> ProjectWordsEdit(const std::string& uri, std::string_view toml,
                                     std::u16string_view word) {
  const std::string file_name = uri.substr(uri.rfind('/') + 1);
  const FileEdit edit = AddProjectWord(toml, ToUtf8(word), file_name);
  if (edit.length == 0 && edit.text.empty()) return std::nullopt;
  // Positions in UTF-16 code units; the file is UTF-8, since it was read as TOML.
  const TextDocument file(FromUtf8(toml));
  const auto position = [&](std::size_t offset) {
    return file.PositionOf(FromUtf8(toml.substr(0, offset)).size());
  };
  Json text_edit = {{"range", Range(position(edit.offset), position(edit.offset + edit.length))},
                    {"newText", edit.text}};
  return Json{{"changes", {{uri, Json::array({std::move(text_edit)})}}}};
}

std::string PublishDiagnosticsMessage(const Workspace::Snapshot& checked,
                                      const std::vector<Misspelling>& found, int severity) {
  std::string out =
      R"({"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":{"uri":)";
  out.reserve(found.size() * 230);
  AppendQuoted(out, checked.uri);
  out += R"(,"version":)" + std::to_string(checked.version) + R"(,"diagnostics":[)";
  const std::string fixed = R"(,"severity":)" + std::to_string(severity) +
                            R"(,"source":"lexivane","code":"unknown-word","message":)";
  std::string range;
  std::string word;
  for (const Misspelling& misspelling : found) {
    if (&misspelling != found.data()) out += ',';
    range.clear();
    AppendRange(range, checked.document.PositionOf(misspelling.offset),
                checked.document.PositionOf(misspelling.offset + misspelling.length));
    word = ToUtf8(misspelling.word);
    out += R"({"range":)";
    out += range;
    out += fixed;
    AppendQuoted(out, "Unknown word " + Quoted(word));
    out += R"(,"data":{"word":)";
    AppendQuoted(out, word);
    out += R"(,"range":)";
    out += range;
    out += "}}";
  }
  out += "]}}";
  return out;
}

TextPosition PositionFrom(const Json& position) {
  const auto line = position.at("line").get<std::int64_t>();
  const auto character = position.at("character").get<std::int64_t>();
  if (line < 0 || character < 0) throw InvalidParams{"a position is negative"};
  return {static_cast<std::size_t>(line), static_cast<std::size_t>(character)};
}

std::vector<TextChange> TextChangesFrom(const Json& content_changes) {
  std::vector<TextChange> changes;
  for (const Json& change : content_changes) {
    TextChange& added = changes.emplace_back();
    if (change.contains("range")) {
      const Json& range = change.at("range");
      added.range.emplace(PositionFrom(range.at("start")), PositionFrom(range.at("end")));
    }
    added.text = FromUtf8(change.at("text").get<std::string>());
  }
  return changes;
}

std::u16string CommandWord(const Json& params) {
  const Json arguments = params.value("arguments", Json::array());
  if (!arguments.is_array() || arguments.empty()) throw InvalidParams{"the command needs a word"};
  const Json& first = arguments[0];
  const Json word = first.is_object() ? first.value("word", Json()) : first;
  if (!word.is_string()) throw InvalidParams{"the command's argument is not a word"};
  GivenWord read = ReadGivenWord(FromUtf8(word.get<std::string>()));
  if (!read.taken()) throw InvalidParams{"the command's word was refused: " + read.refusal};
  return std::move(read.word);
}

}  // namespace lexivane::frontend::lsp
