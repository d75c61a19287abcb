// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/frame/frame_rasteriser.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "canvas/plane_geometry.h"
#include "canvas/water.h"
#include "raster/compose/band_compositor.h"
#include "raster/compose/worker_pool.h"
#include "raster/frame/disc_batch.h"
#include "raster/frame/dot_painter.h"
#include "raster/frame/frame_pixels.h"
#include "raster/frame/line_batcher.h"
#include "raster/frame/pen.h"
#include "raster/frame/water_start.h"
#include "raster/keep/line_layer.h"
#include "raster/keep/ring_cache.h"
#include "raster/scan/clip_geometry.h"
#include "raster/scan/convex_fill.h"
#include "raster/scan/ring_raster.h"

namespace wave {
namespace {

// Chord deviation allowed for computed arcs, in logical pixels.
constexpr double kArcTolerance = 0.05;

}  // namespace

// Decides which way each shape goes, and keeps them in the order called.
//
// Three kinds of work may wait, and each must be ended before what is
// drawn after it: the lines recorded since the clear (they may repeat the
// last frame's), the batch of plain discs, and the open batch of line
// segments. End(...) is the one place that says which a step ends:
//   kRecorded  any shape but a recorded line: the recording ends;
//   kDiscs     a shape drawn at once: the disc batch is laid first;
//   kSegments  anything laid in the queue: the open segment batch first.
class FrameRasteriser::Private {
 public:
  Private(Size size, double twipsPerPixel, std::uint32_t background,
          int workers, PixelOrder order)
      : pixels_(size, twipsPerPixel, background, order), pool_(workers) {}
  ~Private();

  void Cls();
  void Shade(const WaterShade& water);
  void Circle(float x, float y, float radius, Color color);
  void Line(float x1, float y1, float x2, float y2, Color color);
  std::optional<VisibleArea> Visible() const;
  void Resize(Size size);
  void Flush();

  std::size_t keptBytes() const { return rings_.bytes(); }

  FramePixels pixels_;
  Pen pen_;  // as the canvas calls last set it

 private:
  enum Pending : unsigned { kRecorded = 1, kDiscs = 2, kSegments = 4 };
  void End(unsigned pending);

  // The buffer, once nothing queued may still be laid on it.
  PixelBuffer Landed();
  PixelBuffer Composited() { return wave::Composited(queue_, pixels_); }
  double dpr() const { return pixels_.dpr(); }

  void DrawCircleNow(Point centre, double radius, Color color, const Pen& pen);
  void RingDirect(Point centre, double radius, Color color, double penWidth);
  void FillDisc(Point centre, double radius, Color color);
  void StrokeOutline(Point centre, double radius, Color color, const Pen& pen);
  void LayDiscs();
  void EndRecording();
  void DrawLineNow(float x1, float y1, float x2, float y2, Color color,
                   const Pen& pen);
  void AddSegments(Point from, Point to, Color color, const Pen& pen);

  // At least this, or twice the buffer: one turn of radii must fit, or the
  // rings are drawn afresh every frame.
  static constexpr std::size_t kRingCacheBytes = 16 << 20;
  std::size_t RingBudget() const {
    return std::max(kRingCacheBytes,
                    2 * pixels_.count() * sizeof(std::uint32_t));
  }

  DiscBatch discs_;
  LineLayer lineLayer_;
  WaterStart water_;

  // Declared last: the queue points into what is above, and lands before
  // they go.
  WorkerPool pool_;
  RingCache rings_;
  BandCompositor queue_{pool_};
  LineBatcher segments_{queue_};
  DotPainter dots_{pixels_, queue_, pool_, segments_};
};

FrameRasteriser::Private::~Private() {
  try {
    queue_.Land();
  } catch (...) {
    // Nothing is left to draw on: a failure here has no one to tell.
  }
}

void FrameRasteriser::Private::End(unsigned pending) {
  if ((pending & kRecorded) != 0) EndRecording();
  if ((pending & kDiscs) != 0) LayDiscs();
  if ((pending & kSegments) != 0) segments_.End();
}

void FrameRasteriser::Private::Flush() {
  End(kRecorded | kDiscs | kSegments);
  Composited();
}

std::optional<VisibleArea> FrameRasteriser::Private::Visible() const {
  const double t = pixels_.twipsPerPixel();
  const double pad = (std::max(pen_.width, 4) / 2.0 + 2) * t;
  return VisibleArea{-pad, -pad, pixels_.size().width * t + pad,
                     pixels_.size().height * t + pad};
}

PixelBuffer FrameRasteriser::Private::Landed() {
  queue_.Land();  // nothing else may touch the pixels while it runs
  return pixels_.Buffer();
}

void FrameRasteriser::Private::Resize(Size size) {
  Flush();
  lineLayer_.Forget();
  water_.Forget();
  rings_.Clear();
  dots_.Forget();
  pixels_.Resize(size);
}

void FrameRasteriser::Private::Cls() {
  discs_.Clear();  // erased before they could be seen
  queue_.Discard();
  rings_.NextFrame(RingBudget());
  // Lines since the last clear are erased unseen.
  segments_.End();
  // The clear itself waits for the end of the lines that follow it: when
  // they are the last frame's, their layer is copied back over everything
  // and clearing first would write every pixel twice.
  lineLayer_.Open();
  water_.Clear();
}

// Laid like the clear, as each band starts.
void FrameRasteriser::Private::Shade(const WaterShade& water) {
  Cls();
  if (water.view != WaterView::kNone) water_.Begin(water, pixels_, lineLayer_);
}

void FrameRasteriser::Private::Circle(float x, float y, float radius,
                                      Color color) {
  End(kRecorded);
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(radius)) return;
  if (radius < 0) return;
  const Point centre = pixels_.Logical(x, y);
  const double r = radius / pixels_.twipsPerPixel();
  const double halfPen = pen_.Width() / 2.0;
  if (NearestDistance(centre, pixels_.LogicalBounds()) > r + halfPen + 1) {
    return;
  }
  if (pen_.fill == kFillSolid && pen_.Plain(color)) {
    // While the scene finds the dots, the workers lay the rings queued
    // before.
    if (discs_.empty()) queue_.Launch(Landed());
    discs_.Add({centre, r, color, pen_});
    return;
  }
  DrawCircleNow(centre, r, color, pen_);
}

void FrameRasteriser::Private::DrawCircleNow(Point centre, double r,
                                             Color color, const Pen& pen) {
  End(kDiscs);
  const double halfPen = pen.Width() / 2.0;
  if (pen.fill == kFillSolid && pen.Plain(color) &&
      dots_.Stamp(centre, r, color, pen)) {
    return;
  }
  if (pen.fill == kFillSolid) FillDisc(centre, r, pen.fillColor);
  if (pen.Invisible()) return;
  if (r < halfPen) {
    // The pen covers the centre: the stroke is a disc, laid like the dots.
    const Pen disc{pen.width, kSolid, kFillSolid, color};
    if (!dots_.Stamp(centre, r, color, disc))
      FillDisc(centre, r + halfPen, color);
    return;
  }
  if (pen.Solid() && r <= kRingRadiusPixels) {
    RingDirect(centre, r, color, pen.Width());
    return;
  }
  if (r - halfPen - 1 > FarthestDistance(centre, pixels_.LogicalBounds())) {
    return;
  }
  StrokeOutline(centre, r, color, pen);
}

void FrameRasteriser::Private::RingDirect(Point centre, double radius,
                                          Color color, double penWidth) {
  End(kSegments);
  rings_.Lay(queue_, pixels_.width(), pixels_.height(), centre.x * dpr(),
             centre.y * dpr(), radius * dpr(), penWidth * dpr(),
             pixels_.ToRgb(color));
}

// Small discs are laid like the dots; larger ones as a ring whose pen
// reaches past its centre by half a device pixel, so that no pixel there is
// left partly covered; beyond the ring scanner's reach, the visible part is
// filled as a polygon.
void FrameRasteriser::Private::FillDisc(Point centre, double radius,
                                        Color color) {
  if (radius <= 0) return;
  const Pen dot{1, kSolid, kFillSolid, color};
  if (radius <= DotCache::kLargestDot &&
      dots_.Stamp(centre, radius - 0.5, color, dot)) {
    return;
  }
  if (radius <= kRingRadiusPixels) {
    const double outer = radius * dpr();
    RingDirect(centre, (outer - 1) / 2 / dpr(), color, (outer + 1) / dpr());
    return;
  }
  const double rowStep = 0.5 / dpr();
  std::vector<Point> outline =
      ClippedDisc(centre, radius, pixels_.LogicalBounds().Expanded(2), rowStep);
  if (outline.size() < 3) return;
  for (Point& q : outline) q = {q.x * dpr(), q.y * dpr()};
  End(kSegments);
  FillConvex(Composited(), outline, pixels_.ToRgb(color));
}

// Outlines beyond the ring scanner, and those of broken pens, as the
// polylines of their visible arcs.
void FrameRasteriser::Private::StrokeOutline(Point centre, double radius,
                                             Color color, const Pen& pen) {
  const double margin = pen.Width() / 2.0 + 2;
  const auto arcs = VisibleArcs(
      centre, radius, pixels_.LogicalBounds().Expanded(margin), kArcTolerance);
  for (const auto& arc : arcs) {
    for (std::size_t i = 1; i < arc.size(); ++i) {
      AddSegments(arc[i - 1], arc[i], color, pen);
    }
  }
}

void FrameRasteriser::Private::LayDiscs() {
  if (discs_.empty()) return;
  DiscBatch::Way way = DiscBatch::Way::kEach;
  const std::vector<DiscBatch::Disc>& discs = discs_.Take(
      static_cast<double>(pixels_.size().width) * pixels_.size().height, way);
  if (way == DiscBatch::Way::kPiled) {
    dots_.PaintPiled(discs);
    return;
  }
  if (way == DiscBatch::Way::kShowing && dots_.LayShowing(discs)) return;
  for (const DiscBatch::Disc& d : discs) {
    DrawCircleNow(d.centre, d.radius, d.color, d.pen);
  }
}

void FrameRasteriser::Private::Line(float x1, float y1, float x2, float y2,
                                    Color color) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) ||
      !std::isfinite(y2)) {
    return;
  }
  if (lineLayer_.open()) {
    lineLayer_.Record({x1, y1, x2, y2, color, pen_.width, pen_.style});
    return;
  }
  End(kDiscs);
  DrawLineNow(x1, y1, x2, y2, color, pen_);
}

void FrameRasteriser::Private::EndRecording() {
  if (!lineLayer_.open()) return;
  const int width = pixels_.width(), height = pixels_.height();
  const LineLayer::Reuse reuse = lineLayer_.Close(width, height);
  const bool keepsWater = water_.on() && water_.settled();
  if (reuse != LineLayer::Reuse::kNone) {
    queue_.StartCopied(lineLayer_.kept());
  } else if (water_.on()) {
    queue_.StartShaded(water_.kept());
  } else {
    queue_.StartFilled(pixels_.stored());
  }
  if (reuse == LineLayer::Reuse::kWhole) return;
  if (lineLayer_.calls().empty() && !keepsWater) return;
  for (const LineLayer::Call& c : lineLayer_.calls()) {
    DrawLineNow(c.x1, c.y1, c.x2, c.y2, c.color, Pen{c.width, c.style});
  }
  End(kSegments);
  if (water_.on() && !water_.settled()) return;
  // The lines wait in the queue with the rings and dots, and each band of
  // the layer is kept as it is laid: they go on while the scene finds the
  // dots, and are left out where the dots go.
  SparseImage& layer =
      reuse == LineLayer::Reuse::kInPart
          ? lineLayer_.KeepRest()
          : lineLayer_.KeepLater(width, height, pixels_.stored());
  if (!queue_.KeepHere(layer)) lineLayer_.Keep(Composited(), pixels_.stored());
}

void FrameRasteriser::Private::DrawLineNow(float x1, float y1, float x2,
                                           float y2, Color color,
                                           const Pen& pen) {
  if (pen.Invisible()) return;
  const double margin = pen.Width() / 2.0 + 2;
  const auto clipped =
      ClipSegment(pixels_.Logical(x1, y1), pixels_.Logical(x2, y2),
                  pixels_.LogicalBounds().Expanded(margin));
  if (!clipped) return;
  AddSegments(clipped->first, clipped->second, color, pen);
}

void FrameRasteriser::Private::AddSegments(Point from, Point to, Color color,
                                           const Pen& pen) {
  segments_.Add(from, to, color, pixels_.ToRgb(color), pen, pixels_.width(),
                pixels_.height(), dpr());
}

FrameRasteriser::FrameRasteriser(Size size, double twipsPerPixel,
                                 std::uint32_t background, int workers,
                                 PixelOrder order)
    : d_(std::make_unique<Private>(size, twipsPerPixel, background, workers,
                                   order)) {}

FrameRasteriser::~FrameRasteriser() = default;

void FrameRasteriser::Cls() { d_->Cls(); }
void FrameRasteriser::Shade(const WaterShade& water) { d_->Shade(water); }
void FrameRasteriser::Circle(float x, float y, float radius, Color color) {
  d_->Circle(x, y, radius, color);
}
void FrameRasteriser::Line(float x1, float y1, float x2, float y2,
                           Color color) {
  d_->Line(x1, y1, x2, y2, color);
}
void FrameRasteriser::SetDrawWidth(int pixels) { d_->pen_.width = pixels; }
void FrameRasteriser::SetDrawStyle(int style) { d_->pen_.style = style; }
void FrameRasteriser::SetFillStyle(int style) { d_->pen_.fill = style; }
void FrameRasteriser::SetFillColor(Color color) { d_->pen_.fillColor = color; }
std::optional<VisibleArea> FrameRasteriser::Visible() const {
  return d_->Visible();
}
void FrameRasteriser::Flush() { d_->Flush(); }
const std::uint32_t* FrameRasteriser::pixels() const {
  return d_->pixels_.data();
}
int FrameRasteriser::deviceWidth() const { return d_->pixels_.width(); }
int FrameRasteriser::deviceHeight() const { return d_->pixels_.height(); }
void FrameRasteriser::Resize(Size size) { d_->Resize(size); }
FrameRasteriser::Size FrameRasteriser::size() const {
  return d_->pixels_.size();
}
double FrameRasteriser::twipsPerPixel() const {
  return d_->pixels_.twipsPerPixel();
}
std::uint32_t FrameRasteriser::background() const {
  return d_->pixels_.background();
}
std::size_t FrameRasteriser::keptBytes() const { return d_->keptBytes(); }

}  // namespace wave
