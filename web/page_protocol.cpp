// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/page_protocol.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "canvas/number_text.h"

namespace wave::web {
namespace {

using form::ControlId;
using form::ControlRow;
using window::FormView;

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

std::string Number(double value) {
  return std::isfinite(value) ? ShortestText(value) : "0";
}

// CSS pixels of a font's size at 96 dots per inch.
double FontPx(double points) { return points * 96 / 72; }

std::string RowJson(const form::FormLayout& layout, const ControlRow& c,
                    const ScreenMapping& m) {
  const form::FontLook look = form::LookOf(c.font);
  const ControlRow* named = form::LabelledControl(layout, c);
  return "{\"id\":" + std::to_string(static_cast<int>(c.id)) +
         ",\"name\":" + Quoted(c.name) + ",\"kind\":\"" + KindName(c.kind) +
         "\",\"caption\":" + Quoted(c.caption) +
         ",\"left\":" + std::to_string(m.ToPixels(c.left)) +
         ",\"top\":" + std::to_string(m.ToPixels(c.top)) +
         ",\"width\":" + std::to_string(m.ToPixels(c.width)) +
         ",\"height\":" + std::to_string(m.ToPixels(c.height)) +
         ",\"fontPx\":" + Number(FontPx(look.points)) +
         ",\"bold\":" + (look.bold ? "true" : "false") +
         ",\"focusable\":" + (c.focusOrder > 0 ? "true" : "false") +
         ",\"labelFor\":" + Quoted(named != nullptr ? named->name : "") +
         ",\"accessibleName\":" + Quoted(c.accessibleName) +
         ",\"description\":" + Quoted(c.description) + "}";
}

// A number from the event line, or NaN.
double Read(std::string_view& rest) {
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  const std::size_t end = std::min(rest.find(' '), rest.size());
  const std::string word(rest.substr(0, end));
  rest.remove_prefix(end);
  char* stop = nullptr;
  const double value = std::strtod(word.c_str(), &stop);
  return word.empty() || *stop != '\0' ? std::nan("") : value;
}

std::string Word(std::string_view& rest) {
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  const std::size_t end = std::min(rest.find(' '), rest.size());
  std::string word(rest.substr(0, end));
  rest.remove_prefix(end);
  return word;
}

std::optional<ControlId> IdOf(double value) {
  if (!(value >= 0 && value < form::kControlIds) ||
      value != std::floor(value)) {
    return std::nullopt;
  }
  return static_cast<ControlId>(static_cast<int>(value));
}

window::Key KeyNamed(std::string_view name) {
  using window::Key;
  if (name == "p" || name == "P") return Key::kP;
  if (name == "s" || name == "S") return Key::kS;
  if (name == "Escape") return Key::kEscape;
  if (name == "ArrowLeft") return Key::kLeft;
  if (name == "ArrowRight") return Key::kRight;
  if (name == "ArrowUp") return Key::kUp;
  if (name == "ArrowDown") return Key::kDown;
  if (name == "PageUp") return Key::kPageUp;
  if (name == "PageDown") return Key::kPageDown;
  return Key::kOther;
}

const FormView& Apply(window::FormModel& model, std::string_view line) {
  const std::string verb = Word(line);
  const double px = model.mapping().twipsPerPixel();
  if (verb == "load") {
    // The browser's languages, best first, then the fragment.
    std::vector<std::string> languages;
    std::string list = Word(line);
    for (std::size_t at = 0; at < list.size();) {
      const std::size_t end = std::min(list.find(',', at), list.size());
      languages.push_back(list.substr(at, end - at));
      at = end + 1;
    }
    if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    return model.Load(line, languages);
  }
  if (verb == "tick") return model.Tick();
  if (verb == "release") return model.ReleasePicture();
  if (verb == "cancel") return model.CancelPress();
  if (verb == "click" || verb == "type") {
    const std::optional<ControlId> id = IdOf(Read(line));
    if (!id) return model.Handle([] {});
    if (verb == "click") return model.Click(*id);
    if (!line.empty()) line.remove_prefix(1);
    return model.Type(*id, std::string(line));
  }
  if (verb == "speed") {
    const double ms = Read(line);
    if (!std::isfinite(ms)) return model.Handle([] {});
    return model.MoveSpeed(static_cast<int>(std::clamp(ms, -1e9, 1e9)));
  }
  if (verb == "resize") {
    const double w = Read(line), h = Read(line), ratio = Read(line);
    return model.Resize(w, h, ratio);
  }
  if (verb == "press" || verb == "drag") {
    const double x = Read(line) * px, y = Read(line) * px;
    if (!std::isfinite(x) || !std::isfinite(y)) return model.Handle([] {});
    return verb == "press" ? model.PressPicture(x, y) : model.DragPicture(x, y);
  }
  if (verb == "key") {
    window::KeyPress key;
    key.shift = Read(line) == 1;
    key.otherModifier = Read(line) == 1;
    key.focus = IdOf(Read(line));
    if (!line.empty()) line.remove_prefix(1);
    key.key = KeyNamed(line);
    return model.KeyDown(key);
  }
  if (verb == "choose") {
    const std::string name = Word(line);
    for (const FormView::MenuItem& item : model.view().menu) {
      if (name == item.name) return model.Choose(item.id);
    }
    return model.Handle([] {});
  }
  if (verb == "sound") return model.SoundAvailable(Read(line) == 1);
  if (verb == "readout") {
    const double w = Read(line), h = Read(line);
    return model.MeasureReadout(std::isfinite(w) ? w : 0,
                                std::isfinite(h) ? h : 0);
  }
  return model.Handle([] {});
}

std::string BoxJson(const window::PixelBox& b) {
  return "[" + Number(b.left) + "," + Number(b.top) + "," + Number(b.width) +
         "," + Number(b.height) + "]";
}

// The traces themselves go by memory (PackGraph): a tick's worth of
// numbers as text would cost the page more than the frame.
std::string GraphJson(const FormView::Graph& g) {
  if (!g.shown) return "{\"shown\":false}";
  return "{\"shown\":true,\"box\":" + BoxJson(g.box) +
         ",\"points\":" + std::to_string(g.sum.size()) + "}";
}

std::string ProbeJson(const FormView::Probe& p) {
  return "{\"shown\":" + std::string(p.shown ? "true" : "false") +
         ",\"x\":" + Number(p.xPx) + ",\"y\":" + Number(p.yPx) +
         ",\"radius\":" + Number(p.radiusPx) +
         ",\"readout\":" + Quoted(p.readout) + "}";
}

std::string_view NameOf(const window::FormModel& model, ControlId id) {
  std::string_view name;
  form::ForEachRow(model.layout(), [&](const ControlRow& row) {
    if (row.id == id) name = row.name;
  });
  return name;
}

// What changed on the controls, each by its name: its left edge, caption,
// value (with its words), text, description and pressed state.
std::string ControlsChanged(const window::FormModel& model, const FormView& v) {
  std::vector<std::pair<ControlId, std::string>> changes;
  const auto note = [&](ControlId id, const std::string& part) {
    for (auto& [known, parts] : changes) {
      if (known == id) {
        parts += "," + part;
        return;
      }
    }
    changes.emplace_back(id, part);
  };
  if (v.Changed(FormView::kLabel5)) {
    note(ControlId::kLabel5,
         "\"left\":" +
             std::to_string(model.mapping().ToPixels(v.label5LeftTwips)));
  }
  if (v.Changed(FormView::kPhase)) {
    note(ControlId::kLabel7, "\"caption\":" + Quoted(v.phaseCaption));
  }
  if (v.Changed(FormView::kStates)) {
    for (const FormView::Switch& s : v.switches) {
      std::string part = "\"description\":" + Quoted(s.description);
      if (s.pressed)
        part += ",\"pressed\":" + std::string(*s.pressed ? "true" : "false");
      note(s.id, part);
    }
  }
  if (v.Changed(FormView::kSpeed)) {
    note(ControlId::kHScroll1, "\"value\":" + std::to_string(v.speedMs) +
                                   ",\"valueText\":" + Quoted(v.speedWords));
  }
  if (v.Changed(FormView::kTexts)) {
    for (const ControlId box :
         {ControlId::kText1, ControlId::kText2, ControlId::kText3}) {
      note(box, "\"text\":" + Quoted(model.text(box)));
    }
  }
  std::string json = "[";
  for (const auto& [id, parts] : changes) {
    const std::string_view name = NameOf(model, id);
    if (name.empty()) continue;
    if (json.size() > 1) json += ",";
    json += "{\"name\":" + Quoted(name) + "," + parts + "}";
  }
  return json + "]";
}

// Every word of the form in the language chosen; the controls by name.
std::string WordsJson(const window::FormModel& model,
                      const FormView::Words& w) {
  std::string controls = "[";
  for (const FormView::ControlWords& c : w.controls) {
    if (controls.size() > 1) controls += ",";
    controls += "{\"name\":" + Quoted(NameOf(model, c.id)) +
                ",\"caption\":" + Quoted(c.caption) +
                ",\"accessibleName\":" + Quoted(c.accessibleName) +
                ",\"description\":" + Quoted(c.description) + "}";
  }
  return "{\"language\":" + Quoted(w.language) + ",\"face\":" + Quoted(w.face) +
         ",\"name\":" + Quoted(w.name) +
         ",\"menuCaption\":" + Quoted(w.menuCaption) +
         ",\"pictureName\":" + Quoted(w.pictureName) +
         ",\"graphNow\":" + Quoted(w.graphNow) + ",\"controls\":" + controls +
         "]}";
}

}  // namespace

void PackGraph(const FormView::Graph& g, std::vector<float>& out) {
  out.clear();
  for (const auto* trace : {&g.a, &g.b, &g.sum}) {
    out.insert(out.end(), trace->begin(), trace->end());
  }
}

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

std::string ControlsJson(const window::FormModel& model) {
  const form::FormLayout& layout = model.layout();
  const ScreenMapping& m = model.mapping();
  // Labels first, so that the windowed controls lie over them, then those
  // in their focus order, which is the page's order too.
  std::vector<const ControlRow*> rows;
  form::ForEachRow(layout,
                   [&](const ControlRow& row) { rows.push_back(&row); });
  std::stable_sort(rows.begin(), rows.end(),
                   [](const ControlRow* a, const ControlRow* b) {
                     return a->focusOrder < b->focusOrder;
                   });
  std::string json =
      "{\"caption\":" + Quoted(layout.caption) +
      ",\"accessibleName\":" + Quoted(layout.accessibleName) +
      ",\"face\":" + Quoted(form::kFormFace) +
      ",\"speed\":{\"min\":" + std::to_string(form::SpeedRange::kMinimumMs) +
      ",\"max\":" + std::to_string(form::SpeedRange::kMaximumMs) +
      ",\"small\":" + std::to_string(form::SpeedRange::kSmallStepMs) +
      "},\"captionFit\":{\"startPx\":" +
      Number(FontPx(form::CaptionFit::kPagePoints)) +
      ",\"smallestPx\":" + Number(FontPx(form::CaptionFit::kSmallestPoints)) +
      ",\"stepPx\":" + Number(FontPx(form::CaptionFit::kStepPoints)) +
      ",\"sparePx\":" + std::to_string(form::CaptionFit::kSparePx) +
      "},\"controls\":[";
  bool first = true;
  for (const ControlRow* row : rows) {
    if (!first) json += ",";
    first = false;
    json += RowJson(layout, *row, m);
  }
  const window::MenuPlace& at = window::kMenuPlace;
  json += "],\"menu\":{\"caption\":" + Quoted(model.view().words.menuCaption) +
          ",\"left\":" + std::to_string(m.ToPixels(at.left)) +
          ",\"top\":" + std::to_string(m.ToPixels(at.top)) +
          ",\"width\":" + std::to_string(m.ToPixels(at.width)) +
          ",\"height\":" + std::to_string(m.ToPixels(at.height)) +
          ",\"items\":[";
  first = true;
  for (const FormView::MenuItem& item : model.view().menu) {
    if (!first) json += ",";
    first = false;
    json += "{\"name\":" + Quoted(item.name) +
            ",\"group\":" + Quoted(item.group) +
            ",\"caption\":" + Quoted(item.caption) +
            ",\"toggle\":" + (item.toggle ? "true" : "false") + "}";
  }
  return json + "]}}";
}

std::string Dispatch(window::FormModel& model, std::string_view event) {
  const FormView& v = Apply(model, event);
  std::string json = "{";
  const auto add = [&json](std::string_view key, const std::string& value) {
    if (json.size() > 1) json += ",";
    json += "\"";
    json += key;
    json += "\":";
    json += value;
  };
  if (v.Changed(FormView::kFailure)) {
    add("failure", Quoted(v.failure));
    return json + "}";
  }
  if (v.keyTaken) add("keyTaken", "true");
  if (v.Changed(FormView::kWords)) add("words", WordsJson(model, v.words));
  if (v.Changed(FormView::kPicture)) add("picture", "true");
  if (v.Changed(FormView::kSize)) {
    const FrameRasteriser::Size size = model.frame().size();
    add("size", "[" + std::to_string(size.width) + "," +
                    std::to_string(size.height) + "]");
  }
  if (v.Changed(FormView::kLabel5 | FormView::kPhase | FormView::kStates |
                FormView::kSpeed | FormView::kTexts)) {
    add("controls", ControlsChanged(model, v));
  }
  if (v.Changed(FormView::kDescription)) {
    add("description", Quoted(model.Description()));
  }
  if (v.Changed(FormView::kAnnounce)) add("announce", "true");
  if (v.Changed(FormView::kClock))
    add("interval", std::to_string(v.intervalMs));
  if (v.Changed(FormView::kProbe)) add("probe", ProbeJson(v.probe));
  if (v.Changed(FormView::kReadout)) {
    add("readout", "[" + Number(v.probe.readoutLeftPx) + "," +
                       Number(v.probe.readoutTopPx) + "]");
  }
  if (v.Changed(FormView::kMenu)) {
    std::string items = "[";
    for (const FormView::MenuItem& item : v.menu) {
      if (items.size() > 1) items += ",";
      items += "{\"name\":" + Quoted(item.name) +
               ",\"group\":" + Quoted(item.group) +
               ",\"caption\":" + Quoted(item.caption) +
               ",\"checked\":" + (item.checked ? "true" : "false") +
               ",\"enabled\":" + (item.enabled ? "true" : "false") + "}";
    }
    add("menu", items + "]");
    add("menuDescription", Quoted(v.menuDescription));
  }
  if (v.Changed(FormView::kGraph)) add("graph", GraphJson(v.graph));
  if (v.Changed(FormView::kLabels)) {
    std::string labels = "[";
    for (const window::LineLabel& l : v.labels) {
      if (labels.size() > 1) labels += ",";
      labels += "{\"text\":" + Quoted(l.text) +
                ",\"antinodal\":" + (l.antinodal ? "true" : "false") +
                ",\"box\":" + BoxJson(l.box) + "}";
    }
    add("labels", labels + "]");
  }
  if (v.Changed(FormView::kTone)) {
    add("tone", "{\"on\":" + std::string(v.tone.on ? "true" : "false") +
                    ",\"level\":" + Number(v.tone.level) + "}");
  }
  if (v.Changed(FormView::kSetup)) add("setup", Quoted(v.setup));
  return json + "}";
}

}  // namespace wave::web
