// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/scan/clip_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace wave {
namespace {

constexpr double kTurn = 2 * std::numbers::pi;

double Wrap(double angle) {
  angle = std::fmod(angle, kTurn);
  return angle < 0 ? angle + kTurn : angle;
}

Point OnCircle(Point c, double radius, double angle) {
  return {c.x + radius * std::cos(angle), c.y + radius * std::sin(angle)};
}

}  // namespace

namespace {

enum Outcode : unsigned { kLeft = 1, kRight = 2, kTop = 4, kBottom = 8 };

unsigned CodeOf(Point p, const Rect& r) {
  unsigned code = 0;
  if (p.x < r.left) code |= kLeft;
  if (p.x > r.right) code |= kRight;
  if (p.y < r.top) code |= kTop;
  if (p.y > r.bottom) code |= kBottom;
  return code;
}

}  // namespace

// Cohen–Sutherland: each outside end moves onto the edge it lies beyond,
// with the coordinate along that edge interpolated from the segment's own
// end points, which keeps precision when the ends are very far away.
std::optional<std::pair<Point, Point>> ClipSegment(Point a, Point b,
                                                   const Rect& r) {
  unsigned codeA = CodeOf(a, r);
  unsigned codeB = CodeOf(b, r);
  for (int round = 0; round < 8; ++round) {
    if ((codeA | codeB) == 0) return std::make_pair(a, b);
    if ((codeA & codeB) != 0) return std::nullopt;
    const bool moveA = codeA != 0;
    const unsigned code = moveA ? codeA : codeB;
    Point p;
    if (code & kTop) {
      p = {a.x + (b.x - a.x) * ((r.top - a.y) / (b.y - a.y)), r.top};
    } else if (code & kBottom) {
      p = {a.x + (b.x - a.x) * ((r.bottom - a.y) / (b.y - a.y)), r.bottom};
    } else if (code & kLeft) {
      p = {r.left, a.y + (b.y - a.y) * ((r.left - a.x) / (b.x - a.x))};
    } else {
      p = {r.right, a.y + (b.y - a.y) * ((r.right - a.x) / (b.x - a.x))};
    }
    if (moveA) {
      a = p;
      codeA = CodeOf(a, r);
    } else {
      b = p;
      codeB = CodeOf(b, r);
    }
  }
  return std::nullopt;
}

std::vector<AngleInterval> VisibleAngles(Point c, double radius, const Rect& r,
                                         double tolerance) {
  std::vector<AngleInterval> inside;
  if (!(radius > 0)) return inside;

  // Angles where the circle crosses the lines of the rectangle's edges.
  std::vector<double> cuts = {0, kTurn};
  for (const double ex : {r.left, r.right}) {
    const double dx = ex - c.x;
    if (std::fabs(dx) <= radius) {
      const double dy = std::sqrt((radius - dx) * (radius + dx));
      cuts.push_back(Wrap(std::atan2(dy, dx)));
      cuts.push_back(Wrap(std::atan2(-dy, dx)));
    }
  }
  for (const double ey : {r.top, r.bottom}) {
    const double dy = ey - c.y;
    if (std::fabs(dy) <= radius) {
      const double dx = std::sqrt((radius - dy) * (radius + dy));
      cuts.push_back(Wrap(std::atan2(dy, dx)));
      cuts.push_back(Wrap(std::atan2(dy, -dx)));
    }
  }
  std::sort(cuts.begin(), cuts.end());

  for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
    const double from = cuts[i];
    const double to = cuts[i + 1];
    if (to <= from) continue;
    if (!r.Expanded(tolerance).Contains(OnCircle(c, radius, (from + to) / 2))) {
      continue;
    }
    if (!inside.empty() && inside.back().to == from) {
      inside.back().to = to;
    } else {
      inside.push_back({from, to});
    }
  }
  if (inside.size() > 1 && inside.front().from == 0 &&
      inside.back().to == kTurn) {
    inside.front().from = inside.back().from - kTurn;
    inside.pop_back();
  }
  return inside;
}

std::vector<std::vector<Point>> VisibleArcs(Point c, double radius,
                                            const Rect& r, double tolerance) {
  std::vector<std::vector<Point>> arcs;
  if (!(radius > 0)) return arcs;
  const double ratio = tolerance / radius;
  const double maxStep = ratio < 1e-4
                             ? 2 * std::sqrt(2 * ratio)
                             : 2 * std::acos(std::max(-1.0, 1 - ratio));
  const std::vector<AngleInterval> inside =
      VisibleAngles(c, radius, r, tolerance);
  for (const AngleInterval& span : inside) {
    const double width = span.to - span.from;
    const auto steps = static_cast<long>(std::ceil(width / maxStep));
    const long count = std::clamp(steps, 1L, 4096L);
    std::vector<Point> arc;
    arc.reserve(static_cast<std::size_t>(count) + 1);
    for (long k = 0; k <= count; ++k) {
      const double angle = k == count
                               ? span.to
                               : span.from + width * static_cast<double>(k) /
                                                 static_cast<double>(count);
      arc.push_back(OnCircle(c, radius, angle));
    }
    arcs.push_back(std::move(arc));
  }
  return arcs;
}

std::pair<double, double> VerticalExtent(Point c, double radius,
                                         const AngleInterval& span) {
  double lo = std::min(c.y + radius * std::sin(span.from),
                       c.y + radius * std::sin(span.to));
  double hi = std::max(c.y + radius * std::sin(span.from),
                       c.y + radius * std::sin(span.to));
  // The lowest and highest points of the circle, at 90° and 270°.
  for (double extreme = -1.5 * std::numbers::pi; extreme < 2 * kTurn;
       extreme += std::numbers::pi) {
    if (extreme >= span.from && extreme <= span.to) {
      const double y = c.y + radius * std::sin(extreme);
      lo = std::min(lo, y);
      hi = std::max(hi, y);
    }
  }
  return {lo, hi};
}

std::vector<Point> ClippedDisc(Point c, double radius, const Rect& r,
                               double rowStep) {
  std::vector<Point> left;
  std::vector<Point> right;
  const double top = std::max(r.top, c.y - radius);
  const double bottom = std::min(r.bottom, c.y + radius);
  if (!(top <= bottom) || !(rowStep > 0)) return {};
  const auto rows = static_cast<long>(std::ceil((bottom - top) / rowStep));
  const long count = std::clamp(rows, 1L, 1L << 20);
  for (long k = 0; k <= count; ++k) {
    const double y = k == count
                         ? bottom
                         : top + (bottom - top) * static_cast<double>(k) /
                                     static_cast<double>(count);
    const double dy = y - c.y;
    const double half = std::sqrt(std::max(0.0, (radius - dy) * (radius + dy)));
    const double x0 = std::max(r.left, c.x - half);
    const double x1 = std::min(r.right, c.x + half);
    if (x0 > x1) continue;
    left.push_back({x0, y});
    right.push_back({x1, y});
  }
  left.insert(left.end(), right.rbegin(), right.rend());
  return left;
}

}  // namespace wave
