#include "frontend/project/path_globs.h"

#include <git2.h>
#include <git2/sys/config.h>
#include <git2/sys/repository.h>

#include <cstring>

#include "frontend/io/command_error.h"
#include "frontend/project/libgit2.h"

namespace lexivane::frontend {

namespace {

// The configuration of the globs' repository: core.excludesfile and nothing else. Without the
// setting libgit2 would read the person's $XDG_CONFIG_HOME/git/ignore as global excludes; an
// empty file in its place adds no rule.
struct OneSettingBackend {
  git_config_backend backend;
};

void FreeEntry(git_config_entry*) {}  // the entry is static

int Get(git_config_backend*, const char* key, git_config_entry** entry) {
  static git_config_entry excludes = {"core.excludesfile",  "/dev/null", 0,
                                      GIT_CONFIG_LEVEL_APP, FreeEntry,   nullptr};
  if (std::strcmp(key, excludes.name) != 0) return GIT_ENOTFOUND;
  *entry = &excludes;
  return 0;
}

int NextOfNone(git_config_entry**, git_config_iterator*) {
  return GIT_ITEROVER;
}
void FreeIterator(git_config_iterator* iterator) {
  delete iterator;
}

int Iterate(git_config_iterator** iterator, git_config_backend* backend) {
  *iterator = new git_config_iterator{backend, 0, NextOfNone, FreeIterator};
  return 0;
}

int Refuse(git_config_backend*, const char*) {
  return GIT_ERROR;
}

git_config_backend* NewOneSettingBackend();

int Snapshot(git_config_backend** snapshot, git_config_backend*) {
  *snapshot = NewOneSettingBackend();
  return 0;
}

git_config_backend* NewOneSettingBackend() {
  auto* made = new OneSettingBackend{};
  git_config_backend& backend = made->backend;
  Libgit2().git_config_init_backend(&backend, GIT_CONFIG_BACKEND_VERSION);
  backend.readonly = 1;
  backend.open = [](git_config_backend*, git_config_level_t, const git_repository*) { return 0; };
  backend.get = Get;
  backend.set = [](git_config_backend*, const char*, const char*) { return int{GIT_ERROR}; };
  backend.set_multivar = [](git_config_backend*, const char*, const char*, const char*) {
    return int{GIT_ERROR};
  };
  backend.del = Refuse;
  backend.del_multivar = [](git_config_backend*, const char*, const char*) {
    return int{GIT_ERROR};
  };
  backend.iterator = Iterate;
  backend.snapshot = Snapshot;
  backend.lock = [](git_config_backend*) { return 0; };
  backend.unlock = [](git_config_backend*, int) { return 0; };
  backend.free = [](git_config_backend* freed) {
    delete reinterpret_cast<OneSettingBackend*>(freed);
  };
  return &backend;
}

[[noreturn]] void Fail(const char* what) {
  const git_error* error = Libgit2().git_error_last();
  throw CommandError(std::string(what) + ": " + (error ? error->message : "libgit2 failed"));
}

// Where the `[` at `open` closes, or npos: a `]` right after `[` or `[!` is one of the set.
std::size_t BracketEnd(std::string_view glob, std::size_t open) {
  std::size_t at = open + 1;
  if (at < glob.size() && (glob[at] == '!' || glob[at] == '^')) ++at;
  if (at < glob.size() && glob[at] == ']') ++at;
  for (; at < glob.size(); ++at) {
    if (glob[at] == '\\') {
      ++at;
    } else if (glob[at] == ']') {
      return at;
    }
  }
  return std::string_view::npos;
}

}  // namespace

std::optional<std::string> GlobProblem(std::string_view glob) {
  if (glob.find_first_not_of(" \t") == std::string_view::npos) return "an empty glob";
  if (glob.front() == '#') return "a glob that begins with # is a comment (write \\# for #)";
  for (const char c : glob) {
    if (static_cast<unsigned char>(c) < 0x20) return "a glob holds no control character";
  }
  std::string_view rest = glob.substr(glob.front() == '!' ? 1 : 0);
  if (rest.empty()) return "an empty glob after !";
  for (std::size_t at = 0; at < rest.size(); ++at) {
    if (rest[at] == '\\') {
      if (++at == rest.size()) return "a glob ends in a lone \\";
    } else if (rest[at] == '[') {
      at = BracketEnd(rest, at);
      if (at == std::string_view::npos) return "a [ that no ] closes";
    }
  }
  for (std::size_t start = 0; start <= rest.size();) {
    const std::size_t end = std::min(rest.find('/', start), rest.size());
    const std::string_view part = rest.substr(start, end - start);
    if (part == "." || part == "..") {
      return "a glob of paths inside the folder has no " + std::string(part) + " part";
    }
    start = end + 1;
  }
  return std::nullopt;
}

void PathGlobs::FreeRepository::operator()(git_repository* repository) const {
  Libgit2().git_repository_free(repository);
}

PathGlobs::PathGlobs(const std::vector<std::string>& globs) {
  if (globs.empty()) return;
  git_repository* made = nullptr;
  if (Libgit2().git_repository_new(&made) < 0) Fail("cannot set up the matching of globs");
  repository_.reset(made);
  git_config* config = nullptr;
  if (Libgit2().git_config_new(&config) < 0) Fail("cannot set up the matching of globs");
  const int added = Libgit2().git_config_add_backend(config, NewOneSettingBackend(),
                                                     GIT_CONFIG_LEVEL_APP, nullptr, 0);
  if (added < 0 || Libgit2().git_repository_set_config(made, config) < 0) {
    Libgit2().git_config_free(config);
    Fail("cannot set up the matching of globs");
  }
  Libgit2().git_config_free(config);  // the repository holds its own reference
  std::string rules;
  for (const std::string& glob : globs) rules += glob + '\n';
  if (Libgit2().git_ignore_add_rule(made, rules.c_str()) < 0) Fail("cannot read the globs");
}

PathGlobs::~PathGlobs() = default;

bool PathGlobs::Match(const std::string& path) const {
  if (!repository_) return false;
  const std::lock_guard lock(mutex_);
  int ignored = 0;
  if (Libgit2().git_ignore_path_is_ignored(&ignored, repository_.get(), path.c_str()) < 0) {
    Fail(("cannot match " + path).c_str());
  }
  return ignored == 1;
}

}  // namespace lexivane::frontend
