// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/line_layer.h"

#include <algorithm>

namespace wave {

bool LineLayer::Close(int width, int height) {
  open_ = false;
  return !calls_.empty() && calls_ == keptCalls_ && width == width_ &&
         height == height_;
}

void LineLayer::Keep(const PixelBuffer& out) {
  width_ = out.width;
  height_ = out.height;
  kept_.resize(static_cast<std::size_t>(width_) * height_);
  for (int y = 0; y < height_; ++y) {
    const std::uint32_t* row = out.pixels + y * out.stride;
    std::copy(row, row + width_,
              kept_.data() + static_cast<std::size_t>(y) * width_);
  }
  keptCalls_ = calls_;
}

void LineLayer::Forget() {
  keptCalls_.clear();
  kept_.clear();
  kept_.shrink_to_fit();
  width_ = height_ = 0;
}

}  // namespace wave
