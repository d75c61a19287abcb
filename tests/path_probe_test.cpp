// SPDX-License-Identifier: GPL-3.0-or-later
// Points placed on the antinodal and nodal hyperbolas, found from the focal
// definition (|PA − PB| = 2a, foci A and B), not from the frame's own line
// drawing, read as on those lines; points off them by more than the
// tolerance read as between; hostile inputs read plainly.
#include "scene/path_probe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/row_name.h"
#include "tests/support/stepped_scene.h"
#include "tests/valid_text.h"

namespace wave {
namespace {

using testing::FakeForm;
using testing::RecordingCanvas;

using Frame = testing::SteppedScene;

// A point with |PA − PB| = difference wavelengths, on the branch nearer B
// when `nearB`, at parameter t along it: the hyperbola with foci A and B,
// centre M, semi-axes a = difference·λ/2 and b = √(c² − a²), c = d/2.
std::pair<double, double> OnHyperbola(double lambda, double d,
                                      double difference, double t, bool nearB) {
  constexpr double kUnit = 500;
  const double c = kUnit * d / 2;
  const double a = kUnit * lambda * difference / 2;
  const double b = std::sqrt(c * c - a * a);
  const double mx = 4000 + c;
  return {mx + (nearB ? 1 : -1) * a * std::cosh(t), 4000 + b * std::sinh(t)};
}

struct Row {
  const char* name;
  const char *lambda, *distance;
  int antiphase;
  double difference;  // in wavelengths
  ProbeReading::Verdict verdict;
  std::int64_t m;
  bool antinodal;
};

using V = ProbeReading::Verdict;
const Row kRows[] = {
    {"in-phase-centre-line", "2", "6", 0, 0, V::kReinforce, 0, true},
    {"in-phase-m-2", "2", "6", 0, 2, V::kReinforce, 2, true},
    {"in-phase-nodal-m-1", "2", "6", 0, 1.5, V::kCancel, 1, false},
    {"in-phase-within-tolerance", "1.5", "7", 0, 3.04, V::kReinforce, 3, true},
    {"in-phase-just-beyond", "1.5", "7", 0, 3.06, V::kBetween, 0, false},
    {"in-phase-between", "1", "4", 0, 2.25, V::kBetween, 0, false},
    {"antiphase-centre-line-cancels", "2", "6", 1, 0, V::kCancel, 0, false},
    {"antiphase-half-reinforces", "2", "6", 1, 2.5, V::kReinforce, 2, true},
    {"antiphase-whole-cancels", "0.7", "5", 1, 3, V::kCancel, 3, false},
    {"negative-wavelength", "-2", "6", 0, 1, V::kReinforce, 1, true},
    {"tiny-wavelength-drawn-as-tenth", "0.001", "3", 0, 12, V::kReinforce, 12,
     true},
};

class ProbeTest : public ::testing::TestWithParam<Row> {};

TEST_P(ProbeTest, PointsOnTheLinesReadTheirFamilyAndOrder) {
  const Row& row = GetParam();
  Frame f(row.lambda, row.distance, row.antiphase);
  const double lambda = std::fabs(static_cast<double>(f.scene.Wavelength));
  for (const double t : {-1.2, 0.0, 0.4, 1.7}) {
    for (const bool nearB : {false, true}) {
      const auto [x, y] = OnHyperbola(lambda, std::stod(row.distance),
                                      row.difference, t, nearB);
      const ProbeReading r = ReadProbe(f.scene, x, y);
      SCOPED_TRACE(DescribeProbe(r) + " at t " + std::to_string(t));
      ASSERT_EQ(r.kind, ProbeReading::Kind::kReading);
      EXPECT_NEAR(r.difference, row.difference, 1e-9);
      EXPECT_EQ(r.verdict, row.verdict);
      if (row.verdict != V::kBetween) {
        EXPECT_EQ(r.m, row.m);
        EXPECT_EQ(r.onAntinodal, row.antinodal);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, ProbeTest, ::testing::ValuesIn(kRows),
                         testing::RowName());

// A at 4000, B at 7000: P on the axis beyond B, AP 5000 and BP 2000 twips
// (5 and 2 wavelengths), read by fronts that have or have not reached it.
struct Readout {
  const char* name;
  int antiphase;
  std::int64_t front;
  double x;
  const char* text;
};

const Readout kReadouts[] = {
    {"in-phase", 0, 5000, 9000,
     "AP = 5.00λ　BP = 2.00λ　|AP − BP| = 3.00λ → 強め合う（腹線 m = 3）"},
    {"opposite", 1, 5000, 9000,
     "AP = 5.00λ　BP = 2.00λ　|AP − BP| = 3.00λ → 弱め合う（節線 m = 3）"},
    {"opposite-farther", 1, 5250, 9250,
     "AP = 5.25λ　BP = 2.25λ　|AP − BP| = 3.00λ → 弱め合う（節線 m = 3）"},
    {"only-b-arrived", 0, 4999, 9000,
     "AP = 5.00λ　BP = 2.00λ　|AP − BP| = 3.00λ → 両方届くと強め合う（腹線 m "
     "= 3）\nA の波はまだ P に届いていない"},
    {"none-arrived", 1, 1999, 9000,
     "AP = 5.00λ　BP = 2.00λ　|AP − BP| = 3.00λ → 両方届くと弱め合う（節線 m "
     "= 3）\nA と B の波はまだ P に届いていない"},
};

class ProbeReadoutTest : public ::testing::TestWithParam<Readout> {};

TEST_P(ProbeReadoutTest, SaysItInJapanese) {
  const Readout& row = GetParam();
  Frame f("2", "6", row.antiphase);
  f.scene.FrontRadius = row.front;
  EXPECT_EQ(DescribeProbe(ReadProbe(f.scene, row.x, 4000)), row.text);
}

INSTANTIATE_TEST_SUITE_P(Rows, ProbeReadoutTest, ::testing::ValuesIn(kReadouts),
                         testing::RowName());

TEST(ProbeTest, TheSentenceJoinsTheReadoutsLines) {
  Frame f("2", "6", 0);
  f.scene.FrontRadius = 2000;
  EXPECT_EQ(
      ProbeSentence(ReadProbe(f.scene, 9000, 4000)),
      "点 P: AP = 5.00λ　BP = 2.00λ　|AP − BP| = 3.00λ → "
      "両方届くと強め合う（腹線 m = 3）。A の波はまだ P に届いていない。");
}

struct Hostile {
  const char* name;
  const char *lambda, *distance;
  double x, y;
  ProbeReading::Kind kind;
};

const Hostile kHostile[] = {
    {"huge-wavelength", "1e39", "6", 5000, 5000,
     ProbeReading::Kind::kNoWavelength},
    {"huge-distance", "2", "1e300", 5000, 5000,
     ProbeReading::Kind::kBeyondReach},
    {"infinite-distance", "2", "1e400", 5000, 5000,
     ProbeReading::Kind::kNoSeparation},
    {"zero-distance", "2", "0", 5000, 5000, ProbeReading::Kind::kReading},
    {"far-away-point", "2", "6", 1e30, -1e30, ProbeReading::Kind::kBeyondReach},
    {"on-source-a", "0", "0", 4000, 4000, ProbeReading::Kind::kReading},
};

class ProbeHostileTest : public ::testing::TestWithParam<Hostile> {};

TEST_P(ProbeHostileTest, ReadsPlainlyWithoutNonFiniteText) {
  const Hostile& h = GetParam();
  Frame f(h.lambda, h.distance, 0);
  const ProbeReading r = ReadProbe(f.scene, h.x, h.y);
  EXPECT_EQ(r.kind, h.kind);
  const std::string text = ProbeSentence(r);
  EXPECT_TRUE(testing::IsCleanText(text)) << text;
  for (const char* bad : {"nan", "inf", "NaN", "Inf"}) {
    EXPECT_EQ(text.find(bad), std::string::npos) << text;
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, ProbeHostileTest, ::testing::ValuesIn(kHostile),
                         testing::RowName());

TEST(ProbeTest, BeforeTheFirstFrameThereIsNothingToMeasure) {
  RecordingCanvas canvas;
  FakeForm form;
  WaveScene scene(Edition::Six, canvas, form);
  scene.InitScene();
  const ProbeReading r = ReadProbe(scene, 5000, 5000);
  EXPECT_EQ(r.kind, ProbeReading::Kind::kNoFrame);
  EXPECT_EQ(DescribeProbe(r), "点 P: まだ波が描かれていないので、測れません。");
}

}  // namespace
}  // namespace wave
