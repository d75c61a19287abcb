// SPDX-License-Identifier: GPL-3.0-or-later
#include "full/controls.h"

namespace wave::full {
namespace {

using form::ControlId;
using form::ControlKind;
using form::ControlRow;
using form::FontVariant;

// id, name, kind, caption, left, top, width, height, font, focus order,
// accessible name and description;
// the rows both editions share come from controls/.
constexpr ControlRow kOwnControls[] = {
    {ControlId::kCommand7, "Command7", ControlKind::PushButton, "位相", 0, 2520,
     735, 495, FontVariant::WindowDefault, 10, "",
     "波源Bの位相を同位相と逆位相で切り替える"},
    {ControlId::kLabel7, "Label7", ControlKind::Label, "同位相", 120, 3120, 975,
     375, FontVariant::Bold14, 0, "", "波源Bの位相"},
    {ControlId::kLabel8, "Label8", ControlKind::Label, "点の大きさ", 7920, 240,
     975, 255, FontVariant::Normal10, 0, "", ""},
    {ControlId::kText3, "Text3", ControlKind::TextBox, "100", 8880, 120, 615,
     495, FontVariant::Normal14, 11, "点の大きさ",
     "山と山、谷と谷が重なる点の大きさを入力する"},
};

}  // namespace

const form::FormLayout kForm1{"Form1", 10230, 7140, kOwnControls, "波の干渉"};

}  // namespace wave::full
