// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "controls/control_table.h"
#include "window/extras_menu.h"
#include "window/line_orders.h"

namespace wave::window {

using form::ControlId;

// What a front end shows of the form, as the model leaves it after an
// event. `changed` says which parts that event touched, so that an adapter
// writes only those (each write costs a toolkit or a browser work).
struct FormView {
  enum Part : unsigned {
    kPicture = 1u << 0,      // new pixels in the frame
    kSize = 1u << 1,         // the frame's size in pixels
    kLabel5 = 1u << 2,       // label B's left edge
    kPhase = 1u << 3,        // the phase label's caption (full edition)
    kStates = 1u << 4,       // a switch's description or pressed state
    kDescription = 1u << 5,  // the picture's description may read otherwise
    kAnnounce = 1u << 6,     // ... and a screen reader is to be told
    kClock = 1u << 7,        // the interval was set: the wait starts afresh
    kProbe = 1u << 8,        // P shown, moved, removed or read otherwise
    kReadout = 1u << 9,      // where P's readout sits
    kSpeed = 1u << 10,       // the speed bar's value and its words
    kSetup = 1u << 11,       // the set-up a link carries
    kFailure = 1u << 12,     // a handler failed: show it and end
    kTexts = 1u << 13,       // a box holds a text it was not typed
    kMenu = 1u << 14,        // which of the extras' menu items are checked
    kGraph = 1u << 15,       // the waves at P: shown, hidden or moved on
    kLabels = 1u << 16,      // the lines' orders placed otherwise
    kTone = 1u << 17,        // the tone switched, or its level changed
    kWords = 1u << 18,       // another language: every word afresh
  };

  // A button that switches something: its description with the state in
  // words, and for the display switches whether they are on.
  struct Switch {
    ControlId id;
    std::string description;
    std::optional<bool> pressed;
  };

  // The point P and its readout, in logical pixels of the client area.
  struct Probe {
    bool shown = false;
    double xPx = 0, yPx = 0;
    double radiusPx = 0;  // of the ring drawn round it
    std::string readout;
    double readoutLeftPx = 0, readoutTopPx = 0;
  };

  // The waves at P over the last periods, oldest first, each −2 … 2 on
  // the graph's common axis, and the box it fills in logical pixels.
  struct Graph {
    bool shown = false;
    PixelBox box;
    std::vector<float> a, b, sum;
  };

  // The tone at P: whether it sounds and how loud, 0 … 1 (the swing of
  // the water at P over its greatest, 2).
  struct Tone {
    bool on = false;
    double level = 0;
  };

  // A control's words; an empty caption is a box's, which holds a value.
  struct ControlWords {
    ControlId id;
    std::string caption, accessibleName, description;
  };

  // The words of the form in the language chosen, besides those of the
  // states and the picture, which come with their parts.
  struct Words {
    std::string language;  // BCP 47: "ja", "en"
    std::string face;      // the face the fonts ask for
    std::string name;      // the window's, the page's title
    std::vector<ControlWords> controls;
    std::string menuCaption, pictureName, readoutName, graphName, graphNow,
        toneStream;
  };

  // An item of the extras' menu (window/extras_menu.h) and its state.
  struct MenuItem {
    MenuChoice id;
    std::string name, group, caption;
    bool checked = false;
    bool toggle = false;
    bool enabled = true;
  };

  unsigned changed = 0;
  // Whether the model took the last key: then it goes no further.
  bool keyTaken = false;

  float label5LeftTwips = 0;
  std::string phaseCaption;
  std::vector<Switch> switches;
  int intervalMs = 0;  // the clock's whole state: 0 is stopped
  int speedMs = 0;     // the speed bar's value
  std::string speedWords;
  std::string speedDescription;  // the bar's, with its interval
  Probe probe;
  Graph graph;
  std::vector<LineLabel> labels;
  Tone tone;
  std::vector<MenuItem> menu;
  Words words;
  // The menu button's description, with what is shown in words.
  std::string menuDescription;
  std::string setup;    // "wavelength=2&distance=6&…", once loaded
  std::string failure;  // the whole message a failure shows

  bool Changed(unsigned parts) const { return (changed & parts) != 0; }
};

}  // namespace wave::window
