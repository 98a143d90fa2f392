#include "bench/bench_data.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <numeric>

#include "platform/files.h"
#include "platform/text.h"
#include "textcheck/word_scanner.h"

namespace lexivane::bench {

namespace {

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cerr << "cannot read benchmark data '" << path.string()
              << "' (set LEXIVANE_BENCH_DATA to the directory holding texts/ and corpora/)\n";
    std::exit(EXIT_FAILURE);
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::u16string Folded(std::string_view utf8) {
  return platform::ToLower(lexivane::FromUtf8(utf8));
}

}  // namespace

std::filesystem::path DataDir() {
  if (const char* dir = std::getenv("LEXIVANE_BENCH_DATA"); dir != nullptr && *dir != '\0')
    return dir;
  return std::filesystem::path(LEXIVANE_SHARED_DIR) / "bench";
}

TextTokens TokenizeText(std::u16string_view text) {
  TextTokens tokens;
  ForEachToken(text, [&tokens](std::u16string_view token, std::int32_t) {
    if (token.empty()) return;
    tokens.utf16.emplace_back(token);
    tokens.utf8.push_back(lexivane::ToUtf8(token));
  });
  return tokens;
}

const TextTokens& BigTextTokens() {
  static const TextTokens tokens =
      TokenizeText(lexivane::FromUtf8(ReadWholeFile(DataDir() / "texts" / "big.txt")));
  return tokens;
}

std::vector<Misspelling> ParseCorpus(std::string_view tsv) {
  std::vector<Misspelling> rows;
  while (!tsv.empty()) {
    const std::size_t end = std::min(tsv.find('\n'), tsv.size());
    std::string_view line = tsv.substr(0, end);
    tsv.remove_prefix(std::min(end + 1, tsv.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) continue;
    Misspelling row{std::string(line.substr(0, tab)), std::string(line.substr(tab + 1)), {}};
    row.misspelling_utf16 = lexivane::FromUtf8(row.misspelling);
    rows.push_back(std::move(row));
  }
  return rows;
}

const std::vector<Misspelling>& BirkbeckSample() {
  static const std::vector<Misspelling> rows =
      ParseCorpus(ReadWholeFile(DataDir() / "corpora" / "birkbeck-sample.tsv"));
  return rows;
}

std::vector<Misspelling> EveryNth(const std::vector<Misspelling>& rows, std::size_t stride) {
  std::vector<Misspelling> subset;
  if (stride == 0) return subset;
  for (std::size_t i = 0; i < rows.size(); i += stride) subset.push_back(rows[i]);
  return subset;
}

double Quantile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const double position = std::clamp(p, 0.0, 1.0) * static_cast<double>(values.size() - 1);
  const auto below = static_cast<std::size_t>(std::floor(position));
  const std::size_t above = std::min(below + 1, values.size() - 1);
  const double fraction = position - static_cast<double>(below);
  return values[below] + (values[above] - values[below]) * fraction;
}

std::size_t RankOf(const std::vector<std::string>& suggestions, std::string_view correct) {
  const std::u16string wanted = Folded(correct);
  for (std::size_t i = 0; i < suggestions.size(); ++i) {
    if (Folded(suggestions[i]) == wanted) return i + 1;
  }
  return 0;
}

void SuggestionTally::Add(double milliseconds, const std::vector<std::string>& suggestions,
                          std::string_view correct) {
  milliseconds_.push_back(milliseconds);
  const std::size_t rank = RankOf(suggestions, correct);
  if (rank == 1) ++top1_;
  if (rank >= 1 && rank <= 5) ++top5_;
  if (suggestions.empty()) ++none_;
}

double SuggestionTally::MeanMs() const {
  if (milliseconds_.empty()) return 0;
  return std::accumulate(milliseconds_.begin(), milliseconds_.end(), 0.0) /
         static_cast<double>(milliseconds_.size());
}

double SuggestionTally::Percent(std::size_t count) const {
  if (milliseconds_.empty()) return 0;
  return 100.0 * static_cast<double>(count) / static_cast<double>(milliseconds_.size());
}

}  // namespace lexivane::bench
