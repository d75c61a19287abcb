// SPDX-License-Identifier: GPL-3.0-or-later
// The ring rasteriser against the coverage rule it implements, evaluated
// the slow way for every pixel of the buffer.
#include "raster/scan/ring_raster.h"
#include "raster/pixels/blend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

#include "tests/coverage_rule.h"

namespace wave {
namespace {

using testing::LargestChannelDifference;
using testing::Worst;

constexpr int kWidth = 96, kHeight = 64;
constexpr std::uint32_t kBackground = 0xFFF0F0F0u;

std::pair<double, double> NearEdge(int side, double along, double out) {
  return testing::NearEdge(side, along, out, kWidth, kHeight);
}

std::vector<std::uint32_t> Exact(double cx, double cy, double r, double pen,
                                 std::uint32_t rgb) {
  std::vector<std::uint32_t> out(kWidth * kHeight, kBackground);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      const double c = std::clamp(pen / 2 + 0.5 - std::fabs(d - r), 0.0, 1.0);
      out[y * kWidth + x] = BlendPixel(kBackground, 0xFF000000u | rgb,
                                       static_cast<unsigned>(c * 256 + 0.5));
    }
  }
  return out;
}

struct Case {
  double cx, cy, r, pen;
};
// Small rings take the square root; large ones the series, with their
// centres far outside; and rings cut by every edge of the buffer.
const Case kCases[] = {
    {48.3, 31.7, 2.5, 1},    {48.5, 32.5, 10, 4},
    {10.2, 5.9, 30, 2},      {20.3, 10.6, 63.9, 4},
    {20.3, 10.6, 64, 4},     {-40.4, 30.1, 100, 4},
    {48.7, -900.2, 930, 4},  {5000.3, 20.6, 4990, 8},
    {-3e5, 32, 3e5 + 50, 4}, {48.1, 1e5 + 10.4, 1e5, 1},
    {95.9, 63.9, 40, 3},     {0, 0, 70.25, 6},
};

// A background of every shade, so that each blended level shows.
std::vector<std::uint32_t> Noise(std::size_t n) {
  std::vector<std::uint32_t> out(n);
  std::uint32_t seed = 12345;
  for (std::uint32_t& p : out) {
    seed = seed * 1103515245u + 12345u;
    p = 0xFF000000u | (seed >> 8);
  }
  return out;
}

TEST(RingRasterTest, FollowsTheCoverageRuleEverywhere) {
  const std::uint32_t rgb = 0x2040C0u;
  for (const Case& c : kCases) {
    std::vector<std::uint32_t> pixels(kWidth * kHeight, kBackground);
    StrokeRing({pixels.data(), kWidth, kHeight, kWidth}, c.cx, c.cy, c.r, c.pen,
               rgb);
    const std::vector<std::uint32_t> expected =
        Exact(c.cx, c.cy, c.r, c.pen, rgb);
    int worst = 0, touched = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      worst = std::max(worst, LargestChannelDifference(pixels[i], expected[i]));
      touched += expected[i] != kBackground;
    }
    // One step of the 256 coverage levels, where rounding falls either way.
    EXPECT_LE(worst, 1) << "centre " << c.cx << "," << c.cy << " r " << c.r;
    EXPECT_GT(touched, 0) << "r " << c.r;  // each case shows some ring
  }
}

// Rings and lines that run nearly along a border, just inside or just
// outside it, where only their rims reach the edge pixels.
TEST(RingRasterTest, RingsAlongEachBorderFollowTheCoverageRule) {
  std::mt19937 random(2024);
  std::uniform_real_distribution<double> along(0.1, 0.9), out(-3, 5),
      logRadius(std::log(20.0), std::log(2e5)), unit(0, 1);
  for (int side = 0; side < 4; ++side) {
    for (int trial = 0; trial < 300; ++trial) {
      const double pen = 1 + 7 * unit(random);
      const double r = std::exp(logRadius(random));
      const auto [px, py] = NearEdge(side, along(random), out(random));
      // The centre lies r beyond the point, outwards, so the ring touches
      // the border there and runs nearly along it.
      const double ox = side == 0 ? -1 : side == 1 ? 1 : 0;
      const double oy = side == 2 ? -1 : side == 3 ? 1 : 0;
      const double cx = px + ox * r, cy = py + oy * r;
      std::vector<std::uint32_t> pixels(kWidth * kHeight, kBackground);
      StrokeRing({pixels.data(), kWidth, kHeight, kWidth}, cx, cy, r, pen,
                 0x2040C0u);
      ASSERT_LE(Worst(pixels, Exact(cx, cy, r, pen, 0x2040C0u)), 1)
          << "side " << side << " centre " << cx << "," << cy << " r " << r
          << " pen " << pen;
    }
  }
}

TEST(RingRasterTest, NothingOutsideTheBufferIsWritten) {
  // A guard row above and below catches a row index off by one.
  std::vector<std::uint32_t> memory((kHeight + 2) * kWidth, kBackground);
  const PixelBuffer inner{memory.data() + kWidth, kWidth, kHeight, kWidth};
  for (double cy : {-2.0, 0.4, 63.6, 66.0}) {
    for (double r : {3.0, 80.0, 4000.0}) {
      StrokeRing(inner, 48, cy + (r > 3 ? (cy < 32 ? -r : r) : 0), r, 8,
                 0x000000u);
    }
  }
  for (int x = 0; x < kWidth; ++x) {
    EXPECT_EQ(memory[x], kBackground);
    EXPECT_EQ(memory[(kHeight + 1) * kWidth + x], kBackground);
  }
}

// A ring drawn at once, or kept as coverage and laid later (four or the
// widest lanes), must give the same pixels on any background.
TEST(RingRasterTest, KeptCoverageLaysTheSamePixels) {
  // Odd widths end spans one to seven pixels short of a lane width.
  for (const int width : {96, 93, 7}) {
    const PixelBuffer probe{nullptr, width, kHeight, width};
    for (const Case& c : kCases) {
      const std::vector<std::uint32_t> background = Noise(width * kHeight);
      std::vector<std::uint32_t> direct = background;
      StrokeRing({direct.data(), width, kHeight, width}, c.cx, c.cy, c.r, c.pen,
                 0x10E070u);
      CoverageRuns coverage;
      CoverRing(probe.width, probe.height, c.cx, c.cy, c.r, c.pen, coverage);
      for (const Lanes lanes : {Lanes::Four, Lanes::Widest}) {
        std::vector<std::uint32_t> laid = background;
        LayCoverage({laid.data(), width, kHeight, width}, coverage, 0x10E070u,
                    0, 0, lanes);
        EXPECT_EQ(laid, direct) << "width " << width << " r " << c.r;
      }
    }
  }
}

// A disc made in a box of its own and laid anywhere: what falls in the
// buffer follows the disc rule, nothing else is written.
TEST(RingRasterTest, DiscLaidAtAnOffsetIsClippedToTheBuffer) {
  constexpr int kBox = 25;
  const double radius = 9.3;
  CoverageRuns disc;
  CoverDisc(kBox, kBox, 12.6, 12.1, radius, disc);
  // A guard column right of the buffer, in the stride, and guard rows.
  constexpr int kStride = kWidth + 1;
  for (const auto& [dx, dy] :
       {std::pair{-20, -20}, std::pair{-12, 10}, std::pair{40, 30},
        std::pair{84, 50}, std::pair{90, -5}, std::pair{-25, 70}}) {
    for (const Lanes lanes : {Lanes::Four, Lanes::Widest}) {
      std::vector<std::uint32_t> memory((kHeight + 2) * kStride, kBackground);
      const PixelBuffer buffer{memory.data() + kStride, kWidth, kHeight,
                               kStride};
      LayCoverage(buffer, disc, 0x000000u, dx, dy, lanes);
      int worst = 0;
      for (int y = -1; y <= kHeight; ++y) {
        for (int x = 0; x < kStride; ++x) {
          const std::uint32_t got = memory[(y + 1) * kStride + x];
          const bool inside = y >= 0 && y < kHeight && x < kWidth;
          if (!inside) {
            EXPECT_EQ(got, kBackground) << "guard " << x << "," << y;
            continue;
          }
          const double d =
              std::hypot(x + 0.5 - (12.6 + dx), y + 0.5 - (12.1 + dy));
          const double c = std::clamp(radius + 0.5 - d, 0.0, 1.0);
          const auto level = static_cast<unsigned>(c * 256 + 0.5);
          const std::uint32_t expected =
              BlendPixel(kBackground, 0xFF000000u, level >= 255 ? 256 : level);
          worst = std::max(worst, LargestChannelDifference(got, expected));
        }
      }
      EXPECT_LE(worst, 1) << "offset " << dx << "," << dy;
    }
  }
}

}  // namespace
}  // namespace wave
