// SpellCheckEvents: what a text check run reports to its host.
//
// A host derives from SpellCheckEvents, overrides the events it cares about and connects the
// object with SpellCheck::Advise. Events are raised synchronously on the thread that runs
// SpellCheck::CheckText, to every connected sink in the order of connection; the run goes on
// when the handler returns. A handler may call into the engine again, CheckText included. An
// exception thrown by a handler ends the run and reaches the caller of CheckText.
//
// Positions are 0-based offsets in UTF-16 code units into the text being checked, with every
// Change All of the run applied (see docs/text-check.md).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexivane {

class SpellCheckEvents {
 public:
  virtual ~SpellCheckEvents() = default;

  // The user chose a replacement for one occurrence (Change, or Add Word with another text).
  // sSuggestions is always empty.
  virtual void SpellReplace([[maybe_unused]] std::u16string_view sOriginalWord,
                            [[maybe_unused]] std::u16string_view sReplacementWord,
                            [[maybe_unused]] std::int32_t lPosStart,
                            [[maybe_unused]] std::vector<std::u16string>& sSuggestions) {}

  // A word is not in the dictionaries. Setting Cancel to true ends the whole run.
  virtual void SpellWordNotInDic([[maybe_unused]] std::u16string_view sOriginalWord,
                                 [[maybe_unused]] std::int32_t lPosStart,
                                 [[maybe_unused]] bool& Cancel) {}

  // The user chose Change All; the host applies ReplaceWord(its text, sOriginalWord,
  // sReplacementWord) to stay in step with the run.
  virtual void SpellChangeAll([[maybe_unused]] std::u16string_view sOriginalWord,
                              [[maybe_unused]] std::u16string_view sReplacementWord,
                              [[maybe_unused]] std::int32_t lPosStart) {}

  // The run ended early: the host set Cancel, or the user chose Cancel in the dialog.
  virtual void SpellCheckCancel() {}

  // The run reached the end of the text after lNumWordsChecked tokens.
  virtual void SpellCheckComplete([[maybe_unused]] std::int32_t lNumWordsChecked) {}

  // Raised for every token before it is checked.
  virtual void SpellCheckProgress([[maybe_unused]] std::int32_t lPosition,
                                  [[maybe_unused]] std::int32_t lTotal,
                                  [[maybe_unused]] std::int32_t lWords) {}
};

}  // namespace lexivane
