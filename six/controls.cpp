// SPDX-License-Identifier: GPL-3.0-or-later
#include "six/controls.h"

namespace wave::six {
namespace {

using form::ControlId;
using form::ControlKind;
using form::ControlRow;
using form::FontVariant;

// id, name, kind, caption, left, top, width, height, font, focus order,
// accessible name and description;
// the rows both editions share come from controls/.
constexpr ControlRow kOwnControls[] = {
    {ControlId::kLabel7, "Label7", ControlKind::Label, "点の大きさ", 8040, 120,
     975, 375, FontVariant::Normal10, 0, "", ""},
    {ControlId::kText3, "Text3", ControlKind::TextBox, "100", 9000, 120, 735,
     420, FontVariant::Normal14, 10, "点の大きさ",
     "山と山、谷と谷が重なる点の大きさを入力する"},
};

}  // namespace

const form::FormLayout kForm1{"Form1", 10230, 7140, kOwnControls,
                              "波の干渉（六ボタン版）"};

}  // namespace wave::six
