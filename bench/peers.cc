#include "bench/peers.h"

#include <filesystem>
#include <stdexcept>

namespace lexivane::bench {

namespace {

void RequireReadable(const char* path) {
  if (!std::filesystem::is_regular_file(path))
    throw std::runtime_error(std::string("missing dictionary file ") + path);
}

}  // namespace

AspellEngine::AspellEngine() {
  AspellConfig* config = new_aspell_config();
  aspell_config_replace(config, "lang", "en_US");
  aspell_config_replace(config, "sug-mode", "normal");
  aspell_config_replace(config, "encoding", "utf-8");
  AspellCanHaveError* result = new_aspell_speller(config);
  delete_aspell_config(config);  // the speller keeps its own copy
  if (aspell_error_number(result) != 0) {
    const std::string message = aspell_error_message(result);
    delete_aspell_can_have_error(result);
    throw std::runtime_error("aspell: " + message);
  }
  speller_ = to_aspell_speller(result);
}

AspellEngine::~AspellEngine() {
  delete_aspell_speller(speller_);
}

void AspellEngine::Suggest(const std::string& word, std::vector<std::string>& out) {
  out.clear();
  const AspellWordList* list =
      aspell_speller_suggest(speller_, word.data(), static_cast<int>(word.size()));
  if (list == nullptr) return;
  AspellStringEnumeration* elements = aspell_word_list_elements(list);
  while (const char* suggestion = aspell_string_enumeration_next(elements))
    out.emplace_back(suggestion);
  delete_aspell_string_enumeration(elements);
}

HunspellEngine::HunspellEngine() {
  // Hunspell reports a missing file only on stderr and then accepts nothing.
  RequireReadable(kHunspellAff);
  RequireReadable(kHunspellDic);
  hunspell_ = std::make_unique<Hunspell>(kHunspellAff, kHunspellDic);
}

NuspellEngine::NuspellEngine() {
  try {
    dictionary_.load_aff_dic(kHunspellAff);  // finds en_US.dic beside the .aff
  } catch (const std::exception& e) {
    throw std::runtime_error(std::string("nuspell: ") + e.what());
  }
}

}  // namespace lexivane::bench
