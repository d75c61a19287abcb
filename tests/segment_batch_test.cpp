// SPDX-License-Identifier: GPL-3.0-or-later
// Batches of wide segments against the coverage rule, evaluated the slow
// way for every pixel.
#include "raster/scan/segment_batch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "raster/compose/worker_pool.h"
#include "raster/pixels/pixels.h"
#include "tests/coverage_rule.h"

namespace wave {
namespace {

using testing::Worst;

constexpr int kWidth = 96, kHeight = 64;
constexpr std::uint32_t kBackground = 0xFFF0F0F0u;

std::pair<double, double> NearEdge(int side, double along, double out) {
  return testing::NearEdge(side, along, out, kWidth, kHeight);
}

// A batch of segments keeps the largest coverage of each pixel, so that a
// polyline's joints are not blended twice, and is cleared once laid.
TEST(SegmentBatchTest, OverlapsCountOnceAndTheMaskEmptiesWhenLaid) {
  constexpr int kW = 40, kH = 20;
  constexpr std::uint32_t kWhite = 0xFFFFFFFF, kInk = 0xFF000000;
  const auto lay = [&](int times) {
    std::vector<std::uint32_t> pixels(kW * kH, kWhite);
    WorkerPool pool(2);
    SegmentBatch mask;
    mask.Fit(kW, kH);
    for (int i = 0; i < times; ++i) mask.AddSegment(5, 10.3, 35, 10.3, 2);
    EXPECT_FALSE(mask.empty());
    mask.Composite({pixels.data(), kW, kH, kW}, kInk, pool);
    EXPECT_TRUE(mask.empty());
    return pixels;
  };
  const std::vector<std::uint32_t> once = lay(1), thrice = lay(3);
  EXPECT_EQ(once, thrice);
  // Inside the pen the ink is solid, far from it untouched, at its rim a
  // partial shade.
  EXPECT_EQ(once[10 * kW + 20], kInk);
  EXPECT_EQ(once[2 * kW + 20], kWhite);
  const std::uint32_t rim = once[11 * kW + 20];
  EXPECT_NE(rim, kInk);
  EXPECT_NE(rim, kWhite);
}

TEST(SegmentBatchTest, LinesAlongEachBorderFollowTheCoverageRule) {
  std::mt19937 random(4048);
  std::uniform_real_distribution<double> along(-0.2, 1.2), out(-3, 5),
      slope(-0.02, 0.02), unit(0, 1);
  WorkerPool pool(3);
  SegmentBatch mask;
  mask.Fit(kWidth, kHeight);
  for (int side = 0; side < 4; ++side) {
    for (int trial = 0; trial < 300; ++trial) {
      const double pen = 1 + 7 * unit(random);
      const double offset = out(random);
      auto [x0, y0] = NearEdge(side, along(random), offset);
      auto [x1, y1] = NearEdge(side, along(random), offset);
      // Nearly parallel to the border: a slight tilt.
      (side < 2 ? x1 : y1) += slope(random) * kWidth;
      std::vector<std::uint32_t> pixels(kWidth * kHeight, kBackground);
      mask.AddSegment(x0, y0, x1, y1, pen);
      mask.Composite({pixels.data(), kWidth, kHeight, kWidth}, 0x2040C0u, pool);
      std::vector<std::uint32_t> expected(kWidth * kHeight, kBackground);
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          // Distance from the pixel's centre to the segment.
          const double dx = x1 - x0, dy = y1 - y0;
          const double length2 = dx * dx + dy * dy;
          const double qx = x + 0.5 - x0, qy = y + 0.5 - y0;
          const double t =
              length2 > 0 ? std::clamp((qx * dx + qy * dy) / length2, 0.0, 1.0)
                          : 0.0;
          const double d = std::hypot(qx - t * dx, qy - t * dy);
          const double c = std::clamp(pen / 2 + 0.5 - d, 0.0, 1.0);
          expected[y * kWidth + x] = BlendPixel(
              kBackground, 0xFF2040C0u, static_cast<unsigned>(c * 256 + 0.5));
        }
      }
      ASSERT_LE(Worst(pixels, expected), 1)
          << "side " << side << " from " << x0 << "," << y0 << " to " << x1
          << "," << y1 << " pen " << pen;
    }
  }
}

}  // namespace
}  // namespace wave
