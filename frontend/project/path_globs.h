// Globs of paths in the syntax of .gitignore, over one folder: `*.min.js` matches in any folder
// below, `/NEWS` only at the top, `build/` a folder and all it holds, `docs/**/*.svg` at any
// depth under docs, `!keep.txt` takes a file back; the last glob that matches a path decides.
//
// The matching is libgit2's own: the globs are the in-memory ignore rules of a repository that
// has no files, no working tree and a configuration of its own, so that nothing but the globs
// given is consulted (neither a .gitignore, nor the person's global excludes). GlobProblem says
// what would make a glob silently match nothing, or something else than its writer meant,
// for the caller to report where the glob was written.
//
// A PathGlobs may be asked from any thread: libgit2's repository is not, so a lock guards it.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct git_repository;

namespace lexivane::frontend {

// Why `glob` is not a usable glob (an empty one, a comment, an open `[`, a lone `\` at the end,
// a line break, a `.` or `..` part), or none.
std::optional<std::string> GlobProblem(std::string_view glob);

class PathGlobs {
 public:
  // Globs that GlobProblem accepts. Throws CommandError when libgit2 fails to take them.
  explicit PathGlobs(const std::vector<std::string>& globs);
  ~PathGlobs();
  PathGlobs(const PathGlobs&) = delete;
  PathGlobs& operator=(const PathGlobs&) = delete;

  bool empty() const { return !repository_; }
  // `path`: of a file, relative to the folder, its parts joined by '/', without `.` or `..`.
  bool Match(const std::string& path) const;

 private:
  struct FreeRepository {
    void operator()(git_repository* repository) const;
  };
  std::unique_ptr<git_repository, FreeRepository> repository_;
  mutable std::mutex mutex_;
};

}  // namespace lexivane::frontend
