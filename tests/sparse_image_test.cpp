// SPDX-License-Identifier: GPL-3.0-or-later
// An image kept as runs over one colour gives back every pixel, whole or
// row by row, whatever the runs are.
#include "raster/keep/sparse_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace wave {
namespace {

constexpr std::uint32_t kBackground = 0xFFF0F0F0u;

TEST(SparseImageTest, GivesBackWhatItKept) {
  std::mt19937 random(3);
  std::uniform_int_distribution<int> size(1, 70), density(0, 40);
  for (int trial = 0; trial < 200; ++trial) {
    const int width = size(random), height = size(random);
    const int marks = density(random);
    std::vector<std::uint32_t> image(width * height, kBackground);
    std::uniform_int_distribution<int> at(0, width * height - 1);
    for (int i = 0; i < marks * width; ++i) {
      image[at(random)] = 0xFF000000u | static_cast<std::uint32_t>(random());
    }
    // The last pixel of a row and the first of the next, as a run might.
    if (height > 1) image[width - 1] = image[width] = 0xFF123456u;
    SparseImage kept;
    kept.Keep({image.data(), width, height, width}, kBackground);
    EXPECT_TRUE(kept.complete());
    std::vector<std::uint32_t> out(width * height, 0xFF000000u);
    kept.CopyRows({out.data(), width, height, width}, 0, height);
    ASSERT_EQ(out, image) << "trial " << trial;
  }
}

TEST(SparseImageTest, KeptRowByRowIsCompleteOnlyWhenEveryRowIs) {
  constexpr int kW = 16, kH = 12;
  std::vector<std::uint32_t> image(kW * kH, kBackground);
  image[3 * kW + 4] = 0xFF0000FFu;
  image[9 * kW + 15] = 0xFFFF0000u;
  const PixelBuffer buffer{image.data(), kW, kH, kW};
  SparseImage kept;
  kept.Begin(kW, kH, kBackground);
  EXPECT_FALSE(kept.any());
  kept.KeepRows(buffer, 0, 6);
  EXPECT_TRUE(kept.any());
  EXPECT_FALSE(kept.complete());
  EXPECT_TRUE(kept.kept(5));
  EXPECT_FALSE(kept.kept(6));
  kept.KeepRows(buffer, 6, kH);
  EXPECT_TRUE(kept.complete());
  std::vector<std::uint32_t> out(kW * kH, 0);
  // Bands in any order.
  kept.CopyRows({out.data(), kW, kH, kW}, 6, kH);
  kept.CopyRows({out.data(), kW, kH, kW}, 0, 6);
  EXPECT_EQ(out, image);
}

}  // namespace
}  // namespace wave
