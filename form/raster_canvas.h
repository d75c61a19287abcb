// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <memory>

#include "canvas/canvas.h"

namespace wave {

class FrameRasteriser;

// The window's canvas: the engine's frame (FrameRasteriser) seen as a
// QImage. Twips become logical pixels through twipsPerPixel; the image
// holds devicePixelRatio device pixels per logical pixel. Everything is
// drawn by the engine; this only sizes it and shows its pixels.
class RasterCanvas : public Canvas {
 public:
  RasterCanvas(QSize pixels, double twipsPerPixel);
  RasterCanvas(QSize pixels, double twipsPerPixel, qreal devicePixelRatio,
               QColor background);
  ~RasterCanvas() override;
  RasterCanvas(const RasterCanvas&) = delete;
  RasterCanvas& operator=(const RasterCanvas&) = delete;
  RasterCanvas(RasterCanvas&&) noexcept;
  RasterCanvas& operator=(RasterCanvas&&) noexcept;

  void Cls() override;
  void Shade(const WaterShade& water) override;
  void Circle(float x, float y, float radius, Color color) override;
  void Line(float x1, float y1, float x2, float y2, Color color) override;
  void SetDrawWidth(int pixels) override;
  void SetDrawStyle(int style) override;
  void SetFillStyle(int style) override;
  void SetFillColor(Color color) override;
  std::optional<VisibleArea> Visible() const override;

  // Completes what the calls so far have drawn. A window calls it at the
  // end of the handler that drew, so that every failure while drawing meets
  // the handler; then the image holds the whole frame.
  void Flush();
  // A view of the engine's pixels, whole as of the last Flush: copy() it to
  // keep a frame while others are drawn.
  const QImage& image() const;
  // Logical size in pixels. What was drawn is kept; new area shows the
  // background. Throws std::bad_alloc when the image cannot be allocated.
  void Resize(QSize pixels, qreal devicePixelRatio);
  QSize logicalSize() const;
  // Bytes kept of the rings drawn lately, to draw them again faster.
  std::size_t keptBytes() const;
  double twipsPerPixel() const;

 private:
  void Wrap();

  std::unique_ptr<FrameRasteriser> engine_;
  QImage image_;
};

}  // namespace wave
