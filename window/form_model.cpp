// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/form_model.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "scene/path_probe.h"
#include "scene/picture_description.h"
#include "scene/probe_waves.h"
#include "scene/wave_geometry.h"
#include "window/setup_link.h"
#include "window/table_texts.h"

namespace wave::window {
namespace {

using form::ControlRow;
using form::ForEachRow;
using form::SpeedRange;

int BoxIndex(ControlId box) {
  switch (box) {
    case ControlId::kText1:
      return 0;
    case ControlId::kText2:
      return 1;
    case ControlId::kText3:
      return 2;
    default:
      return -1;
  }
}

// The scene switch a display button flips, if it is one.
std::optional<SceneSwitch> DisplaySwitch(ControlId id) {
  switch (id) {
    case ControlId::kCommand1:
      return SceneSwitch::kAntinodal;
    case ControlId::kCommand2:
      return SceneSwitch::kNodal;
    case ControlId::kCommand4:
      return SceneSwitch::kCrossings;
    default:
      return std::nullopt;
  }
}

// The bits of a value (libc++ 13 has no std::bit_cast).
template <class Bits, class Value>
Bits BitsOf(Value value) {
  static_assert(sizeof(Bits) == sizeof(Value));
  Bits bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

using text::Msg;

std::string WithState(const text::Catalog& words, std::string_view description,
                      std::string_view state) {
  return words.Format(Msg::kWithState,
                      {{"description", description}, {"state", state}});
}

FrameRasteriser::Size LayoutSize(const form::FormLayout& layout,
                                 const ScreenMapping& mapping) {
  return {std::max(1, mapping.ToPixels(layout.clientWidthTwips)),
          std::max(1, mapping.ToPixels(layout.clientHeightTwips)), 1};
}

}  // namespace

FormModel::FormModel(Edition edition, const form::FormLayout& layout,
                     const Picture& picture)
    : layout_(layout),
      mapping_{picture.dotsPerInch > 0 && std::isfinite(picture.dotsPerInch)
                   ? picture.dotsPerInch
                   : 96,
               1},
      frame_(std::make_unique<FrameRasteriser>(
          LayoutSize(layout, mapping_), mapping_.twipsPerPixel(),
          picture.background, picture.workers, picture.order)),
      scene_(edition, *frame_, *this),
      clientWidthPx_(frame_->size().width),
      clientHeightPx_(frame_->size().height) {
  ForEachRow(layout_, [this, edition](const ControlRow& row) {
    const int box = BoxIndex(row.id);
    if (box >= 0) texts_[box] = row.caption;
    if (row.id == ControlId::kLabel5) {
      view_.label5LeftTwips = static_cast<float>(row.left);
    }
    if (row.id == ControlId::kLabel7 && edition == Edition::Full) {
      view_.phaseCaption = row.caption;
    }
  });
  view_.intervalMs = form::kStoredTimerIntervalMs;
  SetLanguage(*words_);
  SetSpeed(SpeedRange::kStartMs);
  view_.probe.radiusPx = ProbeControl::kRingRadiusPx;
  UpdateSwitches();
  UpdateMenu();
  view_.changed = 0;
}

FormModel::~FormModel() = default;

const std::string& FormModel::text(ControlId box) const {
  static const std::string kNone;
  const int index = BoxIndex(box);
  return index < 0 ? kNone : texts_[index];
}

void FormModel::Begin() {
  view_.changed = 0;
  view_.keyTaken = false;
}

void FormModel::Fail(std::string_view what) {
  failed_ = true;
  view_.failure = words_->Format(Msg::kFailure, {{"what", what}});
  view_.intervalMs = 0;
  view_.changed |= FormView::kFailure | FormView::kClock;
}

void FormModel::SetSpeed(int ms) {
  view_.speedMs = ms;
  const std::string number = std::to_string(ms);
  view_.speedWords = words_->Format(Msg::kSpeedWords, {{"ms", number}});
  const FormView::ControlWords* bar = WordsOf(ControlId::kHScroll1);
  view_.speedDescription =
      words_->Format(Msg::kSpeedState,
                     {{"description", bar != nullptr ? bar->description : ""},
                      {"ms", number}});
  view_.changed |= FormView::kSpeed;
}

void FormModel::SetInterval(int ms) {
  view_.intervalMs = ms;
  view_.changed |= FormView::kClock;
}

void FormModel::SetLabel5Left(float twips) {
  if (twips == view_.label5LeftTwips) return;
  view_.label5LeftTwips = twips;
  view_.changed |= FormView::kLabel5;
}

void FormModel::ShowPhase(std::int16_t antiphase) {
  std::string caption(
      words_->Text(antiphase == 1 ? Msg::kPhaseOpposite : Msg::kPhaseInPhase));
  if (caption == view_.phaseCaption) return;
  view_.phaseCaption = std::move(caption);
  view_.changed |= FormView::kPhase;
}

const FormView& FormModel::Load(std::string_view setupLink,
                                std::span<const std::string> languages) {
  return Handle([&] {
    const SetupLink link = ReadSetupLink(setupLink);
    const text::Catalog* chosen =
        link.lang ? text::Catalog::Find(*link.lang) : nullptr;
    languageChosen_ = chosen != nullptr;
    SetLanguage(chosen != nullptr ? *chosen : text::Catalog::Choose(languages));
    for (const auto& [box, value] :
         {std::pair{0, &link.wavelength}, std::pair{1, &link.distance},
          std::pair{2, &link.dots}}) {
      if (*value) {
        texts_[box] = **value;
        view_.changed |= FormView::kTexts;
      }
    }
    if (link.speedMs) {
      SetSpeed(SpeedFromLink(*link.speedMs));
    }
    scene_.InitScene();
    SetInterval(view_.speedMs);
    for (const auto& [which, on] :
         {std::pair{SceneSwitch::kAntinodal, link.antinodal},
          std::pair{SceneSwitch::kNodal, link.nodal},
          std::pair{SceneSwitch::kCrossings, link.crossings},
          std::pair{SceneSwitch::kAntiphase, link.antiphase}}) {
      if (on) scene_.SetSwitch(which, *on);
    }
    if (link.surface) {
      scene_.Water = static_cast<WaterView>(*link.surface);
    }
    loaded_ = true;
    Settle(true);
    // The first view is shown whole.
    view_.changed |= FormView::kSpeed | FormView::kStates | FormView::kLabel5 |
                     FormView::kMenu | FormView::kWords;
    if (scene_.edition() == Edition::Full) view_.changed |= FormView::kPhase;
  });
}

int FormModel::SpeedFromLink(double ms) const {
  return static_cast<int>(std::lround(std::clamp(
      ms, double{SpeedRange::kMinimumMs}, double{SpeedRange::kMaximumMs})));
}

const FormView& FormModel::Click(ControlId id) {
  return Handle([&] {
    bool drew = true;
    switch (id) {
      case ControlId::kCommand1:
        scene_.ToggleAntinodal();
        break;
      case ControlId::kCommand2:
        scene_.ToggleNodal();
        break;
      case ControlId::kCommand3:
        scene_.StepFrame();
        break;
      case ControlId::kCommand4:
        scene_.ToggleCrossings();
        break;
      case ControlId::kCommand5:
        scene_.ResetScene();
        break;
      case ControlId::kCommand6:
        SetInterval(view_.intervalMs == 0 ? view_.speedMs : 0);
        drew = false;
        break;
      case ControlId::kCommand7:
        drew = scene_.edition() == Edition::Full;
        if (drew) scene_.TogglePhase();
        break;
      default:
        drew = false;
        break;
    }
    Settle(drew);
  });
}

const FormView& FormModel::Choose(MenuChoice choice) {
  return Handle([&] {
    const std::size_t language =
        static_cast<std::size_t>(choice) - kFirstLanguage;
    if (static_cast<std::size_t>(choice) >= kFirstLanguage &&
        language < text::Catalog::All().size()) {
      languageChosen_ = true;
      const text::Catalog& words = text::Catalog::All()[language];
      if (&words != words_) SetLanguage(words);
      Settle(false);
      return;
    }
    for (const MenuRow& row : kMenuRows) {
      if (row.id != choice) continue;
      if (row.toggle) {
        Toggle(choice);
      } else if (row.water != scene_.Water) {
        scene_.ShowWater(row.water);
        Settle(true);
      }
    }
  });
}

void FormModel::Toggle(MenuChoice choice) {
  switch (choice) {
    case MenuChoice::kTone:
      if (!soundAvailable_) return;
      tone_ = !tone_;
      toneSwitched_ = true;
      break;
    case MenuChoice::kGraph:
      graph_ = !graph_;
      break;
    case MenuChoice::kLineOrders:
      orders_ = !orders_;
      break;
    default:
      return;
  }
  Settle(false);
}

const FormView& FormModel::SoundAvailable(bool available) {
  return Handle([&] {
    if (available == soundAvailable_) return;
    soundAvailable_ = available;
    if (!available) tone_ = false;
    view_.menu.clear();  // its captions change: shown afresh
    Settle(false);
  });
}

const FormView& FormModel::Tick() {
  return Handle([&] {
    if (view_.intervalMs == 0) return;  // a late tick after a stop
    SetInterval(view_.speedMs);
    scene_.StepFrame();
    Settle(true);
  });
}

const FormView& FormModel::Type(ControlId box, std::string text) {
  return Handle([&] {
    const int index = BoxIndex(box);
    if (index < 0 || texts_[index] == text) return;
    texts_[index] = std::move(text);
    UpdateSetup();
  });
}

const FormView& FormModel::MoveSpeed(int intervalMs) {
  return Handle([&] {
    const int ms =
        std::clamp(intervalMs, SpeedRange::kMinimumMs, SpeedRange::kMaximumMs);
    if (ms == view_.speedMs) return;
    SetSpeed(ms);
    UpdateSetup();
  });
}

const FormView& FormModel::Resize(double widthPx, double heightPx,
                                  double devicePixelRatio) {
  return Handle([&] {
    const FrameRasteriser::Size now = frame_->size();
    const FrameRasteriser::Size least = LayoutSize(layout_, mapping_);
    if (!(devicePixelRatio > 0) || !std::isfinite(devicePixelRatio)) {
      devicePixelRatio = 1;
    }
    devicePixelRatio = std::clamp(devicePixelRatio, 0.25, 8.0);
    const auto side = [](double wanted, int fallback) {
      return std::isfinite(wanted) && wanted > 0
                 ? std::min(wanted, 1e5)
                 : static_cast<double>(fallback);
    };
    clientWidthPx_ = side(widthPx, least.width);
    clientHeightPx_ = side(heightPx, least.height);
    const FrameRasteriser::Size wanted{
        std::max({static_cast<int>(std::ceil(clientWidthPx_)), now.width,
                  least.width}),
        std::max({static_cast<int>(std::ceil(clientHeightPx_)), now.height,
                  least.height}),
        devicePixelRatio};
    mapping_.devicePixelRatio = devicePixelRatio;
    if (wanted.width != now.width || wanted.height != now.height ||
        wanted.devicePixelRatio != now.devicePixelRatio) {
      frame_->Resize(wanted);
      view_.changed |= FormView::kSize | FormView::kPicture;
    }
    Settle(false);
    if (view_.probe.shown) view_.changed |= FormView::kReadout;
  });
}

const FormView& FormModel::PressPicture(double xTwips, double yTwips) {
  return Handle([&] { ProbeMoved(probe_.Press({xTwips, yTwips})); });
}

const FormView& FormModel::DragPicture(double xTwips, double yTwips) {
  return Handle([&] { ProbeMoved(probe_.Drag({xTwips, yTwips})); });
}

const FormView& FormModel::ReleasePicture() {
  return Handle([&] { ProbeMoved(probe_.Release()); });
}

const FormView& FormModel::CancelPress() {
  return Handle([&] { probe_.Cancel(); });
}

const FormView& FormModel::KeyDown(const KeyPress& key) {
  // The speed bar's page keys step by its large step, slower downwards.
  if (key.focus == ControlId::kHScroll1 && !key.otherModifier &&
      (key.key == Key::kPageUp || key.key == Key::kPageDown)) {
    const int step = key.key == Key::kPageUp ? -SpeedRange::kLargeStepMs
                                             : SpeedRange::kLargeStepMs;
    MoveSpeed(view_.speedMs + step);
    view_.keyTaken = !failed_;
    return view_;
  }
  return Handle([&] {
    if (key.key == Key::kS && !key.otherModifier && !IsTextBox(key.focus)) {
      Toggle(MenuChoice::kTone);
      view_.keyTaken = true;
      return;
    }
    bool taken = false;
    ProbeMoved(probe_.Key(key, KeyPlace(), taken));
    view_.keyTaken = taken;
  });
}

const FormView& FormModel::MeasureReadout(double widthPx, double heightPx) {
  return Handle([&] {
    readoutWidthPx_ = widthPx;
    readoutHeightPx_ = heightPx;
    const auto [left, top] =
        ProbeControl::ReadoutPlace(view_.probe.xPx, view_.probe.yPx, widthPx,
                                   heightPx, clientWidthPx_, clientHeightPx_);
    if (left == view_.probe.readoutLeftPx && top == view_.probe.readoutTopPx) {
      return;
    }
    view_.probe.readoutLeftPx = left;
    view_.probe.readoutTopPx = top;
    view_.changed |= FormView::kReadout;
    UpdateGraph();
  });
}

// Between the sources, or the client area's middle when that is not in it.
TwipPoint FormModel::KeyPlace() const {
  const double mid = WaveGeometry::MidpointX(scene_.Separation);
  const double midPx = mapping_.ToLogical(mid);
  if (midPx >= 0 && midPx < clientWidthPx_) {
    return {mid, WaveGeometry::kSourceY};
  }
  return {mapping_.ToTwips(clientWidthPx_ / 2),
          mapping_.ToTwips(clientHeightPx_ / 2)};
}

// Each move is told, not each tick: the description holds the readout
// while P is there.
void FormModel::ProbeMoved(bool moved) {
  if (!moved) return;
  UpdateProbe();
  UpdateGraph();
  UpdateTone();
  view_.changed |=
      FormView::kProbe | FormView::kDescription | FormView::kAnnounce;
}

void FormModel::Settle(bool sceneRan) {
  if (sceneRan) view_.changed |= FormView::kPicture | FormView::kDescription;
  UpdateSwitches();
  UpdateMenu();
  Settings now = CurrentSettings();
  if (announced_ != now) {
    announced_ = std::move(now);
    view_.changed |= FormView::kDescription | FormView::kAnnounce;
  }
  if (probe_.at()) UpdateProbe();
  UpdateGraph();
  UpdateLabels();
  UpdateTone();
  UpdateSetup();
}

FormModel::Settings FormModel::CurrentSettings() const {
  return {scene_.ShowAntinodal,
          scene_.ShowNodal,
          scene_.ShowCrossings,
          scene_.Antiphase,
          BitsOf<std::uint32_t>(scene_.Wavelength),
          BitsOf<std::uint64_t>(scene_.Separation),
          texts_[2],
          scene_.Water,
          tone_,
          graph_,
          words_->index()};
}

bool FormModel::Checked(const MenuRow& row) const {
  switch (row.id) {
    case MenuChoice::kTone:
      return tone_;
    case MenuChoice::kGraph:
      return graph_;
    case MenuChoice::kLineOrders:
      return orders_;
    default:
      return row.water == scene_.Water;
  }
}

void FormModel::UpdateMenu() {
  std::vector<FormView::MenuItem> menu;
  std::string state;
  const text::Catalog& words = *words_;
  for (const MenuRow& row : kMenuRows) {
    const bool checked = Checked(row);
    const bool unplayable = row.id == MenuChoice::kTone && !soundAvailable_;
    const std::string_view caption = words.Text(row.caption);
    menu.push_back(
        {row.id, row.name, std::string(words.Text(row.group)),
         std::string(unplayable ? words.Text(Msg::kMenuToneUnavailable)
                                : caption),
         checked, row.toggle, !unplayable});
    // A menu's items are not heard until it opens: its button says which.
    if (checked) {
      if (!state.empty()) state += words.Text(Msg::kMenuStateJoin);
      state += caption;
    }
  }
  for (const text::Catalog& language : text::Catalog::All()) {
    menu.push_back({LanguageChoice(language.index()),
                    "language-" + std::string(language.tag()), kLanguageGroup,
                    std::string(language.Text(Msg::kLanguageName)),
                    &language == words_, false, true});
  }
  view_.menuDescription =
      WithState(words, words.Text(Msg::kMenuDescription), state);
  if (std::equal(menu.begin(), menu.end(), view_.menu.begin(), view_.menu.end(),
                 [](const auto& a, const auto& b) {
                   return a.checked == b.checked && a.caption == b.caption &&
                          a.enabled == b.enabled;
                 })) {
    return;
  }
  view_.menu = std::move(menu);
  view_.changed |= FormView::kMenu;
}

void FormModel::UpdateSwitches() {
  std::vector<FormView::Switch> switches;
  const bool running = view_.intervalMs != 0;
  ForEachRow(layout_, [&](const ControlRow& row) {
    Msg state;
    std::optional<bool> pressed;
    if (const auto which = DisplaySwitch(row.id)) {
      pressed = scene_.SwitchOn(*which);
      state = *pressed ? Msg::kStateShown : Msg::kStateHidden;
    } else if (row.id == ControlId::kCommand6) {
      state = running ? Msg::kStateMoving : Msg::kStateStopped;
    } else if (row.id == ControlId::kCommand7 &&
               scene_.edition() == Edition::Full) {
      state = scene_.Antiphase == 1 ? Msg::kStateOpposite : Msg::kStateInPhase;
    } else {
      return;
    }
    const FormView::ControlWords* words = WordsOf(row.id);
    switches.push_back(
        {row.id,
         WithState(*words_, words != nullptr ? words->description : "",
                   words_->Text(state)),
         pressed});
  });
  const auto same = [](const FormView::Switch& a, const FormView::Switch& b) {
    return a.id == b.id && a.description == b.description &&
           a.pressed == b.pressed;
  };
  if (std::equal(switches.begin(), switches.end(), view_.switches.begin(),
                 view_.switches.end(), same)) {
    return;
  }
  view_.switches = std::move(switches);
  view_.changed |= FormView::kStates;
}

void FormModel::UpdateProbe() {
  FormView::Probe next = view_.probe;
  next.shown = probe_.at().has_value();
  if (next.shown) {
    const TwipPoint at = *probe_.at();
    next.xPx = mapping_.ToLogical(at.x);
    next.yPx = mapping_.ToLogical(at.y);
    next.readout = DescribeProbe(ReadProbe(scene_, at.x, at.y), *words_);
  } else {
    next.readout.clear();
  }
  if (next.shown == view_.probe.shown && next.xPx == view_.probe.xPx &&
      next.yPx == view_.probe.yPx && next.readout == view_.probe.readout) {
    return;
  }
  view_.probe = std::move(next);
  view_.changed |= FormView::kProbe;
  // Placed with the size it had; the front end measures it again when the
  // text changed and so places it exactly.
  const auto [left, top] = ProbeControl::ReadoutPlace(
      view_.probe.xPx, view_.probe.yPx, readoutWidthPx_, readoutHeightPx_,
      clientWidthPx_, clientHeightPx_);
  view_.probe.readoutLeftPx = left;
  view_.probe.readoutTopPx = top;
  view_.changed |= FormView::kReadout;
}

void FormModel::UpdateSetup() {
  if (!loaded_) return;
  SetupLink link;
  link.wavelength = texts_[0];
  link.distance = texts_[1];
  link.dots = texts_[2];
  link.antinodal = scene_.ShowAntinodal == 1;
  link.nodal = scene_.ShowNodal == 1;
  link.crossings = scene_.ShowCrossings == 1;
  if (scene_.edition() == Edition::Full) link.antiphase = scene_.Antiphase == 1;
  link.speedMs = view_.speedMs;
  link.surface = static_cast<int>(scene_.Water);
  if (languageChosen_) link.lang = std::string(words_->tag());
  std::string setup = WriteSetupLink(link);
  if (setup == view_.setup) return;
  view_.setup = std::move(setup);
  view_.changed |= FormView::kSetup;
}

std::string FormModel::Description() const {
  const VisibleArea client{0, 0, mapping_.ToTwips(clientWidthPx_),
                           mapping_.ToTwips(clientHeightPx_)};
  const text::Catalog& words = *words_;
  std::string text = DescribePicture(scene_.Summarize(client), words);
  if (const auto& at = probe_.at()) {
    words.Append(text, ProbeSentence(ReadProbe(scene_, at->x, at->y), words));
    if (graph_) {
      words.Append(text,
                   DescribeWaves(ProbeWaves(scene_, at->x, at->y), words));
    }
    if (tone_) words.Append(text, words.Text(Msg::kToneAtP));
  } else if (tone_) {
    words.Append(text, words.Text(Msg::kToneWaiting));
  }
  // Once switched, off is said too: the switch is heard either way.
  if (!tone_ && toneSwitched_) words.Append(text, words.Text(Msg::kToneOff));
  return text;
}

// Beside the readout, on the side away from P: under it when it lies under
// P, over it when over; inside the client area.
void FormModel::UpdateGraph() {
  FormView::Graph next;
  next.shown = graph_ && view_.probe.shown;
  if (next.shown) {
    const TwipPoint at = *probe_.at();
    const ProbeWaves::Traces t =
        ProbeWaves(scene_, at.x, at.y).Trace(kGraphPoints, kGraphPeriods);
    next.a = t.a;
    next.b = t.b;
    next.sum = t.sum;
    const FormView::Probe& p = view_.probe;
    const bool under = p.readoutTopPx >= p.yPx;
    const double top = under ? p.readoutTopPx + readoutHeightPx_ + 2
                             : p.readoutTopPx - 2 - kGraphHeightPx;
    next.box = {
        std::clamp(p.readoutLeftPx, 0.0,
                   std::max(0.0, clientWidthPx_ - kGraphWidthPx)),
        std::clamp(top, 0.0, std::max(0.0, clientHeightPx_ - kGraphHeightPx)),
        kGraphWidthPx, kGraphHeightPx};
  }
  const FormView::Graph& was = view_.graph;
  if (next.shown == was.shown && next.box == was.box && next.a == was.a &&
      next.b == was.b && next.sum == was.sum) {
    return;
  }
  view_.graph = std::move(next);
  view_.changed |= FormView::kGraph;
}

void FormModel::UpdateLabels() {
  std::vector<LineLabel> labels;
  if (orders_) {
    std::vector<PixelBox> controls;
    ForEachRow(layout_, [&](const ControlRow& row) {
      const double left = row.id == ControlId::kLabel5
                              ? view_.label5LeftTwips
                              : static_cast<double>(row.left);
      controls.push_back({mapping_.ToLogical(left), mapping_.ToLogical(row.top),
                          mapping_.ToLogical(row.width),
                          mapping_.ToLogical(row.height)});
    });
    const MenuPlace& m = kMenuPlace;
    controls.push_back({mapping_.ToLogical(m.left), mapping_.ToLogical(m.top),
                        mapping_.ToLogical(m.width),
                        mapping_.ToLogical(m.height)});
    labels = PlaceLineOrders(scene_, mapping_, clientWidthPx_, clientHeightPx_,
                             controls);
  }
  if (labels == view_.labels) return;
  view_.labels = std::move(labels);
  view_.changed |= FormView::kLabels;
}

void FormModel::UpdateTone() {
  FormView::Tone next;
  next.on = tone_;
  if (tone_ && probe_.at()) {
    next.level = ProbeWaves(scene_, probe_.at()->x, probe_.at()->y).Swing() / 2;
  }
  if (next.on == view_.tone.on && next.level == view_.tone.level) return;
  view_.tone = next;
  view_.changed |= FormView::kTone;
}

const FormView::ControlWords* FormModel::WordsOf(ControlId id) const {
  for (const FormView::ControlWords& w : view_.words.controls) {
    if (w.id == id) return &w;
  }
  return nullptr;
}

// Every word afresh: the controls', the menu's, the states', the readout's
// and the picture's (told as a change of the settings).
void FormModel::SetLanguage(const text::Catalog& words) {
  words_ = &words;
  FormView::Words w;
  w.language = words.tag();
  w.face = words.Text(Msg::kFontFace);
  w.menuCaption = words.Text(Msg::kMenuCaption);
  w.pictureName = words.Text(Msg::kPictureName);
  w.readoutName = words.Text(Msg::kReadoutName);
  w.graphName = words.Text(Msg::kGraphName);
  w.graphNow = words.Text(Msg::kGraphNow);
  w.toneStream = words.Text(Msg::kToneStream);
  ForEachTableText(
      scene_.edition(), layout_,
      [&](const std::string& context, std::string_view source,
          const ControlRow* row, TableField field) {
        const std::string text(words.Text(context, source));
        if (row == nullptr) {
          w.name = text;
          return;
        }
        auto at =
            std::find_if(w.controls.begin(), w.controls.end(),
                         [row](const auto& c) { return c.id == row->id; });
        if (at == w.controls.end()) {
          at = w.controls.insert(w.controls.end(), {row->id});
        }
        (field == TableField::kCaption       ? at->caption
         : field == TableField::kDescription ? at->description
                                             : at->accessibleName) = text;
      });
  view_.words = std::move(w);
  view_.changed |= FormView::kWords;
  SetSpeed(view_.speedMs);
  if (scene_.edition() == Edition::Full) ShowPhase(scene_.Antiphase);
  if (probe_.at()) UpdateProbe();
}

}  // namespace wave::window
