// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

#include "canvas/water.h"
#include "text/catalog.h"

namespace wave::window {

// What the extras' menu offers, beside the buttons of the table: one menu,
// the same in the window and the page. Its words come from the catalog.
enum class MenuChoice : std::uint8_t {
  kLinesOnly,
  kSurface,
  kAmplitude,
  kTone,        // the tone at P
  kGraph,       // the waves at P as a graph
  kLineOrders,  // each line's order on the picture
};

// A language's item is kFirstLanguage and the catalog's index after it.
inline constexpr std::uint8_t kFirstLanguage = 32;
constexpr MenuChoice LanguageChoice(std::size_t catalog) {
  return static_cast<MenuChoice>(kFirstLanguage + catalog);
}

struct MenuRow {
  MenuChoice id;
  const char* name;  // object name and element id
  text::Msg group;   // the heading it stands under
  // Checkable: of the water's group one is checked, a switch on its own.
  text::Msg caption;
  WaterView water;
  bool toggle = false;  // a switch, not one of the water's views
};

// The languages' heading reads in both, so that a learner lost in either
// finds it; each language's item is its own name in itself.
inline constexpr const char* kLanguageGroup = "言語 / Language";

// Where the menu's button sits, in twips of the client area: in the left
// column below the buttons, where no control of either edition is.
struct MenuPlace {
  int left, top, width, height;
};
inline constexpr MenuPlace kMenuPlace{0, 3600, 975, 495};
inline constexpr MenuRow kMenuRows[] = {
    {MenuChoice::kLinesOnly, "waterNone", text::Msg::kMenuView,
     text::Msg::kMenuLinesOnly, WaterView::kNone},
    {MenuChoice::kSurface, "waterSurface", text::Msg::kMenuView,
     text::Msg::kMenuSurface, WaterView::kSurface},
    {MenuChoice::kAmplitude, "waterAmplitude", text::Msg::kMenuView,
     text::Msg::kMenuAmplitude, WaterView::kAmplitude},
    {MenuChoice::kTone, "probeTone", text::Msg::kMenuProbe,
     text::Msg::kMenuTone, WaterView::kNone, true},
    {MenuChoice::kGraph, "probeGraph", text::Msg::kMenuProbe,
     text::Msg::kMenuGraph, WaterView::kNone, true},
    {MenuChoice::kLineOrders, "lineOrders", text::Msg::kMenuProbe,
     text::Msg::kMenuLineOrders, WaterView::kNone, true},
};

}  // namespace wave::window
