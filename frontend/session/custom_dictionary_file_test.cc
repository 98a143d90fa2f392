#include "frontend/session/custom_dictionary_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "frontend/io/command_error.h"
#include "support/descriptor.h"
#include "tests/test_support.h"

namespace lexivane::frontend {
namespace {

using Missing = CustomDictionaryFile::Missing;

std::string Read(const std::filesystem::path& file) {
  const auto bytes = lexivane::testing::ReadBytes(file);
  return std::string(bytes.begin(), bytes.end());
}

// Loading on a thread of its own, whose custom dictionary starts empty: whether a file was
// loaded, whether "wrold" is accepted after it, and the error message if any.
struct Loaded {
  bool loaded = false;
  bool accepts = false;
  std::string error;
};
Loaded Load(const CustomDictionaryFile& file) {
  Loaded result;
  std::thread([&] {
    SpellCheck engine;
    engine.Init();
    try {
      result.loaded = file.LoadInto(engine);
    } catch (const CommandError& error) {
      result.error = error.what();
    }
    result.accepts = engine.CheckWord(u"wrold");
  }).join();
  return result;
}

TEST(CustomDictionaryFile, AMissingFileIsNoneOnlyWhereSavingMakesIt) {
  lexivane::testing::ScratchDir dir;
  const std::string words = (dir.path() / "words.dic").string();
  const std::string missing = (dir.path() / "missing.dic").string();
  const std::string in_a_file = (dir.path() / "words.dic" / "x.dic").string();
  lexivane::testing::WriteBytes(words, "wrold\r\n");
  const struct {
    std::string file;
    Missing missing;
    bool loaded;
    std::string error;
  } cases[] = {
      {words, Missing::kRefused, true, ""},
      {missing, Missing::kNoneUntilMade, false, ""},
      {in_a_file, Missing::kNoneUntilMade, false, ""},
      {missing, Missing::kRefused, false, ": cannot read the custom dictionary: No such file"},
      {dir.path().string(), Missing::kNoneUntilMade, false,
       ": cannot read the custom dictionary: Is a directory"},
  };
  for (const auto& c : cases) {
    const Loaded result = Load(CustomDictionaryFile(c.file, c.missing));
    EXPECT_EQ(result.loaded, c.loaded) << c.file;
    EXPECT_EQ(result.accepts, c.loaded) << c.file;
    if (c.error.empty()) {
      EXPECT_EQ(result.error, "") << c.file;
    } else {
      EXPECT_EQ(result.error.rfind(c.file + c.error, 0), 0u) << result.error;
    }
  }
}

// Two programs adding to one file: each save keeps what the other added since it loaded.
TEST(CustomDictionaryFile, AddingWordsKeepsWhatTheFileHoldsNow) {
  lexivane::testing::ScratchDir dir;
  const std::filesystem::path path = dir.path() / "shared.dic";
  const CustomDictionaryFile file(path.string(), Missing::kNoneUntilMade);
  EXPECT_TRUE(Load(file).error.empty());  // both programs start with no file
  file.AddWords({u"wrold"});
  file.AddWords({u"helo", u"wrold", u"WROLD"});  // the second program; no word twice
  // Words of the word list too; never a word too short to be an entry; a character without a
  // byte is "?", and a word whose line is there already is not added again.
  file.AddWords({u"sword", u"Sword", u"x", u"\u0100bc", u"Stra\u00DFe"});
  const auto before = file.Stamp();
  file.AddWords({u"wrold", u"SWORD", u"\u0101bc", u"?BC", u"STRA\u1E9EE"});
  EXPECT_EQ(file.Stamp(), before);  // nothing new, nothing written
  EXPECT_EQ(Read(path), "wrold\r\nhelo\r\nsword\r\n?bc\r\nStra\337e\r\n");  // \337 is \xDF
  EXPECT_TRUE(Load(file).accepts);
}

// Other programs' files: LF, CR LF and CR lines are read alike, and a file is written in the line
// ends of its first line, with its bytes kept (the e-acute of Windows-1252 is E9).
TEST(CustomDictionaryFile, LinesEndAsTheFileEndsThem) {
  lexivane::testing::ScratchDir dir;
  const struct {
    std::string before, after;
  } cases[] = {
      {"personal_ws-1.1 en 0\nwrold\nLinux\ncaf\xE9x\n",
       "personal_ws-1.1 en 0\nwrold\nLinux\ncaf\xE9x\nhelo\n"},
      {"wrold\ncaf\xE9x", "wrold\ncaf\xE9x\nhelo\n"},  // the last line without an end
      {"wrold\rlinux\rcaf\xE9x\r", "wrold\rlinux\rcaf\xE9x\rhelo\r"},
      {"wrold\r\ncaf\xE9x\ncheez\r\n", "wrold\r\ncaf\xE9x\r\ncheez\r\nhelo\r\n"},
      {"wrold\ncaf\xE9x\r\n", "wrold\ncaf\xE9x\nhelo\n"},
      {"", "helo\r\nWROLD\r\n"},
      {"Wrold\r\ncaf\xE9x\r\n", "Wrold\r\ncaf\xE9x\r\nhelo\r\n"},
  };
  for (const auto& c : cases) {
    const std::filesystem::path path = dir.path() / "words.dic";
    lexivane::testing::WriteBytes(path, c.before);
    std::filesystem::permissions(path, std::filesystem::perms(0640));
    const CustomDictionaryFile file(path.string());
    std::thread([&] {
      SpellCheck engine;
      engine.Init();
      AcceptedNames names;  // the names of the word list, in small letters, for the names rule
      file.LoadInto(engine, &names);
      EXPECT_EQ(engine.CheckWord(u"wrold") && engine.CheckWord(u"caf\u00E9x"), !c.before.empty())
          << c.before;
      const bool has_name = c.before.find("inux") != std::string::npos;
      EXPECT_EQ(names, has_name ? AcceptedNames{u"linux"} : AcceptedNames{}) << c.before;
    }).join();
    file.AddWords({u"helo", u"WROLD"});
    EXPECT_EQ(Read(path), c.after);
    EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0640));
  }
  // A link stays a link, and the file it leads to is written.
  const std::filesystem::path link = dir.path() / "link.dic";
  std::filesystem::create_symlink("words.dic", link);
  lexivane::testing::WriteBytes(dir.path() / "words.dic", "wrold\n");
  CustomDictionaryFile(link.string()).AddWords({u"helo"});
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(Read(dir.path() / "words.dic"), "wrold\nhelo\n");
}

// Saves at the same instant, from several threads as from several processes, follow one another
// under the lock: none writes the file as it was before another's save.
TEST(CustomDictionaryFile, SavesAtTheSameInstantKeepEveryWord) {
  lexivane::testing::ScratchDir dir;
  const std::filesystem::path path = dir.path() / "shared.dic";
  for (const std::string start : {"", "wrold\n"}) {  // the engine's save, and the LF one
    lexivane::testing::WriteBytes(path, start);
    std::vector<std::thread> savers;
    for (char16_t saver = u'a'; saver < u'e'; ++saver) {
      savers.emplace_back([&, saver] {
        for (char16_t n = u'a'; n < u'k'; ++n) {
          CustomDictionaryFile(path.string()).AddWords({std::u16string(u"qz") + saver + n});
        }
      });
    }
    for (std::thread& saver : savers) saver.join();
    const std::string saved = Read(path);
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 40 + !start.empty()) << saved;
  }
}

// A lock file that cannot serve stops the save before anything is written: another save may
// hold it, and going on without it could lose that save's words or this one's.
TEST(CustomDictionaryFile, ALockFileThatCannotServeStopsTheSave) {
  lexivane::testing::ScratchDir dir;
  const std::filesystem::path path = dir.path() / "w.dic";
  const std::filesystem::path lock = std::filesystem::canonical(dir.path()) / ".w.dic.lock";
  const struct {
    std::function<void()> make;
    std::string reason;
  } cases[] = {
      {[&] { std::filesystem::create_symlink("w.dic", lock); }, " is a symbolic link"},
      {[&] { std::filesystem::create_directory(lock); }, " is not a regular file"},
      {[&] {
         lexivane::testing::WriteBytes(lock, "");
         std::filesystem::permissions(lock, std::filesystem::perms::none);
       },
       ": Permission denied"},
  };
  for (const auto& c : cases) {
    if (c.reason.starts_with(": ") && ::geteuid() == 0) continue;  // root opens it anyway
    lexivane::testing::WriteBytes(path, "wrold\r\n");
    std::filesystem::remove_all(lock);
    c.make();
    try {
      CustomDictionaryFile(path.string()).AddWords({u"helo"});
      ADD_FAILURE() << "no error" << c.reason;
    } catch (const CommandError& error) {
      const std::string lock_file =
          c.reason.starts_with(": ") ? "cannot open the lock file " : "the lock file ";
      EXPECT_EQ(error.what(), path.string() + ": cannot save the custom dictionary: " + lock_file +
                                  lock.string() + c.reason);
    }
    EXPECT_EQ(Read(path), "wrold\r\n");
  }
}

// A save that cannot make the lock file (in a folder that refuses it new files, where it writes
// in place) holds a lock on the dictionary itself; every save waits for that lock too, and then
// adds to the file as that save left it.
TEST(CustomDictionaryFile, SavesWaitForALockOnTheDictionaryItself) {
  lexivane::testing::ScratchDir dir;
  const std::filesystem::path path = dir.path() / "w.dic";
  lexivane::testing::WriteBytes(path, "wrold\n");
  support::Descriptor other_save(::open(path.c_str(), O_RDWR | O_CLOEXEC));
  ASSERT_EQ(::flock(other_save.get(), LOCK_EX), 0);
  std::thread save([&] { CustomDictionaryFile(path.string()).AddWords({u"helo"}); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(Read(path), "wrold\n");
  EXPECT_EQ(::pwrite(other_save.get(), "cheez\n", 6, 6), 6);
  other_save.Close();
  save.join();
  EXPECT_EQ(Read(path), "wrold\ncheez\nhelo\n");

  if (::geteuid() == 0) return;  // root makes files in any folder
  std::filesystem::remove(dir.path() / ".w.dic.lock");
  std::filesystem::permissions(
      dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  CustomDictionaryFile(path.string()).AddWords({u"zorgx"});
  std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
  EXPECT_EQ(Read(path), "wrold\ncheez\nhelo\nzorgx\n");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / ".w.dic.lock"));
}

TEST(CustomDictionaryFile, AFailedSaveLeavesTheFileAndSaysWhy) {
  lexivane::testing::ScratchDir dir;
  const std::string in_missing_folder = (dir.path() / "none" / "x.dic").string();
  try {
    CustomDictionaryFile(in_missing_folder, Missing::kNoneUntilMade).AddWords({u"wrold"});
    ADD_FAILURE() << "no error";
  } catch (const CommandError& error) {
    EXPECT_EQ(std::string(error.what())
                  .rfind(in_missing_folder + ": cannot save the custom dictionary: ", 0),
              0u)
        << error.what();
  }
  EXPECT_FALSE(std::filesystem::exists(in_missing_folder));
  // A file that cannot be read is never written over.
  const std::filesystem::path unreadable = dir.path() / "unreadable.dic";
  lexivane::testing::WriteBytes(unreadable, "mine\r\n");
  std::filesystem::permissions(unreadable, std::filesystem::perms::none);
  if (::geteuid() != 0) {  // root reads anyway
    EXPECT_THROW(CustomDictionaryFile(unreadable.string()).AddWords({u"wrold"}), CommandError);
  }
  std::filesystem::permissions(unreadable, std::filesystem::perms::owner_all);
  EXPECT_EQ(Read(unreadable), "mine\r\n");
}

}  // namespace
}  // namespace lexivane::frontend
