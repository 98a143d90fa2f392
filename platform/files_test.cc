#include "platform/files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "lexivane/error.h"
#include "platform/module.h"
#include "tests/test_support.h"

namespace lexivane::platform {
namespace {

namespace fs = std::filesystem;
using ::testing::AllOf;
using ::testing::HasSubstr;
using lexivane::testing::ErrorFrom;

// A fresh directory per test, under LEXIVANE_TEST_TMP when the test runner names one.
class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* base = std::getenv("LEXIVANE_TEST_TMP");
    const fs::path parent =
        base != nullptr && *base != '\0' ? fs::path(base) : fs::temp_directory_path();
    fs::create_directories(parent);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = parent /
           (std::string("lexivane-") + info->name() + "-" + std::to_string(std::random_device()()));
    fs::remove_all(dir_);
    fs::create_directory(dir_);
  }

  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::u16string PathOf(const std::u16string& name) const {
    return FromUtf8(dir_.string()) + u"/" + name;
  }


  fs::path dir_;
};

std::string Quoted(std::u16string_view path) {
  std::string quoted = "'";
  quoted += ToUtf8(path);
  quoted += '\'';
  return quoted;
}

std::string Bytes(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST_F(FilesTest, RoundTripsEveryByteValue) {
  std::string all;
  for (int round = 0; round < 2; ++round) {
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  }
  const std::u16string path = PathOf(u"bytes.bin");
  WriteFileBytes(path, all);
  EXPECT_EQ(Bytes(ReadFileBytes(path)), all);
  EXPECT_EQ(fs::file_size(dir_ / "bytes.bin"), all.size());
}

TEST_F(FilesTest, WriteCreatesTruncatesAndWritesEmptyFiles) {
  const std::u16string path = PathOf(u"custom.dic");
  WriteFileBytes(path, "a much longer first content\r\n");
  WriteFileBytes(path, "short\r\n");
  EXPECT_EQ(Bytes(ReadFileBytes(path)), "short\r\n");

  WriteFileBytes(path, "");
  EXPECT_TRUE(fs::exists(dir_ / "custom.dic"));
  EXPECT_TRUE(ReadFileBytes(path).empty());
}

TEST_F(FilesTest, HandlesAMillionLines) {
  std::string content;
  content.reserve(12'000'000);
  for (int i = 0; i < 1'000'000; ++i) content += "word" + std::to_string(i) + "\r\n";
  const std::u16string path = PathOf(u"large.dic");
  WriteFileBytes(path, content);
  EXPECT_TRUE(Bytes(ReadFileBytes(path)) == content);
}

TEST_F(FilesTest, PathsAreUnicode) {
  const std::u16string name = u"café-\U00010400.dic";
  WriteFileBytes(PathOf(name), "x");
  EXPECT_TRUE(fs::exists(dir_ / fs::u8path(ToUtf8(name))));
  EXPECT_EQ(Bytes(ReadFileBytes(PathOf(name))), "x");
}

TEST_F(FilesTest, ReadingAMissingFileNamesPathAndOperation) {
  const std::u16string path = PathOf(u"missing.dic");
  const Error error = ErrorFrom([&] { ReadFileBytes(path); });
  EXPECT_EQ(error.number(), ENOENT);
  EXPECT_THAT(error.what(),
              AllOf(HasSubstr(Quoted(path)), HasSubstr("reading"), HasSubstr("No such file")));
}

TEST_F(FilesTest, WritingIntoAMissingDirectoryFails) {
  const std::u16string path = PathOf(u"no-such-dir/custom.dic");
  const Error error = ErrorFrom([&] { WriteFileBytes(path, "word\r\n"); });
  EXPECT_EQ(error.number(), ENOENT);
  EXPECT_THAT(error.what(), AllOf(HasSubstr(Quoted(path)), HasSubstr("writing")));
}

TEST_F(FilesTest, DirectoriesAreRefusedBothWays) {
  const std::u16string path = FromUtf8(dir_.string());
  EXPECT_EQ(ErrorFrom([&] { ReadFileBytes(path); }).number(), EISDIR);
  EXPECT_EQ(ErrorFrom([&] { WriteFileBytes(path, "x"); }).number(), EISDIR);
}

TEST_F(FilesTest, AnEmbeddedNulIsRefusedRatherThanCut) {
  // Cut at the NUL, this path would name the existing file "real".
  WriteFileBytes(PathOf(u"real"), "keep");
  const std::u16string path = PathOf(std::u16string(u"real\0.dic", 9));
  const Error error = ErrorFrom([&] { ReadFileBytes(path); });
  EXPECT_EQ(error.number(), EINVAL);
  EXPECT_THAT(error.what(), HasSubstr("real\\0.dic'"));
  EXPECT_EQ(ErrorFrom([&] { WriteFileBytes(path, "lost"); }).number(), EINVAL);
  DeleteFileQuietly(path);
  EXPECT_EQ(Bytes(ReadFileBytes(PathOf(u"real"))), "keep");
}

#ifndef _WIN32
TEST_F(FilesTest, AFullDiskIsReported) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  const Error error = ErrorFrom([] { WriteFileBytes(u"/dev/full", "word\r\n"); });
  EXPECT_EQ(error.number(), ENOSPC);
  EXPECT_THAT(error.what(), AllOf(HasSubstr("'/dev/full'"), HasSubstr("write")));
}

TEST_F(FilesTest, AFifoIsRefusedWithoutWaitingForAWriter) {
  const fs::path fifo = dir_ / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(ErrorFrom([&] { ReadFileBytes(FromUtf8(fifo.string())); }).number(), EINVAL);
}

TEST_F(FilesTest, AReadOnlyFileCannotBeWritten) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
  const std::u16string path = PathOf(u"locked.dic");
  WriteFileBytes(path, "old");
  fs::permissions(dir_ / "locked.dic", fs::perms::owner_read);
  EXPECT_EQ(ErrorFrom([&] { WriteFileBytes(path, "new"); }).number(), EACCES);
  EXPECT_EQ(Bytes(ReadFileBytes(path)), "old");
}
#endif

TEST_F(FilesTest, DeleteRemovesAFileAndIgnoresFailures) {
  const std::u16string path = PathOf(u"gone.dic");
  WriteFileBytes(path, "x");
  DeleteFileQuietly(path);
  EXPECT_FALSE(fs::exists(dir_ / "gone.dic"));
  DeleteFileQuietly(path);
  DeleteFileQuietly(PathOf(u"no-such-dir/x"));
  DeleteFileQuietly(u"");
}

TEST(ComponentDirectoryTest, IsTheAbsoluteDirectoryOfTheComponentFile) {
  const std::u16string directory = ComponentDirectory();
  ASSERT_FALSE(directory.empty());
  EXPECT_NE(directory.back(), PathSeparator());
  const fs::path path = fs::u8path(ToUtf8(directory));
  EXPECT_TRUE(path.is_absolute()) << path;
  EXPECT_TRUE(fs::is_directory(path)) << path;
#ifdef __linux__
  // The tests link the component into their own program.
  EXPECT_TRUE(fs::equivalent(path, fs::read_symlink("/proc/self/exe").parent_path())) << path;
#endif
}

}  // namespace
}  // namespace lexivane::platform
