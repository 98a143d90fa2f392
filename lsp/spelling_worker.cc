#include "lsp/spelling_worker.h"

#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include "frontend/pipeline/document_checker.h"

namespace lexivane::frontend::lsp {

SpellingWorker::SpellingWorker(Workspace& workspace, DocumentConfigs& configs,
                               CheckerSettings settings, SessionWords words, Render render,
                               Deliver deliver, MisspellingFinder::Warn warn)
    : workspace_(workspace),
      configs_(configs),
      settings_(std::move(settings)),
      render_(std::move(render)),
      deliver_(std::move(deliver)),
      warn_(std::move(warn)),
      words_to_take_(std::move(words)),
      thread_([this] { Run(); }) {}

SpellingWorker::~SpellingWorker() {
  Stop();
  thread_.join();
}

void SpellingWorker::Stop() {
  stop_ = true;
  workspace_.Wake();
}

bool SpellingWorker::StopBy(std::chrono::steady_clock::time_point deadline) {
  Stop();
  std::unique_lock lock(ended_mutex_);
  return ended_changed_.wait_until(lock, deadline, [this] { return ended_; });
}

void SpellingWorker::AddWord(std::u16string word) {
  std::lock_guard lock(words_mutex_);
  words_to_take_.added.push_back(std::move(word));
  all_due_again_ = true;
}

void SpellingWorker::IgnoreWord(std::u16string word) {
  std::lock_guard lock(words_mutex_);
  words_to_take_.ignored.push_back(std::move(word));
  all_due_again_ = true;
}

void SpellingWorker::CustomFileChanged() {
  std::lock_guard lock(words_mutex_);
  all_due_again_ = true;
}

void SpellingWorker::Run() {
  Check();
  {
    std::lock_guard lock(ended_mutex_);
    ended_ = true;
  }
  ended_changed_.notify_all();
}

void SpellingWorker::Check() {
  try {
    MisspellingFinder finder(settings_, warn_);
    const auto stopping = [this] { return stop_.load(); };
    while (auto snapshot = workspace_.NextToCheck(stopping)) {
      SessionWords words;
      bool all_due_again = false;
      {
        std::lock_guard lock(words_mutex_);
        words = std::exchange(words_to_take_, {});
        all_due_again = std::exchange(all_due_again_, false);
      }
      finder.Take(words);
      if (finder.CatchUpWithCustomFile() && !all_due_again) workspace_.CheckAllAgain();
      const std::optional<CodeIdentifiers> configured =
          configs_.Prepare(snapshot->uri, snapshot->mode, &finder.session());
      if (!configured) {  // left out: its diagnostics are cleared
        Publish(*snapshot, {});
        continue;
      }
      const CodeIdentifiers identifiers = *configured;
      if (!snapshot->prose || snapshot->prose_identifiers != identifiers) {
        std::u16string prose;
        snapshot->prose.reset();
        if (FilterProse({snapshot->uri, snapshot->mode, identifiers}, snapshot->document.text(),
                        prose)) {
          snapshot->prose = std::move(prose);
        }
      }
      const std::u16string_view text =
          snapshot->prose ? std::u16string_view(*snapshot->prose) : snapshot->document.text();
      InlineDirectives directives;
      directives.Read(snapshot->document.text());
      auto found = finder.Find(text, directives, 0, stopping, identifiers, snapshot->mode,
                               snapshot->document.text());
      if (!found) break;  // asked to stop
      if (stopping()) break;
      Publish(*snapshot, std::move(*found));
    }
  } catch (const std::exception& error) {
    warn_(std::string("the spelling worker stopped: ") + error.what());
  }
}

void SpellingWorker::Publish(const Workspace::Snapshot& snapshot, std::vector<Misspelling> found) {
  std::string message = render_(snapshot, found);
  workspace_.Store(snapshot, std::move(found),
                   [&](const Workspace::Snapshot& checked, const std::vector<Misspelling>&) {
                     deliver_(std::move(message), checked.uri);
                   });
}

}  // namespace lexivane::frontend::lsp
