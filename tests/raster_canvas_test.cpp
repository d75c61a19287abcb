// SPDX-License-Identifier: GPL-3.0-or-later
#include "form/raster_canvas.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <limits>

namespace wave {
namespace {

const QColor kBackground(240, 240, 240);
constexpr Color kRed = RGB(255, 0, 0);
constexpr Color kBlue = RGB(0, 0, 255);

// 682 × 476 pixels, 15 twips a pixel.
RasterCanvas MakeCanvas(qreal dpr = 1) {
  return RasterCanvas(QSize(682, 476), 15, dpr, kBackground);
}

QColor At(RasterCanvas& canvas, int x, int y) {
  canvas.Flush();
  return canvas.image().pixelColor(x, y);
}

int CountNot(RasterCanvas& canvas, QColor color) {
  canvas.Flush();
  const QImage& image = canvas.image();
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) != color) ++count;
    }
  }
  return count;
}

TEST(RasterCanvasTest, StartsBlankAndClsErasesEverything) {
  RasterCanvas canvas = MakeCanvas();
  EXPECT_EQ(canvas.image().size(), QSize(682, 476));
  EXPECT_EQ(CountNot(canvas, kBackground), 0);
  canvas.SetDrawWidth(4);
  canvas.Circle(3000, 3000, 1500, kRed);
  canvas.Line(0, 0, 10000, 7000, kBlue);
  canvas.SetFillStyle(kFillSolid);
  canvas.SetFillColor(kBlue);
  canvas.Circle(6000, 2000, 300, kBlue);
  EXPECT_GT(CountNot(canvas, kBackground), 1000);
  canvas.Cls();
  EXPECT_EQ(CountNot(canvas, kBackground), 0);
}

TEST(RasterCanvasTest, HollowCircleLeavesTheInsideFilledOneCoversIt) {
  RasterCanvas canvas = MakeCanvas();
  canvas.SetDrawWidth(4);
  canvas.SetDrawStyle(kDotted);
  canvas.Line(1500, 3000, 4500, 3000, kBlue);  // through (200, 200) px
  canvas.SetFillStyle(kFillHollow);
  canvas.Circle(3000, 3000, 900, kRed);  // radius 60 px round (200, 200)
  EXPECT_EQ(At(canvas, 200, 200), QColor(0, 0, 255));
  EXPECT_EQ(At(canvas, 200, 140), QColor(255, 0, 0));  // on the outline
  EXPECT_EQ(At(canvas, 200, 150), kBackground);        // inside, untouched
  canvas.SetFillStyle(kFillSolid);
  canvas.SetFillColor(RGB(0, 255, 0));
  canvas.Circle(3000, 3000, 900, kRed);
  EXPECT_EQ(At(canvas, 200, 200), QColor(0, 255, 0));
  EXPECT_EQ(At(canvas, 200, 150), QColor(0, 255, 0));
}

TEST(RasterCanvasTest, WidePensDrawSolidEvenWhenDotted) {
  RasterCanvas canvas = MakeCanvas();
  canvas.SetDrawStyle(kDotted);
  canvas.SetDrawWidth(2);
  canvas.Line(150, 1500, 9000, 1500, kBlue);  // y = 100 px
  int gaps = 0;
  for (int x = 20; x < 590; ++x) {
    if (At(canvas, x, 100) != QColor(0, 0, 255) &&
        At(canvas, x, 99) != QColor(0, 0, 255)) {
      ++gaps;
    }
  }
  EXPECT_EQ(gaps, 0);
  canvas.SetDrawWidth(1);
  canvas.Line(150, 4500, 9000, 4500, kBlue);  // y = 300 px, dotted
  int gapsWhenThin = 0;  // background on both rows the line straddles
  for (int x = 20; x < 590; ++x) {
    if (At(canvas, x, 299).red() > 200 && At(canvas, x, 300).red() > 200) {
      ++gapsWhenThin;
    }
  }
  EXPECT_GT(gapsWhenThin, 100);
}

// A circle of radius 100,000 px round a centre left of the image: the arc
// crosses row 238 at x = 100 px.
TEST(RasterCanvasTest, HugeCircleShowsItsVisibleArcInPlace) {
  RasterCanvas canvas = MakeCanvas();
  canvas.SetDrawWidth(4);
  const double r = 1e5 * 15;
  canvas.Circle(static_cast<float>(-1e5 * 15 + 100 * 15), 238 * 15,
                static_cast<float>(r), kRed);
  EXPECT_EQ(At(canvas, 100, 238), QColor(255, 0, 0));
  EXPECT_EQ(At(canvas, 100, 10), QColor(255, 0, 0));
  EXPECT_EQ(At(canvas, 96, 238), kBackground);
  EXPECT_EQ(At(canvas, 104, 238), kBackground);
  EXPECT_EQ(At(canvas, 300, 238), kBackground);
}

TEST(RasterCanvasTest, HugeFilledCircleCoversWhatItEncloses) {
  RasterCanvas canvas = MakeCanvas();
  canvas.SetDrawWidth(4);
  canvas.SetFillStyle(kFillSolid);
  canvas.SetFillColor(kBlue);
  canvas.Circle(341 * 15, 238 * 15, 1e7f, kRed);
  EXPECT_EQ(CountNot(canvas, QColor(0, 0, 255)), 0);
  canvas.Cls();
  canvas.SetFillStyle(kFillHollow);
  canvas.Circle(341 * 15, 238 * 15, 1e7f, kRed);  // encloses: nothing shows
  EXPECT_EQ(CountNot(canvas, kBackground), 0);
}

TEST(RasterCanvasTest, DegenerateAndNonFiniteShapes) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  RasterCanvas canvas = MakeCanvas();
  canvas.SetDrawWidth(4);
  canvas.Circle(3000, 3000, 0, kRed);  // a dot no larger than the pen
  EXPECT_EQ(At(canvas, 200, 200), QColor(255, 0, 0));
  EXPECT_EQ(At(canvas, 203, 200), kBackground);
  EXPECT_EQ(At(canvas, 200, 203), kBackground);
  canvas.Cls();
  canvas.Circle(3000, 3000, -500, kRed);
  canvas.SetFillStyle(kFillSolid);
  canvas.Circle(3000, 3000, -500, kRed);
  canvas.Circle(nan, 3000, 500, kRed);
  canvas.Circle(3000, inf, 500, kRed);
  canvas.Circle(3000, 3000, inf, kRed);
  canvas.Line(0, 0, inf, 100, kRed);
  canvas.Line(nan, 0, 100, 100, kRed);
  canvas.Circle(1e30f, 1e30f, 1e30f, kRed);
  canvas.Circle(-3e38f, 3000, 1e38f, kRed);
  EXPECT_EQ(CountNot(canvas, kBackground), 0);
  canvas.Line(-3e38f, 3000, 3e38f, 3000, kRed);  // huge but finite: visible
  EXPECT_EQ(At(canvas, 341, 200), QColor(255, 0, 0));
}

TEST(RasterCanvasTest, SmallRingsUnderAWidePenAreSolid) {
  RasterCanvas canvas = MakeCanvas();
  canvas.SetDrawWidth(4);
  canvas.Circle(3000, 3000, 20, kRed);  // 1⅓ px: the source marks
  EXPECT_EQ(At(canvas, 200, 200), QColor(255, 0, 0));
  EXPECT_EQ(At(canvas, 201, 201), QColor(255, 0, 0));
  EXPECT_EQ(At(canvas, 198, 199), QColor(255, 0, 0));
  EXPECT_EQ(At(canvas, 195, 200), kBackground);
}

TEST(RasterCanvasTest, DevicePixelRatioDrawsSharperNotBigger) {
  RasterCanvas canvas = MakeCanvas(2);
  EXPECT_EQ(canvas.image().size(), QSize(1364, 952));
  EXPECT_EQ(canvas.image().devicePixelRatio(), 2);
  canvas.SetDrawWidth(4);
  canvas.Line(0, 1500, 10230, 1500, kBlue);  // logical y 100 = device 200
  canvas.Flush();
  int covered = 0;
  for (int y = 190; y < 210; ++y) {
    if (canvas.image().pixelColor(400, y) == QColor(0, 0, 255)) ++covered;
  }
  EXPECT_EQ(covered, 8);  // 4 logical pixels of pen
}

TEST(RasterCanvasTest, ResizeKeepsThePictureAndShowsBackgroundBeyond) {
  RasterCanvas canvas = MakeCanvas();
  canvas.SetDrawWidth(4);
  canvas.Line(0, 1500, 10230, 1500, kBlue);
  canvas.Resize(QSize(1000, 800), 1);
  EXPECT_EQ(canvas.image().size(), QSize(1000, 800));
  EXPECT_EQ(At(canvas, 300, 100), QColor(0, 0, 255));
  EXPECT_EQ(At(canvas, 900, 100), kBackground);
  EXPECT_EQ(At(canvas, 300, 700), kBackground);
  canvas.Line(0, 1500, 15000, 1500, kBlue);
  EXPECT_EQ(At(canvas, 900, 100), QColor(0, 0, 255));
}

// What the canvas keeps of rings drawn before stops growing when radii never
// come again, and what it lays from it is what it would draw afresh.
TEST(RasterCanvasTest, KeptRingsStayBoundedAndTrue) {
  const auto frame = [](RasterCanvas& canvas, int n) {
    canvas.Cls();
    canvas.SetDrawWidth(4);
    canvas.SetFillStyle(kFillHollow);
    for (int k = 0; k < 40; ++k) {  // new radii every frame
      canvas.Circle(4000, 4000, 500.0f * k + 0.37f * n + 1, kRed);
    }
    for (int k = 0; k < 10; ++k) {  // the same radii every frame
      canvas.Circle(7000, 4000, 300.0f * k + 50, kBlue);
    }
  };
  RasterCanvas canvas = MakeCanvas();
  std::size_t early = 0;
  for (int n = 0; n < 400; ++n) {
    frame(canvas, n);
    if (n == 100) early = canvas.keptBytes();
  }
  EXPECT_GT(early, 0u);
  EXPECT_LE(canvas.keptBytes(), early * 3 / 2);
  RasterCanvas fresh = MakeCanvas();
  frame(fresh, 399);
  canvas.Flush();
  fresh.Flush();
  EXPECT_EQ(canvas.image(), fresh.image());
}

}  // namespace
}  // namespace wave
