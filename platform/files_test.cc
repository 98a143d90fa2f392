#include "platform/files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <utility>

#ifndef _WIN32
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#else
#include <windows.h>
#endif

#include "lexivane/error.h"
#include "platform/module.h"
#include "tests/test_support.h"

namespace lexivane::platform {
namespace {

namespace fs = std::filesystem;
using lexivane::testing::ErrorFrom;
using ::testing::HasSubstr;

class FilesTest : public ::testing::Test {
 protected:
  std::u16string PathOf(const std::u16string& name) const {
    return FromUtf8(dir_.string()) + u"/" + name;
  }

  lexivane::testing::ScratchDir scratch_;
  const fs::path& dir_ = scratch_.path();
};

#ifndef _WIN32
// Every entry under `dir` with the target of each link, so that a comparison sees a stray
// temporary file as well as a link replaced by a file.
std::set<std::string> Tree(const fs::path& dir) {
  std::set<std::string> tree;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir)) {
    std::string line = entry.path().lexically_relative(dir).string();
    if (entry.is_symlink()) line += " -> " + fs::read_symlink(entry.path()).string();
    tree.insert(line);
  }
  return tree;
}
#endif

// The path as messages quote it, a NUL shown as "\0".
std::string Quoted(std::u16string_view path) {
  std::string quoted = "'";
  for (char c : ToUtf8(path)) quoted += c == '\0' ? std::string("\\0") : std::string(1, c);
  return quoted + "'";
}

std::string Bytes(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// Directories made with whatever parents they lack, private to the user; in them, every byte
// value, then a shorter content, then none, each read back as written under a name beyond
// ASCII, with no temporary file left beside it.
TEST_F(FilesTest, MakesWritesReadsAndDeletes) {
  CreateDirectories(PathOf(u"a/b/"));
  CreateDirectories(PathOf(u"a/b"));  // existing already
  std::string all;
  for (int b = 0; b < 512; ++b) all += static_cast<char>(b);
  const std::u16string path = PathOf(u"a/b/caf\u00e9-\U00010400.dic");
  const fs::path native = fs::u8path(ToUtf8(path));
  for (const std::string& content : {all, std::string("short\r\n"), std::string()}) {
    WriteFileBytes(path, content);
    EXPECT_EQ(Bytes(ReadFileBytes(path)), content);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "a/b"), {}), 1);
  }
#ifndef _WIN32
  const mode_t umask = ::umask(0);
  ::umask(umask);
  EXPECT_EQ(fs::status(native).permissions(), fs::perms(0666 & ~umask));
  EXPECT_EQ(fs::status(dir_ / "a").permissions(), fs::perms(0700 & ~umask));
  EXPECT_EQ(fs::status(dir_ / "a/b").permissions(), fs::perms(0700 & ~umask));
#endif
  DeleteFileQuietly(path);
  EXPECT_FALSE(fs::exists(native));
  DeleteFileQuietly(path);  // failures go unreported
  DeleteFileQuietly(PathOf(u"no-such-dir/x"));
}

// The numbers each platform gives for the failures below.
#ifdef _WIN32
constexpr int kNoFile = ERROR_FILE_NOT_FOUND, kNoFolder = ERROR_PATH_NOT_FOUND,
              kIsFolder = ERROR_ACCESS_DENIED, kBadName = ERROR_INVALID_NAME;
#else
constexpr int kNoFile = ENOENT, kNoFolder = ENOENT, kIsFolder = EISDIR, kBadName = EINVAL;
#endif

// Failures name the path and what was being done. A NUL is refused rather than cut: cut there,
// the path would name the existing file "real".
TEST_F(FilesTest, FailuresNameThePathAndTheReason) {
  enum Operation { kRead, kWrite, kCreateDirectories };
  const std::u16string real = PathOf(u"real");
  WriteFileBytes(real, "keep");
  const std::u16string nul = PathOf(std::u16string(u"real\0.dic", 9));
  const struct {
    Operation operation;
    std::u16string path;
    int number;
  } cases[] = {
      {kRead, PathOf(u"missing.dic"), kNoFile},
      {kWrite, PathOf(u"no-such-dir/custom.dic"), kNoFolder},
      {kRead, FromUtf8(dir_.string()), kIsFolder},
      {kWrite, FromUtf8(dir_.string()), kIsFolder},
      {kRead, nul, kBadName},
      {kWrite, nul, kBadName},
      {kCreateDirectories, nul, kBadName},
#ifdef _WIN32
      {kCreateDirectories, real, ERROR_ALREADY_EXISTS},
#else
      {kCreateDirectories, real, ENOTDIR},
      {kCreateDirectories, real + u"/sub", ENOTDIR},
#endif
  };
  for (const auto& c : cases) {
    const Error error = ErrorFrom([&] {
      if (c.operation == kRead) ReadFileBytes(c.path);
      if (c.operation == kWrite) WriteFileBytes(c.path, "lost");
      if (c.operation == kCreateDirectories) CreateDirectories(c.path);
    });
    EXPECT_EQ(error.number(), c.number) << Quoted(c.path);
    std::string message = c.operation == kCreateDirectories
                              ? "cannot create directory " + Quoted(c.path)
                              : "cannot open " + Quoted(c.path) +
                                    (c.operation == kWrite ? " for writing" : " for reading");
#ifndef _WIN32
    message += ": " + std::generic_category().message(c.number);
#endif
    EXPECT_THAT(error.what(), HasSubstr(message));
  }
  DeleteFileQuietly(nul);
  EXPECT_EQ(Bytes(ReadFileBytes(real)), "keep");
}

#ifndef _WIN32
// Writes in a child process whose files may not grow past `limit` bytes, so that the write
// fails partway with EFBIG as it would on a full disk. Answers the error number thrown, or 0.
int WriteWithSizeLimit(const std::u16string& path, std::string_view bytes, rlim_t limit) {
  const pid_t child = ::fork();
  if (child == 0) {
    const struct rlimit size_limit = {limit, limit};
    ::signal(SIGXFSZ, SIG_IGN);
    if (::setrlimit(RLIMIT_FSIZE, &size_limit) != 0) ::_exit(255);
    ::_exit(ErrorFrom([&] { WriteFileBytes(path, bytes); }).number());
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// The file is replaced whole or not at all, whichever name leads to it: a failed write leaves
// the old content, a successful one keeps the permission bits (o+w too, which the usual umask
// takes away), and links stay links.
TEST_F(FilesTest, AWriteReplacesTheFileWholeOrNotAtAll) {
  // Links as name and target; a target that starts with '/' is made absolute within the case.
  const struct {
    const char* file;
    bool exists;
    std::vector<std::pair<const char*, std::string>> links;
    const char* written;
  } cases[] = {
      {"dict", true, {}, "dict"},
      {"sub/dict", true, {{"link", "sub/dict"}}, "link"},
      {"dict", true, {{"link", "/dict"}, {"chain", "link"}}, "chain"},
      {"sub/dict", false, {{"link", "sub/dict"}}, "link"},  // dangling: creates the file
  };
  const std::string content(64 * 1024, 'n');
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written + std::string(" -> ") + c.file);
    const fs::path dir = dir_ / ("case" + std::to_string(&c - cases));
    fs::create_directories(dir / "sub");
    if (c.exists) {
      lexivane::testing::WriteBytes(dir / c.file, "old\r\n");
      fs::permissions(dir / c.file, fs::perms(0753));
    }
    for (const auto& [name, target] : c.links) {
      fs::create_symlink(target[0] == '/' ? dir.string() + target : target, dir / name);
    }
    const std::set<std::string> before = Tree(dir);
    const std::u16string path = FromUtf8((dir / c.written).string());

    EXPECT_EQ(WriteWithSizeLimit(path, content, 4096), EFBIG);
    EXPECT_EQ(Tree(dir), before);
    if (c.exists) {
      EXPECT_TRUE(Bytes(ReadFileBytes(path)) == "old\r\n");
    }

    WriteFileBytes(path, content);
    std::set<std::string> after = before;
    after.insert(c.file);
    EXPECT_EQ(Tree(dir), after);
    EXPECT_TRUE(Bytes(ReadFileBytes(FromUtf8((dir / c.file).string()))) == content);
    if (c.exists) {
      EXPECT_EQ(fs::status(dir / c.file).permissions(), fs::perms(0753));
    }
  }
}

// Devices and FIFOs are written into as they are, never replaced by a regular file.
TEST_F(FilesTest, SpecialFilesAreWrittenIntoDirectly) {
  if (fs::is_character_file("/dev/full")) {
    const Error error = ErrorFrom([] { WriteFileBytes(u"/dev/full", "word\r\n"); });
    EXPECT_EQ(error.number(), ENOSPC);
    EXPECT_THAT(error.what(), HasSubstr("cannot write '/dev/full'"));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
  }

  const fs::path fifo = dir_ / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Reading is refused without waiting for a writer; writing waits for a reader, so one is
  // opened first, without waiting for a writer either.
  EXPECT_EQ(ErrorFrom([&] { ReadFileBytes(FromUtf8(fifo.string())); }).number(), EINVAL);
  const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  WriteFileBytes(FromUtf8(fifo.string()), "through the pipe");
  char buffer[64] = {};
  EXPECT_EQ(std::string(buffer, std::max<ssize_t>(0, ::read(reader, buffer, sizeof buffer))),
            "through the pipe");
  ::close(reader);
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(Tree(dir_), std::set<std::string>{"pipe"});
}

// Write access is judged on the file: a read-only file is refused although its directory would
// allow replacing it, and a writable file in a read-only directory is written in place.
TEST_F(FilesTest, WriteAccessIsTheFilesOwn) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
  const std::u16string locked = PathOf(u"locked.dic");
  WriteFileBytes(locked, "old");
  fs::permissions(dir_ / "locked.dic", fs::perms::owner_read);
  EXPECT_EQ(ErrorFrom([&] { WriteFileBytes(locked, "new"); }).number(), EACCES);
  EXPECT_EQ(Bytes(ReadFileBytes(locked)), "old");

  fs::create_directory(dir_ / "sealed");
  const std::u16string open = PathOf(u"sealed/open.dic");
  WriteFileBytes(open, "old");
  fs::permissions(dir_ / "sealed", fs::perms::owner_read | fs::perms::owner_exec);
  WriteFileBytes(open, "new content");
  EXPECT_EQ(Bytes(ReadFileBytes(open)), "new content");
  const Error error = ErrorFrom([&] { CreateDirectories(PathOf(u"sealed/new/deeper")); });
  EXPECT_EQ(error.number(), EACCES);
  EXPECT_THAT(error.what(), HasSubstr("directory " + Quoted(PathOf(u"sealed/new")) + " for " +
                                      Quoted(PathOf(u"sealed/new/deeper"))));
  fs::permissions(dir_ / "sealed", fs::perms::owner_all);
}
#endif

TEST(ComponentDirectoryTest, IsTheAbsoluteDirectoryOfTheComponentFile) {
  const std::u16string directory = ComponentDirectory();
  ASSERT_FALSE(directory.empty());
  EXPECT_NE(directory.back(), PathSeparator());
  const fs::path path = fs::u8path(ToUtf8(directory));
  EXPECT_TRUE(path.is_absolute() && fs::is_directory(path)) << path;
#ifdef __linux__
  // The tests link the component into their own program.
  EXPECT_TRUE(fs::equivalent(path, fs::read_symlink("/proc/self/exe").parent_path())) << path;
#endif
}

#ifndef _WIN32
// Sets or, given nullptr, removes an environment variable for the life of the object.
struct ScopedVariable {
  ScopedVariable(const char* name, const char* value) : name(name) {
    if (const char* value_before = std::getenv(name)) old = value_before;
    Set(name, value);
  }
  ~ScopedVariable() { Set(name, old ? old->c_str() : nullptr); }
  static void Set(const char* name, const char* value) {
    value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
  }

  const char* name;
  std::optional<std::string> old;
};

TEST(CustomDictionaryDirectoryTest, IsTheXdgConfigurationDirectory) {
  const struct passwd* account = ::getpwuid(::getuid());
  const std::string from_account = account != nullptr
                                       ? std::string(account->pw_dir) + "/.config/lexivane"
                                       : ToUtf8(ComponentDirectory());
  const struct {
    const char* config;
    const char* home;
    std::string expected;
  } cases[] = {
      {"/cfg", "/home/u", "/cfg/lexivane"},
      {"/cfg//", nullptr, "/cfg/lexivane"},
      {"relative", "/home/u", "/home/u/.config/lexivane"},  // only an absolute path counts
      {"", "/home/u/", "/home/u/.config/lexivane"},
      {"/", nullptr, "/lexivane"},
      {nullptr, "relative", from_account},
      {nullptr, nullptr, from_account},
  };
  for (const auto& c : cases) {
    const ScopedVariable config("XDG_CONFIG_HOME", c.config);
    const ScopedVariable home("HOME", c.home);
    EXPECT_EQ(ToUtf8(CustomDictionaryDirectory()), c.expected)
        << (c.config ? c.config : "(unset)") << ", " << (c.home ? c.home : "(unset)");
  }
}
#else
TEST(CustomDictionaryDirectoryTest, IsTheComponentDirectory) {
  EXPECT_EQ(CustomDictionaryDirectory(), ComponentDirectory());
}
#endif

}  // namespace
}  // namespace lexivane::platform
