// SPDX-License-Identifier: GPL-3.0-or-later
// The water under the construction: its levels against the formulas worked
// out here in double precision, every instruction set and band alike, and
// the layer kept over settled water never shown over other water.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "canvas/water.h"
#include "raster/frame/frame_rasteriser.h"
#include "raster/keep/water_cache.h"
#include "raster/pixels/span_lanes.h"
#include "raster/pixels/water_field.h"
#include "scene/wave_scene.h"
#include "tests/row_name.h"
#include "tests/support/recording_canvas.h"

namespace wave {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The height or amplitude at (x, y) twips, from the definitions.
double Expected(const WaterShade& w, double x, double y) {
  const double rA = std::hypot(x - w.ax, y - w.ay);
  const double rB = std::hypot(x - w.bx, y - w.by);
  const bool inA = w.wavelength > 0 && rA <= w.front;
  const bool inB = w.wavelength > 0 && rB <= w.front;
  if (w.view == WaterView::kAmplitude) {
    if (inA != inB) return 1;
    if (!inA) return 0;
    return 2 * std::fabs(std::cos(kPi * (rA - rB) / w.wavelength +
                                  (w.antiphase ? kPi / 2 : 0)));
  }
  const double lag = w.antiphase ? w.wavelength / 2 : 0;
  return (inA ? std::cos(2 * kPi * (w.front - rA) / w.wavelength) : 0) +
         (inB ? std::cos(2 * kPi * (w.front - lag - rB) / w.wavelength) : 0);
}

double ValueOfLevel(WaterView view, int level) {
  return view == WaterView::kAmplitude ? AmplitudeOfLevel(level)
                                       : SurfaceOfLevel(level);
}

// The rounding of the level, and for the surface of the cosines and sines
// kept as bytes (1/254 each).
double Tolerance(WaterView view) {
  return view == WaterView::kAmplitude ? 1 / 127.5 : 2 / 63.75;
}

// Pixels of 10 twips, the sources on pixel centres (A at pixel 400, 400),
// a wavelength of 1000 twips (2 units), B 3000 twips right of A.
WaterShade Shade(WaterView view, bool antiphase, double front) {
  return {view, 4005, 4005, 7005, 4005, front, 1000, antiphase};
}

struct PointRow {
  const char* name;
  WaterShade water;
  double dx, dy;  // from A, twips
  double value;   // worked out by hand
};

// Far fronts (100,500) reach every pixel, and there the crests of both
// sources lie 2500 twips out; 2100 reaches 2100 around each.
const PointRow kPoints[] = {
    {"surface_crest_ring_of_A_before_B_arrives",
     Shade(WaterView::kSurface, false, 2100), -1100, 0, 1},
    {"surface_trough_ring_of_A_before_B_arrives",
     Shade(WaterView::kSurface, false, 2100), -1600, 0, -1},
    {"surface_crest_of_B_in_opposite_phase_lies_half_a_wave_in",
     Shade(WaterView::kSurface, true, 2100), 3000 + 1600, 0, 1},
    {"surface_beyond_both_fronts", Shade(WaterView::kSurface, false, 2100),
     -2500, 0, 0},
    {"surface_crest_meets_crest_on_the_central_line",
     Shade(WaterView::kSurface, false, 100500), 1500, 2000, 2},
    {"surface_crest_meets_trough_on_the_central_line_in_opposite_phase",
     Shade(WaterView::kSurface, true, 100500), 1500, 2000, 0},
    {"surface_still_on_a_nodal_line", Shade(WaterView::kSurface, false, 100500),
     1750, 0, 0},
    {"surface_still_where_no_front_has_left",
     {WaterView::kSurface, 4005, 4005, 7005, 4005, 100000, -1000, false},
     -1100,
     0,
     0},
    {"amplitude_central_line_in_phase",
     Shade(WaterView::kAmplitude, false, 100000), 1500, 2000, 2},
    {"amplitude_central_line_in_opposite_phase",
     Shade(WaterView::kAmplitude, true, 100000), 1500, 2000, 0},
    {"amplitude_nodal_line_in_phase",
     Shade(WaterView::kAmplitude, false, 100000), 1750, 0, 0},
    {"amplitude_same_point_antinodal_in_opposite_phase",
     Shade(WaterView::kAmplitude, true, 100000), 1750, 0, 2},
    {"amplitude_where_only_A_has_arrived",
     Shade(WaterView::kAmplitude, false, 2100), -1100, 0, 1},
    {"amplitude_where_none_has", Shade(WaterView::kAmplitude, false, 2100),
     -2500, 0, 0},
};

class WaterPointTest : public ::testing::TestWithParam<PointRow> {};

TEST_P(WaterPointTest, LevelIsTheFormulasAtThePixelCentre) {
  const PointRow& row = GetParam();
  const double x = row.water.ax + row.dx, y = row.water.ay + row.dy;
  ASSERT_NEAR(Expected(row.water, x, y), row.value, 1e-9) << "the row itself";
  const WaterField field = WaterField::Of(row.water, 10);
  const int level =
      WaterLevelAt(field, static_cast<int>(x / 10), static_cast<int>(y / 10));
  EXPECT_NEAR(ValueOfLevel(row.water.view, level), row.value,
              Tolerance(row.water.view));
}

INSTANTIATE_TEST_SUITE_P(Rows, WaterPointTest, ::testing::ValuesIn(kPoints),
                         wave::testing::RowName());

// Random water over random pixels: within two levels of the formulas,
// but for pixels a hair from a front, where float and double may differ.
TEST(WaterTest, LevelsFollowTheFormulasEverywhere) {
  std::mt19937 random(29);
  std::uniform_real_distribution<double> place(-2000, 12000), unit(0, 1);
  for (int trial = 0; trial < 200; ++trial) {
    const WaterShade w{trial % 2 ? WaterView::kAmplitude : WaterView::kSurface,
                       place(random),
                       place(random),
                       place(random),
                       place(random),
                       unit(random) < 0.2 ? 1e7 : 20000 * unit(random),
                       std::exp(unit(random) * 9) * 2,
                       unit(random) < 0.5};
    const double twips = 5 + 20 * unit(random);
    const WaterField field = WaterField::Of(w, twips);
    for (int k = 0; k < 50; ++k) {
      const int px = static_cast<int>(unit(random) * 800);
      const int py = static_cast<int>(unit(random) * 600);
      const double x = (px + 0.5) * twips, y = (py + 0.5) * twips;
      const double nearest =
          std::min(std::fabs(std::hypot(x - w.ax, y - w.ay) - w.front),
                   std::fabs(std::hypot(x - w.bx, y - w.by) - w.front));
      if (nearest < 0.01 * twips) continue;
      const double want = Expected(w, x, y);
      const double got = ValueOfLevel(w.view, WaterLevelAt(field, px, py));
      ASSERT_NEAR(got, want, Tolerance(w.view))
          << "trial " << trial << " pixel " << px << ", " << py;
    }
  }
}

// The cache laid in two bands gives the reference's colours, and every
// width of lanes the plain loop's values, to the last pixel of rows whose
// width is no multiple of eight. Every other trial puts B on A's row a whole
// number of pixels away, either side, as the programs do: its pairs are
// then A's, shifted.
TEST(WaterTest, LanesAndBandsGiveTheReferencesPixels) {
  std::mt19937 random(6);
  std::uniform_real_distribution<double> unit(0, 1);
  WaterCache cache;
  int shifted = 0;
  for (int trial = 0; trial < 20; ++trial) {
    const int width = 1 + static_cast<int>(unit(random) * 300);
    const int height = 1 + static_cast<int>(unit(random) * 40);
    WaterShade w{trial % 4 == 3 ? WaterView::kAmplitude : WaterView::kSurface,
                 unit(random) * 3000,
                 unit(random) * 600,
                 unit(random) * 3000,
                 unit(random) * 600,
                 unit(random) * 4000,
                 50 + unit(random) * 2000,
                 trial % 3 == 0};
    if (trial % 2 == 0) {
      w.by = w.ay;
      w.bx = w.ax + 10 * std::round((unit(random) - 0.5) * 2 * width);
    }
    const WaterField field = WaterField::Of(w, 10);
    const double d = std::round(double{field.bx} - double{field.ax});
    shifted += field.ay == field.by && double{field.ax} + d == field.bx;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    const PixelBuffer out{pixels.data(), width, height, width};
    cache.Prepare(field, width, height);
    cache.Lay(out, height / 2, height);
    cache.Lay(out, 0, height / 2);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::uint32_t want =
            field.colours[static_cast<std::size_t>(WaterLevelAt(field, x, y))];
        ASSERT_EQ(pixels[static_cast<std::size_t>(y) * width + x], want)
            << "trial " << trial << " at " << x << ", " << y;
      }
    }

    const int y = height / 3;
    // A's pairs from a pixel left of the row, then B's.
    const int first = -trial;
    std::vector<std::int8_t> plain((width - first) * kPairBytes), four = plain;
    std::vector<std::int8_t> plainB(width * kPairBytes), fourB = plainB;
    lanes::PhaseRowPlain(field, false, y, first, width - first, plain.data());
    lanes::PhaseRowPlain(field, true, y, 0, width, plainB.data());
    lanes::PhaseRowFour(field, false, y, first, width - first, four.data());
    lanes::PhaseRowFour(field, true, y, 0, width, fourB.data());
    EXPECT_EQ(four, plain) << "trial " << trial;
    EXPECT_EQ(fourB, plainB) << "trial " << trial;
    const std::int8_t* a = plain.data() - first * kPairBytes;
    std::vector<std::uint8_t> levels(width), fourLevels = levels;
    lanes::AmplitudeRowPlain(field, y, width, levels.data());
    lanes::AmplitudeRowFour(field, y, width, fourLevels.data());
    EXPECT_EQ(fourLevels, levels) << "trial " << trial;
    const SurfaceMix mix = MixOf(field, true, trial % 2 == 0);
    std::vector<std::uint32_t> mixed(width), fourMixed(width);
    lanes::MixSurfacePlain(a, plainB.data(), width, mix, field.colours.data(),
                           mixed.data());
    lanes::MixSurfaceFour(a, plainB.data(), width, mix, field.colours.data(),
                          fourMixed.data());
    EXPECT_EQ(fourMixed, mixed) << "trial " << trial;
    if (!lanes::HasEight()) continue;
    lanes::PhaseRowEight(field, false, y, first, width - first, four.data());
    lanes::PhaseRowEight(field, true, y, 0, width, fourB.data());
    EXPECT_EQ(four, plain) << "trial " << trial;
    EXPECT_EQ(fourB, plainB) << "trial " << trial;
    lanes::AmplitudeRowEight(field, y, width, fourLevels.data());
    EXPECT_EQ(fourLevels, levels) << "trial " << trial;
    lanes::MixSurfaceEight(a, plainB.data(), width, mix, field.colours.data(),
                           fourMixed.data());
    EXPECT_EQ(fourMixed, mixed) << "trial " << trial;
  }
  EXPECT_GE(shifted, 5) << "B's pairs read from A's";
}

// The palette's order carries the water: lighter with every level.
TEST(WaterTest, EachViewLightensWithItsLevel) {
  for (const WaterView view : {WaterView::kSurface, WaterView::kAmplitude}) {
    for (int level = 1; level < kWaterLevels; ++level) {
      EXPECT_LE(RedOf(WaterColour(view, level - 1)),
                RedOf(WaterColour(view, level)));
    }
    EXPECT_GT(RedOf(WaterColour(view, 255)) - RedOf(WaterColour(view, 0)), 60);
  }
}

std::vector<std::uint32_t> Pixels(const FrameRasteriser& f) {
  return {f.pixels(),
          f.pixels() +
              static_cast<std::ptrdiff_t>(f.deviceWidth()) * f.deviceHeight()};
}

struct Step {
  WaterView view;
  std::int16_t antinodal;
  const char* wavelength;
};

struct SequenceRow {
  const char* name;
  std::int64_t front;  // FrontRadius before the first frame
  std::vector<Step> steps;
};

// Frames in a row on one engine, each against the same frame drawn afresh
// on one thread: what the engine keeps from frame to frame (the line layer,
// with or without the water under it) must never show through.
const SequenceRow kSequences[] = {
    {"settled_amplitude_kept_with_its_lines_then_the_lines_alone",
     100000,
     {{WaterView::kAmplitude, 1, "2"},
      {WaterView::kAmplitude, 1, "2"},
      {WaterView::kAmplitude, 1, "2"},
      {WaterView::kNone, 1, "2"},
      {WaterView::kNone, 1, "2"},
      {WaterView::kAmplitude, 1, "2"}}},
    {"settled_amplitude_without_lines_then_another_wavelength",
     100000,
     {{WaterView::kAmplitude, 0, "2"},
      {WaterView::kAmplitude, 0, "2"},
      {WaterView::kAmplitude, 0, "3"},
      {WaterView::kAmplitude, 0, "3"}}},
    {"moving_surface_under_lines_kept_before",
     1000,
     {{WaterView::kNone, 1, "2"},
      {WaterView::kNone, 1, "2"},
      {WaterView::kSurface, 1, "2"},
      {WaterView::kSurface, 1, "2"},
      {WaterView::kNone, 1, "2"}}},
    {"amplitude_while_the_fronts_spread_then_settled",
     7800,
     {{WaterView::kAmplitude, 1, "2"},
      {WaterView::kAmplitude, 1, "2"},
      {WaterView::kAmplitude, 1, "2"},
      {WaterView::kAmplitude, 1, "2"},
      {WaterView::kSurface, 1, "2"},
      {WaterView::kAmplitude, 1, "2"}}},
    {"still_water_is_settled_too",
     1000,
     {{WaterView::kSurface, 1, "-2"},
      {WaterView::kSurface, 1, "-2"},
      {WaterView::kAmplitude, 1, "-2"}}},
};

class WaterSequenceTest : public ::testing::TestWithParam<SequenceRow> {};

TEST_P(WaterSequenceTest, EachFrameAsIfDrawnAfresh) {
  const SequenceRow& row = GetParam();
  const FrameRasteriser::Size size{160, 120, 1.5};
  FrameRasteriser kept(size, 60, 0xF0F0F0, 2);
  testing::FakeForm form;
  WaveScene scene(Edition::Full, kept, form);
  scene.InitScene();
  scene.FrontRadius = row.front;
  for (std::size_t i = 0; i < row.steps.size(); ++i) {
    const Step& step = row.steps[i];
    form.text1 = step.wavelength;
    scene.Water = step.view;
    scene.ShowAntinodal = step.antinodal;
    const std::int64_t before = scene.FrontRadius;
    scene.StepFrame();
    kept.Flush();

    FrameRasteriser fresh(size, 60, 0xF0F0F0, 1);
    WaveScene again(Edition::Full, fresh, form);
    again.InitScene();
    again.FrontRadius = before;
    again.Water = step.view;
    again.ShowAntinodal = step.antinodal;
    again.StepFrame();
    fresh.Flush();
    ASSERT_EQ(Pixels(kept), Pixels(fresh)) << "frame " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, WaterSequenceTest,
                         ::testing::ValuesIn(kSequences),
                         wave::testing::RowName());

// The scene lays the water first, after the clear, and only with a view on.
TEST(WaterTest, SceneShadesFirstAndOnlyWithAView) {
  testing::RecordingCanvas canvas;
  testing::FakeForm form;
  WaveScene scene(Edition::Six, canvas, form);
  scene.InitScene();
  scene.StepFrame();
  EXPECT_TRUE(canvas.Only(testing::Op::Shade).empty());
  canvas.calls.clear();
  scene.ShowWater(WaterView::kAmplitude);
  ASSERT_FALSE(canvas.calls.empty());
  EXPECT_EQ(canvas.calls[0].op, testing::Op::Cls);
  std::size_t shade = 0, firstShape = 0;
  for (std::size_t i = canvas.calls.size(); i-- > 0;) {
    const testing::Op op = canvas.calls[i].op;
    if (op == testing::Op::Shade) shade = i;
    if (op == testing::Op::Circle || op == testing::Op::Line) firstShape = i;
  }
  EXPECT_EQ(canvas.Only(testing::Op::Shade).size(), 1u);
  EXPECT_LT(shade, firstShape);
  // As of the front this frame draws: 1000 + 100.
  const WaterShade want{
      WaterView::kAmplitude, 4000, 4000, 7000, 4000, 1100, 1000, false};
  EXPECT_EQ(canvas.calls[shade].water, want);
}

}  // namespace
}  // namespace wave
