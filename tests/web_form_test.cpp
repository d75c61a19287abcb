// SPDX-License-Identifier: GPL-3.0-or-later
// The form a page drives, natively: the clock's rules, the switches, what a
// screen reader is told and when, the table handed to the page, and a
// failure while drawing.
#include "web/web_form.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "full/controls.h"
#include "six/controls.h"
#include "tests/valid_text.h"

namespace wave::web {
namespace {

TEST(WebFormTest, TheClockFollowsTheWindowsRules) {
  WebForm form(Edition::Full, full::kForm1);
  form.SetSpeed(800);
  const int before = form.clockEpoch();
  ASSERT_TRUE(form.Handle([&] { form.Load(); }));
  EXPECT_EQ(form.intervalMs(), 800);  // the first frame one interval later
  EXPECT_GT(form.clockEpoch(), before);
  form.SetSpeed(300);
  EXPECT_EQ(form.intervalMs(), 800) << "the bar is read at the next tick";
  form.Handle([&] { form.Tick(); });
  EXPECT_EQ(form.intervalMs(), 300);
  form.Handle([&] { form.Click("Command6"); });
  EXPECT_EQ(form.intervalMs(), 0);
  const std::string stopped = form.Description();
  const int epoch = form.clockEpoch();
  form.Handle([&] { form.Tick(); });  // late: draws nothing, sets nothing
  EXPECT_EQ(form.clockEpoch(), epoch);
  EXPECT_EQ(form.Description(), stopped);
  form.Handle([&] { form.Click("Command6"); });
  EXPECT_EQ(form.intervalMs(), 300);
  form.SetSpeed(5000);
  EXPECT_EQ(form.speedMs(), 1000);
  form.SetSpeed(-3);
  EXPECT_EQ(form.speedMs(), 100);
}

TEST(WebFormTest, SwitchesStatesAndAnnouncements) {
  WebForm form(Edition::Full, full::kForm1);
  form.Handle([&] { form.Load(); });
  EXPECT_TRUE(form.SettingsChanged());  // the first settings are news
  form.Handle([&] { form.Click("Command3"); });
  EXPECT_TRUE(form.SettingsChanged()) << "the first frame reads the boxes";
  form.Handle([&] { form.Click("Command3"); });
  EXPECT_FALSE(form.SettingsChanged()) << "a step changes no setting";
  EXPECT_EQ(form.StateOf("Command1"), "腹線の表示を切り替える。いまは非表示");
  form.Handle([&] { form.Click("Command1"); });
  EXPECT_TRUE(form.SwitchOn("antinodal"));
  EXPECT_EQ(form.StateOf("Command1"), "腹線の表示を切り替える。いまは表示中");
  EXPECT_TRUE(form.SettingsChanged());
  form.Handle([&] { form.Tick(); });
  EXPECT_FALSE(form.SettingsChanged()) << "a tick is never announced";
  form.Handle([&] { form.Click("Command7"); });
  EXPECT_EQ(form.phaseCaption(), "逆位相");
  EXPECT_TRUE(form.SettingsChanged());
  form.SetText(3, "250");
  EXPECT_TRUE(form.SettingsChanged()) << "the dot size is a setting";
  EXPECT_EQ(form.StateOf("Text1"), "");
  EXPECT_FALSE(form.Click("Command9"));
  EXPECT_TRUE(testing::IsCleanText(form.Description()));
}

TEST(WebFormTest, TheSixButtonEditionStaysInPhase) {
  WebForm form(Edition::Six, six::kForm1);
  form.Handle([&] { form.Load(); });
  EXPECT_FALSE(form.Click("Command7"));
  form.SetSwitch("antiphase", true);
  EXPECT_FALSE(form.SwitchOn("antiphase"));
  EXPECT_EQ(form.StateOf("Command7"), "");
}

TEST(WebFormTest, LabelBFollowsSourceBAndTheTextsAreRead) {
  WebForm form(Edition::Full, full::kForm1);
  EXPECT_EQ(form.label5LeftTwips(), 6960);  // as laid out, before a frame
  form.Handle([&] { form.Load(); });
  form.SetText(2, "８");  // full-width, as an input method gives it
  form.Handle([&] { form.Click("Command3"); });
  EXPECT_EQ(form.label5LeftTwips(), 4000 + 500 * 8 - 100);
}

TEST(WebFormTest, ThePictureIsNeverSmallerThanTheWindow) {
  WebForm form(Edition::Full, full::kForm1);
  form.Handle([&] { form.Resize(300, 200, 2); });
  EXPECT_EQ(form.frame().deviceWidth(), 682 * 2);
  EXPECT_EQ(form.frame().deviceHeight(), 476 * 2);
  form.Handle([&] { form.Resize(1366, 650, 0.0 / 0.0); });
  EXPECT_EQ(form.frame().deviceWidth(), 1366);
}

TEST(WebFormTest, TheTableGoesToThePageWhole) {
  for (const auto& [edition, layout, count] :
       {std::tuple{Edition::Full, &full::kForm1, 18},
        std::tuple{Edition::Six, &six::kForm1, 16}}) {
    WebForm form(edition, *layout);
    const std::string json = form.ControlsJson();
    int names = 0;
    for (std::size_t at = 0;
         (at = json.find("\"name\":", at)) != std::string::npos; ++at) {
      ++names;
    }
    EXPECT_EQ(names, count);
    EXPECT_TRUE(testing::IsCleanText(json));
    EXPECT_NE(json.find("\"caption\":\"自動/手動\""), std::string::npos);
    EXPECT_NE(json.find("\"min\":100,\"max\":1000,\"start\":800"),
              std::string::npos);
  }
}

TEST(WebFormTest, ThePointIsReadAgainstTheLastFrame) {
  WebForm form(Edition::Full, full::kForm1);
  form.Handle([&] { form.Load(); });
  form.Handle([&] { form.Click("Command3"); });
  EXPECT_EQ(form.ProbeText(), "");
  form.SetProbe(std::pair(9000.0, 4000.0));  // 5 and 2 wavelengths away
  EXPECT_EQ(
      form.ProbeText(),
      "AP = 5.00λ　BP = 2.00λ　|AP − BP| = 3.00λ → 強め合う（腹線 m = 3）");
  EXPECT_NE(form.Description().find("点 P: AP = 5.00λ"), std::string::npos);
  form.SetText(1, "1");  // the next frame draws another wavelength
  form.Handle([&] { form.Click("Command3"); });
  EXPECT_NE(form.ProbeText().find("|AP − BP| = 6.00λ"), std::string::npos);
  form.SetProbe(std::nullopt);
  EXPECT_EQ(form.Description().find("点 P"), std::string::npos);
}

TEST(WebFormTest, AFailureStopsTheClockAndIsKept) {
  WebForm form(Edition::Full, full::kForm1);
  form.Handle([&] { form.Load(); });
  EXPECT_FALSE(form.Handle([] { throw std::runtime_error("壊れた"); }));
  EXPECT_EQ(form.failure(), "壊れた");
  EXPECT_EQ(form.intervalMs(), 0);
  EXPECT_FALSE(form.Handle([&] { form.Tick(); })) << "nothing runs after";
}

}  // namespace
}  // namespace wave::web
