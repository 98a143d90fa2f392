// Check rate: every non-empty token of big.txt, as the word scanner cuts it, checked by the
// engine (UTF-16) and by aspell, hunspell and nuspell (UTF-8). The text is tokenized and
// converted once, before any timing; an iteration checks all tokens in order.
//
// Counters: words/s, and the share of tokens each engine rejects, which tells whether the
// engines are doing comparable work (a checker that rejected everything would be fast too).
#include <benchmark/benchmark.h>

#include <cstddef>
#include <stdexcept>

#include "bench/bench_data.h"
#include "bench/peers.h"
#include "lexivane/spell_check.h"

namespace lexivane::bench {
namespace {

// `check(i)` checks token i and answers whether it was accepted.
template <typename Check>
void MeasureCheckRate(benchmark::State& state, std::size_t tokens, Check&& check) {
  std::size_t rejected = 0;
  for (auto _ : state) {
    rejected = 0;
    for (std::size_t i = 0; i < tokens; ++i) rejected += check(i) ? 0 : 1;
    benchmark::DoNotOptimize(rejected);
  }
  // The counter is set once, after the loop: an iteration-invariant rate multiplies the
  // tokens of one pass by the number of passes before dividing by the total time.
  state.counters["words/s"] = benchmark::Counter(static_cast<double>(tokens),
                                                 benchmark::Counter::kIsIterationInvariantRate);
  state.counters["rejected_%"] =
      100.0 * static_cast<double>(rejected) / static_cast<double>(tokens);
  state.counters["tokens"] = static_cast<double>(tokens);
}

void BM_Lexivane_CheckWord(benchmark::State& state) {
  const auto& tokens = BigTextTokens().utf16;
  SpellCheck engine;
  engine.Init();
  MeasureCheckRate(state, tokens.size(),
                   [&](std::size_t i) { return engine.CheckWord(tokens[i]); });
}
BENCHMARK(BM_Lexivane_CheckWord)->Unit(benchmark::kMillisecond);

template <typename Engine>
void MeasurePeer(benchmark::State& state) {
  const auto& tokens = BigTextTokens().utf8;
  try {
    Engine engine;
    MeasureCheckRate(state, tokens.size(), [&](std::size_t i) { return engine.Check(tokens[i]); });
  } catch (const std::runtime_error& e) {
    state.SkipWithError(e.what());
  }
}

void BM_Aspell_Check(benchmark::State& state) {
  MeasurePeer<AspellEngine>(state);
}
BENCHMARK(BM_Aspell_Check)->Unit(benchmark::kMillisecond);

void BM_Hunspell_Spell(benchmark::State& state) {
  MeasurePeer<HunspellEngine>(state);
}
BENCHMARK(BM_Hunspell_Spell)->Unit(benchmark::kMillisecond);

void BM_Nuspell_Spell(benchmark::State& state) {
  MeasurePeer<NuspellEngine>(state);
}
BENCHMARK(BM_Nuspell_Spell)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lexivane::bench

BENCHMARK_MAIN();
