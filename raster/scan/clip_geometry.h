// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "canvas/plane_geometry.h"

namespace wave {

// Clipping of circles and segments against an axis-aligned rectangle, in
// double precision, so that shapes of any size reach the rasteriser only as
// the few points that can be seen.

// The part of the segment a–b inside r, or nothing.
std::optional<std::pair<Point, Point>> ClipSegment(Point a, Point b,
                                                   const Rect& r);

// An arc from angle `from` to `to` (radians, from < to, within −2π…2π).
struct AngleInterval {
  double from, to;
};

// The angles at which the circle (centre c, radius) lies inside r widened by
// tolerance, as ascending intervals; arcs meeting across angle 0 are joined.
std::vector<AngleInterval> VisibleAngles(Point c, double radius, const Rect& r,
                                         double tolerance);

// Lowest and highest y of the circle's points on an arc.
std::pair<double, double> VerticalExtent(Point c, double radius,
                                         const AngleInterval& span);

// The arcs of the circle (centre c, radius) that lie inside r, each as a
// polyline whose chords stray at most `tolerance` from the true circle.
// Angles run as in screen coordinates (y down); arcs that meet across
// angle 0 are joined.
std::vector<std::vector<Point>> VisibleArcs(Point c, double radius,
                                            const Rect& r, double tolerance);

// The outline of the disc (centre c, radius) intersected with r, as a convex
// polygon sampled every `rowStep` in y; empty when they do not meet.
std::vector<Point> ClippedDisc(Point c, double radius, const Rect& r,
                               double rowStep);

}  // namespace wave
