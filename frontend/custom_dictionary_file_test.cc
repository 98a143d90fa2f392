#include "frontend/custom_dictionary_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>

#include "frontend/command_error.h"
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
  file.AddWords({u"wrold"});                     // nothing new: nothing written
  EXPECT_EQ(Read(path), "wrold\r\nhelo\r\n");
  EXPECT_TRUE(Load(file).accepts);
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
