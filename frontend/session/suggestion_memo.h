// The suggestion lists a session has searched, kept so that each misspelling is searched once:
// the search costs a few tenths of a millisecond a word in the typing ranking, and texts repeat
// their misspellings. The sessions of a walk's workers share one, so that a word met in files
// on two threads is still searched once; sessions that share a memo must give the same lists
// for the same word (the same dictionaries' contents, ranking and number of suggestions).
//
// At most `capacity` lists are kept; more distinct words start the memory afresh, so that
// endless garbage cannot grow it without bound. Any thread: a lookup holds a lock for as long
// as a hash-table probe takes, and the search itself runs outside it (two threads that meet a
// new word at once may both search it; the first list kept is the one every thread gets).
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace lexivane::frontend {

using SuggestionList = std::shared_ptr<const std::vector<std::u16string>>;

class SuggestionMemo {
 public:
  explicit SuggestionMemo(std::size_t capacity) : capacity_(capacity) {}

  // The list kept for the word, or null.
  SuggestionList Find(std::u16string_view word) const;
  // Keeps `list` for the word unless one is kept already; returns the one kept.
  SuggestionList Remember(std::u16string_view word, SuggestionList list);
  // Drops every list: the dictionaries changed.
  void Forget();

 private:
  const std::size_t capacity_;
  mutable std::mutex mutex_;
  std::unordered_map<std::u16string, SuggestionList> lists_;
};

}  // namespace lexivane::frontend
