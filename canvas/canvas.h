// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

namespace wave {

struct WaterShade;

// A colour laid out as 0x00BBGGRR.
using Color = std::uint32_t;

constexpr Color RGB(int r, int g, int b) {
  return static_cast<Color>(r) + 256u * static_cast<Color>(g) +
         65536u * static_cast<Color>(b);
}

constexpr int RedOf(Color c) { return static_cast<int>(c & 0xFFu); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xFFu); }
constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 0xFFu); }

// Pen styles. A broken style shows only on a one-pixel pen; wider pens
// draw solid. kInsideSolid draws as kSolid.
enum DrawStyleValue : int {
  kSolid = 0,
  kDashed = 1,
  kDotted = 2,
  kDashDot = 3,
  kDashDotDot = 4,
  kInvisible = 5,
  kInsideSolid = 6
};
enum FillStyleValue : int { kFillSolid = 0, kFillHollow = 1 };

// A rectangle in twips outside which nothing drawn can be seen, already
// widened by the widest pen the frame uses.
struct VisibleArea {
  double left = 0, top = 0, right = 0, bottom = 0;
};

// An immediate-mode surface in twips (x right, y down). Pen width is in
// pixels; the four drawing properties stay set between calls.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void Cls() = 0;
  virtual void Circle(float x, float y, float radius, Color color) = 0;
  virtual void Line(float x1, float y1, float x2, float y2, Color color) = 0;
  virtual void SetDrawWidth(int pixels) = 0;
  virtual void SetDrawStyle(int style) = 0;
  virtual void SetFillStyle(int style) = 0;
  virtual void SetFillColor(Color color) = 0;
  // Covers the whole picture with the water of two sources (canvas/water.h),
  // as a clear would, for the shapes that follow to lie on.
  virtual void Shade(const WaterShade& water) = 0;

  // Where drawing can be seen. A caller may leave out shapes that lie wholly
  // outside, shapes that later opaque ones cover, and circles of negative
  // radius, which show nothing; no area (the default) means everything may
  // be seen, and then every call is made.
  virtual std::optional<VisibleArea> Visible() const { return std::nullopt; }
};

}  // namespace wave
