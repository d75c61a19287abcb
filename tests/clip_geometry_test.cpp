// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/scan/clip_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace wave {
namespace {

const Rect kImage{0, 0, 682, 476};

TEST(PlaneGeometryTest, SegmentsAreClippedToTheRectangle) {
  auto inside = ClipSegment({10, 10}, {20, 30}, kImage);
  ASSERT_TRUE(inside);
  EXPECT_DOUBLE_EQ(inside->first.x, 10);
  EXPECT_DOUBLE_EQ(inside->second.y, 30);

  auto crossing = ClipSegment({-1e30, 100}, {1e30, 100}, kImage);
  ASSERT_TRUE(crossing);
  EXPECT_NEAR(crossing->first.x, 0, 1e-6);
  EXPECT_NEAR(crossing->second.x, 682, 1e-6);
  EXPECT_DOUBLE_EQ(crossing->first.y, 100);

  EXPECT_FALSE(ClipSegment({-10, -10}, {-1, 500}, kImage));
  EXPECT_FALSE(ClipSegment({700, 0}, {800, 476}, kImage));
  auto point = ClipSegment({5, 5}, {5, 5}, kImage);
  ASSERT_TRUE(point);
  EXPECT_DOUBLE_EQ(point->first.x, point->second.x);
}

double WorstDeviation(const std::vector<std::vector<Point>>& arcs, Point c,
                      double r) {
  double worst = 0;
  for (const auto& arc : arcs) {
    for (std::size_t i = 0; i + 1 < arc.size(); ++i) {
      const Point mid{(arc[i].x + arc[i + 1].x) / 2,
                      (arc[i].y + arc[i + 1].y) / 2};
      worst = std::max(
          worst, std::fabs(std::hypot(arc[i].x - c.x, arc[i].y - c.y) - r));
      worst =
          std::max(worst, std::fabs(std::hypot(mid.x - c.x, mid.y - c.y) - r));
    }
  }
  return worst;
}

TEST(PlaneGeometryTest, VisibleArcsOfHugeCirclesStayOnTheCircle) {
  struct Row {
    const char* name;
    Point c;
    double r;
    std::size_t arcs;
  };
  const Row rows[] = {
      {"whole-circle-inside", {341, 238}, 100, 1},
      {"crossing-left-edge", {0, 238}, 100, 1},
      {"centre-far-left", {-1e5, 238}, 1e5 + 300, 1},
      {"centre-below", {341, 1e7 + 200}, 1e7, 1},
      {"through-top-and-bottom", {341, 238}, 300, 2},
      {"misses", {-1000, -1000}, 10, 0},
      {"encloses", {341, 238}, 5000, 0},
  };
  for (const Row& row : rows) {
    const auto arcs = VisibleArcs(row.c, row.r, kImage, 0.05);
    EXPECT_EQ(arcs.size(), row.arcs) << row.name;
    EXPECT_LT(WorstDeviation(arcs, row.c, row.r), 0.05 * 1.01 + 1e-9 * row.r)
        << row.name;
    for (const auto& arc : arcs) {
      EXPECT_LT(arc.size(), 2000u) << row.name;
      for (const Point& p : arc) {
        EXPECT_TRUE(kImage.Expanded(0.06).Contains(p)) << row.name;
      }
    }
  }
}

TEST(PlaneGeometryTest, ClippedDiscCoversTheVisiblePartOnly) {
  const auto disc = ClippedDisc({341, -1e6}, 1e6 + 100, kImage, 0.5);
  ASSERT_GE(disc.size(), 3u);
  double maxY = 0;
  for (const Point& p : disc) {
    EXPECT_TRUE(kImage.Contains(p));
    maxY = std::max(maxY, p.y);
  }
  EXPECT_NEAR(maxY, 100, 1e-6);
  EXPECT_TRUE(ClippedDisc({-500, -500}, 10, kImage, 0.5).empty());
}

}  // namespace
}  // namespace wave
