// SPDX-License-Identifier: GPL-3.0-or-later
// The waves at P, the tone made of them and the lines' orders: against
// values worked out by hand, phasor sums and the focal definition of the
// hyperbolas, not against the code's own formulas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "scene/probe_waves.h"
#include "sound/tone.h"
#include "tests/row_name.h"
#include "tests/support/stepped_scene.h"
#include "window/line_orders.h"

namespace wave {
namespace {

// λ 2 (1000 twips), d 6: A at (4000, 4000), B at (7000, 4000); the front
// where a row wants it.
struct Scene : testing::SteppedScene {
  Scene(const char* lambda, const char* distance, int antiphase,
        std::int64_t front)
      : SteppedScene(lambda, distance, antiphase) {
    scene.FrontRadius = front;
  }
};

struct Point {
  const char* name;
  int antiphase;
  std::int64_t front;
  double x, y;
  bool aArrived, bArrived;
  double a, b, swing;
};

// AP and BP: beyond B on the axis 5000 and 2000; between the sources 1500
// and 1500; 250 right of the middle 1750 and 1250 (half a wavelength).
const Point kPoints[] = {
    {"crests-of-both", 0, 10000, 9000, 4000, true, true, 1, 1, 2},
    {"opposite-phase-cancels", 1, 10000, 9000, 4000, true, true, 1, -1, 0},
    {"quarter-on-both-zero", 0, 10250, 9000, 4000, true, true, 0, 0, 2},
    {"troughs-of-both", 0, 10000, 5500, 4000, true, true, -1, -1, 2},
    {"nodal-line", 0, 10250, 5750, 4000, true, true, -1, 1, 0},
    {"nodal-in-opposite-is-antinodal", 1, 10250, 5750, 4000, true, true, -1, -1,
     2},
    {"beyond-a-front", 0, 3000, 9000, 4000, false, true, 0, 1, 1},
    {"a-crest-at-its-front", 0, 3000, 4000, 1000, true, false, 1, 0, 1},
    {"beyond-both", 0, 1999, 9000, 4000, false, false, 0, 0, 0},
};

class ProbeWavesTest : public ::testing::TestWithParam<Point> {};

TEST_P(ProbeWavesTest, AreTheFramesWavesAtP) {
  const Point& p = GetParam();
  Scene s("2", "6", p.antiphase, p.front);
  const ProbeWaves waves(s.scene, p.x, p.y);
  const ProbeWaves::At at = waves.Now();
  EXPECT_EQ(at.aArrived, p.aArrived);
  EXPECT_EQ(at.bArrived, p.bArrived);
  EXPECT_NEAR(at.a, p.a, 1e-9);
  EXPECT_NEAR(at.b, p.b, 1e-9);
  EXPECT_NEAR(waves.Swing(), p.swing, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Rows, ProbeWavesTest, ::testing::ValuesIn(kPoints),
                         testing::RowName());

TEST(ProbeWavesTest, ANegativeWavelengthBringsNoWave) {
  Scene s("-2", "6", 0, 10000);
  const ProbeWaves waves(s.scene, 9000, 4000);
  EXPECT_FALSE(waves.Now().aArrived || waves.Now().bArrived);
  EXPECT_EQ(waves.Swing(), 0);
  EXPECT_EQ(DescribeWaves(waves), "P の水面は静か。");
}

// Two unit waves with phases φA and φB add to one of amplitude
// |e^iφA + e^iφB|: over two periods the traced sum reaches it, and the
// trace of a wave that arrived within them is flat before it did.
TEST(ProbeWavesTest, TheTracedSumSwingsAsThePhasorsAdd) {
  std::mt19937 random(29);
  std::uniform_real_distribution<double> place(0, 15000), lambdaOf(0.2, 4);
  for (int round = 0; round < 200; ++round) {
    const double lambda = lambdaOf(random);
    const std::string text = std::to_string(lambda);
    const int antiphase = round % 2;
    const double x = place(random), y = place(random);
    Scene s(text.c_str(), "5", antiphase, 40000);
    const double l = 500 * static_cast<double>(s.scene.Wavelength);
    const double ap = std::hypot(x - 4000, y - 4000);
    const double bp = std::hypot(x - 6500, y - 4000);
    const double phaseA = 2 * std::numbers::pi * (40000 - ap) / l;
    const double phaseB = 2 * std::numbers::pi * (40000 - bp) / l +
                          (antiphase != 0 ? std::numbers::pi : 0);
    const double phasor = std::hypot(std::cos(phaseA) + std::cos(phaseB),
                                     std::sin(phaseA) + std::sin(phaseB));
    const ProbeWaves waves(s.scene, x, y);
    const ProbeWaves::Traces t = waves.Trace(241, 2);
    const double peak = std::fabs(*std::max_element(
        t.sum.begin(), t.sum.end(),
        [](float p, float q) { return std::fabs(p) < std::fabs(q); }));
    EXPECT_NEAR(waves.Swing(), phasor, 1e-6) << x << " " << y;
    EXPECT_NEAR(peak, phasor, 2 * (1 - std::cos(std::numbers::pi / 120)) + 1e-5)
        << x << " " << y;
    EXPECT_NEAR(t.sum.back(), std::cos(phaseA) + std::cos(phaseB), 1e-5);
  }
  Scene late("2", "6", 0, 5500);  // A's front 500 past P, 1000 is a period
  const ProbeWaves::Traces t = ProbeWaves(late.scene, 9000, 4000).Trace(201, 2);
  for (std::size_t k = 0; k < 150; ++k) EXPECT_EQ(t.a[k], 0) << k;
  EXPECT_NE(t.a[160], 0);
}

// The loudness follows the level; from one sample to the next the tone
// moves no further than its sine and the ramp allow, whatever the level
// does; a new level is reached within the ramp.
TEST(ToneTest, IsAsLoudAsTheLevelAndNeverClicks) {
  constexpr double kRate = 48000;
  for (const double level : {0.0, 0.25, 0.5, 1.0}) {
    ToneGenerator tone(kRate);
    tone.SetLevel(level);
    std::vector<float> samples(48000);
    tone.Fill(samples.data(), 4800);  // settled
    tone.Fill(samples.data(), samples.size());
    double energy = 0;
    for (const float v : samples) energy += double{v} * v;
    EXPECT_NEAR(std::sqrt(energy / 48000),
                ToneGenerator::kPeak * level / std::numbers::sqrt2, 1e-4)
        << level;
  }
  ToneGenerator tone(kRate);
  std::mt19937 random(28);
  std::uniform_real_distribution<double> level(-0.5, 1.5);
  const double limit =
      ToneGenerator::kPeak *
      (2 * std::numbers::pi * ToneGenerator::kFrequencyHz / kRate +
       1 / (ToneGenerator::kRampSeconds * kRate));
  float last = 0;
  std::vector<float> block(1 + random() % 700);
  for (int round = 0; round < 400; ++round) {
    tone.SetLevel(level(random));
    block.resize(1 + random() % 700);
    tone.Fill(block.data(), block.size());
    for (const float v : block) {
      ASSERT_LE(std::fabs(v - last), limit + 1e-6) << round;
      last = v;
    }
  }
  tone.SetLevel(1);
  std::vector<float> rise(static_cast<std::size_t>(
      (ToneGenerator::kRampSeconds + 1 / ToneGenerator::kFrequencyHz) * kRate));
  tone.Fill(rise.data(), rise.size());
  const auto tail =
      rise.end() - static_cast<long>(kRate / ToneGenerator::kFrequencyHz);
  EXPECT_GT(*std::max_element(tail, rise.end()), 0.99 * ToneGenerator::kPeak);
  tone.SetLevel(std::nan(""));
  tone.Fill(rise.data(), rise.size());
  EXPECT_TRUE(tone.Silent());
}

// Every label inside the area and apart from the others and the controls;
// each at a point of its line, by |AP − BP| = (path difference)·λ.
TEST(LineOrdersTest, SitOnTheirLinesInsideAndApart) {
  std::mt19937 random(30);
  std::uniform_real_distribution<double> lambdaOf(0.1, 3), dOf(0.5, 12),
      sideOf(300, 2000);
  const ScreenMapping mapping;
  const std::vector<window::PixelBox> controls{{0, 0, 65, 260}};
  int seen = 0;
  for (int round = 0; round < 300; ++round) {
    const std::string lambda = std::to_string(lambdaOf(random));
    const std::string d = std::to_string(dOf(random));
    Scene s(lambda.c_str(), d.c_str(), round % 2, 1000);
    s.scene.ShowAntinodal = static_cast<std::int16_t>(round % 3 != 0);
    s.scene.ShowNodal = static_cast<std::int16_t>(round % 3 != 1);
    const double w = sideOf(random), h = sideOf(random);
    const auto labels =
        window::PlaceLineOrders(s.scene, mapping, w, h, controls);
    const double l = 500 * static_cast<double>(s.scene.Wavelength);
    for (std::size_t i = 0; i < labels.size(); ++i) {
      const window::PixelBox& b = labels[i].box;
      ASSERT_TRUE(b.left >= 0 && b.top >= 0 && b.left + b.width <= w &&
                  b.top + b.height <= h);
      EXPECT_FALSE(b.Meets(controls[0], 0));
      for (std::size_t j = 0; j < i; ++j) {
        EXPECT_FALSE(b.Meets(labels[j].box, 0)) << i << " " << j;
      }
      // Below the sources the line passes the label's middle at the
      // label's top (where its drawing ends) or lower (where it leaves).
      if (b.left <= 3 || b.left + b.width >= w - 3) continue;  // at a side
      const double x = 15 * (b.left + b.width / 2);
      const double xB = 4000 + 500 * std::stod(d);
      const double m = std::stod(labels[i].text.substr(4));
      const bool whole = labels[i].antinodal == (s.scene.Antiphase == 0);
      const double path = (m + (whole ? 0 : 0.5)) * l;
      const auto beyond = [&](double y) {
        return std::fabs(std::hypot(x - 4000, y - 4000) -
                         std::hypot(x - xB, y - 4000)) < path;
      };
      if (path == 0) {
        EXPECT_NEAR(x, (4000 + xB) / 2, 8);
        continue;
      }
      double near = 4000, far = 1e8;
      if (beyond(near)) continue;  // the line's vertex: on the axis
      for (int k = 0; k < 100; ++k) {
        const double mid = (near + far) / 2;
        (beyond(mid) ? far : near) = mid;
      }
      EXPECT_GE(near / 15, b.top - 3) << labels[i].text;
      EXPECT_LE(near / 15, h + 0.5) << labels[i].text;
      ++seen;
    }
  }
  EXPECT_GT(seen, 100) << "the bottom edge is where most lines leave";
}

}  // namespace
}  // namespace wave
