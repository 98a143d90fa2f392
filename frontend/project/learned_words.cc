#include "frontend/project/learned_words.h"

#include <algorithm>
#include <array>

#include "support/ascii.h"

namespace lexivane::frontend {

void NamesOfWord::Add(std::size_t name) {
  if (size_ < names_.size() && std::find(begin(), end(), name) == end()) names_[size_++] = name;
}

void FileWords::Report(const Document&, const Finding& finding) {
  FoundWord& found = words_[LearnedForm(finding.word)];
  if (!finding.in_identifier || finding.offset == Finding::kNoOffset ||
      finding.offset + finding.length > text_.size()) {
    ++found.in_prose;
    return;
  }
  const auto in_name = [](char16_t c) { return c == u'_' || support::IsAsciiAlnum(c); };
  std::size_t begin = finding.offset;
  std::size_t end = finding.offset + finding.length;
  while (begin > 0 && in_name(text_[begin - 1])) --begin;
  while (end < text_.size() && in_name(text_[end])) ++end;
  found.names.Add(std::hash<std::u16string_view>{}(text_.substr(begin, end - begin)));
}

void MarkNamesOfCode(std::u16string_view text, FileWords::Words& words) {
  // Most parts of a file are no word of its findings: told apart by their first letter and
  // length before they are looked up.
  constexpr std::size_t kLongest = 63;
  std::array<std::uint64_t, 26> lengths_by_first{};  // bit n: a word of n letters
  for (const auto& [word, found] : words) {
    // Words found in identifiers alone are judged by their names (WordTally::NameCandidates).
    if (found.in_prose == 0 || word.size() > kLongest || !support::IsAsciiLower(word[0])) {
      continue;
    }
    lengths_by_first[static_cast<std::size_t>(word[0] - 'a')] |= std::uint64_t{1} << word.size();
  }
  if (std::all_of(lengths_by_first.begin(), lengths_by_first.end(),
                  [](std::uint64_t lengths) { return lengths == 0; })) {
    return;
  }
  std::unordered_map<std::string, std::uint32_t> places;
  std::string part;
  const auto count = [&](const char16_t* begin, const char16_t* end) {
    const auto length = static_cast<std::size_t>(end - begin);
    const std::uint64_t lengths =
        lengths_by_first[static_cast<std::size_t>(support::AsciiLower(*begin) - u'a')];
    if (length > kLongest || (lengths >> length & 1) == 0) return;
    part.resize(length);
    std::transform(begin, end, part.begin(),
                   [](char16_t c) { return static_cast<char>(support::AsciiLower(c)); });
    if (const auto found = words.find(part); found != words.end() && found->second.in_prose > 0) {
      ++places[part];
    }
  };
  // Each unit's class, looked up once: the scan runs over every unit of every file of code.
  enum : unsigned char { kOther, kSmall, kCapital };
  static constexpr auto kClasses = [] {
    std::array<unsigned char, 128> classes{};
    for (char c = 'a'; c <= 'z'; ++c) classes[static_cast<unsigned char>(c)] = kSmall;
    for (char c = 'A'; c <= 'Z'; ++c) classes[static_cast<unsigned char>(c)] = kCapital;
    return classes;
  }();
  const auto class_of = [](char16_t c) -> unsigned char {
    return c < 0x80 ? kClasses[c] : static_cast<unsigned char>(kOther);
  };
  const char16_t* at = text.data();
  const char16_t* const end = at + text.size();
  while (at < end) {
    while (at < end && class_of(*at) == kOther) ++at;
    if (at == end) break;
    const char16_t* start = at++;
    for (unsigned char before = class_of(*start); at < end; ++at) {
      const unsigned char now = class_of(*at);
      if (now == kOther) break;
      // A capital after a small letter starts a part of its own (`zallocFunc`).
      if (now == kCapital && before == kSmall) {
        count(start, at);
        start = at;
      }
      before = now;
    }
    count(start, at);
  }
  for (const auto& [word, n] : places) {
    FoundWord& found = words[word];
    found.in_code = found.in_code || n > found.in_prose;
  }
}

void WordTally::Add(const FileWords::Words& file_words) {
  for (const auto& [word, found] : file_words) {
    Count& count = counts_[word];
    count.files += found.in_prose > 0 || found.in_code ? 1 : 0;
    count.in_code = count.in_code || found.in_code;
    for (const std::size_t name : found.names) count.names.Add(name);
  }
}

std::vector<std::string> WordTally::Candidates() const {
  std::vector<std::string> candidates;
  for (const auto& [word, count] : counts_) {
    if (count.in_code || count.files >= kRecurringFiles) candidates.push_back(word);
  }
  std::sort(candidates.begin(), candidates.end());
  return candidates;
}

std::vector<std::string> WordTally::NameCandidates() const {
  std::vector<std::string> candidates;
  for (const auto& [word, count] : counts_) {
    if (count.names.size() >= kRecurringNames) candidates.push_back(word);
  }
  std::sort(candidates.begin(), candidates.end());
  return candidates;
}

}  // namespace lexivane::frontend
