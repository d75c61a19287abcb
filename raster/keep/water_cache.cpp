// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/keep/water_cache.h"

#include <algorithm>
#include <cmath>

namespace wave {
namespace {

// The pixels of a row in runs alike: reached by neither wave, one, or both.
template <class Run>
void ForRuns(int width, Reach a, Reach b, Run run) {
  int cuts[6] = {0, a.from, a.to, b.from, b.to, width};
  std::sort(cuts, cuts + 6);
  for (int i = 0; i + 1 < 6; ++i) {
    const int from = std::clamp(cuts[i], 0, width);
    const int to = std::clamp(cuts[i + 1], 0, width);
    if (from >= to) continue;
    run(from, to, a.from <= from && from < a.to, b.from <= from && from < b.to);
  }
}

}  // namespace

void WaterCache::Prepare(const WaterField& field, int width, int height) {
  const bool same = prepared_ && width == width_ && height == height_ &&
                    field.SameGeometry(field_);
  field_ = field;
  prepared_ = true;
  for (int k = 0; k < 4; ++k) mixes_[k] = MixOf(field, k & 1, k & 2);
  if (same) return;
  width_ = width;
  height_ = height;
  const std::size_t pixels = static_cast<std::size_t>(width) * height;
  kept_.assign(static_cast<std::size_t>(height), 0);
  if (field.view == WaterView::kAmplitude) {
    phases_ = {};
    levels_.resize(pixels);
    return;
  }
  levels_ = {};
  // Exactly d apart on one row: A's distance at x − d is B's at x.
  const double d = std::round(double{field.bx} - double{field.ax});
  shared_ = field.ay == field.by && std::fabs(d) <= width &&
            double{field.ax} + d == double{field.bx};
  shift_ = shared_ ? static_cast<int>(d) : 0;
  first_ = std::min(0, -shift_);
  span_ = std::max(width, width - shift_) - first_;
  rowBytes_ =
      static_cast<std::size_t>(span_ + (shared_ ? 0 : width)) * kPairBytes;
  phases_.resize(rowBytes_ * static_cast<std::size_t>(height));
}

const std::int8_t* WaterCache::PairsA(int y, int x) const {
  return phases_.data() + static_cast<std::size_t>(y) * rowBytes_ +
         static_cast<std::size_t>(x - first_) * kPairBytes;
}

const std::int8_t* WaterCache::PairsB(int y, int x) const {
  if (shared_) return PairsA(y, x - shift_);
  return phases_.data() + static_cast<std::size_t>(y) * rowBytes_ +
         static_cast<std::size_t>(span_ + x) * kPairBytes;
}

void WaterCache::Clear() {
  prepared_ = false;
  phases_ = {};
  levels_ = {};
  kept_ = {};
}

void WaterCache::Lay(const PixelBuffer& out, int top, int bottom) {
  top = std::max(top, 0);
  bottom = std::min({bottom, out.height, height_});
  const int width = std::min(out.width, width_);
  const bool surface = field_.view != WaterView::kAmplitude;
  for (int y = top; y < bottom; ++y) {
    std::uint32_t* row = out.pixels + y * out.stride;
    const Reach a = ReachOf(field_.ax, field_.ay, field_.front, y, width);
    const Reach b = ReachOf(field_.bx, field_.by, field_.front, y, width);
    if (surface) {
      LaySurface(row, y, a, b);
    } else {
      LayAmplitude(row, y, a, b);
    }
  }
}

void WaterCache::LaySurface(std::uint32_t* row, int y, Reach a, Reach b) {
  if (kept_[y] == 0 && (a.from < a.to || b.from < b.to)) {
    std::int8_t* kept =
        phases_.data() + static_cast<std::size_t>(y) * rowBytes_;
    PhaseRow(field_, false, y, first_, span_, kept);
    if (!shared_) {
      PhaseRow(field_, true, y, 0, width_, kept + span_ * kPairBytes);
    }
    kept_[y] = 1;
  }
  ForRuns(width_, a, b, [&](int from, int to, bool inA, bool inB) {
    if (!inA && !inB) {
      std::fill(row + from, row + to, field_.colours[128]);
      return;
    }
    MixSurface(PairsA(y, from), PairsB(y, from), to - from,
               mixes_[(inA ? 1 : 0) + (inB ? 2 : 0)], field_.colours.data(),
               row + from);
  });
}

void WaterCache::LayAmplitude(std::uint32_t* row, int y, Reach a, Reach b) {
  std::uint8_t* levels = levels_.data() + static_cast<std::size_t>(y) * width_;
  const bool both = std::max(a.from, b.from) < std::min(a.to, b.to);
  if (kept_[y] == 0 && both) {
    AmplitudeRow(field_, y, width_, levels);
    kept_[y] = 1;
  }
  const std::uint32_t* colours = field_.colours.data();
  ForRuns(width_, a, b, [&](int from, int to, bool inA, bool inB) {
    if (inA && inB) {
      for (int x = from; x < to; ++x) row[x] = colours[levels[x]];
      return;
    }
    std::fill(row + from, row + to, colours[inA != inB ? 128 : 0]);
  });
}

}  // namespace wave
