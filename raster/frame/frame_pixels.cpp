// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/frame/frame_pixels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace wave {
namespace {

int DeviceExtent(int logical, double devicePixelRatio) {
  return std::max(1, static_cast<int>(std::ceil(logical * devicePixelRatio)));
}

}  // namespace

FramePixels::FramePixels(Size size, double twipsPerPixel,
                         std::uint32_t background, PixelOrder order)
    : order_(order),
      size_(size),
      twipsPerPixel_(twipsPerPixel),
      background_(0xFF000000u |
                  ToRgb(RGB(static_cast<int>(background >> 16) & 0xFF,
                            static_cast<int>(background >> 8) & 0xFF,
                            static_cast<int>(background & 0xFF)))),
      width_(DeviceExtent(size.width, size.devicePixelRatio)),
      height_(DeviceExtent(size.height, size.devicePixelRatio)),
      pixels_(
          static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
          background_) {}

std::uint32_t FramePixels::background() const {
  const std::uint32_t b = background_;
  if (order_ == PixelOrder::kArgb32) return b & 0xFFFFFFu;
  return (b & 0xFFu) << 16 | (b & 0xFF00u) | (b >> 16 & 0xFFu);
}

void FramePixels::Resize(Size size) {
  const int width = DeviceExtent(size.width, size.devicePixelRatio);
  const int height = DeviceExtent(size.height, size.devicePixelRatio);
  std::vector<std::uint32_t> next(
      static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
      background_);
  const int rows = std::min(height, height_);
  const int columns = std::min(width, width_);
  for (int y = 0; y < rows; ++y) {
    std::memcpy(&next[static_cast<std::size_t>(y) * width],
                &pixels_[static_cast<std::size_t>(y) * width_],
                static_cast<std::size_t>(columns) * sizeof(std::uint32_t));
  }
  pixels_ = std::move(next);
  width_ = width;
  height_ = height;
  size_ = size;
}

}  // namespace wave
