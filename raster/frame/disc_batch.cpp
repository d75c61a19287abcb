// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/frame/disc_batch.h"

#include <numbers>

namespace wave {

void DiscBatch::Add(const Disc& disc) {
  discs_.push_back(disc);
  const double reach = disc.radius + disc.pen.Width() / 2.0;
  area_ += reach * reach;
}

void DiscBatch::Clear() {
  discs_.clear();
  area_ = 0;
}

const std::vector<DiscBatch::Disc>& DiscBatch::Take(double imageArea,
                                                    Way& way) {
  taken_.clear();
  taken_.swap(discs_);
  const double area = area_ * std::numbers::pi;
  area_ = 0;
  const double meanArea = area / static_cast<double>(taken_.size());
  if ((area > kPiledOverdraw * imageArea &&
       meanArea > std::numbers::pi * kPiledRadius * kPiledRadius) ||
      area > kDeepOverdraw * imageArea) {
    way = Way::kPiled;
  } else if (taken_.size() >= kOccludedDots && area > imageArea) {
    way = Way::kShowing;
  } else {
    way = Way::kEach;
  }
  return taken_;
}

}  // namespace wave
