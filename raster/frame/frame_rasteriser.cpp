// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/frame/frame_rasteriser.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <new>
#include <numbers>
#include <vector>

#include "canvas/plane_geometry.h"
#include "canvas/screen_mapping.h"
#include "raster/compose/band_compositor.h"
#include "raster/compose/dot_occlusion.h"
#include "raster/compose/piled_discs.h"
#include "raster/compose/worker_pool.h"
#include "raster/keep/line_layer.h"
#include "raster/keep/ring_cache.h"
#include "raster/pixels/blend.h"
#include "raster/scan/clip_geometry.h"
#include "raster/scan/convex_fill.h"
#include "raster/scan/dashes.h"
#include "raster/scan/ring_raster.h"
#include "raster/scan/segment_batch.h"

namespace wave {
namespace {

// Chord deviation allowed for computed arcs, in logical pixels.
constexpr double kArcTolerance = 0.05;

int DeviceExtent(int logical, double devicePixelRatio) {
  return std::max(1, static_cast<int>(std::ceil(logical * devicePixelRatio)));
}

}  // namespace

// The drawing settings a shape is drawn with, as they were when it was
// called for: shapes batched for later keep theirs.
struct Pen {
  int width = 1;
  int style = kSolid;
  int fill = kFillHollow;
  Color fillColor = 0;

  double Width() const { return std::max(width, 1); }
  bool Invisible() const { return style == kInvisible; }
  // Broken styles show only on one-pixel pens.
  bool Solid() const {
    return width > 1 || style == kSolid || style == kInsideSolid;
  }
};

class FrameRasteriser::Private {
 public:
  Private(Size size, double twipsPerPixel, std::uint32_t background,
          int workers, PixelOrder order);
  ~Private();

  void Cls();
  void Circle(float x, float y, float radius, Color color);
  void Line(float x1, float y1, float x2, float y2, Color color);
  std::optional<VisibleArea> Visible() const;
  void Resize(Size size);
  void Flush();

  // The buffer, once nothing queued may still be laid on it.
  PixelBuffer Landed();
  // The buffer with everything queued laid on it.
  PixelBuffer Composited();
  Rect LogicalBounds() const;
  double dpr() const { return mapping_.devicePixelRatio; }

  void DrawCircleNow(Point centre, double radius, Color color, const Pen& pen);
  void RingDirect(Point centre, double radius, Color color, double penWidth);
  void FillDisc(Point centre, double radius, Color color);
  void StrokeOutline(Point centre, double radius, Color color, const Pen& pen);
  bool StampDot(Point centre, double radius, Color color, const Pen& pen);

  // One-coloured filled circles, the crossing markers, wait in a batch:
  // thousands of them may pile on each other.
  struct Disc {
    Point centre;
    double radius;
    Color color;
    Pen pen;
  };
  void FlushDiscs();
  void PaintPiled(const std::vector<Disc>& discs);
  bool LayShowing(const std::vector<Disc>& discs);
  // Large dots whose areas add up to more than this many images, and dots of
  // any size piled deeper still, are painted as piled discs instead: only
  // the rim of the pile is left of their own rims, unsmoothed.
  static constexpr double kPiledOverdraw = 8;
  static constexpr double kPiledRadius = 12;  // logical pixels, with pen
  static constexpr double kDeepOverdraw = 16;
  std::vector<PiledDisc> piled_;
  std::vector<Disc> discs_, flushing_;
  double discArea_ = 0;

  // Lines, solid or in dashes, of one colour and pen at a time, queued as
  // batches of segments; those from batchesQueued_ on are free once the queue
  // is laid.
  void FlushLines();
  void EndLinePrefix();
  void DrawLineNow(float x1, float y1, float x2, float y2, Color color,
                   const Pen& pen);
  void AddSegments(Point from, Point to, Color color, const Pen& pen);
  std::vector<std::unique_ptr<SegmentBatch>> batches_;
  std::size_t batchesQueued_ = 0;
  SegmentBatch& Batch() { return *batches_[batchesQueued_]; }
  struct PendingLines {
    Color color = 0;
    int width = 0;
    int style = 0;
    bool open = false;  // a batch is being filled
    Point end{};        // where the last segment ended, for the dashes to go on
  };
  PendingLines pending_;
  Dashes dashes_{kSolid};
  std::vector<std::pair<Point, Point>> dashed_;

  LineLayer lineLayer_;

  static constexpr double kLargestDot = 48;  // logical pixels
  struct Dot {
    CoverageRuns coverage;
    DotShape shape;
  };
  // Where the coverage of a plain dot (outline and fill of one colour) is
  // laid, or null when it is too large or too far for one.
  const Dot* PlaceDot(Point centre, double radius, const Pen& pen, int& dx,
                      int& dy);
  // Coverage of one-coloured dots, by outer radius in device pixels and
  // quarter phase.
  struct DotKey {
    float radius;
    int phaseX, phaseY;
    auto operator<=>(const DotKey&) const = default;
  };
  std::map<DotKey, Dot> dots_;
  // Those of the last size looked up, by phase: the markers come by the
  // ten thousand, all of one size.
  float lastOuter_ = -1;
  std::array<const Dot*, 16> lastDots_{};
  static constexpr std::size_t kMostDots = 256;
  void ForgetDotsIfMany();
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

  // At least this, or twice the buffer: one turn of radii must fit, or the
  // rings are drawn afresh every frame.
  static constexpr std::size_t kRingCacheBytes = 16 << 20;
  std::size_t RingBudget() const {
    return std::max(kRingCacheBytes,
                    2 * pixels_.size() * sizeof(std::uint32_t));
  }

  // A colour (0x00BBGGRR) as the buffer holds it, alpha left out.
  std::uint32_t ToRgb(Color c) const {
    if (order_ == PixelOrder::kRgba8) return c & 0xFFFFFFu;
    return (static_cast<std::uint32_t>(RedOf(c)) << 16) |
           (static_cast<std::uint32_t>(GreenOf(c)) << 8) |
           static_cast<std::uint32_t>(BlueOf(c));
  }

  PixelOrder order_;
  Size size_;
  ScreenMapping mapping_;
  // As given, which mapping_.twipsPerPixel() gives back only to the last
  // bit; and found once: a frame of dots maps hundreds of thousands of
  // coordinates.
  double twipsPerPixel_;
  Point Logical(float x, float y) const {
    return {x / twipsPerPixel_, y / twipsPerPixel_};
  }
  std::uint32_t background_;
  int deviceWidth_, deviceHeight_;
  std::vector<std::uint32_t> pixels_;
  Pen pen_;  // as the canvas calls last set it

  // Declared last: the queue points into what is above, and lands before
  // they go.
  WorkerPool pool_;
  RingCache rings_;
  BandCompositor queue_{pool_};
};

FrameRasteriser::Private::Private(Size size, double twipsPerPixel,
                                  std::uint32_t background, int workers,
                                  PixelOrder order)
    : order_(order),
      size_(size),
      mapping_{ScreenMapping::kTwipsPerInch / twipsPerPixel,
               size.devicePixelRatio},
      twipsPerPixel_(twipsPerPixel),
      background_(0xFF000000u |
                  ToRgb(RGB(static_cast<int>(background >> 16) & 0xFF,
                            static_cast<int>(background >> 8) & 0xFF,
                            static_cast<int>(background & 0xFF)))),
      deviceWidth_(DeviceExtent(size.width, size.devicePixelRatio)),
      deviceHeight_(DeviceExtent(size.height, size.devicePixelRatio)),
      pixels_(static_cast<std::size_t>(deviceWidth_) *
                  static_cast<std::size_t>(deviceHeight_),
              background_),
      pool_(workers) {}

FrameRasteriser::Private::~Private() {
  try {
    queue_.Land();
  } catch (...) {
    // Nothing is left to draw on: a failure here has no one to tell.
  }
}

void FrameRasteriser::Private::Flush() {
  EndLinePrefix();
  FlushDiscs();
  FlushLines();
  Composited();
}

std::optional<VisibleArea> FrameRasteriser::Private::Visible() const {
  const double pad = (std::max(pen_.width, 4) / 2.0 + 2) * twipsPerPixel_;
  return VisibleArea{-pad, -pad, size_.width * twipsPerPixel_ + pad,
                     size_.height * twipsPerPixel_ + pad};
}

PixelBuffer FrameRasteriser::Private::Landed() {
  queue_.Land();  // nothing else may touch the pixels while it runs
  return {pixels_.data(), deviceWidth_, deviceHeight_, deviceWidth_};
}

PixelBuffer FrameRasteriser::Private::Composited() {
  if (queue_.pending()) queue_.Run(Landed());
  return Landed();
}

Rect FrameRasteriser::Private::LogicalBounds() const {
  return {0, 0, static_cast<double>(size_.width),
          static_cast<double>(size_.height)};
}

void FrameRasteriser::Private::Resize(Size size) {
  Flush();
  lineLayer_.Forget();
  rings_.Clear();
  ForgetDots();
  const int width = DeviceExtent(size.width, size.devicePixelRatio);
  const int height = DeviceExtent(size.height, size.devicePixelRatio);
  std::vector<std::uint32_t> next(
      static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
      background_);
  const int rows = std::min(height, deviceHeight_);
  const int columns = std::min(width, deviceWidth_);
  for (int y = 0; y < rows; ++y) {
    std::memcpy(&next[static_cast<std::size_t>(y) * width],
                &pixels_[static_cast<std::size_t>(y) * deviceWidth_],
                static_cast<std::size_t>(columns) * sizeof(std::uint32_t));
  }
  pixels_ = std::move(next);
  deviceWidth_ = width;
  deviceHeight_ = height;
  size_ = size;
  mapping_.devicePixelRatio = size.devicePixelRatio;
}

void FrameRasteriser::Private::Cls() {
  discs_.clear();  // erased before they could be seen
  queue_.Discard();
  rings_.NextFrame(RingBudget());
  discArea_ = 0;
  // Lines since the last clear are erased unseen.
  FlushLines();
  // The clear itself waits for the end of the lines that follow it: when
  // they are the last frame's, their layer is copied back over everything
  // and clearing first would write every pixel twice.
  lineLayer_.Open();
}

void FrameRasteriser::Private::Circle(float x, float y, float radius,
                                      Color color) {
  EndLinePrefix();
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(radius)) return;
  if (radius < 0) return;
  const Point centre = Logical(x, y);
  const double r = radius / twipsPerPixel_;
  const double halfPen = pen_.Width() / 2.0;
  if (NearestDistance(centre, LogicalBounds()) > r + halfPen + 1) return;

  if (pen_.fill == kFillSolid && pen_.Solid() && !pen_.Invisible() &&
      color == pen_.fillColor) {
    // While the scene finds the dots, the workers lay the rings queued
    // before.
    if (discs_.empty()) queue_.Launch(Landed());
    discs_.push_back({centre, r, color, pen_});
    discArea_ += (r + halfPen) * (r + halfPen);
    return;
  }
  DrawCircleNow(centre, r, color, pen_);
}

void FrameRasteriser::Private::DrawCircleNow(Point centre, double r,
                                             Color color, const Pen& pen) {
  FlushDiscs();
  const double halfPen = pen.Width() / 2.0;
  const bool plain = pen.Solid() && !pen.Invisible() && color == pen.fillColor;
  if (pen.fill == kFillSolid && plain && StampDot(centre, r, color, pen)) {
    return;
  }
  if (pen.fill == kFillSolid) FillDisc(centre, r, pen.fillColor);
  if (pen.Invisible()) return;
  if (r < halfPen) {
    // The pen covers the centre: the stroke is a disc, laid like the dots.
    const Pen disc{pen.width, kSolid, kFillSolid, color};
    if (!StampDot(centre, r, color, disc)) FillDisc(centre, r + halfPen, color);
    return;
  }
  if (pen.Solid() && r <= kRingRadiusPixels) {
    RingDirect(centre, r, color, pen.Width());
    return;
  }
  if (r - halfPen - 1 > FarthestDistance(centre, LogicalBounds())) return;
  StrokeOutline(centre, r, color, pen);
}

void FrameRasteriser::Private::RingDirect(Point centre, double radius,
                                          Color color, double penWidth) {
  FlushLines();
  rings_.Lay(queue_, deviceWidth_, deviceHeight_, centre.x * dpr(),
             centre.y * dpr(), radius * dpr(), penWidth * dpr(), ToRgb(color));
}

// Small discs are laid like the dots; larger ones as a ring whose pen
// reaches past its centre by half a device pixel, so that no pixel there is
// left partly covered; beyond the ring scanner's reach, the visible part is
// filled as a polygon.
void FrameRasteriser::Private::FillDisc(Point centre, double radius,
                                        Color color) {
  if (radius <= 0) return;
  const Pen dot{1, kSolid, kFillSolid, color};
  if (radius <= kLargestDot && StampDot(centre, radius - 0.5, color, dot)) {
    return;
  }
  if (radius <= kRingRadiusPixels) {
    const double outer = radius * dpr();
    RingDirect(centre, (outer - 1) / 2 / dpr(), color, (outer + 1) / dpr());
    return;
  }
  const double rowStep = 0.5 / dpr();
  std::vector<Point> outline =
      ClippedDisc(centre, radius, LogicalBounds().Expanded(2), rowStep);
  if (outline.size() < 3) return;
  for (Point& q : outline) q = {q.x * dpr(), q.y * dpr()};
  FlushLines();
  FillConvex(Composited(), outline, ToRgb(color));
}

// Outlines beyond the ring scanner, and those of broken pens, as the
// polylines of their visible arcs.
void FrameRasteriser::Private::StrokeOutline(Point centre, double radius,
                                             Color color, const Pen& pen) {
  const double margin = pen.Width() / 2.0 + 2;
  const auto arcs = VisibleArcs(
      centre, radius, LogicalBounds().Expanded(margin), kArcTolerance);
  for (const auto& arc : arcs) {
    for (std::size_t i = 1; i < arc.size(); ++i) {
      AddSegments(arc[i - 1], arc[i], color, pen);
    }
  }
}

void FrameRasteriser::Private::ForgetDotsIfMany() {
  if (dots_.size() <= kMostDots) return;
  Composited();  // the queue may point at them
  ForgetDots();
}

void FrameRasteriser::Private::FlushDiscs() {
  if (discs_.empty()) return;
  // The batch's storage goes back and forth between the two, so that a
  // frame of 280,000 dots does not grow it afresh.
  std::vector<Disc>& discs = flushing_;
  discs.clear();
  discs.swap(discs_);
  const double area = discArea_ * std::numbers::pi;
  discArea_ = 0;
  const double imageArea = static_cast<double>(size_.width) * size_.height;
  // Small dots are laid cheaply from kept coverage; large ones piled deep
  // are not, nor small ones piled very deep.
  const double meanArea = area / static_cast<double>(discs.size());
  if ((area > kPiledOverdraw * imageArea &&
       meanArea > std::numbers::pi * kPiledRadius * kPiledRadius) ||
      area > kDeepOverdraw * imageArea) {
    PaintPiled(discs);
    return;
  }
  if (discs.size() >= kOccludedDots && area > imageArea && LayShowing(discs)) {
    return;
  }
  for (const Disc& d : discs) DrawCircleNow(d.centre, d.radius, d.color, d.pen);
}

// Dots piled many deep, without antialiased rims: each pixel shows the last
// dot over it.
void FrameRasteriser::Private::PaintPiled(const std::vector<Disc>& discs) {
  // The dots go over everything before them, so what is still to lay is
  // left out of the rows they paint whole, and the rings out of the pieces
  // of rows they paint. The workers finish the bands they are laying while
  // the dots are readied.
  queue_.AskToHalt();
  std::vector<PiledDisc>& piled = piled_;
  piled.clear();
  piled.reserve(discs.size());
  for (const Disc& d : discs) {
    piled.push_back({d.centre.x * dpr(), d.centre.y * dpr(),
                     (d.radius + d.pen.Width() / 2.0) * dpr(), ToRgb(d.color)});
  }
  PiledDiscs pile(std::move(piled), deviceWidth_, deviceHeight_);
  queue_.Halt();
  pile.Cover(pool_);
  const CellMask painted = pile.Painted();
  queue_.Occlude(pile.PaintedRows(), &painted);
  FlushLines();
  pile.Paint(Composited(), pool_);
  piled_ = pile.Release();
}

// Plain dots piled more than one deep: those later ones cover whole are
// left out, and the rings still to lay are left out under them.
bool FrameRasteriser::Private::LayShowing(const std::vector<Disc>& discs) {
  ForgetDotsIfMany();
  placed_.clear();
  placedDots_.clear();
  for (const Disc& d : discs) {
    int dx = 0, dy = 0;
    const Dot* dot = PlaceDot(d.centre, d.radius, d.pen, dx, dy);
    if (dot == nullptr) return false;
    placed_.push_back({&dot->shape, dx, dy});
    placedDots_.push_back(dot);
  }
  occlusion_.Find(deviceWidth_, deviceHeight_, placed_, shows_);
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
  FlushDiscs();
  DrawLineNow(x1, y1, x2, y2, color, pen_);
}

void FrameRasteriser::Private::EndLinePrefix() {
  if (!lineLayer_.open()) return;
  const LineLayer::Reuse reuse = lineLayer_.Close(deviceWidth_, deviceHeight_);
  if (reuse == LineLayer::Reuse::kNone) {
    queue_.StartFilled(background_);
  } else {
    queue_.StartCopied(lineLayer_.kept());
  }
  if (reuse == LineLayer::Reuse::kWhole || lineLayer_.calls().empty()) return;
  for (const LineLayer::Call& c : lineLayer_.calls()) {
    DrawLineNow(c.x1, c.y1, c.x2, c.y2, c.color, Pen{c.width, c.style});
  }
  FlushLines();
  // The lines wait in the queue with the rings and dots, and each band of
  // the layer is kept as it is laid: they go on while the scene finds the
  // dots, and are left out where the dots go.
  SparseImage& layer =
      reuse == LineLayer::Reuse::kInPart
          ? lineLayer_.KeepRest()
          : lineLayer_.KeepLater(deviceWidth_, deviceHeight_, background_);
  if (!queue_.KeepHere(layer)) lineLayer_.Keep(Composited(), background_);
}

void FrameRasteriser::Private::DrawLineNow(float x1, float y1, float x2,
                                           float y2, Color color,
                                           const Pen& pen) {
  if (pen.Invisible()) return;
  const double margin = pen.Width() / 2.0 + 2;
  const auto clipped = ClipSegment(Logical(x1, y1), Logical(x2, y2),
                                   LogicalBounds().Expanded(margin));
  if (!clipped) return;
  AddSegments(clipped->first, clipped->second, color, pen);
}

// Adds a segment in logical pixels to the batch of its colour and pen, in
// dashes for a broken pen.
void FrameRasteriser::Private::AddSegments(Point from, Point to, Color color,
                                           const Pen& pen) {
  if (!pending_.open || pending_.color != color ||
      pending_.width != pen.width || pending_.style != pen.style) {
    FlushLines();
    pending_.color = color;
    pending_.width = pen.width;
    pending_.style = pen.style;
    dashes_ = Dashes(pen.Solid() ? kSolid : pen.style);
    if (!queue_.pending()) batchesQueued_ = 0;  // none is pointed at
    if (batchesQueued_ == batches_.size()) {
      batches_.push_back(std::make_unique<SegmentBatch>());
    }
    Batch().Clear();
    Batch().Fit(deviceWidth_, deviceHeight_);
    pending_.open = true;
  } else if (from.x != pending_.end.x || from.y != pending_.end.y) {
    dashes_.Restart();
  }
  pending_.end = to;
  const double width = pen.Width() * dpr();
  if (pen.Solid()) {
    Batch().AddSegment(from.x * dpr(), from.y * dpr(), to.x * dpr(),
                       to.y * dpr(), width);
    return;
  }
  dashed_.clear();
  dashes_.Along(from, to, dashed_);
  for (const auto& [a, b] : dashed_) {
    Batch().AddSegment(a.x * dpr(), a.y * dpr(), b.x * dpr(), b.y * dpr(),
                       width);
  }
}

void FrameRasteriser::Private::FlushLines() {
  if (!pending_.open) return;
  pending_.open = false;
  if (Batch().empty()) return;
  queue_.LaySegments(Batch(), ToRgb(pending_.color));
  ++batchesQueued_;
}

const FrameRasteriser::Private::Dot* FrameRasteriser::Private::PlaceDot(
    Point centre, double radius, const Pen& pen, int& x, int& y) {
  if (radius > kLargestDot) return nullptr;
  // Centre in device pixels, split into a whole pixel and a quarter phase.
  const double qx = std::floor(centre.x * dpr() * 4);
  const double qy = std::floor(centre.y * dpr() * 4);
  if (std::fabs(qx) > 1e9 || std::fabs(qy) > 1e9) return nullptr;
  const int phaseX = static_cast<int>(qx) & 3;
  const int phaseY = static_cast<int>(qy) & 3;
  const double outer = (radius + pen.Width() / 2.0) * dpr();
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

// A plain disc (outline and fill of one colour), laid from kept coverage.
bool FrameRasteriser::Private::StampDot(Point centre, double radius,
                                        Color color, const Pen& pen) {
  if (radius > kLargestDot) return false;
  ForgetDotsIfMany();
  int x = 0, y = 0;
  const Dot* dot = PlaceDot(centre, radius, pen, x, y);
  if (dot == nullptr) return false;
  FlushLines();
  queue_.Lay(dot->coverage, ToRgb(color), x, y);
  return true;
}

FrameRasteriser::FrameRasteriser(Size size, double twipsPerPixel,
                                 std::uint32_t background, int workers,
                                 PixelOrder order)
    : d_(std::make_unique<Private>(size, twipsPerPixel, background, workers,
                                   order)) {}

FrameRasteriser::~FrameRasteriser() = default;

void FrameRasteriser::Cls() { d_->Cls(); }
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
int FrameRasteriser::deviceWidth() const { return d_->deviceWidth_; }
int FrameRasteriser::deviceHeight() const { return d_->deviceHeight_; }
void FrameRasteriser::Resize(Size size) { d_->Resize(size); }
FrameRasteriser::Size FrameRasteriser::size() const { return d_->size_; }
double FrameRasteriser::twipsPerPixel() const { return d_->twipsPerPixel_; }
std::uint32_t FrameRasteriser::background() const {
  const std::uint32_t b = d_->background_;
  if (d_->order_ == PixelOrder::kArgb32) return b & 0xFFFFFFu;
  return (b & 0xFFu) << 16 | (b & 0xFF00u) | (b >> 16 & 0xFFu);
}
std::size_t FrameRasteriser::keptBytes() const { return d_->rings_.bytes(); }

}  // namespace wave
