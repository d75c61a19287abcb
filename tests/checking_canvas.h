// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstddef>
#include <optional>
#include <string>

#include "canvas/canvas.h"
#include "canvas/water.h"
#include "scene/wave_scene.h"

namespace wave::testing {

// Canvas calls one frame may make. The densest frames known (wavelength
// 0.1 with dots at radius 10,000,000) stay well below it.
constexpr std::size_t kFrameCallBudget = 400'000;

// A canvas that draws nothing and checks what it is given: every value
// finite, and no frame (the calls from one Cls to the next) longer than a
// budget. It shows the window's picture area, so the frame leaves out what
// the real canvas would not see.
class CheckingCanvas : public Canvas {
 public:
  // 682 × 476 pixels of 15 twips, as the window at load.
  explicit CheckingCanvas(double widthTwips = 10230, double heightTwips = 7140)
      : width_(widthTwips), height_(heightTwips) {}

  void Cls() override {
    if (frameCalls > longestFrame) longestFrame = frameCalls;
    frameCalls = 0;
    ++frames;
  }
  void Shade(const WaterShade& water) override {
    Count(static_cast<float>(water.ax), static_cast<float>(water.bx),
          static_cast<float>(water.front), 0);
  }
  void Circle(float x, float y, float radius, Color) override {
    Count(x, y, radius, 0);
  }
  void Line(float x1, float y1, float x2, float y2, Color) override {
    Count(x1, y1, x2, y2);
  }
  void SetDrawWidth(int pixels) override {
    if (pixels < 1 || pixels > 4) Fault("pen width " + std::to_string(pixels));
  }
  void SetDrawStyle(int) override {}
  void SetFillStyle(int) override {}
  void SetFillColor(Color) override {}
  std::optional<VisibleArea> Visible() const override {
    const double pad = 4 * 15;
    return VisibleArea{-pad, -pad, width_ + pad, height_ + pad};
  }

  // The longest frame so far, counting the one in progress.
  std::size_t LongestFrame() const {
    return frameCalls > longestFrame ? frameCalls : longestFrame;
  }

  std::size_t frames = 0;
  std::size_t frameCalls = 0;
  std::size_t longestFrame = 0;
  std::size_t totalCalls = 0;
  std::string fault;  // the first thing that was wrong, empty if none

 private:
  void Count(float a, float b, float c, float d) {
    ++frameCalls;
    ++totalCalls;
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c) ||
        !std::isfinite(d)) {
      Fault("non-finite argument");
    }
  }
  void Fault(const std::string& what) {
    if (fault.empty()) fault = what;
  }
  double width_, height_;
};

// The three boxes, keeping nothing of what the scene tells them: a form
// that records would grow with every frame of a long run.
struct PlainForm : FormControls {
  std::string text1 = "2", text2 = "6", text3 = "100";
  std::string Text1() const override { return text1; }
  std::string Text2() const override { return text2; }
  std::string Text3() const override { return text3; }
  void SetLabel5Left(float) override {}
};

}  // namespace wave::testing
