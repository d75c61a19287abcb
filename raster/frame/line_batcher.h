// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "canvas/plane_geometry.h"
#include "raster/compose/band_compositor.h"
#include "raster/frame/pen.h"
#include "raster/scan/dashes.h"
#include "raster/scan/segment_batch.h"

namespace wave {

// Lines of one colour and pen at a time, solid or in dashes, gathered in a
// batch of segments that goes into the queue as one mask when the colour
// or pen changes, or when End is called: whatever else is laid in the
// queue must first End the batch, so that it lies in the order called.
// Batches queued stay until the queue has run; then their storage serves
// again.
class LineBatcher {
 public:
  explicit LineBatcher(BandCompositor& queue) : queue_(queue) {}

  // A segment in logical pixels, for a buffer of width × height device
  // pixels at `dpr` of them per logical pixel; `rgb` is `color` as the
  // buffer holds it.
  void Add(Point from, Point to, Color color, std::uint32_t rgb, const Pen& pen,
           int width, int height, double dpr) {
    // The hyperbolas come by the ten thousand segments in one solid pen:
    // straight on.
    if (open_.open && pen.Solid() && open_.color == color &&
        open_.width == pen.width && open_.style == pen.style) {
      open_.end = to;
      Batch().AddSegment(from.x * dpr, from.y * dpr, to.x * dpr, to.y * dpr,
                         pen.Width() * dpr);
      return;
    }
    AddAnew(from, to, color, rgb, pen, width, height, dpr);
  }
  void End() {
    if (open_.open) Close();
  }

 private:
  SegmentBatch& Batch() { return *batches_[queued_]; }
  void Close();
  void AddAnew(Point from, Point to, Color color, std::uint32_t rgb,
               const Pen& pen, int width, int height, double dpr);

  BandCompositor& queue_;
  std::vector<std::unique_ptr<SegmentBatch>> batches_;
  std::size_t queued_ = 0;  // batches in the queue; the next is filled
  struct Open {
    Color color = 0;
    std::uint32_t rgb = 0;
    int width = 0;
    int style = 0;
    bool open = false;  // a batch is being filled
    Point end{};        // where the last segment ended, for the dashes
  };
  Open open_;
  Dashes dashes_{kSolid};
  std::vector<std::pair<Point, Point>> dashed_;
};

}  // namespace wave
