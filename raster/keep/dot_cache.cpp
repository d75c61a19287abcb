// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/keep/dot_cache.h"

namespace wave {

const DotCache::Dot* DotCache::Find(const Key& key, int half, double outer) {
  auto it = dots_.find(key);
  if (it == dots_.end()) {
    it = dots_.emplace(key, Dot()).first;
    CoverDisc(2 * half + 1, 2 * half + 1, half + (key.phaseX + 0.5) / 4,
              half + (key.phaseY + 0.5) / 4, outer, it->second.coverage);
    it->second.shape = ShapeOf(it->second.coverage);
  }
  return &it->second;
}

void DotCache::Forget() {
  dots_.clear();
  lastOuter_ = -1;
}

}  // namespace wave
