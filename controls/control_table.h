// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string_view>

namespace wave::form {

enum class ControlKind { PushButton, TextBox, Label, HScrollBar };

// The four fonts a window sets, all of the face "ＭＳ Ｐゴシック".
enum class FontVariant { WindowDefault, Normal14, Bold14, Bold20, Normal10 };

// The face every variant but the window's default asks for.
inline constexpr std::string_view kFormFace = "ＭＳ Ｐゴシック";

// A variant's size in points and weight; the window's default has none of
// its own (0 points).
struct FontLook {
  double points;
  bool bold;
};
constexpr FontLook LookOf(FontVariant variant) {
  switch (variant) {
    case FontVariant::Bold14:
      return {14.25, true};
    case FontVariant::Bold20:
      return {20.25, true};
    case FontVariant::Normal10:
      return {9.75, false};
    case FontVariant::Normal14:
      return {14.25, false};
    case FontVariant::WindowDefault:
      break;
  }
  return {0, false};
}

// One control as the window is laid out at load. Places in twips.
struct ControlRow {
  std::string_view name;
  ControlKind kind;
  std::string_view caption;  // UTF-8
  int left, top, width, height;
  FontVariant font;
  int focusOrder;  // 1 first; 0 never takes the focus
  // For screen readers, in Japanese. An empty name leaves the caption as
  // the name (a label whose text changes stays current that way).
  std::string_view accessibleName;
  std::string_view description;
};

// The rows both editions share: Command1 to Command6, the wavelength and
// distance boxes with their labels, the speed bar and the source labels.
extern const std::span<const ControlRow> kSharedControls;

// A window: its caption, client area in twips, the rows it adds to the
// shared ones, and what it is called for a screen reader (the caption says
// only "Form1").
struct FormLayout {
  std::string_view caption;
  int clientWidthTwips;
  int clientHeightTwips;
  std::span<const ControlRow> ownControls;
  std::string_view accessibleName;
};

// The timer's interval before the load handler replaces it.
constexpr int kStoredTimerIntervalMs = 1000;

// The speed bar HScroll1: its value is the clock's interval in
// milliseconds; further right is faster, so its position runs opposite to
// the interval.
struct SpeedRange {
  static constexpr int kMinimumMs = 100;
  static constexpr int kMaximumMs = 1000;
  static constexpr int kStartMs = 800;
  static constexpr int kLargeStepMs = 100;
  static constexpr int kSmallStepMs = 10;
};

}  // namespace wave::form
