// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/plane_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace wave {
namespace {

const Rect kImage{0, 0, 682, 476};

TEST(PlaneGeometryTest, DistancesToARectangle) {
  struct Row {
    Point p;
    double nearest, farthest;
  };
  const Row rows[] = {
      {{341, 238}, 0, std::hypot(341, 238)},
      {{-30, 100}, 30, std::hypot(712, 376)},
      {{712, 516}, std::hypot(30, 40), std::hypot(712, 516)},
      {{0, 0}, 0, std::hypot(682, 476)},
  };
  for (const Row& row : rows) {
    EXPECT_DOUBLE_EQ(NearestDistance(row.p, kImage), row.nearest);
    EXPECT_DOUBLE_EQ(FarthestDistance(row.p, kImage), row.farthest);
  }
}

}  // namespace
}  // namespace wave
