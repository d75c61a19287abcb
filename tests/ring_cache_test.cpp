// SPDX-License-Identifier: GPL-3.0-or-later
// What the ring cache keeps, when it stops keeping, and what it forgets;
// whichever way a ring is laid, its pixels are those of scanning it afresh.
#include "raster/keep/ring_cache.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "raster/compose/band_compositor.h"
#include "raster/compose/worker_pool.h"
#include "raster/scan/ring_raster.h"
#include "tests/row_name.h"

namespace wave {
namespace {

constexpr int kWidth = 200, kHeight = 150;
constexpr std::uint32_t kBackground = 0xFFF0F0F0u;
constexpr std::size_t kEntry = 128;  // what an entry alone counts

struct Row {
  const char* name;
  std::size_t budget;  // bytes, as the canvas gives it each frame
  int denseBefore;     // rings drawn in the frame before, as filler
  bool keptOnSecond;   // the second sighting keeps the coverage
};

const Row kRows[] = {
    {"kept-the-second-time", 16 << 20, 0, true},
    {"budget-spent-scans-again", kEntry, 0, false},
    {"after-a-dense-frame-scans-again", 16 << 20, 1100, false},
    {"just-below-dense-keeps", 16 << 20, 1020, true},
};

class RingCacheTest : public ::testing::TestWithParam<Row> {};

TEST_P(RingCacheTest, KeepsByItsRulesAndLaysTheSamePixels) {
  const Row& row = GetParam();
  WorkerPool pool(1);
  BandCompositor queue(pool);
  RingCache cache;
  std::vector<std::uint32_t> expected(kWidth * kHeight, kBackground);
  StrokeRing({expected.data(), kWidth, kHeight, kWidth}, 90.3, 70.6, 40.2, 4,
             0x0000FF);
  const auto lay = [&] {
    std::vector<std::uint32_t> pixels(kWidth * kHeight, kBackground);
    cache.Lay(queue, kWidth, kHeight, 90.3, 70.6, 40.2, 4, 0x0000FF);
    queue.Run({pixels.data(), kWidth, kHeight, kWidth});
    return pixels;
  };
  cache.NextFrame(row.budget);
  const std::size_t before = cache.bytes();
  EXPECT_EQ(lay(), expected) << "seen once";
  EXPECT_EQ(cache.bytes(), before + kEntry) << "only noted";
  // The rest of its frame: filler rings, each drawn once.
  for (int i = 0; i < row.denseBefore; ++i) {
    cache.Lay(queue, kWidth, kHeight, 500.0 + i, 500, 1, 1, 0);
  }
  queue.Discard();
  const std::size_t noted = cache.bytes();
  cache.NextFrame(row.budget);
  EXPECT_EQ(lay(), expected) << "seen twice";
  if (row.keptOnSecond) {
    EXPECT_GT(cache.bytes(), noted + 1000) << "coverage kept";
  } else {
    EXPECT_EQ(cache.bytes(), noted) << "scanned, not kept";
  }
  cache.NextFrame(row.budget);
  EXPECT_EQ(lay(), expected) << "seen again";
}

INSTANTIATE_TEST_SUITE_P(Rows, RingCacheTest, ::testing::ValuesIn(kRows),
                         testing::RowName());

// A ring not drawn for kUnusedFrames frames goes, one drawn within them
// stays.
TEST(RingCacheTest, ForgetsWhatGoesUnused) {
  WorkerPool pool(1);
  BandCompositor queue(pool);
  RingCache cache;
  const auto draw = [&](double radius) {
    cache.Lay(queue, kWidth, kHeight, 100, 75, radius, 4, 0);
    queue.Discard();
  };
  // Both keep the ring of radius 50; the cache also that of radius 30.
  RingCache alone;
  for (RingCache* c : {&cache, &alone}) {
    for (int i = 0; i < 2; ++i) {
      c->Lay(queue, kWidth, kHeight, 100, 75, 50, 4, 0);
      queue.Discard();
    }
  }
  draw(30);
  draw(30);
  const std::size_t both = cache.bytes();
  ASSERT_GT(both, alone.bytes());
  for (std::uint64_t f = 0; f < 2 * RingCache::kUnusedFrames; ++f) {
    cache.NextFrame(16 << 20);
    draw(50);
  }
  EXPECT_LT(cache.bytes(), both);
  EXPECT_EQ(cache.bytes(), alone.bytes()) << "only the ring of radius 50";
  cache.Clear();
  EXPECT_EQ(cache.bytes(), 0u);
}

}  // namespace
}  // namespace wave
