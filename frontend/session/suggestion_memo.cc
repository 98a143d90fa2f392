#include "frontend/session/suggestion_memo.h"

#include <utility>

namespace lexivane::frontend {

SuggestionList SuggestionMemo::Find(std::u16string_view word) const {
  const std::u16string key(word);
  const std::lock_guard lock(mutex_);
  const auto known = lists_.find(key);
  return known == lists_.end() ? nullptr : known->second;
}

SuggestionList SuggestionMemo::Remember(std::u16string_view word, SuggestionList list) {
  std::u16string key(word);
  const std::lock_guard lock(mutex_);
  if (lists_.size() >= capacity_ && !lists_.contains(key)) lists_.clear();
  return lists_.emplace(std::move(key), std::move(list)).first->second;
}

void SuggestionMemo::Forget() {
  const std::lock_guard lock(mutex_);
  lists_.clear();
}

}  // namespace lexivane::frontend
