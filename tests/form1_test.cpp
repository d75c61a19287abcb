// SPDX-License-Identifier: GPL-3.0-or-later
// The windows of both editions on the offscreen platform, driven by real
// key and mouse events.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "button_caption.h"
#include "form/form_fonts.h"
#include "full/form1.h"
#include "six/form1.h"

namespace wave {
namespace {

using form::FormWindow;

enum class Kind { Button, Box, Label, Scroll };
enum class Font { Default, Normal14, Bold14, Bold20, Normal10 };

struct Expected {
  const char* name;
  Kind kind;
  const char* caption;
  int left, top, width, height;
  Font font;
};

const std::vector<Expected> kSharedRows = {
    {"Command3", Kind::Button, "駒送り", 0, 0, 735, 615, Font::Default},
    {"Command1", Kind::Button, "腹線", 960, 0, 735, 615, Font::Default},
    {"Command2", Kind::Button, "節線", 1920, 0, 735, 615, Font::Default},
    {"Command4", Kind::Button, "山と谷", 0, 720, 735, 495, Font::Default},
    {"Command5", Kind::Button, "リセット", 0, 1320, 735, 495, Font::Default},
    {"Command6", Kind::Button, "自動/手動", 0, 1920, 735, 495, Font::Default},
    {"Label1", Kind::Label, "波長", 2760, 120, 615, 375, Font::Normal14},
    {"Text1", Kind::Box, "2", 3480, 120, 615, 375, Font::Normal14},
    {"Label2", Kind::Label, "距離", 4320, 120, 615, 375, Font::Normal14},
    {"Text2", Kind::Box, "6", 5040, 120, 615, 375, Font::Normal14},
    {"Label6", Kind::Label, "速さ", 5880, 120, 615, 375, Font::Normal14},
    {"HScroll1", Kind::Scroll, "", 6480, 120, 1335, 495, Font::Default},
    {"Label3", Kind::Label, "Ａ", 3850, 4080, 375, 375, Font::Bold20},
    {"Label5", Kind::Label, "B", 6960, 4080, 375, 375, Font::Bold20},
};

struct Edition {
  const char* name;
  std::function<std::unique_ptr<FormWindow>()> make;
  std::vector<Expected> ownRows;
  std::vector<const char*> tabOrder;
};

std::vector<Edition> Editions() {
  return {
      {"sarvel11",
       [] { return std::make_unique<full::Form1>(); },
       {{"Command7", Kind::Button, "位相", 0, 2520, 735, 495, Font::Default},
        {"Label7", Kind::Label, "同位相", 120, 3120, 975, 375, Font::Bold14},
        {"Label8", Kind::Label, "点の大きさ", 7920, 240, 975, 255,
         Font::Normal10},
        {"Text3", Kind::Box, "100", 8880, 120, 615, 495, Font::Normal14}},
       {"Command1", "Command2", "Command3", "Text1", "Text2", "Command4",
        "Command5", "Command6", "HScroll1", "Command7", "Text3"}},
      {"sarvel6",
       [] { return std::make_unique<six::Form1>(); },
       {{"Label7", Kind::Label, "点の大きさ", 8040, 120, 975, 375,
         Font::Normal10},
        {"Text3", Kind::Box, "100", 9000, 120, 735, 420, Font::Normal14}},
       {"Command1", "Command2", "Command3", "Text1", "Text2", "Command4",
        "Command5", "Command6", "HScroll1", "Text3"}},
  };
}

std::unique_ptr<FormWindow> Open(const Edition& edition) {
  auto window = edition.make();
  window->show();
  window->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QCoreApplication::processEvents();
  return window;
}

int Twips(int pixels) { return pixels * 15; }  // offscreen: 96 DPI

bool IsBlank(const QImage& image) {
  const QColor background = image.pixelColor(0, 0);
  for (int y = 0; y < image.height(); y += 3) {
    for (int x = 0; x < image.width(); x += 3) {
      if (image.pixelColor(x, y) != background) return false;
    }
  }
  return true;
}

class Form1Test : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { form::InstallFontSubstitutes(); }
};

TEST_F(Form1Test, ControlsMatchTheLayoutTable) {
  for (const Edition& edition : Editions()) {
    auto w = Open(edition);
    EXPECT_EQ(w->windowTitle(), "Form1");
    EXPECT_EQ(w->size(), QSize(682, 476)) << edition.name;
    std::vector<Expected> rows = kSharedRows;
    rows.insert(rows.end(), edition.ownRows.begin(), edition.ownRows.end());
    EXPECT_EQ(w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(),
              rows.size())
        << edition.name;
    for (const Expected& row : rows) {
      SCOPED_TRACE(std::string(edition.name) + " " + row.name);
      QWidget* c = w->control(row.name);
      ASSERT_NE(c, nullptr);
      // Nearest whole pixel of the place in twips.
      EXPECT_NEAR(Twips(c->x()), row.left, 7.5);
      EXPECT_NEAR(Twips(c->y()), row.top, 7.5);
      EXPECT_NEAR(Twips(c->width()), row.width, 7.5);
      EXPECT_NEAR(Twips(c->height()), row.height, 7.5);
      EXPECT_TRUE(c->isVisible());
      EXPECT_TRUE(c->isEnabled());
      const QString caption = QString::fromUtf8(row.caption);
      switch (row.kind) {
        case Kind::Button:
          ASSERT_NE(w->button(row.name), nullptr);
          EXPECT_EQ(w->button(row.name)->text(), caption);
          EXPECT_FALSE(w->button(row.name)->isDefault());
          EXPECT_FALSE(w->button(row.name)->autoDefault());
          break;
        case Kind::Box:
          ASSERT_NE(w->textBox(row.name), nullptr);
          EXPECT_EQ(w->textBox(row.name)->text(), caption);
          EXPECT_GT(w->textBox(row.name)->maxLength(), 1 << 30);
          break;
        case Kind::Label:
          ASSERT_NE(w->label(row.name), nullptr);
          EXPECT_EQ(w->label(row.name)->text(), caption);
          EXPECT_TRUE(w->label(row.name)->autoFillBackground());
          EXPECT_EQ(c->focusPolicy(), Qt::NoFocus);
          break;
        case Kind::Scroll:
          ASSERT_NE(w->scrollBar(), nullptr);
          EXPECT_EQ(w->scrollBar()->orientation(), Qt::Horizontal);
          break;
      }
      const QFont font = c->font();
      if (row.font == Font::Default) {
        // The window's face; buttons may take it smaller to fit a caption.
        EXPECT_EQ(font.families(), QApplication::font().families());
        EXPECT_LE(font.pointSizeF(), QApplication::font().pointSizeF());
      } else {
        EXPECT_EQ(font.family(), QString::fromUtf8(form::kFormFace));
        EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut());
        const double size = row.font == Font::Bold20     ? 20.25
                            : row.font == Font::Normal10 ? 9.75
                                                         : 14.25;
        EXPECT_DOUBLE_EQ(font.pointSizeF(), size);
        const bool bold = row.font == Font::Bold14 || row.font == Font::Bold20;
        EXPECT_EQ(font.weight(), bold ? QFont::Bold : QFont::Normal);
        // The face resolves to an installed Japanese one.
        const QString resolved = QFontInfo(font).family();
        EXPECT_TRUE(resolved.contains("IPA") || resolved.contains("Noto"))
            << resolved.toStdString();
      }
    }
  }
}

TEST_F(Form1Test, SixButtonEditionHasNoPhaseControls) {
  six::Form1 w;
  EXPECT_EQ(w.control("Command7"), nullptr);
  EXPECT_EQ(w.control("Label8"), nullptr);
  EXPECT_EQ(w.findChildren<QPushButton*>().size(), 6);
  for (QLabel* l : w.findChildren<QLabel*>()) {
    EXPECT_NE(l->text(), "同位相");
  }
  // Below Command6 the left edge is free canvas.
  EXPECT_EQ(w.childAt(20, 170), nullptr);
  EXPECT_EQ(w.childAt(20, 215), nullptr);
}

TEST_F(Form1Test, TabWalksTheFocusOrderAndStartsOnCommand1) {
  for (const Edition& edition : Editions()) {
    auto w = Open(edition);
    ASSERT_NE(QApplication::focusWidget(), nullptr) << edition.name;
    std::vector<std::string> visited;
    for (std::size_t i = 0; i <= edition.tabOrder.size(); ++i) {
      visited.push_back(
          QApplication::focusWidget()->objectName().toStdString());
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    std::vector<std::string> expected(edition.tabOrder.begin(),
                                      edition.tabOrder.end());
    expected.push_back("Command1");
    EXPECT_EQ(visited, expected) << edition.name;
  }
}

// What a screen reader hears, read back through QAccessible.
TEST_F(Form1Test, EveryControlHasAJapaneseAccessibleName) {
  struct Spoken {
    const char *control, *name, *description;
  };
  const std::vector<Spoken> shared = {
      {"Command1", "腹線", "腹線の表示を切り替える"},
      {"Command2", "節線", "節線の表示を切り替える"},
      {"Command3", "駒送り", "波を一コマ進める"},
      {"Command4", "山と谷", "山と山、谷と谷が重なる点の表示を切り替える"},
      {"Command5", "リセット", "波を最初の状態に戻す"},
      {"Command6", "自動/手動", "波の動きを止める、または動かす"},
      {"Text1", "波長", "波長を入力する"},
      {"Text2", "距離", "波源Ａと波源Bの距離を入力する"},
      {"Text3", "点の大きさ", "山と山、谷と谷が重なる点の大きさを入力する"},
      {"HScroll1", "速さ", "波の動く速さを変える。右ほど速い"},
      {"Label3", "波源Ａ", ""},
      {"Label1", "波長", ""},
  };
  for (const Edition& edition : Editions()) {
    auto w = Open(edition);
    std::vector<Spoken> spoken = shared;
    if (std::string(edition.name) == "sarvel11") {
      spoken.push_back(
          {"Command7", "位相", "波源Bの位相を同位相と逆位相で切り替える"});
    }
    for (const Spoken& s : spoken) {
      QAccessibleInterface* a =
          QAccessible::queryAccessibleInterface(w->control(s.control));
      ASSERT_NE(a, nullptr) << s.control;
      EXPECT_EQ(a->text(QAccessible::Name), QString::fromUtf8(s.name))
          << edition.name << " " << s.control;
      EXPECT_EQ(a->text(QAccessible::Description),
                QString::fromUtf8(s.description))
          << edition.name << " " << s.control;
    }
    for (QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c);
      EXPECT_FALSE(a->text(QAccessible::Name).isEmpty())
          << c->objectName().toStdString();
      if (qobject_cast<QPushButton*>(c) != nullptr) {
        EXPECT_FALSE(a->text(QAccessible::Description).isEmpty())
            << c->objectName().toStdString();
      }
    }
  }
  // A label whose text changes is heard as it reads now.
  auto w = Open(Editions()[0]);
  QTest::mouseClick(w->button("Command7"), Qt::LeftButton);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(w->label("Label7"))
                ->text(QAccessible::Name),
            "逆位相");
}

TEST_F(Form1Test, SpaceRightAfterStartTogglesTheAntinodalLines) {
  for (const Edition& edition : Editions()) {
    auto w = Open(edition);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(w->scene().ShowAntinodal, 1) << edition.name;
    EXPECT_EQ(w->scene().FrontRadius, 1000) << edition.name;
    EXPECT_FALSE(IsBlank(w->canvas().image()));
  }
}

TEST_F(Form1Test, LoadDrawsNothingAndStartsTheClockFromTheBar) {
  for (const Edition& edition : Editions()) {
    auto w = Open(edition);
    EXPECT_TRUE(IsBlank(w->canvas().image())) << edition.name;
    EXPECT_EQ(w->clock().Interval(), 800);
    EXPECT_EQ(w->scene().FrontRadius, 1000);
    EXPECT_EQ(w->scene().ShowCrossings, 1);
    EXPECT_EQ(Twips(w->label("Label5")->x()), 6960);
    w->clock().Fire();  // the first tick
    EXPECT_EQ(w->scene().FrontRadius, 1100);
    EXPECT_FALSE(IsBlank(w->canvas().image()));
    EXPECT_EQ(Twips(w->label("Label5")->x()), 6900);
    EXPECT_EQ(Twips(w->label("Label5")->y()), 4080);
    EXPECT_NEAR(Twips(w->label("Label3")->x()), 3850, 7.5);
  }
}

TEST_F(Form1Test, ButtonsRunTheirOperations) {
  struct Row {
    const char* button;
    std::int64_t front;  // after a click on a window one tick in
    std::int16_t antinodal, nodal, crossings;
  };
  const Row rows[] = {
      {"Command1", 1100, 1, 0, 1}, {"Command2", 1100, 0, 1, 1},
      {"Command3", 1200, 0, 0, 1}, {"Command4", 1100, 0, 0, 0},
      {"Command5", 1100, 0, 0, 1},
  };
  for (const Edition& edition : Editions()) {
    for (const Row& row : rows) {
      auto w = Open(edition);
      w->clock().Fire();
      w->clock().Fire();
      w->scene().FrontRadius = 1100;
      QTest::mouseClick(w->button(row.button), Qt::LeftButton);
      EXPECT_EQ(w->scene().FrontRadius, row.front) << row.button;
      EXPECT_EQ(w->scene().ShowAntinodal, row.antinodal) << row.button;
      EXPECT_EQ(w->scene().ShowNodal, row.nodal) << row.button;
      EXPECT_EQ(w->scene().ShowCrossings, row.crossings) << row.button;
      EXPECT_EQ(w->clock().Interval(), 800) << row.button;
    }
  }
}

TEST_F(Form1Test, Command6StopsAndRestartsWithoutDrawing) {
  for (const Edition& edition : Editions()) {
    auto w = Open(edition);
    w->clock().Fire();
    const QImage before = w->canvas().image().copy();
    QTest::mouseClick(w->button("Command6"), Qt::LeftButton);
    EXPECT_EQ(w->clock().Interval(), 0);
    EXPECT_EQ(w->clock().RemainingMs(), -1);
    w->clock().Fire();  // a late tick draws nothing
    EXPECT_EQ(w->scene().FrontRadius, 1100);
    // The bar moved while stopped changes nothing until the restart.
    w->scrollBar()->setIntervalMs(300);
    EXPECT_EQ(w->clock().Interval(), 0);
    QTest::mouseClick(w->button("Command6"), Qt::LeftButton);
    EXPECT_EQ(w->clock().Interval(), 300);
    EXPECT_GT(w->clock().RemainingMs(), 250);  // one full interval from now
    EXPECT_EQ(w->scene().FrontRadius, 1100);
    EXPECT_EQ(w->canvas().image(), before);
  }
}

TEST_F(Form1Test, TickTakesTheBarValueForTheFollowingWait) {
  auto w = Open(Editions()[0]);
  w->scrollBar()->setIntervalMs(500);
  EXPECT_EQ(w->clock().Interval(), 800);  // no effect of its own
  w->clock().Fire();
  EXPECT_EQ(w->clock().Interval(), 500);
  EXPECT_EQ(w->scene().FrontRadius, 1100);
  // A step by hand leaves the clock's rhythm alone.
  const int remaining = w->clock().RemainingMs();
  QTest::mouseClick(w->button("Command3"), Qt::LeftButton);
  EXPECT_EQ(w->scene().FrontRadius, 1200);
  EXPECT_LE(w->clock().RemainingMs(), remaining);
  EXPECT_EQ(w->clock().Interval(), 500);
}

TEST_F(Form1Test, SwitchWhileRunningRedrawsAndTheNextTickAdvances) {
  auto w = Open(Editions()[0]);
  w->clock().Fire();
  w->clock().Fire();
  QTest::mouseClick(w->button("Command2"), Qt::LeftButton);
  EXPECT_EQ(w->scene().FrontRadius, 1200);
  w->clock().Fire();
  EXPECT_EQ(w->scene().FrontRadius, 1300);
}

TEST_F(Form1Test, SpeedBarRunsFasterToTheRight) {
  auto w = Open(Editions()[0]);
  form::SpeedBar* bar = w->scrollBar();
  EXPECT_EQ(bar->intervalMs(), 800);
  bar->setFocus();
  QTest::keyClick(bar, Qt::Key_Right);
  EXPECT_EQ(bar->intervalMs(), 790);
  QTest::keyClick(bar, Qt::Key_Left);
  QTest::keyClick(bar, Qt::Key_Left);
  EXPECT_EQ(bar->intervalMs(), 810);
  // Clicks right of the thumb page towards the fast end, left of it back.
  const int y = bar->height() / 2;
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 25, y));
  EXPECT_EQ(bar->intervalMs(), 710);
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 5, y));
  EXPECT_EQ(bar->intervalMs(), 700);  // the right arrow: one small step
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(5, y));
  EXPECT_EQ(bar->intervalMs(), 710);
  QTest::keyClick(bar, Qt::Key_End);
  EXPECT_EQ(bar->intervalMs(), 100);
  QTest::keyClick(bar, Qt::Key_Home);
  EXPECT_EQ(bar->intervalMs(), 1000);
  w->clock().Fire();
  EXPECT_EQ(w->clock().Interval(), 1000);
}

TEST_F(Form1Test, PhaseButtonSwitchesTheCaptionAndResetKeepsIt) {
  auto w = Open(Editions()[0]);
  QLabel* caption = w->label("Label7");
  w->clock().Fire();
  QTest::mouseClick(w->button("Command7"), Qt::LeftButton);
  EXPECT_EQ(caption->text(), "逆位相");
  EXPECT_EQ(w->scene().Antiphase, 1);
  EXPECT_EQ(w->scene().FrontRadius, 1100);
  QTest::mouseClick(w->button("Command5"), Qt::LeftButton);
  EXPECT_EQ(caption->text(), "逆位相");
  EXPECT_EQ(w->scene().Antiphase, 1);
  QTest::mouseClick(w->button("Command7"), Qt::LeftButton);
  EXPECT_EQ(caption->text(), "同位相");
  EXPECT_EQ(w->scene().Antiphase, 0);
}

TEST_F(Form1Test, WindowedControlsCoverLabelsAndLabelsCoverThePicture) {
  for (const Edition& edition : Editions()) {
    auto w = Open(edition);
    const char* dotLabel = edition.ownRows.size() == 4 ? "Label8" : "Label7";
    // Rightmost pixel of the overlapped labels belongs to the control.
    QLabel* speed = w->label("Label6");
    EXPECT_EQ(w->childAt(speed->geometry().right(), speed->y() + 5),
              w->scrollBar());
    QLabel* dots = w->label(dotLabel);
    EXPECT_EQ(w->childAt(dots->geometry().right(), dots->y() + 5),
              w->textBox("Text3"));
    // The label just below source A hides the rings behind it.
    w->clock().Fire();
    const QImage shown = w->grab().toImage();
    const QImage picture = w->canvas().image();
    QLabel* a = w->label("Label3");
    const QPoint inside = a->geometry().center() + QPoint(0, 8);
    EXPECT_EQ(shown.pixelColor(inside), w->palette().color(QPalette::Window));
    // Elsewhere the window shows the retained picture.
    const QPoint ring(267 + 73, 267);  // A's outer crest, radius 73⅓ px
    EXPECT_EQ(shown.pixelColor(ring), picture.pixelColor(ring));
    EXPECT_EQ(picture.pixelColor(ring), QColor(0, 0, 255));
  }
}

TEST_F(Form1Test, LargerWindowShowsMoreOfThePicture) {
  auto w = Open(Editions()[1]);
  w->resize(1000, 800);
  QCoreApplication::processEvents();
  EXPECT_EQ(w->canvas().image().size(), QSize(1000, 800));
  EXPECT_EQ(Twips(w->button("Command1")->x()), 960);
  w->resize(300, 200);
  QCoreApplication::processEvents();
  EXPECT_EQ(w->canvas().image().size(), QSize(1000, 800));
  EXPECT_EQ(Twips(w->textBox("Text3")->x()), 9000);
}

TEST_F(Form1Test, NoTypedTextBreaksAFrame) {
  const std::vector<std::string> texts = {"",
                                          "-",
                                          "1e400",
                                          "-1e400",
                                          "0",
                                          "1e-400",
                                          std::string(40000, '9'),
                                          "波長",
                                          "\xF0\x9F\x8C\x8A",
                                          "1e38",
                                          "   ",
                                          "--5",
                                          "0x1p3",
                                          "nan"};
  for (const Edition& edition : Editions()) {
    auto w = Open(edition);
    for (const std::string& text : texts) {
      for (const char* box : {"Text1", "Text2", "Text3"}) {
        w->textBox(box)->setText(QString::fromStdString(text));
        EXPECT_EQ(w->textBox(box)->text().size(),
                  QString::fromStdString(text).size());
        QTest::mouseClick(w->button("Command3"), Qt::LeftButton);
        w->clock().Fire();
        QTest::mouseClick(w->button("Command5"), Qt::LeftButton);
        ASSERT_FALSE(w->failed()) << text;
        w->textBox(box)->setText(box[4] == '1'   ? "2"
                                 : box[4] == '2' ? "6"
                                                 : "100");
      }
    }
    EXPECT_TRUE(w->isVisible());
  }
}

TEST_F(Form1Test, EveryButtonCaptionFitsAndAllShareOneFont) {
  for (const Edition& edition : Editions()) {
    auto w = Open(edition);
    const QFont shared = w->button("Command1")->font();
    for (QPushButton* b : w->findChildren<QPushButton*>()) {
      EXPECT_EQ(CaptionOverflow(*b), 0)
          << edition.name << " " << b->text().toStdString();
      EXPECT_EQ(b->font(), shared) << b->text().toStdString();
    }
  }
}

// Typed as a Japanese input method in kana mode types: full-width.
void TypeText(QWidget* target, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, c);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, c);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
  }
}

TEST_F(Form1Test, FullWidthNumbersTakeEffectAsTyped) {
  auto w = Open(Editions()[0]);
  for (const char* box : {"Text1", "Text2", "Text3"}) {
    const auto hints = w->textBox(box)->inputMethodHints();
    EXPECT_TRUE(hints.testFlag(Qt::ImhPreferLatin)) << box;
    EXPECT_TRUE(hints.testFlag(Qt::ImhPreferNumbers)) << box;
    w->textBox(box)->clear();
  }
  TypeText(w->textBox("Text1"), "１．５");
  TypeText(w->textBox("Text2"), "\u3000４");
  TypeText(w->textBox("Text3"), "２００");
  QTest::mouseClick(w->button("Command3"), Qt::LeftButton);
  EXPECT_EQ(w->textBox("Text1")->text(), "１．５");
  EXPECT_EQ(w->scene().Wavelength, 1.5f);
  EXPECT_EQ(w->scene().Separation, 4.0);
  // Label B follows source B: 3900 + 500 × 4 twips.
  EXPECT_EQ(w->label("Label5")->x(), form::TwipsToPixels(5900, 96));
}

TEST_F(Form1Test, ALeftBoxShowsTheStartOfItsNumber) {
  auto w = Open(Editions()[1]);
  QLineEdit* box = w->textBox("Text1");
  box->setFocus();
  box->selectAll();
  QTest::keyClicks(box, "0.000123456");
  ASSERT_EQ(box->cursorPosition(), 11);
  const int caretWhileTyping =
      box->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
  QTest::keyClick(box, Qt::Key_Tab);
  ASSERT_FALSE(box->hasFocus());
  EXPECT_EQ(box->text(), "0.000123456");
  EXPECT_EQ(box->cursorPosition(), 0);
  // The view scrolled back: the caret stands at the box's left edge.
  EXPECT_LT(box->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(),
            caretWhileTyping);
  EXPECT_LT(box->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(), 6);
}

TEST_F(Form1Test, AFailingHandlerReportsOnceAndEnds) {
  auto w = Open(Editions()[0]);
  QString shown;
  QTimer::singleShot(0, [&shown] {
    if (auto* box =
            qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  w->Handle([] { throw std::runtime_error("画像を確保できません"); });
  EXPECT_TRUE(w->failed());
  EXPECT_TRUE(shown.contains("画像を確保できません")) << shown.toStdString();
  EXPECT_TRUE(shown.contains("エラー"));
  EXPECT_EQ(w->clock().Interval(), 0);
  const std::int64_t front = w->scene().FrontRadius;
  QTest::mouseClick(w->button("Command3"), Qt::LeftButton);
  EXPECT_EQ(w->scene().FrontRadius, front);  // nothing runs after a failure
}

}  // namespace
}  // namespace wave

namespace wave {
namespace {

// λ 1.2, d 2, front 2000: A's crest of 1400 crosses B's of 2000 at
// (3480, 4000 − 1299.8) and B's 1400 crosses A's 2000 at (5520, 2700.2).
TEST_F(Form1Test, CrossingCrestsLieInTheEditionsOrder) {
  struct Row {
    const char* name;
    std::size_t edition;
    QColor smallerBlueOverLargerRed, smallerRedOverLargerBlue;
  };
  const QColor blue(0, 0, 255), red(255, 0, 0);
  const Row rows[] = {{"sarvel11", 0, red, red}, {"sarvel6", 1, blue, red}};
  for (const Row& row : rows) {
    auto w = Open(Editions()[row.edition]);
    w->textBox("Text1")->setText("1.2");
    w->textBox("Text2")->setText("2");
    w->scene().ShowCrossings = 0;  // markers would cover the crossings
    w->scene().FrontRadius = 1900;
    QTest::mouseClick(w->button("Command3"), Qt::LeftButton);
    ASSERT_EQ(w->scene().FrontRadius, 2000);
    const QImage& picture = w->canvas().image();
    const double y = (4000 - std::sqrt(1400.0 * 1400 - 520.0 * 520)) / 15;
    const auto at = [&](double xTwips) {
      return picture.pixelColor(static_cast<int>(xTwips / 15),
                                static_cast<int>(y));
    };
    EXPECT_EQ(at(3480), row.smallerBlueOverLargerRed) << row.name;
    EXPECT_EQ(at(5520), row.smallerRedOverLargerBlue) << row.name;
  }
}

}  // namespace
}  // namespace wave
