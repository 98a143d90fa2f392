#include "lsp/language_server.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "frontend/io/command_error.h"
#include "lexivane/utf8.h"
#include "lexivane/version.h"
#include "lsp/code_action_words.h"
#include "lsp/file_uri.h"
#include "lsp/language_modes.h"
#include "lsp/protocol_json.h"
#include "support/ascii.h"
#include "support/utf16.h"

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
constexpr int kRequestCancelled = -32800;
constexpr int kContentModified = -32801;

constexpr int kMessageError = 1;  // window/showMessage types
constexpr int kMessageWarning = 2;

std::string ErrorMessage(const Json& id, int code, const std::string& message) {
  return Json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}}
      .dump();
}

// 'a', 'b'
std::string QuotedWords(const std::vector<std::u16string>& words) {
  std::string quoted;
  for (const std::u16string& word : words) {
    if (!quoted.empty()) quoted.append(", ");
    quoted.append(1, '\'').append(ToUtf8(word)).append(1, '\'');
  }
  return quoted;
}

// The UTF-16 code unit of the escape `\uXXXX` at text[at], if there is one.
std::optional<unsigned> EscapedUnit(std::string_view text, std::size_t at) {
  if (at + 6 > text.size() || text[at] != '\\' || text[at + 1] != 'u') return std::nullopt;
  unsigned unit = 0;
  for (std::size_t i = at + 2; i < at + 6; ++i) {
    const int digit = support::AsciiHexDigitValue(text[i]);
    if (digit < 0) return std::nullopt;
    unit = unit * 16 + static_cast<unsigned>(digit);
  }
  return unit;
}

// JSON may escape a surrogate without its other half, which the parser refuses; it is read as
// U+FFFD, as the tool reads broken text everywhere. Returns `body`, or `repaired` holding it
// with each such escape replaced.
std::string_view WithLoneSurrogatesReplaced(std::string_view body, std::string& repaired) {
  std::string_view text = body;
  // A backslash only ever starts an escape (outside strings it is no JSON at all), and an
  // escape is a backslash and one character, or `\uXXXX`.
  for (std::size_t at = text.find('\\'); at != std::string_view::npos; at = text.find('\\', at)) {
    const std::optional<unsigned> unit = EscapedUnit(text, at);
    if (!unit || !support::IsSurrogate(*unit)) {
      at += 2;
      continue;
    }
    const std::optional<unsigned> next =
        support::IsLeadSurrogate(*unit) ? EscapedUnit(text, at + 6) : std::nullopt;
    if (next && support::IsTrailSurrogate(*next)) {
      at += 12;  // a pair
      continue;
    }
    if (repaired.empty()) {
      repaired = body;
      text = repaired;
    }
    repaired.replace(at, 6, "\\uFFFD");  // as long as the escape: `text` stays valid
    at += 6;
  }
  return text;
}

}  // namespace

LanguageServer::LanguageServer(Outbox& outbox, ServerSettings settings,
                               std::chrono::milliseconds quiet_time)
    : outbox_(outbox),
      settings_(std::move(settings)),
      workspace_(quiet_time),
      document_configs_(
          [this](const std::string& message) {
            ShowMessage(kMessageError, "lexivane: " + message);
          },
          [this] { workspace_.CheckAllAgain(); }),
      saver_([this](const CustomDictionaryFile& file, const std::vector<std::u16string>& words,
                    const std::optional<std::string>& failure) { Saved(file, words, failure); }) {
  document_configs_.UseSettings(settings_.checker.rules, settings_.checker.check_identifiers,
                                settings_.checker.variant);
}

LanguageServer::~LanguageServer() = default;

std::optional<int> LanguageServer::Handle(std::string_view body) {
  Json message;
  try {
    std::string repaired;
    message = Json::parse(WithLoneSurrogatesReplaced(body, repaired));
  } catch (const Json::exception&) {
    RespondError(nullptr, kParseError, "the message is not JSON");
    return std::nullopt;
  }
  const bool has_method = message.is_object() && message.contains("method");
  // A response to a request of ours (the server sends none) is no concern.
  if (message.is_object() && !has_method &&
      (message.contains("result") || message.contains("error"))) {
    return std::nullopt;
  }
  const bool has_id = message.is_object() && message.contains("id");
  // An id that is neither a string nor an integer makes no request, nor a notification (which
  // has none): the error cannot name it.
  if (has_id && !message["id"].is_string() && !message["id"].is_number_integer()) {
    RespondError(nullptr, kInvalidRequest, "the id is neither a string nor an integer");
    return std::nullopt;
  }
  if (!has_method || !message["method"].is_string()) {
    RespondError(has_id ? message["id"] : Json(nullptr), kInvalidRequest,
                 "the message is neither a request nor a notification");
    return std::nullopt;
  }
  const std::string method = message["method"].get<std::string>();
  // By reference: a document's whole text may be in them.
  static const Json kNoParams = Json::object();
  const auto given = message.find("params");
  const Json& params = given != message.end() ? *given : kNoParams;
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

void LanguageServer::HandleRequest(const Json& id, const std::string& method, const Json& params) {
  if (method == "initialize") {
    if (initialized_) return RespondError(id, kInvalidRequest, "initialize came twice");
    return Respond(id, Initialize(params));
  }
  if (!initialized_) return RespondError(id, kServerNotInitialized, "initialize comes first");
  if (shut_down_) return RespondError(id, kInvalidRequest, "the server is shutting down");
  if (method == "shutdown") {
    // Answered at once: a check under way is abandoned, and saves go on until `exit`.
    shut_down_ = true;
    worker_->Stop();
    finder_.reset();
    // Diagnostics still waiting would only hold up the answer.
    outbox_.Revise([](const MessageLabel& label) -> std::optional<std::string> {
      if (label.topic.empty()) return std::nullopt;
      return std::string();
    });
    return Respond(id, nullptr);
  }
  if (method == "textDocument/codeAction") {
    const std::string uri = params.at("textDocument").at("uri").get<std::string>();
    return Respond(id, CodeActions(uri, params), uri);
  }
  if (method == "workspace/executeCommand") return Respond(id, ExecuteCommand(params));
  RespondError(id, kMethodNotFound, "no such method: " + method);
}

void LanguageServer::HandleNotification(const std::string& method, const Json& params) {
  if (shut_down_) return;
  if (method == "$/cancelRequest") {
    const std::string id = params.at("id").dump();
    ReplaceAnswers([&](const MessageLabel& label) { return label.reply_to == id; },
                   kRequestCancelled, "the request was cancelled");
  } else if (method == "textDocument/didOpen") {
    const Json& document = params.at("textDocument");
    const std::string uri = document.at("uri").get<std::string>();
    workspace_.Open(uri, document.value("version", 0),
                    FromUtf8(document.at("text").get_ref<const std::string&>()),
                    ModeOfDocument(document.value("languageId", ""), uri));
  } else if (method == "textDocument/didChange") {
    const Json& document = params.at("textDocument");
    const std::string uri = document.at("uri").get<std::string>();
    workspace_.Change(uri, document.value("version", 0),
                      TextChangesFrom(params.at("contentChanges")));
    // Code actions made from the text before the change would edit the wrong words.
    ReplaceAnswers([&](const MessageLabel& label) { return label.about == uri; }, kContentModified,
                   "the document has changed since");
  } else if (method == "textDocument/didClose") {
    const std::string uri = params.at("textDocument").at("uri").get<std::string>();
    ReplaceAnswers([&](const MessageLabel& label) { return label.about == uri; }, kContentModified,
                   "the document was closed");
    workspace_.Close(uri, [&] {
      Notify("textDocument/publishDiagnostics", {{"uri", uri}, {"diagnostics", Json::array()}},
             uri);
    });
  } else if (method == "textDocument/didSave") {
    document_configs_.Refresh();  // the saved file may be a configuration
    workspace_.CheckAgain(params.at("textDocument").at("uri").get<std::string>());
  } else if (method == "workspace/didChangeWatchedFiles") {
    document_configs_.Refresh();
  } else if (method == "workspace/didChangeConfiguration") {
    Configure(params.value("settings", Json::object()));
  }
}

Json LanguageServer::Initialize(const Json& params) {
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
  // What the client takes (a member of another shape says nothing). UTF-16 is the protocol's
  // default and the only encoding served; say so to a client that offers a choice.
  static const Json::json_pointer kEncodings("/capabilities/general/positionEncodings");
  static const Json::json_pointer kVersionedEdits(
      "/capabilities/workspace/workspaceEdit/documentChanges");
  if (params.contains(kEncodings)) capabilities["positionEncoding"] = "utf-16";
  versioned_edits_ = params.contains(kVersionedEdits) && params.at(kVersionedEdits) == true;
  return {{"capabilities", std::move(capabilities)},
          {"serverInfo", {{"name", "lexivane"}, {"version", Version()}}}};
}

void LanguageServer::Configure(const Json& given) {
  SettingsChange change = ChangeSettings(settings_, given);
  for (const std::string& name : change.refused) {
    ShowMessage(kMessageWarning, "lexivane: the setting " + name + " has a value it cannot take");
  }
  if (change.settings == settings_) return;
  if (change.settings.checker != settings_.checker) finder_.reset();
  settings_ = std::move(change.settings);
  document_configs_.UseSettings(settings_.checker.rules, settings_.checker.check_identifiers,
                                settings_.checker.variant);
  if (worker_) {
    StartWorker();
    workspace_.CheckAllAgain();
  }
}

void LanguageServer::StartWorker() {
  std::lock_guard lock(worker_mutex_);
  worker_.reset();  // the old one stops before the new one starts
  custom_file_seen_ = CustomDictionaryOf(settings_.checker).Stamp();  // the new one loads it
  const int severity = settings_.severity;
  worker_ = std::make_unique<SpellingWorker>(
      workspace_, document_configs_, settings_.checker, session_words_,
      [severity](const Workspace::Snapshot& checked, const std::vector<Misspelling>& found) {
        return PublishDiagnosticsMessage(checked, found, severity);
      },
      [this](std::string message, const std::string& uri) {
        outbox_.Send(std::move(message), {.topic = uri});
      },
      [this](const std::string& message) { ShowMessage(kMessageError, "lexivane: " + message); });
}

// A word another program added to the custom dictionary file counts from now on, in every open
// document.
void LanguageServer::NoticeCustomFileChange() {
  std::optional<FileStamp> now = CustomDictionaryOf(settings_.checker).Stamp();
  std::lock_guard lock(worker_mutex_);
  if (now == custom_file_seen_) return;
  custom_file_seen_ = std::move(now);
  worker_->CustomFileChanged();
  workspace_.CheckAllAgain();
}

MisspellingFinder* LanguageServer::FinderOfThisThread() {
  if (finder_) {
    finder_->CatchUpWithCustomFile();
  } else {
    if (custom_file_of_this_thread_ &&
        *custom_file_of_this_thread_ != CustomDictionaryOf(settings_.checker).path()) {
      return nullptr;
    }
    // A custom dictionary that cannot be read is the worker's to report, once.
    finder_.emplace(settings_.checker, [](const std::string&) {});
    finder_->Take(session_words_);
  }
  if (finder_->loaded_custom_file()) custom_file_of_this_thread_ = finder_->loaded_custom_file();
  return &*finder_;
}

Json LanguageServer::CodeActions(const std::string& uri, const Json& params) {
  const Json& range = params.at("range");
  // Only quick fixes are offered; a client that asks for other kinds only gets none.
  const Json only = params.value("context", Json::object()).value("only", Json());
  if (only.is_array() && std::find(only.begin(), only.end(), "quickfix") == only.end()) {
    return Json::array();
  }
  NoticeCustomFileChange();
  // The words come from the server's own state, never from the context's diagnostics (Neovim
  // 0.7.2 sends them with byte columns): the stored misspellings, or, when the document was
  // edited after its last check, the text around the range checked now.
  const TextPosition start = PositionFrom(range.at("start"));
  const TextPosition end = std::max(start, PositionFrom(range.at("end")));
  // A document that is not open, or that its configuration leaves out, has no misspellings.
  const std::optional<DocumentMode> mode = workspace_.ModeOf(uri);
  const std::optional<CodeIdentifiers> configured =
      mode ? document_configs_.Prepare(uri, *mode, nullptr) : std::nullopt;
  if (!configured) return Json::array();
  const auto prepare = [&](MisspellingFinder& finder) {
    document_configs_.Prepare(uri, *mode, &finder.session());
  };
  const auto piece =
      workspace_.UncheckedPiece(uri, start, end, *configured == CodeIdentifiers::kChecked);
  MisspellingFinder* const finder = piece ? FinderOfThisThread() : nullptr;
  std::vector<Misspelling> found;
  std::vector<PlacedMisspelling> placed;
  if (finder != nullptr) {
    prepare(*finder);
    found = *finder->Find(piece->text, *piece->directives, piece->offset, {}, piece->identifiers,
                          *mode);
    placed = MisspellingsTouchingRange(*piece, start, end, found);
  } else {
    // Copied out, so that the suggestions are searched with the workspace unlocked.
    workspace_.VisitMisspellings(uri, start, end, [&](const PlacedMisspelling& stored) {
      placed.push_back(stored);
      found.push_back(*stored.misspelling);
    });
    for (std::size_t i = 0; i < placed.size(); ++i) placed[i].misspelling = &found[i];
  }
  const std::vector<SuggestionList> suggestions = SuggestionsFor(placed, prepare);
  // The text has not changed since the words were placed: only this thread changes it.
  const std::optional<std::int64_t> version =
      versioned_edits_ ? workspace_.VersionOf(uri) : std::nullopt;
  const std::optional<ConfigText> config = placed.empty() ? std::nullopt : ConfigTextOf(uri);
  Json actions = Json::array();
  for (std::size_t i = 0; i < placed.size(); ++i) {
    std::optional<Json> project_words_edit;
    try {
      if (config) {
        project_words_edit =
            ProjectWordsEdit(config->uri, config->toml, placed[i].misspelling->word);
      }
    } catch (const CommandError&) {
      // A file the edit cannot be made in: the other fixes stay offered.
    }
    AddQuickFixes(actions, {uri, version}, placed[i], *suggestions[i], settings_.severity,
                  project_words_edit ? &*project_words_edit : nullptr);
  }
  return actions;
}

std::optional<LanguageServer::ConfigText> LanguageServer::ConfigTextOf(const std::string& uri) {
  const std::optional<std::filesystem::path> config = document_configs_.ConfigFileOf(uri);
  if (!config) return std::nullopt;
  std::ifstream in(*config, std::ios::binary);
  if (!in) return std::nullopt;
  std::string toml{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return ConfigText{FileUriOf(config->string()), std::move(toml)};
}

std::vector<SuggestionList> LanguageServer::SuggestionsFor(
    const std::vector<PlacedMisspelling>& placed,
    const std::function<void(MisspellingFinder&)>& prepare) {
  std::vector<SuggestionList> lists;
  const auto search = [&](MisspellingFinder& finder) {
    prepare(finder);
    for (const PlacedMisspelling& each : placed) {
      lists.push_back(finder.Suggestions(*each.misspelling));
    }
  };
  if (placed.empty()) return lists;
  if (MisspellingFinder* const finder = FinderOfThisThread()) {
    search(*finder);
    return lists;
  }
  // This thread's dictionaries still hold the words of another custom dictionary file, which
  // would be suggested: a thread of its own has clean ones, at the cost of readying an engine.
  std::exception_ptr failure;
  std::thread([&] {
    try {
      MisspellingFinder finder(settings_.checker, [](const std::string&) {});
      finder.Take(session_words_);
      search(finder);
    } catch (...) {
      failure = std::current_exception();
    }
  }).join();
  if (failure) std::rethrow_exception(failure);
  return lists;
}

Json LanguageServer::ExecuteCommand(const Json& params) {
  const std::string command = params.at("command").get<std::string>();
  if (command != kAddCommand && command != kIgnoreCommand) {
    throw InvalidParams{"no such command: " + command};
  }
  const std::u16string word = CommandWord(params);
  if (command == kAddCommand) {
    // Accepted for the session at once, and even when it cannot be saved; Saved reports that.
    saver_.Save(CustomDictionaryOf(settings_.checker), word);
    session_words_.added.push_back(word);
    worker_->AddWord(word);
    if (finder_) finder_->Add(word);
  } else {
    session_words_.ignored.push_back(word);
    worker_->IgnoreWord(word);
    if (finder_) finder_->Ignore(word);
  }
  workspace_.CheckAllAgain();
  return nullptr;
}

void LanguageServer::Saved(const CustomDictionaryFile& file,
                           const std::vector<std::u16string>& words,
                           const std::optional<std::string>& failure) {
  if (failure) {
    std::string report = "lexivane: " + *failure + "; " + QuotedWords(words);
    report += words.size() == 1 ? " is" : " are";
    report += " accepted until the server ends";
    if (!finishing_) return ShowMessage(kMessageError, report);
    std::lock_guard lock(late_reports_mutex_);
    late_reports_.push_back(std::move(report));
    return;
  }
  // The save also brought the words that other programs saved meanwhile: every document is
  // checked again with them, and the server's own save is no change of another program's.
  std::lock_guard lock(worker_mutex_);
  custom_file_seen_ = file.Stamp();
  if (!worker_) return;
  worker_->CustomFileChanged();
  workspace_.CheckAllAgain();
}

LanguageServer::Ending LanguageServer::Finish(std::chrono::steady_clock::time_point deadline) {
  finishing_ = true;
  if (worker_) worker_->Stop();
  Ending ending;
  for (const DictionarySaver::Unsaved& unsaved : saver_.WaitBy(deadline)) {
    ending.reports.push_back("lexivane: " + unsaved.file +
                             ": the server ended before it could save " +
                             QuotedWords(unsaved.words));
  }
  ending.stopped = ending.reports.empty() && (!worker_ || worker_->StopBy(deadline));
  std::lock_guard lock(late_reports_mutex_);
  ending.reports.insert(ending.reports.begin(), late_reports_.begin(), late_reports_.end());
  return ending;
}

void LanguageServer::Respond(const Json& id, Json result, const std::string& about) {
  outbox_.Send(Json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}}.dump(),
               {.reply_to = id.dump(), .about = about});
}

void LanguageServer::RespondError(const Json& id, int code, const std::string& message) {
  outbox_.Send(ErrorMessage(id, code, message), {.reply_to = id.dump()});
}

void LanguageServer::ReplaceAnswers(const std::function<bool(const MessageLabel&)>& replaced,
                                    int code, const std::string& message) {
  outbox_.Revise([&](const MessageLabel& label) -> std::optional<std::string> {
    if (label.reply_to.empty() || !replaced(label)) return std::nullopt;
    return ErrorMessage(Json::parse(label.reply_to), code, message);
  });
}

void LanguageServer::Notify(const std::string& method, Json params, const std::string& topic) {
  outbox_.Send(Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}}.dump(),
               {.topic = topic});
}

void LanguageServer::ShowMessage(int type, const std::string& message) {
  Notify("window/showMessage", {{"type", type}, {"message", message}});
}

}  // namespace lexivane::frontend::lsp
