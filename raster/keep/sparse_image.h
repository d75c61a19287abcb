// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "raster/pixels/pixels.h"

namespace wave {

// An image that is one colour but for a few runs of pixels: the hyperbola
// layer, thin lines on the background. Kept so, it is laid again by filling
// and copying the runs, without reading the whole image back.
class SparseImage {
 public:
  // Keeps `image`, with `background` as its one colour.
  void Keep(const PixelBuffer& image, std::uint32_t background);
  // The same in steps: Begin, then KeepRows on each row at most once, from
  // any thread (a compositor keeps each band as it lays it).
  void Begin(int width, int height, std::uint32_t background);
  void KeepRows(const PixelBuffer& image, int top, int bottom);
  // Whether row y, or every row, has been kept since Begin.
  bool kept(int y) const { return rows_[static_cast<std::size_t>(y)].kept; }
  bool complete() const;
  bool any() const;
  void Clear();
  // Writes rows [top, bottom) of the image kept into `out`, of its size.
  void CopyRows(const PixelBuffer& out, int top, int bottom) const;
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  struct Run {
    int x, count;
    std::uint32_t first;  // in the row's pixels
  };
  struct Row {
    std::vector<Run> runs;
    std::vector<std::uint32_t> pixels;
    bool kept = false;
  };
  std::uint32_t background_ = 0;
  int width_ = 0, height_ = 0;
  std::vector<Row> rows_;  // each row its own, so that bands keep apart
};

}  // namespace wave
