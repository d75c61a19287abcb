// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <memory>

#include "canvas/canvas.h"

namespace wave {

// A canvas that paints into a retained image, the picture a window shows,
// through the raster engine and, for what the engine does not draw, QPainter.
// Twips become logical pixels through twipsPerPixel; the image holds
// devicePixelRatio device pixels per logical pixel. Everything is clipped in
// double precision before it reaches the engine, so any coordinate, and
// radii of any size, draw just their visible part.
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
  void Circle(float x, float y, float radius, Color color) override;
  void Line(float x1, float y1, float x2, float y2, Color color) override;
  void SetDrawWidth(int pixels) override;
  void SetDrawStyle(int style) override;
  void SetFillStyle(int style) override;
  void SetFillColor(Color color) override;
  std::optional<VisibleArea> Visible() const override;

  // Completes what the calls so far have drawn on the image: batched lines
  // and dots and the hyperbola layer. A window calls it at the end of the
  // handler that drew, so that every failure while drawing meets the
  // handler; then the image holds the whole frame.
  void Flush();
  // The picture as of the last Flush.
  const QImage& image() const;
  // Logical size in pixels. What was drawn is kept; new area shows the
  // background. Throws std::bad_alloc when the image cannot be allocated.
  void Resize(QSize pixels, qreal devicePixelRatio);
  QSize logicalSize() const;
  // Bytes kept of the rings drawn lately, to draw them again faster.
  std::size_t keptBytes() const;
  double twipsPerPixel() const;

  // Radius in pixels above which circles are drawn as computed arcs.
  static constexpr double kArcRadiusPixels = 256;
  // Radius in pixels up to which solid rings are rasterised directly.
  static constexpr double kRingRadiusPixels = 1e6;

 private:
  // The engine's state: a change there rebuilds no window.
  class Private;
  std::unique_ptr<Private> d_;
};

}  // namespace wave
