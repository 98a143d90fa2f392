// The other spell checkers the benchmarks measure the engine against, each behind the same
// three calls: create (load the US English dictionary), Check and Suggest. Words are UTF-8.
//
// The wrappers add nothing to the work measured: each call goes straight to the peer's own
// API, with the word in the form that API takes without a copy. A constructor that cannot
// load its dictionary throws std::runtime_error. One object is used from one thread at a time.
#pragma once

#include <aspell.h>
#include <hunspell/hunspell.hxx>
#include <memory>
#include <nuspell/dictionary.hxx>
#include <string>
#include <vector>

namespace lexivane::bench {

// The installed Debian dictionaries the peers load.
inline constexpr char kHunspellAff[] = "/usr/share/hunspell/en_US.aff";
inline constexpr char kHunspellDic[] = "/usr/share/hunspell/en_US.dic";

// aspell's en_US speller in "normal" suggestion mode, UTF-8 in and out.
class AspellEngine {
 public:
  AspellEngine();
  ~AspellEngine();
  AspellEngine(const AspellEngine&) = delete;
  AspellEngine& operator=(const AspellEngine&) = delete;

  bool Check(const std::string& word) {
    return aspell_speller_check(speller_, word.data(), static_cast<int>(word.size())) == 1;
  }
  void Suggest(const std::string& word, std::vector<std::string>& out);

 private:
  AspellSpeller* speller_ = nullptr;
};

class HunspellEngine {
 public:
  HunspellEngine();

  bool Check(const std::string& word) { return hunspell_->spell(word); }
  void Suggest(const std::string& word, std::vector<std::string>& out) {
    out = hunspell_->suggest(word);
  }

 private:
  std::unique_ptr<Hunspell> hunspell_;
};

class NuspellEngine {
 public:
  NuspellEngine();

  bool Check(const std::string& word) const { return dictionary_.spell(word); }
  void Suggest(const std::string& word, std::vector<std::string>& out) const {
    dictionary_.suggest(word, out);
  }

 private:
  nuspell::Dictionary dictionary_;
};

}  // namespace lexivane::bench
