// The language server's worker: a thread of its own that checks the documents of a Workspace
// as they change and stores and publishes their misspellings, so that checking a large document
// never holds up the answers to the client's requests.
//
// The worker's finder lives on the worker's thread, with an engine of its own (the engine's
// dictionaries belong to the thread that loads them) and the custom dictionary loaded when the
// thread starts; it keeps the verdicts of the words it has met for as long as the dictionaries
// stay the same, and searches no suggestions (code actions do). Settings are fixed for the
// worker's life: the server starts a new worker when they change. Words that the user adds or
// ignores reach it through AddWord and IgnoreWord, from any thread; they count from the next
// check on, and the caller asks the workspace to check everything again. Before each check the
// worker loads the custom dictionary file again if it changed on disk; when it finds such a change
// first (no caller has said CustomFileChanged or given it words since its last check) it asks the
// workspace to check every document again itself, so that a word another program added stops being
// flagged everywhere. Each document is checked with the project configuration of its file
// (`configs`, which must outlive the worker).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "lsp/document_configs.h"
#include "lsp/misspelling_finder.h"
#include "lsp/server_settings.h"
#include "lsp/workspace.h"

namespace lexivane::frontend::lsp {

class SpellingWorker {
 public:
  // Makes the message that publishes what was found in a snapshot; called with the workspace
  // unlocked, so that making it holds up no request.
  using Render =
      std::function<std::string(const Workspace::Snapshot&, const std::vector<Misspelling>&)>;
  // Sends that message; called with the workspace locked (Workspace::Publisher).
  using Deliver = std::function<void(std::string message, const std::string& uri)>;

  // `words` are the session's words so far. `render`, `deliver` and `warn` are called on the
  // worker's thread; `warn` also reports a worker that stopped on a failure.
  SpellingWorker(Workspace& workspace, DocumentConfigs& configs, CheckerSettings settings,
                 SessionWords words, Render render, Deliver deliver, MisspellingFinder::Warn warn);
  SpellingWorker(const SpellingWorker&) = delete;
  SpellingWorker& operator=(const SpellingWorker&) = delete;
  ~SpellingWorker();  // Stop, and waits for the thread to end

  // Asks the thread to end without waiting for it: a check under way is abandoned at its next
  // look at the flag (every few thousand words, and between its steps), and what it found is
  // not published.
  void Stop();
  // Stop, and waits until the thread has ended or `deadline`; false when it is still busy (in
  // a step that does not look at the flag, such as a document's filter).
  bool StopBy(std::chrono::steady_clock::time_point deadline);

  void AddWord(std::u16string word);
  void IgnoreWord(std::u16string word);  // any letter case
  // The caller found the custom dictionary file changed and asks the workspace to check
  // everything again.
  void CustomFileChanged();

 private:
  void Run();
  void Check();  // checks the documents as they change until asked to stop
  void Publish(const Workspace::Snapshot& snapshot, std::vector<Misspelling> found);

  Workspace& workspace_;
  DocumentConfigs& configs_;
  const CheckerSettings settings_;
  const Render render_;
  const Deliver deliver_;
  const MisspellingFinder::Warn warn_;
  std::atomic<bool> stop_{false};
  std::mutex ended_mutex_;
  std::condition_variable ended_changed_;
  bool ended_ = false;

  std::mutex words_mutex_;
  SessionWords words_to_take_;  // from other threads, for the finder's next check
  bool all_due_again_ = false;  // the caller asked the workspace to check everything again

  std::thread thread_;  // last: started when everything else is ready
};

}  // namespace lexivane::frontend::lsp
