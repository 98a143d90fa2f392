// The language server's worker: a thread of its own that checks the documents of a Workspace
// as they change and stores and publishes their misspellings, so that checking a large document
// never holds up the answers to the client's requests.
//
// The worker owns its engine (the engine's tables belong to the thread that loads them), with
// the custom dictionary loaded when it starts, and keeps the verdicts and the suggestions of
// the distinct words it has met for as long as the dictionaries stay the same. Settings are
// fixed for its life: the server starts a new worker when they change. Words that the user adds
// or ignores reach it through AddWord and IgnoreWord, from any thread; they count from the next
// check on, and the caller asks the workspace to check everything again.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "frontend/word_verdicts.h"
#include "lexivane/spell_check.h"
#include "lsp/server_settings.h"
#include "lsp/workspace.h"

namespace lexivane::frontend::lsp {

// Words longer than this (in UTF-16 code units) get no suggestions: the search grows with the
// square of the length, and no English word is near such a word.
inline constexpr std::size_t kLongestWordToSuggestFor = 100;

// The misspellings of texts with their suggestions, each distinct word judged and given its
// suggestions once. One object per engine and thread, like the engine; the engine's
// dictionaries must not change while it lives unless Forget is called.
class MisspellingFinder {
 public:
  MisspellingFinder(const SpellCheck& engine, std::size_t max_suggestions);

  // In order of appearance: the words that `lexivane list` prints for the same text. `stop` is
  // asked now and then; when it returns true, Find returns nullopt at once.
  std::optional<std::vector<Misspelling>> Find(std::u16string_view text,
                                               const std::function<bool()>& stop = {});

  void Ignore(std::u16string_view word);  // any letter case
  void Forget();                          // the dictionaries changed

 private:
  SuggestionList SuggestionsFor(const std::u16string& word);

  const SpellCheck& engine_;
  const std::size_t max_suggestions_;
  std::optional<WordVerdicts> verdicts_;
  std::unordered_set<std::u16string> ignored_;  // lower case
  std::unordered_map<std::u16string, SuggestionList> suggestions_;
};

// Readies an engine of the calling thread for checking: the threshold, the custom dictionary
// (a file named in the settings that does not exist yet is none; one that cannot be read is
// reported through `warn`, and left out) and the words added in this session.
void PrepareEngine(SpellCheck& engine, const CheckerSettings& settings,
                   const std::vector<std::u16string>& added,
                   const std::function<void(const std::string&)>& warn);

// The misspellings of a text, found on a thread of its own with a fresh engine: for the words
// a code action asks about in text that the worker has not checked since its last edit.
std::vector<Misspelling> FindOnFreshThread(std::u16string_view text,
                                           const CheckerSettings& settings,
                                           const std::vector<std::u16string>& added,
                                           const std::unordered_set<std::u16string>& ignored);

class SpellingWorker {
 public:
  // `added` and `ignored` are the session's words so far: words added whose saving failed and
  // words ignored (in lower case). `warn` reports a custom dictionary that cannot be read; it
  // and `publish` are called on the worker's thread.
  SpellingWorker(Workspace& workspace, CheckerSettings settings, std::vector<std::u16string> added,
                 std::unordered_set<std::u16string> ignored, Workspace::Publisher publish,
                 std::function<void(const std::string&)> warn);
  SpellingWorker(const SpellingWorker&) = delete;
  SpellingWorker& operator=(const SpellingWorker&) = delete;
  ~SpellingWorker();  // stops the thread, abandoning a check under way

  void AddWord(std::u16string word);
  void IgnoreWord(std::u16string word);  // any letter case

 private:
  void Run();

  Workspace& workspace_;
  const CheckerSettings settings_;
  const Workspace::Publisher publish_;
  const std::function<void(const std::string&)> warn_;
  std::atomic<bool> stop_{false};

  std::mutex jobs_mutex_;  // guards the two lists below, filled by other threads
  std::vector<std::u16string> words_to_add_;
  std::vector<std::u16string> words_to_ignore_;

  std::thread thread_;  // last: started when everything else is ready
};

}  // namespace lexivane::frontend::lsp
