#include "frontend/project/learned_words.h"

#include <algorithm>

namespace lexivane::frontend {

void FileWords::Report(const Document&, const Finding& finding) {
  bool& in_identifier = words_[LearnedForm(finding.word)];
  in_identifier = in_identifier || finding.in_identifier;
}

void WordTally::Add(const std::unordered_map<std::string, bool>& file_words) {
  for (const auto& [word, in_identifier] : file_words) {
    Count& count = counts_[word];
    ++count.files;
    count.in_identifier = count.in_identifier || in_identifier;
  }
}

std::vector<std::string> WordTally::Candidates() const {
  std::vector<std::string> candidates;
  for (const auto& [word, count] : counts_) {
    if (count.in_identifier || count.files >= kRecurringFiles) candidates.push_back(word);
  }
  std::sort(candidates.begin(), candidates.end());
  return candidates;
}

}  // namespace lexivane::frontend
