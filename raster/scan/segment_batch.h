// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "raster/compose/worker_pool.h"
#include "raster/pixels/pixels.h"

namespace wave {

// Antialiased coverage of a batch of same-coloured wide segments, kept as the
// maximum over the batch so that the joints of a polyline are not blended
// twice, then laid onto a pixel buffer in one pass. Only the rows and
// columns the batch touched are visited. The maximum does not depend on the
// order of the segments, so bands of rows go to the workers, each band
// finding and laying its coverage while it is in the cache. The coverage of
// a band lives only while it is laid, in a scratch of each thread: a batch
// holds only its segments, and many wait in a queue at little cost.
class SegmentBatch {
 public:
  // Sizes the mask to the buffer it will be laid on; clears it on a change.
  void Fit(int width, int height);
  // A segment of `penWidth` pixels with round ends, in pixels.
  void AddSegment(double x0, double y0, double x1, double y1, double penWidth);
  // Blends the colour by the coverage into `buffer` and clears the mask.
  void Composite(const PixelBuffer& buffer, std::uint32_t rgb,
                 WorkerPool& pool);
  bool empty() const { return segments_.empty(); }

  // Composite in steps, for a compositor laying bands of its own: Prepare
  // once, then CompositeRows on any rows, each once, from any thread, then
  // Clear. The rows the segments reach: [first, last].
  void Prepare();
  std::pair<int, int> rows() const { return rows_; }
  void CompositeRows(const PixelBuffer& buffer, std::uint32_t rgb, int top,
                     int bottom) const;
  // Every row, in bands on the workers.
  void CompositeAll(const PixelBuffer& buffer, std::uint32_t rgb,
                    WorkerPool& pool) const;
  void Clear();

 private:
  struct Segment {
    double x0, y0, x1, y1, pen;
  };
  // Coverage of rows [top, top + rows) of the buffer, one byte a pixel.
  struct Rows;
  // The rows a segment reaches, within the mask: [top, bottom].
  std::pair<int, int> RowsOf(const Segment& s) const;
  void Cover(const Segment& s, int top, int bottom, Rows& rows) const;
  void Lay(const PixelBuffer& buffer, std::uint32_t colour, Rows& rows) const;

  int width_ = 0;
  int height_ = 0;
  std::vector<Segment> segments_;
  std::vector<std::vector<std::uint32_t>> bands_;  // segments by band
  std::pair<int, int> rows_{0, -1};
};

}  // namespace wave
