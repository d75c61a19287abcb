// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/frame/line_batcher.h"

namespace wave {

void LineBatcher::AddAnew(Point from, Point to, Color color, std::uint32_t rgb,
                          const Pen& pen, int width, int height, double dpr) {
  if (!open_.open || open_.color != color || open_.width != pen.width ||
      open_.style != pen.style) {
    End();
    open_.color = color;
    open_.rgb = rgb;
    open_.width = pen.width;
    open_.style = pen.style;
    dashes_ = Dashes(pen.Solid() ? kSolid : pen.style);
    if (!queue_.pending()) queued_ = 0;  // none is pointed at
    if (queued_ == batches_.size()) {
      batches_.push_back(std::make_unique<SegmentBatch>());
    }
    Batch().Clear();
    Batch().Fit(width, height);
    open_.open = true;
  } else if (from.x != open_.end.x || from.y != open_.end.y) {
    dashes_.Restart();
  }
  open_.end = to;
  const double penWidth = pen.Width() * dpr;
  if (pen.Solid()) {
    Batch().AddSegment(from.x * dpr, from.y * dpr, to.x * dpr, to.y * dpr,
                       penWidth);
    return;
  }
  dashed_.clear();
  dashes_.Along(from, to, dashed_);
  for (const auto& [a, b] : dashed_) {
    Batch().AddSegment(a.x * dpr, a.y * dpr, b.x * dpr, b.y * dpr, penWidth);
  }
}

void LineBatcher::Close() {
  open_.open = false;
  if (Batch().empty()) return;
  queue_.LaySegments(Batch(), open_.rgb);
  ++queued_;
}

}  // namespace wave
