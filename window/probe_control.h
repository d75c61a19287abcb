// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "canvas/screen_mapping.h"
#include "controls/control_table.h"

namespace wave::window {

// The keys a form reads itself; every other key is kOther.
enum class Key {
  kP,
  kS,  // the tone at P on or off
  kEscape,
  kLeft,
  kRight,
  kUp,
  kDown,
  kPageUp,
  kPageDown,
  kOther
};

struct KeyPress {
  Key key = Key::kOther;
  bool shift = false;
  bool otherModifier = false;  // Ctrl, Alt or Meta held: never P's
  // The control with the keyboard focus, none when the picture has it.
  std::optional<form::ControlId> focus;
};

// Whether the focus is in a box, which keeps what is typed.
bool IsTextBox(const std::optional<form::ControlId>& focus);

struct TwipPoint {
  double x = 0, y = 0;
};

// The point P as the learner works it, in twips of the client area: a
// press on free picture places it, a press on it and a move of more than
// kDragPx drags it, a press on it without such a move removes it; the key
// P places it, the arrows move it kStepPx (ten times as far with Shift) and
// Esc removes it. A box keeps every key but Esc, the speed bar its arrows.
class ProbeControl {
 public:
  static constexpr double kRingRadiusPx = 8;
  static constexpr double kHitSlackPx = 3;  // a press this near the ring hits
  static constexpr double kDragPx = 3;      // Manhattan, from the press
  static constexpr double kStepPx = 2;
  static constexpr double kShiftSteps = 10;
  static constexpr double kReadoutGapPx = 4;  // between the ring and readout

  explicit ProbeControl(const ScreenMapping& mapping) : mapping_(mapping) {}

  const std::optional<TwipPoint>& at() const { return at_; }

  // Each answers whether P was placed, moved or removed.
  bool Press(TwipPoint twips);
  bool Drag(TwipPoint twips);
  bool Release();
  void Cancel() { pressing_ = false; }
  // `keyPlace` is where the key P puts it. Sets `taken` when the key is P's.
  bool Key(const KeyPress& key, TwipPoint keyPlace, bool& taken);
  void Remove() { at_.reset(); }

  // Where a readout of that size sits: under P, or over it where it would
  // leave the client area at the bottom; centred on P, inside the area.
  static std::pair<double, double> ReadoutPlace(double xPx, double yPx,
                                                double widthPx, double heightPx,
                                                double clientWidthPx,
                                                double clientHeightPx);

 private:
  double PixelsBetween(TwipPoint a, TwipPoint b) const;

  const ScreenMapping& mapping_;
  std::optional<TwipPoint> at_;
  bool pressing_ = false;
  bool pressedOnProbe_ = false;
  TwipPoint pressedAt_;
};

}  // namespace wave::window
