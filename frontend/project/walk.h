// The files a command checks when it is given paths: a file named is taken as it is, always; a
// directory is walked, and what it holds is taken in path order (sorted byte-wise by the path
// as printed: the directory as given joined with the names below it, "." adding nothing), so
// that a walk of the same tree gives the same list every time.
//
// A walk leaves out, each counted by its reason (file_kinds.h):
//  - what the ignore files exclude, inside a git repository: every .gitignore, the repository's
//    .git/info/exclude, the user's global excludes (core.excludesFile), all read by libgit2, and
//    an `.ignore` file in any folder, in gitignore syntax, which wins over .gitignore. Outside a
//    repository nothing is ignored. A repository inside the walked one has its own rules;
//  - hidden files and folders (the name starts with a dot), unless `hidden`; `.git` always;
//  - symbolic links, unless `follow`; followed, each folder is walked once (known by device and
//    inode), so that a link back up the tree ends;
//  - files whose name marks them as no one's prose (SkipByName): lock files, minified code,
//    images and other formats that are not text.
// What a file holds (SkipByContent) is judged by whoever reads it, WalkedFile::named being false.
// A folder that cannot be read takes its place in the list with the reason.
//
// Not thread-safe: one walk at a time per thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "frontend/project/file_kinds.h"

namespace lexivane::frontend {

struct WalkOptions {
  bool hidden = false;       // walk hidden files and folders
  bool ignore_files = true;  // honour .gitignore, .ignore and the excludes
  bool follow = false;       // follow symbolic links
};

struct WalkedFile {
  std::string path;     // as printed
  bool named = false;   // given on the command line rather than found
  std::string failure;  // why a folder found could not be read, if it could not
};

struct Walk {
  std::vector<WalkedFile> files;
  SkipCounts skipped;
  bool walked_directory = false;  // a path given was a directory
};

// `paths` in the order given, each directory replaced by its files. A path that is no
// directory (standard input's "-", a file that is not there) is taken as a file named, for its
// reader to report. Throws CommandError when a repository's ignore rules cannot be read.
Walk WalkPaths(const std::vector<std::string>& paths, const WalkOptions& options);

// Whether any of `paths` names a directory.
bool NamesDirectory(const std::vector<std::string>& paths);

// The rules of an `.ignore` file in the folder `folder` (relative to the repository's root,
// without a slash at the end; empty for the root), rewritten to apply from the root as they do
// from that folder: a pattern with a slash before its end is anchored to the folder, one
// without matches at any depth below it. A `!` rule comes with the rule it undoes before it, so
// that it takes back what any other ignore file excludes. Blank lines and comments are left out.
std::string RulesFromRoot(std::string_view rules, std::string_view folder);

}  // namespace lexivane::frontend
