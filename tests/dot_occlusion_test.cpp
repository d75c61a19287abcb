// SPDX-License-Identifier: GPL-3.0-or-later
// Dots left out as covered by later ones, against all of them laid.
#include "raster/compose/dot_occlusion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "raster/scan/ring_raster.h"
#include "tests/row_name.h"

namespace wave {
namespace {

struct Row {
  const char* name;
  int width, height;
  int dots;
  double radius;  // outer, in pixels; each dot a little more or less
  double spread;  // of the centres beyond the buffer, in its sizes
};

const Row kRows[] = {
    {"apart", 400, 300, 40, 4, 0},
    {"piled-deep", 400, 300, 5000, 8.7, 0},
    {"across-the-edges", 130, 90, 3000, 6, 0.2},
    {"wider-than-a-word", 300, 200, 800, 40, 0.1},
    {"one-pixel", 64, 64, 2000, 0.6, 0.05},
};

struct Laid {
  std::deque<CoverageRuns> coverage;  // as the canvas keeps them
  std::deque<DotShape> shapes;
  std::vector<PlacedDot> placed;
  std::vector<std::uint32_t> colours;
};

// Dots of a few sizes at quarter-pixel phases, as the canvas lays them.
Laid Dots(const Row& row) {
  std::mt19937 random(3);
  std::uniform_real_distribution<double> unit(0, 1);
  Laid laid;
  for (int i = 0; i < row.dots; ++i) {
    const double outer = row.radius * (0.9 + 0.2 * (i % 3) / 2);
    const int half = static_cast<int>(std::ceil(outer + 1));
    const double phaseX = static_cast<int>(unit(random) * 4);
    const double phaseY = static_cast<int>(unit(random) * 4);
    CoverDisc(2 * half + 1, 2 * half + 1, half + (phaseX + 0.5) / 4,
              half + (phaseY + 0.5) / 4, outer, laid.coverage.emplace_back());
    laid.shapes.push_back(ShapeOf(laid.coverage.back()));
    const double x = (unit(random) * (1 + 2 * row.spread) - row.spread);
    const double y = (unit(random) * (1 + 2 * row.spread) - row.spread);
    laid.placed.push_back({&laid.shapes.back(),
                           static_cast<int>(x * row.width) - half,
                           static_cast<int>(y * row.height) - half});
    laid.colours.push_back(0xFF000000u | (random() & 0xFFFFFFu));
  }
  return laid;
}

using Pixels = std::vector<std::uint32_t>;

// The dots laid over a background of random pixels, all of them or only
// those shown.
Pixels LayOver(const Row& row, const Laid& laid, unsigned seed,
               const std::vector<std::uint8_t>* shows) {
  Pixels pixels(static_cast<std::size_t>(row.width) * row.height);
  std::mt19937 random(seed);
  for (auto& p : pixels) p = 0xFF000000u | (random() & 0xFFFFFFu);
  const PixelBuffer out{pixels.data(), row.width, row.height, row.width};
  for (std::size_t i = 0; i < laid.placed.size(); ++i) {
    if (shows != nullptr && (*shows)[i] == 0) continue;
    LayCoverage(out, laid.coverage[i], laid.colours[i], laid.placed[i].dx,
                laid.placed[i].dy);
  }
  return pixels;
}

class DotOcclusionTest : public ::testing::TestWithParam<Row> {};

TEST_P(DotOcclusionTest, LeavesOutOnlyWhatIsCoveredOver) {
  const Row& row = GetParam();
  const Laid laid = Dots(row);
  DotOcclusion occlusion;
  std::vector<std::uint8_t> shows;
  occlusion.Find(row.width, row.height, laid.placed, shows);
  ASSERT_EQ(shows.size(), laid.placed.size());

  const Pixels all = LayOver(row, laid, 1, nullptr);
  const Pixels shown = LayOver(row, laid, 1, &shows);
  const Pixels otherUnder = LayOver(row, laid, 2, nullptr);
  const CellMask covered = occlusion.Covered();
  const std::vector<std::uint8_t> rows = occlusion.CoveredRows();
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(row.height));
  std::size_t differ = 0, underShows = 0, coveredPixels = 0, rowsWrong = 0;
  for (int y = 0; y < row.height; ++y) {
    bool whole = true;
    for (int x = 0; x < row.width; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * row.width + x;
      differ += all[i] != shown[i];
      const bool c = covered.Covers(y, x, x);
      whole = whole && c;
      coveredPixels += c;
      // What lay under a covered pixel must not show through.
      underShows += c && all[i] != otherUnder[i];
    }
    rowsWrong += (rows[static_cast<std::size_t>(y)] != 0) != whole;
  }
  EXPECT_EQ(differ, 0u) << "a dot left out showed";
  EXPECT_EQ(underShows, 0u) << "a pixel said covered showed what lay under";
  EXPECT_EQ(rowsWrong, 0u);
  std::size_t shownCount = 0;
  for (auto s : shows) shownCount += s;
  if (row.dots >= 5000) {
    // Ten deep, most dots are hidden and nearly every pixel covered.
    EXPECT_LT(shownCount, laid.placed.size() / 2);
    EXPECT_GT(coveredPixels,
              static_cast<std::size_t>(row.width) * row.height * 9 / 10);
  }
  if (row.dots < 100) {
    EXPECT_EQ(shownCount, laid.placed.size());
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, DotOcclusionTest, ::testing::ValuesIn(kRows),
                         testing::RowName());

}  // namespace
}  // namespace wave
