// The lines of a repository's files that a change added or altered, read with libgit2, for
// checking only what a pull request brings: the working tree (staged or not, untracked files
// included, ignored ones not) against HEAD, or against a revision given (anything `git
// rev-parse` reads: a branch, a tag, `origin/main`, a commit). A file new since the revision is
// changed in every line; a deleted line is no line of the working tree, and changes nothing.
// Made once on one thread; then const and safe to ask from any thread.
#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lexivane::frontend {

class ChangedLines {
 public:
  // The changes in the repository that holds `folder`. Throws CommandError when there is no
  // repository there or `revision` names no commit.
  static ChangedLines Since(const std::filesystem::path& folder,
                            const std::optional<std::string>& revision);

  // Whether line `line` (counted from 1) of the file at `path` (absolute, or relative to the
  // current folder) was added or changed.
  bool Has(const std::filesystem::path& path, std::size_t line) const;
  // Whether any line of the file was.
  bool Touches(const std::filesystem::path& path) const;

  // The repository's working folder, as libgit2 found it.
  const std::filesystem::path& work_folder() const { return work_folder_; }

 private:
  struct Lines {
    std::size_t first = 0;  // both counted from 1, both included
    std::size_t last = 0;
  };
  const std::vector<Lines>* Of(const std::filesystem::path& path) const;

  std::filesystem::path work_folder_;
  std::map<std::string, std::vector<Lines>> changed_;  // by path from the working folder, '/'
};

}  // namespace lexivane::frontend
