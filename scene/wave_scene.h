// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "canvas/canvas.h"
#include "canvas/water.h"

namespace wave {

// What a frame reads from and writes to its window.
class FormControls {
 public:
  virtual ~FormControls() = default;
  virtual std::string Text1() const = 0;  // wavelength box
  virtual std::string Text2() const = 0;  // separation box
  virtual std::string Text3() const = 0;  // marker radius box
  virtual void SetLabel5Left(float twips) = 0;
  // Called by TogglePhase after the phase has flipped, before the redraw.
  virtual void ShowPhase(std::int16_t /*antiphase*/) {}
};

// The scene's four switches.
enum class SceneSwitch { kAntinodal, kNodal, kCrossings, kAntiphase };

// Full: seven buttons, phase switch, crests of A drawn before those of B.
// Six: sources always in phase, crests of A and B drawn in one pass.
enum class Edition { Full, Six };

struct CountingLoop;

// The values a frame derives from the wavelength λ and the distance d (in
// length units of 500 twips, after the zero rule), computed once a frame:
//   xB  = 4000 + 500·d                  x of source B (A is at 4000, 4000)
//   xM  = 4000 + 250·d                  midpoint, centre of the line families
//   h   = single(−250·λ)                step between fronts, half a wavelength
//   w   = single(−500·λ)                step between crests, a wavelength
//   oB  = single(250·λ·Antiphase)       B's outermost crest inside the front
//   oT  = single(250·λ)                 A's outermost trough inside the front
//   oBT = single(250·λ·(1 − Antiphase)) B's outermost trough inside the front
// single(…) rounds once to single precision; with Antiphase 0 the offsets
// oB (and with 1, oBT) are 0 outright, even for an infinite λ.
struct FrameValues {
  FrameValues(float wavelength, double separation, std::int16_t antiphase);
  double lambda, d, xB, xM, h, w, oB, oT, oBT;
};

// What a frame shows, told in numbers: for a screen reader.
struct PictureSummary {
  float wavelength = 0;  // 0 before the first frame
  double separation = 0;
  bool antiphase = false;
  bool antinodal = false, nodal = false, crossings = false;
  WaterView water = WaterView::kNone;
  // The members each family draws, as path differences in wavelengths:
  // 0 is the central line, every other value a pair of lines at ±value.
  std::vector<double> antinodalMembers, nodalMembers;
  // Crossing dots whose centres lie in the area asked about.
  std::int64_t crestDots = 0, troughDots = 0;
};

// The state of the picture and the operations that change it. Every
// operation but InitScene ends with a complete frame drawn on the canvas.
//
// A frame (StepFrame): clear; read λ and d from the boxes; lay the water
// when a view of it is on (as of the front after this frame's advance);
// draw the line
// families that are on; advance the front by 100 twips; draw both sources'
// fronts every half wavelength from the front inwards (A's then B's at each
// radius), A's crests, B's crests, the two source marks; mark where crests
// meet and where troughs meet; move label B to 100 twips left of source B.
// Where the canvas tells what it shows, shapes that cannot be seen are left
// out; the calls that remain are the same calls in the same order.
class WaveScene {
 public:
  WaveScene(Edition edition, Canvas& canvas, FormControls& form);

  std::int64_t FrontRadius = 0;
  std::int16_t ShowAntinodal = 0, ShowNodal = 0, ShowCrossings = 0,
               Antiphase = 0;
  double Separation = 0;
  float Wavelength = 0;
  // The water under the construction: none, its surface or its amplitude,
  // laid by the frame first, after the clear.
  WaterView Water = WaterView::kNone;

  void InitScene();
  void StepFrame();
  void RedrawFrame();
  void ToggleAntinodal();
  void ToggleNodal();
  void ToggleCrossings();
  // Has no effect in the six-button edition, whose sources stay in phase.
  void TogglePhase();
  void ResetScene();
  // Sets a switch without drawing, as a prepared set-up does before the
  // first frame; the phase stays 0 in the six-button edition.
  void SetSwitch(SceneSwitch which, bool on);
  bool SwitchOn(SceneSwitch which) const;
  // Shows the water so from the same instant on (the frame drawn again).
  void ShowWater(WaterView view);

  Edition edition() const { return edition_; }

  // The members a line family (kAntinodal or kNodal) of the last frame
  // drew, as PictureSummary lists them; none while it is off.
  std::vector<double> LineMembers(SceneSwitch family) const;

  // The picture the last frame drew, with the dots counted whose centres
  // lie in `area` (twips). Draws nothing and changes nothing.
  PictureSummary Summarize(const VisibleArea& area) const;

 private:
  void DrawHyperbolas(const FrameValues& v, double offset, Color color);
  // Runs body(a, A) for each member a family of that offset draws: path
  // difference a wavelengths, half of it A length units.
  template <class Body>
  void ForMembers(double offset, Body body) const;
  std::vector<double> Members(double offset) const;
  void MarkCrossings(const FrameValues& v);
  bool DrawOnlyTheCoveringDot(const FrameValues& v, double markerRadius);
  std::optional<std::pair<double, double>> LastCrossing(double start1,
                                                        double start2,
                                                        double step) const;
  void MarkGroup(const FrameValues& v, double start1, double start2,
                 double markerRadius, Color color);
  // Runs body(x, y) for each crossing (x from A, y ≥ 0) of A's circles
  // (radii start1, start1 + step, …) with B's (start2, …); with an area,
  // only those whose dots of radius `reach` can touch it.
  template <class Body>
  void ForCrossings(double start1, double start2, double step, double reach,
                    const std::optional<VisibleArea>& area, Body body) const;

  // Canvas calls with double arguments rounded to single precision; a call
  // that would carry a non-finite value is not made.
  void DrawCircle(double x, double y, double radius, Color color);
  void DrawLine(double x1, double y1, double x2, double y2, Color color);

  Edition edition_;
  Canvas& canvas_;
  FormControls& form_;
};

}  // namespace wave
