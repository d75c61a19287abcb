// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/text_to_number.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace wave {
namespace {

struct Row {
  const char* name;
  std::string text;
  double expected;
};

TEST(TextToNumberTest, ReadsTheNumberAtTheStart) {
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<Row> rows = {
      {"integer", "2", 2},
      {"leading-blank", " 6", 6},
      {"leading-tab-and-blanks", "\t  6", 6},
      {"fraction", "1.5", 1.5},
      {"unit-suffix", "2cm", 2},
      {"comma-ends-number", "1,5", 1},
      {"negative", "-3", -3},
      {"plus", "+4", 4},
      {"exponent", "1e2", 100},
      {"exponent-upper-signed", "2.5E-1", 0.25},
      {"exponent-plus", "3e+2", 300},
      {"exponent-without-digits", "2e", 2},
      {"exponent-sign-without-digits", "2e-x", 2},
      {"point-first", ".5", 0.5},
      {"point-last", "5.", 5},
      {"negative-point-first", "-.25", -0.25},
      {"letters", "abc", 0},
      {"empty", "", 0},
      {"blanks-only", "   ", 0},
      {"sign-only", "-", 0},
      {"point-only", ".", 0},
      {"blank-inside", "1 2", 1},
      {"blank-after-sign", "- 3", 0},
      {"two-points", "1.2.3", 1.2},
      {"hex-prefix", "0x10", 0},
      {"infinity-word", "inf", 0},
      {"nan-word", "nan", 0},
      // What a Japanese input method types in kana mode.
      {"full-width-digit", "\xEF\xBC\x92", 2},
      {"full-width-all-digits",
       "\xEF\xBC\x90\xEF\xBC\x91\xEF\xBC\x92\xEF\xBC\x93\xEF\xBC\x94"
       "\xEF\xBC\x95\xEF\xBC\x96\xEF\xBC\x97\xEF\xBC\x98\xEF\xBC\x99",
       123456789},
      {"full-width-minus-point", "\xEF\xBC\x8D\xEF\xBC\x8E\xEF\xBC\x95", -0.5},
      {"full-width-plus", "\xEF\xBC\x8B\xEF\xBC\x94", 4},
      {"full-width-upper-exponent", "\xEF\xBC\x91\xEF\xBC\xA5\xEF\xBC\x92",
       100},
      {"full-width-lower-exponent",
       "\xEF\xBC\x92\xEF\xBD\x85\xEF\xBC\x8D\xEF\xBC\x91", 0.2},
      {"mixed-widths", "1\xEF\xBC\x92.5", 12.5},
      {"ideographic-space-leading",
       "\xE3\x80\x80\xE3\x80\x80"
       "6",
       6},
      {"ideographic-space-inside",
       "1\xE3\x80\x80"
       "2",
       1},
      {"ideographic-space-after-sign",
       "\xEF\xBC\x8D\xE3\x80\x80"
       "3",
       0},
      {"full-width-comma-ends-number",
       "1\xEF\xBC\x8C"
       "5",
       1},
      {"ideographic-point-is-not-a-point",
       "1\xE3\x80\x82"
       "5",
       1},
      {"long-vowel-mark-is-not-minus",
       "\xE3\x83\xBC"
       "3",
       0},
      {"half-a-wide-digit", "\xEF\xBC", 0},
      {"full-width-letter-e-alone", "\xEF\xBD\x85", 0},
      {"wide-digit-after-japanese", "\xE6\xB3\xA2\xEF\xBC\x92", 0},
      {"trailing-japanese", "2\xE3\x81\xA7", 2},
      {"newline-is-not-blank", "\n5", 0},
      {"overflow", "1e400", inf},
      {"negative-overflow", "-1e400", -inf},
      {"long-overflow", std::string(400, '9'), inf},
      {"underflow", "1e-400", 0},
      {"huge-exponent", "1e99999999999999999999999", inf},
      {"tiny-exponent", "5e-99999999999999999999999", 0},
      {"fraction-underflow", "0." + std::string(400, '0') + "1", 0},
      {"long-digits", "1." + std::string(5000, '0') + "1", 1},
      {"max-double", "1.7976931348623157e308", 1.7976931348623157e308},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(TextToNumber(row.text), row.expected) << row.name;
  }
  EXPECT_TRUE(std::signbit(TextToNumber("-0")));
}

TEST(TextToNumberTest, LocaleNeverChangesThePoint) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous != nullptr ? previous : "C";
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "C.UTF-8"}) {
    if (std::setlocale(LC_NUMERIC, name) == nullptr) continue;
    EXPECT_EQ(TextToNumber("1.5"), 1.5) << name;
    EXPECT_EQ(TextToNumber("1,5"), 1.0) << name;
  }
  std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
}  // namespace wave
