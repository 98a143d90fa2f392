#include "support/file_replacement.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace lexivane::support {
namespace {

namespace fs = std::filesystem;

TEST(FileReplacement, HiddenNameBesideKeepsTheFolderAndFitsTheLimit) {
  const std::string longest(NAME_MAX - 1 - 5, 'n');  // with "." and ".lock", just fits
  const struct {
    std::string target, expected;
  } cases[] = {
      {"words.dic", ".words.dic.lock"},
      {"/home/me/.config/words", "/home/me/.config/.words.lock"},
      {"folder/" + longest, "folder/." + longest + ".lock"},
      {"folder/" + longest + "n", "folder/.lexivane.lock"},
  };
  for (const auto& c : cases) EXPECT_EQ(HiddenNameBeside(c.target, ".lock"), c.expected);
}

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

// A new file replaces the target only when renamed over it; abandoned at any step, it leaves
// nothing behind, and a name that was taken is never removed as if it were the new file.
TEST(FileReplacement, ANewFileReplacesTheTargetOrLeavesNothing) {
  const testing::ScratchDir dir;
  const std::string target = (dir.path() / "target").string();
  testing::WriteBytes(target, "old");
  {
    NewFile abandoned = NewFile::Beside(target, 0600);
    ASSERT_EQ(abandoned.error(), 0);
    EXPECT_EQ(fs::path(abandoned.name()).parent_path(), dir.path());
    EXPECT_TRUE(fs::path(abandoned.name()).filename().string().starts_with(".target."));
    EXPECT_EQ(WriteAll(abandoned.fd(), "half"), 0);
  }
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"target"});

  EXPECT_EQ(NewFile::Named(target, 0600).error(), EEXIST);
  EXPECT_EQ(fs::file_size(target), 3u);

  NewFile replacement = NewFile::Beside(target, 0600);
  ASSERT_EQ(replacement.error(), 0);
  EXPECT_EQ(WriteAll(replacement.fd(), "new!"), 0);
  // The mode as given, whatever the umask took from it at creation.
  EXPECT_EQ(replacement.GiveMode(0664), 0);
  EXPECT_EQ(replacement.Sync(), 0);
  EXPECT_EQ(replacement.Close(), 0);
  EXPECT_EQ(replacement.RenameTo(target), 0);
  replacement.Remove();  // no longer its own: removes nothing
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"target"});
  EXPECT_EQ(fs::file_size(target), 4u);
  struct stat info;
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0664u);

  // A folder that is missing gives the system's reason.
  EXPECT_EQ(NewFile::Beside((dir.path() / "none" / "target").string(), 0600).error(), ENOENT);
}

}  // namespace
}  // namespace lexivane::support
