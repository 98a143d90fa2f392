// Suggestions for the misspellings of the Birkbeck sample: per-word latency (median and 95th
// percentile, each call timed on its own with steady_clock) and accuracy (the correct word,
// compared without regard to case, first / among the first five suggestions).
//
// The engine runs at its default threshold, the typing ranking (TypingSuggestions) for the 15
// suggestions the front ends show, alone and with the lists the front ends offer besides (the
// extra words and the programming words, read from data/ as the front ends build them in),
// aspell in "normal" mode. hunspell and nuspell take tens of
// milliseconds a word, so they run over every 10th row only (rows 0, 10, 20, ...); the engine,
// the typing ranking and aspell run over both the whole sample and that subset, so that each
// peer has a figure on the very same words. The argument "every" in a benchmark's name is that
// stride.
// One call on the first word, untimed, comes first, so that no engine's one-time setup lands on
// a word's figure. Suggestions are converted and compared after each call's timing ends.
//
// BM_Lexivane_LongWord times one call on a very long word, as a host that passes a whole
// paragraph without blanks or a pasted blob would: random lower-case letters, or one real word
// repeated, at the length in its name. Such words can get no suggestion at the default
// threshold, so the figure is the price of finding that out.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_data.h"
#include "bench/peers.h"
#include "lexivane/spell_check.h"
#include "lexivane/typing_suggestions.h"
#include "platform/files.h"

namespace lexivane::bench {
namespace {

using Clock = std::chrono::steady_clock;

// `suggest(row, out)` fills `out` with the UTF-8 suggestions for the row and answers the
// milliseconds its engine took.
template <typename Suggest>
void MeasureSuggestions(benchmark::State& state, Suggest&& suggest) {
  const std::vector<Misspelling> rows =
      EveryNth(BirkbeckSample(), static_cast<std::size_t>(state.range(0)));
  std::vector<std::string> suggestions;
  if (!rows.empty()) suggest(rows.front(), suggestions);

  SuggestionTally tally;
  for (auto _ : state) {
    tally = SuggestionTally();
    for (const Misspelling& row : rows) {
      const double milliseconds = suggest(row, suggestions);
      tally.Add(milliseconds, suggestions, row.correct);
    }
  }
  state.counters["words"] = static_cast<double>(tally.words());
  state.counters["median_ms"] = tally.MedianMs();
  state.counters["p95_ms"] = tally.P95Ms();
  state.counters["mean_ms"] = tally.MeanMs();
  state.counters["top1_%"] = tally.Top1Percent();
  state.counters["top5_%"] = tally.Top5Percent();
  state.counters["none_%"] = tally.NonePercent();
}

template <typename Call>
double MillisecondsOf(Call&& call) {
  const Clock::time_point start = Clock::now();
  call();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// `suggest(engine, word, found)` fills `found` with the engine's suggestions for the word;
// only that call is timed.
template <typename Suggest>
void MeasureLexivane(benchmark::State& state, Suggest&& suggest) {
  SpellCheck engine;
  engine.Init();
  std::vector<std::u16string> found;
  MeasureSuggestions(state, [&](const Misspelling& row, std::vector<std::string>& out) {
    const double milliseconds =
        MillisecondsOf([&] { suggest(engine, row.misspelling_utf16, found); });
    out.clear();
    for (const std::u16string& word : found) out.push_back(lexivane::ToUtf8(word));
    return milliseconds;
  });
}

void BM_Lexivane_GetSuggestions(benchmark::State& state) {
  MeasureLexivane(state, [](const SpellCheck& engine, std::u16string_view word, auto& found) {
    engine.GetSuggestions(word, found);
  });
}

// The typing ranking, at most as many suggestions as the front ends show.
void BM_Lexivane_TypingSuggestions(benchmark::State& state) {
  MeasureLexivane(state, [](const SpellCheck& engine, std::u16string_view word, auto& found) {
    found = TypingSuggestions(engine, word);
  });
}

// The entries of the sections `sections` of a list of data/ (a word a line, a section opened
// by "=name"; every line when `sections` is empty), widened: they are ASCII.
std::vector<std::u16string> DataWords(const char* file, std::vector<std::string> sections) {
  std::ifstream in(std::string(LEXIVANE_DATA_DIR) + "/" + file);
  if (!in) throw std::runtime_error(std::string("cannot read data/") + file);
  std::vector<std::u16string> words;
  bool taken = sections.empty();
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with('=')) {
      taken = std::find(sections.begin(), sections.end(), line.substr(1)) != sections.end();
    } else if (taken && !line.empty()) {
      words.emplace_back(line.begin(), line.end());
    }
  }
  return words;
}

// The same with the lists the front ends offer, at their level.
void BM_Lexivane_TypingSuggestionsOffered(benchmark::State& state) {
  const OfferedWords extra(DataWords("extra_words.txt", {}), 50);
  const OfferedWords code(DataWords("code_words.txt", {"general", "c", "python", "shell", "html"}),
                          50);
  const std::vector<const OfferedWords*> offered = {&extra, &code};
  MeasureLexivane(state, [&](const SpellCheck& engine, std::u16string_view word, auto& found) {
    found = TypingSuggestions(engine, word, kShownSuggestionsMax, true, offered);
  });
}

template <typename Engine>
void MeasurePeer(benchmark::State& state) {
  try {
    Engine engine;
    MeasureSuggestions(state, [&](const Misspelling& row, std::vector<std::string>& out) {
      return MillisecondsOf([&] { engine.Suggest(row.misspelling, out); });
    });
  } catch (const std::runtime_error& e) {
    state.SkipWithError(e.what());
  }
}

void BM_Aspell_Suggest(benchmark::State& state) {
  MeasurePeer<AspellEngine>(state);
}
void BM_Hunspell_Suggest(benchmark::State& state) {
  MeasurePeer<HunspellEngine>(state);
}
void BM_Nuspell_Suggest(benchmark::State& state) {
  MeasurePeer<NuspellEngine>(state);
}

std::u16string RandomLetters(std::size_t length, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> letter(0, 25);
  std::u16string word;
  while (word.size() < length) word += static_cast<char16_t>(u'a' + letter(random));
  return word;
}

// Kind 0: random letters (a fixed seed); kind 1: "because" repeated and cut to the length.
std::u16string LongWord(std::size_t length, int kind) {
  if (kind == 0) return RandomLetters(length, 20261206);
  std::u16string word;
  while (word.size() < length) word += u"because";
  word.resize(length);
  return word;
}

void BM_Lexivane_LongWord(benchmark::State& state) {
  SpellCheck engine;
  engine.Init();
  const std::u16string word =
      LongWord(static_cast<std::size_t>(state.range(0)), static_cast<int>(state.range(1)));
  std::vector<std::u16string> found;
  std::int32_t count = 0;
  for (auto _ : state) {
    count = engine.GetSuggestions(word, found);
    benchmark::DoNotOptimize(found.data());
  }
  state.counters["suggestions"] = count;
}

// Long words that still cost more than their length, because some of the work may find a
// suggestion. Kind 0 puts a digit at each end of the random letters (every split part may then
// read as a number); kind 1 adds a custom entry of as many other random letters (its ratio
// bound is computed); kind 2 searches at threshold 0 (every window word qualifies and is scored
// and sorted). Each call runs on a thread of its own, which keeps the custom entry from the
// other benchmarks, and the thread times the call alone.
void BM_Lexivane_LongWordCostlier(benchmark::State& state) {
  const auto length = static_cast<std::size_t>(state.range(0));
  const int kind = static_cast<int>(state.range(1));
  for (auto _ : state) {
    double seconds = 0;
    std::thread([&] {
      SpellCheck engine;
      engine.Init();
      std::u16string word = LongWord(length, 0);
      if (kind == 0) word = u"1" + word + u"1";
      if (kind == 1) engine.AddToCustom(RandomLetters(length, 1));
      if (kind == 2) engine.SetSuggestionSimilarity(0.0f);
      std::vector<std::u16string> found;
      const Clock::time_point start = Clock::now();
      engine.GetSuggestions(word, found);
      seconds = std::chrono::duration<double>(Clock::now() - start).count();
    }).join();
    state.SetIterationTime(seconds);
  }
}

// One pass over the rows is the measurement; repeating it would only repeat the figures.
BENCHMARK(BM_Lexivane_GetSuggestions)
    ->ArgName("every")
    ->Arg(1)
    ->Arg(10)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lexivane_TypingSuggestions)
    ->ArgName("every")
    ->Arg(1)
    ->Arg(10)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lexivane_TypingSuggestionsOffered)
    ->ArgName("every")
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lexivane_LongWord)
    ->ArgNames({"letters", "repeated"})
    ->ArgsProduct({{1000, 16000, 32767}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lexivane_LongWordCostlier)
    ->ArgNames({"letters", "kind"})
    ->ArgsProduct({{1000, 16000}, {0, 1, 2}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Aspell_Suggest)
    ->ArgName("every")
    ->Arg(1)
    ->Arg(10)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Hunspell_Suggest)
    ->ArgName("every")
    ->Arg(10)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Nuspell_Suggest)
    ->ArgName("every")
    ->Arg(10)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lexivane::bench

BENCHMARK_MAIN();
