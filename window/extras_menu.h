// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "canvas/water.h"

namespace wave::window {

// What the extras' menu offers, beside the buttons of the table: one menu,
// the same in the window and the page.
enum class MenuChoice : std::uint8_t { kLinesOnly, kSurface, kAmplitude };

struct MenuRow {
  MenuChoice id;
  const char* name;     // object name and element id
  const char* group;    // the heading it stands under
  const char* caption;  // checkable: one of its group is checked
  WaterView water;
};

inline constexpr const char* kMenuCaption = "メニュー";
inline constexpr const char* kMenuDescription =
    "水面や振幅の表示を選ぶメニューを開く";
// Where the menu's button sits, in twips of the client area: in the left
// column below the buttons, where no control of either edition is.
struct MenuPlace {
  int left, top, width, height;
};
inline constexpr MenuPlace kMenuPlace{0, 3600, 975, 495};
inline constexpr MenuRow kMenuRows[] = {
    {MenuChoice::kLinesOnly, "waterNone", "表示", "線と輪だけ",
     WaterView::kNone},
    {MenuChoice::kSurface, "waterSurface", "表示", "水面", WaterView::kSurface},
    {MenuChoice::kAmplitude, "waterAmplitude", "表示", "振幅",
     WaterView::kAmplitude},
};

}  // namespace wave::window
