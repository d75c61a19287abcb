// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/wave_scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tests/support/literal_frame.h"
#include "tests/support/recording_canvas.h"

namespace wave {
namespace {

using testing::Call;
using testing::FakeForm;
using testing::Op;
using testing::RecordingCanvas;

constexpr Color kCyan = 0xFFFF00, kPink = 0xFF20FF, kBlue = 0xFF0000,
                kRed = 0x0000FF, kBlack = 0, kOlive = 0x00B4B4,
                kGrey = 0x202020, kGreen = 0x00FF00, kDarkGreen = 0x005000;

struct Ring {
  float x, y, r;
  Color color;
  bool operator==(const Ring&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Ring& ring) {
  return out << "(" << ring.x << ", " << ring.y << ", r " << ring.r << ", 0x"
             << std::hex << ring.color << std::dec << ")";
}

std::vector<Ring> Rings(const std::vector<Call>& calls) {
  std::vector<Ring> rings;
  for (const Call& c : calls) {
    if (c.op == Op::Circle) rings.push_back({c.a, c.b, c.c, c.color});
  }
  return rings;
}

struct Fixture {
  explicit Fixture(Edition edition = Edition::Full)
      : scene(edition, canvas, form) {
    form.canvas = &canvas;
    scene.InitScene();
  }
  // Draws one frame and returns its calls.
  std::vector<Call> Step() {
    canvas.calls.clear();
    scene.StepFrame();
    return canvas.calls;
  }
  RecordingCanvas canvas;
  FakeForm form;
  WaveScene scene;
};

TEST(WaveSceneTest, InitSceneSetsLoadDefaultsAndDrawsNothing) {
  Fixture f;
  f.scene.ShowAntinodal = 1;
  f.scene.Antiphase = 1;
  f.scene.InitScene();
  EXPECT_EQ(f.scene.FrontRadius, 1000);
  EXPECT_EQ(f.scene.ShowAntinodal, 0);
  EXPECT_EQ(f.scene.ShowNodal, 0);
  EXPECT_EQ(f.scene.ShowCrossings, 1);
  EXPECT_EQ(f.scene.Antiphase, 0);
  EXPECT_TRUE(f.canvas.calls.empty());
  EXPECT_TRUE(f.form.label5Lefts.empty());
}

TEST(WaveSceneTest, FirstFrameAtDefaultInputsDrawsTheWorkedExample) {
  for (Edition edition : {Edition::Full, Edition::Six}) {
    Fixture f(edition);
    const std::vector<Call> calls = f.Step();
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(calls[0].op, Op::Cls);
    EXPECT_EQ(calls[1].op, Op::DrawWidth);
    EXPECT_EQ(calls[1].color, 4u);
    EXPECT_EQ(calls[2].op, Op::DrawStyle);
    EXPECT_EQ(calls[2].color, 2u);
    EXPECT_EQ(calls[3].op, Op::FillStyle);
    EXPECT_EQ(calls[3].color, 1u);

    std::vector<Ring> expected = {
        {4000, 4000, 1100, kCyan}, {7000, 4000, 1100, kPink},
        {4000, 4000, 600, kCyan},  {7000, 4000, 600, kPink},
        {4000, 4000, 100, kCyan},  {7000, 4000, 100, kPink}};
    if (edition == Edition::Full) {
      expected.insert(expected.end(), {{4000, 4000, 1100, kBlue},
                                       {4000, 4000, 100, kBlue},
                                       {7000, 4000, 1100, kRed},
                                       {7000, 4000, 100, kRed}});
    } else {
      expected.insert(expected.end(), {{4000, 4000, 1100, kBlue},
                                       {7000, 4000, 1100, kRed},
                                       {4000, 4000, 100, kBlue},
                                       {7000, 4000, 100, kRed}});
    }
    expected.insert(expected.end(),
                    {{4000, 4000, 20, kBlack}, {7000, 4000, 20, kBlack}});
    EXPECT_EQ(Rings(calls), expected);
    for (const Call& c : f.canvas.Circles()) {
      EXPECT_EQ(c.drawWidth, 4);
      EXPECT_EQ(c.drawStyle, 2);
      EXPECT_EQ(c.fillStyle, 1);
    }
    EXPECT_TRUE(f.canvas.Lines().empty());
    EXPECT_EQ(f.scene.FrontRadius, 1100);
    EXPECT_EQ(f.scene.Wavelength, 2.0f);
    EXPECT_EQ(f.scene.Separation, 6.0);
    ASSERT_EQ(f.form.label5Lefts.size(), 1u);
    EXPECT_EQ(f.form.label5Lefts[0], 6900.0f);
  }
}

TEST(WaveSceneTest, AntiphaseMovesTheCrestsOfBHalfAWavelengthIn) {
  Fixture f;
  f.scene.Antiphase = 1;
  f.Step();
  std::vector<Ring> red;
  for (const Call& c : f.canvas.CirclesIn(kRed))
    red.push_back({c.a, c.b, c.c, c.color});
  EXPECT_EQ(red, (std::vector<Ring>{{7000, 4000, 600, kRed}}));
  EXPECT_EQ(f.canvas.CirclesIn(kBlue).size(), 2u);
}

TEST(WaveSceneTest, CrossingMarkersOfTheWorkedExample) {
  Fixture f;
  f.scene.FrontRadius = 1900;  // 2000 after the advance
  f.Step();
  const float y = static_cast<float>(4000 + std::sqrt(1750000.0));
  const float y2 = static_cast<float>(4000 - std::sqrt(1750000.0));
  EXPECT_EQ(Rings(f.canvas.CirclesIn(kGreen)),
            (std::vector<Ring>{{5500, y, 100, kGreen},
                               {5500, y2, 100, kGreen},
                               {6000, 4000, 100, kGreen},
                               {6000, 4000, 100, kGreen},
                               {5000, 4000, 100, kGreen},
                               {5000, 4000, 100, kGreen}}));
  EXPECT_EQ(Rings(f.canvas.CirclesIn(kDarkGreen)),
            (std::vector<Ring>{{5500, 4000, 100, kDarkGreen},
                               {5500, 4000, 100, kDarkGreen}}));
  // Each marker pair is preceded by its fill colour and solid fill; all
  // crest markers come before all trough markers, after the source marks.
  const std::vector<Call>& calls = f.canvas.calls;
  std::size_t lastBlack = 0, firstDark = calls.size(), lastGreen = 0;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    const Call& c = calls[i];
    if (c.op != Op::Circle) continue;
    if (c.color == kBlack) lastBlack = i;
    if (c.color == kGreen) lastGreen = i;
    if (c.color == kDarkGreen && firstDark == calls.size()) firstDark = i;
    if (c.color == kGreen || c.color == kDarkGreen) {
      EXPECT_EQ(c.fillStyle, 0);
      EXPECT_EQ(c.fillColor, c.color);
    }
  }
  EXPECT_LT(lastBlack, lastGreen);
  EXPECT_LT(lastGreen, firstDark);
  EXPECT_EQ(calls[lastBlack + 1].op, Op::FillColor);
  EXPECT_EQ(calls[lastBlack + 2].op, Op::FillStyle);
}

TEST(WaveSceneTest, MarkerRadiusComesFromTheThirdBoxUnchecked) {
  for (const auto& [text, radius] : std::vector<std::pair<std::string, float>>{
           {"0", 0.0f}, {"abc", 0.0f}, {"-50", -50.0f}, {"250.5", 250.5f}}) {
    Fixture f;
    f.form.text3 = text;
    f.scene.FrontRadius = 1900;
    f.Step();
    const auto markers = f.canvas.CirclesIn(kGreen);
    ASSERT_FALSE(markers.empty()) << text;
    for (const Call& c : markers) EXPECT_EQ(c.c, radius) << text;
  }
}

TEST(WaveSceneTest, FrontLoopIncludesItsEndAtRadiusZero) {
  Fixture f;
  f.scene.FrontRadius = 900;
  f.Step();
  std::vector<float> cyan;
  for (const Call& c : f.canvas.CirclesIn(kCyan)) cyan.push_back(c.c);
  EXPECT_EQ(cyan, (std::vector<float>{1000, 500, 0}));
  std::vector<float> blue;
  for (const Call& c : f.canvas.CirclesIn(kBlue)) blue.push_back(c.c);
  EXPECT_EQ(blue, (std::vector<float>{1000, 0}));
}

TEST(WaveSceneTest, FrontRadiusKeepsGrowingPast32767) {
  Fixture f;
  f.form.text1 = "1000";  // one ring a source keeps the frames cheap
  for (int i = 0; i < 400; ++i) f.scene.StepFrame();
  EXPECT_EQ(f.scene.FrontRadius, 1000 + 400 * 100);
  f.Step();
  EXPECT_EQ(f.canvas.CirclesIn(kCyan).front().c, 41100.0f);
}

// Antinodal members a = 1, 2, 3 at λ 2, d 6 and the central line at 5500.
TEST(WaveSceneTest, AntinodalFamilyAtTheWorkedExample) {
  Fixture f;
  f.scene.ShowAntinodal = 1;
  f.Step();
  const auto lines = f.canvas.Lines();
  ASSERT_FALSE(lines.empty());
  const Call central = lines.back();
  EXPECT_EQ(central,
            (Call{Op::Line, 5500, 0, 5500, 15000, kOlive, 4, 2, 1, 0}));
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    EXPECT_EQ(lines[i].drawWidth, 2);
    EXPECT_EQ(lines[i].color, kOlive);
  }
  // Groups of four segments, each group after its own DrawWidth 2.
  const auto& calls = f.canvas.calls;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].op == Op::DrawWidth && calls[i].color == 2) {
      for (std::size_t k = 1; k <= 4; ++k) EXPECT_EQ(calls[i + k].op, Op::Line);
    }
  }
  // Each member starts with a zero-length segment at its vertex x = xM ± 500A.
  const std::vector<float> vertices = {6000, 6500, 7000};
  std::size_t member = 0;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    const Call& l = lines[i];
    if (l.a == l.c && l.b == l.d && l.b == 4000 && member < 3 &&
        l.a == vertices[member] && i % 4 == 0) {
      EXPECT_EQ(lines[i + 2].a, 11000 - vertices[member]);
      ++member;
    }
  }
  EXPECT_EQ(member, 3u);
  // a = 3 is degenerate: on the line of the sources, outwards to 9 units.
  float rightmost = 0, leftmost = 1e9f;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    const Call& l = lines[i];
    if (l.a >= 7000 && l.b == 4000 && l.d == 4000)
      rightmost = std::max(rightmost, l.c);
    if (l.a <= 4000 && l.b == 4000 && l.d == 4000)
      leftmost = std::min(leftmost, l.c);
  }
  EXPECT_GT(rightmost, 10000 - 25.5f);
  EXPECT_LE(rightmost, 10000.01f);
  EXPECT_LT(leftmost, 1000 + 25.5f);
  EXPECT_GE(leftmost, 999.99f);
  // The lines come before the rings and are drawn under them.
  std::size_t firstCircle = 0;
  while (calls[firstCircle].op != Op::Circle) ++firstCircle;
  EXPECT_EQ(calls[firstCircle - 1].op, Op::FillStyle);
  EXPECT_EQ(calls[firstCircle - 2], central);
}

// Offsets of the two families; only the offset-1 family gets the line.
TEST(WaveSceneTest, FamilyOffsetsFollowThePhase) {
  struct Row {
    const char* name;
    Edition edition;
    std::int16_t antiphase, antinodal, nodal;
    std::vector<float> vertices;  // right-branch vertex x of each member
    std::vector<Color> centralLines;
  };
  const std::vector<Row> rows = {
      {"nodal-in-phase", Edition::Full, 0, 0, 1, {5750, 6250, 6750}, {}},
      {"nodal-antiphase", Edition::Full, 1, 0, 1, {6000, 6500, 7000}, {kGrey}},
      {"antinodal-antiphase", Edition::Full, 1, 1, 0, {5750, 6250, 6750}, {}},
      {"both-in-phase",
       Edition::Full,
       0,
       1,
       1,
       {6000, 6500, 7000, 5750, 6250, 6750},
       {kOlive}},
      {"six-ignores-phase", Edition::Six, 1, 0, 1, {5750, 6250, 6750}, {}},
  };
  for (const Row& row : rows) {
    Fixture f(row.edition);
    f.scene.Antiphase = row.antiphase;
    f.scene.ShowAntinodal = row.antinodal;
    f.scene.ShowNodal = row.nodal;
    f.Step();
    std::vector<float> vertices;
    std::vector<Color> central;
    const auto lines = f.canvas.Lines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const Call& l = lines[i];
      if (l.a == l.c && l.b == 0 && l.d == 15000) {
        EXPECT_EQ(l.a, 5500) << row.name;
        central.push_back(l.color);
      } else if (l.a == l.c && l.b == l.d && l.b == 4000 && l.a > 5500) {
        if (vertices.empty() || l.a != vertices.back()) vertices.push_back(l.a);
      }
    }
    EXPECT_EQ(vertices, row.vertices) << row.name;
    EXPECT_EQ(central, row.centralLines) << row.name;
  }
}

TEST(WaveSceneTest, NegativeInputsDrawOnlyWhatTheRulesAllow) {
  {  // B to the left of A; no member, central line at xM left of A
    Fixture f;
    f.form.text2 = "-6";
    f.scene.ShowAntinodal = 1;
    f.Step();
    EXPECT_EQ(f.canvas.Lines(),
              (std::vector<Call>{
                  {Op::Line, 2500, 0, 2500, 15000, kOlive, 4, 2, 1, 0}}));
    EXPECT_EQ(f.canvas.CirclesIn(kPink).front().a, 1000);
    EXPECT_EQ(f.form.label5Lefts.back(), 900);
  }
  {  // negative wavelength: positive steps, no ring loop makes a pass
    Fixture f;
    f.form.text1 = "-2";
    f.scene.ShowAntinodal = 1;
    f.scene.FrontRadius = 1900;
    f.Step();
    EXPECT_EQ(Rings(f.canvas.calls),
              (std::vector<Ring>{{4000, 4000, 20, kBlack},
                                 {7000, 4000, 20, kBlack}}));
    EXPECT_EQ(f.canvas.Lines().size(), 1u);
    EXPECT_EQ(f.form.label5Lefts.back(), 6900);
  }
}

TEST(WaveSceneTest, ZeroAndMissingNumbersBecomeATenth) {
  for (const char* text : {"0", "", "abc", "-0", "0.0e5"}) {
    Fixture f;
    f.form.text1 = text;
    f.form.text2 = text;
    f.Step();
    EXPECT_EQ(f.scene.Wavelength, 0.1f) << text;
    EXPECT_EQ(f.scene.Separation, 0.1) << text;
    const auto cyan = f.canvas.CirclesIn(kCyan);
    ASSERT_GE(cyan.size(), 2u);
    EXPECT_EQ(cyan[0].c - cyan[1].c, 25.0f) << text;  // fronts 25 twips apart
    const auto blue = f.canvas.CirclesIn(kBlue);
    EXPECT_EQ(blue[0].c - blue[1].c, 50.0f) << text;
    EXPECT_EQ(f.form.label5Lefts.back(), 3950.0f);
    EXPECT_EQ(f.form.text1, text);  // the box keeps what was typed
  }
}

TEST(WaveSceneTest, WavelengthsBelowATenthAreDrawnAsATenth) {
  for (const auto& [text, expected] :
       std::vector<std::pair<const char*, float>>{
           {"0.05", 0.1f}, {"1e-30", 0.1f}, {"-0.001", -0.1f}, {"0.1", 0.1f}}) {
    Fixture f;
    f.form.text1 = text;
    f.Step();
    EXPECT_EQ(f.scene.Wavelength, expected) << text;
  }
}

struct ExtremeRow {
  const char* name;
  const char *t1, *t2;
};

class ExtremeTextsTest : public ::testing::TestWithParam<ExtremeRow> {};

// Every call carries finite values and a frame's work stays bounded.
TEST_P(ExtremeTextsTest, GiveFiniteBoundedFrames) {
  const auto& [name, t1, t2] = GetParam();
  for (Edition edition : {Edition::Full, Edition::Six}) {
    for (std::int16_t phase : {0, 1}) {
      Fixture f(edition);
      f.form.text1 = t1;
      f.form.text2 = t2;
      f.form.text3 = "1e400";
      f.scene.ShowAntinodal = f.scene.ShowNodal = 1;
      f.scene.Antiphase = phase;
      f.scene.FrontRadius = 10000;
      f.Step();
      EXPECT_LT(f.canvas.calls.size(), 500000u);
      for (const Call& c : f.canvas.calls) {
        ASSERT_TRUE(std::isfinite(c.a) && std::isfinite(c.b) &&
                    std::isfinite(c.c) && std::isfinite(c.d))
            << c;
      }
      for (float left : f.form.label5Lefts) EXPECT_TRUE(std::isfinite(left));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ExtremeTextsTest,
    ::testing::Values(ExtremeRow{"wavelength_overflows", "1e400", "6"},
                      ExtremeRow{"distance_overflows", "2", "1e400"},
                      ExtremeRow{"both_overflow_negative", "-1e400", "-1e400"},
                      ExtremeRow{"wavelength_past_single", "1e39", "6"},
                      ExtremeRow{"both_near_single_max", "1e38", "1e38"},
                      ExtremeRow{"distance_huge", "2", "1e300"},
                      ExtremeRow{"both_tiny", "1e-300", "1e-300"},
                      ExtremeRow{"negative_tenth_far_left", "-0.1", "-1e9"},
                      ExtremeRow{"tenth_far_apart", "0.1", "1000"},
                      ExtremeRow{"both_negative", "-2", "-6"},
                      ExtremeRow{"distance_subnormal", "2", "1e-320"},
                      ExtremeRow{"wavelength_single_subnormal", "1e-45", "6"},
                      ExtremeRow{"single_max_against_negative", "3e38",
                                 "-1e20"},
                      ExtremeRow{"distance_overflows_negative", "2", "-1e400"}),
    [](const auto& info) { return info.param.name; });

TEST(WaveSceneTest, InfiniteWavelengthStillDrawsTheOutermostFront) {
  Fixture f;
  f.form.text1 = "1e39";  // beyond single precision
  f.Step();
  EXPECT_TRUE(std::isinf(f.scene.Wavelength));
  EXPECT_EQ(Rings(f.canvas.calls),
            (std::vector<Ring>{{4000, 4000, 1100, kCyan},
                               {7000, 4000, 1100, kPink},
                               {4000, 4000, 1100, kBlue},
                               {7000, 4000, 1100, kRed},
                               {4000, 4000, 20, kBlack},
                               {7000, 4000, 20, kBlack}}));
}

TEST(WaveSceneTest, BothNegativeDrawsOnlyRealPointsOfTheFamily) {
  Fixture f;
  f.form.text1 = "-2";
  f.form.text2 = "-6";
  f.scene.ShowAntinodal = 1;
  f.Step();
  const auto lines = f.canvas.Lines();
  ASSERT_GT(lines.size(), 1u);
  // Mirror image of the positive family: every point at least |A| from xM.
  for (const Call& l : lines) {
    if (l.b == 0 && l.d == 15000) continue;
    EXPECT_GE(std::fabs(l.a - 2500), 500 - 0.01f) << l;
  }
}

// Switches, redraw and reset.
TEST(WaveSceneTest, SwitchesFlipBetweenZeroAndOneAndRedrawTheSameFront) {
  using Toggle = void (WaveScene::*)();
  struct Row {
    const char* name;
    Toggle toggle;
    std::int16_t WaveScene::*field;
  };
  const std::vector<Row> rows = {
      {"antinodal", &WaveScene::ToggleAntinodal, &WaveScene::ShowAntinodal},
      {"nodal", &WaveScene::ToggleNodal, &WaveScene::ShowNodal},
      {"crossings", &WaveScene::ToggleCrossings, &WaveScene::ShowCrossings},
      {"phase", &WaveScene::TogglePhase, &WaveScene::Antiphase},
  };
  for (const Row& row : rows) {
    Fixture f;
    const std::int16_t before = f.scene.*row.field;
    (f.scene.*row.toggle)();  // before the first tick: drawn at 1000
    EXPECT_EQ(f.scene.*row.field, before == 0 ? 1 : 0) << row.name;
    EXPECT_EQ(f.scene.FrontRadius, 1000) << row.name;
    EXPECT_EQ(f.canvas.CirclesIn(kCyan).front().c, 1000) << row.name;
    f.canvas.calls.clear();
    (f.scene.*row.toggle)();
    EXPECT_EQ(f.scene.*row.field, before) << row.name;
    EXPECT_EQ(f.canvas.CirclesIn(kCyan).front().c, 1000) << row.name;
    f.scene.StepFrame();
    EXPECT_EQ(f.scene.FrontRadius, 1100) << row.name;
    f.scene.*row.field = 7;  // any non-zero value flips to 0
    (f.scene.*row.toggle)();
    EXPECT_EQ(f.scene.*row.field, 0) << row.name;
  }
}

TEST(WaveSceneTest, TogglePhaseShowsTheNewStateBeforeTheRedraw) {
  Fixture f;
  f.scene.TogglePhase();
  f.scene.TogglePhase();
  EXPECT_EQ(f.form.phases, (std::vector<std::int16_t>{1, 0}));
  Fixture g;
  g.scene.TogglePhase();
  EXPECT_EQ(g.form.phaseShownAtCall, 0u);  // before the frame's Cls
  EXPECT_FALSE(g.canvas.calls.empty());
}

TEST(WaveSceneTest, SixButtonEditionHasNoPhase) {
  Fixture f(Edition::Six);
  f.scene.TogglePhase();
  EXPECT_EQ(f.scene.Antiphase, 0);
  EXPECT_TRUE(f.canvas.calls.empty());
  EXPECT_TRUE(f.form.phases.empty());
}

TEST(WaveSceneTest, ResetRestoresSwitchesButKeepsThePhase) {
  Fixture f;
  f.scene.ResetScene();  // directly after load
  EXPECT_EQ(f.scene.FrontRadius, 1100);
  f.scene.ToggleAntinodal();
  f.scene.ToggleNodal();
  f.scene.ToggleCrossings();
  f.scene.TogglePhase();
  for (int i = 0; i < 5; ++i) f.scene.StepFrame();
  f.canvas.calls.clear();
  f.scene.ResetScene();
  EXPECT_EQ(f.scene.FrontRadius, 1100);
  EXPECT_EQ(f.scene.ShowAntinodal, 0);
  EXPECT_EQ(f.scene.ShowNodal, 0);
  EXPECT_EQ(f.scene.ShowCrossings, 1);
  EXPECT_EQ(f.scene.Antiphase, 1);
  EXPECT_EQ(f.form.phases.size(), 1u);
  std::vector<float> red;
  for (const Call& c : f.canvas.CirclesIn(kRed)) red.push_back(c.c);
  EXPECT_EQ(red, (std::vector<float>{600}));  // drawn in antiphase
}

// Inputs of the frame tests: texts and the front radius before the call.
struct FrameRow {
  const char* name;
  const char *t1, *t2, *t3;
  std::int64_t front;
};

const FrameRow kFrameRows[] = {
    {"defaults_first_frame", "2", "6", "100", 1000},
    {"defaults_markers_meet", "2", "6", "100", 1900},
    {"defaults_far_out", "2", "6", "100", 20000},
    {"fractions", "2.3", "4.7", "80", 15000},
    {"short_wave_close_sources", "0.7", "2.1", "100", 8000},
    {"tenth", "0.1", "6", "100", 3000},
    {"sources_closer_than_a_wave", "1", "0.3", "50", 6000},
    {"b_left_of_a", "3", "-5", "100", 12000},
    {"sources_far_apart", "0.25", "1000", "100", 1000},
    {"sources_almost_together", "2", "1e-9", "100", 4000},
    {"many_members", "1.5", "40", "30", 30000},
    {"both_negative", "-2", "-6", "100", 2000},
    {"no_marker_size", "5", "2", "", 2500},
    {"odd_values", "0.33", "7.77", "100", 9000},
    {"dots_cover_the_view", "2", "6", "20000", 9000},
    {"negative_dots", "1", "3", "-40", 7000},
};

// One scene per edition and layer combination, set up for a row.
template <class Body>
void ForEachSetting(const FrameRow& row, Body body) {
  for (Edition edition : {Edition::Full, Edition::Six}) {
    for (int layers = 0; layers < 16; layers += 5) {
      const auto setUp = [&](WaveScene& s) {
        s.InitScene();
        s.FrontRadius = row.front;
        // Both negative: the rules take square roots of negatives there.
        const bool lines = std::string(row.t2) != "-6";
        s.ShowAntinodal = lines ? layers & 1 : 0;
        s.ShowNodal = lines ? (layers >> 1) & 1 : 0;
        s.ShowCrossings = (layers >> 2) & 1 ? 1 : 0;
        s.Antiphase = edition == Edition::Full ? (layers >> 3) & 1 : 0;
      };
      body(edition, layers, setUp);
    }
  }
}

class FrameRowTest : public ::testing::TestWithParam<FrameRow> {};

// The frame issues exactly the calls of the word-for-word rules, whatever
// it skips in bulk.
TEST_P(FrameRowTest, SameCallsAsTheLiteralRules) {
  const FrameRow& row = GetParam();
  ForEachSetting(row, [&](Edition edition, int layers, const auto& setUp) {
    RecordingCanvas actualCanvas, literalCanvas;
    FakeForm form;
    form.text1 = row.t1;
    form.text2 = row.t2;
    form.text3 = row.t3;
    WaveScene actual(edition, actualCanvas, form);
    WaveScene literal(edition, literalCanvas, form);
    setUp(actual);
    setUp(literal);
    actual.StepFrame();
    testing::LiteralStepFrame(literal, literalCanvas, form);
    ASSERT_EQ(actualCanvas.calls.size(), literalCanvas.calls.size())
        << "layers " << layers;
    for (std::size_t i = 0; i < actualCanvas.calls.size(); ++i) {
      ASSERT_EQ(actualCanvas.calls[i], literalCanvas.calls[i])
          << "call " << i << ", layers " << layers;
    }
    EXPECT_EQ(actual.FrontRadius, literal.FrontRadius);
  });
}

// Distances from a point to a rectangle, worked out apart from the
// geometry the frame uses.
double Nearest(double x, double y, const VisibleArea& a) {
  const double dx = std::max({a.left - x, 0.0, x - a.right});
  const double dy = std::max({a.top - y, 0.0, y - a.bottom});
  return std::hypot(dx, dy);
}
double Farthest(double x, double y, const VisibleArea& a) {
  return std::hypot(std::max(x - a.left, a.right - x),
                    std::max(y - a.top, a.bottom - y));
}

// Why a call left out cannot be seen, or nothing when it could be.
std::string Unseen(const std::vector<Call>& frame, std::size_t i,
                   const VisibleArea& area) {
  const Call& c = frame[i];
  if (c.op != Op::Circle) return "";
  if (c.c < 0) return "negative radius";
  if (Nearest(c.a, c.b, area) > c.c) return "wholly outside";
  if (c.fillStyle == kFillHollow && Farthest(c.a, c.b, area) < c.c) {
    return "ring around the whole area";
  }
  for (std::size_t j = i + 1; j < frame.size(); ++j) {
    const Call& later = frame[j];
    if (later.op != Op::Circle) continue;
    if (later.a == c.a && later.b == c.b && later.c == c.c &&
        later.drawWidth == c.drawWidth && later.fillStyle == c.fillStyle) {
      return "repainted later";
    }
    if (later.fillStyle == kFillSolid && later.c >= 0 &&
        Farthest(later.a, later.b, area) <= later.c) {
      return "a later dot covers the area";
    }
  }
  return "";
}

// The calls that put pixels on the canvas, each with the settings in force.
// Settings calls are left aside: leaving out a shape may leave out the
// settings made for it, and what they did shows in the shapes' settings.
std::vector<Call> Drawing(const std::vector<Call>& calls) {
  std::vector<Call> drawing;
  for (const Call& c : calls) {
    if (c.op == Op::Cls || c.op == Op::Circle || c.op == Op::Line) {
      drawing.push_back(c);
    }
  }
  return drawing;
}

// With a visible area the frame's drawing calls are a subsequence of those
// without one, and each call left out could not be seen.
void ExpectOnlyUnseenLeftOut(const FakeForm& inputs, Edition edition,
                             const std::function<void(WaveScene&)>& setUp,
                             const VisibleArea& area) {
  RecordingCanvas all, pruned;
  pruned.area = area;
  FakeForm form = inputs;
  WaveScene full(edition, all, form);
  WaveScene seen(edition, pruned, form);
  setUp(full);
  setUp(seen);
  full.StepFrame();
  seen.StepFrame();
  const std::vector<Call> every = Drawing(all.calls);
  const std::vector<Call> kept = Drawing(pruned.calls);
  std::size_t k = 0;
  for (std::size_t i = 0; i < every.size(); ++i) {
    if (k < kept.size() && kept[k] == every[i]) {
      ++k;
      continue;
    }
    ASSERT_NE(Unseen(every, i, area), "")
        << "left out but visible: " << every[i] << " (call " << i << ")";
  }
  EXPECT_EQ(k, kept.size()) << "calls made that the rules do not make";
}

TEST_P(FrameRowTest, LeavesOutOnlyWhatCannotBeSeen) {
  const FrameRow& row = GetParam();
  FakeForm form;
  form.text1 = row.t1;
  form.text2 = row.t2;
  form.text3 = row.t3;
  // The window's area, padded by the widest pen, and a corner of it.
  const VisibleArea window{-60, -60, 10290, 7200};
  const VisibleArea corner{5000, -60, 8000, 3000};
  ForEachSetting(row, [&](Edition edition, int layers, const auto& setUp) {
    for (const VisibleArea& area : {window, corner}) {
      SCOPED_TRACE("layers " + std::to_string(layers));
      ExpectOnlyUnseenLeftOut(form, edition, setUp, area);
    }
  });
}

INSTANTIATE_TEST_SUITE_P(Inputs, FrameRowTest, ::testing::ValuesIn(kFrameRows),
                         [](const auto& info) { return info.param.name; });

TEST(FramePruningTest, RandomInputsLeaveOutOnlyWhatCannotBeSeen) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> wavelength(0.1, 5), distance(-20, 20),
      dots(-50, 3000), place(-20000, 20000), size(100, 20000);
  std::uniform_int_distribution<int> front(10, 400), bit(0, 1);
  for (int trial = 0; trial < 300; ++trial) {
    FakeForm form;
    form.text1 = std::to_string(wavelength(random));
    form.text2 = std::to_string(distance(random));
    form.text3 = std::to_string(dots(random));
    const std::int64_t radius = 100 * front(random);
    const std::int16_t antinodal = bit(random), nodal = bit(random),
                       crossings = bit(random), phase = bit(random);
    const auto setUp = [&](WaveScene& s) {
      s.InitScene();
      s.FrontRadius = radius;
      s.ShowAntinodal = antinodal;
      s.ShowNodal = nodal;
      s.ShowCrossings = crossings;
      s.Antiphase = phase;
    };
    const double left = place(random), top = place(random);
    const VisibleArea area{left, top, left + size(random), top + size(random)};
    SCOPED_TRACE(form.text1 + " " + form.text2 + " " + form.text3);
    ExpectOnlyUnseenLeftOut(form, bit(random) ? Edition::Full : Edition::Six,
                            setUp, area);
  }
}

}  // namespace
}  // namespace wave
