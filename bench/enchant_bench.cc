// The Enchant provider as Enchant's programs use it on running text: big.txt cut into words by
// asking is_word_character of every character (first, inside, last, as enchant-2 -l does), and
// each word checked. Loaded with dlopen like Enchant loads it: the module built beside this
// program, or the one named by LEXIVANE_ENCHANT_PROVIDER (another build, for before-and-after
// figures from one program).
//   Enchant_WordCharacters  the is_word_character calls alone, per MB of text;
//   Enchant_CutAndCheck     the calls and a check of every word, per MB of text.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <enchant-provider.h>
#include <glib.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace lexivane::bench {
namespace {

// As bench_data.h finds it, without linking the engine a second time beside the module's.
std::string BigTextFile() {
  const char* data = std::getenv("LEXIVANE_BENCH_DATA");
  return std::string(data && *data ? data : LEXIVANE_SHARED_DIR "/bench") + "/texts/big.txt";
}

struct Provider {
  Provider() {
    const char* other = std::getenv("LEXIVANE_ENCHANT_PROVIDER");
    void* module = dlopen(other && *other ? other : PROVIDER_MODULE, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) throw std::runtime_error(dlerror());
    auto init = reinterpret_cast<EnchantProvider* (*)()>(dlsym(module, "init_enchant_provider"));
    provider = init();
    dict = provider->request_dict(provider, "en_US");
  }
  EnchantProvider* provider;
  EnchantDict* dict;
};

Provider& TheProvider() {
  static Provider provider;
  return provider;
}

// big.txt as characters, with the byte offset of each in the UTF-8 text.
struct Characters {
  std::string utf8;
  std::vector<gunichar> characters;
  std::vector<std::size_t> offsets;
};

const Characters& BigText() {
  static const Characters text = [] {
    Characters c;
    std::ifstream in(BigTextFile(), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + BigTextFile());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    c.utf8 = bytes.str();
    const char* const end = c.utf8.data() + c.utf8.size();
    // The next character's start, or null past the last.
    for (const char* p = c.utf8.data(); p != nullptr && p < end;
         p = g_utf8_find_next_char(p, end)) {
      c.offsets.push_back(static_cast<std::size_t>(p - c.utf8.data()));
      c.characters.push_back(g_utf8_get_char_validated(p, -1));
    }
    c.offsets.push_back(c.utf8.size());
    return c;
  }();
  return text;
}

// Cuts the text into words as Enchant's tokenizer does and calls `word(begin, end)` for each.
template <typename Word>
void Cut(EnchantDict* dict, const Characters& text, Word&& word) {
  const std::size_t n = text.characters.size();
  for (std::size_t i = 0; i < n;) {
    if (!dict->is_word_character(dict, text.characters[i], 0)) {
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    while (end < n && dict->is_word_character(dict, text.characters[end], 1)) ++end;
    // A last character that may not end a word (an apostrophe) goes back.
    while (end > i + 1 && !dict->is_word_character(dict, text.characters[end - 1], 2)) --end;
    word(text.offsets[i], text.offsets[end]);
    i = end;
  }
}

void Enchant_WordCharacters(benchmark::State& state) {
  EnchantDict* dict = TheProvider().dict;
  const Characters& text = BigText();
  std::size_t words = 0;
  for (auto _ : state) {
    words = 0;
    Cut(dict, text, [&](std::size_t, std::size_t) { ++words; });
  }
  state.counters["words"] = static_cast<double>(words);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.utf8.size()));
}
BENCHMARK(Enchant_WordCharacters)->Unit(benchmark::kMillisecond);

void Enchant_CutAndCheck(benchmark::State& state) {
  EnchantDict* dict = TheProvider().dict;
  const Characters& text = BigText();
  std::size_t misspelt = 0;
  for (auto _ : state) {
    misspelt = 0;
    Cut(dict, text, [&](std::size_t begin, std::size_t end) {
      misspelt += dict->check(dict, text.utf8.data() + begin, end - begin) == 1;
    });
  }
  state.counters["misspelt"] = static_cast<double>(misspelt);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.utf8.size()));
}
BENCHMARK(Enchant_CutAndCheck)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lexivane::bench

BENCHMARK_MAIN();
