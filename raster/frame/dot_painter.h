// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "raster/compose/band_compositor.h"
#include "raster/compose/dot_occlusion.h"
#include "raster/compose/piled_discs.h"
#include "raster/compose/worker_pool.h"
#include "raster/frame/disc_batch.h"
#include "raster/frame/frame_pixels.h"
#include "raster/frame/line_batcher.h"
#include "raster/keep/dot_cache.h"

namespace wave {

// The buffer with everything queued laid on it.
PixelBuffer Composited(BandCompositor& queue, FramePixels& pixels);

// Plain dots (outline and fill of one colour) into the queue: one at a
// time from kept coverage, or a batch of them as its depth asks. Whatever
// it lays first ends the open segment batch.
class DotPainter {
 public:
  DotPainter(FramePixels& pixels, BandCompositor& queue, WorkerPool& pool,
             LineBatcher& segments)
      : pixels_(pixels), queue_(queue), pool_(pool), segments_(segments) {}

  // False when the dot is too large or too far off to be kept.
  bool Stamp(Point centre, double radius, Color color, const Pen& pen);
  // Piled many deep, without antialiased rims: each pixel shows the last
  // dot over it.
  void PaintPiled(const std::vector<DiscBatch::Disc>& discs);
  // Piled more than one deep: those later ones cover whole are left out,
  // and the rings still to lay under them. False, laying nothing, when one
  // of them cannot be kept.
  bool LayShowing(const std::vector<DiscBatch::Disc>& discs);
  void Forget() { dots_.Forget(); }

 private:
  const DotCache::Dot* Place(Point centre, double radius, const Pen& pen,
                             int& x, int& y);
  void ForgetIfMany();
  double dpr() const { return pixels_.dpr(); }

  FramePixels& pixels_;
  BandCompositor& queue_;
  WorkerPool& pool_;
  LineBatcher& segments_;
  DotCache dots_;
  std::vector<PiledDisc> piled_;
  DotOcclusion occlusion_;
  std::vector<PlacedDot> placed_;
  std::vector<const DotCache::Dot*> placedDots_;
  std::vector<std::uint8_t> shows_;
};

}  // namespace wave
