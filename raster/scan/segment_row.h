// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

// The coverage of one row of pixels by a wide segment with round ends,
// shared by the loops of each instruction set (segment_row_sse2.cpp,
// segment_row_plain.cpp); the build takes the one its processor has.
namespace wave::segment {

// A segment from (x0, y0) along the unit vector (ux, uy) for `length`,
// with a pen of half width `half`; a pixel is covered by
// clamp(half + 0.5 − distance of its centre, 0, 1).
struct Frame {
  double x0, y0, ux, uy, length, half;
  double outer2;  // squared distance beyond which nothing is covered
  double inner2;  // and within which everything, or −1
};

inline Frame FrameOf(double x0, double y0, double x1, double y1, double pen) {
  const double dx = x1 - x0, dy = y1 - y0;
  const double length = std::sqrt(dx * dx + dy * dy);
  const double half = pen / 2;
  const double reach = half + 0.5;
  return {x0,
          y0,
          length > 0 ? dx / length : 1,
          length > 0 ? dy / length : 0,
          length,
          half,
          reach * reach,
          half > 0.5 ? (half - 0.5) * (half - 0.5) : -1};
}

// Raises row[x] for x in [from, right] to the segment's level at the row's
// centre yc, pixel by pixel. Where lines pile up most pixels are full
// already, and inside the pen or beyond its reach the square root would
// give the same level: those take none.
inline void CoverPixels(std::uint8_t* row, int from, int right, double yc,
                        const Frame& f) {
  for (int x = from; x <= right; ++x) {
    if (row[x] == 255) continue;
    const double qx = x + 0.5 - f.x0;
    const double qy = yc - f.y0;
    const double t = std::clamp(qx * f.ux + qy * f.uy, 0.0, f.length);
    const double ex = qx - t * f.ux;
    const double ey = qy - t * f.uy;
    const double squared = ex * ex + ey * ey;
    if (squared >= f.outer2) continue;
    if (squared <= f.inner2) {
      row[x] = 255;
      continue;
    }
    const double c = std::clamp(f.half + 0.5 - std::sqrt(squared), 0.0, 1.0);
    row[x] = std::max(row[x], static_cast<std::uint8_t>(c * 255 + 0.5));
  }
}

// The same for [left, right], as fast as the processor allows.
void CoverRow(std::uint8_t* row, int left, int right, double yc,
              const Frame& f);

}  // namespace wave::segment
