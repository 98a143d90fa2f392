#include "lsp/dictionary_saver.h"

#include <exception>
#include <utility>

namespace lexivane::frontend::lsp {

DictionarySaver::DictionarySaver(Saved saved)
    : saved_(std::move(saved)), thread_([this] { Run(); }) {}

DictionarySaver::~DictionarySaver() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void DictionarySaver::Save(const CustomDictionaryFile& file, std::u16string word) {
  {
    std::lock_guard lock(mutex_);
    if (!waiting_.empty() && waiting_.back().file.path() == file.path()) {
      waiting_.back().words.push_back(std::move(word));
    } else {
      waiting_.push_back({file, {std::move(word)}});
    }
  }
  changed_.notify_all();
}

std::vector<DictionarySaver::Unsaved> DictionarySaver::WaitBy(
    std::chrono::steady_clock::time_point deadline) {
  std::unique_lock lock(mutex_);
  changed_.wait_until(lock, deadline, [this] { return waiting_.empty() && !running_; });
  std::vector<Unsaved> unsaved;
  if (running_) unsaved.push_back({running_->file.path(), running_->words});
  for (const Job& job : waiting_) unsaved.push_back({job.file.path(), job.words});
  return unsaved;
}

void DictionarySaver::Run() {
  for (;;) {
    {
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return !waiting_.empty() || ending_; });
      if (waiting_.empty()) return;
      running_ = std::move(waiting_.front());
      waiting_.pop_front();
    }
    std::optional<std::string> failure;
    try {
      running_->file.AddWords(running_->words);
    } catch (const std::exception& error) {  // CommandError, or one of memory
      failure = error.what();
    }
    saved_(running_->file, running_->words, failure);
    {
      std::lock_guard lock(mutex_);
      running_.reset();
    }
    changed_.notify_all();
  }
}

}  // namespace lexivane::frontend::lsp
