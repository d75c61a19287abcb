// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "controls/control_table.h"
#include "raster/frame/frame_rasteriser.h"
#include "scene/wave_scene.h"

namespace wave::web {

// Form1 of either edition as a page shows it: the scene, its frame in RGBA
// and the clock's interval, driven by the page's events. The page only
// builds the controls from the same table, hands over what is typed and
// clicked, and shows the pixels; every rule is here.
class WebForm : public FormControls {
 public:
  WebForm(Edition edition, const form::FormLayout& layout);
  ~WebForm() override;

  // The load handler: the scene at its start, the clock at the bar's
  // interval. No frame is drawn.
  void Load();
  // A click on a button of the table; false when no button has that name.
  bool Click(std::string_view name);
  // A tick of the clock: the interval taken again from the bar, one frame.
  void Tick();
  void SetText(int box, std::string text);  // 1, 2 or 3
  void SetSpeed(int intervalMs);
  // The picture's area in CSS pixels and device pixels to one.
  void Resize(int width, int height, double devicePixelRatio);
  // Switches as a shared link gives them, before the first frame.
  void SetSwitch(std::string_view name, bool on);
  // Runs an event handler; a failure is kept (failure()) and the clock
  // stops, as the window reports and ends.
  template <class Handler>
  bool Handle(Handler handler);

  const std::string& failure() const { return failure_; }
  int intervalMs() const { return intervalMs_; }
  // Counts the times the interval was set: each setting starts the wait
  // afresh, as a running timer's does.
  int clockEpoch() const { return clockEpoch_; }
  bool SwitchOn(std::string_view name) const;
  int speedMs() const { return speedMs_; }
  const FrameRasteriser& frame() const { return *frame_; }
  WaveScene& scene() { return scene_; }
  // Where Label5 is, in twips; the phase label's caption.
  float label5LeftTwips() const { return label5Left_; }
  std::string phaseCaption() const;
  // The picture's description, as a screen reader hears it.
  std::string Description() const;
  // A button's description with its state, for the switches; else empty.
  std::string StateOf(std::string_view name) const;
  // Whether a setting changed since the last time this said so: then the
  // description is announced (never for a tick that only moved the waves).
  bool SettingsChanged();
  // The point P in twips, or none; its readout against the last frame, or
  // empty without P.
  void SetProbe(std::optional<std::pair<double, double>> twips) {
    probe_ = twips;
  }
  bool hasProbe() const { return probe_.has_value(); }
  std::string ProbeText() const;
  // The controls, as JSON for the page to build.
  std::string ControlsJson() const;

  // FormControls
  std::string Text1() const override { return texts_[0]; }
  std::string Text2() const override { return texts_[1]; }
  std::string Text3() const override { return texts_[2]; }
  void SetLabel5Left(float twips) override { label5Left_ = twips; }

 private:
  const form::FormLayout& layout_;
  std::string texts_[3];
  float label5Left_;
  int speedMs_ = form::SpeedRange::kStartMs;
  int intervalMs_ = form::kStoredTimerIntervalMs;
  int clockEpoch_ = 0;
  void SetInterval(int ms) {
    intervalMs_ = ms;
    ++clockEpoch_;
  }
  std::unique_ptr<FrameRasteriser> frame_;
  WaveScene scene_;
  std::string announced_;
  std::optional<std::pair<double, double>> probe_;
  std::string failure_;
};

template <class Handler>
bool WebForm::Handle(Handler handler) {
  if (!failure_.empty()) return false;
  try {
    handler();
    frame_->Flush();
    return true;
  } catch (const std::bad_alloc&) {
    failure_ = "メモリが足りません。";
  } catch (const std::exception& e) {
    failure_ = e.what();
  } catch (...) {
    failure_ = "不明なエラーです。";
  }
  SetInterval(0);
  return false;
}

}  // namespace wave::web
