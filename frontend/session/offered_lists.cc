#include "frontend/session/offered_lists.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <string_view>

#include "frontend/session/code_words.h"
#include "frontend/session/extra_words.h"

namespace lexivane::frontend {

OfferedList::OfferedList(const std::vector<std::u16string>& words, int level)
    : words(words, level), serial([] {
        static std::atomic<std::uint64_t> last{0};
        return ++last;
      }()) {}

const OfferedWords& ExtraWordsOffered() {
  static const OfferedWords offered(ExtraWordsText(), kExtraWordsLevel);
  return offered;
}

const OfferedWords& CodeWordsOffered() {
  static const OfferedWords offered = [] {
    std::string lines;
    for (const std::string_view name : {"general", "c", "python", "shell", "html"}) {
      lines.append(CodeWordList(name)).append(1, '\n');
    }
    return OfferedWords(lines, kCodeWordsLevel);
  }();
  return offered;
}

std::shared_ptr<const OfferedList> OwnWordsOffered(std::vector<std::u16string> words) {
  if (words.empty()) return nullptr;
  std::sort(words.begin(), words.end());
  return std::make_shared<const OfferedList>(words, kOwnWordsLevel);
}

}  // namespace lexivane::frontend
