#include "cli/event_printer.h"

#include <nlohmann/json.hpp>
#include <ostream>

#include "cli/cli_support.h"

namespace lexivane::cli {

namespace {

void Print(std::ostream& out, const nlohmann::ordered_json& event) {
  out << event.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

}  // namespace

void EventPrinter::SpellReplace(std::u16string_view sOriginalWord,
                                std::u16string_view sReplacementWord, std::int32_t lPosStart,
                                std::vector<std::u16string>& sSuggestions) {
  nlohmann::ordered_json suggestions = nlohmann::ordered_json::array();
  for (const auto& suggestion : sSuggestions) suggestions.push_back(Utf8(suggestion));
  Print(out_, {{"event", "SpellReplace"},
               {"sOriginalWord", Utf8(sOriginalWord)},
               {"sReplacementWord", Utf8(sReplacementWord)},
               {"lPosStart", lPosStart},
               {"sSuggestions", suggestions}});
}

void EventPrinter::SpellWordNotInDic(std::u16string_view sOriginalWord, std::int32_t lPosStart,
                                     bool& Cancel) {
  found_unknown_word_ = true;
  Print(out_, {{"event", "SpellWordNotInDic"},
               {"sOriginalWord", Utf8(sOriginalWord)},
               {"lPosStart", lPosStart},
               {"Cancel", Cancel}});
}

void EventPrinter::SpellChangeAll(std::u16string_view sOriginalWord,
                                  std::u16string_view sReplacementWord, std::int32_t lPosStart) {
  Print(out_, {{"event", "SpellChangeAll"},
               {"sOriginalWord", Utf8(sOriginalWord)},
               {"sReplacementWord", Utf8(sReplacementWord)},
               {"lPosStart", lPosStart}});
}

void EventPrinter::SpellCheckCancel() {
  Print(out_, {{"event", "SpellCheckCancel"}});
}

void EventPrinter::SpellCheckComplete(std::int32_t lNumWordsChecked) {
  Print(out_, {{"event", "SpellCheckComplete"}, {"lNumWordsChecked", lNumWordsChecked}});
}

void EventPrinter::SpellCheckProgress(std::int32_t lPosition, std::int32_t lTotal,
                                      std::int32_t lWords) {
  Print(out_, {{"event", "SpellCheckProgress"},
               {"lPosition", lPosition},
               {"lTotal", lTotal},
               {"lWords", lWords}});
}

}  // namespace lexivane::cli
