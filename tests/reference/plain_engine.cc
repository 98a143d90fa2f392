#include "tests/reference/plain_engine.h"

#include <utility>

#include "engine/soundex.h"
#include "engine/word_check.h"
#include "platform/text.h"
#include "suggest/similarity.h"

namespace lexivane::reference {

namespace {

std::int32_t Slot(const std::u16string& word) {
  const std::string bytes = platform::ToSingleByte(word.substr(0, 2));
  return static_cast<unsigned char>(bytes[0]) + 256 * static_cast<unsigned char>(bytes[1]);
}

std::u16string KeyOf(const std::u16string& word) {
  const std::string key = Soundex(platform::ToSingleByte(word));
  return std::u16string(key.begin(), key.end());
}

// CandidateScore compares keys in their packed form; packing is one-to-one, so comparing packed
// keys is comparing the strings.
PackedKey Pack(const std::u16string& key) {
  if (key.empty()) return 0;
  return static_cast<PackedKey>((key[0] - u'A' + 1) << 9 | (key[1] - u'0') << 6 |
                                (key[2] - u'0') << 3 | (key[3] - u'0'));
}

}  // namespace

PlainEngine::PlainEngine(std::size_t capacity) : tables{} {
  tables.Words.assign(capacity, u"");
  tables.Keys.assign(capacity, u"");
}

void PlainEngine::LoadDictionary(std::span<const std::uint8_t> list) {
  const std::u16string text = platform::FromSingleByte(
      std::string_view(reinterpret_cast<const char*>(list.data()), list.size()));
  std::vector<std::u16string> pieces;
  std::size_t begin = 0;
  for (std::size_t crlf; (crlf = text.find(u"\r\n", begin)) != std::u16string::npos;
       begin = crlf + 2) {
    pieces.push_back(text.substr(begin, crlf - begin));
  }
  pieces.push_back(text.substr(begin));

  std::int32_t n = 0;
  std::int32_t p = 0;
  for (const std::u16string& piece : pieces) {
    const std::u16string w = platform::ToLower(piece);
    if (w.size() < 2) continue;
    tables.Words.at(n) = w;
    tables.Keys.at(n) = KeyOf(w);
    const std::int32_t k = Slot(w);
    if (k != p) {
      tables.StartIdx[k] = n;
      tables.EndIdx[p] = n - 1;
    }
    p = k;
    ++n;
  }
  tables.EndIdx[p] = n - 1;
}

bool PlainEngine::LookUpMain(const std::u16string& word) const {
  const std::int32_t k = Slot(word);
  for (std::int32_t i = tables.StartIdx[k]; i <= tables.EndIdx[k]; ++i) {
    if (tables.Words[i] == word) return true;
  }
  return false;
}

bool PlainEngine::IsInCustom(const std::u16string& word) const {
  const std::u16string w = platform::ToLower(word);
  for (const std::u16string& entry : CustomWords) {
    if (platform::ToLower(entry) == w) return true;
  }
  return false;
}

bool PlainEngine::CheckWord(const std::u16string& word, bool check_custom) const {
  const std::u16string w = platform::ToLower(word);
  if (w.size() < 2 || platform::IsNumeric(w)) return true;
  if (LookUpMain(w)) return true;
  const std::u16string c = CleanWord(w);
  if (c != w) {
    if (c.size() < 2 || platform::IsNumeric(c)) return true;
    if (LookUpMain(c)) return true;
  }
  return check_custom && IsInCustom(w);
}

std::int32_t PlainEngine::GetSuggestions(const std::u16string& word,
                                         std::vector<std::u16string>& out,
                                         bool check_custom) const {
  const float t = SimilarityThreshold;
  const std::u16string s = CleanWord(platform::ToLower(word));
  if (s.size() < 2 || platform::IsNumeric(s)) return 0;
  const unsigned char c1 = platform::ToSingleByte(s)[0];

  std::vector<std::u16string> results;
  std::vector<float> scores;
  for (std::size_t i = 2; i + 2 <= s.size(); ++i) {
    const std::u16string left = s.substr(0, i);
    const std::u16string right = s.substr(i);
    const bool left_known = CheckWord(left, check_custom);
    const bool right_known = CheckWord(right, true);
    if (left_known && right_known) {
      results.push_back(left + u" " + right);
      scores.push_back(t);
    }
  }

  const std::u16string key = KeyOf(s);
  const std::int32_t first = tables.StartIdx[c1 + 256 * 97];
  const std::int32_t last = tables.EndIdx[(c1 + 1) + 256 * 97];
  const std::string input = platform::ToSingleByte(s);
  for (std::int32_t k = first; k <= last; ++k) {
    const double score = CandidateScore(platform::ToSingleByte(tables.Words[k]),
                                        Pack(tables.Keys[k]), input, Pack(key), t);
    if (score >= t) {
      results.push_back(tables.Words[k]);
      scores.push_back(static_cast<float>(score));
    }
  }

  for (std::size_t i = 0; i < results.size(); ++i) {
    for (std::size_t j = i + 1; j < results.size(); ++j) {
      if (scores[i] < scores[j]) {
        std::swap(results[i], results[j]);
        std::swap(scores[i], scores[j]);
      }
    }
  }
  const auto n = static_cast<std::int32_t>(results.size());
  if (check_custom) {
    for (const std::u16string& entry : CustomWords) {
      if (SimilarityRatio(entry, s) > 0.8) results.push_back(entry);
    }
  }
  out = std::move(results);
  return n;
}

}  // namespace lexivane::reference
