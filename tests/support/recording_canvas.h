// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "canvas/canvas.h"
#include "scene/wave_scene.h"

namespace wave::testing {

enum class Op {
  Cls,
  Circle,
  Line,
  DrawWidth,
  DrawStyle,
  FillStyle,
  FillColor,
  Shade
};

// One canvas call with its arguments and the drawing state in force.
struct Call {
  Op op;
  // Circle: x, y, r; Line: x1, y1, x2, y2; Shade: B's x, front, wavelength
  // and the view in `color` (the whole shade in `water`)
  float a = 0, b = 0, c = 0, d = 0;
  Color color = 0;  // colour, or the property's new value
  int drawWidth = 0, drawStyle = 0, fillStyle = 0;
  Color fillColor = 0;
  WaterShade water{};

  bool operator==(const Call&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Call& call);

class RecordingCanvas : public Canvas {
 public:
  void Cls() override;
  void Shade(const WaterShade& water) override;
  void Circle(float x, float y, float radius, Color color) override;
  void Line(float x1, float y1, float x2, float y2, Color color) override;
  void SetDrawWidth(int pixels) override;
  void SetDrawStyle(int style) override;
  void SetFillStyle(int style) override;
  void SetFillColor(Color color) override;

  // The area the canvas reports as shown: none (the default) gets every
  // call of the rules; with one the frame may leave out what cannot be seen.
  std::optional<VisibleArea> area;
  std::optional<VisibleArea> Visible() const override { return area; }

  std::vector<Call> calls;

  std::vector<Call> Circles() const { return Only(Op::Circle); }
  std::vector<Call> Lines() const { return Only(Op::Line); }
  std::vector<Call> Only(Op op) const;
  std::vector<Call> CirclesIn(Color color) const;

 private:
  Call Stamp(Op op) const;
  int drawWidth_ = 1, drawStyle_ = 0, fillStyle_ = 1;
  Color fillColor_ = 0;
};

// The three boxes and the labels the scene talks to.
class FakeForm : public FormControls {
 public:
  std::string text1 = "2", text2 = "6", text3 = "100";
  std::vector<float> label5Lefts;
  std::vector<std::int16_t> phases;
  RecordingCanvas* canvas = nullptr;  // to note when the phase was shown
  std::size_t phaseShownAtCall = 0;

  std::string Text1() const override { return text1; }
  std::string Text2() const override { return text2; }
  std::string Text3() const override { return text3; }
  void SetLabel5Left(float twips) override { label5Lefts.push_back(twips); }
  void ShowPhase(std::int16_t antiphase) override {
    phases.push_back(antiphase);
    if (canvas != nullptr) phaseShownAtCall = canvas->calls.size();
  }
};

}  // namespace wave::testing
