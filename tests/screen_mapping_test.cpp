// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/screen_mapping.h"

#include <gtest/gtest.h>

namespace wave {
namespace {

struct Row {
  const char* name;
  double dpi, ratio;
  double twips;
  int pixels;     // rounded logical pixels
  double device;  // exact device pixels
};

class ScreenMappingTest : public ::testing::TestWithParam<Row> {};

TEST_P(ScreenMappingTest, TwipsToPixelsAndBack) {
  const Row& row = GetParam();
  const ScreenMapping m{row.dpi, row.ratio};
  EXPECT_EQ(m.ToPixels(row.twips), row.pixels);
  EXPECT_DOUBLE_EQ(m.ToDevice(row.twips), row.device);
  EXPECT_DOUBLE_EQ(m.FromDevice(row.device), row.twips);
  EXPECT_DOUBLE_EQ(m.ToTwips(m.ToLogical(row.twips)), row.twips);
}

// Worked by hand: 1440 twips are an inch, 96 or 144 logical pixels.
INSTANTIATE_TEST_SUITE_P(
    Corners, ScreenMappingTest,
    ::testing::Values(
        Row{"inch_at_96", 96, 1, 1440, 96, 96},
        Row{"inch_at_144", 144, 1, 1440, 144, 144},
        Row{"inch_at_96_ratio_2", 96, 2, 1440, 96, 192},
        Row{"inch_at_144_ratio_2", 144, 2, 1440, 144, 288},
        Row{"window_width_at_96", 96, 1, 10230, 682, 682},
        Row{"window_width_at_144", 144, 2, 10230, 1023, 2046},
        Row{"half_pixel_rounds_up_at_96", 96, 1, 7.5, 1, 0.5},
        Row{"under_half_rounds_down_at_96", 96, 1, 7, 0, 7.0 / 15},
        Row{"half_pixel_at_144", 144, 2, 5, 1, 1},
        Row{"negative_half_rounds_away", 96, 1, -7.5, -1, -0.5},
        Row{"far_away_is_clamped", 96, 1, 1e12, 1'000'000, 1e12 / 15},
        Row{"far_negative_is_clamped", 144, 1, -1e12, -1'000'000, -1e11}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace wave
