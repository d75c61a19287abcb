// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace wave {

// Points and axis-aligned rectangles in double precision: what the scene
// needs to tell which shapes a visible area can show.
struct Point {
  double x = 0;
  double y = 0;
};

struct Rect {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;

  bool Contains(Point p) const {
    return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
  }
  Rect Expanded(double by) const {
    return {left - by, top - by, right + by, bottom + by};
  }
};

// Nearest and farthest distance from p to any point of r.
double NearestDistance(Point p, const Rect& r);
double FarthestDistance(Point p, const Rect& r);

}  // namespace wave
