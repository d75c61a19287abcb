// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string_view>

namespace wave::form {

enum class ControlKind { PushButton, TextBox, Label, HScrollBar };

// The four fonts a window sets, all of the face "ＭＳ Ｐゴシック".
enum class FontVariant { WindowDefault, Normal14, Bold14, Bold20, Normal10 };

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

}  // namespace wave::form
