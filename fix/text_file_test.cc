// The file side of `lexivane fix`: what is refused, what is kept byte for byte, and that a
// write never replaces what it must not.
#include "fix/text_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "frontend/io/command_error.h"
#include "tests/test_support.h"

namespace lexivane::frontend::fix {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

std::string Content(const fs::path& path) {
  const std::vector<std::uint8_t> bytes = ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

TEST(TextFile, FirstInvalidUtf8ByteIsTheStartOfTheBrokenSequence) {
  const struct {
    std::string_view bytes;
    std::optional<std::size_t> bad;
  } cases[] = {
      {"plain ASCII\r\n", std::nullopt},
      {"\xEF\xBB\xBF\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xF4\x8F\xBF\xBF",
       std::nullopt},
      {"ab\x80", 2},             // a lone continuation byte
      {"ab\xC0\xAF", 2},         // overlong
      {"a\xE0\x9F\xBF", 1},      // overlong three-byte form
      {"a\xED\xA0\x80", 1},      // a surrogate
      {"a\xF4\x90\x80\x80", 1},  // above U+10FFFF
      {"abc\xEF\xBF", 3},        // cut short at the end
      {"\xEF\xBF"
       "A",
       0},                         // cut short by an ASCII byte
      {"ok \xF5\x80\x80\x80", 3},  // a byte that never starts a character
      {"\xE2\x82\xAC\xFF", 3},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FirstInvalidUtf8Byte(c.bytes), c.bad) << c.bytes;
  }
}

TEST(TextFile, WhatIsReadIsWrittenBackByteForByte) {
  ScratchDir dir;
  for (const std::string_view bytes : {std::string_view("\xEF\xBB\xBFTeh\r\nend\r\n"),
                                       std::string_view("a\rb\nc\r\n\n"), std::string_view("")}) {
    const fs::path path = dir.path() / "text.txt";
    WriteBytes(path, bytes);
    const TextFile file = ReadTextFile(path.string());
    EXPECT_EQ(file.byte_order_mark, bytes.starts_with("\xEF\xBB\xBF"));
    EXPECT_EQ(file.text.find(u'\uFEFF'), std::u16string::npos);
    EXPECT_EQ(EncodeLike(file, file.text), bytes);
    EXPECT_FALSE(ChangedOnDisk(file));
  }
}

TEST(TextFile, RefusesWhatItCannotCorrect) {
  ScratchDir dir;
  WriteBytes(dir.path() / "latin1.txt", "caf\xE9 ok");
  const struct {
    fs::path path;
    std::string message;
  } cases[] = {
      {dir.path() / "latin1.txt", "not UTF-8: byte 3 (0xE9)"},
      {dir.path() / "missing.txt", "No such file or directory"},
      {dir.path(), "Is a directory"},
      {"/dev/null", "not a regular file"},
  };
  for (const auto& c : cases) {
    try {
      ReadTextFile(c.path.string());
      ADD_FAILURE() << c.path << " was read";
    } catch (const CommandError& error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    }
  }
}

// Same size, same modification time, other bytes: still a change.
TEST(TextFile, ChangedOnDiskSeesEveryChange) {
  ScratchDir dir;
  const fs::path path = dir.path() / "text.txt";
  WriteBytes(path, "one two");
  const TextFile file = ReadTextFile(path.string());
  const auto time = fs::last_write_time(path);
  WriteBytes(path, "one too");
  fs::last_write_time(path, time);
  EXPECT_TRUE(ChangedOnDisk(file));
  WriteBytes(path, "one two");
  fs::last_write_time(path, time + std::chrono::seconds(1));
  EXPECT_TRUE(ChangedOnDisk(file));
  fs::remove(path);
  EXPECT_TRUE(ChangedOnDisk(file));
}

TEST(TextFile, ReplaceKeepsThePermissionsAndALinkStaysALink) {
  ScratchDir dir;
  const fs::path target = dir.path() / "target.txt";
  const fs::path link = dir.path() / "link.txt";
  WriteBytes(target, "old");
  ::chmod(target.c_str(), 0640);
  fs::create_symlink(target, link);
  const TextFile file = ReadTextFile(link.string());
  ReplaceFile(file.path, "new", file.mode, file.name);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Content(target), "new");
  struct stat info;
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2)
      << "a temporary file was left behind";
}

TEST(TextFile, WriteBesideNeverReplacesAFile) {
  ScratchDir dir;
  const std::string path = (dir.path() / "text.txt").string();
  WriteBytes(path, "original");
  WriteBytes(path + ".fixed", "an older correction");
  const TextFile file = ReadTextFile(path);
  EXPECT_EQ(WriteBeside(file, ".fixed", "first"), path + ".fixed.1");
  EXPECT_EQ(WriteBeside(file, ".fixed", "second"), path + ".fixed.2");
  EXPECT_EQ(Content(path + ".fixed"), "an older correction");
  EXPECT_EQ(Content(path + ".fixed.2"), "second");
  EXPECT_EQ(Content(path), "original");
}

TEST(TextFile, PlanWriteRefusesWhatTheWriteWouldFailAt) {
  ScratchDir dir;
  const std::string path = (dir.path() / "text.txt").string();
  WriteBytes(path, "Teh");
  const TextFile single = ReadTextFile(path);
  EXPECT_EQ(PlanWrite(single, ""), WriteMethod::kReplace);
  fs::create_hard_link(path, path + ".link");
  const TextFile linked = ReadTextFile(path);
  EXPECT_EQ(PlanWrite(linked, path + ".bak"), WriteMethod::kInPlace);
  fs::create_directory(path + ".bak");
  const struct {
    const TextFile& file;
    std::string backup, message;
  } cases[] = {
      {linked, "", "not changed: it has other names (hard links), so it can only be written in"},
      {single, path + ".bak", "not changed: its backup " + path + ".bak is a folder"},
      {single, (dir.path() / "gone" / "text.txt.bak").string(), "cannot write the folder of"},
  };
  for (const auto& c : cases) {
    try {
      PlanWrite(c.file, c.backup);
      ADD_FAILURE() << c.message;
    } catch (const CommandError& error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    }
  }
}

// Written in place or replaced, the file stays what it was apart from its text: its other names
// and its permission bits, and (where the process may give them) its owner and group, which its
// backup gets too.
TEST(TextFile, WriteBackKeepsWhatTheFileIs) {
  ScratchDir dir;
  const std::string path = (dir.path() / "text.txt").string();
  WriteBytes(path, "Teh");
  ::chmod(path.c_str(), 0640);
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
  }
  fs::create_hard_link(path, path + ".link");
  struct stat before, after, backup;
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  for (const std::string_view text : {"The", "Thee"}) {
    const TextFile file = ReadTextFile(path);
    WriteBack(file, PlanWrite(file, path + ".bak"), path + ".bak", text);
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    ASSERT_EQ(::stat((path + ".bak").c_str(), &backup), 0);
    EXPECT_EQ(Content(path), text);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(backup.st_uid, before.st_uid);
    EXPECT_EQ(Content(path + ".bak"), text == "The" ? "Teh" : "The");
    if (text == "The") {  // in place: the other name holds the text too
      EXPECT_EQ(after.st_ino, before.st_ino);
      EXPECT_EQ(Content(path + ".link"), "The");
      fs::remove(path + ".link");
    }
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2)
      << "a temporary file was left behind";
}

// A write that fails keeps the corrected text beside the file where it can, and leaves no
// temporary file, also when the corrected text itself cannot be written (here: larger than the
// process may write).
TEST(TextFile, AFailedWriteKeepsTheCorrectedTextAndNoTemporaryFile) {
  ScratchDir dir;
  const std::string path = (dir.path() / "text.txt").string();
  WriteBytes(path, "Teh");
  const TextFile file = ReadTextFile(path);
  const std::string gone = (dir.path() / "gone" / "text.txt.bak").string();
  const struct {
    WriteMethod method;
    std::string bytes, message;
  } cases[] = {
      {WriteMethod::kReplace, "The",
       "was not changed; the corrected text is in " + path + ".fixed"},
      {WriteMethod::kInPlace, "The",
       "was not changed; the corrected text is in " + path + ".fixed.1"},
      {WriteMethod::kReplace, std::string(8192, 'x'),
       "File too large; " + path +
           " was not changed; the corrected text "
           "could not be kept either"},
  };
  const auto previous = ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead
  rlimit limit;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
  for (const auto& c : cases) {
    rlimit small = limit;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    try {
      WriteBack(file, c.method, gone, c.bytes);
      ADD_FAILURE() << c.message;
    } catch (const CommandError& error) {
      EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ::signal(SIGXFSZ, previous);
  EXPECT_EQ(Content(path), "Teh");
  EXPECT_EQ(Content(path + ".fixed.1"), "The");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3)
      << "a temporary file was left behind";
}

}  // namespace
}  // namespace lexivane::frontend::fix
