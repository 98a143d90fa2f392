#include "frontend/session/offered_lists.h"

#include <algorithm>
#include <atomic>
#include <string_view>

#include "frontend/session/code_words.h"
#include "frontend/session/extra_words.h"

namespace lexivane::frontend {
namespace {

// The entries of built-in lists' texts (sorted_word_list.h: an entry, then optionally a blank
// and its data, a line each), widened: the entries are ASCII.
void AddEntries(std::string_view text, std::vector<std::u16string>& words) {
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    const std::string_view entry = line.substr(0, line.find(' '));
    if (!entry.empty()) words.emplace_back(entry.begin(), entry.end());
    start = end + 1;
  }
}

}  // namespace

OfferedList::OfferedList(const std::vector<std::u16string>& words, int level)
    : words(words, level), serial([] {
        static std::atomic<std::uint64_t> last{0};
        return ++last;
      }()) {}

const OfferedWords& ExtraWordsOffered() {
  static const OfferedWords offered = [] {
    std::vector<std::u16string> words;
    AddEntries(ExtraWordsText(), words);
    return OfferedWords(words, kExtraWordsLevel);
  }();
  return offered;
}

const OfferedWords& CodeWordsOffered() {
  static const OfferedWords offered = [] {
    std::vector<std::u16string> words;
    for (const std::string_view name : {"general", "c", "python", "shell", "html"}) {
      AddEntries(CodeWordList(name), words);
    }
    return OfferedWords(words, kCodeWordsLevel);
  }();
  return offered;
}

std::shared_ptr<const OfferedList> OwnWordsOffered(std::vector<std::u16string> words) {
  if (words.empty()) return nullptr;
  std::sort(words.begin(), words.end());
  return std::make_shared<const OfferedList>(words, kOwnWordsLevel);
}

}  // namespace lexivane::frontend
