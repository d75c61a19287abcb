// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/web_form.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "controls/switch_states.h"
#include "scene/path_probe.h"
#include "scene/picture_description.h"

namespace wave::web {
namespace {

// The page's background, as the window's palette gives it on the desktop.
constexpr std::uint32_t kBackground = 0xF0F0F0;
constexpr double kTwipsPerCssPixel = 15;

// A text as a JSON string.
std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          constexpr char kHex[] = "0123456789abcdef";
          out += "\\u00";
          out += kHex[(c >> 4) & 0xF];
          out += kHex[c & 0xF];
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

const char* KindName(form::ControlKind kind) {
  switch (kind) {
    case form::ControlKind::PushButton:
      return "button";
    case form::ControlKind::TextBox:
      return "text";
    case form::ControlKind::Label:
      return "label";
    case form::ControlKind::HScrollBar:
      break;
  }
  return "speed";
}

std::string RowJson(const form::ControlRow& c) {
  const form::FontLook look = form::LookOf(c.font);
  return "{\"name\":" + Quoted(c.name) + ",\"kind\":\"" + KindName(c.kind) +
         "\",\"caption\":" + Quoted(c.caption) +
         ",\"left\":" + std::to_string(c.left) +
         ",\"top\":" + std::to_string(c.top) +
         ",\"width\":" + std::to_string(c.width) +
         ",\"height\":" + std::to_string(c.height) +
         ",\"points\":" + std::to_string(look.points) +
         ",\"bold\":" + (look.bold ? "true" : "false") +
         ",\"focusOrder\":" + std::to_string(c.focusOrder) +
         ",\"accessibleName\":" + Quoted(c.accessibleName) +
         ",\"description\":" + Quoted(c.description) + "}";
}

}  // namespace

WebForm::WebForm(Edition edition, const form::FormLayout& layout)
    : layout_(layout),
      frame_(std::make_unique<FrameRasteriser>(
          FrameRasteriser::Size{
              static_cast<int>(layout.clientWidthTwips / kTwipsPerCssPixel),
              static_cast<int>(layout.clientHeightTwips / kTwipsPerCssPixel),
              1},
          kTwipsPerCssPixel, kBackground, 1,
          FrameRasteriser::PixelOrder::kRgba8)),
      scene_(edition, *frame_, *this) {
  for (const auto rows : {form::kSharedControls, layout.ownControls}) {
    for (const form::ControlRow& c : rows) {
      if (c.name == "Text1") texts_[0] = c.caption;
      if (c.name == "Text2") texts_[1] = c.caption;
      if (c.name == "Text3") texts_[2] = c.caption;
      if (c.name == "Label5") label5Left_ = static_cast<float>(c.left);
    }
  }
}

WebForm::~WebForm() = default;

void WebForm::Load() {
  scene_.InitScene();
  SetInterval(speedMs_);
}

bool WebForm::Click(std::string_view name) {
  if (name == "Command1") {
    scene_.ToggleAntinodal();
  } else if (name == "Command2") {
    scene_.ToggleNodal();
  } else if (name == "Command3") {
    scene_.StepFrame();
  } else if (name == "Command4") {
    scene_.ToggleCrossings();
  } else if (name == "Command5") {
    scene_.ResetScene();
  } else if (name == "Command6") {
    SetInterval(intervalMs_ == 0 ? speedMs_ : 0);
  } else if (name == "Command7" && scene_.edition() == Edition::Full) {
    scene_.TogglePhase();
  } else {
    return false;
  }
  return true;
}

void WebForm::Tick() {
  if (intervalMs_ == 0) return;  // a late tick after a stop
  SetInterval(speedMs_);
  scene_.StepFrame();
}

void WebForm::SetText(int box, std::string text) {
  if (box >= 1 && box <= 3) texts_[box - 1] = std::move(text);
}

void WebForm::SetSpeed(int intervalMs) {
  speedMs_ = std::clamp(intervalMs, form::SpeedRange::kMinimumMs,
                        form::SpeedRange::kMaximumMs);
}

void WebForm::Resize(int width, int height, double devicePixelRatio) {
  const int minWidth =
      static_cast<int>(layout_.clientWidthTwips / kTwipsPerCssPixel);
  const int minHeight =
      static_cast<int>(layout_.clientHeightTwips / kTwipsPerCssPixel);
  if (!(devicePixelRatio > 0) || !std::isfinite(devicePixelRatio)) {
    devicePixelRatio = 1;
  }
  const FrameRasteriser::Size size{std::max(width, minWidth),
                                   std::max(height, minHeight),
                                   std::clamp(devicePixelRatio, 0.25, 8.0)};
  const FrameRasteriser::Size now = frame_->size();
  if (size.width == now.width && size.height == now.height &&
      size.devicePixelRatio == now.devicePixelRatio) {
    return;
  }
  frame_->Resize(size);
}

void WebForm::SetSwitch(std::string_view name, bool on) {
  const std::int16_t value = on ? 1 : 0;
  if (name == "antinodal") scene_.ShowAntinodal = value;
  if (name == "nodal") scene_.ShowNodal = value;
  if (name == "crossings") scene_.ShowCrossings = value;
  if (name == "antiphase" && scene_.edition() == Edition::Full) {
    scene_.Antiphase = value;
  }
}

bool WebForm::SwitchOn(std::string_view name) const {
  if (name == "antinodal") return scene_.ShowAntinodal == 1;
  if (name == "nodal") return scene_.ShowNodal == 1;
  if (name == "crossings") return scene_.ShowCrossings == 1;
  return name == "antiphase" && scene_.Antiphase == 1;
}

std::string WebForm::phaseCaption() const {
  return scene_.Antiphase == 1 ? "逆位相" : "同位相";
}

std::string WebForm::Description() const {
  const FrameRasteriser::Size size = frame_->size();
  const VisibleArea client{0, 0, size.width * kTwipsPerCssPixel,
                           size.height * kTwipsPerCssPixel};
  std::string text = DescribePicture(scene_.Summarize(client));
  if (probe_) {
    text += ProbeSentence(ReadProbe(scene_, probe_->first, probe_->second));
  }
  return text;
}

std::string WebForm::ProbeText() const {
  if (!probe_) return {};
  return DescribeProbe(ReadProbe(scene_, probe_->first, probe_->second));
}

std::string WebForm::StateOf(std::string_view name) const {
  const std::string state = form::SwitchState(name, scene_, intervalMs_ != 0);
  if (state.empty()) return state;
  for (const auto rows : {form::kSharedControls, layout_.ownControls}) {
    for (const form::ControlRow& c : rows) {
      if (c.name == name) return form::WithState(c.description, state);
    }
  }
  return {};
}

bool WebForm::SettingsChanged() {
  std::string settings = form::SettingsKey(scene_, texts_[2]);
  if (settings == announced_) return false;
  announced_ = std::move(settings);
  return true;
}

std::string WebForm::ControlsJson() const {
  std::string json =
      "{\"caption\":" + Quoted(layout_.caption) +
      ",\"accessibleName\":" + Quoted(layout_.accessibleName) +
      ",\"width\":" + std::to_string(layout_.clientWidthTwips) +
      ",\"height\":" + std::to_string(layout_.clientHeightTwips) +
      ",\"face\":" + Quoted(form::kFormFace) +
      ",\"speed\":{\"min\":" + std::to_string(form::SpeedRange::kMinimumMs) +
      ",\"max\":" + std::to_string(form::SpeedRange::kMaximumMs) +
      ",\"start\":" + std::to_string(form::SpeedRange::kStartMs) +
      ",\"large\":" + std::to_string(form::SpeedRange::kLargeStepMs) +
      ",\"small\":" + std::to_string(form::SpeedRange::kSmallStepMs) +
      "},\"controls\":[";
  bool first = true;
  for (const auto rows : {form::kSharedControls, layout_.ownControls}) {
    for (const form::ControlRow& c : rows) {
      if (!first) json += ",";
      first = false;
      json += RowJson(c);
    }
  }
  return json + "]}";
}

}  // namespace wave::web
