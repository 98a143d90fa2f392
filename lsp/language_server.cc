#include "lsp/language_server.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <thread>
#include <utility>

#include "frontend/command_error.h"
#include "frontend/custom_dictionary_file.h"
#include "lexivane/letter_case.h"
#include "lexivane/error.h"
#include "lexivane/shown_suggestions.h"
#include "lexivane/utf8.h"
#include "lexivane/version.h"

namespace lexivane::frontend::lsp {

namespace {

using Json = nlohmann::json;

// JSON-RPC's error codes, and the protocol's own.
constexpr int kParseError = -32700;
constexpr int kInvalidRequest = -32600;
constexpr int kMethodNotFound = -32601;
constexpr int kInvalidParams = -32602;
constexpr int kInternalError = -32603;
constexpr int kServerNotInitialized = -32002;

constexpr int kMessageError = 1;  // window/showMessage types
constexpr int kMessageWarning = 2;

constexpr const char* kAddCommand = "lexivane.addToDictionary";
constexpr const char* kIgnoreCommand = "lexivane.ignoreWord";

// A request whose parameters do not fit.
struct InvalidParams {
  std::string message;
};

Json Position(TextPosition position) {
  return {{"line", position.line}, {"character", position.character}};
}

Json Range(TextPosition start, TextPosition end) {
  return {{"start", Position(start)}, {"end", Position(end)}};
}

TextPosition PositionFrom(const Json& position) {
  const auto line = position.at("line").get<std::int64_t>();
  const auto character = position.at("character").get<std::int64_t>();
  if (line < 0 || character < 0) throw InvalidParams{"a position is negative"};
  return {static_cast<std::size_t>(line), static_cast<std::size_t>(character)};
}

std::string Quoted(const std::string& word) {
  return "'" + word + "'";
}

Json Diagnostic(const Json& range, const Misspelling& misspelling, int severity) {
  const std::string word = ToUtf8(misspelling.word);
  Json suggestions = Json::array();
  for (const std::u16string& suggestion : *misspelling.suggestions) {
    suggestions.push_back(ToUtf8(suggestion));
  }
  return {{"range", range},
          {"severity", severity},
          {"source", "lexivane"},
          {"code", "unknown-word"},
          {"message", "Unknown word " + Quoted(word)},
          {"data", {{"word", word}, {"suggestions", std::move(suggestions)}, {"range", range}}}};
}

// The word of a command's arguments: ["word"] (or [{"word": "word"}], as a client that passes
// the diagnostic's data back would).
std::u16string CommandWord(const Json& params) {
  const Json arguments = params.value("arguments", Json::array());
  if (!arguments.is_array() || arguments.empty()) throw InvalidParams{"the command needs a word"};
  const Json& first = arguments[0];
  const Json word = first.is_object() ? first.value("word", Json()) : first;
  if (!word.is_string() || word.get<std::string>().empty()) {
    throw InvalidParams{"the command's argument is not a word"};
  }
  return FromUtf8(word.get<std::string>());
}

// Saves the word into the custom dictionary file, merged with what the file holds now (another
// program may have added to it). On a thread of its own, whose custom dictionary starts empty.
std::optional<std::string> SaveWord(const std::optional<std::string>& custom_file,
                                    const std::u16string& word) {
  std::optional<std::string> failure;
  std::thread([&] {
    const std::string file = custom_file.value_or(DefaultCustomDictionaryFile());
    try {
      if (file.empty()) {
        failure = "there is no place for the custom dictionary (no home folder)";
        return;
      }
      SpellCheck engine;
      engine.Init();
      std::error_code error;
      if (std::filesystem::exists(file, error) && !engine.LoadCustom(FromUtf8(file))) {
        failure = file + ": cannot read the custom dictionary, so the word was not saved to it";
        return;
      }
      if (engine.CheckWord(word) && !engine.CheckWord(word, false)) return;  // already there
      engine.AddToCustom(word);
      // The default file's folder is made when missing; a file named in the settings must
      // have its folder already.
      engine.SaveCustom(custom_file ? FromUtf8(file) : std::u16string());
    } catch (const std::exception& error) {
      failure = file + ": " + error.what();
    }
  }).join();
  return failure;
}

std::optional<int> SeverityFrom(const Json& value) {
  if (value.is_number_integer()) {
    const auto number = value.get<std::int64_t>();
    if (number >= 1 && number <= 4) return static_cast<int>(number);
  } else if (value.is_string()) {
    static const std::pair<const char*, int> kNames[] = {
        {"error", 1}, {"warning", 2}, {"information", 3}, {"info", 3}, {"hint", 4}};
    for (const auto& [name, severity] : kNames) {
      if (value.get<std::string>() == name) return severity;
    }
  }
  return std::nullopt;
}

}  // namespace

LspServer::LspServer(Send send, LspSettings settings, std::chrono::milliseconds quiet_time)
    : send_(std::move(send)), settings_(std::move(settings)), workspace_(quiet_time) {}

LspServer::~LspServer() = default;

std::optional<int> LspServer::Handle(std::string_view body) {
  Json message;
  try {
    message = Json::parse(body);
  } catch (const Json::exception&) {
    RespondError(nullptr, kParseError, "the message is not JSON");
    return std::nullopt;
  }
  const bool has_id = message.is_object() && message.contains("id") &&
                      (message["id"].is_string() || message["id"].is_number_integer());
  if (!message.is_object() || !message.contains("method") || !message["method"].is_string()) {
    // A response to a request of ours (the server sends none) is no concern; anything else is
    // not a message.
    if (message.is_object() && (message.contains("result") || message.contains("error"))) {
      return std::nullopt;
    }
    RespondError(has_id ? message["id"] : Json(nullptr), kInvalidRequest,
                 "the message is neither a request nor a notification");
    return std::nullopt;
  }
  const std::string method = message["method"].get<std::string>();
  const Json params = message.value("params", Json::object());
  if (!has_id) {
    if (method == "exit") return shut_down_ ? 0 : 1;
    if (initialized_) {
      try {
        HandleNotification(method, params);
      } catch (const Json::exception&) {
        // A notification gets no answer; one that does not fit is dropped.
      } catch (const InvalidParams&) {
      }
    }
    return std::nullopt;
  }
  const Json& id = message["id"];
  try {
    HandleRequest(id, method, params);
  } catch (const InvalidParams& error) {
    RespondError(id, kInvalidParams, error.message);
  } catch (const Json::exception& error) {
    RespondError(id, kInvalidParams, std::string("the parameters do not fit: ") + error.what());
  } catch (const std::exception& error) {
    RespondError(id, kInternalError, error.what());
  }
  return std::nullopt;
}

void LspServer::HandleRequest(const Json& id, const std::string& method, const Json& params) {
  if (method == "initialize") {
    if (initialized_) return RespondError(id, kInvalidRequest, "initialize came twice");
    return Respond(id, Initialize(params));
  }
  if (!initialized_) return RespondError(id, kServerNotInitialized, "initialize comes first");
  if (shut_down_) return RespondError(id, kInvalidRequest, "the server is shutting down");
  if (method == "shutdown") {
    shut_down_ = true;
    worker_.reset();
    return Respond(id, nullptr);
  }
  if (method == "textDocument/codeAction") return Respond(id, CodeActions(params));
  if (method == "workspace/executeCommand") return Respond(id, ExecuteCommand(params));
  RespondError(id, kMethodNotFound, "no such method: " + method);
}

void LspServer::HandleNotification(const std::string& method, const Json& params) {
  if (shut_down_) return;
  if (method == "textDocument/didOpen") {
    const Json& document = params.at("textDocument");
    workspace_.Open(document.at("uri").get<std::string>(), document.value("version", 0),
                    FromUtf8(document.at("text").get<std::string>()));
  } else if (method == "textDocument/didChange") {
    const Json& document = params.at("textDocument");
    std::vector<TextChange> changes;
    for (const Json& change : params.at("contentChanges")) {
      TextChange& added = changes.emplace_back();
      if (change.contains("range")) {
        const Json& range = change.at("range");
        added.range.emplace(PositionFrom(range.at("start")), PositionFrom(range.at("end")));
      }
      added.text = FromUtf8(change.at("text").get<std::string>());
    }
    workspace_.Change(document.at("uri").get<std::string>(), document.value("version", 0),
                      changes);
  } else if (method == "textDocument/didClose") {
    const std::string uri = params.at("textDocument").at("uri").get<std::string>();
    workspace_.Close(uri, [&] {
      Notify("textDocument/publishDiagnostics", {{"uri", uri}, {"diagnostics", Json::array()}});
    });
  } else if (method == "textDocument/didSave") {
    workspace_.CheckAgain(params.at("textDocument").at("uri").get<std::string>());
  } else if (method == "workspace/didChangeConfiguration") {
    Configure(params.value("settings", Json::object()));
  }
}

Json LspServer::Initialize(const Json& params) {
  initialized_ = true;
  if (const Json options = params.value("initializationOptions", Json()); options.is_object()) {
    Configure(options);
  }
  if (!worker_) StartWorker();
  Json capabilities = {
      {"textDocumentSync",
       {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
      {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
      {"executeCommandProvider", {{"commands", {kAddCommand, kIgnoreCommand}}}},
  };
  // UTF-16 is the protocol's default and the only encoding served; say so to a client that
  // offers a choice.
  const Json general = params.value("capabilities", Json::object()).value("general", Json());
  if (general.is_object() && general.contains("positionEncodings")) {
    capabilities["positionEncoding"] = "utf-16";
  }
  return {{"capabilities", std::move(capabilities)},
          {"serverInfo", {{"name", "lexivane"}, {"version", Version()}}}};
}

void LspServer::Configure(const Json& given) {
  // Settings come as {"lexivane": {...}} (the usual shape of didChangeConfiguration) or bare.
  const Json& settings = given.contains("lexivane") ? given["lexivane"] : given;
  if (!settings.is_object()) return;
  LspSettings next = settings_;
  std::vector<std::string> refused;
  if (const auto it = settings.find("customDictionary"); it != settings.end()) {
    if (it->is_null() || (it->is_string() && it->get<std::string>().empty())) {
      next.spelling.custom_dictionary.reset();
    } else if (it->is_string()) {
      next.spelling.custom_dictionary = it->get<std::string>();
    } else {
      refused.push_back("customDictionary");
    }
  }
  if (const auto it = settings.find("severity"); it != settings.end()) {
    if (const auto severity = SeverityFrom(*it)) {
      next.severity = *severity;
    } else {
      refused.push_back("severity");
    }
  }
  if (const auto it = settings.find("suggestionThreshold"); it != settings.end()) {
    if (it->is_number() && it->get<double>() >= 0 && it->get<double>() <= 1) {
      next.spelling.suggestion_threshold = it->get<float>();
    } else {
      refused.push_back("suggestionThreshold");
    }
  }
  if (const auto it = settings.find("maxSuggestions"); it != settings.end()) {
    if (it->is_number_integer() && it->get<std::int64_t>() >= 0 &&
        it->get<std::int64_t>() <= static_cast<std::int64_t>(kShownSuggestionsMax)) {
      next.spelling.max_suggestions = it->get<std::size_t>();
    } else {
      refused.push_back("maxSuggestions");
    }
  }
  for (const std::string& name : refused) {
    ShowMessage(kMessageWarning, "lexivane: the setting " + name + " has a value it cannot take");
  }
  const bool changed = next != settings_;
  settings_ = std::move(next);
  if (changed && worker_) {
    StartWorker();
    workspace_.CheckAllAgain();
  }
}

void LspServer::StartWorker() {
  worker_.reset();  // the old one stops before the new one starts
  const int severity = settings_.severity;
  worker_ = std::make_unique<SpellingWorker>(
      workspace_, settings_.spelling, added_words_, ignored_words_,
      [this, severity](const Workspace::Snapshot& checked, const std::vector<Misspelling>& found) {
        Publish(checked, found, severity);
      },
      [this](const std::string& message) { ShowMessage(kMessageError, "lexivane: " + message); });
}

Json LspServer::CodeActions(const Json& params) {
  const std::string uri = params.at("textDocument").at("uri").get<std::string>();
  const Json& range = params.at("range");
  // Only quick fixes are offered; a client that asks for other kinds only gets none.
  const Json only = params.value("context", Json::object()).value("only", Json());
  if (only.is_array() && std::find(only.begin(), only.end(), "quickfix") == only.end()) {
    return Json::array();
  }
  Json actions = Json::array();
  const auto add_actions = [&](const PlacedMisspelling& placed) {
    const Json where = Range(placed.start, placed.end);
    const Json diagnostic = Diagnostic(where, *placed.misspelling, settings_.severity);
    const std::string word = ToUtf8(placed.misspelling->word);
    bool first = true;
    for (const std::u16string& suggestion : *placed.misspelling->suggestions) {
      const std::string text = ToUtf8(suggestion);
      Json edits = Json::array({Json{{"range", where}, {"newText", text}}});
      Json changes = Json::object();
      changes[uri] = std::move(edits);
      actions.push_back({{"title", "Change to " + Quoted(text)},
                         {"kind", "quickfix"},
                         {"diagnostics", Json::array({diagnostic})},
                         {"isPreferred", first},
                         {"edit", {{"changes", std::move(changes)}}}});
      first = false;
    }
    const std::pair<const char*, std::string> kCommands[] = {
        {kAddCommand, "Add " + Quoted(word) + " to the dictionary"},
        {kIgnoreCommand, "Ignore " + Quoted(word) + " in this session"}};
    for (const auto& [command, title] : kCommands) {
      actions.push_back({{"title", title},
                         {"kind", "quickfix"},
                         {"diagnostics", Json::array({diagnostic})},
                         {"command", {{"title", title},
                                      {"command", command},
                                      {"arguments", Json::array({word})}}}});
    }
  };
  // The words come from the server's own state, never from the context's diagnostics (Neovim
  // 0.7.2 sends them with byte columns): the stored misspellings, or, when the document was
  // edited after its last check, the text around the range checked now.
  const TextPosition start = PositionFrom(range.at("start"));
  const TextPosition end = std::max(start, PositionFrom(range.at("end")));
  const auto piece = workspace_.UncheckedPiece(uri, start, end);
  if (!piece) {
    workspace_.VisitMisspellings(uri, start, end, add_actions);
    return actions;
  }
  // Positions in the piece and in the document differ by where the piece starts.
  const auto in_piece = [&](TextPosition position) {
    return position.line == piece->start.line
               ? TextPosition{0, position.character - piece->start.character}
               : TextPosition{position.line - piece->start.line, position.character};
  };
  const auto in_document = [&](TextPosition position) {
    return position.line == 0
               ? TextPosition{piece->start.line, piece->start.character + position.character}
               : TextPosition{piece->start.line + position.line, position.character};
  };
  const TextDocument around(piece->text);
  const std::size_t from = around.OffsetOf(in_piece(start));
  const std::size_t to = around.OffsetOf(in_piece(end));
  for (const Misspelling& found :
       FindOnFreshThread(piece->text, settings_.spelling, added_words_, ignored_words_)) {
    const std::size_t found_end = found.offset + found.length;
    const bool maybe_part = (piece->cut_before && found.offset == 0) ||
                            (piece->cut_after && found_end == piece->text.size());
    if (!maybe_part && found.offset <= to && found_end >= from) {
      add_actions({in_document(around.PositionOf(found.offset)),
                   in_document(around.PositionOf(found_end)), &found});
    }
  }
  return actions;
}

Json LspServer::ExecuteCommand(const Json& params) {
  const std::string command = params.at("command").get<std::string>();
  if (command != kAddCommand && command != kIgnoreCommand) {
    throw InvalidParams{"no such command: " + command};
  }
  const std::u16string word = CommandWord(params);
  std::optional<std::string> failure;
  if (command == kAddCommand) {
    failure = SaveWord(settings_.spelling.custom_dictionary, word);
    added_words_.push_back(word);  // accepted for the session even when it could not be saved
    worker_->AddWord(word);
  } else {
    ignored_words_.insert(FoldCase(word));
    worker_->IgnoreWord(word);
  }
  workspace_.CheckAllAgain();
  if (failure) throw std::runtime_error(*failure);
  return nullptr;
}

void LspServer::Publish(const Workspace::Snapshot& checked, const std::vector<Misspelling>& found,
                        int severity) {
  Json diagnostics = Json::array();
  for (const Misspelling& misspelling : found) {
    const Json where = Range(checked.document.PositionOf(misspelling.offset),
                             checked.document.PositionOf(misspelling.offset + misspelling.length));
    diagnostics.push_back(Diagnostic(where, misspelling, severity));
  }
  Notify("textDocument/publishDiagnostics", {{"uri", checked.uri},
                                              {"version", checked.version},
                                              {"diagnostics", std::move(diagnostics)}});
}

void LspServer::Respond(const Json& id, Json result) {
  send_(Json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}}.dump());
}

void LspServer::RespondError(const Json& id, int code, const std::string& message) {
  send_(Json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}}
            .dump());
}

void LspServer::Notify(const std::string& method, Json params) {
  send_(Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}}.dump());
}

void LspServer::ShowMessage(int type, const std::string& message) {
  Notify("window/showMessage", {{"type", type}, {"message", message}});
}

}  // namespace lexivane::frontend::lsp
