#include "frontend/session/offered_lists.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <mutex>
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

const OfferedWords* VariantSpellingsOffered(EnglishVariant variant) {
  if (variant == EnglishVariant::kAmerican) return nullptr;
  // One list a variant, each made when its variant is first asked for.
  constexpr std::size_t kVariants = static_cast<std::size_t>(EnglishVariant::kAny) + 1;
  static std::array<std::once_flag, kVariants> made;
  static std::array<std::unique_ptr<const OfferedWords>, kVariants> lists;
  const auto at = static_cast<std::size_t>(variant);
  std::call_once(made.at(at), [&] {
    lists[at] = std::make_unique<const OfferedWords>(
        VariantOwnSpellings(variant), kVariantSpellingsLevel, kVariantSpellingsFrequency);
  });
  return lists[at].get();
}

std::shared_ptr<const OfferedList> OwnWordsOffered(std::vector<std::u16string> words) {
  if (words.empty()) return nullptr;
  std::sort(words.begin(), words.end());
  return std::make_shared<const OfferedList>(words, kOwnWordsLevel);
}

}  // namespace lexivane::frontend
