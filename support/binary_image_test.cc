#include "support/binary_image.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

namespace lexivane::support {
namespace {

struct TestHeader {
  char magic[8];
  std::uint32_t shorts, longs;
};
constexpr char kMagic[8] = {'L', 'V', 'T', 'E', 'S', 'T', '_', '1'};

std::vector<std::uint8_t> TestImage() {
  ImageWriter writer(TestHeader{{}, 3, 2}, kMagic);
  writer.Add(std::array<std::uint16_t, 3>{1, 2, 3});
  writer.Add(std::vector<std::uint64_t>{4, 5});
  writer.Add(std::string("xyz"));
  return std::move(writer).Finish();
}

struct Read {
  bool truncated = false, foreign = false, complete = false;
  std::vector<std::uint64_t> longs;
};

Read ReadTestImage(std::span<const std::uint8_t> image) {
  ImageReader<TestHeader> reader(image, kMagic);
  Read read;
  read.truncated = reader.truncated();
  read.foreign = reader.foreign();
  if (read.truncated) return read;
  reader.Section<std::uint16_t>(reader.header().shorts);
  const auto longs = reader.Section<std::uint64_t>(reader.header().longs);
  reader.Section<char>(3);
  read.complete = reader.Complete();
  read.longs.assign(longs.begin(), longs.end());
  return read;
}

// Sections start where their elements' alignment allows, with zeros between, and read back in
// place from the same places.
TEST(BinaryImage, LaysSectionsOutAlignedAndReadsThemInPlace) {
  const std::vector<std::uint8_t> image = TestImage();
  ASSERT_EQ(image.size(), 16 + 2 * 3 + 2 + 8 * 2 + 3);
  EXPECT_EQ(std::string(image.begin(), image.begin() + 8), "LVTEST_1");
  EXPECT_EQ(image[16], 1);
  EXPECT_EQ(image[22] | image[23], 0);  // the padding before the 8-byte elements
  EXPECT_EQ(image[24], 4);
  EXPECT_EQ(std::string(image.end() - 3, image.end()), "xyz");
  const Read read = ReadTestImage(image);
  EXPECT_TRUE(read.complete && !read.foreign);
  EXPECT_EQ(read.longs, (std::vector<std::uint64_t>{4, 5}));
}

// Each damage the reader must notice before anything trusts the image.
TEST(BinaryImage, RefusesADamagedImage) {
  const std::vector<std::uint8_t> good = TestImage();
  const auto count_of_longs = [](std::uint32_t count) {
    return [count](std::vector<std::uint8_t>& image) {
      std::memcpy(image.data() + offsetof(TestHeader, longs), &count, sizeof count);
    };
  };
  const struct {
    const char* damage;
    std::function<void(std::vector<std::uint8_t>&)> apply;
    bool truncated, foreign;
  } cases[] = {
      {"shorter than the header", [](auto& image) { image.resize(15); }, true, false},
      {"another version", [](auto& image) { image[7] = '2'; }, false, true},
      {"one byte short", [](auto& image) { image.pop_back(); }, false, false},
      {"one byte more", [](auto& image) { image.push_back(0); }, false, false},
      {"a count one too many", count_of_longs(3), false, false},
      // 2^32 - 1 elements of 8 bytes: a size that must not wrap around to fit.
      {"a count past any image", count_of_longs(0xFFFFFFFF), false, false},
  };
  for (const auto& c : cases) {
    std::vector<std::uint8_t> image = good;
    c.apply(image);
    const Read read = ReadTestImage(image);
    EXPECT_EQ(read.truncated, c.truncated) << c.damage;
    EXPECT_EQ(read.foreign, c.foreign) << c.damage;
    EXPECT_FALSE(read.complete) << c.damage;
  }
  // The same bytes 4 bytes off the alignment the 8-byte elements need.
  std::vector<std::uint64_t> storage(good.size() / 8 + 2);
  auto* const shifted = reinterpret_cast<std::uint8_t*>(storage.data()) + 4;
  std::memcpy(shifted, good.data(), good.size());
  EXPECT_FALSE(ReadTestImage(std::span(shifted, good.size())).complete);
}

}  // namespace
}  // namespace lexivane::support
