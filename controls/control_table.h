// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace wave::form {

enum class ControlKind { PushButton, TextBox, Label, HScrollBar };

// Which control a row is: behaviour goes by this, never by the name. The
// six-button edition's dot-size label is its Label7; the full edition's
// Label7 shows the phase and its dot-size label is Label8.
enum class ControlId : std::uint8_t {
  kCommand1,
  kCommand2,
  kCommand3,
  kCommand4,
  kCommand5,
  kCommand6,
  kCommand7,
  kText1,
  kText2,
  kText3,
  kHScroll1,
  kLabel1,
  kLabel2,
  kLabel3,
  kLabel5,
  kLabel6,
  kLabel7,
  kLabel8,
};
inline constexpr int kControlIds = 18;

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
  ControlId id;
  std::string_view name;  // the toolkit's name: object name, element id
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

// The control a label names: the one whose accessible name is the label's
// caption (波長 the wavelength box, 速さ the speed bar, …), so that a screen
// reader reads them as a pair; none for a label that names no control.
const ControlRow* LabelledControl(const FormLayout& layout,
                                  const ControlRow& label);

// The layout's rows: the shared ones, then the window's own.
template <class Body>
void ForEachRow(const FormLayout& layout, Body body) {
  for (const auto rows : {kSharedControls, layout.ownControls}) {
    for (const ControlRow& row : rows) body(row);
  }
}

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

// The buttons' captions share one font, the largest in which each fits
// inside its button with kSparePx to spare on either side besides the
// frame; from the window's default size down in steps, never below the
// smallest. A page has no window default font: it starts from kPagePoints.
struct CaptionFit {
  static constexpr double kPagePoints = 9;
  static constexpr double kSmallestPoints = 5;
  static constexpr double kStepPoints = 0.25;
  static constexpr int kSparePx = 2;
};

}  // namespace wave::form
