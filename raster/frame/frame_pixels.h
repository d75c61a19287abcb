// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/plane_geometry.h"
#include "canvas/screen_mapping.h"
#include "raster/frame/frame_rasteriser.h"
#include "raster/pixels/pixels.h"

namespace wave {

// The frame's buffer and how it maps: its size in logical and device
// pixels, twips to logical pixels, and the order of a pixel's channels.
class FramePixels {
 public:
  using Size = FrameRasteriser::Size;
  using PixelOrder = FrameRasteriser::PixelOrder;

  FramePixels(Size size, double twipsPerPixel, std::uint32_t background,
              PixelOrder order);

  // A colour (0x00BBGGRR) as the buffer holds it, alpha left out.
  std::uint32_t ToRgb(Color c) const {
    if (order_ == PixelOrder::kRgba8) return c & 0xFFFFFFu;
    return (static_cast<std::uint32_t>(RedOf(c)) << 16) |
           (static_cast<std::uint32_t>(GreenOf(c)) << 8) |
           static_cast<std::uint32_t>(BlueOf(c));
  }
  // The background as 0xRRGGBB, and as the buffer holds it (alpha full).
  std::uint32_t background() const;
  std::uint32_t stored() const { return background_; }

  Point Logical(float x, float y) const {
    return {x / twipsPerPixel_, y / twipsPerPixel_};
  }
  Rect LogicalBounds() const {
    return {0, 0, static_cast<double>(size_.width),
            static_cast<double>(size_.height)};
  }
  double dpr() const { return size_.devicePixelRatio; }
  double twipsPerPixel() const { return twipsPerPixel_; }
  const Size& size() const { return size_; }
  int width() const { return width_; }
  int height() const { return height_; }
  std::size_t count() const { return pixels_.size(); }
  const std::uint32_t* data() const { return pixels_.data(); }
  PixelBuffer Buffer() { return {pixels_.data(), width_, height_, width_}; }

  // What was drawn stays at its place; new area shows the background.
  void Resize(Size size);

 private:
  PixelOrder order_;
  Size size_;
  // As given: a frame of dots maps hundreds of thousands of coordinates.
  double twipsPerPixel_;
  std::uint32_t background_;
  int width_, height_;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace wave
