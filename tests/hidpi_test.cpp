// SPDX-License-Identifier: GPL-3.0-or-later
// The window at QT_SCALE_FACTOR=2: twice the device pixels, the picture
// drawn at that resolution, the same twips.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTest>

#include "button_caption.h"
#include "form/form_fonts.h"
#include "full/form1.h"
#include "six/form1.h"

namespace wave {
namespace {

// Before main, so before the application reads it.
const bool kScaled = qputenv("QT_SCALE_FACTOR", "2");

bool Blue(QColor c) { return c.blue() > 200 && c.red() < 80 && c.green() < 80; }

template <class Window>
void Check(const char* name) {
  SCOPED_TRACE(name);
  form::InstallFontSubstitutes();
  Window w;
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  ASSERT_DOUBLE_EQ(w.devicePixelRatioF(), 2.0)
      << "QT_SCALE_FACTOR not in force";

  // Places in twips come out as at scale 1: 15 twips to the logical pixel.
  EXPECT_EQ(w.size(), QSize(682, 476));
  EXPECT_EQ(w.textBox("Text1")->geometry(), QRect(232, 8, 41, 25));
  EXPECT_EQ(w.mapping().ToTwips(w.textBox("Text1")->x()), 3480);

  for (QPushButton* b : w.template findChildren<QPushButton*>()) {
    EXPECT_EQ(CaptionOverflow(*b), 0) << b->text().toStdString();
  }

  QTest::mouseClick(w.button("Command3"), Qt::LeftButton);  // radius 1100
  const QImage& picture = w.image();
  EXPECT_EQ(picture.size(), QSize(1364, 952));
  EXPECT_DOUBLE_EQ(picture.devicePixelRatio(), 2.0);

  const QImage shot = w.grab().toImage();
  ASSERT_EQ(shot.size(), QSize(1364, 952));
  // A's crest crosses the row of A at (4000 + 1100) / 15 = 340 logical
  // pixels, 680 device pixels; its pen of 4 pixels is 8 device pixels wide.
  const int row = 4000 * 2 / 15;
  int first = -1, last = -1;
  for (int x = 650; x < 710; ++x) {
    if (Blue(shot.pixelColor(x, row))) {
      if (first < 0) first = x;
      last = x;
    }
  }
  ASSERT_GE(first, 0) << "no crest on the row of A";
  EXPECT_NEAR((first + last + 1) / 2.0, 680, 1);
  EXPECT_GE(last - first + 1, 7);
  EXPECT_LE(last - first + 1, 9);
}

TEST(HiDpiTest, Sarvel11DrawsAtTwiceTheResolution) {
  Check<full::Form1>("sarvel11");
}
TEST(HiDpiTest, Sarvel6DrawsAtTwiceTheResolution) {
  Check<six::Form1>("sarvel6");
}

}  // namespace
}  // namespace wave
