// A sink that prints every event of a text check run as one JSON object per line, in order,
// so that a host author can see what the component reports.
#pragma once

#include <iosfwd>

#include "lexivane/events.h"

namespace lexivane::cli {

class EventPrinter : public SpellCheckEvents {
 public:
  explicit EventPrinter(std::ostream& out) : out_(out) {}

  bool found_unknown_word() const { return found_unknown_word_; }

  void SpellReplace(std::u16string_view sOriginalWord, std::u16string_view sReplacementWord,
                    std::int32_t lPosStart, std::vector<std::u16string>& sSuggestions) override;
  void SpellWordNotInDic(std::u16string_view sOriginalWord, std::int32_t lPosStart,
                         bool& Cancel) override;
  void SpellChangeAll(std::u16string_view sOriginalWord, std::u16string_view sReplacementWord,
                      std::int32_t lPosStart) override;
  void SpellCheckCancel() override;
  void SpellCheckComplete(std::int32_t lNumWordsChecked) override;
  void SpellCheckProgress(std::int32_t lPosition, std::int32_t lTotal,
                          std::int32_t lWords) override;

 private:
  std::ostream& out_;
  bool found_unknown_word_ = false;
};

}  // namespace lexivane::cli
