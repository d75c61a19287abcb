// SPDX-License-Identifier: GPL-3.0-or-later
// Piled discs against the rule they implement, pixel by pixel: each pixel
// shows the last disc whose circle holds its centre.
#include "raster/compose/piled_discs.h"
#include "raster/compose/worker_pool.h"
#include "tests/row_name.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace wave {
namespace {

struct Row {
  const char* name;
  int width, height;
  int discs;
  double radius, spread;  // radii up to `radius`, centres up to `spread`
                          // widths beyond the buffer's edges
  int run;                // discs of one colour in a row
};

const Row kRows[] = {
    {"few-colours-alternating", 203, 141, 400, 30, 0.1, 1},
    {"long-runs-of-one-colour", 203, 141, 3000, 40, 0.2, 700},
    {"large-discs-dense", 330, 250, 6000, 90, 0.0, 3000},
    {"discs-larger-than-the-buffer", 67, 45, 50, 400, 3, 7},
    {"edges-not-cell-aligned", 9, 13, 200, 5, 0.5, 3},
    {"one-row-one-column", 1, 37, 100, 4, 0.3, 2},
    // A sample of the discs fills most stripes; the rest are looked at
    // disc by disc.
    {"giant-pile", 300, 200, 12000, 120, 0.3, 6000},
    {"deep-pile-with-holes", 200, 150, 6000, 6, 0.1, 3000},
};

std::vector<PiledDisc> Discs(const Row& row) {
  std::mt19937 random(3);
  std::uniform_real_distribution<double> unit(0, 1);
  std::vector<PiledDisc> discs;
  const std::uint32_t colours[] = {0x00FF00, 0x005000, 0x2040FF};
  for (int i = 0; i < row.discs; ++i) {
    const double s = row.spread;
    discs.push_back({(unit(random) * (1 + 2 * s) - s) * row.width,
                     (unit(random) * (1 + 2 * s) - s) * row.height,
                     unit(random) * row.radius, colours[(i / row.run) % 3]});
  }
  return discs;
}

class PiledDiscsTest : public ::testing::TestWithParam<Row> {};

TEST_P(PiledDiscsTest, EachPixelShowsTheLastDiscOverIt) {
  const Row& row = GetParam();
  const std::vector<PiledDisc> discs = Discs(row);
  const std::uint32_t background = 0xFFF0F0F0u;
  for (const int workers : {1, 3}) {
    WorkerPool pool(workers);
    std::vector<std::uint32_t> pixels(
        static_cast<std::size_t>(row.width) * row.height, background);
    PiledDiscs pile(discs, row.width, row.height);
    pile.Cover(pool);
    const std::vector<std::uint8_t> painted = pile.PaintedRows();
    pile.Paint({pixels.data(), row.width, row.height, row.width}, pool);

    int differ = 0, rowsDiffer = 0;
    for (int y = 0; y < row.height; ++y) {
      bool whole = true;
      for (int x = 0; x < row.width; ++x) {
        std::uint32_t expected = background;
        for (auto d = discs.rbegin(); d != discs.rend(); ++d) {
          const double dx = x + 0.5 - d->cx, dy = y + 0.5 - d->cy;
          if (dx * dx + dy * dy <= d->radius * d->radius) {
            expected = 0xFF000000u | d->rgb;
            break;
          }
        }
        whole = whole && expected != background;
        differ +=
            pixels[static_cast<std::size_t>(y) * row.width + x] != expected;
      }
      rowsDiffer += (painted[static_cast<std::size_t>(y)] != 0) != whole;
    }
    EXPECT_EQ(differ, 0) << workers << " workers";
    // A row told painted whole that is not would leave a hole in a frame.
    EXPECT_EQ(rowsDiffer, 0) << workers << " workers";
  }
}

// Each row painted whole, by the rule, and only those, told as such: here
// rows 0 to 20 are, and in the others only the last pixel is left.
TEST(PiledDiscsRowsTest, TellsTheRowsPaintedWhole) {
  const int width = 100, height = 40;
  const std::vector<PiledDisc> discs = {{-1000, 20, 1099, 0x00FF00},
                                        {50, 5, 52, 0x2040FF}};
  WorkerPool pool(2);
  PiledDiscs pile(discs, width, height);
  pile.Cover(pool);
  const std::vector<std::uint8_t> painted = pile.PaintedRows();
  ASSERT_EQ(painted.size(), static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    bool whole = true;
    for (int x = 0; x < width; ++x) {
      bool in = false;
      for (const PiledDisc& d : discs) {
        const double dx = x + 0.5 - d.cx, dy = y + 0.5 - d.cy;
        in = in || dx * dx + dy * dy <= d.radius * d.radius;
      }
      whole = whole && in;
    }
    EXPECT_EQ(painted[static_cast<std::size_t>(y)] != 0, whole) << "row " << y;
  }
  EXPECT_TRUE(painted[0] && painted[20] && !painted[21] && !painted[39]);
}

INSTANTIATE_TEST_SUITE_P(Rows, PiledDiscsTest, ::testing::ValuesIn(kRows),
                         testing::RowName());

}  // namespace
}  // namespace wave
