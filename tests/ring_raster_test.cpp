// The ring rasteriser against the coverage rule it implements, evaluated
// the slow way for every pixel of the buffer.
#include "canvas/ring_raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

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

TEST(RingRasterTest, FollowsTheCoverageRuleEverywhere) {
  struct Case {
    double cx, cy, r, pen;
  };
  // Small rings take the square root; large ones the series, with their
  // centres far outside; and rings cut by every edge of the buffer.
  const Case cases[] = {
      {48.3, 31.7, 2.5, 1},    {48.5, 32.5, 10, 4},
      {10.2, 5.9, 30, 2},      {20.3, 10.6, 63.9, 4},
      {20.3, 10.6, 64, 4},     {-40.4, 30.1, 100, 4},
      {48.7, -900.2, 930, 4},  {5000.3, 20.6, 4990, 8},
      {-3e5, 32, 3e5 + 50, 4}, {48.1, 1e5 + 10.4, 1e5, 1},
      {95.9, 63.9, 40, 3},     {0, 0, 70.25, 6},
  };
  const std::uint32_t rgb = 0x2040C0u;
  for (const Case& c : cases) {
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

}  // namespace
}  // namespace wave
