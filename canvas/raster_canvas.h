#pragma once

#include <QColor>
#include <QImage>
#include <QSize>
#include <memory>

#include "canvas/canvas.h"
#include "canvas/plane_geometry.h"

class QPainter;

namespace wave {

// A canvas that paints with QPainter into a retained image, the picture a
// window shows. Twips become logical pixels through twipsPerPixel; the image
// holds devicePixelRatio device pixels per logical pixel. Everything is
// clipped in double precision before it reaches the raster engine, so any
// coordinate, and radii of any size, draw just their visible part.
class RasterCanvas : public Canvas {
 public:
  RasterCanvas(QSize pixels, double twipsPerPixel);
  RasterCanvas(QSize pixels, double twipsPerPixel, qreal devicePixelRatio,
               QColor background);
  ~RasterCanvas() override;
  RasterCanvas(const RasterCanvas&) = delete;
  RasterCanvas& operator=(const RasterCanvas&) = delete;

  void Cls() override;
  void Circle(float x, float y, float radius, Color color) override;
  void Line(float x1, float y1, float x2, float y2, Color color) override;
  void SetDrawWidth(int pixels) override;
  void SetDrawStyle(int style) override;
  void SetFillStyle(int style) override;
  void SetFillColor(Color color) override;

  // The picture as drawn so far; ends any painting in progress.
  const QImage& image() const;
  // Logical size in pixels. What was drawn is kept; new area shows the
  // background. Throws std::bad_alloc when the image cannot be allocated.
  void Resize(QSize pixels, qreal devicePixelRatio);
  QSize logicalSize() const { return logical_; }
  double twipsPerPixel() const { return twipsPerPixel_; }

  // Radius in pixels above which circles are drawn as computed arcs.
  static constexpr double kArcRadiusPixels = 256;

 private:
  QPainter& Painter();
  void EndPainting() const;
  Rect PixelBounds() const;
  void StrokeArcs(Point centre, double radius, QColor color);
  void FillDisc(Point centre, double radius);

  QImage image_;
  QSize logical_;
  double twipsPerPixel_;
  QColor background_;
  mutable std::unique_ptr<QPainter> painter_;
  int drawWidth_ = 1;
  int drawStyle_ = kSolid;
  int fillStyle_ = kFillHollow;
  Color fillColor_ = 0;
};

}  // namespace wave
