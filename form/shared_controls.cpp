#include "form/control_table.h"

namespace wave::form {
namespace {

constexpr ControlKind Button = ControlKind::PushButton;
constexpr ControlKind Box = ControlKind::TextBox;
constexpr ControlKind Label = ControlKind::Label;
constexpr FontVariant Default = FontVariant::WindowDefault;
constexpr FontVariant Normal14 = FontVariant::Normal14;

// name, kind, caption, left, top, width, height, font, focus order
constexpr ControlRow kShared[] = {
    {"Command3", Button, "駒送り", 0, 0, 735, 615, Default, 3},
    {"Command1", Button, "腹線", 960, 0, 735, 615, Default, 1},
    {"Command2", Button, "節線", 1920, 0, 735, 615, Default, 2},
    {"Command4", Button, "山と谷", 0, 720, 735, 495, Default, 6},
    {"Command5", Button, "リセット", 0, 1320, 735, 495, Default, 7},
    {"Command6", Button, "自動/手動", 0, 1920, 735, 495, Default, 8},
    {"Label1", Label, "波長", 2760, 120, 615, 375, Normal14, 0},
    {"Text1", Box, "2", 3480, 120, 615, 375, Normal14, 4},
    {"Label2", Label, "距離", 4320, 120, 615, 375, Normal14, 0},
    {"Text2", Box, "6", 5040, 120, 615, 375, Normal14, 5},
    {"Label6", Label, "速さ", 5880, 120, 615, 375, Normal14, 0},
    {"HScroll1", ControlKind::HScrollBar, "", 6480, 120, 1335, 495, Default, 9},
    {"Label3", Label, "Ａ", 3850, 4080, 375, 375, FontVariant::Bold20, 0},
    {"Label5", Label, "B", 6960, 4080, 375, 375, FontVariant::Bold20, 0},
};

}  // namespace

const std::span<const ControlRow> kSharedControls = kShared;

}  // namespace wave::form
