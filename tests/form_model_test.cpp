// SPDX-License-Identifier: GPL-3.0-or-later
// The form's rules, once for the window and the page: each row a script of
// events as a learner gives them, and what must follow.
#include "window/form_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

#include "full/controls.h"
#include "scene/probe_waves.h"
#include "six/controls.h"
#include "tests/row_name.h"
#include "tests/valid_text.h"
#include "window/setup_link.h"

namespace wave::window {
namespace {

using form::ControlId;

ControlId Id(const std::string& word) {
  static const char* const kNames[] = {
      "Command1", "Command2", "Command3", "Command4", "Command5", "Command6",
      "Command7", "Text1",    "Text2",    "Text3",    "HScroll1"};
  for (int i = 0; i < 11; ++i) {
    if (word == kNames[i]) return static_cast<ControlId>(i);
  }
  throw std::invalid_argument("no control " + word);
}

Key KeyNamed(const std::string& word) {
  if (word == "P") return Key::kP;
  if (word == "S") return Key::kS;
  if (word == "Esc") return Key::kEscape;
  if (word == "Left") return Key::kLeft;
  if (word == "Right") return Key::kRight;
  if (word == "Up") return Key::kUp;
  if (word == "Down") return Key::kDown;
  if (word == "PageUp") return Key::kPageUp;
  if (word == "PageDown") return Key::kPageDown;
  return Key::kOther;
}

// Runs "load; click Command3; key P shift in=Text1; press 10 20; …" (points
// in pixels at 15 twips each) and answers the last event's view.
FormView Play(FormModel& m, const std::string& script) {
  FormView last = m.view();
  std::istringstream steps(script);
  std::string step;
  while (std::getline(steps, step, ';')) {
    std::istringstream in(step);
    std::string verb, a, b;
    in >> verb;
    if (verb == "load") {
      std::getline(in >> std::ws, a);
      last = m.Load(a);
    } else if (verb == "tick") {
      last = m.Tick();
    } else if (verb == "click") {
      in >> a;
      last = m.Click(Id(a));
    } else if (verb == "type") {
      in >> a;
      std::getline(in >> std::ws, b);
      last = m.Type(Id(a), b);
    } else if (verb == "speed") {
      int ms = 0;
      in >> ms;
      last = m.MoveSpeed(ms);
    } else if (verb == "press" || verb == "drag") {
      double x = 0, y = 0;
      in >> x >> y;
      last = verb == "press" ? m.PressPicture(15 * x, 15 * y)
                             : m.DragPicture(15 * x, 15 * y);
    } else if (verb == "release") {
      last = m.ReleasePicture();
    } else if (verb == "key") {
      KeyPress key;
      in >> a;
      key.key = KeyNamed(a);
      while (in >> b) {
        if (b == "shift") key.shift = true;
        if (b == "ctrl") key.otherModifier = true;
        if (b.rfind("in=", 0) == 0) key.focus = Id(b.substr(3));
      }
      last = m.KeyDown(key);
    } else if (verb == "resize") {
      double w = 0, h = 0, r = 1;
      in >> w >> h >> r;
      last = m.Resize(w, h, r);
    } else if (!verb.empty()) {
      throw std::invalid_argument("no step " + verb);
    }
  }
  return last;
}

struct Model {
  explicit Model(Edition edition = Edition::Full)
      : model(edition, edition == Edition::Full ? full::kForm1 : six::kForm1,
              {0xF0F0F0, FrameRasteriser::PixelOrder::kArgb32, 1, 96}) {}
  FormModel model;
};

struct ClockRow {
  const char* name;
  const char* script;
  int intervalMs;
  std::int64_t frontRadius;
};

class ClockTest : public ::testing::TestWithParam<ClockRow> {};

TEST_P(ClockTest, FollowsTheWindowsRules) {
  Model m;
  Play(m.model, GetParam().script);
  EXPECT_EQ(m.model.view().intervalMs, GetParam().intervalMs);
  EXPECT_EQ(m.model.scene().FrontRadius, GetParam().frontRadius);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ClockTest,
    ::testing::Values(
        ClockRow{"LoadTakesTheBarAndDrawsNothing", "speed 700; load", 700,
                 1000},
        ClockRow{"TheBarIsReadAtTheNextTick", "load; speed 300", 800, 1000},
        ClockRow{"ATickTakesTheBarAndSteps", "load; speed 300; tick", 300,
                 1100},
        ClockRow{"ALateTickDrawsNothing", "load; click Command6; tick", 0,
                 1000},
        ClockRow{"RestartTakesTheBarNow",
                 "load; click Command6; speed 500; click Command6", 500, 1000},
        ClockRow{"AStepWhileRunningKeepsTheClock", "load; tick; click Command3",
                 800, 1200},
        ClockRow{"ASwitchRedrawsTheSameFront", "load; tick; click Command1",
                 800, 1100},
        ClockRow{"TheBarHasBounds", "speed 5000; load", 1000, 1000},
        ClockRow{"PageKeysStepTheBar",
                 "load; key PageDown in=HScroll1; click Command6; click "
                 "Command6",
                 900, 1000},
        ClockRow{"TheSpeedFromALinkIsBounded", "load speed=12.6", 100, 1000}),
    wave::testing::RowName());

struct AnnounceRow {
  const char* name;
  const char* script;
  bool announced;  // by the last event
};

class AnnounceTest : public ::testing::TestWithParam<AnnounceRow> {};

TEST_P(AnnounceTest, OnlyANewSettingOrAMoveOfPIsTold) {
  Model m;
  const FormView last = Play(m.model, GetParam().script);
  EXPECT_EQ(last.Changed(FormView::kAnnounce), GetParam().announced);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AnnounceTest,
    ::testing::Values(
        AnnounceRow{"TheFirstSettingsAreNews", "load", true},
        AnnounceRow{"TheFirstFrameReadsTheBoxes", "load; click Command3", true},
        AnnounceRow{"AStepIsNot", "load; click Command3; click Command3",
                    false},
        AnnounceRow{"ATickIsNever", "load; click Command3; tick", false},
        AnnounceRow{"ASwitchIs", "load; click Command3; click Command1", true},
        AnnounceRow{"ThePhaseIs", "load; click Command3; click Command7", true},
        AnnounceRow{"TypingAloneIsNot", "load; click Command3; type Text3 250",
                    false},
        AnnounceRow{"TheDotSizeIsASetting",
                    "load; click Command3; type Text3 250; click Command3",
                    true},
        AnnounceRow{"WavelengthsApartInTheSeventhDecimal",
                    "load; type Text1 1.2345671; click Command3; type Text1 "
                    "1.2345679; click Command3",
                    true},
        AnnounceRow{"MovingPIs", "load; click Command3; key P; key Left",
                    true}),
    wave::testing::RowName());

struct ProbeRow {
  const char* name;
  const char* script;
  bool shown;
  double xPx, yPx;  // where P is, when shown
  bool keyTaken;    // by the last event, when a key
};

class ProbeTest : public ::testing::TestWithParam<ProbeRow> {};

TEST_P(ProbeTest, PlacedMovedAndRemovedAsTheLearnerExpects) {
  Model m;
  Play(m.model, "load; click Command3");
  const FormView last = Play(m.model, GetParam().script);
  const FormView::Probe& p = m.model.view().probe;
  ASSERT_EQ(p.shown, GetParam().shown);
  if (p.shown) {
    EXPECT_NEAR(p.xPx, GetParam().xPx, 1e-9);
    EXPECT_NEAR(p.yPx, GetParam().yPx, 1e-9);
    EXPECT_FALSE(p.readout.empty());
  }
  EXPECT_EQ(last.keyTaken, GetParam().keyTaken);
}

// The midpoint of the default sources: 4000 + 250 × 6 twips across.
constexpr double kMidX = 5500.0 / 15, kMidY = 4000.0 / 15;

INSTANTIATE_TEST_SUITE_P(
    Rows, ProbeTest,
    ::testing::Values(
        ProbeRow{"PPlacesItBetweenTheSources", "key P", true, kMidX, kMidY,
                 true},
        ProbeRow{"OrInTheMiddleWhenThatIsOffTheWindow",
                 "type Text2 100; click Command3; key P", true, 341, 238, true},
        ProbeRow{"FromAButton", "key P in=Command1", true, kMidX, kMidY, true},
        ProbeRow{"FromTheSpeedBar", "key P in=HScroll1", true, kMidX, kMidY,
                 true},
        ProbeRow{"NotFromABox", "key P in=Text1", false, 0, 0, false},
        ProbeRow{"NotWithCtrl", "key P ctrl", false, 0, 0, false},
        ProbeRow{"ArrowsStepTwoPixels", "key P; key Right; key Down", true,
                 kMidX + 2, kMidY + 2, true},
        ProbeRow{"ShiftStepsTwenty", "key P; key Left shift", true, kMidX - 20,
                 kMidY, true},
        ProbeRow{"TheBarKeepsItsArrows", "key P; key Left in=HScroll1", true,
                 kMidX, kMidY, false},
        ProbeRow{"ABoxKeepsItsArrows", "key P; key Up in=Text2", true, kMidX,
                 kMidY, false},
        ProbeRow{"EscFromABoxRemovesIt", "key P; key Esc in=Text3", false, 0, 0,
                 true},
        ProbeRow{"EscWithoutPIsNotTaken", "key Esc", false, 0, 0, false},
        ProbeRow{"APressOnFreePicturePlacesIt", "press 100 50; release", true,
                 100, 50, false},
        ProbeRow{"AClickOnPRemovesIt",
                 "press 100 50; release; press 108 53; "
                 "release",
                 false, 0, 0, false},
        ProbeRow{"ASmallMoveIsStillAClick",
                 "press 100 50; release; press 100 50; drag 102 50; release",
                 false, 0, 0, false},
        ProbeRow{"ALongerMoveDragsIt",
                 "press 100 50; release; press 100 50; drag 103 50; drag 140 "
                 "60; release",
                 true, 140, 60, false},
        ProbeRow{"APressBesideTheRingMovesIt",
                 "press 100 50; release; press 112 50; release", true, 112, 50,
                 false},
        ProbeRow{"ADragWithoutAPressDoesNothing", "drag 40 40", false, 0, 0,
                 false}),
    wave::testing::RowName());

struct ReadoutRow {
  const char* name;
  double x, y, width, height;
  double left, top;
};

class ReadoutTest : public ::testing::TestWithParam<ReadoutRow> {};

// In a client area of 682 × 476, P's ring 8 pixels with 4 to spare.
TEST_P(ReadoutTest, SitsUnderPCentredAndInside) {
  const ReadoutRow& r = GetParam();
  const auto [left, top] =
      ProbeControl::ReadoutPlace(r.x, r.y, r.width, r.height, 682, 476);
  EXPECT_EQ(left, r.left);
  EXPECT_EQ(top, r.top);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadoutTest,
    ::testing::Values(
        ReadoutRow{"Under", 300, 200, 100, 20, 250, 212},
        ReadoutRow{"OverNearTheBottom", 300, 470, 100, 20, 250, 438},
        ReadoutRow{"AtTheLeftEdge", 10, 200, 100, 20, 0, 212},
        ReadoutRow{"AtTheRightEdge", 680, 200, 100, 20, 582, 212},
        ReadoutRow{"WiderThanTheWindow", 300, 200, 900, 20, 0, 212},
        ReadoutRow{"PFarOutside", -5e6, 9e6, 100, 20, 0, 456}),
    wave::testing::RowName());

TEST(FormModelTest, SwitchStatesAndThePhaseLabelPerEdition) {
  Model full;
  Play(full.model, "load; click Command3; click Command1; click Command7");
  const FormView& v = full.model.view();
  ASSERT_EQ(v.switches.size(), 5u);
  EXPECT_EQ(v.switches[0].description, "腹線の表示を切り替える。いまは表示中");
  EXPECT_EQ(v.switches[0].pressed, true);
  EXPECT_EQ(v.phaseCaption, "逆位相");
  Play(full.model, "click Command5");
  EXPECT_EQ(full.model.view().phaseCaption, "逆位相") << "reset keeps it";
  Play(full.model, "click Command6");
  EXPECT_NE(full.model.view().switches[3].description.find("止まっている"),
            std::string::npos);

  Model six(Edition::Six);
  const FormView last = Play(six.model, "load; click Command3; click Command7");
  EXPECT_EQ(six.model.view().switches.size(), 4u);
  EXPECT_FALSE(last.Changed(FormView::kPicture)) << "no phase to switch";
  EXPECT_EQ(six.model.scene().Antiphase, 0);
  Play(six.model, "load antiphase=1");
  EXPECT_EQ(six.model.scene().Antiphase, 0);
  EXPECT_TRUE(six.model.view().phaseCaption.empty());
}

// The menu's water views: one checked at a time, each choice drawn again at
// the same instant, told, and kept in the link; choosing the view shown
// changes nothing.
TEST(FormModelTest, TheMenuChoosesTheWater) {
  Model m;
  const FormView loaded = Play(m.model, "load surface=7");
  EXPECT_EQ(m.model.scene().Water, WaterView::kNone) << "not a view";
  ASSERT_TRUE(loaded.Changed(FormView::kMenu));
  ASSERT_EQ(loaded.menu.size(),
            std::size(kMenuRows) + text::Catalog::All().size());
  EXPECT_TRUE(loaded.menu[0].checked);
  Play(m.model, "click Command3");
  const std::int64_t front = m.model.scene().FrontRadius;
  const FormView chose = m.model.Choose(MenuChoice::kSurface);
  EXPECT_TRUE(chose.Changed(FormView::kPicture | FormView::kAnnounce));
  EXPECT_TRUE(chose.Changed(FormView::kMenu));
  EXPECT_EQ(m.model.scene().FrontRadius, front);
  EXPECT_FALSE(chose.menu[0].checked);
  EXPECT_TRUE(chose.menu[1].checked);
  EXPECT_EQ(chose.menuDescription,
            "水面や振幅の表示、P の音とグラフ、線の番号を選ぶメニューを開く。"
            "いまは水面");
  EXPECT_NE(m.model.Description().find("水面の高さを濃淡で表示中"),
            std::string::npos);
  EXPECT_NE(chose.setup.find("surface=1"), std::string::npos);
  const FormView again = m.model.Choose(MenuChoice::kSurface);
  EXPECT_FALSE(again.Changed(FormView::kPicture | FormView::kMenu));
}

// The switches of P and the lines: each in the menu and heard there, the
// tone by its key too (not in a box), none of them drawn into the frame.
TEST(FormModelTest, TheMenusSwitchesShowPsWavesToneAndTheLinesOrders) {
  Model on, off;
  const std::string script =
      "load antinodal=1; tick; tick; key P; key Right shift; tick";
  const FormView plain = Play(off.model, script);
  EXPECT_FALSE(plain.graph.shown);
  EXPECT_TRUE(plain.labels.empty());
  EXPECT_FALSE(plain.tone.on);
  Play(on.model, "load antinodal=1");
  on.model.Choose(MenuChoice::kGraph);
  on.model.Choose(MenuChoice::kLineOrders);
  const FormView typed = Play(on.model, "key S in=Text1");
  EXPECT_FALSE(typed.keyTaken) << "an S typed is the box's";
  const FormView sounding = Play(on.model, "key S");
  EXPECT_TRUE(sounding.keyTaken && sounding.tone.on);
  EXPECT_EQ(sounding.tone.level, 0) << "no P: nothing to hear";
  EXPECT_EQ(
      sounding.menuDescription.substr(sounding.menuDescription.find("いまは")),
      "いまは線と輪だけ・音・P のグラフ・線の番号");
  const FormView last = Play(on.model, script.substr(script.find(';') + 1));
  EXPECT_EQ(last.probe.readout, plain.probe.readout);
  ASSERT_TRUE(last.graph.shown);
  EXPECT_EQ(last.graph.sum.size(), std::size_t{FormModel::kGraphPoints});
  EXPECT_FALSE(last.labels.empty());
  const TwipPoint at{15 * last.probe.xPx, 15 * last.probe.yPx};
  EXPECT_DOUBLE_EQ(last.tone.level,
                   ProbeWaves(on.model.scene(), at.x, at.y).Swing() / 2);
  const FrameRasteriser &a = on.model.frame(), &b = off.model.frame();
  EXPECT_TRUE(std::equal(
      a.pixels(), a.pixels() + a.deviceWidth() * a.deviceHeight(), b.pixels()))
      << "the frame is the same with all of it on";
  EXPECT_TRUE(Play(on.model, "tick").Changed(FormView::kGraph));

  EXPECT_NE(on.model.Description().find("P の揺れを音で鳴らしている。"),
            std::string::npos);
  const FormView quiet = Play(on.model, "key S");
  EXPECT_TRUE(quiet.Changed(FormView::kAnnounce));
  EXPECT_NE(on.model.Description().find("P の音は止めている。"),
            std::string::npos);
  Play(on.model, "key S");
  const FormView mute = on.model.SoundAvailable(false);
  EXPECT_FALSE(mute.tone.on);
  const auto tone =
      std::find_if(mute.menu.begin(), mute.menu.end(),
                   [](const auto& i) { return i.id == MenuChoice::kTone; });
  ASSERT_NE(tone, mute.menu.end());
  EXPECT_FALSE(tone->enabled);
  EXPECT_EQ(tone->caption, "音（この環境では鳴らせません）");
  EXPECT_FALSE(Play(on.model, "key S").tone.on);
}

TEST(FormModelTest, ALinkSetsUpThePictureAndFollowsIt) {
  Model m;
  const FormView first = Play(
      m.model,
      "load "
      "wavelength=1&distance=4&antinodal=1&antiphase=1&dots=abc&surface=2");
  EXPECT_TRUE(first.Changed(FormView::kTexts));
  EXPECT_EQ(m.model.text(ControlId::kText3), "abc");
  EXPECT_EQ(m.model.scene().ShowAntinodal, 1);
  EXPECT_EQ(first.phaseCaption, "逆位相");
  EXPECT_EQ(m.model.scene().Water, WaterView::kAmplitude);
  Play(m.model, "click Command3");
  EXPECT_EQ(m.model.scene().Separation, 4.0);
  Play(m.model, "type Text1 ２; speed 890");
  EXPECT_EQ(m.model.view().setup,
            "wavelength=%EF%BC%92&distance=4&dots=abc&antinodal=1&nodal=0&"
            "crossings=1&antiphase=1&speed=890&surface=2");
  Model six(Edition::Six);
  Play(six.model, "load");
  EXPECT_EQ(six.model.view().setup.find("antiphase"), std::string::npos);
}

struct LinkRow {
  const char* name;
  const char* fragment;
  std::optional<std::string> wavelength;
  std::optional<bool> nodal;
  std::optional<double> speed;
};

class SetupLinkTest : public ::testing::TestWithParam<LinkRow> {};

TEST_P(SetupLinkTest, NonsenseIsReadLeniently) {
  const SetupLink link = ReadSetupLink(GetParam().fragment);
  EXPECT_EQ(link.wavelength, GetParam().wavelength);
  EXPECT_EQ(link.nodal, GetParam().nodal);
  EXPECT_EQ(link.speedMs, GetParam().speed);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SetupLinkTest,
    ::testing::Values(
        LinkRow{"Empty", "", std::nullopt, std::nullopt, std::nullopt},
        LinkRow{"BadEscapeStays", "#wavelength=%ZZ&nodal=x&speed=nan", "%ZZ",
                false, std::nullopt},
        LinkRow{"PlusIsABlank", "wavelength=1+2&nodal=1&speed=+250", "1 2",
                true, 250},
        LinkRow{"InfinityIsNoSpeed", "speed=1e999", std::nullopt, std::nullopt,
                std::nullopt},
        LinkRow{"HexIsNoSpeed", "speed=0x10&wavelength=", "", std::nullopt,
                std::nullopt},
        LinkRow{"TheLastOfTwoHolds", "wavelength=1&wavelength=%E3%81%82", "あ",
                std::nullopt, std::nullopt}),
    wave::testing::RowName());

// Whatever a box holds comes back from the link unchanged (up to its
// length), whatever bytes it has.
TEST(SetupLinkTest, TextsComeBackAsWritten) {
  std::mt19937 random(7);
  const std::string alphabet = "09.-+ &=%#あ２\x01\"\\e";
  for (int i = 0; i < 2000; ++i) {
    SetupLink link;
    std::string text;
    for (int n = random() % 12; n > 0; --n)
      text += alphabet[random() % alphabet.size()];
    link.dots = text;
    link.speedMs = random() % 900 + 100;
    const SetupLink back = ReadSetupLink(WriteSetupLink(link));
    ASSERT_EQ(back.dots, text) << WriteSetupLink(link);
    ASSERT_EQ(back.speedMs, link.speedMs);
  }
  SetupLink longOne;
  longOne.wavelength = std::string(300, 'a') + "あ";
  EXPECT_EQ(ReadSetupLink(WriteSetupLink(longOne)).wavelength->size(), 200u);
}

TEST(FormModelTest, TheFrameIsNeverSmallerThanTheWindowNorShrinks) {
  Model m;
  Play(m.model, "resize 300 200 2");
  EXPECT_EQ(m.model.frame().deviceWidth(), 682 * 2);
  Play(m.model, "resize 1366 650 nan");
  EXPECT_EQ(m.model.frame().deviceWidth(), 1366);
  Play(m.model, "resize 700 500 1");
  EXPECT_EQ(m.model.frame().deviceWidth(), 1366) << "what was drawn stays";
  EXPECT_EQ(m.model.frame().deviceHeight(), 650);
}

TEST(FormModelTest, AFailureStopsTheClockAndEndsEveryEvent) {
  Model m;
  Play(m.model, "load");
  const FormView& v =
      m.model.Handle([] { throw std::runtime_error("壊れた"); });
  EXPECT_TRUE(v.Changed(FormView::kFailure));
  EXPECT_EQ(v.failure,
            "実行時エラーが発生しました。\n壊れた\nプログラムを終了します。");
  EXPECT_EQ(v.intervalMs, 0);
  EXPECT_EQ(Play(m.model, "tick; click Command3").changed, 0u);
  EXPECT_EQ(m.model.scene().FrontRadius, 1000);
  EXPECT_TRUE(wave::testing::IsCleanText(m.model.Description()));
}

// The words a learner meets in English, each where a fault would show: a
// caption, a state, a description with numbers, P's readout in phase and
// in opposite phase, the speed, the menu, the failure.
struct EnglishRow {
  const char* name;
  const char* script;  // after "load lang=en"
  std::function<std::string(FormModel&, const FormView&)> read;
  const char* english;
};

const FormView::Switch* SwitchOf(const FormView& v, ControlId id) {
  for (const FormView::Switch& s : v.switches) {
    if (s.id == id) return &s;
  }
  return nullptr;
}

class EnglishTest : public ::testing::TestWithParam<EnglishRow> {};

TEST_P(EnglishTest, ReadsAsAnEnglishLessonDoes) {
  Model m;
  Play(m.model, "load lang=en");
  const FormView v = Play(m.model, GetParam().script);
  EXPECT_EQ(GetParam().read(m.model, v), GetParam().english);
}

// P midway between the sources, 2.5 wavelengths from each.
constexpr const char* kMidway =
    "click Command3; press 366.6666667 400; release";

INSTANTIATE_TEST_SUITE_P(
    Words, EnglishTest,
    ::testing::Values(
        EnglishRow{"ACaption", "",
                   [](FormModel& m, const FormView&) {
                     return m.view().words.controls[1].caption;
                   },
                   "Antinodal"},
        EnglishRow{"AState", "click Command1",
                   [](FormModel&, const FormView& v) {
                     return SwitchOf(v, ControlId::kCommand1)->description;
                   },
                   "Show or hide the antinodal lines. Now shown"},
        EnglishRow{"ThePhaseLabel", "click Command7",
                   [](FormModel&, const FormView& v) { return v.phaseCaption; },
                   "Opposite"},
        EnglishRow{
            "TheDescription", "click Command3",
            [](FormModel& m, const FormView&) { return m.Description(); },
            "Wavelength 2, distance between the sources 6 (3 "
            "wavelengths), in phase. Antinodal lines hidden. Nodal "
            "lines hidden. Crest meets crest at 0 points, trough "
            "meets trough at 0."},
        EnglishRow{
            "TheReadoutInPhase", kMidway,
            [](FormModel&, const FormView& v) { return v.probe.readout; },
            "AP = 2.50λ  BP = 2.50λ  |AP − BP| = 0.00λ → once both "
            "arrive, constructive (antinodal line m = 0)\nThe waves "
            "from A and B have not reached P yet"},
        EnglishRow{"TheReadoutInOppositePhase",
                   // on the line between the sources, once both arrived
                   "click Command7; press 366.6666667 266.6666667; release; "
                   "click Command3; click Command3; click Command3; click "
                   "Command3; click Command3; click Command3; click Command3",
                   [](FormModel& m, const FormView&) {
                     return m.view().probe.readout;
                   },
                   "AP = 1.50λ  BP = 1.50λ  |AP − BP| = 0.00λ → destructive "
                   "(nodal line m = 0)"},
        EnglishRow{"TheSpeed", "speed 300",
                   [](FormModel&, const FormView& v) {
                     return v.speedWords + " / " + v.speedDescription;
                   },
                   "300 ms / Change how fast the waves move; further right is "
                   "faster. Now one frame every 300 ms"},
        EnglishRow{"TheMenu", "",
                   [](FormModel& m, const FormView&) {
                     return m.view().menu[1].group + ": " +
                            m.view().menu[1].caption + ". " +
                            m.view().menuDescription;
                   },
                   "View: Surface. Opens the menu: the water view, the sound "
                   "and graph at P, the lines' orders and the language. Now "
                   "Lines and rings only"},
        EnglishRow{"AFailure", "",
                   [](FormModel& m, const FormView&) {
                     return m.Handle([] { throw std::runtime_error("broken"); })
                         .failure;
                   },
                   "A run-time error occurred.\nbroken\nThe program will "
                   "close."}),
    testing::RowName());

// The menu switches the words both ways: Japanese comes back word for word,
// the change is told, and the link keeps the language once chosen.
TEST(FormModelTest, TheMenuSwitchesTheLanguageAndBack) {
  Model english, japanese;
  Play(japanese.model, "load; click Command3; press 366.6666667 400; release");
  const std::string before = japanese.model.Description();
  const FormView loaded = japanese.model.view();
  EXPECT_EQ(loaded.setup.find("lang="), std::string::npos)
      << "the default is not written";
  const FormView to = japanese.model.Choose(LanguageChoice(1));
  EXPECT_TRUE(to.Changed(FormView::kWords | FormView::kAnnounce |
                         FormView::kStates | FormView::kMenu));
  EXPECT_EQ(to.words.language, "en");
  EXPECT_NE(to.setup.find("lang=en"), std::string::npos);
  EXPECT_EQ(to.probe.readout.rfind("AP = 2.50λ  BP", 0), 0u);
  const FormView back = japanese.model.Choose(LanguageChoice(0));
  EXPECT_EQ(japanese.model.Description(), before);
  EXPECT_EQ(back.words.language, "ja");
  EXPECT_EQ(back.words.controls[1].caption, "腹線");
  EXPECT_NE(back.setup.find("lang=ja"), std::string::npos);
  // The browser's or the desktop's languages choose where no link does.
  const std::vector<std::string> browser = {"de", "en-GB"};
  EXPECT_EQ(english.model.Load("", browser).words.language, "en");
}

}  // namespace
}  // namespace wave::window