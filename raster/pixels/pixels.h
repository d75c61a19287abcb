// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
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

// Pixels as bits, in cells of 8 × 8 (row by row in a 64-bit word), cells
// row by row `cellsX` to a row: those painted over by what comes later.
struct CellMask {
  const std::uint64_t* cells = nullptr;
  int cellsX = 0;
  int cellsY = 0;
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

// The boxes a CellMask sets whole, as far as its whole cells tell, each
// told at once: a count of whole cells above and left of each corner. A
// ring's arc in a band of rows is passed over so, without finding each row
// of it (at wavelength 0.1 the markers cover half of the window, and the
// rows under them cost a fifth of the frame).
class WholeCells {
 public:
  void Count(const CellMask& mask) {
    cellsX_ = mask.cellsX;
    cellsY_ = mask.cellsY;
    const std::size_t stride = static_cast<std::size_t>(cellsX_) + 1;
    sums_.assign(stride * (static_cast<std::size_t>(cellsY_) + 1), 0);
    for (int y = 0; y < cellsY_; ++y) {
      int row = 0;
      for (int x = 0; x < cellsX_; ++x) {
        row += mask.cells[static_cast<std::size_t>(y) * cellsX_ + x] ==
               ~std::uint64_t{0};
        sums_[(y + 1) * stride + x + 1] = sums_[y * stride + x + 1] + row;
      }
    }
  }
  void Clear() { cellsX_ = cellsY_ = 0; }
  // Whether every pixel of [x0, x1] × [y0, y1], within the mask, lies in a
  // whole cell.
  bool Covers(int x0, int y0, int x1, int y1) const {
    if (x0 > x1 || y0 > y1) return true;
    const int cx0 = x0 >> 3, cy0 = y0 >> 3, cx1 = x1 >> 3, cy1 = y1 >> 3;
    if (cx0 < 0 || cy0 < 0 || cx1 >= cellsX_ || cy1 >= cellsY_) return false;
    const std::size_t stride = static_cast<std::size_t>(cellsX_) + 1;
    const int whole =
        sums_[(cy1 + 1) * stride + cx1 + 1] - sums_[cy0 * stride + cx1 + 1] -
        sums_[(cy1 + 1) * stride + cx0] + sums_[cy0 * stride + cx0];
    return whole == (cx1 - cx0 + 1) * (cy1 - cy0 + 1);
  }

 private:
  int cellsX_ = 0, cellsY_ = 0;
  std::vector<int> sums_;
};

}  // namespace wave
