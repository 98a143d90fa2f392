// The images of the typing ranking's data of the embedded main list (sound_index.h,
// letter_triples.h): written by lexivane_ranking_data_compiler from the prepared tables when the
// component was built, and embedded in it (support/embed.h, 16-byte aligned, read-only). Their
// bytes as embedded, not yet checked; SharedSoundIndex() and SharedLetterTriples() read them,
// and are defined beside them in embedded_ranking_data.cc, which the tool that writes the
// images leaves out. Never throw; any thread.
#pragma once

#include <cstdint>
#include <span>

namespace lexivane {

std::span<const std::uint8_t> EmbeddedSoundIndexImage();
std::span<const std::uint8_t> EmbeddedLetterTriplesImage();

}  // namespace lexivane
