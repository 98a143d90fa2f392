// The saves of the words the user adds to the custom dictionary file, made on a thread of their
// own: a save waits for the lock that every program of the tool takes on the file (for up to
// CustomDictionaryFile::kLockPatience while another one holds it), and the requests that come
// meanwhile must not wait with it.
//
// Saves are made in the order they were asked for; the words asked for while a save runs go
// together in the next save of their file. After each save, `saved` is called on the saver's
// thread with the file, the words and, when the save failed, the reason (the file is then as it
// was). Save and WaitBy may be called from any thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "frontend/session/custom_dictionary_file.h"

namespace lexivane::frontend::lsp {

class DictionarySaver {
 public:
  using Saved =
      std::function<void(const CustomDictionaryFile& file, const std::vector<std::u16string>& words,
                         const std::optional<std::string>& failure)>;

  struct Unsaved {
    std::string file;
    std::vector<std::u16string> words;
  };

  explicit DictionarySaver(Saved saved);
  DictionarySaver(const DictionarySaver&) = delete;
  DictionarySaver& operator=(const DictionarySaver&) = delete;
  ~DictionarySaver();  // makes the saves still asked for, then ends the thread

  void Save(const CustomDictionaryFile& file, std::u16string word);

  // Waits until every save asked for has been made and reported, or until `deadline`; returns
  // the words whose saves had not ended by then, by file.
  std::vector<Unsaved> WaitBy(std::chrono::steady_clock::time_point deadline);

 private:
  struct Job {
    CustomDictionaryFile file;
    std::vector<std::u16string> words;
  };

  void Run();

  const Saved saved_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> waiting_;
  std::optional<Job> running_;  // until it has been reported
  bool ending_ = false;
  std::thread thread_;  // last: started when everything else is ready
};

}  // namespace lexivane::frontend::lsp
