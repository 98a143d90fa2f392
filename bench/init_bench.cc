// What it costs to get a spell checker ready: the engine's Init against creating aspell's
// en_US speller and loading hunspell's and nuspell's dictionaries.
//
// The engine's tables belong to a thread and a repeated Init on the same thread changes
// nothing, so the cost a host pays is that of a thread's first Init. Each iteration therefore
// starts a new thread, which times its own engine construction and Init (manual time: the
// thread start is not in the figure). The same work timed around the thread's start and join,
// beside an empty thread, shows what the thread itself costs. WordTables::Load on a fresh
// object and the validation of the embedded image (done once per process, by the first Init)
// are shown apart.
#include <benchmark/benchmark.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "bench/peers.h"
#include "engine/prepared_tables.h"
#include "engine/word_tables.h"
#include "lexivane/spell_check.h"
#include "platform/module.h"

namespace lexivane::bench {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_Lexivane_FirstInitOnFreshThread(benchmark::State& state) {
  for (auto _ : state) {
    double seconds = 0;
    std::thread([&seconds] {
      const Clock::time_point start = Clock::now();
      SpellCheck engine;
      engine.Init();
      seconds = SecondsSince(start);
      benchmark::DoNotOptimize(engine);
    }).join();
    state.SetIterationTime(seconds);
  }
}
// A fixed count: an iteration's manual time is far below the thread start around it, so
// letting the library pick the count from the manual time would start millions of threads.
BENCHMARK(BM_Lexivane_FirstInitOnFreshThread)
    ->UseManualTime()
    ->Iterations(20000)
    ->Unit(benchmark::kMicrosecond);

void BM_Lexivane_ThreadStartInitJoin(benchmark::State& state) {
  for (auto _ : state) {
    std::thread([] {
      SpellCheck engine;
      engine.Init();
      benchmark::DoNotOptimize(engine);
    }).join();
  }
}
// Real time: the main thread only waits, so its CPU time says nothing.
BENCHMARK(BM_Lexivane_ThreadStartInitJoin)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_EmptyThreadStartJoin(benchmark::State& state) {
  for (auto _ : state) std::thread([] {}).join();
}
BENCHMARK(BM_EmptyThreadStartJoin)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_Lexivane_WordTablesLoad(benchmark::State& state) {
  WordTables{}.Load();  // the process-once validation is measured on its own below
  for (auto _ : state) {
    WordTables tables;
    tables.Load();
    benchmark::DoNotOptimize(tables);
  }
}
BENCHMARK(BM_Lexivane_WordTablesLoad)->Unit(benchmark::kMicrosecond);

void BM_Lexivane_ValidateEmbeddedImage(benchmark::State& state) {
  for (auto _ : state) {
    PreparedTables tables(platform::EmbeddedPreparedTables());
    benchmark::DoNotOptimize(tables);
  }
}
BENCHMARK(BM_Lexivane_ValidateEmbeddedImage)->Unit(benchmark::kMicrosecond);

// Times the creation of a peer; its destruction is left out of the figure.
template <typename Engine>
void MeasureCreation(benchmark::State& state) {
  for (auto _ : state) {
    try {
      const Clock::time_point start = Clock::now();
      Engine engine;
      state.SetIterationTime(SecondsSince(start));
      benchmark::DoNotOptimize(engine);
    } catch (const std::runtime_error& e) {
      state.SkipWithError(e.what());
      return;
    }
  }
}

void BM_Aspell_NewSpeller(benchmark::State& state) {
  MeasureCreation<AspellEngine>(state);
}
BENCHMARK(BM_Aspell_NewSpeller)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_Hunspell_LoadDictionary(benchmark::State& state) {
  MeasureCreation<HunspellEngine>(state);
}
BENCHMARK(BM_Hunspell_LoadDictionary)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_Nuspell_LoadDictionary(benchmark::State& state) {
  MeasureCreation<NuspellEngine>(state);
}
BENCHMARK(BM_Nuspell_LoadDictionary)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lexivane::bench

BENCHMARK_MAIN();
