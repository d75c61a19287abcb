// SPDX-License-Identifier: GPL-3.0-or-later
// What the page and the model say to each other: the table whole, each
// event line read as written, and nonsense read as nothing.
#include "web/page_protocol.h"

#include <gtest/gtest.h>

#include <string>

#include "full/controls.h"
#include "six/controls.h"
#include "tests/row_name.h"
#include "tests/valid_text.h"

namespace wave::web {
namespace {

window::FormModel Model(Edition edition) {
  return window::FormModel(
      edition, edition == Edition::Full ? full::kForm1 : six::kForm1,
      {0xF0F0F0, FrameRasteriser::PixelOrder::kRgba8, 1, 96});
}

int Count(const std::string& text, const std::string& part) {
  int n = 0;
  for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos;
       ++at) {
    ++n;
  }
  return n;
}

TEST(PageProtocolTest, TheTableGoesToThePageWholeInFocusOrder) {
  for (const auto& [edition, count] :
       {std::pair{Edition::Full, 18 + 8}, std::pair{Edition::Six, 16 + 8}}) {
    auto model = Model(edition);
    const std::string json = ControlsJson(model);
    EXPECT_EQ(Count(json, "\"name\":"), count)
        << "and the menu's items, the languages' among them";
    EXPECT_TRUE(wave::testing::IsCleanText(json));
    // Command1 is the first control to take the focus; Text3 the last.
    EXPECT_LT(json.find("\"Command1\""), json.find("\"Command2\""));
    EXPECT_GT(json.find("\"Text3\""), json.find("\"HScroll1\""));
    EXPECT_NE(json.find("\"name\":\"Label1\",\"kind\":\"label\","
                        "\"caption\":\"波長\",\"left\":184,\"top\":8"),
              std::string::npos);
    EXPECT_NE(json.find("\"labelFor\":\"Text1\""), std::string::npos);
  }
}

struct LineRow {
  const char* name;
  const char* line;
  const char* answer;  // a part the answer holds, or "" for an empty answer
};

class DispatchTest : public ::testing::TestWithParam<LineRow> {};

TEST_P(DispatchTest, AnswersWithWhatChanged) {
  auto model = Model(Edition::Full);
  Dispatch(model, "load");
  Dispatch(model, "click 2");  // Command3: the first frame
  const std::string answer = Dispatch(model, GetParam().line);
  if (*GetParam().answer == '\0') {
    EXPECT_EQ(answer, "{}");
  } else {
    EXPECT_NE(answer.find(GetParam().answer), std::string::npos) << answer;
  }
  EXPECT_FALSE(model.failed());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DispatchTest,
    ::testing::Values(
        LineRow{"AStep", "click 2", "\"picture\":true"},
        LineRow{"ASwitchIsAnnounced", "click 0", "\"announce\":true"},
        LineRow{"TheClockStops", "click 5", "\"interval\":0"},
        LineRow{"KeyPFromTheBody", "key 0 0 -1 p", "\"keyTaken\":true"},
        LineRow{"KeyPInABox", "key 0 0 7 p", ""},
        LineRow{"APressInPixels", "press 100 50",
                "\"probe\":{\"shown\":true,\"x\":100,\"y\":50"},
        LineRow{"ATextWithBlanks", "type 9 1 2", "dots=1+2"},
        LineRow{"ATextGoesIntoTheLink", "type 8 8", "wavelength=2&distance=8"},
        LineRow{"NoSuchControl", "click 99", ""},
        LineRow{"NoNumber", "press x 3", ""},
        LineRow{"NoSuchEvent", "explode", ""}, LineRow{"Nothing", "", ""}),
    wave::testing::RowName());

}  // namespace
}  // namespace wave::web
