// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>

#include "canvas/screen_mapping.h"
#include "controls/control_table.h"
#include "raster/frame/frame_rasteriser.h"
#include "scene/wave_scene.h"
#include "text/catalog.h"
#include "window/form_view.h"
#include "window/probe_control.h"

namespace wave::window {

// The whole behaviour of Form1 of either edition, with no toolkit: the
// desktop window and the page hand it their events and show what it
// answers. It owns the scene, the frame the scene draws into, the clock's
// interval, the texts of the boxes, the speed and the point P.
//
// Every event runs to completion inside the failure boundary: a handler
// that throws leaves a failure message, stops the clock, and from then on
// the model takes no event. After a handler that drew, the frame is whole.
class FormModel final : private FormControls {
 public:
  struct Picture {
    std::uint32_t background = 0xF0F0F0;  // 0xRRGGBB
    FrameRasteriser::PixelOrder order = FrameRasteriser::PixelOrder::kArgb32;
    int workers = 0;  // as FrameRasteriser takes them
    double dotsPerInch = 96;
  };

  FormModel(Edition edition, const form::FormLayout& layout,
            const Picture& picture);
  ~FormModel() override;
  FormModel(const FormModel&) = delete;
  FormModel& operator=(const FormModel&) = delete;

  // The load handler: the set-up of a link, if any (texts and speed before
  // the scene starts, switches after), the scene at its start, the clock at
  // the bar's interval. No frame is drawn. The language is the link's, else
  // the first of `languages` (the desktop's or the browser's, best first)
  // that a catalog serves, else Japanese.
  const FormView& Load(std::string_view setupLink = {},
                       std::span<const std::string> languages = {});
  const FormView& Click(ControlId id);
  // An item of the extras' menu chosen: a view, a switch or a language.
  const FormView& Choose(MenuChoice choice);
  // A late tick, after the clock stopped, does nothing.
  const FormView& Tick();
  // What a box holds now; read by the next frame.
  const FormView& Type(ControlId box, std::string text);
  const FormView& MoveSpeed(int intervalMs);
  // The client area in logical pixels; the frame is never smaller than the
  // layout's client area nor than it was (what was drawn stays).
  const FormView& Resize(double widthPx, double heightPx,
                         double devicePixelRatio);
  // A primary press, a move and a release on the picture, in twips.
  const FormView& PressPicture(double xTwips, double yTwips);
  const FormView& DragPicture(double xTwips, double yTwips);
  const FormView& ReleasePicture();
  const FormView& CancelPress();
  // view().keyTaken says whether the key was the form's.
  const FormView& KeyDown(const KeyPress& key);
  // The readout's size once shown with its new text: places it, and the
  // graph beside it.
  const FormView& MeasureReadout(double widthPx, double heightPx);
  // Whether the front end can play the tone: if not, the menu says so and
  // the tone stays off.
  const FormView& SoundAvailable(bool available);

  // The graph's size and how much of the waves it shows.
  static constexpr double kGraphWidthPx = 200, kGraphHeightPx = 84;
  static constexpr int kGraphPoints = 121;
  static constexpr double kGraphPeriods = 2;

  // Runs `handler` inside the failure boundary, as every event does.
  template <class Handler>
  const FormView& Handle(Handler handler);

  const FormView& view() const { return view_; }
  // The picture's description as a screen reader hears it, with P's
  // reading while P is there. Made when asked: it counts the dots.
  std::string Description() const;
  bool failed() const { return failed_; }

  const form::FormLayout& layout() const { return layout_; }
  Edition edition() const { return scene_.edition(); }
  const ScreenMapping& mapping() const { return mapping_; }
  const FrameRasteriser& frame() const { return *frame_; }
  WaveScene& scene() { return scene_; }
  const WaveScene& scene() const { return scene_; }
  const std::string& text(ControlId box) const;
  const text::Catalog& words() const { return *words_; }

 private:
  // What the picture's description depends on besides the instant: when
  // it changes, the description is announced. Compared bit for bit.
  struct Settings {
    std::int16_t antinodal, nodal, crossings, antiphase;
    std::uint32_t wavelengthBits;
    std::uint64_t separationBits;
    std::string dots;
    WaterView water;
    bool tone, graph;
    std::size_t language;
    bool operator==(const Settings&) const = default;
  };

  // FormControls, for the scene
  std::string Text1() const override { return texts_[0]; }
  std::string Text2() const override { return texts_[1]; }
  std::string Text3() const override { return texts_[2]; }
  void SetLabel5Left(float twips) override;
  void ShowPhase(std::int16_t antiphase) override;

  void Begin();
  void Fail(std::string_view what);
  void SetInterval(int ms);
  void SetSpeed(int ms);  // the bar's value and its words
  // After a handler: the states, the announcement, P's readout, the link.
  void Settle(bool sceneRan);
  void UpdateSwitches();
  void UpdateMenu();
  void UpdateProbe();
  void UpdateGraph();
  void UpdateLabels();
  void UpdateTone();
  void UpdateSetup();
  void Toggle(MenuChoice choice);
  void SetLanguage(const text::Catalog& words);
  const FormView::ControlWords* WordsOf(ControlId id) const;
  bool Checked(const MenuRow& row) const;
  void ProbeMoved(bool moved);
  TwipPoint KeyPlace() const;
  Settings CurrentSettings() const;
  int SpeedFromLink(double ms) const;

  const form::FormLayout& layout_;
  ScreenMapping mapping_;
  std::unique_ptr<FrameRasteriser> frame_;
  WaveScene scene_;
  ProbeControl probe_{mapping_};
  const text::Catalog* words_ = &text::Catalog::Source();
  bool languageChosen_ = false;  // by the link or the menu: kept in the link
  std::array<std::string, 3> texts_;
  double clientWidthPx_, clientHeightPx_;
  double readoutWidthPx_ = 0, readoutHeightPx_ = 0;
  std::optional<Settings> announced_;
  bool loaded_ = false;
  bool failed_ = false;
  bool tone_ = false, graph_ = false, orders_ = false;
  bool toneSwitched_ = false;  // by the learner, once at least
  bool soundAvailable_ = true;
  FormView view_;
};

template <class Handler>
const FormView& FormModel::Handle(Handler handler) {
  Begin();
  if (failed_) return view_;
  try {
    handler();
    frame_->Flush();
  } catch (const std::bad_alloc&) {
    Fail(words_->Text(text::Msg::kOutOfMemory));
  } catch (const std::exception& e) {
    Fail(e.what());
  } catch (...) {
    Fail(words_->Text(text::Msg::kUnknownError));
  }
  return view_;
}

}  // namespace wave::window
