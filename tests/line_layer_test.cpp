// SPDX-License-Identifier: GPL-3.0-or-later
// When the hyperbola layer of the last frame may be laid again, whole or in
// part, and which calls are left to draw.
#include "raster/keep/line_layer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/row_name.h"

namespace wave {
namespace {

constexpr int kWidth = 40, kHeight = 30;
constexpr std::uint32_t kBackground = 0xFFF0F0F0u;

using Call = LineLayer::Call;
const std::vector<Call> kCalls = {{0, 0, 100, 100, 0xFF, 2, 0},
                                  {100, 100, 200, 150, 0xFF, 2, 0},
                                  {0, 300, 600, 300, 0x20, 4, 0}};

struct Row {
  const char* name;
  std::vector<Call> next;  // the next frame's calls
  int width = kWidth;      // and its buffer's
  bool keptInPart = false;
  LineLayer::Reuse expected;
  std::size_t callsLeft;  // calls() after Close
};

std::vector<Call> Changed(std::size_t at) {
  std::vector<Call> calls = kCalls;
  calls[at].x2 += 1;
  return calls;
}

const Row kRows[] = {
    {"same-calls-whole", kCalls, kWidth, false, LineLayer::Reuse::kWhole, 0},
    {"same-calls-kept-in-part", kCalls, kWidth, true, LineLayer::Reuse::kInPart,
     3},
    {"other-buffer-size", kCalls, kWidth + 1, false, LineLayer::Reuse::kNone,
     3},
    {"first-call-differs", Changed(0), kWidth, false, LineLayer::Reuse::kNone,
     3},
    {"last-call-differs", Changed(2), kWidth, false, LineLayer::Reuse::kNone,
     3},
    {"one-call-fewer",
     {kCalls[0], kCalls[1]},
     kWidth,
     false,
     LineLayer::Reuse::kNone,
     2},
    {"one-call-more",
     {kCalls[0], kCalls[1], kCalls[2], kCalls[0]},
     kWidth,
     false,
     LineLayer::Reuse::kNone,
     4},
    {"no-calls", {}, kWidth, false, LineLayer::Reuse::kNone, 0},
};

class LineLayerTest : public ::testing::TestWithParam<Row> {};

TEST_P(LineLayerTest, ReusesOnlyWhatRepeats) {
  const Row& row = GetParam();
  LineLayer layer;
  std::vector<std::uint32_t> pixels(kWidth * kHeight, kBackground);
  pixels[5 * kWidth + 7] = 0xFF0000FFu;
  const PixelBuffer buffer{pixels.data(), kWidth, kHeight, kWidth};
  layer.Open();
  for (const Call& c : kCalls) layer.Record(c);
  EXPECT_EQ(layer.Close(kWidth, kHeight), LineLayer::Reuse::kNone);
  if (row.keptInPart) {
    SparseImage& kept = layer.KeepLater(kWidth, kHeight, kBackground);
    kept.KeepRows(buffer, 0, kHeight / 2);
  } else {
    layer.Keep(buffer, kBackground);
  }
  layer.Open();
  for (const Call& c : row.next) layer.Record(c);
  EXPECT_EQ(layer.Close(row.width, kHeight), row.expected);
  ASSERT_EQ(layer.calls().size(), row.callsLeft);
  for (std::size_t i = 0; i < row.callsLeft; ++i) {
    EXPECT_EQ(layer.calls()[i], row.next[i]) << "call " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, LineLayerTest, ::testing::ValuesIn(kRows),
                         testing::RowName());

}  // namespace
}  // namespace wave
