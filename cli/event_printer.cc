#include "cli/event_printer.h"

#include <iostream>
#include <nlohmann/json.hpp>

#include "frontend/io/command_error.h"
#include "frontend/io/standard_output.h"
#include "lexivane/utf8.h"

namespace lexivane::cli {

using namespace frontend;

namespace {

void Print(const nlohmann::ordered_json& event) {
  std::cout << event.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
  CheckStandardOutput();
}

}  // namespace

void EventPrinter::SpellReplace(std::u16string_view sOriginalWord,
                                std::u16string_view sReplacementWord, std::int32_t lPosStart,
                                std::vector<std::u16string>& sSuggestions) {
  nlohmann::ordered_json suggestions = nlohmann::ordered_json::array();
  for (const auto& suggestion : sSuggestions) suggestions.push_back(ToUtf8(suggestion));
  Print({{"event", "SpellReplace"},
         {"sOriginalWord", ToUtf8(sOriginalWord)},
         {"sReplacementWord", ToUtf8(sReplacementWord)},
         {"lPosStart", lPosStart},
         {"sSuggestions", suggestions}});
}

void EventPrinter::SpellWordNotInDic(std::u16string_view sOriginalWord, std::int32_t lPosStart,
                                     bool& Cancel) {
  found_unknown_word_ = true;
  Print({{"event", "SpellWordNotInDic"},
         {"sOriginalWord", ToUtf8(sOriginalWord)},
         {"lPosStart", lPosStart},
         {"Cancel", Cancel}});
}

void EventPrinter::SpellChangeAll(std::u16string_view sOriginalWord,
                                  std::u16string_view sReplacementWord, std::int32_t lPosStart) {
  Print({{"event", "SpellChangeAll"},
         {"sOriginalWord", ToUtf8(sOriginalWord)},
         {"sReplacementWord", ToUtf8(sReplacementWord)},
         {"lPosStart", lPosStart}});
}

void EventPrinter::SpellCheckCancel() {
  Print({{"event", "SpellCheckCancel"}});
}

void EventPrinter::SpellCheckComplete(std::int32_t lNumWordsChecked) {
  Print({{"event", "SpellCheckComplete"}, {"lNumWordsChecked", lNumWordsChecked}});
}

void EventPrinter::SpellCheckProgress(std::int32_t lPosition, std::int32_t lTotal,
                                      std::int32_t lWords) {
  Print({{"event", "SpellCheckProgress"},
         {"lPosition", lPosition},
         {"lTotal", lTotal},
         {"lWords", lWords}});
}

}  // namespace lexivane::cli
