// SPDX-License-Identifier: GPL-3.0-or-later
// Large discs' interiors: the ink laid equals the polygon's area, and each
// pixel wholly inside or outside is full or untouched.
#include "raster/scan/convex_fill.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "raster/scan/clip_geometry.h"

namespace wave {
namespace {

constexpr int kWidth = 120, kHeight = 90;
constexpr std::uint32_t kWhite = 0xFFFFFFFFu, kInk = 0x000000u;

double ShoelaceArea(const std::vector<Point>& p) {
  double twice = 0;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const Point a = p[i], b = p[(i + 1) % p.size()];
    twice += a.x * b.y - b.x * a.y;
  }
  return std::fabs(twice) / 2;
}

TEST(ConvexFillTest, InkEqualsAreaAndInsideIsFull) {
  std::mt19937 random(99);
  std::uniform_real_distribution<double> centre(-60, 180), radius(2, 400);
  const Rect image{0, 0, kWidth, kHeight};
  for (int trial = 0; trial < 300; ++trial) {
    const Point c{centre(random), centre(random) * 0.75};
    const double r = radius(random);
    const std::vector<Point> polygon = ClippedDisc(c, r, image, 0.5);
    std::vector<std::uint32_t> pixels(kWidth * kHeight, kWhite);
    FillConvex({pixels.data(), kWidth, kHeight, kWidth}, polygon, kInk);
    double ink = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const std::uint32_t p = pixels[y * kWidth + x];
        ink += 1 - static_cast<double>(p & 0xFF) / 255;
        // Pixels whose every corner lies well inside or outside the disc.
        const double d = std::hypot(x + 0.5 - c.x, y + 0.5 - c.y);
        if (d < r - 1) {
          ASSERT_EQ(p & 0xFFFFFFu, kInk) << trial << " at " << x << "," << y;
        }
        if (d > r + 1) {
          ASSERT_EQ(p, kWhite) << trial << " at " << x << "," << y;
        }
      }
    }
    const double area = polygon.size() < 3 ? 0 : ShoelaceArea(polygon);
    EXPECT_NEAR(ink, area, 1 + 0.01 * area) << "trial " << trial;
  }
}

}  // namespace
}  // namespace wave
