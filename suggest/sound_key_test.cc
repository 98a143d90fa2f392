#include "suggest/sound_key.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace lexivane {
namespace {

// Spellings a writer might give for one word, with the word itself first: each must share its
// key with the word.
TEST(SoundKeyTest, SpellingsThatSoundAlikeShareAKey) {
  const struct {
    const char* word;
    std::vector<const char*> same_sound;
  } cases[] = {
      {"physics", {"fisiks", "phisics", "fysics", "physiks"}},
      {"knight", {"nite", "night", "knite"}},
      {"receive", {"reseeve", "recieve", "receve", "reseave"}},
      {"colour", {"color", "culler", "coller"}},
      {"through", {"thru", "throo", "threw"}},
      {"wrong", {"rong", "rawng"}},
      {"gnome", {"nome"}},
      {"psychic", {"sychic", "psychick"}},
      {"nation", {"nashun", "nashon"}},
      {"special", {"speshal", "speshul"}},
      {"mission", {"mishon", "misshun"}},
      {"edge", {"ej", "eje"}},
      {"judge", {"juj", "juje"}},
      {"eight", {"ate", "ait"}},
      {"science", {"sience", "sciense"}},
      {"accept", {"acksept", "akcept", "axept"}},
      {"account", {"acount", "akount", "accownt"}},
      {"school", {"skool", "skul", "scool"}},
      {"watch", {"woch", "wach"}},
      {"sign", {"sine", "syn"}},
      {"designer", {"desiner", "dezyner"}},
      {"lamb", {"lam", "lamm"}},
      {"xylophone", {"zylofone", "sylophone"}},
      {"what", {"wot", "wat"}},
      {"ghost", {"gost", "gohst"}},
      {"yes", {"yess", "yez"}},
      {"café", {"cafe", "kaffay"}},
      {"quick", {"quik", "kuik", "cuick"}},
      {"equipment", {"eqipment", "ekipment"}},
      {"unique", {"uneek", "unik"}},
  };
  for (const auto& c : cases) {
    for (const char* other : c.same_sound) {
      EXPECT_EQ(SoundKey(std::string_view(other)), SoundKey(std::string_view(c.word)))
          << c.word << " / " << other;
    }
  }
}

TEST(SoundKeyTest, SoundsThatDifferKeepTheirKeysApart) {
  const struct {
    const char *a, *b;
  } cases[] = {
      {"thin", "tin"},    {"ship", "sip"},        {"chip", "kip"},     {"gem", "gum"},
      {"cent", "kent"},   {"sign", "signal"},     {"though", "tough"}, {"cat", "bat"},
      {"night", "light"}, {"physics", "physic"},  {"school", "schwa"}, {"accept", "except"},
      {"where", "here"},  {"fishing", "fission"}, {"hymn", "him"},     {"quick", "wick"},
  };
  for (const auto& c : cases) {
    EXPECT_NE(SoundKey(std::string_view(c.a)), SoundKey(std::string_view(c.b)))
        << c.a << " / " << c.b;
  }
}

// Only letters count: é is e in either form, capitals read as small letters, and everything
// else is dropped, so a word of none has the empty key.
TEST(SoundKeyTest, ReadsLettersOnly) {
  const struct {
    std::string word;
    std::u16string word16;
    std::string key;
  } cases[] = {
      {"think", u"think", "0NK"},
      {"church", u"CHURCH", "XRX"},
      {"ox", u"Ox", "AKS"},
      {"o'clock", u"o'clock", "AKLK"},
      {"well-being", u"well-being", "WLBNK"},
      {"caf\xE9", u"caf\u00E9", "KF"},
      {"CAF\xC9", u"CAF\u00C9", "KF"},
      {"\xE9t\xE9", u"\u00E9t\u00E9", "AT"},
      {"a", u"a", "A"},
      {"", u"", ""},
      {"12-'", u"12-'", ""},
      {"www", u"\u4E00w\u00FFw", ""},
      {std::string(40000, 'b'), std::u16string(40000, u'b'), "B"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SoundKey(std::string_view(c.word)), c.key) << c.word;
    EXPECT_EQ(SoundKey(std::u16string_view(c.word16)), c.key) << c.word;
  }
}

}  // namespace
}  // namespace lexivane
