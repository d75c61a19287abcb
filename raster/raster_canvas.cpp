// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/raster_canvas.h"

#include <QPolygonF>
#include <array>
#include <map>
#include <vector>

#include "raster/band_compositor.h"
#include "raster/blend.h"
#include "raster/clip_geometry.h"
#include "raster/coverage_mask.h"
#include "raster/dot_occlusion.h"
#include "raster/line_layer.h"
#include "raster/piled_discs.h"
#include "raster/ring_cache.h"
#include "raster/ring_raster.h"
#include "raster/worker_pool.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace wave {
namespace {

QColor ToQColor(Color c) { return QColor(RedOf(c), GreenOf(c), BlueOf(c)); }

QColor DefaultBackground() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    return QGuiApplication::palette().color(QPalette::Window);
  }
  return QColor(240, 240, 240);
}

QImage NewImage(QSize logical, qreal devicePixelRatio, QColor background) {
  const QSize device(
      static_cast<int>(std::ceil(logical.width() * devicePixelRatio)),
      static_cast<int>(std::ceil(logical.height() * devicePixelRatio)));
  QImage image(device.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  if (image.isNull()) throw std::bad_alloc();
  image.setDevicePixelRatio(devicePixelRatio);
  image.fill(background);
  return image;
}

// Broken styles show only on one-pixel pens; wider pens draw solid.
Qt::PenStyle PenStyleOf(int width, int style) {
  if (style == 5) return Qt::NoPen;
  if (width > 1) return Qt::SolidLine;
  switch (style) {
    case 1:
      return Qt::DashLine;
    case 2:
      return Qt::DotLine;
    case 3:
      return Qt::DashDotLine;
    case 4:
      return Qt::DashDotDotLine;
    default:
      return Qt::SolidLine;
  }
}

QPen MakePen(QColor color, int width, int style) {
  return QPen(color, std::max(width, 1), PenStyleOf(width, style), Qt::RoundCap,
              Qt::RoundJoin);
}

// Chord deviation allowed for computed arcs, in logical pixels.
constexpr double kArcTolerance = 0.05;

}  // namespace

// The drawing settings a shape is drawn with, as they were when it was
// called for: shapes batched for later keep theirs.
struct Pen {
  int width = 1;
  int style = kSolid;
  int fill = kFillHollow;
  Color fillColor = 0;
};

class RasterCanvas::Private {
 public:
  Private(QSize pixels, double twipsPerPixel, qreal devicePixelRatio,
          QColor background);
  ~Private();

  void Cls();
  void Circle(float x, float y, float radius, Color color);
  void Line(float x1, float y1, float x2, float y2, Color color);
  std::optional<VisibleArea> Visible() const;
  void Resize(QSize pixels, qreal devicePixelRatio);

  QPainter& Painter();
  void EndPainting();
  Rect PixelBounds() const;
  void StrokeArcs(Point centre, double radius, QColor color, const Pen& pen);
  void FillDisc(Point centre, double radius, const Pen& pen);
  void RingDirect(Point centre, double radius, Color color, const Pen& pen);
  void DrawCircleNow(Point centre, double radius, Color color, const Pen& pen);

  struct Disc {
    Point centre;
    double radius;
    Color color;
    Pen pen;
  };
  void FlushDiscs();
  void PaintOccluding(const std::vector<Disc>& discs);
  bool LayShowing(const std::vector<Disc>& discs);
  // Large dots whose areas add up to more than this many images, and dots of
  // any size piled deeper still, are painted as piled discs instead: only
  // the rim of the pile is left of their own rims, unsmoothed.
  static constexpr double kOccludeOverdraw = 8;
  static constexpr double kOccludeRadius = 12;  // logical pixels, with pen
  static constexpr double kDeepOverdraw = 16;
  std::vector<PiledDisc> piled_;
  std::vector<Disc> discs_, flushing_;
  double discArea_ = 0;
  PixelBuffer Bits();
  void Composite();
  PixelBuffer DirectPixels();
  void FlushLines();
  void EndLinePrefix();
  void DrawLineNow(float x1, float y1, float x2, float y2, Color color,
                   const Pen& pen);
  bool StampDisc(Point centre, double radius, Color outline, const Pen& pen);
  static constexpr double kLargestSprite = 48;  // logical pixels
  struct Dot;
  // Where the coverage of a plain dot (outline and fill of one colour) is
  // laid, or null when it is too large or too far for one.
  const Dot* PlaceDot(Point centre, double radius, const Pen& pen, int& dx,
                      int& dy);

  // Segments that continue one another are drawn as one polyline: the
  // hyperbolas arrive as thousands of joined pieces.
  struct PendingLines {
    Color color = 0;
    int width = 0;
    int style = 0;
    std::vector<QPolygonF> runs;  // dotted one-pixel pens
    bool masked = false;          // solid pens, in Mask()
  };
  // The cores' share of large frames: bands of rows, rings, lines, dots.
  WorkerPool pool_;
  // Solid lines of one colour at a time, queued as masks; those from
  // masksQueued_ on are free once the queue is laid.
  std::vector<std::unique_ptr<CoverageMask>> masks_;
  std::size_t masksQueued_ = 0;
  CoverageMask& Mask() { return *masks_[masksQueued_]; }
  PendingLines pending_;

  LineLayer lineLayer_;

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
  struct Dot {
    RingCoverage coverage;
    DotShape shape;
  };
  std::map<DotKey, Dot> dots_;
  // Those of the last size looked up, by phase: the markers come by the
  // ten thousand, all of one size.
  float lastOuter_ = -1;
  std::array<const Dot*, 16> lastDots_{};
  void ForgetDots() {
    dots_.clear();
    lastOuter_ = -1;
  }
  // From this many dots covering more than the image, those covered whole
  // by later ones are left out, and so is what lies under them.
  static constexpr std::size_t kOccludedDots = 256;
  DotOcclusion occlusion_;
  std::vector<PlacedDot> placed_;
  std::vector<const Dot*> placedDots_;
  std::vector<std::uint8_t> shows_;

  // At least this, or twice the image: one turn of radii must fit, or the
  // rings are drawn afresh every frame (at 3840 × 2160 the animated frame
  // takes 30 ms so, 12 ms with them kept, which then hold about 31 MB).
  static constexpr std::size_t kRingCacheBytes = 16 << 20;
  std::size_t RingBudget() const {
    return std::max(kRingCacheBytes,
                    2 * static_cast<std::size_t>(image_.sizeInBytes()));
  }
  RingCache rings_;
  // Rings and dots wait here to be laid band by band; whatever draws on the
  // image directly lays them first.
  BandCompositor queue_{pool_};

  QImage image_;
  QSize logical_;
  double twipsPerPixel_;
  QColor background_;
  std::unique_ptr<QPainter> painter_;
  Pen pen_;  // as the canvas calls last set it
};

RasterCanvas::RasterCanvas(QSize pixels, double twipsPerPixel)
    : RasterCanvas(pixels, twipsPerPixel, 1.0, DefaultBackground()) {}

RasterCanvas::RasterCanvas(QSize pixels, double twipsPerPixel,
                           qreal devicePixelRatio, QColor background)
    : d_(std::make_unique<Private>(pixels, twipsPerPixel, devicePixelRatio,
                                   background)) {}

RasterCanvas::~RasterCanvas() = default;
RasterCanvas::RasterCanvas(RasterCanvas&&) noexcept = default;
RasterCanvas& RasterCanvas::operator=(RasterCanvas&&) noexcept = default;

void RasterCanvas::Cls() { d_->Cls(); }
void RasterCanvas::Circle(float x, float y, float radius, Color color) {
  d_->Circle(x, y, radius, color);
}
void RasterCanvas::Line(float x1, float y1, float x2, float y2, Color color) {
  d_->Line(x1, y1, x2, y2, color);
}
void RasterCanvas::SetDrawWidth(int pixels) { d_->pen_.width = pixels; }
void RasterCanvas::SetDrawStyle(int style) { d_->pen_.style = style; }
void RasterCanvas::SetFillStyle(int style) { d_->pen_.fill = style; }
void RasterCanvas::SetFillColor(Color color) { d_->pen_.fillColor = color; }
std::optional<VisibleArea> RasterCanvas::Visible() const {
  return d_->Visible();
}
void RasterCanvas::Flush() { d_->EndPainting(); }
const QImage& RasterCanvas::image() const { return d_->image_; }
void RasterCanvas::Resize(QSize pixels, qreal devicePixelRatio) {
  d_->Resize(pixels, devicePixelRatio);
}
QSize RasterCanvas::logicalSize() const { return d_->logical_; }
std::size_t RasterCanvas::keptBytes() const { return d_->rings_.bytes(); }
double RasterCanvas::twipsPerPixel() const { return d_->twipsPerPixel_; }

RasterCanvas::Private::Private(QSize pixels, double twipsPerPixel,
                               qreal devicePixelRatio, QColor background)
    : image_(NewImage(pixels, devicePixelRatio, background)),
      logical_(pixels),
      twipsPerPixel_(twipsPerPixel),
      background_(background) {}

RasterCanvas::Private::~Private() { EndPainting(); }

QPainter& RasterCanvas::Private::Painter() {
  Composite();
  if (!painter_) {
    painter_ = std::make_unique<QPainter>(&image_);
    painter_->setRenderHint(QPainter::Antialiasing, true);
  }
  return *painter_;
}

void RasterCanvas::Private::EndPainting() {
  EndLinePrefix();
  FlushDiscs();
  FlushLines();
  Composite();
  painter_.reset();
}

std::optional<VisibleArea> RasterCanvas::Private::Visible() const {
  const double pad = (std::max(pen_.width, 4) / 2.0 + 2) * twipsPerPixel_;
  return VisibleArea{-pad, -pad, logical_.width() * twipsPerPixel_ + pad,
                     logical_.height() * twipsPerPixel_ + pad};
}

PixelBuffer RasterCanvas::Private::Bits() {
  queue_.Land();  // nothing else may touch the pixels while it runs
  // Writing into a shared image would detach it from the painter.
  if (!image_.isDetached()) painter_.reset();
  QImage& image = image_;
  return {reinterpret_cast<std::uint32_t*>(image.bits()), image.width(),
          image.height(), image.bytesPerLine() / 4};
}

void RasterCanvas::Private::Composite() {
  if (queue_.pending()) queue_.Run(Bits());
}

PixelBuffer RasterCanvas::Private::DirectPixels() {
  Composite();
  return Bits();
}

namespace {
std::uint32_t ToRgb(Color c) {
  return (static_cast<std::uint32_t>(RedOf(c)) << 16) |
         (static_cast<std::uint32_t>(GreenOf(c)) << 8) |
         static_cast<std::uint32_t>(BlueOf(c));
}
}  // namespace

void RasterCanvas::Private::FlushLines() {
  if (pending_.masked) {
    pending_.masked = false;
    if (!Mask().empty()) {
      queue_.LayMask(Mask(), ToRgb(pending_.color));
      ++masksQueued_;
    }
  }
  if (pending_.runs.empty()) return;
  QPainter& p = Painter();
  p.setPen(MakePen(ToQColor(pending_.color), pending_.width, pending_.style));
  p.setBrush(Qt::NoBrush);
  for (const QPolygonF& run : pending_.runs) p.drawPolyline(run);
  pending_.runs.clear();
}

void RasterCanvas::Private::Resize(QSize pixels, qreal devicePixelRatio) {
  EndPainting();
  lineLayer_.Forget();
  rings_.Clear();
  ForgetDots();
  QImage next = NewImage(pixels, devicePixelRatio, background_);
  {
    QPainter copy(&next);
    copy.drawImage(QPointF(0, 0), image_);
  }
  image_ = std::move(next);
  logical_ = pixels;
}

Rect RasterCanvas::Private::PixelBounds() const {
  return {0, 0, static_cast<double>(logical_.width()),
          static_cast<double>(logical_.height())};
}

void RasterCanvas::Private::Cls() {
  discs_.clear();  // erased before they could be seen
  queue_.Discard();
  rings_.NextFrame(RingBudget());
  discArea_ = 0;
  // Lines since the last clear are erased unseen.
  FlushLines();
  // The clear itself waits for the end of the lines that follow it: when
  // they are the last frame's, their layer is copied back over everything
  // and clearing first would write every pixel twice (33 MB at 4K).
  lineLayer_.Open();
}

void RasterCanvas::Private::Circle(float x, float y, float radius,
                                   Color color) {
  EndLinePrefix();
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(radius)) return;
  if (radius < 0) return;
  const Point centre{x / twipsPerPixel_, y / twipsPerPixel_};
  const double r = radius / twipsPerPixel_;
  const double halfPen = std::max(pen_.width, 1) / 2.0;
  const Rect bounds = PixelBounds();
  if (NearestDistance(centre, bounds) > r + halfPen + 1) return;

  const bool filled = pen_.fill == kFillSolid;
  const bool solidStyle = pen_.style == 0 || pen_.style == 6 || pen_.width > 1;
  if (filled && solidStyle && pen_.style != 5 && color == pen_.fillColor) {
    // One-coloured dots (the crossing markers) wait in a batch: thousands of
    // them may pile on each other. While the scene finds them, the workers
    // lay the rings queued before.
    if (discs_.empty()) queue_.Launch(Bits());
    discs_.push_back({centre, r, color, pen_});
    discArea_ += (r + halfPen) * (r + halfPen);
    return;
  }
  DrawCircleNow(centre, r, color, pen_);
}

void RasterCanvas::Private::DrawCircleNow(Point centre, double r, Color color,
                                          const Pen& pen) {
  FlushDiscs();
  const double halfPen = std::max(pen.width, 1) / 2.0;
  const Rect bounds = PixelBounds();
  const bool filled = pen.fill == kFillSolid;
  if (filled && StampDisc(centre, r, color, pen)) return;
  const Qt::PenStyle style = PenStyleOf(pen.width, pen.style);
  // Solid wide rings, the bulk of every frame, are rasterised here directly.
  if (r >= halfPen && style == Qt::SolidLine && r <= kRingRadiusPixels) {
    if (filled) FillDisc(centre, r, pen);
    RingDirect(centre, r, color, pen);
    return;
  }
  // The pen covers the centre: the stroke is a disc, laid like the dots.
  // QPainter would leave a hole where the inner edge of the stroke turns
  // inside out. So is a circle of radius 0, which every frame whose front
  // is a whole number of half wavelengths draws at each source: through
  // the painter it stopped the queue of rings in the middle of the frame.
  const bool disc = r < halfPen && style != Qt::NoPen;
  if (disc &&
      StampDisc(centre, r, color, Pen{pen.width, kSolid, kFillSolid, color})) {
    return;
  }
  QPainter& p = Painter();
  FlushLines();
  const QPen qpen = MakePen(ToQColor(color), pen.width, pen.style);
  if (r == 0) {
    p.setPen(qpen);
    p.drawPoint(QPointF(centre.x, centre.y));
    return;
  }
  if (disc) {
    p.setPen(Qt::NoPen);
    p.setBrush(qpen.color());
    p.drawEllipse(QPointF(centre.x, centre.y), r + halfPen, r + halfPen);
    return;
  }
  if (r <= kArcRadiusPixels) {
    p.setPen(qpen);
    p.setBrush(filled ? QBrush(ToQColor(pen.fillColor)) : QBrush(Qt::NoBrush));
    p.drawEllipse(QPointF(centre.x, centre.y), r, r);
    return;
  }
  if (filled) FillDisc(centre, r, pen);
  if (r - halfPen - 1 > FarthestDistance(centre, bounds)) return;
  StrokeArcs(centre, r, ToQColor(color), pen);
}

void RasterCanvas::Private::FlushDiscs() {
  if (discs_.empty()) return;
  // The batch's storage goes back and forth between the two, so that a
  // frame of 280,000 dots does not grow it afresh.
  std::vector<Disc>& discs = flushing_;
  discs.clear();
  discs.swap(discs_);
  const double area = discArea_ * 3.14159;
  discArea_ = 0;
  const double imageArea =
      static_cast<double>(logical_.width()) * logical_.height();
  // Small dots stamp cheaply from sprites; large ones piled deep do not,
  // nor small ones piled very deep (at wavelength 0.1, twenty deep).
  const double meanArea = area / static_cast<double>(discs.size());
  if ((area > kOccludeOverdraw * imageArea &&
       meanArea > 3.14159 * kOccludeRadius * kOccludeRadius) ||
      area > kDeepOverdraw * imageArea) {
    PaintOccluding(discs);
    return;
  }
  if (discs.size() >= kOccludedDots && area > imageArea && LayShowing(discs)) {
    return;
  }
  for (const Disc& d : discs) DrawCircleNow(d.centre, d.radius, d.color, d.pen);
}

// Dots piled many deep, without antialiased rims: each pixel shows the last
// dot over it.
void RasterCanvas::Private::PaintOccluding(const std::vector<Disc>& discs) {
  // The dots go over everything before them, so what is still to lay is
  // left out of the rows they paint whole, and the rings out of the pieces
  // of rows they paint: at wavelength 0.1 they paint the whole window, and
  // the rings that were to cost 20 ms then cost none. The workers finish
  // the bands they are laying while the dots are readied (waited for after,
  // they kept this thread waiting 3 ms).
  queue_.Halting();
  const qreal dpr = image_.devicePixelRatio();
  // Its storage comes back from the last pile: 200,000 dots filled 6 MB
  // page by page every frame.
  std::vector<PiledDisc>& piled = piled_;
  piled.clear();
  piled.reserve(discs.size());
  for (const Disc& d : discs) {
    piled.push_back({d.centre.x * dpr, d.centre.y * dpr,
                     (d.radius + std::max(d.pen.width, 1) / 2.0) * dpr,
                     ToRgb(d.color)});
  }
  PiledDiscs pile(std::move(piled), image_.width(), image_.height());
  queue_.Halt();
  pile.Cover(pool_);
  const CellMask painted = pile.Painted();
  queue_.Occlude(pile.PaintedRows(), &painted);
  FlushLines();
  pile.Paint(DirectPixels(), pool_);
  piled_ = pile.Release();
}

// Plain dots piled more than one deep: those later ones cover whole are
// left out, and the rings still to lay are left out under them.
bool RasterCanvas::Private::LayShowing(const std::vector<Disc>& discs) {
  if (dots_.size() > 256) {
    Composite();  // the queue may point at them
    ForgetDots();
  }
  placed_.clear();
  placedDots_.clear();
  for (const Disc& d : discs) {
    int dx = 0, dy = 0;
    const Dot* dot = PlaceDot(d.centre, d.radius, d.pen, dx, dy);
    if (dot == nullptr) return false;
    placed_.push_back({&dot->shape, dx, dy});
    placedDots_.push_back(dot);
  }
  occlusion_.Find(image_.width(), image_.height(), placed_, shows_);
  // Taken by the bands still to lay as the workers come to them.
  const CellMask covered = occlusion_.Covered();
  queue_.Occlude(occlusion_.CoveredRows(), &covered);
  FlushLines();
  for (std::size_t i = 0; i < discs.size(); ++i) {
    if (shows_[i] == 0) continue;
    queue_.Lay(placedDots_[i]->coverage, ToRgb(discs[i].color), placed_[i].dx,
               placed_[i].dy);
  }
  return true;
}

void RasterCanvas::Private::RingDirect(Point centre, double radius, Color color,
                                       const Pen& pen) {
  FlushLines();
  const qreal dpr = image_.devicePixelRatio();
  rings_.Lay(queue_, image_.width(), image_.height(), centre.x * dpr,
             centre.y * dpr, radius * dpr, std::max(pen.width, 1) * dpr,
             ToRgb(color));
}

void RasterCanvas::Private::FillDisc(Point centre, double radius,
                                     const Pen& pen) {
  FlushLines();
  const double rowStep = 0.5 / image_.devicePixelRatio();
  const std::vector<Point> outline =
      ClippedDisc(centre, radius, PixelBounds().Expanded(2), rowStep);
  if (outline.size() < 3) return;
  QPolygonF polygon;
  polygon.reserve(static_cast<qsizetype>(outline.size()));
  for (const Point& q : outline) polygon.append(QPointF(q.x, q.y));
  QPainter& p = Painter();
  p.setPen(Qt::NoPen);
  p.setBrush(ToQColor(pen.fillColor));
  p.drawPolygon(polygon);
}

void RasterCanvas::Private::StrokeArcs(Point centre, double radius,
                                       QColor color, const Pen& pen) {
  const double margin = std::max(pen.width, 1) / 2.0 + 2;
  const auto arcs = VisibleArcs(centre, radius, PixelBounds().Expanded(margin),
                                kArcTolerance);
  if (arcs.empty()) return;
  QPainter& p = Painter();
  p.setPen(MakePen(color, pen.width, pen.style));
  p.setBrush(Qt::NoBrush);
  for (const auto& arc : arcs) {
    QPolygonF polyline;
    polyline.reserve(static_cast<qsizetype>(arc.size()));
    for (const Point& q : arc) polyline.append(QPointF(q.x, q.y));
    p.drawPolyline(polyline);
  }
}

void RasterCanvas::Private::Line(float x1, float y1, float x2, float y2,
                                 Color color) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) ||
      !std::isfinite(y2)) {
    return;
  }
  if (lineLayer_.open()) {
    lineLayer_.Record({x1, y1, x2, y2, color, pen_.width, pen_.style});
    return;
  }
  FlushDiscs();
  DrawLineNow(x1, y1, x2, y2, color, pen_);
}

void RasterCanvas::Private::EndLinePrefix() {
  if (!lineLayer_.open()) return;
  LineLayer::Reuse reuse = lineLayer_.Close(image_.width(), image_.height());
  if (reuse == LineLayer::Reuse::kWhole) {
    queue_.StartCopied(lineLayer_.kept());
    return;
  }
  // Only lines queued can be laid on the rows the layer lacks alone.
  const auto queued = [](const LineLayer::Call& c) {
    return c.width > 1 || c.style == kSolid || c.style == 6 || c.style == 5;
  };
  if (reuse == LineLayer::Reuse::kInPart &&
      !std::all_of(lineLayer_.calls().begin(), lineLayer_.calls().end(),
                   queued)) {
    reuse = LineLayer::Reuse::kNone;
  }
  if (reuse == LineLayer::Reuse::kInPart) {
    queue_.StartCopied(lineLayer_.kept());
  } else {
    queue_.StartFilled(background_.rgb());
  }
  if (lineLayer_.calls().empty()) return;
  for (const LineLayer::Call& c : lineLayer_.calls()) {
    DrawLineNow(c.x1, c.y1, c.x2, c.y2, c.color, Pen{c.width, c.style});
  }
  FlushLines();
  // The lines wait in the queue with the rings and dots, and each band of
  // the layer is kept as it is laid: laid here, at once and on their own,
  // they kept the frame waiting (at wavelength 0.1, distance 40, 30,000
  // segments: 17 ms), where in the queue they go on while the scene finds
  // the dots, and are left out where the dots go.
  const std::uint32_t background = 0xFF000000u | background_.rgb();
  SparseImage& layer =
      reuse == LineLayer::Reuse::kInPart
          ? lineLayer_.KeepRest()
          : lineLayer_.KeepLater(image_.width(), image_.height(), background);
  if (!queue_.KeepHere(layer)) {
    painter_.reset();  // the copy must see every pixel
    lineLayer_.Keep(DirectPixels(), background);
  }
}

void RasterCanvas::Private::DrawLineNow(float x1, float y1, float x2, float y2,
                                        Color color, const Pen& pen) {
  const double margin = std::max(pen.width, 1) / 2.0 + 2;
  const auto clipped = ClipSegment({x1 / twipsPerPixel_, y1 / twipsPerPixel_},
                                   {x2 / twipsPerPixel_, y2 / twipsPerPixel_},
                                   PixelBounds().Expanded(margin));
  if (!clipped) return;
  if (pen.style == 5) return;  // invisible pen
  const bool solid = pen.width > 1 || pen.style == 0 || pen.style == 6;
  if (pending_.color != color || pending_.width != pen.width ||
      pending_.style != pen.style) {
    FlushLines();
    pending_.color = color;
    pending_.width = pen.width;
    pending_.style = pen.style;
  }
  if (solid) {
    const qreal dpr = image_.devicePixelRatio();
    if (!pending_.masked) {
      if (!queue_.pending()) masksQueued_ = 0;  // none is pointed at
      if (masksQueued_ == masks_.size()) {
        masks_.push_back(std::make_unique<CoverageMask>());
      }
      Mask().Clear();
      Mask().Fit(image_.width(), image_.height());
    }
    pending_.masked = true;
    Mask().AddSegment(clipped->first.x * dpr, clipped->first.y * dpr,
                      clipped->second.x * dpr, clipped->second.y * dpr,
                      std::max(pen.width, 1) * dpr);
    return;
  }
  Painter();
  const QPointF from(clipped->first.x, clipped->first.y);
  const QPointF to(clipped->second.x, clipped->second.y);
  // The curves interleave four branches: look a few runs back.
  auto& runs = pending_.runs;
  const std::size_t look = std::min<std::size_t>(runs.size(), 4);
  for (std::size_t i = runs.size(); i > runs.size() - look; --i) {
    if (runs[i - 1].back() == from) {
      runs[i - 1].append(to);
      return;
    }
  }
  runs.push_back(QPolygonF({from, to}));
}

const RasterCanvas::Private::Dot* RasterCanvas::Private::PlaceDot(
    Point centre, double radius, const Pen& pen, int& x, int& y) {
  if (radius > kLargestSprite) return nullptr;
  const qreal dpr = image_.devicePixelRatio();
  // Centre in device pixels, split into a whole pixel and a quarter phase.
  const double qx = std::floor(centre.x * dpr * 4);
  const double qy = std::floor(centre.y * dpr * 4);
  if (std::fabs(qx) > 1e9 || std::fabs(qy) > 1e9) return nullptr;
  const int phaseX = static_cast<int>(qx) & 3;
  const int phaseY = static_cast<int>(qy) & 3;
  const double outer = (radius + std::max(pen.width, 1) / 2.0) * dpr;
  const int half = static_cast<int>(std::ceil(outer + 1));
  x = static_cast<int>(std::floor(qx / 4)) - half;
  y = static_cast<int>(std::floor(qy / 4)) - half;
  const DotKey key{static_cast<float>(outer), phaseX, phaseY};
  if (key.radius != lastOuter_) {
    lastOuter_ = key.radius;
    lastDots_.fill(nullptr);
  }
  const Dot*& last = lastDots_[static_cast<std::size_t>(phaseY * 4 + phaseX)];
  if (last != nullptr) return last;
  auto it = dots_.find(key);
  if (it == dots_.end()) {
    // Placed while the queue may be laid: a new entry moves no other.
    it = dots_.emplace(key, Dot()).first;
    CoverDisc(2 * half + 1, 2 * half + 1, half + (phaseX + 0.5) / 4,
              half + (phaseY + 0.5) / 4, outer, it->second.coverage);
    it->second.shape = ShapeOf(it->second.coverage);
  }
  last = &it->second;
  return last;
}

bool RasterCanvas::Private::StampDisc(Point centre, double radius,
                                      Color outline, const Pen& pen) {
  if (radius > kLargestSprite || pen.style == 5) return false;
  const qreal dpr = image_.devicePixelRatio();
  // Centre in device pixels, split into a whole pixel and a quarter phase.
  const double dx = centre.x * dpr;
  const double dy = centre.y * dpr;
  const double qx = std::floor(dx * 4);
  const double qy = std::floor(dy * 4);
  if (std::fabs(qx) > 1e9 || std::fabs(qy) > 1e9) return false;
  const int phaseX = static_cast<int>(qx) & 3;
  const int phaseY = static_cast<int>(qy) & 3;
  const bool solidPen = pen.style == 0 || pen.style == 6 || pen.width > 1;
  if (outline == pen.fillColor && solidPen) {
    // Outline and fill of one colour make a plain disc, the crossing
    // markers: laid from its coverage, without the painter.
    if (dots_.size() > 256) {
      Composite();  // the queue may point at them
      ForgetDots();
    }
    int x = 0, y = 0;
    const Dot* dot = PlaceDot(centre, radius, pen, x, y);
    if (dot == nullptr) return false;
    FlushLines();
    queue_.Lay(dot->coverage, ToRgb(outline), x, y);
    return true;
  }
  const SpriteKey key{static_cast<float>(radius),
                      pen.width,
                      pen.style,
                      outline,
                      pen.fillColor,
                      phaseX,
                      phaseY};
  const double extent = (radius + std::max(pen.width, 1) / 2.0 + 2) * dpr;
  const int half = static_cast<int>(std::ceil(extent));
  auto it = sprites_.find(key);
  if (it == sprites_.end()) {
    if (sprites_.size() > 256) sprites_.clear();
    QImage sprite(2 * half + 2, 2 * half + 2,
                  QImage::Format_ARGB32_Premultiplied);
    sprite.fill(Qt::transparent);
    {
      QPainter sp(&sprite);
      sp.setRenderHint(QPainter::Antialiasing);
      sp.scale(dpr, dpr);
      sp.setPen(MakePen(ToQColor(outline), pen.width, pen.style));
      sp.setBrush(ToQColor(pen.fillColor));
      const QPointF at((half + (phaseX + 0.5) / 4) / dpr,
                       (half + (phaseY + 0.5) / 4) / dpr);
      if (radius < std::max(pen.width, 1) / 2.0) {
        sp.setPen(Qt::NoPen);
        sp.setBrush(ToQColor(outline));
        const double r = radius + std::max(pen.width, 1) / 2.0;
        sp.drawEllipse(at, r, r);
      } else {
        sp.drawEllipse(at, radius, radius);
      }
    }
    sprite.setDevicePixelRatio(dpr);
    it = sprites_.emplace(key, std::move(sprite)).first;
  }
  const double left = std::floor(qx / 4) - half;
  const double top = std::floor(qy / 4) - half;
  FlushLines();
  Painter().drawImage(QPointF(left / dpr, top / dpr), it->second);
  return true;
}

}  // namespace wave
