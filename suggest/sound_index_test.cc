#include "suggest/sound_index.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/prepared_tables.h"
#include "engine/word_tables.h"
#include "lexivane/error.h"
#include "suggest/embedded_ranking_data.h"
#include "suggest/near_words.h"
#include "suggest/sound_key.h"

namespace lexivane {
namespace {

std::map<std::int32_t, int> NearWords(const SoundIndex& index, std::string_view key) {
  std::map<std::int32_t, int> found;
  bool past_equal_keys = false;
  index.ForEachWordNearSound(key, [&](std::int32_t word, int key_edits) {
    EXPECT_TRUE(found.emplace(word, key_edits).second) << "word " << word << " twice";
    if (key_edits == 1) past_equal_keys = true;
    EXPECT_FALSE(past_equal_keys && key_edits == 0) << "equal keys must come first";
  });
  return found;
}

// The index built from the main list in this process, beside the embedded one that the build
// made: the tests hold both to the plain answers.
const SoundIndex& BuiltIndex() {
  static const SoundIndex index(SharedMainTables());
  return index;
}

const struct {
  const char* name;
  const SoundIndex& (*index)();
} kIndexes[] = {{"embedded", SharedSoundIndex}, {"built", BuiltIndex}};

TEST(SoundIndexTest, EmbedsTheImageOfTheListAsBuiltNow) {
  const std::span<const std::uint8_t> embedded = EmbeddedSoundIndexImage();
  const std::vector<std::uint8_t> built = BuildSoundIndexImage(SharedMainTables());
  EXPECT_TRUE(std::equal(embedded.begin(), embedded.end(), built.begin(), built.end()));
  EXPECT_EQ(SharedSoundIndex().MemoryBytes(), built.size());
  EXPECT_LE(built.size(), 1536u * 1024u);
}

TEST(SoundIndexTest, StoresEveryWordsKey) {
  const PreparedTables& tables = SharedMainTables();
  for (const auto& [name, index] : kIndexes) {
    ASSERT_EQ(index().word_count(), tables.word_count()) << name;
    for (std::int32_t i = 0; i < tables.word_count(); ++i) {
      ASSERT_EQ(index().KeyOf(i),
                SoundKey(tables.Word(i)).substr(0, SoundIndex::kIndexedKeySymbols))
          << name << ' ' << tables.Word(i);
    }
    EXPECT_EQ(index().KeyOf(-1), "") << name;
    EXPECT_EQ(index().KeyOf(tables.word_count()), "") << name;
  }
}

// Every answer is held to a scan of the whole list with the plain edit test above: the keys
// short enough to be indexed in full, the empty key and a one-symbol key (which reach words
// of no letters and of one sound), keys that start with the vowel class, and keys that no word
// has.
TEST(SoundIndexTest, FindsExactlyTheWordsWithinOneKeyEdit) {
  const PreparedTables& tables = SharedMainTables();
  std::vector<std::string> keys;
  for (const char* word : {"fisiks", "nite", "reseeve", "thru", "nashun", "accomodate",
                           "seperately", "x", "", "eye", "zzzzyzzy", "rhythm", "bjq"}) {
    keys.push_back(SoundKey(std::string_view(word)));
  }
  keys.insert(keys.end(), {"0000", "Y", "XXXXXXXXXX", "AKMTT"});
  std::vector<std::string> word_keys;
  for (std::int32_t i = 0; i < tables.word_count(); ++i)
    word_keys.push_back(SoundKey(tables.Word(i)));
  for (const std::string& key : keys) {
    std::map<std::int32_t, int> expected;
    for (std::int32_t i = 0; i < tables.word_count(); ++i) {
      const std::string& word_key = word_keys[static_cast<std::size_t>(i)];
      if (word_key == key) {
        expected[i] = 0;
      } else if (WithinOneEdit<std::string_view>(word_key, key)) {  // NearWords.WithinOneEdit
        expected[i] = 1;
      }
    }
    for (const auto& [name, index] : kIndexes) {
      EXPECT_EQ(NearWords(index(), key), expected) << name << ", key " << key;
    }
  }
}

TEST(SoundIndexTest, ReachesTheMeantWordFromItsSound) {
  const PreparedTables& tables = SharedMainTables();
  const SoundIndex& index = SharedSoundIndex();
  const struct {
    const char *misspelt, *meant;
    int key_edits;
  } cases[] = {
      {"fisiks", "physics", 0}, {"nite", "knight", 0},         {"thru", "through", 0},
      {"enuf", "enough", 1},    {"sykology", "psychology", 1}, {"fonetik", "phonetic", 0},
  };
  for (const auto& c : cases) {
    const std::map<std::int32_t, int> found =
        NearWords(index, SoundKey(std::string_view(c.misspelt)));
    const auto meant = found.find(tables.Find(c.meant));
    ASSERT_NE(meant, found.end()) << c.misspelt;
    EXPECT_EQ(meant->second, c.key_edits) << c.misspelt;
  }
}

// Only the first symbols are indexed: a word whose key is longer still finds itself, however
// long the query, and odd keys find nothing rather than fail.
TEST(SoundIndexTest, TakesAnyKey) {
  const PreparedTables& tables = SharedMainTables();
  const SoundIndex& index = SharedSoundIndex();
  const std::int32_t long_word = tables.Find("electroencephalographs");
  const std::string long_key = SoundKey(tables.Word(long_word));
  ASSERT_GT(long_key.size(), SoundIndex::kIndexedKeySymbols);
  EXPECT_EQ(NearWords(index, long_key).at(long_word), 0);
  EXPECT_EQ(NearWords(index, long_key + std::string(50000, 'S')).at(long_word), 0);
  EXPECT_TRUE(NearWords(index, "fsks").empty());
  EXPECT_TRUE(NearWords(index, std::string("FS\0KS", 5)).empty());
}

// A query of one symbol more than are indexed reaches a word whose key fills them when a
// symbol before the last is deleted: the last one moves into the indexed ones.
TEST(SoundIndexTest, MovesTheSymbolPastTheIndexedOnesIn) {
  const PreparedTables& tables = SharedMainTables();
  std::int32_t word = 0;
  while (SoundKey(tables.Word(word)).size() != SoundIndex::kIndexedKeySymbols) ++word;
  const std::string key = SoundKey(tables.Word(word));
  for (const std::size_t at : {std::size_t{0}, std::size_t{5}, key.size() - 1}) {
    const std::string query = key.substr(0, at) + (key[at] == 'K' ? 'T' : 'K') + key.substr(at);
    EXPECT_EQ(NearWords(SharedSoundIndex(), query).at(word), 1) << query;
  }
}

// An index of no words finds nothing, read from its image as when built.
TEST(SoundIndexTest, IndexesAnEmptyList) {
  const PreparedTables none;
  const std::vector<std::uint8_t> image = BuildSoundIndexImage(none);
  for (const SoundIndex& index : {SoundIndex(none), SoundIndex(image)}) {
    EXPECT_EQ(index.word_count(), 0);
    EXPECT_EQ(index.KeyOf(0), "");
    EXPECT_TRUE(NearWords(index, "").empty());
    EXPECT_TRUE(NearWords(index, "FSKS").empty());
  }
}

// Each damage a reader must refuse before a lookup trusts the image: the header, the size, the
// alignment, and an index that would lead outside an array.
TEST(SoundIndexTest, RefusesAMalformedImage) {
  const std::vector<std::uint8_t> good = BuildSoundIndexImage(SharedMainTables());
  SoundIndexHeader header;
  std::memcpy(&header, good.data(), sizeof header);
  const std::size_t keys = sizeof header;
  const std::size_t group_start = keys + 8 * std::size_t{header.key_count};
  const std::size_t words = group_start + 4 * (std::size_t{header.key_count} + 1);
  const std::size_t group_of_word = words + 4 * std::size_t{header.word_count};
  const std::size_t directory = group_of_word + 4 * std::size_t{header.word_count};
  const auto set = [](std::size_t at, std::int32_t value) {
    return [at, value](std::vector<std::uint8_t>& image) {
      std::memcpy(image.data() + at, &value, sizeof value);
    };
  };
  const struct {
    const char* damage;
    std::function<void(std::vector<std::uint8_t>&)> apply;
  } cases[] = {
      {"truncated header", [](auto& image) { image.resize(sizeof(SoundIndexHeader) - 1); }},
      {"one byte short", [](auto& image) { image.pop_back(); }},
      {"one byte more", [](auto& image) { image.push_back(0); }},
      {"magic", [](auto& image) { image[7] = '1'; }},
      {"key length", set(offsetof(SoundIndexHeader, indexed_key_symbols), 13)},
      {"key count", set(offsetof(SoundIndexHeader, key_count), header.key_count - 1)},
      {"reserved", set(offsetof(SoundIndexHeader, reserved), 1)},
      {"first group start", set(group_start, 1)},
      {"group start backwards", set(group_start + 4 * 100, 0)},
      {"last group start", set(words - 4, header.word_count + 1)},
      {"word past the list", set(words + 4 * 7, header.word_count)},
      {"negative word", set(words, -1)},
      {"group past the keys", set(group_of_word + 4 * 9, header.key_count)},
      {"directory backwards", set(directory + 4 * 300, 0)},
      {"directory past the keys", set(directory + 4 * 5832, header.key_count + 1)},
      {"negative directory", set(directory, -1)},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> image = good;
    c.apply(image);
    try {
      SoundIndex index(image);
      ADD_FAILURE() << c.damage << ": read";
    } catch (const Error& error) {
      EXPECT_EQ(error.number(), kErrorCorruptWordTables) << c.damage;
    }
  }
  // The same bytes one int32 off the 8-byte alignment the keys need.
  std::vector<std::uint64_t> storage(good.size() / 8 + 1);
  auto* const shifted = reinterpret_cast<std::uint8_t*>(storage.data()) + 4;
  std::memcpy(shifted, good.data(), good.size());
  EXPECT_THROW(SoundIndex(std::span(shifted, good.size())), Error);
}

TEST(SoundIndexTest, IsReadOnceForAllThreads) {
  std::vector<const SoundIndex*> seen(4);
  std::vector<std::thread> threads;
  for (auto& address : seen) threads.emplace_back([&address] { address = &SharedSoundIndex(); });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(std::set<const SoundIndex*>(seen.begin(), seen.end()).size(), 1u);
}

}  // namespace
}  // namespace lexivane
