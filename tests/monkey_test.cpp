// SPDX-License-Identifier: GPL-3.0-or-later
// Both windows under random clicks, typing and scroll bar moves for a
// bounded time: the window must stay alive and the scene's state valid.
// SARVEL_MONKEY_SECONDS and SARVEL_MONKEY_SEED override the defaults.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "form/form_fonts.h"
#include "full/form1.h"
#include "six/form1.h"

namespace wave {
namespace {

using form::FormWindow;

long Setting(const char* name, long fallback) {
  const char* text = std::getenv(name);
  return text != nullptr ? std::atol(text) : fallback;
}

// Texts a learner might type, or paste, or lean on the keyboard to make.
QString RandomText(std::mt19937& rng) {
  static const std::vector<QString> kPieces = {
      "0",  "1",   "2",     "9",    ".",      "-",      "+",
      "e",  "E",   " ",     "\t",   "1e308",  "1e-308", "1e400",
      "-0", "nan", "inf",   "0x1F", "波長",   "１２",   "\xF0\x9F\x8C\x8A",
      ",",  "1,5", "99999", "e-",   "0.0001", "—",      "\\"};
  std::uniform_int_distribution<int> kind(0, 9);
  switch (kind(rng)) {
    case 0:
      return {};
    case 1:  // long runs of one digit
      return QString(std::uniform_int_distribution<int>(1, 40000)(rng),
                     QChar('0' + static_cast<int>(rng() % 10)));
    default: {
      QString text;
      const int pieces = std::uniform_int_distribution<int>(1, 6)(rng);
      for (int i = 0; i < pieces; ++i) text += kPieces[rng() % kPieces.size()];
      return text;
    }
  }
}

// Key presses that carry any text, as an input method delivers it; QTest's
// own typing knows only Latin-1.
void Type(QWidget* target, const QString& text) {
  for (int i = 0; i < text.size(); ++i) {
    const int n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    const QString one = text.mid(i, n);
    i += n - 1;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, one);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, one);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
  }
}

struct Edition {
  const char* name;
  std::function<std::unique_ptr<FormWindow>()> make;
  std::vector<const char*> buttons;
};

class MonkeyTest : public ::testing::TestWithParam<Edition> {
 protected:
  static void SetUpTestSuite() { form::InstallFontSubstitutes(); }
};

std::string Invalid(FormWindow& w, bool six) {
  const WaveScene& s = w.scene();
  for (const std::int16_t v :
       {s.ShowAntinodal, s.ShowNodal, s.ShowCrossings, s.Antiphase}) {
    if (v != 0 && v != 1) return "a switch is " + std::to_string(v);
  }
  if (s.FrontRadius % 100 != 0 || s.FrontRadius < 1000) {
    return "front radius " + std::to_string(s.FrontRadius);
  }
  if (six && s.Antiphase != 0) return "the six-button edition out of phase";
  if (!six) {
    const QString phase = w.label("Label7")->text();
    if (phase != (s.Antiphase == 0 ? "同位相" : "逆位相")) {
      return "phase label " + phase.toStdString();
    }
  }
  const int interval = w.clock().Interval();
  if (interval != 0 && (interval < 100 || interval > 1000)) {
    return "timer interval " + std::to_string(interval);
  }
  if (w.failed()) return "a handler failed";
  if (!w.isVisible()) return "the window closed";
  return {};
}

TEST_P(MonkeyTest, RandomUseLeavesTheWindowAliveAndTheSceneValid) {
  const Edition& edition = GetParam();
  const bool six = std::string(edition.name) == "sarvel6";
  const long seconds = Setting("SARVEL_MONKEY_SECONDS", 8);
  const auto seed = static_cast<unsigned>(
      Setting("SARVEL_MONKEY_SEED", std::random_device{}()));
  std::mt19937 rng(seed);
  SCOPED_TRACE("seed " + std::to_string(seed));

  auto w = edition.make();
  w->show();
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
  const std::vector<const char*> boxes = {"Text1", "Text2", "Text3"};
  // A key that opens the extras' menu runs it in a loop of its own: inside
  // it the monkey moves, chooses or closes, as a learner would.
  QTimer inMenu;
  std::mt19937 menuRng(seed + 1);
  QObject::connect(&inMenu, &QTimer::timeout, [&] {
    if (QWidget* popup = QApplication::activePopupWidget()) {
      static const Qt::Key kMenuKeys[] = {Qt::Key_Down, Qt::Key_Up,
                                          Qt::Key_Return, Qt::Key_Escape};
      QTest::keyClick(popup, kMenuKeys[menuRng() % std::size(kMenuKeys)]);
    }
  });
  inMenu.start(20);
  long actions = 0;
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < seconds * 1000) {
    ++actions;
    switch (std::uniform_int_distribution<int>(0, 10)(rng)) {
      case 0:
      case 1:
      case 2:
        QTest::mouseClick(
            w->button(edition.buttons[rng() % edition.buttons.size()]),
            Qt::LeftButton);
        break;
      case 3: {  // typing, key by key, at the end of what is there
        QLineEdit* box = w->textBox(boxes[rng() % boxes.size()]);
        box->setFocus();
        Type(box, RandomText(rng).left(40));
        break;
      }
      case 4: {  // a paste over everything, or a cleared box
        QLineEdit* box = w->textBox(boxes[rng() % boxes.size()]);
        box->selectAll();
        box->insert(RandomText(rng));
        break;
      }
      case 5: {
        QScrollBar* bar = w->scrollBar();
        const auto action = static_cast<QAbstractSlider::SliderAction>(
            std::uniform_int_distribution<int>(1, 8)(rng));
        bar->triggerAction(action);
        break;
      }
      case 6: {  // keys on whatever has the focus
        static const Qt::Key kKeys[] = {
            Qt::Key_Tab,  Qt::Key_Backtab, Qt::Key_Space,  Qt::Key_Return,
            Qt::Key_Left, Qt::Key_Right,   Qt::Key_PageUp, Qt::Key_Backspace};
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target != nullptr ? target : w.get(),
                        kKeys[rng() % std::size(kKeys)]);
        break;
      }
      case 7:  // ticks as fast as they come
        for (int i = 0, n = static_cast<int>(rng() % 20); i < n; ++i) {
          w->clock().Fire();
        }
        break;
      case 8:  // as the animation stands after hours
        w->scene().FrontRadius =
            100 * std::uniform_int_distribution<std::int64_t>(10, 100'000)(rng);
        break;
      default:  // let the real timer run a little
        QTest::qWait(static_cast<int>(rng() % 30));
        break;
    }
    const std::string fault = Invalid(*w, six);
    ASSERT_EQ(fault, "") << "after " << actions << " actions";
  }
  std::printf("%s: %ld actions in %ld s, front radius %lld (seed %u)\n",
              edition.name, actions, seconds,
              static_cast<long long>(w->scene().FrontRadius), seed);
  // A handler that hangs or crawls leaves the monkey all but idle.
  EXPECT_GE(actions, seconds) << "fewer than one action a second";
}

INSTANTIATE_TEST_SUITE_P(
    Programs, MonkeyTest,
    ::testing::Values(Edition{"sarvel11",
                              [] { return std::make_unique<full::Form1>(); },
                              {"Command1", "Command2", "Command3", "Command4",
                               "Command5", "Command6", "Command7"}},
                      Edition{"sarvel6",
                              [] { return std::make_unique<six::Form1>(); },
                              {"Command1", "Command2", "Command3", "Command4",
                               "Command5", "Command6"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace wave
