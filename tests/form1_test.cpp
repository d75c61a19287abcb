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
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "button_caption.h"
#include "form/form_fonts.h"
#include "form/picture_view.h"
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
        "Command5", "Command6", "HScroll1", "Command7", "Text3", "menuButton"}},
      {"sarvel6",
       [] { return std::make_unique<six::Form1>(); },
       {{"Label7", Kind::Label, "点の大きさ", 8040, 120, 975, 375,
         Font::Normal10},
        {"Text3", Kind::Box, "100", 9000, 120, 735, 420, Font::Normal14}},
       {"Command1", "Command2", "Command3", "Text1", "Text2", "Command4",
        "Command5", "Command6", "HScroll1", "Text3", "menuButton"}},
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
    // Besides the controls: the picture's accessible stand-in, the focus
    // ring, the readout of P and its graph, hidden until P is placed, and
    // the extras' menu with its button.
    EXPECT_EQ(w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(),
              rows.size() + 6)
        << edition.name;
    const auto* readout = w->findChild<QLabel*>("ProbeReadout");
    ASSERT_NE(readout, nullptr);
    EXPECT_FALSE(readout->isVisible()) << edition.name;
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
        EXPECT_EQ(
            font.family(),
            QString::fromUtf8(form::kFormFace.data(),
                              static_cast<qsizetype>(form::kFormFace.size())));
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

// The extras' menu's wiring: Shift+F10 opens it at the focused control,
// an item chosen reaches the model, and the button tells what is shown.
TEST_F(Form1Test, ShiftF10OpensTheMenuAndAChoiceReachesTheModel) {
  for (const Edition& edition : Editions()) {
    auto w = Open(edition);
    auto* button = w->findChild<QToolButton*>("menuButton");
    ASSERT_NE(button, nullptr) << edition.name;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10,
                    Qt::ShiftModifier);
    ASSERT_TRUE(button->menu()->isVisible()) << edition.name;
    button->menu()->findChild<QAction*>("waterAmplitude")->trigger();
    button->menu()->hide();
    EXPECT_EQ(w->scene().Water, WaterView::kAmplitude) << edition.name;
    EXPECT_TRUE(button->accessibleDescription().endsWith("いまは振幅"));
    EXPECT_TRUE(
        button->menu()->findChild<QAction*>("waterAmplitude")->isChecked());
  }
}

// The switches beside the water's views: each on its own, and the graph
// shown beside P's readout once both are there.
TEST_F(Form1Test, TheMenusSwitchesAreCheckedApartAndShowTheGraph) {
  auto w = Open(Editions()[0]);
  QMenu* menu = w->findChild<QToolButton*>("menuButton")->menu();
  menu->findChild<QAction*>("probeGraph")->trigger();
  menu->findChild<QAction*>("lineOrders")->trigger();
  for (const char* name : {"probeGraph", "lineOrders", "waterNone"}) {
    EXPECT_TRUE(menu->findChild<QAction*>(name)->isChecked()) << name;
  }
  auto* graph = w->findChild<QWidget*>("ProbeGraph");
  ASSERT_NE(graph, nullptr);
  EXPECT_FALSE(graph->isVisible()) << "no P yet";
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_P);
  EXPECT_TRUE(graph->isVisible());
  const QWidget* readout = w->findChild<QWidget*>("ProbeReadout");
  EXPECT_EQ(graph->x(), readout->x());
  EXPECT_GT(graph->y(), readout->y()) << "under the readout, under P";
}

// Switched to English through the menu and back: the captions, the names,
// the picture's description and the accessible locale follow; the buttons'
// captions fit at no smaller a size than the Japanese ones; every label's
// caption is shown whole.
TEST_F(Form1Test, TheMenuSwitchesTheWindowToEnglishAndBack) {
  for (const Edition& edition : Editions()) {
    auto w = Open(edition);
    QMenu* menu = w->findChild<QToolButton*>("menuButton")->menu();
    const double japanesePoints = w->button("Command1")->font().pointSizeF();
    menu->findChild<QAction*>("language-en")->trigger();
    EXPECT_TRUE(menu->findChild<QAction*>("language-en")->isChecked());
    EXPECT_FALSE(menu->findChild<QAction*>("language-ja")->isChecked());
    EXPECT_EQ(w->button("Command1")->text(), "Antinodal") << edition.name;
    EXPECT_EQ(w->textBox("Text1")->accessibleName(), "Wavelength");
    EXPECT_EQ(w->findChild<QToolButton*>("menuButton")->text(), "Menu");
    EXPECT_EQ(w->locale().language(), QLocale::English);
    EXPECT_GE(w->button("Command1")->font().pointSizeF(), japanesePoints)
        << edition.name;
    for (const char* name : {"Label1", "Label2", "Label6", "Label7"}) {
      const QLabel* label = w->label(name);
      EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                label->width())
          << edition.name << " " << name << " " << label->text().toStdString();
    }
    w->button("Command3")->click();
    QAccessibleInterface* picture = QAccessible::queryAccessibleInterface(
        w->findChild<form::PictureView*>());
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(picture->text(QAccessible::Description)
                    .startsWith("Wavelength 2, distance between the sources 6"))
        << picture->text(QAccessible::Description).toStdString();
    EXPECT_EQ(picture->text(QAccessible::Name), "Wave picture");
    menu->findChild<QAction*>("language-ja")->trigger();
    EXPECT_EQ(w->button("Command1")->text(), "腹線");
    EXPECT_EQ(w->button("Command1")->font().pointSizeF(), japanesePoints);
    EXPECT_TRUE(picture->text(QAccessible::Description).startsWith("波長 2、"));
  }
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
bool IsJapanese(const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() >= 0x3040 && c.unicode() <= 0x9FFF) return true;
  }
  return false;
}

QAccessibleInterface* Accessible(QObject* o) {
  return QAccessible::queryAccessibleInterface(o);
}

TEST_F(Form1Test, EveryControlHasAJapaneseNameAndDescription) {
  for (const Edition& edition : Editions()) {
    auto w = Open(edition);
    EXPECT_TRUE(IsJapanese(Accessible(w.get())->text(QAccessible::Name)));
    for (QWidget* c : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (!c->isVisible()) continue;  // the focus ring, hidden
      const std::string name = c->objectName().toStdString();
      QAccessibleInterface* a = Accessible(c);
      EXPECT_TRUE(IsJapanese(a->text(QAccessible::Name)))
          << edition.name << " " << name;
      if (qobject_cast<QLabel*>(c) == nullptr) {
        EXPECT_TRUE(IsJapanese(a->text(QAccessible::Description)))
            << edition.name << " " << name;
      }
    }
  }
  // A label whose text changes is heard as it reads now.
  auto w = Open(Editions()[0]);
  QTest::mouseClick(w->button("Command7"), Qt::LeftButton);
  EXPECT_EQ(Accessible(w->label("Label7"))->text(QAccessible::Name), "逆位相");
}

TEST_F(Form1Test, ScreenReaderHearsStatesPairsAndThePicture) {
  auto w = Open(Editions()[0]);
  const auto description = [&](const char* name) {
    return Accessible(w->control(name))->text(QAccessible::Description);
  };
  EXPECT_TRUE(description("Command1").endsWith("いまは非表示"));
  EXPECT_TRUE(description("Command6").endsWith("いまは動いている"));
  EXPECT_TRUE(description("Command7").endsWith("いまは同位相"));
  QTest::mouseClick(w->button("Command1"), Qt::LeftButton);
  QTest::mouseClick(w->button("Command6"), Qt::LeftButton);
  QTest::mouseClick(w->button("Command7"), Qt::LeftButton);
  EXPECT_TRUE(description("Command1").endsWith("いまは表示中"));
  EXPECT_TRUE(description("Command6").endsWith("いまは止まっている"));
  EXPECT_TRUE(description("Command7").endsWith("いまは逆位相"));

  // Each box and the bar is labelled by its label.
  for (const auto& [box, label] : {std::pair{"Text1", "Label1"},
                                   {"Text2", "Label2"},
                                   {"HScroll1", "Label6"},
                                   {"Text3", "Label8"}}) {
    const auto pairs =
        Accessible(w->control(box))->relations(QAccessible::Label);
    ASSERT_EQ(pairs.size(), 1) << box;
    EXPECT_EQ(pairs.front().first->object(), w->control(label)) << box;
  }
  // The bar's value is the wait between steps, not its position.
  QAccessibleInterface* bar = Accessible(w->scrollBar());
  ASSERT_NE(bar->valueInterface(), nullptr);
  EXPECT_EQ(bar->valueInterface()->currentValue().toInt(), 800);
  bar->valueInterface()->setCurrentValue(300);
  EXPECT_EQ(w->scrollBar()->intervalMs(), 300);
  EXPECT_TRUE(
      bar->text(QAccessible::Description).endsWith("300 ミリ秒ごとに 1 コマ"));

  // The picture: a graphic under the controls that says what it shows.
  QAccessibleInterface* picture = nullptr;
  for (int i = 0; i < Accessible(w.get())->childCount(); ++i) {
    QAccessibleInterface* child = Accessible(w.get())->child(i);
    if (child->role() == QAccessible::Graphic) picture = child;
  }
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->text(QAccessible::Name), "波の図");
  EXPECT_EQ(
      picture->text(QAccessible::Description),
      "波長 2、波源の距離 6（波長の 3 倍）、逆位相。腹線 6 本（経路差 ±0.5、"
      "±1.5、±2.5 波長）を表示中。節線は非表示。山と山の重なり 0 "
      "点、谷と谷の重なり 0 点。");
  EXPECT_EQ(w->childAt(300, 400), nullptr);  // clicks reach the window
}

TEST_F(Form1Test, SpaceRightAfterStartTogglesTheAntinodalLines) {
  for (const Edition& edition : Editions()) {
    auto w = Open(edition);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(w->scene().ShowAntinodal, 1) << edition.name;
    EXPECT_EQ(w->scene().FrontRadius, 1000) << edition.name;
    EXPECT_FALSE(IsBlank(w->image()));
  }
}

TEST_F(Form1Test, LoadDrawsNothingAndStartsTheClockFromTheBar) {
  for (const Edition& edition : Editions()) {
    auto w = Open(edition);
    EXPECT_TRUE(IsBlank(w->image())) << edition.name;
    EXPECT_EQ(w->clock().Interval(), 800);
    EXPECT_EQ(w->scene().FrontRadius, 1000);
    EXPECT_EQ(w->scene().ShowCrossings, 1);
    EXPECT_EQ(Twips(w->label("Label5")->x()), 6960);
    w->clock().Fire();  // the first tick
    EXPECT_EQ(w->scene().FrontRadius, 1100);
    EXPECT_FALSE(IsBlank(w->image()));
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
    const QImage before = w->image().copy();
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
    EXPECT_EQ(w->image(), before);
  }
}

TEST_F(Form1Test, TickTakesTheBarValueForTheFollowingWait) {
  auto w = Open(Editions()[0]);
  w->scrollBar()->setIntervalMs(500);
  EXPECT_EQ(w->clock().Interval(), 800);  // no effect of its own
  w->clock().Fire();
  EXPECT_EQ(w->clock().Interval(), 500);
  EXPECT_EQ(w->scene().FrontRadius, 1100);
  // A step by hand leaves the clock's rhythm alone: a restart would put the
  // whole interval back.
  QTest::qWait(100);
  const int remaining = w->clock().RemainingMs();
  ASSERT_LE(remaining, 450);
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
    const QImage picture = w->image();
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
  EXPECT_EQ(w->image().size(), QSize(1000, 800));
  EXPECT_EQ(Twips(w->button("Command1")->x()), 960);
  w->resize(300, 200);
  QCoreApplication::processEvents();
  EXPECT_EQ(w->image().size(), QSize(1000, 800));
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
  EXPECT_EQ(w->label("Label5")->x(), w->mapping().ToPixels(5900));
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

TEST_F(Form1Test, KeyboardFocusShowsAThickRingAndTheMouseHidesIt) {
  auto w = Open(Editions()[0]);
  const auto ringAround = [&](QWidget* c) {
    const QImage shot = w->grab().toImage();
    const QRect r = c->geometry();
    // Two pixels outside the control's edge on each side: the ring's black
    // rim and its orange band, all round.
    int ring = 0;
    for (const QPoint p : {QPoint(r.center().x(), r.top() - 2),
                           QPoint(r.center().x(), r.bottom() + 2),
                           QPoint(r.left() - 2, r.center().y()),
                           QPoint(r.right() + 2, r.center().y())}) {
      if (!shot.rect().contains(p)) continue;
      const QColor c2 = shot.pixelColor(p);
      ring += (c2 == QColor(0, 0, 0) || c2 == QColor(255, 140, 0)) ? 1 : 0;
    }
    return ring;
  };
  EXPECT_EQ(ringAround(w->button("Command1")), 0);  // at start: no key yet
  for (int i = 0; i < 3; ++i)
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), w->textBox("Text1"));
  EXPECT_EQ(ringAround(w->textBox("Text1")), 4);
  for (int i = 0; i < 5; ++i)
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), w->scrollBar());
  EXPECT_EQ(ringAround(w->scrollBar()), 4);
  EXPECT_EQ(ringAround(w->textBox("Text1")), 0);
  QTest::mouseClick(w->button("Command5"), Qt::LeftButton);
  EXPECT_EQ(ringAround(w->button("Command5")), 0);
}

// Accepts the message box a failure shows, noting its text.
void AcceptTheMessageBox(QString* shown) {
  QTimer::singleShot(0, [shown] {
    if (auto* box =
            qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      *shown = box->text();
      box->accept();
    }
  });
}

TEST_F(Form1Test, AFailingHandlerReportsOnceAndEnds) {
  auto w = Open(Editions()[0]);
  QString shown;
  // The program's loop runs, as it does once the window is up.
  QTimer::singleShot(0, [&w, &shown] {
    AcceptTheMessageBox(&shown);
    w->Handle([] { throw std::runtime_error("画像を確保できません"); });
  });
  QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
  EXPECT_EQ(QApplication::exec(), 1);
  EXPECT_TRUE(w->failed());
  EXPECT_TRUE(shown.contains("画像を確保できません")) << shown.toStdString();
  EXPECT_TRUE(shown.contains("エラー"));
  EXPECT_EQ(w->clock().Interval(), 0);
  const std::int64_t front = w->scene().FrontRadius;
  QTest::mouseClick(w->button("Command3"), Qt::LeftButton);
  EXPECT_EQ(w->scene().FrontRadius, front);  // nothing runs after a failure
}

// A failure before the event loop runs (in the load handler, or while the
// window is shown) ends the program with status 1 once the loop starts,
// instead of leaving a window that answers nothing.
TEST_F(Form1Test, AFailureBeforeTheLoopRunsEndsItAtOnce) {
  auto w = Open(Editions()[1]);
  QString shown;
  AcceptTheMessageBox(&shown);
  w->Handle([] { throw std::runtime_error("読み込みに失敗"); });
  EXPECT_TRUE(shown.contains("読み込みに失敗")) << shown.toStdString();
  QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
  EXPECT_EQ(QApplication::exec(), 1);
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
    const QImage& picture = w->image();
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
