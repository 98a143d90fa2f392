#include "suggest/sound_index.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/prepared_tables.h"
#include "engine/word_tables.h"
#include "suggest/sound_key.h"

namespace lexivane {
namespace {

// Insert, delete, replace or swap two adjacent symbols, written the plain way.
bool WithinOneEdit(std::string_view a, std::string_view b) {
  if (a.size() < b.size()) std::swap(a, b);
  if (a.size() - b.size() > 1) return false;
  std::size_t head = 0;
  while (head < b.size() && a[head] == b[head]) ++head;
  if (a.size() > b.size()) return a.substr(head + 1) == b.substr(head);
  if (head == a.size() || a.substr(head + 1) == b.substr(head + 1)) return true;
  return head + 1 < a.size() && a[head] == b[head + 1] && a[head + 1] == b[head] &&
         a.substr(head + 2) == b.substr(head + 2);
}

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

TEST(SoundIndexTest, StoresEveryWordsKey) {
  const PreparedTables& tables = SharedMainTables();
  const SoundIndex& index = SharedSoundIndex();
  ASSERT_EQ(index.word_count(), tables.word_count());
  for (std::int32_t i = 0; i < tables.word_count(); ++i) {
    ASSERT_EQ(index.KeyOf(i), SoundKey(tables.Word(i)).substr(0, SoundIndex::kIndexedKeySymbols))
        << tables.Word(i);
  }
  EXPECT_EQ(index.KeyOf(-1), "");
  EXPECT_EQ(index.KeyOf(tables.word_count()), "");
  EXPECT_LE(index.MemoryBytes(), 1536u * 1024u);
}

// Every answer is held to a scan of the whole list with the plain edit test above: the keys
// short enough to be indexed in full, the empty key and a one-symbol key (which reach words
// of no letters and of one sound), keys that start with the vowel class, and keys that no word
// has.
TEST(SoundIndexTest, FindsExactlyTheWordsWithinOneKeyEdit) {
  const PreparedTables& tables = SharedMainTables();
  const SoundIndex& index = SharedSoundIndex();
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
      } else if (WithinOneEdit(word_key, key)) {
        expected[i] = 1;
      }
    }
    EXPECT_EQ(NearWords(index, key), expected) << "key " << key;
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

TEST(SoundIndexTest, IsBuiltOnceForAllThreads) {
  std::vector<const SoundIndex*> seen(4);
  std::vector<std::thread> threads;
  for (auto& address : seen) threads.emplace_back([&address] { address = &SharedSoundIndex(); });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(std::set<const SoundIndex*>(seen.begin(), seen.end()).size(), 1u);
}

}  // namespace
}  // namespace lexivane
