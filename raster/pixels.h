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

}  // namespace wave
