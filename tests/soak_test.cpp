// SPDX-License-Identifier: GPL-3.0-or-later
// Hours of animation in seconds: both editions, every layer on, frame after
// frame. Memory must stay flat, the front radius exact, and no frame may
// grow past the call budget however long the animation has run.
#include <gtest/gtest.h>

#include <QImage>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime; GCC ships no header for it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

#include "form/raster_canvas.h"
#include "scene/wave_scene.h"
#include "tests/checking_canvas.h"

namespace wave {
namespace {

// Memory in use, kB: the kernel's resident count, or under AddressSanitizer
// (whose quarantine holds freed blocks) the bytes the heap has handed out.
long ResidentKb() {
#if defined(__SANITIZE_ADDRESS__)
  return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#endif
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

std::int64_t Frames(std::int64_t fallback) {
  const char* text = std::getenv("SARVEL_SOAK_FRAMES");
  return text != nullptr ? std::atoll(text) : fallback;
}

struct SoakRun {
  long before = 0, after = 0;     // kB, after warming up and at the end
  std::int64_t wrongRadius = -1;  // first frame whose radius was off
};

template <class CanvasType>
SoakRun Soak(Edition edition, CanvasType& canvas, std::int64_t frames,
             std::int64_t stride = 1) {
  testing::PlainForm form;
  WaveScene scene(edition, canvas, form);
  scene.InitScene();
  scene.ShowAntinodal = scene.ShowNodal = scene.ShowCrossings = 1;
  SoakRun run;
  for (std::int64_t n = 1; n <= frames; ++n) {
    scene.FrontRadius += 100 * (stride - 1);  // ticks skipped unseen
    scene.StepFrame();
    if (run.wrongRadius < 0 && scene.FrontRadius != 1000 + 100 * stride * n) {
      run.wrongRadius = n;
    }
    if (n == frames / 10) run.before = ResidentKb();
  }
  run.after = ResidentKb();
  return run;
}

class SoakTest : public ::testing::TestWithParam<Edition> {};

TEST_P(SoakTest, FramesStayExactAndMemoryFlatOnTheCheckingCanvas) {
  const std::int64_t frames = Frames(100'000);
  testing::CheckingCanvas canvas;
  const SoakRun run = Soak(GetParam(), canvas, frames);
  EXPECT_EQ(run.wrongRadius, -1);
  EXPECT_EQ(canvas.fault, "");
  EXPECT_LE(canvas.LongestFrame(), testing::kFrameCallBudget);
  EXPECT_EQ(canvas.frames, static_cast<std::size_t>(frames));
  EXPECT_LT(run.after - run.before, 256) << "kB grown";
  std::printf("%lld frames, longest %zu calls, resident %ld -> %ld kB\n",
              static_cast<long long>(frames), canvas.LongestFrame(), run.before,
              run.after);
}

// The window's own canvas keeps caches (hyperbola layer, sprites, masks):
// they must not grow with the frames either. Every 50th frame of the same
// run is drawn, so the radius still reaches 10,000,000.
TEST_P(SoakTest, RasterCanvasMemoryStaysFlat) {
  const std::int64_t frames = Frames(100'000) / 50;
  RasterCanvas canvas(QSize(682, 476), 15, 1, QColor(240, 240, 240));
  const SoakRun run = Soak(GetParam(), canvas, frames, 50);
  EXPECT_EQ(run.wrongRadius, -1);
  std::printf("%lld frames drawn, resident %ld -> %ld kB\n",
              static_cast<long long>(frames), run.before, run.after);
  EXPECT_LT(run.after - run.before, 512) << "kB grown";
  // The last frame is on the image: source A's mark (or a dot over it) at
  // (4000, 4000), not the background.
  canvas.Flush();
  EXPECT_NE(canvas.image().pixelColor(266, 266), QColor(240, 240, 240));
}

INSTANTIATE_TEST_SUITE_P(Editions, SoakTest,
                         ::testing::Values(Edition::Full, Edition::Six),
                         [](const auto& info) {
                           return info.param == Edition::Full ? "sarvel11"
                                                              : "sarvel6";
                         });

}  // namespace
}  // namespace wave

namespace wave {
namespace {

struct DenseRow {
  const char* name;
  const char *t1, *t2, *t3;
  std::int64_t front;
};

class FrameBudgetTest : public ::testing::TestWithParam<DenseRow> {};

// The inputs that make the most calls, each at the largest radius a
// learner can reach in an afternoon and beyond.
TEST_P(FrameBudgetTest, DensestKnownFramesStayWithinTheBudget) {
  const DenseRow& row = GetParam();
  for (const Edition edition : {Edition::Full, Edition::Six}) {
    testing::CheckingCanvas canvas;
    testing::PlainForm form;
    form.text1 = row.t1;
    form.text2 = row.t2;
    form.text3 = row.t3;
    WaveScene scene(edition, canvas, form);
    scene.InitScene();
    scene.ShowAntinodal = scene.ShowNodal = 1;
    for (const std::int16_t phase : {0, 1}) {
      scene.Antiphase = edition == Edition::Full ? phase : 0;
      scene.FrontRadius = row.front - 100;
      scene.StepFrame();
    }
    EXPECT_EQ(canvas.fault, "");
    EXPECT_LE(canvas.LongestFrame(), testing::kFrameCallBudget);
    std::printf("%s: %zu calls\n", row.name, canvas.LongestFrame());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Densest, FrameBudgetTest,
    ::testing::Values(
        DenseRow{"zero_wavelength_big_dots", "0", "6", "1000", 10'000'000},
        DenseRow{"zero_wavelength", "0", "6", "100", 10'000'000},
        DenseRow{"zero_both_huge_dots", "0", "0", "1e7", 3'000'000},
        DenseRow{"tenth_far_apart", "0.1", "1000", "5", 10'000'000},
        DenseRow{"negative_zero_negative_dots", "-0", "-6", "-100", 10'000'000},
        DenseRow{"tiny_wavelength_huge_distance", "1e-30", "1e300", "1",
                 1'000'000},
        DenseRow{"zero_wavelength_close_sources", "0", "0.1", "1", 50'000}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace wave
