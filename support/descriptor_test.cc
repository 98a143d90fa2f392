#include "support/descriptor.h"

#include <fcntl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/test_support.h"

namespace lexivane::support {
namespace {

// Whole contents of every size around the reads' steps come back whole, after what the
// container held already, whether or not the caller reserved room.
TEST(Descriptor, ReadAllAppendsTheWholeContent) {
  const testing::ScratchDir dir;
  const auto file = dir.path() / "data";
  for (const std::size_t size : {0, 1, 65535, 65536, 65537, 300000}) {
    const std::vector<std::uint8_t> made = testing::TextLikeBytes(size);
    const std::string content(made.begin(), made.end());
    testing::WriteBytes(file, content);
    for (const bool reserved : {false, true}) {
      const Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
      std::string read = "before";
      if (reserved) read.reserve(read.size() + size + 1);
      ASSERT_EQ(ReadAll(fd.get(), read), 0) << size;
      ASSERT_EQ(read, "before" + content) << size << (reserved ? " reserved" : "");
    }
  }
}

// Failures come back as the error number, the content read so far kept as it was.
TEST(Descriptor, ReadAllAndWriteAllReportTheSystemsError) {
  const testing::ScratchDir dir;
  const Descriptor folder(::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  std::vector<std::uint8_t> bytes{1, 2};
  EXPECT_EQ(ReadAll(folder.get(), bytes), EISDIR);
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2}));
  const Descriptor full(::open("/dev/full", O_WRONLY | O_CLOEXEC));
  EXPECT_EQ(WriteAll(full.get(), "x"), ENOSPC);
  EXPECT_EQ(WriteAll(full.get(), ""), 0);  // nothing to write: no write at all
}

}  // namespace
}  // namespace lexivane::support
