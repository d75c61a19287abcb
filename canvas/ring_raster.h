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

// Strokes the ring of points whose distance from (cx, cy) differs from
// `radius` by at most penWidth / 2, all in pixels, antialiased by distance,
// in an opaque colour. Visits only the pixels near the ring and inside the
// buffer, so its cost follows the visible length of the ring.
void StrokeRing(const PixelBuffer& buffer, double cx, double cy, double radius,
                double penWidth, std::uint32_t rgb);

}  // namespace wave
