// Helpers shared by the unit tests: scratch directories, the repository's data files and
// readable UTF-16 in failure messages.
#pragma once

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
