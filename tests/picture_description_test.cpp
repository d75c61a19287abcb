// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/picture_description.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <utility>

#include "tests/support/recording_canvas.h"
#include "tests/valid_text.h"

namespace wave {
namespace {

using testing::Call;
using testing::FakeForm;
using testing::Op;
using testing::RecordingCanvas;

constexpr VisibleArea kWindow{0, 0, 10230, 7140};

struct Row {
  const char* name;
  const char *wavelength, *distance, *dots;
  std::int16_t antinodal, nodal, crossings, antiphase;
  int steps;  // frames drawn after load
  const char* expected;
};

class DescribePictureTest : public ::testing::TestWithParam<Row> {};

TEST_P(DescribePictureTest, SaysWhatTheFrameShows) {
  const Row& row = GetParam();
  RecordingCanvas canvas;
  FakeForm form;
  form.canvas = &canvas;
  form.text1 = row.wavelength;
  form.text2 = row.distance;
  form.text3 = row.dots;
  WaveScene scene(Edition::Full, canvas, form);
  scene.InitScene();
  scene.ShowAntinodal = row.antinodal;
  scene.ShowNodal = row.nodal;
  scene.ShowCrossings = row.crossings;
  scene.Antiphase = row.antiphase;
  for (int i = 0; i < row.steps; ++i) scene.StepFrame();
  EXPECT_EQ(DescribePicture(scene.Summarize(kWindow)), row.expected);
}

// λ 2, d 6, front 2000 after ten frames: crests meet at (5500, 4000 ± 1322.9),
// (6000, 4000) and (5000, 4000), troughs once at (5500, 4000).
INSTANTIATE_TEST_SUITE_P(
    Rows, DescribePictureTest,
    ::testing::Values(
        Row{"before_the_first_frame", "2", "6", "100", 1, 0, 1, 0, 0,
            "まだ何も描かれていません。駒送りを押すか、波が動き出すのを待ってく"
            "ださい。"},
        Row{"in_phase_antinodal_lines_and_dots", "2", "6", "100", 1, 0, 1, 0,
            10,
            "波長 2、波源の距離 6（波長の 3 倍）、同位相。腹線 7 本（経路差 "
            "0、±1、"
            "±2、±3 波長）を表示中。節線は非表示。山と山の重なり 4 "
            "点、谷と谷の重なり 1 点。"},
        Row{"opposite_phase_swaps_the_families", "2", "6", "100", 1, 1, 0, 1, 1,
            "波長 2、波源の距離 6（波長の 3 倍）、逆位相。腹線 6 本（経路差 "
            "±0.5、"
            "±1.5、±2.5 波長）を表示中。節線 7 本（経路差 0、±1、±2、±3 "
            "波長）を表示中。"
            "山と谷の点は非表示。"},
        Row{"long_list_is_cut", "0.5", "6", "100", 1, 0, 0, 0, 1,
            "波長 0.5、波源の距離 6（波長の 12 倍）、同位相。腹線 25 "
            "本（経路差 0、±1、"
            "±2 … ±12 波長）を表示中。節線は非表示。山と谷の点は非表示。"},
        Row{"inexact_ratio_and_empty_family", "-3", "1", "100", 1, 1, 0, 0, 1,
            "波長 -3、波源の距離 1（波長の 約 -0.33 倍）、同位相。腹線 1 "
            "本（経路差 0 "
            "波長）を表示中。節線は表示中ですが、この波長と距離では描かれません"
            "。"
            "山と谷の点は非表示。"},
        Row{"huge_ratio_in_shortest_form", "1", "1e100", "100", 0, 0, 0, 0, 1,
            "波長 1、波源の距離 1e+100（波長の 1e+100 "
            "倍）、同位相。腹線は非表示。"
            "節線は非表示。山と谷の点は非表示。"},
        Row{"negative_dots_are_not_drawn", "2", "6", "-5", 0, 0, 1, 0, 10,
            "波長 2、波源の距離 6（波長の 3 "
            "倍）、同位相。腹線は非表示。節線は非表示。"
            "山と山の重なり 0 点、谷と谷の重なり 0 点。"}),
    [](const ::testing::TestParamInfo<Row>& info) { return info.param.name; });

// Whatever the boxes hold, the description is text a screen reader can
// read: well-formed UTF-8, no control characters, no raw "nan" or "inf".
TEST(DescribePictureTest, AnyBoxesGiveCleanText) {
  const char* texts[] = {"1e100",
                         "-1e100",
                         "1e308",
                         "1e-300",
                         "1e-45",
                         "3.4e38",
                         "1e39",
                         "0",
                         "",
                         "nan",
                         "-0",
                         "1e15",
                         "123456789012345678",
                         "0.30000000000000004",
                         "2"};
  std::mt19937 random(11);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(texts) - 1);
  std::uniform_int_distribution<int> flag(0, 1);
  for (int trial = 0; trial < 300; ++trial) {
    RecordingCanvas canvas;
    FakeForm form;
    form.canvas = &canvas;
    form.text1 = texts[pick(random)];
    form.text2 = texts[pick(random)];
    form.text3 = "1";
    WaveScene scene(Edition::Full, canvas, form);
    scene.InitScene();
    scene.ShowAntinodal = static_cast<std::int16_t>(flag(random));
    scene.ShowNodal = static_cast<std::int16_t>(flag(random));
    scene.Antiphase = static_cast<std::int16_t>(flag(random));
    scene.ShowCrossings = 0;
    scene.StepFrame();
    const std::string text = DescribePicture(scene.Summarize(kWindow));
    SCOPED_TRACE(form.text1 + " / " + form.text2);
    EXPECT_TRUE(testing::IsCleanText(text)) << text;
    EXPECT_EQ(text.find("nan"), std::string::npos) << text;
    EXPECT_EQ(text.find("inf"), std::string::npos) << text;
  }
}

// The check above must itself reject what it is there to catch.
TEST(IsCleanTextTest, RejectsWhatAReaderCannotRead) {
  struct Case {
    std::string text;
    bool clean;
  };
  const Case cases[] = {{"波長 2、約 0.33 倍", true},
                        {"plain", true},
                        {std::string("a\0b", 3), false},
                        {"tab\there", false},
                        {"\x7f", false},
                        {"\xc2\x85", false},          // C1 control
                        {"\xc0\xaf", false},          // overlong '/'
                        {"\xed\xa0\x80", false},      // a surrogate
                        {"\xe6\xb3", false},          // cut short
                        {"\xf4\x90\x80\x80", false},  // beyond U+10FFFF
                        {"\xf0\x9f\x8c\x8a", true}};  // U+1F30A
  for (const Case& c : cases) {
    EXPECT_EQ(testing::IsCleanText(c.text), c.clean) << c.text;
  }
}

// The dots counted are the dots drawn: distinct centres of the markers
// inside the window, on frames of random inputs.
TEST(SummarizeTest, CountsTheDotsTheFrameDraws) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> wavelength(0.3, 4), distance(-8, 12);
  std::uniform_int_distribution<int> steps(1, 120), phase(0, 1);
  for (int trial = 0; trial < 200; ++trial) {
    RecordingCanvas canvas;
    FakeForm form;
    form.canvas = &canvas;
    form.text1 = std::to_string(wavelength(random));
    form.text2 = std::to_string(distance(random));
    form.text3 = "100";
    WaveScene scene(Edition::Full, canvas, form);
    scene.InitScene();
    scene.Antiphase = static_cast<std::int16_t>(phase(random));
    const int n = steps(random);
    for (int i = 0; i < n; ++i) {
      canvas.calls.clear();
      scene.StepFrame();
    }
    std::set<std::pair<float, float>> crest, trough;
    for (const Call& c : canvas.calls) {
      if (c.op != Op::Circle || c.a < kWindow.left || c.a > kWindow.right ||
          c.b < kWindow.top || c.b > kWindow.bottom) {
        continue;
      }
      if (c.color == 0x00FF00) crest.insert({c.a, c.b});
      if (c.color == 0x005000) trough.insert({c.a, c.b});
    }
    const PictureSummary s = scene.Summarize(kWindow);
    ASSERT_EQ(s.crestDots, static_cast<std::int64_t>(crest.size()))
        << form.text1 << " " << form.text2 << " after " << n;
    ASSERT_EQ(s.troughDots, static_cast<std::int64_t>(trough.size()))
        << form.text1 << " " << form.text2 << " after " << n;
  }
}

}  // namespace
}  // namespace wave
