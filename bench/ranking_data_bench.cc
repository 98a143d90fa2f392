// The data of the typing ranking: the sound key of every word, building the sound
// index of the main list (time and memory) and reading the one embedded at build time, looking
// up a misspelling's phonetic neighbours, the letter triples (built and read), and the word
// levels. Engine only.
//
// The lookups run over the Birkbeck sample; their counters say how many words a lookup offers
// and how often the intended word is among them (within one key edit, and with the same key).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "bench/bench_data.h"
#include "engine/prepared_tables.h"
#include "engine/word_tables.h"
#include "suggest/embedded_ranking_data.h"
#include "suggest/letter_triples.h"
#include "suggest/near_words.h"
#include "suggest/sound_index.h"
#include "suggest/sound_key.h"
#include "suggest/word_level.h"

namespace lexivane::bench {
namespace {

void BM_SoundKey_EveryListWord(benchmark::State& state) {
  const PreparedTables& tables = SharedMainTables();
  for (auto _ : state) {
    for (std::int32_t i = 0; i < tables.word_count(); ++i) {
      benchmark::DoNotOptimize(SoundKey(tables.Word(i)));
    }
  }
  state.SetItemsProcessed(state.iterations() * tables.word_count());
}
BENCHMARK(BM_SoundKey_EveryListWord)->Unit(benchmark::kMillisecond);

void BM_SoundIndex_Build(benchmark::State& state) {
  const PreparedTables& tables = SharedMainTables();
  std::size_t bytes = 0;
  for (auto _ : state) {
    const SoundIndex index(tables);
    bytes = index.MemoryBytes();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["MiB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_SoundIndex_Build)->Unit(benchmark::kMillisecond);

// What SharedSoundIndex() does on its first call: check the embedded image and point into it.
void BM_SoundIndex_ReadEmbedded(benchmark::State& state) {
  for (auto _ : state) {
    const SoundIndex index(EmbeddedSoundIndexImage());
    benchmark::DoNotOptimize(index.word_count());
  }
}
BENCHMARK(BM_SoundIndex_ReadEmbedded)->Unit(benchmark::kMicrosecond);

void BM_LetterTriples_Build(benchmark::State& state) {
  const PreparedTables& tables = SharedMainTables();
  for (auto _ : state) {
    const LetterTriples triples(tables);
    benchmark::DoNotOptimize(triples.MayBeListed("tqe"));
  }
}
BENCHMARK(BM_LetterTriples_Build)->Unit(benchmark::kMillisecond);

void BM_LetterTriples_ReadEmbedded(benchmark::State& state) {
  for (auto _ : state) {
    const LetterTriples triples(EmbeddedLetterTriplesImage());
    benchmark::DoNotOptimize(triples.MayBeListed("tqe"));
  }
}
BENCHMARK(BM_LetterTriples_ReadEmbedded)->Unit(benchmark::kMicrosecond);

struct Query {
  std::string key;
  std::int32_t correct;  // -1 when the list lacks the intended word
};

std::vector<Query> BirkbeckQueries() {
  const PreparedTables& tables = SharedMainTables();
  std::vector<Query> queries;
  for (const Misspelling& row : BirkbeckSample()) {
    std::string correct = row.correct;
    std::transform(correct.begin(), correct.end(), correct.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    queries.push_back({SoundKey(std::string_view(row.misspelling)), tables.Find(correct)});
  }
  return queries;
}

// One lookup a misspelling, its key made beforehand.
void BM_SoundIndex_NearSound_Birkbeck(benchmark::State& state) {
  const SoundIndex& index = SharedSoundIndex();
  const std::vector<Query> queries = BirkbeckQueries();
  std::int64_t offered = 0;
  std::int64_t in_list = 0, found = 0, found_same_key = 0;
  for (auto _ : state) {
    offered = in_list = found = found_same_key = 0;
    for (const Query& query : queries) {
      int correct_edits = -1;
      index.ForEachWordNearSound(query.key, [&](std::int32_t word, int key_edits) {
        ++offered;
        if (word == query.correct) correct_edits = key_edits;
      });
      in_list += query.correct >= 0;
      found += correct_edits >= 0;
      found_same_key += correct_edits == 0;
    }
  }
  const auto count = static_cast<double>(queries.size());
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(queries.size()));
  state.counters["words_per_lookup"] = static_cast<double>(offered) / count;
  state.counters["correct_in_list_%"] = 100.0 * static_cast<double>(in_list) / count;
  state.counters["correct_found_%"] = 100.0 * static_cast<double>(found) / count;
  state.counters["correct_same_key_%"] = 100.0 * static_cast<double>(found_same_key) / count;
}
BENCHMARK(BM_SoundIndex_NearSound_Birkbeck)->Unit(benchmark::kMillisecond);

// The listed words of a misspelling's first letter within `edits` edits, for every misspelling
// of the Birkbeck sample (lower case).
void BM_NearWords_Birkbeck(benchmark::State& state) {
  const PreparedTables& tables = SharedMainTables();
  std::vector<std::string> words;
  for (const Misspelling& row : BirkbeckSample()) {
    std::string word = row.misspelling;
    std::transform(word.begin(), word.end(), word.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    words.push_back(std::move(word));
  }
  const int edits = static_cast<int>(state.range(0));
  std::vector<NearWord> found;
  std::size_t offered = 0;
  for (auto _ : state) {
    offered = 0;
    for (const std::string& word : words) {
      found.clear();
      FindNearWords(tables, word, edits, found);
      offered += found.size();
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(words.size()));
  state.counters["words_per_lookup"] =
      static_cast<double>(offered) / static_cast<double>(words.size());
}
BENCHMARK(BM_NearWords_Birkbeck)->ArgName("edits")->DenseRange(1, 3)->Unit(benchmark::kMillisecond);

void BM_WordLevel_EveryListWord(benchmark::State& state) {
  const std::int32_t count = SharedMainTables().word_count();
  for (auto _ : state) {
    unsigned sum = 0;
    for (std::int32_t i = 0; i < count; ++i) sum += WordLevel(i);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_WordLevel_EveryListWord)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace lexivane::bench

BENCHMARK_MAIN();
