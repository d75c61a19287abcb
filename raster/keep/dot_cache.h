// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cmath>
#include <compare>
#include <cstddef>
#include <map>

#include "raster/compose/dot_occlusion.h"
#include "raster/scan/ring_raster.h"

namespace wave {

// The coverage of small plain dots (outline and fill of one colour), kept
// by outer radius in device pixels and quarter-pixel phase of the centre:
// the crossing markers come by the ten thousand, nearly all of one size.
class DotCache {
 public:
  // Radius in logical pixels, pen left out, above which no dot is kept.
  static constexpr double kLargestDot = 48;

  struct Dot {
    CoverageRuns coverage;
    DotShape shape;
  };

  // The dot of that outer radius whose centre (device pixels) is there,
  // and in (x, y) where its coverage's corner goes; null when it is too
  // large or too far off. A new entry moves no other: the queue may be
  // laying those found before.
  const Dot* Place(double cx, double cy, double outer, int& x, int& y) {
    // The centre split into a whole pixel and a quarter phase.
    const double qx = std::floor(cx * 4);
    const double qy = std::floor(cy * 4);
    if (std::fabs(qx) > 1e9 || std::fabs(qy) > 1e9) return nullptr;
    const int phaseX = static_cast<int>(qx) & 3;
    const int phaseY = static_cast<int>(qy) & 3;
    const int half = static_cast<int>(std::ceil(outer + 1));
    x = static_cast<int>(std::floor(qx / 4)) - half;
    y = static_cast<int>(std::floor(qy / 4)) - half;
    const float radius = static_cast<float>(outer);
    if (radius != lastOuter_) {
      lastOuter_ = radius;
      last_.fill(nullptr);
    }
    const Dot*& last = last_[static_cast<std::size_t>(phaseY * 4 + phaseX)];
    if (last == nullptr) last = Find({radius, phaseX, phaseY}, half, outer);
    return last;
  }

  // Whether so many sizes are kept that they should be forgotten; the
  // caller first makes sure no queue points at them.
  bool Full() const { return dots_.size() > kMostDots; }
  void Forget();

 private:
  static constexpr std::size_t kMostDots = 256;
  struct Key {
    float radius;
    int phaseX, phaseY;
    auto operator<=>(const Key&) const = default;
  };
  // The dot of that key, made if new.
  const Dot* Find(const Key& key, int half, double outer);

  std::map<Key, Dot> dots_;
  // Those of the last size looked up, by phase.
  float lastOuter_ = -1;
  std::array<const Dot*, 16> last_{};
};

}  // namespace wave
