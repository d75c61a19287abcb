// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace wave {

// A 32-bit pixel buffer, 0xAARRGGBB, rows `stride` pixels apart.
struct PixelBuffer {
  std::uint32_t* pixels;
  int width;
  int height;
  std::ptrdiff_t stride;
};

// dst with the opaque colour src laid over it at alpha/256 coverage.
inline std::uint32_t BlendPixel(std::uint32_t dst, std::uint32_t src,
                                unsigned alpha) {
  const unsigned inv = 256 - alpha;
  const std::uint32_t rb =
      (((src & 0xFF00FFu) * alpha + (dst & 0xFF00FFu) * inv) >> 8) & 0xFF00FFu;
  const std::uint32_t g =
      (((src & 0x00FF00u) * alpha + (dst & 0x00FF00u) * inv) >> 8) & 0x00FF00u;
  return 0xFF000000u | rb | g;
}

// floor and ceil of v, clamped to [lo, hi]. Without SSE4.1 the library's
// floor is a long sequence, and the rasterisers need several for each row.
inline int FloorWithin(double v, int lo, int hi) {
  if (!(v > lo)) return lo;
  if (v >= hi) return hi;
  const int i = static_cast<int>(v);
  return i - (i > v);
}
inline int CeilWithin(double v, int lo, int hi) {
  if (!(v > lo)) return lo;
  if (v >= hi) return hi;
  const int i = static_cast<int>(v);
  return i + (i < v);
}

// Pixels as bits, in cells of 8 × 8 (row by row in a 64-bit word), cells
// row by row `cellsX` to a row: those painted over by what comes later.
struct CellMask {
  const std::uint64_t* cells = nullptr;
  int cellsX = 0;
  // Whether every pixel [x0, x1] of row y is set.
  bool Covers(int y, int x0, int x1) const {
    const int shift = (y & 7) * 8;
    const std::uint64_t* row =
        cells + static_cast<std::ptrdiff_t>(y >> 3) * cellsX;
    for (int c = x0 >> 3; c <= x1 >> 3; ++c) {
      const int from = c == x0 >> 3 ? x0 & 7 : 0;
      const int to = c == x1 >> 3 ? x1 & 7 : 7;
      const unsigned need = (0xFFu >> (7 - to)) & (0xFFu << from) & 0xFFu;
      if (((row[c] >> shift) & need) != need) return false;
    }
    return true;
  }
};

}  // namespace wave
