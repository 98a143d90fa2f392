// Memory of one thread's tables against each peer's loaded dictionary, in MiB.
//
//   image_MiB      the engine's prepared tables embedded in the component: one read-only image
//                  that every thread's tables point at, so a process holds it once
//   heap_MiB       bytes the C heap has in use (glibc mallinfo2: arena chunks in use plus
//                  mmap'ed chunks, over all arenas) after the engine's Init on a fresh thread,
//                  or after creating the peer, less the same before
//   rss_MiB        resident set growth over the same step (/proc/self/statm): this also counts
//                  file pages the step maps and touches, such as aspell's dictionary
//   rss_used_MiB   resident set growth once the engine has also checked every token of big.txt
//                  and made suggestions for every 50th Birkbeck row, which pages in whatever
//                  the lookups reach
//   total_MiB      the engine's image plus its heap: what one thread's tables occupy at most
//
// Each measurement runs in a child process forked for it, so that no engine finds pages or
// heap that an earlier measurement left behind; the child sends its figures back through a
// pipe. The data the "used" step needs is loaded before the child forks.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_data.h"
#include "bench/peers.h"
#include "lexivane/spell_check.h"
#include "platform/module.h"

namespace lexivane::bench {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;

std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

std::size_t ResidentBytes() {
  std::FILE* statm = std::fopen("/proc/self/statm", "r");
  if (statm == nullptr) return 0;
  unsigned long size = 0, resident = 0;
  const int read = std::fscanf(statm, "%lu %lu", &size, &resident);
  std::fclose(statm);
  return read == 2 ? resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) : 0;
}

struct Figures {
  double heap_bytes = 0;
  double rss_bytes = 0;
  double rss_used_bytes = 0;
  bool failed = false;
};

// Runs `measure` in a forked child and returns what it found. A child that dies or throws
// comes back as failed.
Figures InChild(const std::function<Figures()>& measure) {
  int channel[2];
  if (pipe(channel) != 0) return {.failed = true};
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    Figures figures;
    try {
      figures = measure();
    } catch (const std::exception&) {
      figures.failed = true;
    }
    const bool sent = write(channel[1], &figures, sizeof figures) == sizeof figures;
    _exit(sent ? 0 : 1);
  }
  close(channel[1]);
  Figures figures{.failed = true};
  if (child > 0) {
    if (read(channel[0], &figures, sizeof figures) != sizeof figures) figures.failed = true;
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) figures.failed = true;
  }
  close(channel[0]);
  return figures;
}

// Where every measurement uses the engine or peer once loaded: lookups over big.txt and a
// few suggestion searches.
const std::vector<Misspelling>& SomeMisspellings() {
  static const std::vector<Misspelling> rows = EveryNth(BirkbeckSample(), 50);
  return rows;
}

void Report(benchmark::State& state, const Figures& figures, double image_bytes) {
  if (figures.failed) {
    state.SkipWithError("the measuring child process failed");
    return;
  }
  state.counters["heap_MiB"] = figures.heap_bytes / kMiB;
  state.counters["rss_MiB"] = figures.rss_bytes / kMiB;
  state.counters["rss_used_MiB"] = figures.rss_used_bytes / kMiB;
  if (image_bytes > 0) {
    state.counters["image_MiB"] = image_bytes / kMiB;
    state.counters["total_MiB"] = (image_bytes + figures.heap_bytes) / kMiB;
  }
}

void BM_Lexivane_ThreadTables(benchmark::State& state) {
  const TextTokens& tokens = BigTextTokens();
  SomeMisspellings();
  Figures figures;
  for (auto _ : state) {
    figures = InChild([&tokens] {
      Figures found;
      // The figures are taken inside the new thread, while its tables are alive: they are
      // thread-local and go when the thread ends.
      std::thread([&] {
        const std::size_t heap_before = HeapInUse();
        const std::size_t rss_before = ResidentBytes();
        SpellCheck engine;
        engine.Init();
        found.heap_bytes = static_cast<double>(HeapInUse() - heap_before);
        found.rss_bytes = static_cast<double>(ResidentBytes() - rss_before);
        std::size_t accepted = 0;
        for (const std::u16string& token : tokens.utf16) accepted += engine.CheckWord(token);
        std::vector<std::u16string> suggestions;
        for (const Misspelling& row : SomeMisspellings())
          engine.GetSuggestions(row.misspelling_utf16, suggestions);
        benchmark::DoNotOptimize(accepted);
        found.rss_used_bytes = static_cast<double>(ResidentBytes() - rss_before);
      }).join();
      return found;
    });
  }
  Report(state, figures, static_cast<double>(platform::EmbeddedPreparedTables().size()));
}
BENCHMARK(BM_Lexivane_ThreadTables)->Iterations(1)->Unit(benchmark::kMillisecond);

template <typename Engine>
void MeasurePeer(benchmark::State& state) {
  const TextTokens& tokens = BigTextTokens();
  SomeMisspellings();
  Figures figures;
  for (auto _ : state) {
    figures = InChild([&tokens] {
      Figures found;
      const std::size_t heap_before = HeapInUse();
      const std::size_t rss_before = ResidentBytes();
      Engine engine;
      found.heap_bytes = static_cast<double>(HeapInUse() - heap_before);
      found.rss_bytes = static_cast<double>(ResidentBytes() - rss_before);
      std::size_t accepted = 0;
      for (const std::string& token : tokens.utf8) accepted += engine.Check(token);
      std::vector<std::string> suggestions;
      for (const Misspelling& row : SomeMisspellings())
        engine.Suggest(row.misspelling, suggestions);
      benchmark::DoNotOptimize(accepted);
      found.rss_used_bytes = static_cast<double>(ResidentBytes() - rss_before);
      return found;
    });
  }
  Report(state, figures, 0);
}

void BM_Aspell_Speller(benchmark::State& state) {
  MeasurePeer<AspellEngine>(state);
}
BENCHMARK(BM_Aspell_Speller)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Hunspell_Dictionary(benchmark::State& state) {
  MeasurePeer<HunspellEngine>(state);
}
BENCHMARK(BM_Hunspell_Dictionary)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Nuspell_Dictionary(benchmark::State& state) {
  MeasurePeer<NuspellEngine>(state);
}
BENCHMARK(BM_Nuspell_Dictionary)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lexivane::bench

BENCHMARK_MAIN();
