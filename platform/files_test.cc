#include "platform/files.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <string>

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
using ::testing::AllOf;
using ::testing::HasSubstr;
using lexivane::testing::ErrorFrom;

// A fresh directory per test, under LEXIVANE_TEST_TMP when the test runner names one.
class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* base = std::getenv("LEXIVANE_TEST_TMP");
    const fs::path parent =
        base != nullptr && *base != '\0' ? fs::path(base) : fs::temp_directory_path();
    fs::create_directories(parent);
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = parent /
           (std::string("lexivane-") + info->name() + "-" + std::to_string(std::random_device()()));
    fs::remove_all(dir_);
    fs::create_directory(dir_);
  }

  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::u16string PathOf(const std::u16string& name) const {
    return FromUtf8(dir_.string()) + u"/" + name;
  }

  fs::path dir_;
};

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

std::string Quoted(std::u16string_view path) {
  std::string quoted = "'";
  quoted += ToUtf8(path);
  quoted += '\'';
  return quoted;
}

std::string Bytes(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST_F(FilesTest, RoundTripsEveryByteValue) {
  std::string all;
  for (int round = 0; round < 2; ++round) {
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  }
  const std::u16string path = PathOf(u"bytes.bin");
  WriteFileBytes(path, all);
  EXPECT_EQ(Bytes(ReadFileBytes(path)), all);
  EXPECT_EQ(fs::file_size(dir_ / "bytes.bin"), all.size());
}

TEST_F(FilesTest, WriteCreatesTruncatesAndWritesEmptyFiles) {
  const std::u16string path = PathOf(u"custom.dic");
  WriteFileBytes(path, "a much longer first content\r\n");
  WriteFileBytes(path, "short\r\n");
  EXPECT_EQ(Bytes(ReadFileBytes(path)), "short\r\n");

  WriteFileBytes(path, "");
  EXPECT_TRUE(fs::exists(dir_ / "custom.dic"));
  EXPECT_TRUE(ReadFileBytes(path).empty());
  EXPECT_EQ(Tree(dir_), std::set<std::string>{"custom.dic"});
#ifndef _WIN32
  const mode_t umask = ::umask(0);
  ::umask(umask);
  EXPECT_EQ(fs::status(dir_ / "custom.dic").permissions(), fs::perms(0666 & ~umask));
#endif
}

TEST_F(FilesTest, HandlesAMillionLines) {
  std::string content;
  content.reserve(12'000'000);
  for (int i = 0; i < 1'000'000; ++i) content += "word" + std::to_string(i) + "\r\n";
  const std::u16string path = PathOf(u"large.dic");
  WriteFileBytes(path, content);
  EXPECT_TRUE(Bytes(ReadFileBytes(path)) == content);
}

TEST_F(FilesTest, PathsAreUnicode) {
  const std::u16string name = u"café-\U00010400.dic";
  WriteFileBytes(PathOf(name), "x");
  EXPECT_TRUE(fs::exists(dir_ / fs::u8path(ToUtf8(name))));
  EXPECT_EQ(Bytes(ReadFileBytes(PathOf(name))), "x");
}

TEST_F(FilesTest, ReadingAMissingFileNamesPathAndOperation) {
  const std::u16string path = PathOf(u"missing.dic");
  const Error error = ErrorFrom([&] { ReadFileBytes(path); });
  EXPECT_EQ(error.number(), ENOENT);
  EXPECT_THAT(error.what(),
              AllOf(HasSubstr(Quoted(path)), HasSubstr("reading"), HasSubstr("No such file")));
}

TEST_F(FilesTest, WritingIntoAMissingDirectoryFails) {
  const std::u16string path = PathOf(u"no-such-dir/custom.dic");
  const Error error = ErrorFrom([&] { WriteFileBytes(path, "word\r\n"); });
  EXPECT_EQ(error.number(), ENOENT);
  EXPECT_THAT(error.what(), AllOf(HasSubstr(Quoted(path)), HasSubstr("writing")));
}

TEST_F(FilesTest, DirectoriesAreRefusedBothWays) {
  const std::u16string path = FromUtf8(dir_.string());
  EXPECT_EQ(ErrorFrom([&] { ReadFileBytes(path); }).number(), EISDIR);
  EXPECT_EQ(ErrorFrom([&] { WriteFileBytes(path, "x"); }).number(), EISDIR);
}

TEST_F(FilesTest, AnEmbeddedNulIsRefusedRatherThanCut) {
  // Cut at the NUL, this path would name the existing file "real".
  WriteFileBytes(PathOf(u"real"), "keep");
  const std::u16string path = PathOf(std::u16string(u"real\0.dic", 9));
  const Error error = ErrorFrom([&] { ReadFileBytes(path); });
  EXPECT_EQ(error.number(), EINVAL);
  EXPECT_THAT(error.what(), HasSubstr("real\\0.dic'"));
  EXPECT_EQ(ErrorFrom([&] { WriteFileBytes(path, "lost"); }).number(), EINVAL);
  DeleteFileQuietly(path);
  EXPECT_EQ(Bytes(ReadFileBytes(PathOf(u"real"))), "keep");
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
    int number = 0;
    try {
      WriteFileBytes(path, bytes);
    } catch (const Error& error) {
      number = error.number();
    }
    ::_exit(number);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// The file is replaced whole or not at all, whichever name leads to it: a failed write leaves
// the old content, a successful one keeps the permission bits, and links stay links.
TEST_F(FilesTest, AWriteReplacesTheFileWholeOrNotAtAll) {
  struct Link {
    const char* name;
    const char* target;
    bool absolute;
  };
  const struct {
    const char* file;
    bool exists;
    std::vector<Link> links;
    const char* written;
  } cases[] = {
      {"dict", true, {}, "dict"},
      {"sub/dict", true, {{"link", "sub/dict", false}}, "link"},
      {"dict", true, {{"link", "dict", true}, {"chain", "link", false}}, "chain"},
      {"sub/dict", false, {{"link", "sub/dict", false}}, "link"},  // dangling: creates the file
  };
  const std::string content(64 * 1024, 'n');
  int row = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written + std::string(" -> ") + c.file);
    const fs::path dir = dir_ / ("case" + std::to_string(row++));
    fs::create_directories(dir / "sub");
    if (c.exists) {
      lexivane::testing::WriteBytes(dir / c.file, "old\r\n");
      fs::permissions(dir / c.file, fs::perms(0751));
    }
    for (const Link& link : c.links) {
      fs::create_symlink(link.absolute ? dir / link.target : fs::path(link.target),
                         dir / link.name);
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
      EXPECT_EQ(fs::status(dir / c.file).permissions(), fs::perms(0751));
    }
  }
}

// Devices and FIFOs are written into as they are, never replaced by a regular file.
TEST_F(FilesTest, SpecialFilesAreWrittenIntoDirectly) {
  const struct {
    const char* device;
    int number;
  } devices[] = {{"/dev/null", 0}, {"/dev/full", ENOSPC}};
  for (const auto& [device, number] : devices) {
    if (!fs::is_character_file(device)) continue;
    Error thrown(0, "");
    try {
      WriteFileBytes(FromUtf8(device), "word\r\n");
    } catch (const Error& error) {
      thrown = error;
    }
    EXPECT_EQ(thrown.number(), number) << device;
    if (number != 0) {
      EXPECT_THAT(thrown.what(), HasSubstr("cannot write '" + std::string(device)));
    }
    EXPECT_TRUE(fs::is_character_file(device)) << device;
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
  EXPECT_EQ(ErrorFrom([&] { WriteFileBytes(PathOf(u"sealed/new.dic"), "x"); }).number(), EACCES);
  const Error error = ErrorFrom([&] { CreateDirectories(PathOf(u"sealed/new/deeper")); });
  EXPECT_EQ(error.number(), EACCES);
  EXPECT_THAT(error.what(), HasSubstr("directory " + Quoted(PathOf(u"sealed/new")) + " for " +
                                      Quoted(PathOf(u"sealed/new/deeper"))));
  fs::permissions(dir_ / "sealed", fs::perms::owner_all);
}
#endif

TEST_F(FilesTest, CreateDirectoriesMakesWhatIsMissing) {
  CreateDirectories(PathOf(u"a/b/c"));
  CreateDirectories(PathOf(u"a/b/c/"));  // existing already
  CreateDirectories(PathOf(u"a"));
  EXPECT_TRUE(fs::is_directory(dir_ / "a/b/c"));
#ifndef _WIN32
  const mode_t umask = ::umask(0);
  ::umask(umask);
  for (const char* made : {"a", "a/b", "a/b/c"}) {
    EXPECT_EQ(fs::status(dir_ / made).permissions(), fs::perms(0700 & ~umask)) << made;
  }
#endif

  WriteFileBytes(PathOf(u"file"), "x");
  const struct {
    std::u16string path;
    int number;
  } failures[] = {
#ifdef _WIN32
      {u"file", ERROR_ALREADY_EXISTS},
#else
      {u"file", ENOTDIR},
      {u"file/sub", ENOTDIR},
#endif
      {std::u16string(u"a\0b", 3), EINVAL},
  };
  for (const auto& failure : failures) {
    const Error error = ErrorFrom([&] { CreateDirectories(PathOf(failure.path)); });
    EXPECT_EQ(error.number(), failure.number) << Quoted(failure.path);
    EXPECT_THAT(error.what(), HasSubstr("cannot create directory '"));
  }
}

TEST_F(FilesTest, DeleteRemovesAFileAndIgnoresFailures) {
  const std::u16string path = PathOf(u"gone.dic");
  WriteFileBytes(path, "x");
  DeleteFileQuietly(path);
  EXPECT_FALSE(fs::exists(dir_ / "gone.dic"));
  DeleteFileQuietly(path);
  DeleteFileQuietly(PathOf(u"no-such-dir/x"));
  DeleteFileQuietly(u"");
}

TEST(ComponentDirectoryTest, IsTheAbsoluteDirectoryOfTheComponentFile) {
  const std::u16string directory = ComponentDirectory();
  ASSERT_FALSE(directory.empty());
  EXPECT_NE(directory.back(), PathSeparator());
  const fs::path path = fs::u8path(ToUtf8(directory));
  EXPECT_TRUE(path.is_absolute()) << path;
  EXPECT_TRUE(fs::is_directory(path)) << path;
#ifdef __linux__
  // The tests link the component into their own program.
  EXPECT_TRUE(fs::equivalent(path, fs::read_symlink("/proc/self/exe").parent_path())) << path;
#endif
}

#ifndef _WIN32
// Sets or removes an environment variable for the life of the object.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;
  ~ScopedVariable() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
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
