// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/keep/dot_cache.h"

#include <cmath>

namespace wave {

const DotCache::Dot* DotCache::Place(double cx, double cy, double outer, int& x,
                                     int& y) {
  // The centre split into a whole pixel and a quarter phase.
  const double qx = std::floor(cx * 4);
  const double qy = std::floor(cy * 4);
  if (std::fabs(qx) > 1e9 || std::fabs(qy) > 1e9) return nullptr;
  const int phaseX = static_cast<int>(qx) & 3;
  const int phaseY = static_cast<int>(qy) & 3;
  const int half = static_cast<int>(std::ceil(outer + 1));
  x = static_cast<int>(std::floor(qx / 4)) - half;
  y = static_cast<int>(std::floor(qy / 4)) - half;
  const Key key{static_cast<float>(outer), phaseX, phaseY};
  if (key.radius != lastOuter_) {
    lastOuter_ = key.radius;
    last_.fill(nullptr);
  }
  const Dot*& last = last_[static_cast<std::size_t>(phaseY * 4 + phaseX)];
  if (last != nullptr) return last;
  auto it = dots_.find(key);
  if (it == dots_.end()) {
    it = dots_.emplace(key, Dot()).first;
    CoverDisc(2 * half + 1, 2 * half + 1, half + (phaseX + 0.5) / 4,
              half + (phaseY + 0.5) / 4, outer, it->second.coverage);
    it->second.shape = ShapeOf(it->second.coverage);
  }
  last = &it->second;
  return last;
}

void DotCache::Forget() {
  dots_.clear();
  lastOuter_ = -1;
}

}  // namespace wave
