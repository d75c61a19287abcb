// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/scan/convex_fill.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "raster/pixels/blend.h"

namespace wave {
namespace {

constexpr int kSamplesPerRow = 4;

// The polygon's extent along each sample row of [top, bottom): a convex
// polygon meets a row in one span, the least and greatest x of its edges
// there.
struct Spans {
  int top = 0;
  std::vector<double> left, right;
};

Spans SpansOf(const std::vector<Point>& polygon, int top, int bottom) {
  Spans s;
  s.top = top;
  const std::size_t rows =
      static_cast<std::size_t>(bottom - top) * kSamplesPerRow;
  s.left.assign(rows, std::numeric_limits<double>::infinity());
  s.right.assign(rows, -std::numeric_limits<double>::infinity());
  for (std::size_t i = 0; i < polygon.size(); ++i) {
    const Point a = polygon[i];
    const Point b = polygon[(i + 1) % polygon.size()];
    const double y0 = std::min(a.y, b.y), y1 = std::max(a.y, b.y);
    // Sample k sits at top + (k + 0.5) / kSamplesPerRow.
    const double first = std::ceil((y0 - top) * kSamplesPerRow - 0.5);
    const double last = std::floor((y1 - top) * kSamplesPerRow - 0.5);
    const auto from = static_cast<long long>(std::max(first, 0.0));
    const auto to =
        static_cast<long long>(std::min(last, static_cast<double>(rows) - 1));
    for (long long k = from; k <= to; ++k) {
      const double y = top + (static_cast<double>(k) + 0.5) / kSamplesPerRow;
      const double x =
          b.y == a.y ? a.x : a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y);
      const auto at = static_cast<std::size_t>(k);
      s.left[at] = std::min({s.left[at], x, b.y == a.y ? b.x : x});
      s.right[at] = std::max({s.right[at], x, b.y == a.y ? b.x : x});
    }
  }
  return s;
}

// Adds `weight` times the part of each pixel that [x0, x1] spans to the
// row's running differences.
void AddSpan(std::vector<float>& diff, double x0, double x1, float weight) {
  const int width = static_cast<int>(diff.size()) - 2;
  x0 = std::clamp(x0, 0.0, static_cast<double>(width));
  x1 = std::clamp(x1, 0.0, static_cast<double>(width));
  if (!(x1 > x0)) return;
  const int p0 = static_cast<int>(x0), p1 = static_cast<int>(x1);
  const auto at = [](int p) { return static_cast<std::size_t>(p); };
  if (p0 == p1) {
    diff[at(p0)] += weight * static_cast<float>(x1 - x0);
    diff[at(p0) + 1] -= weight * static_cast<float>(x1 - x0);
    return;
  }
  const auto head = static_cast<float>(p0 + 1 - x0);
  const auto tail = static_cast<float>(x1 - p1);
  diff[at(p0)] += weight * head;
  diff[at(p0) + 1] += weight * (1 - head);
  diff[at(p1)] -= weight * (1 - tail);
  diff[at(p1) + 1] -= weight * tail;
}

}  // namespace

void FillConvex(const PixelBuffer& out, const std::vector<Point>& polygon,
                std::uint32_t rgb) {
  if (polygon.size() < 3) return;
  double y0 = std::numeric_limits<double>::infinity(), y1 = -y0;
  for (const Point& p : polygon) {
    y0 = std::min(y0, p.y);
    y1 = std::max(y1, p.y);
  }
  const int top = FloorWithin(y0, 0, out.height);
  const int bottom = CeilWithin(y1, 0, out.height);
  if (top >= bottom) return;
  const Spans spans = SpansOf(polygon, top, bottom);
  std::vector<float> diff(static_cast<std::size_t>(out.width) + 2);
  const float weight = 1.0f / kSamplesPerRow;
  for (int y = top; y < bottom; ++y) {
    std::fill(diff.begin(), diff.end(), 0.0f);
    for (int k = 0; k < kSamplesPerRow; ++k) {
      const auto at = static_cast<std::size_t>((y - top) * kSamplesPerRow + k);
      AddSpan(diff, spans.left[at], spans.right[at], weight);
    }
    std::uint32_t* row =
        out.pixels + static_cast<std::ptrdiff_t>(y) * out.stride;
    float coverage = 0;
    for (int x = 0; x < out.width; ++x) {
      coverage += diff[static_cast<std::size_t>(x)];
      const long level = std::lround(std::clamp(coverage, 0.0f, 1.0f) * 256);
      if (level > 0)
        LayPixel(row[x], rgb, StoredLevel(static_cast<unsigned>(level)));
    }
  }
}

}  // namespace wave
