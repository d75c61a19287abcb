// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

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

// Where a ring covers the pixels of a buffer, and by how much: runs along
// rows with one level per pixel, 1..254 of 256, 255 for full, 0 for none.
// It depends on geometry alone, so one ring's coverage can be laid again in
// any colour and over anything.
struct RingCoverage {
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

// The coverage of the ring of points whose distance from (cx, cy) differs
// from `radius` by at most penWidth / 2, all in pixels, antialiased by
// distance, in a buffer of width × height. Visits only the pixels near the
// ring and inside the buffer, so its cost follows the visible length of the
// ring.
void CoverRing(int width, int height, double cx, double cy, double radius,
               double penWidth, RingCoverage& out);

// The coverage of the disc of points at most `radius` from (cx, cy), in the
// same terms.
void CoverDisc(int width, int height, double cx, double cy, double radius,
               RingCoverage& out);

// How many pixels LayCoverage blends at once: the widest the processor
// offers, or four (what every x86-64 processor has) for comparison.
enum class Lanes { Widest, Four };

// Blends the opaque colour rgb into `buffer` by the coverage, moved by
// (dx, dy) pixels; what falls outside the buffer is left out.
void LayCoverage(const PixelBuffer& buffer, const RingCoverage& coverage,
                 std::uint32_t rgb, int dx = 0, int dy = 0,
                 Lanes lanes = Lanes::Widest);

// CoverRing and LayCoverage in one, blending each pixel as it is found
// (the same pixels), without keeping anything.
void StrokeRing(const PixelBuffer& buffer, double cx, double cy, double radius,
                double penWidth, std::uint32_t rgb);

}  // namespace wave
