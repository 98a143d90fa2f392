// The suggestion lists a check has shown, by word, in UTF-8: texts repeat their misspellings,
// and each finding would otherwise convert its word and its list between UTF-8 and UTF-16 again
// and look its list up in the session's memory. A walk gives each worker thread one for all its
// files, so that a word met in file after file is converted once.
//
// Keeps from kRememberedSuggestions to twice as many words: when the recent ones fill up they
// become the older ones, and a word found among the older ones is recent again, so the words a
// walk keeps meeting stay while garbage passes through; all of them go when the session's English
// variant changes. One thread, with its session.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "frontend/session/spelling_session.h"

namespace lexivane::cli {

class ShownLists {
 public:
  explicit ShownLists(frontend::SpellingSession& session)
      : session_(session), variant_(session.variant()) {}

  // The session's suggestions for the word; valid until the next call.
  const std::vector<std::string>& For(std::string_view word);

 private:
  struct WordHash {
    using is_transparent = void;  // found by the finding's view, without a copy
    std::size_t operator()(std::string_view word) const {
      return std::hash<std::string_view>{}(word);
    }
  };
  using Lists =
      std::unordered_map<std::string, std::vector<std::string>, WordHash, std::equal_to<>>;

  frontend::SpellingSession& session_;
  frontend::EnglishVariant variant_;  // the session's, for the lists kept
  Lists recent_, older_;
};

}  // namespace lexivane::cli
