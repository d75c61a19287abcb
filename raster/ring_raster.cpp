// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/ring_raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "raster/clip_geometry.h"

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
void RasteriseRows(int width, int height, double cx, double cy, double radius,
                   double penWidth, bool solid, const RowRuns& rows, int top,
                   int bottom, Sink& sink, double nearest = -1,
                   double farthest = kNoLimit) {
  const double half = penWidth / 2;
  // Reach of any partial coverage, or less where the caller needs less.
  const double outer = std::min(radius + half + 0.5, farthest);
  const double inner = solid ? -1 : std::max(radius - half - 0.5, nearest);
  const double fullOuter = radius + half - 0.5;  // centres here are covered
  const double fullInner = solid ? -1 : radius - half + 0.5;
  const auto halfChord = [](double r, double dy) {
    const double sq = r * r - dy * dy;
    return r > 0 && sq > 0 ? std::sqrt(sq) : -1.0;
  };
  const bool series = radius >= kSeriesRadius;
  const double inv2r = series ? 0.5 / radius : 0;
  // A pixel belongs to the left piece when its centre is left of cx, so
  // no pixel is covered twice.
  const int split = CeilWithin(cx - 0.5, -1, width + 1);
  const int last = width - 1;
  // When only a thin middle of the ring is left to draw, every pixel a row
  // can take for it (a pixel beyond its distances at most) is fully covered:
  // runs of the colour, without the distance of each pixel.
  const bool fullOnly =
      !solid && inner - 1 >= fullInner && outer + 1 <= fullOuter;
  // Sides of the ring passed over in the rows at hand: left, right.
  bool passed[2] = {false, false};
  const auto passedOver = [&](int side) {
    return side == 0 ? passed[0] && passed[1] : passed[side > 0];
  };
  const auto fillRow = [&](int y, double xo, double xi) {
    const auto run = [&](double from, double to, int side) {
      if (passedOver(side)) return;
      int x0 = FloorWithin(cx + from, 0, last + 1);
      int x1 = CeilWithin(cx + to, -1, last);
      if (side < 0) x1 = std::min(x1, split - 1);
      if (side > 0) x0 = std::max(x0, split);
      if (x0 > x1 || sink.Hidden(y, x0, x1)) return;
      sink.Begin(y);
      sink.Full(x0, x1);
      sink.End();
    };
    if (xi < 0) {
      run(-xo, xo, 0);
    } else {
      run(-xo, -xi, -1);
      run(xi, xo, 1);
    }
  };
  const auto drawRow = [&](int y) {
    const double dy = y + 0.5 - cy;
    const double dy2 = dy * dy;
    const double dy2MinusR2 = dy2 - radius * radius;
    const double xo = halfChord(outer, dy);
    if (xo < 0) return;
    const double xi = halfChord(inner, dy);
    if (fullOnly) {
      fillRow(y, xo, xi);
      return;
    }
    const double xfo = halfChord(fullOuter, dy);
    const double xfi = halfChord(fullInner, dy);

    // Pixels whose centre lies within [fullFrom, fullTo] (relative to cx)
    // are fully covered; the rest of a piece gets coverage by distance.
    const auto piece = [&](double from, double to, double fullFrom,
                           double fullTo, int side) {
      if (passedOver(side)) return;
      int x0 = FloorWithin(cx + from, 0, last + 1);
      int x1 = CeilWithin(cx + to, -1, last);
      if (side < 0) x1 = std::min(x1, split - 1);
      if (side > 0) x0 = std::max(x0, split);
      int f0 = x1 + 1, f1 = x1;
      if (fullFrom <= fullTo) {
        f0 = std::max(x0, CeilWithin(cx + fullFrom - 0.5, -1, last + 1));
        f1 = std::min(x1, FloorWithin(cx + fullTo - 0.5, -1, last + 1));
      }
      if (x0 > x1 || sink.Hidden(y, x0, x1)) return;
      sink.Begin(y);
      for (int x = x0; x <= x1; ++x) {
        if (x == f0 && f0 <= f1) {
          sink.Full(f0, f1);
          x = f1;
          continue;
        }
        const double ex = x + 0.5 - cx;
        double e;  // signed distance of the pixel centre from the ring
        if (series) {
          const double t = (ex * ex + dy2MinusR2) * inv2r;
          e = t - t * t * inv2r + 2 * t * t * t * inv2r * inv2r;
        } else {
          e = std::sqrt(ex * ex + dy2) - radius;
        }
        const double coverage =
            std::clamp(half + 0.5 - (solid ? e : std::fabs(e)), 0.0, 1.0);
        sink.Partial(x, static_cast<unsigned>(coverage * 256 + 0.5));
      }
      sink.End();
    };
    if (xi < 0) {
      // The row passes inside the inner edge: one piece across the centre.
      if (xfo >= 0 && xfi < 0) {
        piece(-xo, xo, -xfo, xfo, 0);
      } else {
        // Fully covered only beside the inner full circle, or nowhere.
        const double lo = xfi < 0 ? 0 : xfi;
        piece(-xo, 0, xfo >= 0 ? -xfo : 1, xfo >= 0 ? -lo : 0, -1);
        piece(0, xo, xfo >= 0 ? lo : 1, xfo >= 0 ? xfo : 0, 1);
      }
    } else {
      const bool full = xfo >= 0;
      const double lo = xfi < 0 ? 0 : xfi;
      piece(-xo, -xi, full ? -xfo : 1, full ? -lo : 0, -1);
      piece(xi, xo, full ? lo : 1, full ? xfo : 0, 1);
    }
  };

  for (const auto& [from, to] : rows) {
    const int first = std::max({0, from, top});
    const int end = std::min({height - 1, to, bottom - 1});
    if (first > end) continue;
    if (sink.HidesBoxes()) {
      // Each side's arc in these rows lies in a box: from the outer edge
      // at the row nearest the centre to the inner edge at the farthest,
      // or to the centre where the inner edge does not reach.
      const double dyFirst = first + 0.5 - cy, dyEnd = end + 0.5 - cy;
      const double nearestDy =
          dyFirst <= 0 && dyEnd >= 0
              ? 0
              : std::min(std::fabs(dyFirst), std::fabs(dyEnd));
      const double farthestDy = std::max(std::fabs(dyFirst), std::fabs(dyEnd));
      const double xo = halfChord(outer, nearestDy);
      if (xo < 0) continue;
      const double xi = std::max(halfChord(inner, farthestDy), 0.0);
      passed[0] = sink.HiddenBox(FloorWithin(cx - xo, 0, last + 1), first,
                                 CeilWithin(cx - xi, -1, last), end);
      passed[1] = sink.HiddenBox(FloorWithin(cx + xi, 0, last + 1), first,
                                 CeilWithin(cx + xo, -1, last), end);
      if (passed[0] && passed[1]) continue;
    }
    for (int y = first; y <= end; ++y) drawRow(y);
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
    LayPixel(row_[x], colour_, Kept(level));
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
  explicit RecordSink(RingCoverage& out) : out_(out) {}
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
    out_.levels.push_back(Kept(level));
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
  RingCoverage& out_;
  int y_ = 0, x_ = 0;
  std::size_t first_ = 0;
};

void Cover(int width, int height, double cx, double cy, double radius,
           double penWidth, bool solid, RingCoverage& out) {
  out.clear();
  RecordSink sink(out);
  Rasterise(width, height, cx, cy, radius, penWidth, solid, sink);
  // A span cut at its left end by LayCoverage still reads eight levels.
  out.levels.resize(out.levels.size() + 8);
}

}  // namespace

void CoverRing(int width, int height, double cx, double cy, double radius,
               double penWidth, RingCoverage& out) {
  Cover(width, height, cx, cy, radius, penWidth, false, out);
}

void CoverDisc(int width, int height, double cx, double cy, double radius,
               RingCoverage& out) {
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
