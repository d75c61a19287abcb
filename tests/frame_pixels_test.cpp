// SPDX-License-Identifier: GPL-3.0-or-later
// Whole frames on the raster canvas: what it leaves out and how it draws
// must not change the picture.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "form/raster_canvas.h"
#include "scene/wave_scene.h"
#include "tests/plain_canvas.h"
#include "tests/support/recording_canvas.h"

namespace wave {
namespace {

const QSize kPixels(682, 476);
const QColor kBackground(240, 240, 240);

// The raster canvas without its visible-area hint: the frame makes every call.
class UnhintedCanvas : public RasterCanvas {
 public:
  UnhintedCanvas() : RasterCanvas(kPixels, 15, 1, kBackground) {}
  std::optional<VisibleArea> Visible() const override { return std::nullopt; }
};

struct Row {
  const char* name;
  Edition edition;
  const char *t1, *t2, *t3;
  std::int64_t front;
  std::int16_t antiphase;
  bool plainToo = true;  // QPainter takes seconds for each huge circle
};

const std::vector<Row> kRows = {
    {"default-r1100", Edition::Full, "2", "6", "100", 1100, 0},
    {"default-r20000", Edition::Full, "2", "6", "100", 20000, 0},
    {"antiphase-r6000", Edition::Full, "1.3", "4", "150", 6000, 1},
    {"six-r9000", Edition::Six, "2.5", "7", "80", 9000, 0},
    {"dense-r3000", Edition::Full, "0", "6", "100", 3000, 0},
    {"far-r200000", Edition::Six, "3", "20", "400", 200000, 0},
    {"huge-dots", Edition::Full, "2", "3", "5000", 4000, 0},
    {"covering-dots", Edition::Full, "2", "6", "1e7", 20000, 1, false},
    {"covering-dots-six", Edition::Six, "1.5", "3", "30000", 9000, 0, false},
    {"piled-dots", Edition::Full, "0", "6", "1000", 3000, 0, false},
    {"negative-dots", Edition::Full, "2", "6", "-300", 9000, 0},
    // Over a thousand rings a frame: none is kept, and most are trimmed.
    {"dense-sources-apart", Edition::Full, "0", "30", "100", 30000, 0, false},
};

struct Difference {
  int large = 0;    // pixels off by more than 96 in some channel
  int blotted = 0;  // of them, those whose eight neighbours are too
  double mean = 0;  // mean of the largest channel difference
};

Difference Compare(const QImage& a, const QImage& b) {
  Difference d;
  long long total = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
      const int m = std::max({std::abs(p.red() - q.red()),
                              std::abs(p.green() - q.green()),
                              std::abs(p.blue() - q.blue())});
      total += m;
      if (m > 96) ++d.large;
    }
  }
  d.mean = static_cast<double>(total) / (a.width() * a.height());
  // Edges antialiased another way differ along a line, a pixel wide; a
  // shape missing or moved differs over a patch.
  const auto off = [&](int x, int y) {
    const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
    return std::max({std::abs(p.red() - q.red()),
                     std::abs(p.green() - q.green()),
                     std::abs(p.blue() - q.blue())}) > 96;
  };
  for (int y = 1; y + 1 < a.height(); ++y) {
    for (int x = 1; x + 1 < a.width(); ++x) {
      bool patch = true;
      for (int dy = -1; dy <= 1 && patch; ++dy) {
        for (int dx = -1; dx <= 1 && patch; ++dx) patch = off(x + dx, y + dy);
      }
      d.blotted += patch;
    }
  }
  return d;
}

// Frames of the row on `canvas`: frames at its radius, or, when animated,
// that many ticks leading up to it.
template <class CanvasType>
QImage Draw(CanvasType& canvas, const Row& row, int frames = 1,
            bool animated = false) {
  testing::FakeForm form;
  form.text1 = row.t1;
  form.text2 = row.t2;
  form.text3 = row.t3;
  WaveScene scene(row.edition, canvas, form);
  scene.InitScene();
  scene.ShowAntinodal = scene.ShowNodal = 1;
  scene.Antiphase = row.antiphase;
  scene.FrontRadius = row.front - 100 * frames;
  for (int i = 0; i < frames; ++i) {
    if (!animated) scene.FrontRadius = row.front - 100;
    scene.StepFrame();
  }
  EXPECT_EQ(scene.FrontRadius, row.front);
  canvas.Flush();
  return canvas.image().copy();
}

// Shapes outside the image are left out, and so are fronts that a crest
// repaints: only the antialiased rims of those crests may differ slightly.
TEST(FramePixelsTest, LeavingOutWhatCannotBeSeenKeepsThePicture) {
  for (const Row& row : kRows) {
    RasterCanvas hinted(kPixels, 15, 1, kBackground);
    UnhintedCanvas unhinted;
    const Difference d = Compare(Draw(hinted, row), Draw(unhinted, row));
    EXPECT_EQ(d.large, 0) << row.name;
    EXPECT_LT(d.mean, 3.0) << row.name;
  }
}

TEST(FramePixelsTest, RepeatedFramesDrawTheSamePicture) {
  // The second frame reuses the cached hyperbola layer and keeps the
  // coverage of its rings; the third lays them from it.
  for (const Row& row : kRows) {
    RasterCanvas once(kPixels, 15, 1, kBackground);
    const QImage first = Draw(once, row);
    for (const int frames : {2, 3}) {
      RasterCanvas again(kPixels, 15, 1, kBackground);
      EXPECT_EQ(first, Draw(again, row, frames)) << row.name;
    }
  }
}

// While the animation runs, rings of radii drawn a few frames before come
// from what the canvas kept: the frame must look as if drawn afresh.
TEST(FramePixelsTest, AnimatedFrameMatchesTheSameFrameDrawnAlone) {
  for (const Row& row : kRows) {
    RasterCanvas alone(kPixels, 15, 1, kBackground);
    RasterCanvas animated(kPixels, 15, 1, kBackground);
    EXPECT_EQ(Draw(animated, row, 21, true), Draw(alone, row)) << row.name;
  }
}

// A window large enough to be drawn in bands on several cores shows, where
// it overlaps the window's own size, what that size shows, frame after
// frame of the animation.
TEST(FramePixelsTest, LargeWindowShowsWhatTheSmallOneShows) {
  for (const Row& row : kRows) {
    RasterCanvas small(kPixels, 15, 1, kBackground);
    RasterCanvas large(QSize(1300, 900), 15, 1, kBackground);
    const QImage whole = Draw(large, row, 12, true);
    const Difference d = Compare(Draw(small, row, 12, true),
                                 whole.copy(QRect(QPoint(0, 0), kPixels)));
    EXPECT_EQ(d.large, 0) << row.name;
    EXPECT_LT(d.mean, 0.05) << row.name;
  }
}

// Against every call drawn by QPainter as it stands: antialiasing differs
// a little at the edges, nothing more.
TEST(FramePixelsTest, MatchesTheStraightforwardDrawing) {
  for (const Row& row : kRows) {
    if (!row.plainToo) continue;
    RasterCanvas fast(kPixels, 15, 1, kBackground);
    testing::PlainCanvas plain(kPixels, 15, kBackground);
    const Difference d = Compare(Draw(fast, row), Draw(plain, row));
    EXPECT_LT(d.large, kPixels.width() * kPixels.height() / 100) << row.name;
    EXPECT_EQ(d.blotted, 0) << row.name;
    EXPECT_LT(d.mean, 5.0) << row.name;
  }
}

// The comparison above must see a small shape gone: a ring of radius 2
// pixels that only the reference draws.
TEST(FramePixelsTest, TheComparisonSeesASmallRingMissing) {
  const Row& row = kRows.front();
  RasterCanvas fast(kPixels, 15, 1, kBackground);
  testing::PlainCanvas plain(kPixels, 15, kBackground);
  const QImage drawn = Draw(fast, row);
  Draw(plain, row);
  plain.SetDrawWidth(4);
  plain.SetFillStyle(kFillHollow);
  plain.Circle(6000, 6500, 30, RGB(0, 0, 0));
  plain.Flush();
  EXPECT_GT(Compare(drawn, plain.image()).blotted, 0);
}

}  // namespace
}  // namespace wave

namespace wave {
namespace {

// Thousands of overlapping dots are painted front to back; each pixel must
// still show the last dot over it, up to the rims.
TEST(FramePixelsTest, PiledDotsShowTheLastDotOnTop) {
  RasterCanvas fast(kPixels, 15, 1, kBackground);
  testing::PlainCanvas plain(kPixels, 15, kBackground);
  for (Canvas* canvas : std::initializer_list<Canvas*>{&fast, &plain}) {
    canvas->Cls();
    canvas->SetDrawWidth(4);
    canvas->SetFillStyle(kFillSolid);
    unsigned seed = 7;
    for (int i = 0; i < 3000; ++i) {
      seed = seed * 1103515245u + 12345u;
      const float x = static_cast<float>((seed >> 8) % 10500);
      seed = seed * 1103515245u + 12345u;
      const float y = static_cast<float>((seed >> 8) % 7400);
      const Color color = i % 3 == 0 ? RGB(0, 80, 0) : RGB(0, 255, 0);
      canvas->SetFillColor(color);
      canvas->Circle(x, y, 600, color);
    }
  }
  fast.Flush();
  const Difference d = Compare(fast.image(), plain.image());
  EXPECT_LT(d.large, kPixels.width() * kPixels.height() / 50);
  EXPECT_EQ(d.blotted, 0);
  EXPECT_LT(d.mean, 6.0);
}

// The hyperbolas under dots that paint rows whole are not kept there; the
// next frame that shows them must draw them there, and only there.
TEST(FramePixelsTest, LinesLeftOutUnderDotsShowWhenTheDotsGo) {
  const QSize large(1300, 900);  // in bands
  const auto frame = [](RasterCanvas& canvas, float dotsTo) {
    canvas.Cls();
    canvas.SetDrawWidth(2);
    for (int i = 0; i < 300; ++i) {
      const auto x = static_cast<float>(i * 65);
      canvas.Line(x, 0, 19500 - x, 13500, RGB(0, 0, 255));
    }
    canvas.SetDrawWidth(4);
    canvas.SetFillStyle(kFillSolid);
    canvas.SetFillColor(RGB(0, 255, 0));
    for (float y = 0; y <= dotsTo; y += 600) {
      for (float x = 0; x <= 19500; x += 600) {
        canvas.Circle(x, y, 700, RGB(0, 255, 0));
      }
    }
    canvas.SetFillStyle(kFillHollow);
    canvas.Flush();
    return canvas.image().copy();
  };
  for (const float dotsTo : {13500.0f, 6000.0f}) {
    RasterCanvas covered(large, 15, 1, kBackground);
    RasterCanvas plain(large, 15, 1, kBackground);
    const QImage green = frame(covered, dotsTo);
    EXPECT_EQ(green.pixelColor(650, 100), QColor(0, 255, 0));
    const QImage expected = frame(plain, -1);
    EXPECT_EQ(frame(covered, -1), expected) << "after the dots to " << dotsTo;
    EXPECT_EQ(frame(covered, -1), expected) << "the layer kept to " << dotsTo;
  }
}

}  // namespace
}  // namespace wave
