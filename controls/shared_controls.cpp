// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/control_table.h"

namespace wave::form {
namespace {

constexpr ControlKind Button = ControlKind::PushButton;
constexpr ControlKind Box = ControlKind::TextBox;
constexpr ControlKind Label = ControlKind::Label;
constexpr FontVariant Default = FontVariant::WindowDefault;
constexpr FontVariant Normal14 = FontVariant::Normal14;

// id, name, kind, caption, left, top, width, height, font, focus order,
// accessible name and description
constexpr ControlRow kShared[] = {
    {ControlId::kCommand3, "Command3", Button, "駒送り", 0, 0, 735, 615,
     Default, 3, "", "波を一コマ進める"},
    {ControlId::kCommand1, "Command1", Button, "腹線", 960, 0, 735, 615,
     Default, 1, "", "腹線の表示を切り替える"},
    {ControlId::kCommand2, "Command2", Button, "節線", 1920, 0, 735, 615,
     Default, 2, "", "節線の表示を切り替える"},
    {ControlId::kCommand4, "Command4", Button, "山と谷", 0, 720, 735, 495,
     Default, 6, "", "山と山、谷と谷が重なる点の表示を切り替える"},
    {ControlId::kCommand5, "Command5", Button, "リセット", 0, 1320, 735, 495,
     Default, 7, "", "波を最初の状態に戻す"},
    {ControlId::kCommand6, "Command6", Button, "自動/手動", 0, 1920, 735, 495,
     Default, 8, "", "波の動きを止める、または動かす"},
    {ControlId::kLabel1, "Label1", Label, "波長", 2760, 120, 615, 375, Normal14,
     0, "", ""},
    {ControlId::kText1, "Text1", Box, "2", 3480, 120, 615, 375, Normal14, 4,
     "波長", "波長を入力する"},
    {ControlId::kLabel2, "Label2", Label, "距離", 4320, 120, 615, 375, Normal14,
     0, "", ""},
    {ControlId::kText2, "Text2", Box, "6", 5040, 120, 615, 375, Normal14, 5,
     "距離", "波源Ａと波源Bの距離を入力する"},
    {ControlId::kLabel6, "Label6", Label, "速さ", 5880, 120, 615, 375, Normal14,
     0, "", ""},
    {ControlId::kHScroll1, "HScroll1", ControlKind::HScrollBar, "", 6480, 120,
     1335, 495, Default, 9, "速さ", "波の動く速さを変える。右ほど速い"},
    {ControlId::kLabel3, "Label3", Label, "Ａ", 3850, 4080, 375, 375,
     FontVariant::Bold20, 0, "波源Ａ", ""},
    {ControlId::kLabel5, "Label5", Label, "B", 6960, 4080, 375, 375,
     FontVariant::Bold20, 0, "波源B", ""},
};

}  // namespace

const std::span<const ControlRow> kSharedControls = kShared;

const ControlRow* LabelledControl(const FormLayout& layout,
                                  const ControlRow& label) {
  if (label.kind != ControlKind::Label) return nullptr;
  const ControlRow* named = nullptr;
  ForEachRow(layout, [&](const ControlRow& row) {
    if (row.kind != ControlKind::Label && row.accessibleName == label.caption) {
      named = &row;
    }
  });
  return named;
}

}  // namespace wave::form
