// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "raster/pixels.h"
#include "raster/worker_pool.h"

namespace wave {

// Antialiased coverage of a batch of same-coloured wide segments, kept as the
// maximum over the batch so that the joints of a polyline are not blended
// twice, then laid onto a pixel buffer in one pass. Only the rows and
// columns the batch touched are visited. The maximum does not depend on the
// order of the segments, so bands of rows go to the workers, each band
// finding and laying its coverage while it is in the cache.
class CoverageMask {
 public:
  // Sizes the mask to the buffer it will be laid on; clears it on a change.
  void Fit(int width, int height);
  // A segment of `penWidth` pixels with round ends, in pixels.
  void AddSegment(double x0, double y0, double x1, double y1, double penWidth);
  // Blends the colour by the coverage into `buffer` and clears the mask.
  void Composite(const PixelBuffer& buffer, std::uint32_t rgb,
                 WorkerPool& pool);
  bool empty() const { return segments_.empty(); }

 private:
  struct Segment {
    double x0, y0, x1, y1, pen;
  };
  // The rows a segment reaches, within the mask: [top, bottom].
  std::pair<int, int> RowsOf(const Segment& s) const;
  void Cover(const Segment& s, int top, int bottom);
  void Lay(const PixelBuffer& buffer, std::uint32_t colour, int top,
           int bottom);

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> coverage_;
  std::vector<int> rowLeft_, rowRight_;
  std::vector<Segment> segments_;
  std::vector<std::vector<std::uint32_t>> bands_;  // segments by band
};

}  // namespace wave
