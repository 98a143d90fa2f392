// What the benchmark programs share: the public texts and misspelling corpora they run on, each
// read once per process, and the figures computed from per-word measurements.
//
// The data directory holds texts/ and corpora/. It is the directory named by the environment
// variable LEXIVANE_BENCH_DATA when that is set and not empty, else the bench/ folder of the
// shared directory that the build compiled in. A benchmark without its data measures nothing,
// so a file that cannot be read ends the program with a message naming it.
//
// The loaders may be called from any thread (the data is built once, then only read); the
// SuggestionTally is an ordinary value owned by whoever fills it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace lexivane::bench {

std::filesystem::path DataDir();

// The non-empty tokens of a text as the word scanner cuts them, in order, in both encodings:
// UTF-16 for the engine, UTF-8 for the other spell checkers. utf16[i] and utf8[i] are the same
// token.
struct TextTokens {
  std::vector<std::u16string> utf16;
  std::vector<std::string> utf8;
};

TextTokens TokenizeText(std::u16string_view text);

// The tokens of texts/big.txt.
const TextTokens& BigTextTokens();

struct Misspelling {
  std::string misspelling;
  std::string correct;
  std::u16string misspelling_utf16;
};

// Rows of "misspelling TAB correct" text. A line without a tab is no row; a CR before the line
// end is dropped; blanks inside either field are kept, since a few misspellings hold one.
std::vector<Misspelling> ParseCorpus(std::string_view tsv);

// The rows of corpora/birkbeck-sample.tsv.
const std::vector<Misspelling>& BirkbeckSample();

// Rows 0, stride, 2 * stride, ... of `rows`: the deterministic subset that the slow engines run.
std::vector<Misspelling> EveryNth(const std::vector<Misspelling>& rows, std::size_t stride);

// The p-quantile (0 <= p <= 1) of `values`, interpolated linearly between the two nearest
// ranks, so that the 0.5-quantile of an even count is the mean of the middle two. 0 for no
// values.
double Quantile(std::vector<double> values, double p);

// The 1-based position of `correct` among `suggestions`, compared without regard to letter
// case; 0 when it is not there.
std::size_t RankOf(const std::vector<std::string>& suggestions, std::string_view correct);

// Per-word latency and accuracy of one engine's suggestions over a corpus.
class SuggestionTally {
 public:
  void Add(double milliseconds, const std::vector<std::string>& suggestions,
           std::string_view correct);

  std::size_t words() const { return milliseconds_.size(); }
  double MedianMs() const { return Quantile(milliseconds_, 0.5); }
  double P95Ms() const { return Quantile(milliseconds_, 0.95); }
  double MeanMs() const;
  // Shares of the words, in percent, whose correct form came first / within the first five.
  double Top1Percent() const { return Percent(top1_); }
  double Top5Percent() const { return Percent(top5_); }
  // Share of the words, in percent, that got no suggestion at all.
  double NonePercent() const { return Percent(none_); }

 private:
  double Percent(std::size_t count) const;

  std::vector<double> milliseconds_;
  std::size_t top1_ = 0;
  std::size_t top5_ = 0;
  std::size_t none_ = 0;
};

}  // namespace lexivane::bench
