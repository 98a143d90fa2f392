// A checked binary image: data that one program lays out (a build-time tool, or the library at
// run time) and another reads in place, without parsing or copying. An image is a header, then
// its sections:
//
//  - the header is a trivially copyable struct whose first member is `char magic[8]`: seven
//    characters that name the format and one that is its version ('1', '2', ...), followed by
//    the counts that the sections' sizes follow from;
//  - each section is an array of trivially copyable elements that starts at the next offset its
//    element's alignment allows (the bytes skipped are zero), so that an image placed at an
//    address aligned for its widest element can be read in place.
//
// Numbers are stored as the machine holds them: little-endian on every machine that makes or
// reads the images (x86-64 and AArch64, Linux and Windows).
//
// ImageWriter lays an image out. ImageReader checks one before anything trusts it: that the
// header fits, that the magic is the format's, and that every section asked for lies inside the
// image at an aligned address, with no byte left over. It says which check failed; the format
// decides what to make of that (its own error, its own words), and checks what only it knows,
// such as the values inside the sections. A reader's sections point into the image, which must
// outlive them. Both are objects of one thread; a checked image may be read from any thread.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <ranges>
#include <span>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace lexivane::support {

inline constexpr std::size_t kMagicSize = 8;
using ImageMagic = char[kMagicSize];

namespace image_detail {
constexpr std::size_t AlignUp(std::size_t at, std::size_t alignment) {
  return (at + alignment - 1) / alignment * alignment;
}
}  // namespace image_detail

class ImageWriter {
 public:
  // Starts the image with `header`, its magic set to `magic`.
  template <typename Header>
  ImageWriter(Header header, const ImageMagic& magic) {
    static_assert(std::is_trivially_copyable_v<Header>);
    std::memcpy(header.magic, magic, kMagicSize);
    image_.resize(sizeof header);
    std::memcpy(image_.data(), &header, sizeof header);
  }

  // Appends the next section: the elements of a contiguous range (a vector, an array, a string).
  template <std::ranges::contiguous_range Range>
  void Add(const Range& elements) {
    using Element = std::ranges::range_value_t<Range>;
    static_assert(std::is_trivially_copyable_v<Element>);
    const std::size_t at = image_detail::AlignUp(image_.size(), alignof(Element));
    const std::size_t bytes = sizeof(Element) * std::ranges::size(elements);
    image_.resize(at + bytes, 0);
    // An empty vector may hold no storage at all.
    if (bytes != 0) std::memcpy(image_.data() + at, std::ranges::data(elements), bytes);
  }

  std::vector<std::uint8_t> Finish() && { return std::move(image_); }

 private:
  std::vector<std::uint8_t> image_;
};

template <typename Header>
class ImageReader {
 public:
  // Reads the header of `image`, a copy of which header() gives.
  ImageReader(std::span<const std::uint8_t> image, const ImageMagic& magic) : image_(image) {
    static_assert(std::is_trivially_copyable_v<Header>);
    truncated_ = image.size() < sizeof(Header);
    if (truncated_) return;
    std::memcpy(&header_, image.data(), sizeof(Header));
    foreign_ = std::memcmp(header_.magic, magic, kMagicSize) != 0;
    end_ = sizeof(Header);
  }

  // Shorter than the header; nothing else is known then.
  bool truncated() const { return truncated_; }
  // The magic (name or version) is not the format's.
  bool foreign() const { return foreign_; }
  const Header& header() const { return header_; }

  // The next section, of `count` elements; empty, and the image not complete, when it does not
  // fit in what is left of the image or is misaligned there.
  template <typename Element>
  std::span<const Element> Section(std::uint64_t count) {
    static_assert(std::is_trivially_copyable_v<Element>);
    const std::size_t at = image_detail::AlignUp(end_, alignof(Element));
    // Counts come from the header, which may be damaged: compared so that nothing overflows.
    if (broken_ || at > image_.size() || count > (image_.size() - at) / sizeof(Element) ||
        reinterpret_cast<std::uintptr_t>(image_.data() + at) % alignof(Element) != 0) {
      broken_ = true;
      return {};
    }
    end_ = at + sizeof(Element) * static_cast<std::size_t>(count);
    return {reinterpret_cast<const Element*>(image_.data() + at), static_cast<std::size_t>(count)};
  }

  // True when the header fitted with the format's magic, and every section asked for fitted,
  // aligned, with the last one ending where the image does.
  bool Complete() const { return !truncated_ && !foreign_ && !broken_ && end_ == image_.size(); }

 private:
  std::span<const std::uint8_t> image_;
  Header header_{};
  bool truncated_ = false, foreign_ = false, broken_ = false;
  std::size_t end_ = 0;
};

// The files of the build-time tools that make images: the whole file at `path` (in a vector,
// whose storage is aligned for any scalar, as an image read in place needs), or nothing when it
// cannot be read; and `image` written to the file at `path`, false when it cannot be.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path);
bool WriteImageFile(const std::string& path, std::span<const std::uint8_t> image);

}  // namespace lexivane::support
