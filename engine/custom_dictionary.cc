#include "engine/custom_dictionary.h"

#include "platform/files.h"
#include "platform/text.h"

namespace lexivane {

void CustomDictionary::Add(std::u16string_view word) {
  words_.emplace_back(word);
  lowered_.insert(platform::ToLower(word));
  entry_lengths_.insert(word.size());
}

bool CustomDictionary::Contains(std::u16string_view word) const {
  return !lowered_.empty() && lowered_.contains(platform::ToLower(word));
}

void CustomDictionary::Save(std::u16string_view path) const {
  std::string content;
  for (const std::u16string& word : words_) {
    content += platform::ToSingleByte(word);
    content += "\r\n";
  }
  platform::WriteFileBytes(path, content);
}

void CustomDictionary::Load(std::u16string_view path) {
  const std::vector<std::uint8_t> bytes = platform::ReadFileBytes(path);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());

  std::vector<std::u16string> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::size_t end = text.find('\r', begin);
    if (end == std::string_view::npos) end = text.size();
    if (end - begin >= 2)
      lines.push_back(platform::FromSingleByte(text.substr(begin, end - begin)));
    begin = end + 1;
    if (begin < text.size() && text[begin] == '\n') ++begin;
  }
  if (lines.empty()) return;

  words_ = std::move(lines);
  lowered_.clear();
  entry_lengths_.clear();
  for (const std::u16string& word : words_) {
    lowered_.insert(platform::ToLower(word));
    entry_lengths_.insert(word.size());
  }
}

}  // namespace lexivane
