// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/scan/ring_raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "raster/scan/clip_geometry.h"

namespace wave {
namespace {

constexpr double kNoLimit = std::numeric_limits<double>::infinity();

// Past this radius (pixels) a pixel's distance from the ring comes from
// d² − r² without a square root, by three terms of the series for
// √(r² + q) − r; the error, about 5e⁴/8r³ for a distance e, stays below a
// quarter of a coverage level up to a pen of 8 device pixels (4 at a ratio
// of 2). Two terms left up to two levels there.
constexpr double kSeriesRadius = 64;

// Only the rows where the ring can be seen: a large ring crosses the
// buffer in a few arcs, and most rows of its bounding box see none. Sorted
// and apart, within the buffer.
void RowsOf(int width, int height, double cx, double cy, double radius,
            double penWidth, bool solid, RowRuns& out) {
  out.clear();
  const double half = penWidth / 2;
  const double outer = radius + half + 0.5;
  const double reach = half + 1;
  const Rect bounds{0, 0, static_cast<double>(width),
                    static_cast<double>(height)};
  RowRuns rows;
  if (radius > 16 && !solid) {
    // Arcs cut at the widened edges: cut at the buffer's own edges, an arc
    // running just outside and along one would be judged by its midpoint
    // and its rim in the edge column lost.
    for (const AngleInterval& arc :
         VisibleAngles({cx, cy}, radius, bounds.Expanded(reach), 0)) {
      const auto [lo, hi] = VerticalExtent({cx, cy}, radius, arc);
      rows.emplace_back(
          static_cast<int>(std::floor(std::max(-1.0, lo - reach))),
          static_cast<int>(std::ceil(std::min<double>(height, hi + reach))));
    }
    std::sort(rows.begin(), rows.end());
  } else {
    rows.emplace_back(static_cast<int>(std::floor(
                          std::clamp(cy - outer, -1.0, height + 1.0))),
                      static_cast<int>(std::ceil(
                          std::clamp(cy + outer, -1.0, height + 1.0))));
  }
  int next = 0;  // first row not yet taken
  for (const auto& [from, to] : rows) {
    const int first = std::max(from, next);
    const int last = std::min(height - 1, to);
    if (first > last) continue;
    out.emplace_back(first, last);
    next = last + 1;
  }
}

// Goes down the rows of `rows` within [top, bottom) and hands each piece of
// the ring (or, when solid, of the whole disc inside its outer edge) in a
// row to the sink: Begin(y), then Full(x0, x1) for fully covered runs and
// Partial(x, level) for the pixels around them (level 0..256), left to
// right, then End().
template <class Sink>
class RingScan {
 public:
  RingScan(int width, double cx, double cy, double radius, double penWidth,
           bool solid, Sink& sink, double nearest, double farthest)
      : sink_(sink),
        cx_(cx),
        cy_(cy),
        radius_(radius),
        half_(penWidth / 2),
        solid_(solid),
        outer_(std::min(radius + half_ + 0.5, farthest)),
        inner_(solid ? -1 : std::max(radius - half_ - 0.5, nearest)),
        fullOuter_(radius + half_ - 0.5),
        fullInner_(solid ? -1 : radius - half_ + 0.5),
        series_(radius >= kSeriesRadius),
        inv2r_(series_ ? 0.5 / radius : 0),
        split_(CeilWithin(cx - 0.5, -1, width + 1)),
        last_(width - 1),
        fullOnly_(!solid && inner_ - 1 >= fullInner_ &&
                  outer_ + 1 <= fullOuter_) {}

  // The rows [first, end], unless the sink hides each side's arc there.
  void Rows(int first, int end) {
    if (sink_.HidesBoxes() && PassOver(first, end)) return;
    for (int y = first; y <= end; ++y) DrawRow(y);
  }

 private:
  static double HalfChord(double r, double dy) {
    const double sq = r * r - dy * dy;
    return r > 0 && sq > 0 ? std::sqrt(sq) : -1.0;
  }
  // Sides of the ring passed over in the rows at hand: 0 both, −1 left,
  // 1 right.
  bool PassedOver(int side) const {
    return side == 0 ? passed_[0] && passed_[1] : passed_[side > 0];
  }
  // Each side's arc in rows [first, end] lies in a box: from the outer edge
  // at the row nearest the centre to the inner edge at the farthest, or to
  // the centre where the inner edge does not reach. Whether both are
  // hidden.
  bool PassOver(int first, int end) {
    const double dyFirst = first + 0.5 - cy_, dyEnd = end + 0.5 - cy_;
    const double nearestDy =
        dyFirst <= 0 && dyEnd >= 0
            ? 0
            : std::min(std::fabs(dyFirst), std::fabs(dyEnd));
    const double farthestDy = std::max(std::fabs(dyFirst), std::fabs(dyEnd));
    const double xo = HalfChord(outer_, nearestDy);
    if (xo < 0) return true;
    const double xi = std::max(HalfChord(inner_, farthestDy), 0.0);
    passed_[0] = sink_.HiddenBox(FloorWithin(cx_ - xo, 0, last_ + 1), first,
                                 CeilWithin(cx_ - xi, -1, last_), end);
    passed_[1] = sink_.HiddenBox(FloorWithin(cx_ + xi, 0, last_ + 1), first,
                                 CeilWithin(cx_ + xo, -1, last_), end);
    return passed_[0] && passed_[1];
  }
  // The pixels of a piece from `from` to `to` (relative to cx) on a side;
  // a pixel belongs to the left piece when its centre is left of cx, so no
  // pixel is covered twice. x0 > x1 when none.
  std::pair<int, int> Columns(double from, double to, int side) const {
    int x0 = FloorWithin(cx_ + from, 0, last_ + 1);
    int x1 = CeilWithin(cx_ + to, -1, last_);
    if (side < 0) x1 = std::min(x1, split_ - 1);
    if (side > 0) x0 = std::max(x0, split_);
    return {x0, x1};
  }
  // When only a thin middle of the ring is left to draw, every pixel a row
  // can take for it (a pixel beyond its distances at most) is fully covered:
  // runs of the colour, without the distance of each pixel.
  void FullRun(int y, double from, double to, int side) {
    if (PassedOver(side)) return;
    const auto [x0, x1] = Columns(from, to, side);
    if (x0 > x1 || sink_.Hidden(y, x0, x1)) return;
    sink_.Begin(y);
    sink_.Full(x0, x1);
    sink_.End();
  }
  // Signed distance from the ring of a pixel centre ex from cx, in a row
  // dy from cy.
  double Distance(double ex, double dy2, double dy2MinusR2) const {
    if (!series_) return std::sqrt(ex * ex + dy2) - radius_;
    const double t = (ex * ex + dy2MinusR2) * inv2r_;
    return t - t * t * inv2r_ + 2 * t * t * t * inv2r_ * inv2r_;
  }
  // Pixels whose centre lies within [fullFrom, fullTo] (relative to cx) are
  // fully covered; the rest of the piece gets coverage by distance.
  void Piece(int y, double dy, double from, double to, double fullFrom,
             double fullTo, int side) {
    if (PassedOver(side)) return;
    const auto [x0, x1] = Columns(from, to, side);
    int f0 = x1 + 1, f1 = x1;
    if (fullFrom <= fullTo) {
      f0 = std::max(x0, CeilWithin(cx_ + fullFrom - 0.5, -1, last_ + 1));
      f1 = std::min(x1, FloorWithin(cx_ + fullTo - 0.5, -1, last_ + 1));
    }
    if (x0 > x1 || sink_.Hidden(y, x0, x1)) return;
    const double dy2 = dy * dy;
    const double dy2MinusR2 = dy2 - radius_ * radius_;
    sink_.Begin(y);
    for (int x = x0; x <= x1; ++x) {
      if (x == f0 && f0 <= f1) {
        sink_.Full(f0, f1);
        x = f1;
        continue;
      }
      const double e = Distance(x + 0.5 - cx_, dy2, dy2MinusR2);
      const double coverage =
          std::clamp(half_ + 0.5 - (solid_ ? e : std::fabs(e)), 0.0, 1.0);
      sink_.Partial(x, static_cast<unsigned>(coverage * 256 + 0.5));
    }
    sink_.End();
  }
  void DrawRow(int y) {
    const double dy = y + 0.5 - cy_;
    const double xo = HalfChord(outer_, dy);
    if (xo < 0) return;
    const double xi = HalfChord(inner_, dy);
    if (fullOnly_) {
      if (xi < 0) {
        FullRun(y, -xo, xo, 0);
      } else {
        FullRun(y, -xo, -xi, -1);
        FullRun(y, xi, xo, 1);
      }
      return;
    }
    const double xfo = HalfChord(fullOuter_, dy);
    const double xfi = HalfChord(fullInner_, dy);
    const double lo = xfi < 0 ? 0 : xfi;
    const bool full = xfo >= 0;
    if (xi < 0 && full && xfi < 0) {
      // The row passes inside the inner edge: one piece across the centre.
      Piece(y, dy, -xo, xo, -xfo, xfo, 0);
    } else if (xi < 0) {
      // Fully covered only beside the inner full circle, or nowhere.
      Piece(y, dy, -xo, 0, full ? -xfo : 1, full ? -lo : 0, -1);
      Piece(y, dy, 0, xo, full ? lo : 1, full ? xfo : 0, 1);
    } else {
      Piece(y, dy, -xo, -xi, full ? -xfo : 1, full ? -lo : 0, -1);
      Piece(y, dy, xi, xo, full ? lo : 1, full ? xfo : 0, 1);
    }
  }

  Sink& sink_;
  const double cx_, cy_, radius_, half_;
  const bool solid_;
  // Reach of any partial coverage, or less where the caller needs less;
  // centres within [fullInner, fullOuter] are covered whole.
  const double outer_, inner_, fullOuter_, fullInner_;
  const bool series_;
  const double inv2r_;
  const int split_, last_;
  const bool fullOnly_;
  bool passed_[2] = {false, false};
};

template <class Sink>
void RasteriseRows(int width, int height, double cx, double cy, double radius,
                   double penWidth, bool solid, const RowRuns& rows, int top,
                   int bottom, Sink& sink, double nearest = -1,
                   double farthest = kNoLimit) {
  RingScan<Sink> scan(width, cx, cy, radius, penWidth, solid, sink, nearest,
                      farthest);
  for (const auto& [from, to] : rows) {
    const int first = std::max({0, from, top});
    const int end = std::min({height - 1, to, bottom - 1});
    if (first <= end) scan.Rows(first, end);
  }
}

template <class Sink>
void Rasterise(int width, int height, double cx, double cy, double radius,
               double penWidth, bool solid, Sink& sink) {
  RowRuns rows;
  RowsOf(width, height, cx, cy, radius, penWidth, solid, rows);
  RasteriseRows(width, height, cx, cy, radius, penWidth, solid, rows, 0, height,
                sink);
}

// Blends each pixel as it comes.
class BlendSink {
 public:
  BlendSink(const PixelBuffer& buffer, std::uint32_t rgb,
            const CellMask* hidden = nullptr, const WholeCells* whole = nullptr)
      : buffer_(buffer),
        colour_(0xFF000000u | (rgb & 0xFFFFFFu)),
        hidden_(hidden),
        whole_(hidden != nullptr ? whole : nullptr) {}
  bool Hidden(int y, int x0, int x1) const {
    return hidden_ != nullptr && hidden_->Covers(y, x0, x1);
  }
  bool HidesBoxes() const { return whole_ != nullptr; }
  bool HiddenBox(int x0, int y0, int x1, int y1) const {
    return whole_->Covers(x0, y0, x1, y1);
  }
  void Begin(int y) { row_ = buffer_.pixels + y * buffer_.stride; }
  void Full(int x0, int x1) { std::fill(row_ + x0, row_ + x1 + 1, colour_); }
  void Partial(int x, unsigned level) {
    LayPixel(row_[x], colour_, StoredLevel(level));
  }
  void End() {}

 private:
  const PixelBuffer& buffer_;
  std::uint32_t colour_;
  const CellMask* hidden_;
  const WholeCells* whole_;
  std::uint32_t* row_ = nullptr;
};

// Records each piece as a span, its levels trimmed of 0 at both ends.
class RecordSink {
 public:
  explicit RecordSink(CoverageRuns& out) : out_(out) {}
  bool Hidden(int, int, int) const { return false; }
  bool HidesBoxes() const { return false; }
  bool HiddenBox(int, int, int, int) const { return false; }
  void Begin(int y) {
    y_ = y;
    first_ = out_.levels.size();
  }
  void Full(int x0, int x1) {
    if (Count() == 0) x_ = x0;
    out_.levels.insert(out_.levels.end(), static_cast<std::size_t>(x1 - x0 + 1),
                       255);
  }
  void Partial(int x, unsigned level) {
    if (Count() == 0) {
      if (level == 0) return;
      x_ = x;
    }
    out_.levels.push_back(StoredLevel(level));
  }
  void End() {
    std::vector<std::uint8_t>& levels = out_.levels;
    while (levels.size() > first_ && levels.back() == 0) levels.pop_back();
    const int count = Count();
    if (count == 0) return;
    levels.resize(
        first_ + ((static_cast<std::size_t>(count) + 7) & ~std::size_t{7}), 0);
    out_.spans.push_back({y_, x_, count, static_cast<std::uint32_t>(first_)});
  }

 private:
  int Count() const { return static_cast<int>(out_.levels.size() - first_); }
  CoverageRuns& out_;
  int y_ = 0, x_ = 0;
  std::size_t first_ = 0;
};

void Cover(int width, int height, double cx, double cy, double radius,
           double penWidth, bool solid, CoverageRuns& out) {
  out.clear();
  RecordSink sink(out);
  Rasterise(width, height, cx, cy, radius, penWidth, solid, sink);
  // A span cut at its left end by LayCoverage still reads eight levels.
  out.levels.resize(out.levels.size() + 8);
}

}  // namespace

void CoverRing(int width, int height, double cx, double cy, double radius,
               double penWidth, CoverageRuns& out) {
  Cover(width, height, cx, cy, radius, penWidth, false, out);
}

void CoverDisc(int width, int height, double cx, double cy, double radius,
               CoverageRuns& out) {
  Cover(width, height, cx, cy, radius, 0, true, out);
}

void StrokeRing(const PixelBuffer& buffer, double cx, double cy, double radius,
                double penWidth, std::uint32_t rgb) {
  BlendSink sink(buffer, rgb);
  Rasterise(buffer.width, buffer.height, cx, cy, radius, penWidth, false, sink);
}

void RingRows(int width, int height, double cx, double cy, double radius,
              double penWidth, RowRuns& rows) {
  RowsOf(width, height, cx, cy, radius, penWidth, false, rows);
}

void StrokeRingRows(const PixelBuffer& buffer, double cx, double cy,
                    double radius, double penWidth, std::uint32_t rgb,
                    const RowRuns& rows, int top, int bottom, double nearest,
                    double farthest, const CellMask* hidden,
                    const WholeCells* whole) {
  BlendSink sink(buffer, rgb, hidden, whole);
  RasteriseRows(buffer.width, buffer.height, cx, cy, radius, penWidth, false,
                rows, top, bottom, sink, nearest, farthest);
}

}  // namespace wave
