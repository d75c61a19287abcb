// SPDX-License-Identifier: GPL-3.0-or-later
// The frame engine on its own, with no toolkit: whole scene frames, the
// shapes no frame of the scene draws, and batches of dots between rings
// laid while the workers run.
#include "raster/frame/frame_rasteriser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "scene/wave_scene.h"
#include "tests/row_name.h"
#include "tests/support/recording_canvas.h"

namespace wave {
namespace {

constexpr std::uint32_t kBackground = 0xF0F0F0;

std::uint32_t At(const FrameRasteriser& f, int x, int y) {
  return f.pixels()[static_cast<std::ptrdiff_t>(y) * f.deviceWidth() + x] &
         0xFFFFFFu;
}

std::vector<std::uint32_t> Picture(const FrameRasteriser& f) {
  return {f.pixels(),
          f.pixels() +
              static_cast<std::ptrdiff_t>(f.deviceWidth()) * f.deviceHeight()};
}

// The window's first frame at load, as the end-to-end test sees it on the
// screen, drawn here without a window and on any number of threads.
TEST(FrameRasteriserTest, DrawsTheSceneAloneAndAlikeOnAnyThreads) {
  std::vector<std::uint32_t> first;
  for (const int workers : {1, 2, 3}) {
    FrameRasteriser frame({682, 476, 1}, 15, kBackground, workers);
    testing::FakeForm form;
    WaveScene scene(Edition::Full, frame, form);
    scene.InitScene();
    scene.ShowAntinodal = scene.ShowNodal = 1;
    scene.StepFrame();
    frame.Flush();
    // A's outer crest, 1100 twips right of A; the sources' black marks.
    EXPECT_EQ(At(frame, (4000 + 1100) / 15, 4000 / 15), 0x0000FFu);
    EXPECT_EQ(At(frame, 266, 266), 0u);
    EXPECT_EQ(At(frame, 466, 266), 0u);
    EXPECT_EQ(At(frame, 681, 5), kBackground);
    if (first.empty()) first = Picture(frame);
    EXPECT_EQ(Picture(frame), first) << workers << " workers";
  }
}

// A few rings, a batch of dots piled over the image, more rings, more
// dots, in one frame of the window's size: the first batch tells the queue
// what it covers while nothing runs, the rings after it start a run that
// reads that, and the second batch must not rewrite it meanwhile.
TEST(FrameRasteriserTest, BatchesOfDotsBetweenRingsWhileTheWorkersRun) {
  const auto frame = [](FrameRasteriser& f) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> x(0, 10230), y(0, 7140);
    f.Cls();
    f.SetDrawWidth(4);
    for (int batch = 0; batch < 3; ++batch) {
      f.SetFillStyle(kFillHollow);
      for (int i = 0; i < (batch == 0 ? 3 : 20); ++i) {
        f.Circle(x(random), y(random), 200.0f + 700.0f * i, RGB(0, 0, 255));
      }
      f.SetFillStyle(kFillSolid);
      const Color dot = batch % 2 == 0 ? RGB(0, 255, 0) : RGB(0, 80, 0);
      f.SetFillColor(dot);
      for (int i = 0; i < 3000; ++i) f.Circle(x(random), y(random), 150, dot);
    }
    f.Flush();
    return Picture(f);
  };
  FrameRasteriser alone({682, 476, 1}, 15, kBackground, 1);
  FrameRasteriser shared({682, 476, 1}, 15, kBackground, 2);
  const std::vector<std::uint32_t> expected = frame(alone);
  for (int again = 0; again < 10; ++again) {
    EXPECT_EQ(frame(shared), expected) << "frame " << again;
  }
}

// Dots of hundreds of sizes, frame after frame, while the rings before them
// are laid by the workers: the dots kept by size are forgotten between
// frames, and never while the queue may still point at them.
TEST(FrameRasteriserTest, DotsOfManySizesAreForgottenOnlyOnceLaid) {
  const auto frames = [](FrameRasteriser& f) {
    std::vector<std::uint32_t> last;
    for (int frame = 0; frame < 4; ++frame) {
      f.Cls();
      f.SetDrawWidth(4);
      f.SetFillStyle(kFillHollow);
      for (int i = 0; i < 20; ++i) {
        f.Circle(5000, 3500, 300.0f + 350.0f * i + frame, RGB(0, 0, 255));
      }
      f.SetFillStyle(kFillSolid);
      f.SetFillColor(RGB(0, 255, 0));
      for (int i = 0; i < 300; ++i) {
        f.Circle(static_cast<float>(i * 97 % 10000),
                 static_cast<float>(i * 61 % 7000),
                 200.0f + static_cast<float>(i + frame), RGB(0, 255, 0));
      }
      f.Flush();
      last = Picture(f);
    }
    return last;
  };
  FrameRasteriser alone({682, 476, 1}, 15, kBackground, 1);
  FrameRasteriser shared({682, 476, 1}, 15, kBackground, 2);
  EXPECT_EQ(frames(shared), frames(alone));
}

// Shapes the scene never draws, each with what must show where.
struct Probe {
  int x, y;
  std::uint32_t rgb;
};
struct ShapeRow {
  const char* name;
  std::function<void(FrameRasteriser&)> draw;
  std::vector<Probe> probes;
};

const ShapeRow kShapes[] = {
    {"filled-in-another-colour",
     [](FrameRasteriser& f) {
       f.SetDrawWidth(4);
       f.SetFillStyle(kFillSolid);
       f.SetFillColor(RGB(255, 0, 0));
       f.Circle(3000, 3000, 1500, RGB(0, 0, 255));
     },
     {{200, 200, 0xFF0000},
      {200 + 100, 200, 0x0000FF},
      {200, 200 - 100, 0x0000FF},
      {200 + 104, 200, kBackground},
      {200 + 94, 200, 0xFF0000}}},
    {"large-fill-without-a-pen",
     [](FrameRasteriser& f) {
       f.SetDrawStyle(kInvisible);
       f.SetFillStyle(kFillSolid);
       f.SetFillColor(RGB(0, 255, 0));
       f.Circle(3000, 3000, 1500, RGB(0, 0, 255));
     },
     {{200, 200, 0x00FF00},
      {200 + 98, 200, 0x00FF00},
      {200 + 102, 200, kBackground}}},
    // A disc far larger than the ring scanner takes, its edge across the
    // window: x = 300 pixels, nearly straight there.
    {"disc-beyond-the-ring-scanner",
     [](FrameRasteriser& f) {
       f.SetFillStyle(kFillSolid);
       f.SetFillColor(RGB(0, 255, 0));
       f.SetDrawStyle(kInvisible);
       f.Circle(-3e8f + 4500, 3000, 3e8f, 0);
     },
     {{10, 10, 0x00FF00}, {298, 300, 0x00FF00}, {302, 300, kBackground}}},
    {"arc-beyond-the-ring-scanner",
     [](FrameRasteriser& f) {
       f.SetDrawWidth(4);
       f.Circle(-3e8f + 4500, 3000, 3e8f, RGB(0, 0, 255));
     },
     {{300, 100, 0x0000FF}, {296, 100, kBackground}, {304, 100, kBackground}}},
    // The pen covers the centre: a disc of the pen's colour, larger than
    // the dots kept.
    {"wide-pen-over-the-centre",
     [](FrameRasteriser& f) {
       f.SetDrawWidth(200);
       f.Circle(3000, 3000, 15, RGB(255, 0, 0));
     },
     {{200, 200, 0xFF0000},
      {200 + 99, 200, 0xFF0000},
      {200 + 103, 200, kBackground}}},
    {"radius-zero-is-a-dot",
     [](FrameRasteriser& f) {
       f.SetDrawWidth(4);
       f.Circle(3000, 3000, 0, 0);
     },
     {{200, 200, 0}, {200, 204, kBackground}}},
    {"negative-radius-draws-nothing",
     [](FrameRasteriser& f) {
       f.SetDrawWidth(4);
       f.Circle(3000, 3000, -600, 0);
     },
     {{200, 200, kBackground}, {240, 200, kBackground}}},
    {"wide-pen-draws-solid-whatever-its-style",
     [](FrameRasteriser& f) {
       f.SetDrawWidth(2);
       f.SetDrawStyle(kDotted);
       f.Line(0, 1500.5f * 2, 9000, 1500.5f * 2, 0);
     },
     {{10, 200, 0}, {11, 200, 0}, {12, 200, 0}, {13, 200, 0}, {14, 200, 0}}},
};

class FrameShapesTest : public ::testing::TestWithParam<ShapeRow> {};

TEST_P(FrameShapesTest, ShowsWhereItShould) {
  FrameRasteriser frame({400, 400, 1}, 15, kBackground, 2);
  frame.Cls();
  GetParam().draw(frame);
  frame.Flush();
  for (const Probe& p : GetParam().probes) {
    EXPECT_EQ(At(frame, p.x, p.y), p.rgb) << p.x << ", " << p.y;
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, FrameShapesTest, ::testing::ValuesIn(kShapes),
                         testing::RowName());

// A broken one-pixel pen: along a long line the marks take their share of
// the length, and each style's share differs.
TEST(FrameRasteriserTest, BrokenPensShowTheirPattern) {
  struct Style {
    int style;
    double lit;  // share of the length a mark covers
  };
  for (const Style s :
       {Style{kSolid, 1.0}, Style{kDashed, 4.0 / 6}, Style{kDotted, 1.0 / 3},
        Style{kDashDot, 5.0 / 9}, Style{kDashDotDot, 6.0 / 12}}) {
    FrameRasteriser frame({400, 40, 1}, 15, kBackground, 1);
    frame.Cls();
    frame.SetDrawWidth(1);
    frame.SetDrawStyle(s.style);
    // Along the middle of row 20, from x = 0 to 360, in pieces that join.
    for (int x = 0; x < 360; x += 7) {
      frame.Line(static_cast<float>(x * 15), 20.5f * 15,
                 static_cast<float>((x + 7) * 15), 20.5f * 15, 0);
    }
    frame.Flush();
    double ink = 0;
    for (int x = 2; x < 358; ++x) {
      ink += 1 - static_cast<double>(At(frame, x, 20) & 0xFF) / 0xF0;
    }
    EXPECT_NEAR(ink / 356, s.lit, 0.06) << "style " << s.style;
    EXPECT_EQ(At(frame, 100, 17), kBackground);
  }
}

// Resizing keeps what was drawn where it was; new area is background.
TEST(FrameRasteriserTest, ResizeKeepsThePicture) {
  FrameRasteriser frame({200, 100, 1}, 15, kBackground, 1);
  frame.Cls();
  frame.SetDrawWidth(4);
  frame.Circle(1500, 750, 600, RGB(255, 0, 0));
  frame.Flush();
  const std::uint32_t ring = At(frame, 100 + 40, 50);
  frame.Resize({300, 150, 2});
  ASSERT_EQ(frame.deviceWidth(), 600);
  ASSERT_EQ(frame.deviceHeight(), 300);
  EXPECT_EQ(At(frame, 140, 50), ring);
  EXPECT_EQ(At(frame, 500, 250), kBackground);
}

}  // namespace
}  // namespace wave
