// A sink that prints every event of a text check run to standard output as one JSON object per
// line, in order, so that a host author can see what the component reports. A failed write
// throws CommandError, which ends the run.
#pragma once

#include "lexivane/events.h"

namespace lexivane::cli {

class EventPrinter : public SpellCheckEvents {
 public:
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
  bool found_unknown_word_ = false;
};

}  // namespace lexivane::cli
