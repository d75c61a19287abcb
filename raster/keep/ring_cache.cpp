// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/keep/ring_cache.h"

#include "raster/scan/ring_raster.h"

#include <utility>

namespace wave {

void RingCache::Lay(BandCompositor& queue, int width, int height, double cx,
                    double cy, double radius, double pen, std::uint32_t rgb) {
  const Key key{cx, cy, radius, pen, width, height};
  auto [it, first] = rings_.try_emplace(key);
  Entry& ring = it->second;
  ring.used = frame_;
  ++drawn_;
  if (first) {
    // A ring seen once may never come again: drawn, and only noted.
    bytes_ += kEntryBytes;
    queue.LayRing(cx, cy, radius, pen, rgb);
    return;
  }
  if (!ring.kept) {
    if (bytes_ >= budget_ || drawnBefore_ > kDenseRings) {
      // Full, or dense: scanned again. Dropping all that is kept instead
      // would drop and keep again every ring of a dense frame, every frame.
      queue.LayRing(cx, cy, radius, pen, rgb);
      return;
    }
    CoverRing(width, height, cx, cy, radius, pen, scratch_);
    ring.coverage = scratch_;  // copied to size
    ring.kept = true;
    bytes_ += ring.coverage.bytes();
  }
  queue.LayKept(ring.coverage, cx, cy, radius, pen, rgb);
}

void RingCache::NextFrame(std::size_t budget) {
  budget_ = budget;
  drawnBefore_ = std::exchange(drawn_, 0);
  if (++frame_ % kUnusedFrames == 0 || bytes_ > budget) Evict();
}

void RingCache::Clear() {
  rings_.clear();
  bytes_ = 0;
}

// Forgets the rings not drawn in the last frames.
void RingCache::Evict() {
  std::erase_if(rings_, [&](const auto& entry) {
    if (frame_ - entry.second.used < kUnusedFrames) return false;
    bytes_ -= kEntryBytes + entry.second.coverage.bytes();
    return true;
  });
}

}  // namespace wave
