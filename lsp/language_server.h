// `lexivane lsp`: a language server that reports misspelt words as diagnostics, offers the
// ranked suggestions as quick fixes, and adds words to the user's custom dictionary or ignores
// them for the session. docs/lsp.md describes what a client sees.
//
// LanguageServer takes the client's messages one at a time, on one thread, and sends its answers
// and notifications through `send`, which the checking worker also calls from its own thread (so
// it must be thread-safe). Requests are answered from the server's state without waiting for a
// check: documents are checked by the worker after their changes come to rest.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "lsp/misspelling_finder.h"
#include "lsp/server_settings.h"
#include "lsp/spelling_worker.h"
#include "lsp/workspace.h"

namespace lexivane::frontend::lsp {

class LanguageServer {
 public:
  using Send = std::function<void(const std::string& body)>;

  // How long a document's changes must rest before it is checked.
  static constexpr auto kQuietTime = std::chrono::milliseconds(50);

  LanguageServer(Send send, ServerSettings settings,
                 std::chrono::milliseconds quiet_time = kQuietTime);
  LanguageServer(const LanguageServer&) = delete;
  LanguageServer& operator=(const LanguageServer&) = delete;
  ~LanguageServer();

  // Handles one message body; returns the process's exit status once `exit` has come.
  std::optional<int> Handle(std::string_view body);
  // The exit status when the input ends without `exit`: a failure, shut down or not.
  static int StatusAtEndOfInput() { return 1; }

 private:
  using Json = nlohmann::json;

  void HandleRequest(const Json& id, const std::string& method, const Json& params);
  void HandleNotification(const std::string& method, const Json& params);

  Json Initialize(const Json& params);
  Json CodeActions(const Json& params);
  Json ExecuteCommand(const Json& params);
  void Configure(const Json& settings);
  void StartWorker();

  void Respond(const Json& id, Json result);
  void RespondError(const Json& id, int code, const std::string& message);
  void Notify(const std::string& method, Json params);
  void ShowMessage(int type, const std::string& message);

  const Send send_;
  ServerSettings settings_;
  Workspace workspace_;
  SessionWords session_words_;  // for a worker or a finder made later
  std::unique_ptr<SpellingWorker> worker_;
  bool initialized_ = false;
  bool shut_down_ = false;
};

}  // namespace lexivane::frontend::lsp
