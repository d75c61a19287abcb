// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/counting_loop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace wave {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct LoopRow {
  const char* name;
  double start, end, step;
  std::vector<double> counters;  // every pass, worked by hand
};

class CountingLoopTest : public ::testing::TestWithParam<LoopRow> {};

TEST_P(CountingLoopTest, PassesAsTheLoopRuleCountsThem) {
  const LoopRow& row = GetParam();
  const CountingLoop loop(row.start, row.end, row.step);
  std::vector<double> counters;
  for (std::int64_t k = 0; k < loop.passes && k < 100; ++k) {
    counters.push_back(loop.At(k));
  }
  EXPECT_EQ(counters, row.counters);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CountingLoopTest,
    ::testing::Values(
        LoopRow{"step_divides_the_span", 1000, 0, -500, {1000, 500, 0}},
        LoopRow{"step_does_not_divide", 1100, 0, -500, {1100, 600, 100}},
        LoopRow{"rising", 0.5, 2, 1, {0.5, 1.5}},
        LoopRow{"end_included_exactly", 0, 3, 1, {0, 1, 2, 3}},
        LoopRow{"start_past_the_end", 0, 100, -50, {}},
        LoopRow{"zero_step_runs_once", 7, 9, 0, {7}},
        LoopRow{"step_too_small_to_move", 1e20, 0, -1, {1e20}},
        LoopRow{"nan_start", kNaN, 0, -1, {}},
        LoopRow{"nan_end", 100, kNaN, -1, {}},
        LoopRow{"nan_step", 100, 0, kNaN, {}},
        LoopRow{"infinite_start", kInf, 0, -500, {kInf}},
        LoopRow{"infinite_step", 100, 0, -kInf, {100}}),
    [](const auto& info) { return info.param.name; });

TEST(CountingLoopSpanTest, IndicesWithinCoverTheCountersInRange) {
  const CountingLoop loop(10000, 0, -250);  // 41 passes
  const CountingLoop::Span span = loop.IndicesWithin(2000, 3000);
  // 3000 is pass 28, 2000 pass 32: at most one pass more at either end.
  EXPECT_LE(span.first, 28);
  EXPECT_GE(span.first, 27);
  EXPECT_GE(span.last, 32);
  EXPECT_LE(span.last, 33);
  EXPECT_TRUE(loop.IndicesWithin(kNaN, 3000).empty());
  const CountingLoop rising(0, 10, 1);  // not a finite negative step: all
  EXPECT_EQ(rising.IndicesWithin(3, 4).first, 0);
  EXPECT_EQ(rising.IndicesWithin(3, 4).last, 10);
}
}  // namespace
}  // namespace wave
