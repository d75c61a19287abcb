// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "canvas/canvas.h"
#include "raster/pixels/pixels.h"

namespace wave {

// The whole frame, drawn into a plain pixel buffer (alpha always full) that
// it owns: every shape of the Canvas interface, in twips,
// clipped in double precision so that any coordinate and radii of any size
// draw just their visible part. A window or a page only shows the buffer.
//
// Twips become logical pixels through twipsPerPixel, and the buffer holds
// devicePixelRatio device pixels per logical pixel. Shapes wait in a queue
// laid band by band on `workers` threads (the caller counts as one; 0: one
// per core; 1: the calling thread only, and no thread is started).
class FrameRasteriser final : public Canvas {
 public:
  // How a pixel's channels lie in its 32 bits: as a QImage's RGB32 reads
  // them (0xAARRGGBB), or as a browser's ImageData does (bytes R, G, B, A:
  // 0xAABBGGRR on a little-endian machine). Blending treats red and blue
  // alike, so only the colours handed in change.
  enum class PixelOrder { kArgb32, kRgba8 };
  struct Size {
    int width = 1;  // logical pixels
    int height = 1;
    double devicePixelRatio = 1;
  };
  // Background is 0xRRGGBB. Throws std::bad_alloc when the buffer cannot be
  // had.
  FrameRasteriser(Size size, double twipsPerPixel, std::uint32_t background,
                  int workers = 0, PixelOrder order = PixelOrder::kArgb32);
  ~FrameRasteriser() override;
  FrameRasteriser(const FrameRasteriser&) = delete;
  FrameRasteriser& operator=(const FrameRasteriser&) = delete;

  void Cls() override;
  void Shade(const WaterShade& water) override;
  void Circle(float x, float y, float radius, Color color) override;
  void Line(float x1, float y1, float x2, float y2, Color color) override;
  void SetDrawWidth(int pixels) override;
  void SetDrawStyle(int style) override;
  void SetFillStyle(int style) override;
  void SetFillColor(Color color) override;
  std::optional<VisibleArea> Visible() const override;

  // Completes what the calls so far have drawn: until then shapes may wait
  // in the queue. A front end calls it at the end of the handler that drew,
  // so that every failure while drawing meets that handler.
  void Flush();
  // The buffer as of the last Flush, in device pixels.
  const std::uint32_t* pixels() const;
  int deviceWidth() const;
  int deviceHeight() const;
  // What was drawn is kept at its place; new area shows the background.
  // Throws std::bad_alloc when the buffer cannot be had.
  void Resize(Size size);
  Size size() const;
  double twipsPerPixel() const;
  std::uint32_t background() const;
  // Bytes kept of the rings drawn lately, to draw them again faster.
  std::size_t keptBytes() const;

  // Radius in logical pixels up to which solid rings are scanned as rings;
  // beyond, their visible arcs are drawn as polylines.
  static constexpr double kRingRadiusPixels = 1e6;

 private:
  class Private;
  std::unique_ptr<Private> d_;
};

}  // namespace wave
