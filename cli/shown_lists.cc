#include "cli/shown_lists.h"

#include <utility>

#include "lexivane/utf8.h"

namespace lexivane::cli {

const std::vector<std::string>& ShownLists::For(std::string_view word) {
  if (session_.variant() != variant_) {
    variant_ = session_.variant();
    recent_.clear();
    older_.clear();
  }
  if (const auto known = recent_.find(word); known != recent_.end()) return known->second;
  if (recent_.size() >= frontend::kRememberedSuggestions) {
    older_ = std::move(recent_);
    recent_.clear();
  }
  if (const auto older = older_.find(word); older != older_.end()) {
    return recent_.insert(older_.extract(older)).position->second;
  }
  const frontend::SuggestionList list = session_.Suggestions(FromUtf8(word));
  std::vector<std::string> suggestions;
  suggestions.reserve(list->size());
  for (const std::u16string& suggestion : *list) suggestions.push_back(ToUtf8(suggestion));
  return recent_.emplace(word, std::move(suggestions)).first->second;
}

}  // namespace lexivane::cli
