// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QPolygonF>
#include <QSize>
#include <map>
#include <memory>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/coverage_mask.h"
#include "canvas/plane_geometry.h"
#include "canvas/ring_raster.h"

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
  std::optional<VisibleArea> Visible() const override;

  // Completes what the calls so far have drawn on the image: batched lines
  // and dots and the hyperbola layer. A window calls it at the end of the
  // handler that drew, so that every failure while drawing meets the
  // handler; then the image holds the whole frame.
  void Flush();
  // The picture as of the last Flush.
  const QImage& image() const { return image_; }
  // Logical size in pixels. What was drawn is kept; new area shows the
  // background. Throws std::bad_alloc when the image cannot be allocated.
  void Resize(QSize pixels, qreal devicePixelRatio);
  QSize logicalSize() const { return logical_; }
  // Bytes kept of the rings drawn lately, to draw them again faster.
  std::size_t keptBytes() const { return ringBytes_; }
  double twipsPerPixel() const { return twipsPerPixel_; }

  // Radius in pixels above which circles are drawn as computed arcs.
  static constexpr double kArcRadiusPixels = 256;
  // Radius in pixels up to which solid rings are rasterised directly.
  static constexpr double kRingRadiusPixels = 1e6;

 private:
  QPainter& Painter();
  void EndPainting() const;
  Rect PixelBounds() const;
  void StrokeArcs(Point centre, double radius, QColor color);
  void FillDisc(Point centre, double radius);
  void RingDirect(Point centre, double radius, Color color);
  void DrawCircleNow(Point centre, double radius, Color color);

  struct Disc {
    Point centre;
    double radius;
    Color color;
    int width, style;
  };
  void FlushDiscs() const;
  void PaintOccluding(const std::vector<Disc>& discs);
  // Dots whose areas add up to more than this many images are painted
  // front to back instead.
  static constexpr double kOccludeOverdraw = 8;
  static constexpr double kOccludeRadius = 12;  // logical pixels, with pen
  mutable std::vector<Disc> discs_;
  mutable double discArea_ = 0;
  PixelBuffer DirectPixels() const;
  void FlushLines() const;
  void EndLinePrefix() const;
  void DrawLineNow(float x1, float y1, float x2, float y2, Color color);
  bool StampDisc(Point centre, double radius, Color outline);

  // Segments that continue one another are drawn as one polyline: the
  // hyperbolas arrive as thousands of joined pieces.
  struct PendingLines {
    Color color = 0;
    int width = 0;
    int style = 0;
    std::vector<QPolygonF> runs;  // dotted one-pixel pens
    bool masked = false;          // solid pens, in mask_
  };
  mutable CoverageMask mask_;
  mutable PendingLines pending_;

  // The lines a frame draws first on the cleared image (the hyperbolas)
  // depend only on wavelength and distance, which rarely change between
  // frames: when the calls repeat, the image they made is copied back.
  struct LineCall {
    float x1, y1, x2, y2;
    Color color;
    int width, style;
    bool operator==(const LineCall&) const = default;
  };
  mutable bool inLinePrefix_ = false;
  mutable std::vector<LineCall> prefix_;
  mutable std::vector<LineCall> cachedPrefix_;
  mutable QImage cachedLayer_;

  // Pre-rendered small filled circles, keyed by their look and the quarter
  // pixel their centre falls on: the crossing markers come by thousands.
  struct SpriteKey {
    float radius;
    int width, style;
    Color outline, fill;
    int phaseX, phaseY;
    auto operator<=>(const SpriteKey&) const = default;
  };
  std::map<SpriteKey, QImage> sprites_;
  // Coverage of one-coloured dots, by outer radius in device pixels and
  // quarter phase.
  struct DotKey {
    float radius;
    int phaseX, phaseY;
    auto operator<=>(const DotKey&) const = default;
  };
  std::map<DotKey, RingCoverage> dots_;

  // Coverage of the rings drawn lately, by geometry in device pixels: while
  // the animation runs, the same radii come round again every few frames
  // about the same centres. A ring is kept when it comes a second time.
  struct RingKey {
    double cx, cy, radius, pen;
    int width, height;
    auto operator<=>(const RingKey&) const = default;
  };
  struct CachedRing {
    RingCoverage coverage;
    bool kept = false;
    std::uint64_t used = 0;  // the frame that last drew it
  };
  static constexpr std::uint64_t kRingFrames = 64;  // kept unused this long
  static constexpr std::size_t kRingCacheBytes = 16 << 20;
  static constexpr std::size_t kRingEntryBytes = 128;  // the entry itself
  std::map<RingKey, CachedRing> rings_;
  std::size_t ringBytes_ = 0;
  std::uint64_t frame_ = 0;  // frames begin at Cls
  RingCoverage scratch_;
  void EvictRings();

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
