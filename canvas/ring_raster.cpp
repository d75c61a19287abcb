#include "canvas/ring_raster.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "canvas/plane_geometry.h"

namespace wave {
namespace {

// Past this radius (pixels) a pixel's distance from the ring comes from
// d² − r² without a square root; the error, e³/2r² for a distance e, stays
// below 1/500 of a pixel for the pens the canvas uses.
constexpr double kSeriesRadius = 64;

}  // namespace

void StrokeRing(const PixelBuffer& buffer, double cx, double cy, double radius,
                double penWidth, std::uint32_t rgb) {
  const double half = penWidth / 2;
  const double outer = radius + half + 0.5;  // reach of any partial coverage
  const double inner = radius - half - 0.5;
  const double fullOuter = radius + half - 0.5;  // centres here are covered
  const double fullInner = radius - half + 0.5;
  const std::uint32_t colour = 0xFF000000u | (rgb & 0xFFFFFFu);
  const auto halfChord = [](double r, double dy) {
    const double sq = r * r - dy * dy;
    return r > 0 && sq > 0 ? std::sqrt(sq) : -1.0;
  };
  const bool series = radius >= kSeriesRadius;
  const double inv2r = series ? 0.5 / radius : 0;
  // A pixel belongs to the left piece when its centre is left of cx, so
  // no pixel is blended twice.
  const int split = CeilWithin(cx - 0.5, -1, buffer.width + 1);
  const int last = buffer.width - 1;
  const auto drawRow = [&](int y) {
    const double dy = y + 0.5 - cy;
    const double dy2 = dy * dy;
    const double dy2MinusR2 = dy2 - radius * radius;
    const double xo = halfChord(outer, dy);
    if (xo < 0) return;
    const double xi = halfChord(inner, dy);
    const double xfo = halfChord(fullOuter, dy);
    const double xfi = halfChord(fullInner, dy);
    std::uint32_t* row = buffer.pixels + y * buffer.stride;

    // Pixels whose centre lies within [lo, hi] (relative to cx) are fully
    // covered; the rest of a touched piece gets coverage by distance.
    const auto piece = [&](double from, double to, double fullFrom,
                           double fullTo, int side) {
      int x0 = FloorWithin(cx + from, 0, last + 1);
      int x1 = CeilWithin(cx + to, -1, last);
      if (side < 0) x1 = std::min(x1, split - 1);
      if (side > 0) x0 = std::max(x0, split);
      int f0 = x1 + 1, f1 = x1;
      if (fullFrom <= fullTo) {
        f0 = std::max(x0, CeilWithin(cx + fullFrom - 0.5, -1, last + 1));
        f1 = std::min(x1, FloorWithin(cx + fullTo - 0.5, -1, last + 1));
      }
      for (int x = x0; x <= x1; ++x) {
        if (x == f0 && f0 <= f1) {
          std::fill(row + f0, row + f1 + 1, colour);
          x = f1;
          continue;
        }
        const double ex = x + 0.5 - cx;
        double e;  // signed distance of the pixel centre from the ring
        if (series) {
          const double t = (ex * ex + dy2MinusR2) * inv2r;
          e = t - t * t * inv2r;
        } else {
          e = std::sqrt(ex * ex + dy2) - radius;
        }
        const double coverage = std::clamp(half + 0.5 - std::fabs(e), 0.0, 1.0);
        if (coverage <= 0) continue;
        const auto alpha = static_cast<unsigned>(coverage * 256 + 0.5);
        row[x] = alpha >= 256 ? colour : BlendPixel(row[x], colour, alpha);
      }
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

  // Only the rows where the ring can be seen: a large ring crosses the
  // buffer in a few arcs, and most rows of its bounding box see none.
  const double reach = half + 1;
  const Rect bounds{0, 0, static_cast<double>(buffer.width),
                    static_cast<double>(buffer.height)};
  std::vector<std::pair<int, int>> rows;
  if (radius > 16) {
    for (const AngleInterval& arc :
         VisibleAngles({cx, cy}, radius, bounds, reach)) {
      const auto [lo, hi] = VerticalExtent({cx, cy}, radius, arc);
      rows.emplace_back(
          static_cast<int>(std::floor(std::max(-1.0, lo - reach))),
          static_cast<int>(
              std::ceil(std::min<double>(buffer.height, hi + reach))));
    }
    std::sort(rows.begin(), rows.end());
  } else {
    rows.emplace_back(static_cast<int>(std::floor(cy - outer)),
                      static_cast<int>(std::ceil(cy + outer)));
  }
  int next = 0;  // first row not yet drawn
  for (const auto& [from, to] : rows) {
    const int last = std::min(buffer.height - 1, to);
    for (int y = std::max({0, from, next}); y <= last; ++y) drawRow(y);
    next = std::max(next, last + 1);
  }
}

}  // namespace wave
