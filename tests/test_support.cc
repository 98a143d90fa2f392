#include "tests/test_support.h"

#include <atomic>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <thread>

#include <unistd.h>

#include "platform/files.h"

namespace lexivane::testing {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
  static std::atomic<int> counter{0};
  const char* root = std::getenv("LEXIVANE_TEST_TMP");
  const fs::path base = root != nullptr ? fs::path(root) : fs::temp_directory_path();
  path_ = base / ("lexivane-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::u16string ScratchDir::File(std::string_view name) const {
  return lexivane::FromUtf8((path_ / name).string());
}

std::vector<std::uint8_t> TextLikeBytes(std::size_t size) {
  std::mt19937 random(7);
  std::vector<std::uint8_t> data(size);
  for (auto& byte : data) byte = static_cast<std::uint8_t>("the quick brown fox "[random() % 20]);
  return data;
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

fs::path SharedDir() {
  return LEXIVANE_SHARED_DIR;
}

std::vector<CorpusRow> ReadCorpus(std::string_view file_name) {
  std::ifstream in(SharedDir() / "bench" / "corpora" / file_name);
  std::vector<CorpusRow> rows;
  for (std::string line; std::getline(in, line);) {
    const auto tab = line.find('\t');
    if (tab == std::string::npos) continue;
    rows.push_back({line.substr(0, tab), line.substr(tab + 1)});
  }
  return rows;
}

std::string Utf8(std::u16string_view text) {
  return lexivane::ToUtf8(text);
}

void OnFreshThread(const std::function<void()>& body) {
  // An exception that left the thread would end the whole test binary; it fails the test instead.
  std::thread([&] {
    try {
      body();
    } catch (const std::exception& error) {
      ADD_FAILURE() << "exception on the test's thread: " << error.what();
    }
  }).join();
}

}  // namespace lexivane::testing
