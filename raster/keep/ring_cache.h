// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>

#include "raster/compose/band_compositor.h"
#include "raster/pixels/blend.h"

namespace wave {

// The rings drawn lately, kept as coverage by geometry in device pixels:
// while the animation runs, the same radii come round again every few
// frames about the same centres (every ten at the default inputs), and
// laying kept coverage costs a third of rasterising the ring again. A ring
// seen once is only noted (and scanned by the queue's workers); the second
// time its coverage is kept; later it is laid from it. What is not drawn for
// kUnusedFrames frames goes; once the budget is spent, nothing more is kept
// (rings are scanned instead) until some has gone.
class RingCache {
 public:
  static constexpr std::uint64_t kUnusedFrames = 64;

  // Queues the ring (centre, radius and pen in device pixels, in a buffer of
  // width × height) in rgb on `queue`, which must run before this cache
  // forgets anything.
  void Lay(BandCompositor& queue, int width, int height, double cx, double cy,
           double radius, double pen, std::uint32_t rgb);
  // A new frame begins; forgets what has gone unused, within `budget` bytes.
  void NextFrame(std::size_t budget);
  void Clear();
  std::size_t bytes() const { return bytes_; }

 private:
  struct Key {
    double cx, cy, radius, pen;
    int width, height;
    auto operator<=>(const Key&) const = default;
  };
  struct Entry {
    CoverageRuns coverage;
    bool kept = false;
    std::uint64_t used = 0;  // the frame that last drew it
  };
  static constexpr std::size_t kEntryBytes = 128;  // the entry itself

  void Evict();

  std::map<Key, Entry> rings_;
  std::size_t bytes_ = 0;
  std::uint64_t frame_ = 0;
  // Rings drawn this frame and the last: after a frame of thousands
  // (fronts closer than their pens) none is kept: keeping them holds up the
  // frame after an edit, one ring after another, and most would be scanned
  // again anyway where they show.
  static constexpr std::size_t kDenseRings = 1024;
  std::size_t drawn_ = 0, drawnBefore_ = 0;
  std::size_t budget_ = 16 << 20;
  CoverageRuns scratch_;
};

}  // namespace wave
