// A word's bytes read a few at a time: a hash and an equality test for the lookups that run once
// for every word of a text, where a loop over the bytes costs more than the word is long.
//
// Every read stays within the bytes given: a word of 4 to 8 bytes is read as two 4-byte loads
// that overlap when they must, one of 9 to 16 as two 8-byte loads, and a longer one 16 bytes at
// a time with the last 16 read in two loads. Header only, no state: any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lexivane::support {

inline std::uint64_t Read64(const unsigned char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}
inline std::uint64_t Read32(const unsigned char* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// The high and low halves of the full product, folded: each bit of either factor reaches most
// bits of the result.
inline std::uint64_t Mix(std::uint64_t a, std::uint64_t b) {
  const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
  return static_cast<std::uint64_t>(product) ^ static_cast<std::uint64_t>(product >> 64);
}

inline constexpr std::uint64_t kHashSeed0 = 0xA0761D6478BD642Full;
inline constexpr std::uint64_t kHashSeed1 = 0xE7037ED1A0B428DBull;

// The bytes of a word of 1 to 8 bytes in one number: with the length, it tells the word apart
// from every other (overlapping loads for 4 to 8 bytes, the first, middle and last below 4).
inline std::uint64_t ShortKey(const unsigned char* p, std::size_t bytes) {
  if (bytes >= 4) return Read32(p) | Read32(p + bytes - 4) << 32;
  return std::uint64_t{p[0]} | std::uint64_t{p[bytes >> 1]} << 8 |
         std::uint64_t{p[bytes - 1]} << 16;
}

// The hash of a word of 1 to 8 bytes from its ShortKey.
inline std::uint64_t ShortHash(std::uint64_t key, std::size_t bytes) {
  return Mix(key ^ kHashSeed1, bytes ^ kHashSeed0);
}

// The hash of a word of more than 8 bytes, 16 bytes a step.
inline std::uint64_t LongHash(const unsigned char* p, std::size_t bytes) {
  const unsigned char* const end = p + bytes;
  std::uint64_t seed = kHashSeed0 ^ bytes;
  if (bytes <= 16) return Mix(Read64(p) ^ kHashSeed1, Read64(end - 8) ^ seed);
  for (; end - p > 16; p += 16) seed = Mix(Read64(p) ^ kHashSeed1, Read64(p + 8) ^ seed);
  return Mix(Read64(end - 16) ^ kHashSeed1, Read64(end - 8) ^ seed);
}

// The hash of a word of any length, 0 bytes included.
inline std::uint64_t HashBytes(const void* data, std::size_t bytes) {
  const auto* p = static_cast<const unsigned char*>(data);
  if (bytes > 8) return LongHash(p, bytes);
  return bytes == 0 ? ShortHash(0, 0) : ShortHash(ShortKey(p, bytes), bytes);
}

// Whether the `bytes` bytes at a and at b are the same.
inline bool EqualBytes(const void* a, const void* b, std::size_t bytes) {
  const auto* p = static_cast<const unsigned char*>(a);
  const auto* q = static_cast<const unsigned char*>(b);
  if (bytes >= 8) {
    for (std::size_t at = 0; at + 8 < bytes; at += 8) {
      if (Read64(p + at) != Read64(q + at)) return false;
    }
    return Read64(p + bytes - 8) == Read64(q + bytes - 8);
  }
  if (bytes >= 4) return ShortKey(p, bytes) == ShortKey(q, bytes);
  for (std::size_t at = 0; at < bytes; ++at) {
    if (p[at] != q[at]) return false;
  }
  return true;
}

}  // namespace lexivane::support
