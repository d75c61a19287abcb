// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "raster/pixels.h"

namespace wave {

// Antialiased coverage of a batch of same-coloured wide segments, kept as the
// maximum over the batch so that the joints of a polyline are not blended
// twice, then laid onto a pixel buffer in one pass. Only the rows and
// columns the batch touched are visited.
class CoverageMask {
 public:
  // Sizes the mask to the buffer it will be laid on; clears it on a change.
  void Fit(int width, int height);
  // A segment of `penWidth` pixels with round ends, in pixels.
  void AddSegment(double x0, double y0, double x1, double y1, double penWidth);
  // Blends the colour by the coverage into `buffer` and clears the mask.
  void Composite(const PixelBuffer& buffer, std::uint32_t rgb);
  bool empty() const { return top_ > bottom_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> coverage_;
  std::vector<int> rowLeft_, rowRight_;
  int top_ = 1, bottom_ = 0;
};

}  // namespace wave
