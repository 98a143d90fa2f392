#include "frontend/project/walk.h"

#include <git2.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <utility>

#include "frontend/io/command_error.h"
#include "frontend/project/libgit2.h"

namespace lexivane::frontend {

namespace {

namespace fs = std::filesystem;

std::string GitMessage() {
  const git_error* error = Libgit2().git_error_last();
  return error != nullptr && error->message != nullptr ? error->message : "unknown error";
}

std::string ReadWhole(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The ignore rules of one repository, asked with paths relative to its working tree.
class IgnoreRules {
 public:
  // The rules of the repository that holds `folder`; none outside a repository, or in a bare
  // one. `look_up`: `folder` may be below the working tree's root.
  static std::unique_ptr<IgnoreRules> Of(const std::string& folder, bool look_up) {
    git_repository* repository = nullptr;
    // As git, it looks no higher than the folders GIT_CEILING_DIRECTORIES names.
    const int error = Libgit2().git_repository_open_ext(&repository, folder.c_str(),
                                                        look_up ? 0 : GIT_REPOSITORY_OPEN_NO_SEARCH,
                                                        std::getenv("GIT_CEILING_DIRECTORIES"));
    if (error == GIT_ENOTFOUND) return nullptr;
    if (error < 0) throw CommandError(folder + ": cannot read its repository: " + GitMessage());
    std::unique_ptr<IgnoreRules> rules(new IgnoreRules(repository));
    if (Libgit2().git_repository_workdir(repository) == nullptr) return nullptr;
    std::error_code failed;
    rules->root_ = fs::canonical(Libgit2().git_repository_workdir(repository), failed);
    if (failed) return nullptr;
    return rules;
  }
  IgnoreRules(const IgnoreRules&) = delete;
  IgnoreRules& operator=(const IgnoreRules&) = delete;
  ~IgnoreRules() { Libgit2().git_repository_free(repository_); }

  // Where `folder` stands in the working tree ("" at its root, else "a/b/"); none when it is
  // not inside.
  std::optional<std::string> PlaceOf(const std::string& folder) const {
    std::error_code failed;
    const fs::path real = fs::canonical(folder, failed);
    if (failed) return std::nullopt;
    const fs::path relative = real.lexically_relative(root_);
    if (relative.empty() || *relative.begin() == "..") return std::nullopt;
    return relative == "." ? std::string() : relative.generic_string() + '/';
  }

  const fs::path& root() const { return root_; }

  bool Ignored(const std::string& relative) const {
    int ignored = 0;
    if (Libgit2().git_ignore_path_is_ignored(&ignored, repository_, relative.c_str()) < 0) {
      throw CommandError(relative + ": cannot read the ignore rules: " + GitMessage());
    }
    return ignored != 0;
  }

  // Adds the rules of the `.ignore` file in `folder`, at `place` in the working tree, if any.
  void AddIgnoreFile(const std::string& folder, std::string_view place) {
    const std::string file = folder + "/.ignore";
    std::error_code failed;
    if (!fs::is_regular_file(file, failed)) return;
    if (!place.empty()) place.remove_suffix(1);
    const std::string rules = RulesFromRoot(ReadWhole(file), place);
    if (Libgit2().git_ignore_add_rule(repository_, rules.c_str()) < 0) {
      throw CommandError(file + ": cannot read its rules: " + GitMessage());
    }
  }

 private:
  explicit IgnoreRules(git_repository* repository) : repository_(repository) {}

  git_repository* repository_;
  fs::path root_;
};

std::string Join(const std::string& folder, const std::string& name) {
  if (folder == ".") return name;
  return folder.back() == '/' ? folder + name : folder + '/' + name;
}

class Walker {
 public:
  Walker(const WalkOptions& options, Walk& walk) : options_(options), walk_(walk) {}

  // Walks the folder given on the command line.
  void WalkFrom(const std::string& folder) {
    std::unique_ptr<IgnoreRules> rules;
    std::string place;
    if (options_.ignore_files) {
      rules = IgnoreRules::Of(folder, true);
      if (rules) {
        if (const auto found = rules->PlaceOf(folder)) {
          place = *found;
          // The `.ignore` files of the folders above, from the root down, apply here too.
          for (std::string at; at != place; at = place.substr(0, place.find('/', at.size()) + 1)) {
            rules->AddIgnoreFile(rules->root().string() + '/' + at, at);
          }
        } else {
          rules.reset();
        }
      }
    }
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) visited_.emplace(info.st_dev, info.st_ino);
    const std::size_t first = walk_.files.size();
    WalkFolder(folder, rules.get(), place);
    std::sort(walk_.files.begin() + static_cast<std::ptrdiff_t>(first), walk_.files.end(),
              [](const WalkedFile& a, const WalkedFile& b) { return a.path < b.path; });
  }

 private:
  // `place`: the folder's place in the working tree of `rules` ("" or "a/b/").
  void WalkFolder(const std::string& folder, IgnoreRules* rules, const std::string& place) {
    if (rules != nullptr) rules->AddIgnoreFile(folder, place);
    // Each name, and whether the folder says it is a regular file: such a file needs no look of
    // its own (the type comes with the name on most file systems).
    std::vector<std::pair<std::string, bool>> entries;
    std::error_code failed;
    for (fs::directory_iterator entry(folder, failed), end; !failed && entry != end;
         entry.increment(failed)) {
      std::error_code unknown;
      const bool regular = !entry->is_symlink(unknown) && entry->is_regular_file(unknown);
      entries.emplace_back(entry->path().filename().string(), regular && !unknown);
    }
    if (failed) walk_.files.push_back({folder, false, failed.message()});
    // In name order, so that of two links to one folder the same one is walked every time.
    std::sort(entries.begin(), entries.end());
    for (const auto& [name, regular] : entries) {
      Take(Join(folder, name), name, regular, rules, place + name);
    }
  }

  void Take(const std::string& path, const std::string& name, bool regular, IgnoreRules* rules,
            const std::string& relative) {
    if (name == ".git") return;
    if (name.front() == '.' && !options_.hidden) return Skip(SkipReason::kHidden);
    // What the folder did not say is a regular file is looked at on its own.
    struct stat info {};
    if (!regular) {
      if (::lstat(path.c_str(), &info) != 0) return;
      if (S_ISLNK(info.st_mode)) {
        if (!options_.follow || ::stat(path.c_str(), &info) != 0) return Skip(SkipReason::kLink);
      }
    }
    if (rules != nullptr && rules->Ignored(relative)) return Skip(SkipReason::kIgnored);
    if (!regular && S_ISDIR(info.st_mode)) {
      if (!visited_.emplace(info.st_dev, info.st_ino).second) return;
      // A repository inside this one keeps its own rules.
      std::error_code failed;
      if (options_.ignore_files && fs::exists(path + "/.git", failed)) {
        const std::unique_ptr<IgnoreRules> own = IgnoreRules::Of(path, false);
        return WalkFolder(path, own.get(), "");
      }
      return WalkFolder(path, rules, relative + '/');
    }
    if (!regular && !S_ISREG(info.st_mode)) return;
    if (const auto reason = SkipByName(name)) return Skip(*reason);
    walk_.files.push_back({path, false, {}});
  }

  void Skip(SkipReason reason) { walk_.skipped.Add(reason); }

  const WalkOptions& options_;
  Walk& walk_;
  std::set<std::pair<dev_t, ino_t>> visited_;
};

bool IsDirectory(const std::string& path) {
  std::error_code failed;
  return path != "-" && fs::is_directory(path, failed);
}

}  // namespace

Walk WalkPaths(const std::vector<std::string>& paths, const WalkOptions& options) {
  Walk walk;
  for (const std::string& path : paths) {
    if (IsDirectory(path)) {
      walk.walked_directory = true;
      Walker(options, walk).WalkFrom(path);
    } else {
      walk.files.push_back({path, true, {}});
    }
  }
  return walk;
}

bool NamesDirectory(const std::vector<std::string>& paths) {
  return std::any_of(paths.begin(), paths.end(), IsDirectory);
}

std::string RulesFromRoot(std::string_view rules, std::string_view folder) {
  std::string from_root;
  while (!rules.empty()) {
    const std::size_t end = std::min(rules.find('\n'), rules.size());
    std::string_view line = rules.substr(0, end);
    rules.remove_prefix(std::min(end + 1, rules.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    const bool negated = line.front() == '!';
    if (negated) line.remove_prefix(1);
    std::string rule;
    if (!folder.empty()) {
      std::string_view body = line;
      while (!body.empty() && body.back() == '/') body.remove_suffix(1);
      const bool anchored = body.find('/') != std::string_view::npos;
      if (anchored && line.front() == '/') line.remove_prefix(1);
      rule.append(folder).append(anchored ? "/" : "/**/");
    }
    rule.append(line).append("\n");
    // libgit2 drops a `!` rule that undoes no rule before it in the same file, but a `!` in an
    // .ignore takes back what a .gitignore excludes: the rule it undoes goes first.
    if (negated) from_root.append(rule).append("!");
    from_root.append(rule);
  }
  return from_root;
}

}  // namespace lexivane::frontend
