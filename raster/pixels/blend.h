// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "raster/pixels/pixels.h"

namespace wave {

// Where a ring covers the pixels of a buffer, and by how much: runs along
// rows with one level per pixel, 1..254 of 256, 255 for full, 0 for none.
// It depends on geometry alone, so one ring's coverage can be laid again in
// any colour and over anything.
struct CoverageRuns {
  struct Span {
    int y, x, count;
    std::uint32_t first;  // its first level in `levels`
  };
  std::vector<Span> spans;
  // Each span's levels padded with 0 (no change) to a multiple of 8, and 8
  // more at the end.
  std::vector<std::uint8_t> levels;

  void clear() {
    spans.clear();
    levels.clear();
  }
  std::size_t bytes() const {
    return spans.capacity() * sizeof(Span) + levels.capacity();
  }
};

// Levels as kept: 1..254 of 256, 255 for full, and 0 for no change.
inline std::uint8_t StoredLevel(unsigned level) {
  return static_cast<std::uint8_t>(std::min(level, 255u));
}

// The opaque colour laid on a pixel at a kept level.
inline void LayPixel(std::uint32_t& pixel, std::uint32_t colour,
                     unsigned kept) {
  if (kept == 0) return;
  pixel = kept == 255 ? colour : BlendPixel(pixel, colour, kept);
}

// How many pixels LayCoverage blends at once: the widest the processor
// offers, or four (what every x86-64 processor has) for comparison.
enum class Lanes { Widest, Four };

// Blends the opaque colour rgb into `buffer` by the coverage, moved by
// (dx, dy) pixels; what falls outside the buffer is left out.
void LayCoverage(const PixelBuffer& buffer, const CoverageRuns& coverage,
                 std::uint32_t rgb, int dx = 0, int dy = 0,
                 Lanes lanes = Lanes::Widest);

// LayCoverage for the spans whose rows, moved by dy, lie in [top, bottom),
// looking from span `from` on (spans go down the rows). Returns the first
// span below the band, where the next band down can start looking.
std::size_t LayCoverageRows(const PixelBuffer& buffer,
                            const CoverageRuns& coverage, std::uint32_t rgb,
                            int dx, int dy, int top, int bottom,
                            std::size_t from, Lanes lanes = Lanes::Widest);

}  // namespace wave
