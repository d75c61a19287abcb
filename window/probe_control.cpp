// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/probe_control.h"

#include <algorithm>
#include <cmath>

namespace wave::window {

bool IsTextBox(const std::optional<form::ControlId>& focus) {
  using form::ControlId;
  return focus == ControlId::kText1 || focus == ControlId::kText2 ||
         focus == ControlId::kText3;
}

double ProbeControl::PixelsBetween(TwipPoint a, TwipPoint b) const {
  return mapping_.ToLogical(std::hypot(a.x - b.x, a.y - b.y));
}

bool ProbeControl::Press(TwipPoint twips) {
  pressing_ = true;
  pressedAt_ = twips;
  pressedOnProbe_ =
      at_ && PixelsBetween(*at_, twips) <= kRingRadiusPx + kHitSlackPx;
  if (pressedOnProbe_) return false;
  at_ = twips;
  return true;
}

bool ProbeControl::Drag(TwipPoint twips) {
  if (!pressing_) return false;
  const double moved = mapping_.ToLogical(std::fabs(twips.x - pressedAt_.x) +
                                          std::fabs(twips.y - pressedAt_.y));
  if (pressedOnProbe_ && moved < kDragPx) return false;  // not yet a drag
  pressedOnProbe_ = false;
  at_ = twips;
  return true;
}

bool ProbeControl::Release() {
  const bool removes = pressing_ && pressedOnProbe_;  // a click on P
  pressing_ = false;
  pressedOnProbe_ = false;
  if (removes) at_.reset();
  return removes;
}

bool ProbeControl::Key(const KeyPress& key, TwipPoint keyPlace, bool& taken) {
  taken = false;
  if (key.otherModifier) return false;
  if (key.key == Key::kEscape && at_) {
    at_.reset();
    taken = true;
    return true;
  }
  if (IsTextBox(key.focus)) return false;  // what is typed is the box's
  if (key.key == Key::kP) {
    at_ = keyPlace;
    taken = true;
    return true;
  }
  if (!at_ || key.focus == form::ControlId::kHScroll1) return false;
  const double step = mapping_.ToTwips(kStepPx * (key.shift ? kShiftSteps : 1));
  TwipPoint to = *at_;
  switch (key.key) {
    case Key::kLeft:
      to.x -= step;
      break;
    case Key::kRight:
      to.x += step;
      break;
    case Key::kUp:
      to.y -= step;
      break;
    case Key::kDown:
      to.y += step;
      break;
    default:
      return false;
  }
  at_ = to;
  taken = true;
  return true;
}

std::pair<double, double> ProbeControl::ReadoutPlace(double xPx, double yPx,
                                                     double widthPx,
                                                     double heightPx,
                                                     double clientWidthPx,
                                                     double clientHeightPx) {
  const double gap = kRingRadiusPx + kReadoutGapPx;
  double top = yPx + gap;
  if (top + heightPx > clientHeightPx) top = yPx - gap - heightPx;
  const auto within = [](double v, double room) {
    return std::clamp(v, 0.0, std::max(0.0, room));
  };
  return {std::round(within(xPx - widthPx / 2, clientWidthPx - widthPx)),
          std::round(within(top, clientHeightPx - heightPx))};
}

}  // namespace wave::window
