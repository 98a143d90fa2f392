// Text check speed: CheckText over the whole of big.txt without the dialog, with a sink that
// counts the events, in megabytes of UTF-8 input per second. Beside it, the same run with no
// sink at all and with a host yield installed, so that the cost of raising the events and of
// the once-per-token yield can be read off as the difference, per token.
//
// Counters: MB/s of the text (its UTF-8 size), tokens (every token of the walk, empty ones
// included, as the run counts them), s/token (time per token).
//
// Also ReplaceWord over the same text, as a host answers Change All: a frequent word ("the",
// some 80,000 whole-word occurrences in every letter case) and a word that never occurs.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "bench/bench_data.h"
#include "lexivane/events.h"
#include "lexivane/spell_check.h"
#include "lexivane/yield.h"
#include "platform/files.h"

namespace lexivane::bench {
namespace {

struct BigText {
  std::size_t utf8_bytes;
  std::u16string text;
};

const BigText& LoadBigText() {
  static const BigText big = [] {
    const auto path = DataDir() / "texts" / "big.txt";
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream content;
    content << in.rdbuf();
    const std::string bytes = std::move(content).str();
    return BigText{bytes.size(), lexivane::FromUtf8(bytes)};
  }();
  return big;
}

class CountingSink : public SpellCheckEvents {
 public:
  void SpellWordNotInDic(std::u16string_view, std::int32_t, bool&) override { ++unknown; }
  void SpellCheckComplete(std::int32_t words) override { tokens = words; }
  void SpellCheckProgress(std::int32_t, std::int32_t, std::int32_t) override { ++progress; }

  std::int64_t unknown = 0;
  std::int64_t progress = 0;
  std::int32_t tokens = 0;
};

enum class Setup { kCountingSink, kNoSink, kCountingSinkAndHostYield };

void BM_Lexivane_CheckText(benchmark::State& state, Setup setup) {
  const BigText& big = LoadBigText();
  SpellCheck engine;
  engine.Init();
  CountingSink sink;
  if (setup != Setup::kNoSink) engine.Advise(&sink);
  std::int64_t yields = 0;
  if (setup == Setup::kCountingSinkAndHostYield) SetYieldFunction([&yields] { ++yields; });

  for (auto _ : state) engine.CheckText(big.text, false);

  SetYieldFunction(nullptr);
  // Every token gets one progress event and one yield, so the walk's token count is the
  // progress count of one pass (without a sink, count it once with one).
  std::int64_t tokens = sink.progress / std::max<std::int64_t>(state.iterations(), 1);
  if (setup == Setup::kNoSink) {
    CountingSink once;
    engine.Advise(&once);
    engine.CheckText(big.text, false);
    tokens = once.progress;
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(big.utf8_bytes) * state.iterations());
  state.counters["tokens"] = static_cast<double>(tokens);
  state.counters["s/token"] = benchmark::Counter(
      static_cast<double>(tokens),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  if (setup == Setup::kCountingSinkAndHostYield && yields != tokens * state.iterations()) {
    state.SkipWithError("the host yield did not run once per token");
  }
}

BENCHMARK_CAPTURE(BM_Lexivane_CheckText, counting_sink, Setup::kCountingSink)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Lexivane_CheckText, no_sink, Setup::kNoSink)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Lexivane_CheckText, counting_sink_and_host_yield,
                  Setup::kCountingSinkAndHostYield)
    ->Unit(benchmark::kMillisecond);

void BM_Lexivane_ReplaceWord(benchmark::State& state, const char16_t* find) {
  const BigText& big = LoadBigText();
  const SpellCheck engine;
  std::size_t size = 0;
  for (auto _ : state) size = engine.ReplaceWord(big.text, find, u"thee").size();
  state.SetBytesProcessed(static_cast<std::int64_t>(big.utf8_bytes) * state.iterations());
  state.counters["growth"] = static_cast<double>(size) - static_cast<double>(big.text.size());
}

BENCHMARK_CAPTURE(BM_Lexivane_ReplaceWord, frequent_word, u"THE")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Lexivane_ReplaceWord, absent_word, u"teh")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lexivane::bench

BENCHMARK_MAIN();
