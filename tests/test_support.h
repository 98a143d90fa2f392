// Helpers shared by the unit tests: scratch directories, the repository's data files and
// readable UTF-16 in failure messages.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "lexivane/error.h"

namespace lexivane::testing {

// A fresh directory for one test, removed with everything in it when the object dies.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::u16string File(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

// `size` bytes of text-like data: compressible, but not trivially; the same on every call.
std::vector<std::uint8_t> TextLikeBytes(std::size_t size);

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);

std::filesystem::path SharedDir();  // the shared benchmark data beside the repository

// Rows of a misspelling corpus: misspelling TAB correct word.
struct CorpusRow {
  std::string misspelling;
  std::string correct;
};
std::vector<CorpusRow> ReadCorpus(std::string_view file_name);

std::string Utf8(std::u16string_view text);

// The optimal string alignment distance of two words (a unit inserted, deleted or replaced, or
// two adjacent ones swapped, each one edit), the whole table written the plain way: the
// reference for the searches that bound it or walk it in pieces.
template <typename Text>
int PlainEdits(Text a, Text b) {
  std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = static_cast<int>(i);
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      d[i][j] = std::min(
          {d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

// The lexivane::Error that `action` throws; fails the test when it throws none.
template <typename Action>
Error ErrorFrom(Action action) {
  try {
    action();
  } catch (const Error& error) {
    return error;
  }
  ADD_FAILURE() << "no lexivane::Error thrown";
  return Error(0, "");
}

// Runs `body` on a new thread and waits for it. The engine's dictionaries belong to the thread,
// so a test that adds custom words runs them where no other test will see them.
void OnFreshThread(const std::function<void()>& body);

}  // namespace lexivane::testing
