// `lexivane lsp`: a language server that reports misspelt words as diagnostics, offers the
// ranked suggestions as quick fixes, and adds words to the user's custom dictionary or ignores
// them for the session. docs/lsp.md describes what a client sees.
//
// Diagnostics carry no suggestions: searching them for every misspelling of a large document
// would cost more than finding the misspellings. A code action searches those of the words in
// its range, with the server's own finder, which remembers them for the next request.
//
// LanguageServer takes the client's messages one at a time, on one thread (the server's
// thread), and sends its answers and notifications through an Outbox, which the checking worker
// and the dictionary saves also use from their own threads, the worker at times with the
// workspace locked (so the outbox must never wait for the client: MessageWriter queues).
// Requests are answered from the server's state without waiting for a check or a save:
// documents are checked by the worker after their changes come to rest, a code action on a
// document edited since its last check checks the words around its range on the server's
// thread, with a finder of its own, and words added to the custom dictionary count at once and
// are saved by a thread of their own (DictionarySaver). An answer still unsent when the client
// cancels its request, or when the document it was made from changes, is replaced by the
// protocol's error for that.
//
// Each document is checked with the project configuration of its file (document_configs.h),
// read again when a configuration file changes, and a misspelling's quick fixes add the word to
// the project's words when the document has one.
//
// The server's thread must be the same for the object's whole life, and the server's finder
// uses that thread's dictionaries (lexivane/spell_check.h): a host should not check words with
// engines of its own on that thread.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "lsp/dictionary_saver.h"
#include "lsp/document_configs.h"
#include "lsp/message_transport.h"
#include "lsp/misspelling_finder.h"
#include "lsp/server_settings.h"
#include "lsp/spelling_worker.h"
#include "lsp/workspace.h"

namespace lexivane::frontend::lsp {

class LanguageServer {
 public:
  // How long a document's changes must rest before it is checked.
  static constexpr auto kQuietTime = std::chrono::milliseconds(50);

  // `outbox` must outlive the server.
  LanguageServer(Outbox& outbox, ServerSettings settings,
                 std::chrono::milliseconds quiet_time = kQuietTime);
  LanguageServer(const LanguageServer&) = delete;
  LanguageServer& operator=(const LanguageServer&) = delete;
  ~LanguageServer();

  // Handles one message body; returns the process's exit status once `exit` has come.
  std::optional<int> Handle(std::string_view body);
  // The exit status when the input ends without `exit`: a failure, shut down or not.
  static int StatusAtEndOfInput() { return 1; }

  // Ends the server's work once `exit` has come or the input has ended: stops the worker and
  // waits for the saves asked for, until `deadline` at most. A save that fails from now on is
  // no longer sent to the client (who no longer listens) but returned in `reports`, and so is
  // each file whose words were not saved by the deadline. `stopped` is false when a thread was
  // still busy then (a save waiting for the lock, a check in a step it cannot leave): the
  // server must then not be destroyed, and the process is to end without waiting for it (a save
  // replaces the file by renaming, so the file stays whole).
  struct Ending {
    bool stopped = true;
    std::vector<std::string> reports;
  };
  Ending Finish(std::chrono::steady_clock::time_point deadline);

 private:
  using Json = nlohmann::json;

  void HandleRequest(const Json& id, const std::string& method, const Json& params);
  void HandleNotification(const std::string& method, const Json& params);

  Json Initialize(const Json& params);
  Json CodeActions(const std::string& uri, const Json& params);
  Json ExecuteCommand(const Json& params);
  // Called on the saver's thread after each save.
  void Saved(const CustomDictionaryFile& file, const std::vector<std::u16string>& words,
             const std::optional<std::string>& failure);
  void Configure(const Json& settings);
  void StartWorker();
  void NoticeCustomFileChange();
  MisspellingFinder* FinderOfThisThread();
  // The suggestions of each misspelling, in order, searched on this thread when its finder can
  // be trusted (remembered for the next request), else on a thread of their own.
  // `prepare` readies a finder for the document.
  std::vector<SuggestionList> SuggestionsFor(
      const std::vector<PlacedMisspelling>& placed,
      const std::function<void(MisspellingFinder&)>& prepare);
  // The configuration file of the document's file, as it is on disk, if it has one: what the
  // project-words actions edit.
  struct ConfigText {
    std::string uri;
    std::string toml;
  };
  std::optional<ConfigText> ConfigTextOf(const std::string& uri);

  // `about`: the document whose text the result was made from.
  void Respond(const Json& id, Json result, const std::string& about = {});
  void RespondError(const Json& id, int code, const std::string& message);
  // Replaces each unsent answer for which `replaced` holds with the error `code`.
  void ReplaceAnswers(const std::function<bool(const MessageLabel&)>& replaced, int code,
                      const std::string& message);
  void Notify(const std::string& method, Json params, const std::string& topic = {});
  void ShowMessage(int type, const std::string& message);

  Outbox& outbox_;
  ServerSettings settings_;
  Workspace workspace_;
  // The configuration of each document's file; made before the worker, which uses it.
  DocumentConfigs document_configs_;
  SessionWords session_words_;  // for a worker or a finder made later
  // Set on the server's thread; the saver's thread reaches it under worker_mutex_, which also
  // guards custom_file_seen_.
  std::unique_ptr<SpellingWorker> worker_;
  std::mutex worker_mutex_;
  // Made on the first code action that needs it, made afresh when the settings change; it
  // checks edited text on the spot and searches the suggestions.
  std::optional<MisspellingFinder> finder_;
  // The custom dictionary file loaded into this thread's dictionaries. Its words stay there
  // (nothing takes words out of a thread's custom dictionary), so once the settings name
  // another file no finder of this thread can be trusted: code actions are answered from the
  // stored misspellings, with suggestions searched on a thread of their own.
  std::optional<std::string> custom_file_of_this_thread_;
  // The custom dictionary file as the server last saw it, to notice another program's words.
  std::optional<FileStamp> custom_file_seen_;
  bool initialized_ = false;
  bool shut_down_ = false;
  // The client takes edits that name the document's version (documentChanges).
  bool versioned_edits_ = false;
  std::atomic<bool> finishing_{false};
  std::mutex late_reports_mutex_;
  std::vector<std::string> late_reports_;  // the saves that failed once finishing
  DictionarySaver saver_;                  // last: its reports reach everything above
};

}  // namespace lexivane::frontend::lsp
