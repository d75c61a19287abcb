// SPDX-License-Identifier: GPL-3.0-or-later
// The C library's way of reading and writing numbers, which the browser
// build takes, against <charconv>, which the desktop build takes: the same
// text and the same values, over values of every kind.
#include "canvas/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

namespace wave {
namespace {

#if defined(__cpp_lib_to_chars)

// SARVEL_NUMBER_TEXT_VALUES raises the count, for a run by hand.
int Count(int usual) {
  const char* asked = std::getenv("SARVEL_NUMBER_TEXT_VALUES");
  return asked != nullptr ? std::atoi(asked) : usual;
}

std::string CharconvShortest(double v) {
  char b[64];
  return std::string(b, std::to_chars(b, b + sizeof b, v).ptr);
}
std::string CharconvShortest(float v) {
  char b[64];
  return std::string(b, std::to_chars(b, b + sizeof b, v).ptr);
}

TEST(NumberTextTest, ShortestDoublesAsCharconvWritesThem) {
  std::mt19937_64 random(1);
  const int count = Count(100'000);
  for (int i = 0; i < count; ++i) {
    // Any bit pattern, and values near the ones the frame meets.
    double v = std::bit_cast<double>(random());
    if (i % 2 == 1)
      v = std::ldexp(static_cast<double>(random() % 100000), -10 + i % 40);
    if (!std::isfinite(v)) continue;
    ASSERT_EQ(fallback::ShortestText(v), CharconvShortest(v)) << v;
  }
  for (const double v :
       {0.0, -0.0, 1e15, 1e16, 1e21, 1e22, 123456789.0, 1e-5, 1e-4, 0.1, 0.3,
        5e-324, 1.7976931348623157e308, 100000.0, 1234000.0, 2.5, 1e100}) {
    EXPECT_EQ(fallback::ShortestText(v), CharconvShortest(v)) << v;
  }
}

TEST(NumberTextTest, ShortestFloatsAsCharconvWritesThem) {
  std::mt19937 random(2);
  const int count = Count(100'000);
  for (int i = 0; i < count; ++i) {
    const float v = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
    if (!std::isfinite(v)) continue;
    ASSERT_EQ(fallback::ShortestText(v), CharconvShortest(v)) << v;
  }
  for (const float v : {0.1f, 2.0f, 1e-45f, 3.4028235e38f, 1e7f, 16777216.0f}) {
    EXPECT_EQ(fallback::ShortestText(v), CharconvShortest(v)) << v;
  }
}

TEST(NumberTextTest, TwoDecimalsAsCharconvWritesThem) {
  std::mt19937_64 random(3);
  std::uniform_real_distribution<double> ratio(-1e6, 1e6);
  for (int i = 0; i < Count(100'000); ++i) {
    const double v = i % 3 == 0 ? std::round(ratio(random) * 100) / 100
                                : ratio(random) / (1 + i % 1000);
    char b[400];
    const auto end =
        std::to_chars(b, b + sizeof b, v, std::chars_format::fixed, 2).ptr;
    ASSERT_EQ(fallback::FixedText(v, 2), std::string(b, end)) << v;
  }
}

TEST(NumberTextTest, DecimalsReadAsCharconvReadsThem) {
  std::mt19937_64 random(4);
  std::uniform_int_distribution<int> digit(0, 9), length(1, 25),
      exponent(-340, 340);
  for (int i = 0; i < Count(100'000); ++i) {
    std::string text;
    for (int n = length(random); n > 0; --n)
      text += static_cast<char>('0' + digit(random));
    if (i % 2 == 0) text.insert(text.size() / 2, ".");
    if (i % 3 != 0) text += "e" + std::to_string(exponent(random));
    double a = -1, b = -1;
    const std::errc mine = fallback::ReadDecimal(text, a);
    const auto theirs = std::from_chars(text.data(), text.data() + text.size(),
                                        b, std::chars_format::general);
    ASSERT_EQ(mine, theirs.ec) << text;
    if (mine == std::errc()) {
      ASSERT_EQ(a, b) << text;
    }
  }
}

#else

TEST(NumberTextTest, WithoutCharconvTheFallbackServes) {
  EXPECT_EQ(ShortestText(0.1), "0.1");
  EXPECT_EQ(FixedText(2.0 / 3, 2), "0.67");
}

#endif

}  // namespace
}  // namespace wave
