// SPDX-License-Identifier: GPL-3.0-or-later
// The ring rasteriser against the coverage rule it implements, evaluated
// the slow way for every pixel of the buffer.
#include "raster/ring_raster.h"
#include "raster/blend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <utility>
#include <vector>

#include "raster/coverage_mask.h"

namespace wave {
namespace {

constexpr int kWidth = 96, kHeight = 64;
constexpr std::uint32_t kBackground = 0xFFF0F0F0u;

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

int LargestChannelDifference(std::uint32_t a, std::uint32_t b) {
  int m = 0;
  for (int shift : {0, 8, 16}) {
    m = std::max(m, std::abs(static_cast<int>((a >> shift) & 0xFF) -
                             static_cast<int>((b >> shift) & 0xFF)));
  }
  return m;
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

// The largest channel difference over the buffer.
int Worst(const std::vector<std::uint32_t>& a,
          const std::vector<std::uint32_t>& b) {
  int worst = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    worst = std::max(worst, LargestChannelDifference(a[i], b[i]));
  }
  return worst;
}

// A point on the edge `side` of the buffer (0 left, 1 right, 2 top,
// 3 bottom), `along` of the way, moved `out` pixels outwards.
std::pair<double, double> NearEdge(int side, double along, double out) {
  switch (side) {
    case 0:
      return {-out, along * kHeight};
    case 1:
      return {kWidth + out, along * kHeight};
    case 2:
      return {along * kWidth, -out};
    default:
      return {along * kWidth, kHeight + out};
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

TEST(CoverageMaskTest, LinesAlongEachBorderFollowTheCoverageRule) {
  std::mt19937 random(4048);
  std::uniform_real_distribution<double> along(-0.2, 1.2), out(-3, 5),
      slope(-0.02, 0.02), unit(0, 1);
  WorkerPool pool(3);
  CoverageMask mask;
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
      RingCoverage coverage;
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
  RingCoverage disc;
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
