#include "lsp/spelling_worker.h"

#include <utility>

#include "frontend/command_error.h"
#include "frontend/custom_dictionary_file.h"
#include "frontend/running_words.h"
#include "lexivane/letter_case.h"
#include "lexivane/shown_suggestions.h"

namespace lexivane::frontend::lsp {

namespace {

// More distinct misspellings than this start the memory of suggestions afresh, so that a
// document of endless garbage cannot grow it without bound.
constexpr std::size_t kRememberedSuggestions = 65536;

// How often, in words, a check asks whether to stop.
constexpr std::size_t kWordsBetweenStopChecks = 4096;

struct Stopped {};

}  // namespace

MisspellingFinder::MisspellingFinder(const SpellCheck& engine, std::size_t max_suggestions)
    : engine_(engine), max_suggestions_(max_suggestions), verdicts_(std::in_place, engine) {}

std::optional<std::vector<Misspelling>> MisspellingFinder::Find(std::u16string_view text,
                                                                const std::function<bool()>& stop) {
  std::vector<Misspelling> found;
  std::size_t words = 0;
  try {
    ForEachRunningWord(text, [&](const RunningWord& word) {
      if (stop && ++words % kWordsBetweenStopChecks == 0 && stop()) throw Stopped{};
      if (verdicts_->Accepts(word.word)) return;
      if (!ignored_.empty() && ignored_.contains(FoldCase(word.word))) return;
      found.push_back({word.offset, word.length,
                       std::u16string(text.substr(word.offset, word.length)),
                       SuggestionsFor(word.word)});
    });
  } catch (const Stopped&) {
    return std::nullopt;
  }
  return found;
}

void MisspellingFinder::Ignore(std::u16string_view word) {
  ignored_.insert(FoldCase(word));
}

void MisspellingFinder::Forget() {
  verdicts_.emplace(engine_);
  suggestions_.clear();
}

SuggestionList MisspellingFinder::SuggestionsFor(const std::u16string& word) {
  if (const auto known = suggestions_.find(word); known != suggestions_.end()) {
    return known->second;
  }
  if (suggestions_.size() >= kRememberedSuggestions) suggestions_.clear();
  auto list = std::make_shared<const std::vector<std::u16string>>(
      max_suggestions_ == 0 || word.size() > kLongestWordToSuggestFor
          ? std::vector<std::u16string>{}
          : ShownSuggestions(engine_, word, max_suggestions_));
  return suggestions_.emplace(word, std::move(list)).first->second;
}

SpellingWorker::SpellingWorker(Workspace& workspace, CheckerSettings settings,
                               std::vector<std::u16string> added,
                               std::unordered_set<std::u16string> ignored,
                               Workspace::Publisher publish,
                               std::function<void(const std::string&)> warn)
    : workspace_(workspace),
      settings_(std::move(settings)),
      publish_(std::move(publish)),
      warn_(std::move(warn)),
      words_to_add_(std::move(added)),
      words_to_ignore_(ignored.begin(), ignored.end()),
      thread_([this] { Run(); }) {}

SpellingWorker::~SpellingWorker() {
  stop_ = true;
  workspace_.Wake();
  thread_.join();
}

void SpellingWorker::AddWord(std::u16string word) {
  std::lock_guard lock(jobs_mutex_);
  words_to_add_.push_back(std::move(word));
}

void SpellingWorker::IgnoreWord(std::u16string word) {
  std::lock_guard lock(jobs_mutex_);
  words_to_ignore_.push_back(std::move(word));
}

void SpellingWorker::Run() {
  try {
    SpellCheck engine;
    std::vector<std::u16string> added;
    {
      std::lock_guard lock(jobs_mutex_);
      added.swap(words_to_add_);
    }
    PrepareEngine(engine, settings_, added, warn_);
    MisspellingFinder finder(engine, settings_.max_suggestions);
    const auto stopping = [this] { return stop_.load(); };
    while (const auto snapshot = workspace_.NextToCheck(stopping)) {
      {
        std::lock_guard lock(jobs_mutex_);
        if (!words_to_add_.empty()) {
          for (const std::u16string& word : words_to_add_) engine.AddToCustom(word);
          finder.Forget();
        }
        for (const std::u16string& word : words_to_ignore_) finder.Ignore(word);
        words_to_add_.clear();
        words_to_ignore_.clear();
      }
      if (auto found = finder.Find(snapshot->document.text(), stopping)) {
        workspace_.Store(*snapshot, std::move(*found), publish_);
      }
    }
  } catch (const std::exception& error) {
    warn_(std::string("the spelling worker stopped: ") + error.what());
  }
}

void PrepareEngine(SpellCheck& engine, const CheckerSettings& settings,
                   const std::vector<std::u16string>& added,
                   const std::function<void(const std::string&)>& warn) {
  engine.Init();
  engine.SetSuggestionSimilarity(settings.suggestion_threshold);
  try {
    CustomDictionaryFile(settings.custom_dictionary, CustomDictionaryFile::Missing::kNoneUntilMade)
        .LoadInto(engine);
  } catch (const CommandError& error) {
    warn(std::string(error.what()) + "; checking without it");
  }
  for (const std::u16string& word : added) engine.AddToCustom(word);
}

std::vector<Misspelling> FindOnFreshThread(std::u16string_view text,
                                           const CheckerSettings& settings,
                                           const std::vector<std::u16string>& added,
                                           const std::unordered_set<std::u16string>& ignored) {
  std::vector<Misspelling> found;
  std::exception_ptr failure;
  std::thread([&] {
    try {
      SpellCheck engine;
      PrepareEngine(engine, settings, added, [](const std::string&) {});  // the worker warns
      MisspellingFinder finder(engine, settings.max_suggestions);
      for (const std::u16string& word : ignored) finder.Ignore(word);
      found = std::move(*finder.Find(text));
    } catch (...) {
      failure = std::current_exception();
    }
  }).join();
  if (failure) std::rethrow_exception(failure);
  return found;
}

}  // namespace lexivane::frontend::lsp
