// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "canvas/water.h"

namespace wave::window {

// What the extras' menu offers, beside the buttons of the table: one menu,
// the same in the window and the page.
enum class MenuChoice : std::uint8_t {
  kLinesOnly,
  kSurface,
  kAmplitude,
  kTone,        // the tone at P
  kGraph,       // the waves at P as a graph
  kLineOrders,  // each line's order on the picture
};

struct MenuRow {
  MenuChoice id;
  const char* name;   // object name and element id
  const char* group;  // the heading it stands under
  // Checkable: of the water's group one is checked, a switch on its own.
  const char* caption;
  WaterView water;
  bool toggle = false;  // a switch, not one of the water's views
};

inline constexpr const char* kMenuCaption = "メニュー";
inline constexpr const char* kMenuDescription =
    "水面や振幅の表示、P の音とグラフ、線の番号を選ぶメニューを開く";
// The tone's caption where no sound can be played.
inline constexpr const char* kToneUnavailable =
    "音（この環境では鳴らせません）";
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
    {MenuChoice::kTone, "probeTone", "点 P と線", "音", WaterView::kNone, true},
    {MenuChoice::kGraph, "probeGraph", "点 P と線", "P のグラフ",
     WaterView::kNone, true},
    {MenuChoice::kLineOrders, "lineOrders", "点 P と線", "線の番号",
     WaterView::kNone, true},
};

}  // namespace wave::window
