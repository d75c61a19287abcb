// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/plane_geometry.h"

#include <algorithm>
#include <cmath>

namespace wave {

double NearestDistance(Point p, const Rect& r) {
  const double dx = std::max({r.left - p.x, 0.0, p.x - r.right});
  const double dy = std::max({r.top - p.y, 0.0, p.y - r.bottom});
  // Most points asked about lie inside or beside the rectangle, and hypot
  // is slow (the canvas asks for every dot).
  if (dx == 0) return dy;
  if (dy == 0) return dx;
  return std::hypot(dx, dy);
}

double FarthestDistance(Point p, const Rect& r) {
  const double dx = std::max(std::fabs(p.x - r.left), std::fabs(p.x - r.right));
  const double dy = std::max(std::fabs(p.y - r.top), std::fabs(p.y - r.bottom));
  return std::hypot(dx, dy);
}

}  // namespace wave
