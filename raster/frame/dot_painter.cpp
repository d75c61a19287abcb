// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/frame/dot_painter.h"

#include <utility>

namespace wave {

PixelBuffer Composited(BandCompositor& queue, FramePixels& pixels) {
  queue.Land();  // nothing else may touch the pixels while it runs
  if (queue.pending()) {
    queue.Run(pixels.Buffer());
    queue.Land();
  }
  return pixels.Buffer();
}

void DotPainter::ForgetIfMany() {
  if (!dots_.Full()) return;
  Composited(queue_, pixels_);  // the queue may point at them
  dots_.Forget();
}

const DotCache::Dot* DotPainter::Place(Point centre, double radius,
                                       const Pen& pen, int& x, int& y) {
  if (radius > DotCache::kLargestDot) return nullptr;
  return dots_.Place(centre.x * dpr(), centre.y * dpr(),
                     (radius + pen.Width() / 2.0) * dpr(), x, y);
}

bool DotPainter::Stamp(Point centre, double radius, Color color,
                       const Pen& pen) {
  if (radius > DotCache::kLargestDot) return false;
  ForgetIfMany();
  int x = 0, y = 0;
  const DotCache::Dot* dot = Place(centre, radius, pen, x, y);
  if (dot == nullptr) return false;
  segments_.End();
  queue_.Lay(dot->coverage, pixels_.ToRgb(color), x, y);
  return true;
}

void DotPainter::PaintPiled(const std::vector<DiscBatch::Disc>& discs) {
  // The dots go over everything before them, so what is still to lay is
  // left out of the rows they paint whole, and the rings out of the pieces
  // of rows they paint. The workers finish the bands they are laying while
  // the dots are readied.
  queue_.AskToHalt();
  std::vector<PiledDisc>& piled = piled_;
  piled.clear();
  piled.reserve(discs.size());
  for (const DiscBatch::Disc& d : discs) {
    piled.push_back({d.centre.x * dpr(), d.centre.y * dpr(),
                     (d.radius + d.pen.Width() / 2.0) * dpr(),
                     pixels_.ToRgb(d.color)});
  }
  PiledDiscs pile(std::move(piled), pixels_.width(), pixels_.height());
  queue_.Halt();
  pile.Cover(pool_);
  const CellMask painted = pile.Painted();
  queue_.Occlude(pile.PaintedRows(), &painted);
  segments_.End();
  pile.Paint(Composited(queue_, pixels_), pool_);
  piled_ = pile.Release();
}

bool DotPainter::LayShowing(const std::vector<DiscBatch::Disc>& discs) {
  ForgetIfMany();
  placed_.clear();
  placedDots_.clear();
  for (const DiscBatch::Disc& d : discs) {
    int dx = 0, dy = 0;
    const DotCache::Dot* dot = Place(d.centre, d.radius, d.pen, dx, dy);
    if (dot == nullptr) return false;
    placed_.push_back({&dot->shape, dx, dy});
    placedDots_.push_back(dot);
  }
  occlusion_.Find(pixels_.width(), pixels_.height(), placed_, shows_);
  // Taken by the bands still to lay as the workers come to them.
  const CellMask covered = occlusion_.Covered();
  queue_.Occlude(occlusion_.CoveredRows(), &covered);
  segments_.End();
  for (std::size_t i = 0; i < discs.size(); ++i) {
    if (shows_[i] == 0) continue;
    queue_.Lay(placedDots_[i]->coverage, pixels_.ToRgb(discs[i].color),
               placed_[i].dx, placed_[i].dy);
  }
  return true;
}

}  // namespace wave
