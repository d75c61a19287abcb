// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/scan/dashes.h"

#include <cmath>

#include "canvas/canvas.h"

namespace wave {
namespace {

// A mark's centre line is a pixel shorter than the mark, its gap a pixel
// longer: the round ends take half a pixel at each side.
constexpr double kDash = 3, kDot = 0, kGap = 3;

}  // namespace

Dashes::Dashes(int style) {
  switch (style) {
    case kDashed:
      steps_ = {kDash, kGap};
      break;
    case kDotted:
      steps_ = {kDot, kGap};
      break;
    case kDashDot:
      steps_ = {kDash, kGap, kDot, kGap};
      break;
    case kDashDotDot:
      steps_ = {kDash, kGap, kDot, kGap, kDot, kGap};
      break;
    default:
      steps_ = {};
  }
}

void Dashes::Along(Point a, Point b,
                   std::vector<std::pair<Point, Point>>& out) {
  if (steps_.empty()) {
    out.push_back({a, b});
    return;
  }
  const double length = std::hypot(b.x - a.x, b.y - a.y);
  if (!std::isfinite(length)) return;
  const auto at = [&](double t) {
    const double f = length > 0 ? t / length : 0;
    return Point{a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f};
  };
  double t = 0;
  // A path of millions of pixels would come to millions of marks: beyond a
  // few thousand pixels of one piece, clip_geometry has cut it already.
  for (int guard = 0; guard < 1 << 20; ++guard) {
    const double left = steps_[step_] - done_;
    const bool mark = step_ % 2 == 0;
    const double end = std::min(length, t + left);
    if (mark && (end > t || (left == 0 && done_ == 0))) {
      out.push_back({at(t), at(end)});
    }
    if (t + left > length) {
      done_ += length - t;
      return;
    }
    t += left;
    done_ = 0;
    step_ = (step_ + 1) % steps_.size();
  }
}

}  // namespace wave
