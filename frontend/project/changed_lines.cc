#include "frontend/project/changed_lines.h"

#include <git2.h>

#include <algorithm>
#include <memory>
#include <system_error>

#include "frontend/io/command_error.h"
#include "frontend/project/libgit2.h"

namespace lexivane::frontend {

namespace {

// libgit2's objects, freed by their own functions.
struct RepositoryFree {
  void operator()(git_repository* repository) const { Libgit2().git_repository_free(repository); }
};
struct ObjectFree {
  void operator()(git_object* object) const { Libgit2().git_object_free(object); }
};
struct TreeFree {
  void operator()(git_tree* tree) const { Libgit2().git_tree_free(tree); }
};
struct DiffFree {
  void operator()(git_diff* diff) const { Libgit2().git_diff_free(diff); }
};

[[noreturn]] void Fail(const std::string& what) {
  const git_error* error = Libgit2().git_error_last();
  throw CommandError(what + (error != nullptr && error->message != nullptr
                                 ? std::string(": ") + error->message
                                 : std::string()));
}

}  // namespace

ChangedLines ChangedLines::Since(const std::filesystem::path& folder,
                                 const std::optional<std::string>& revision) {
  git_repository* opened = nullptr;
  if (Libgit2().git_repository_open_ext(&opened, folder.c_str(), 0, nullptr) != 0) {
    Fail(folder.string() + ": not in a git repository");
  }
  const std::unique_ptr<git_repository, RepositoryFree> repository(opened);
  if (Libgit2().git_repository_is_bare(repository.get()))
    Fail(folder.string() + ": a bare repository");

  // The tree compared with: none in a repository without commits, when HEAD is meant.
  std::unique_ptr<git_tree, TreeFree> tree;
  const std::string revision_name = revision.value_or("HEAD");
  git_object* object = nullptr;
  if (Libgit2().git_revparse_single(&object, repository.get(), revision_name.c_str()) == 0) {
    const std::unique_ptr<git_object, ObjectFree> named(object);
    git_object* peeled = nullptr;
    if (Libgit2().git_object_peel(&peeled, named.get(), GIT_OBJECT_TREE) != 0)
      Fail(revision_name + ": no commit");
    tree.reset(reinterpret_cast<git_tree*>(peeled));
  } else if (revision || !Libgit2().git_repository_head_unborn(repository.get())) {
    Fail(revision_name + ": no such revision");
  }

  git_diff_options options = GIT_DIFF_OPTIONS_INIT;
  options.flags = GIT_DIFF_INCLUDE_UNTRACKED | GIT_DIFF_RECURSE_UNTRACKED_DIRS |
                  GIT_DIFF_SHOW_UNTRACKED_CONTENT;
  options.context_lines = 0;
  git_diff* made = nullptr;
  if (Libgit2().git_diff_tree_to_workdir_with_index(&made, repository.get(), tree.get(),
                                                    &options) != 0) {
    Fail(folder.string() + ": cannot compare with " + revision_name);
  }
  const std::unique_ptr<git_diff, DiffFree> diff(made);

  ChangedLines changed;
  changed.work_folder_ =
      std::filesystem::weakly_canonical(Libgit2().git_repository_workdir(repository.get()));
  const auto on_line = [](const git_diff_delta* delta, const git_diff_hunk*,
                          const git_diff_line* line, void* payload) {
    if (line->origin != GIT_DIFF_LINE_ADDITION || line->new_lineno <= 0) return 0;
    auto& by_path = *static_cast<std::map<std::string, std::vector<Lines>>*>(payload);
    std::vector<Lines>& lines = by_path[delta->new_file.path];
    const auto number = static_cast<std::size_t>(line->new_lineno);
    // Lines come in order: a run of them is one entry.
    if (!lines.empty() && lines.back().last + 1 == number) {
      lines.back().last = number;
    } else {
      lines.push_back({number, number});
    }
    return 0;
  };
  if (Libgit2().git_diff_foreach(diff.get(), nullptr, nullptr, nullptr, on_line,
                                 &changed.changed_) != 0) {
    Fail(folder.string() + ": cannot read the changes");
  }
  return changed;
}

const std::vector<ChangedLines::Lines>* ChangedLines::Of(const std::filesystem::path& path) const {
  std::error_code error;
  const std::filesystem::path whole = std::filesystem::weakly_canonical(path, error);
  if (error) return nullptr;
  const std::filesystem::path relative = whole.lexically_relative(work_folder_);
  if (relative.empty() || *relative.begin() == "..") return nullptr;
  const auto found = changed_.find(relative.generic_string());
  return found == changed_.end() ? nullptr : &found->second;
}

bool ChangedLines::Has(const std::filesystem::path& path, std::size_t line) const {
  const std::vector<Lines>* lines = Of(path);
  if (lines == nullptr) return false;
  const auto after =
      std::upper_bound(lines->begin(), lines->end(), line,
                       [](std::size_t number, const Lines& run) { return number < run.first; });
  return after != lines->begin() && std::prev(after)->last >= line;
}

bool ChangedLines::Touches(const std::filesystem::path& path) const {
  return Of(path) != nullptr;
}

}  // namespace lexivane::frontend
