#include "frontend/project/changed_lines.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "frontend/io/command_error.h"
#include "tests/test_support.h"

namespace lexivane::frontend {
namespace {

namespace fs = std::filesystem;

// A repository made with the git command, as people make theirs.
class ChangedLinesTest : public ::testing::Test {
 protected:
  void Git(const std::string& arguments) {
    const std::string command = "git -C '" + dir_.path().string() +
                                "' -c user.name=t -c user.email=t@example.org " + arguments +
                                " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  void Write(const std::string& name, std::string_view text) {
    fs::create_directories((dir_.path() / name).parent_path());
    testing::WriteBytes(dir_.path() / name, text);
  }
  // The changed lines of each file, as "name:line" for lines 1 to 6.
  std::vector<std::string> Changed(const ChangedLines& changed,
                                   const std::vector<std::string>& names) {
    std::vector<std::string> lines;
    for (const std::string& name : names) {
      for (std::size_t line = 1; line <= 6; ++line) {
        if (changed.Has(dir_.path() / name, line))
          lines.push_back(name + ":" + std::to_string(line));
      }
    }
    return lines;
  }
  testing::ScratchDir dir_;
};

TEST_F(ChangedLinesTest, WorkingTreeAndRevisionsAgainstTheirCommits) {
  Git("init -q");
  Write("a.txt", "one\ntwo\nthree\nfour\n");
  Write("sub/b.md", "alpha\nbeta\n");
  Git("add -A");
  Git("commit -q -m first");
  Write("a.txt", "one\nTWO\nthree\nfour\nfive\n");  // line 2 changed, line 5 added
  Write("sub/b.md", "beta\n");                      // a line removed: nothing to check
  Write("new.txt", "x\ny\n");                       // untracked: every line
  Write(".gitignore", "ignored.txt\n");
  Write("ignored.txt", "z\n");
  const std::vector<std::string> names = {"a.txt", "sub/b.md", "new.txt", "ignored.txt"};
  EXPECT_EQ(Changed(ChangedLines::Since(dir_.path(), std::nullopt), names),
            (std::vector<std::string>{"a.txt:2", "a.txt:5", "new.txt:1", "new.txt:2"}));
  EXPECT_FALSE(ChangedLines::Since(dir_.path(), std::nullopt).Touches(dir_.path() / "sub/b.md"));

  // Staged and committed changes count against an older revision, from a subfolder too.
  Git("add a.txt");
  Git("commit -q -m second");
  Write("sub/b.md", "beta\ngamma\n");
  EXPECT_EQ(Changed(ChangedLines::Since(dir_.path() / "sub", std::nullopt), names),
            (std::vector<std::string>{"sub/b.md:2", "new.txt:1", "new.txt:2"}));
  EXPECT_EQ(
      Changed(ChangedLines::Since(dir_.path(), "HEAD~1"), names),
      (std::vector<std::string>{"a.txt:2", "a.txt:5", "sub/b.md:2", "new.txt:1", "new.txt:2"}));
}

TEST_F(ChangedLinesTest, ARepositoryWithoutCommitsIsAllNew) {
  Git("init -q");
  Write("a.txt", "one\ntwo\n");
  EXPECT_EQ(Changed(ChangedLines::Since(dir_.path(), std::nullopt), {"a.txt"}),
            (std::vector<std::string>{"a.txt:1", "a.txt:2"}));
}

TEST_F(ChangedLinesTest, NoRepositoryOrNoSuchRevisionIsAnError) {
  // The scratch folders of the build may lie inside a working tree: the system's do not.
  const fs::path outside = fs::temp_directory_path();
  ASSERT_FALSE(fs::exists(outside / ".git"));
  EXPECT_THROW(ChangedLines::Since(outside, std::nullopt), CommandError);
  Git("init -q");
  EXPECT_THROW(ChangedLines::Since(dir_.path(), "HEAD"), CommandError);  // asked for, unborn
  Write("a.txt", "one\n");
  Git("add -A");
  Git("commit -q -m first");
  EXPECT_THROW(ChangedLines::Since(dir_.path(), "no-such-branch"), CommandError);
}

}  // namespace
}  // namespace lexivane::frontend
