// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/recording_canvas.h"

namespace wave::testing {

std::ostream& operator<<(std::ostream& out, const Call& call) {
  static const char* const kNames[] = {"Cls",       "Circle",    "Line",
                                       "DrawWidth", "DrawStyle", "FillStyle",
                                       "FillColor", "Shade"};
  out << kNames[static_cast<int>(call.op)] << "(" << call.a << ", " << call.b
      << ", " << call.c << ", " << call.d << "; 0x" << std::hex << call.color
      << std::dec << ") width " << call.drawWidth << " fill " << call.fillStyle;
  return out;
}

Call RecordingCanvas::Stamp(Op op) const {
  Call call{op};
  call.drawWidth = drawWidth_;
  call.drawStyle = drawStyle_;
  call.fillStyle = fillStyle_;
  call.fillColor = fillColor_;
  return call;
}

void RecordingCanvas::Cls() { calls.push_back(Stamp(Op::Cls)); }

void RecordingCanvas::Shade(const WaterShade& water) {
  Call call = Stamp(Op::Shade);
  call.a = static_cast<float>(water.bx);
  call.b = static_cast<float>(water.front);
  call.c = static_cast<float>(water.wavelength);
  call.color = static_cast<Color>(water.view);
  call.water = water;
  calls.push_back(call);
}

void RecordingCanvas::Circle(float x, float y, float radius, Color color) {
  Call call = Stamp(Op::Circle);
  call.a = x;
  call.b = y;
  call.c = radius;
  call.color = color;
  calls.push_back(call);
}

void RecordingCanvas::Line(float x1, float y1, float x2, float y2,
                           Color color) {
  Call call = Stamp(Op::Line);
  call.a = x1;
  call.b = y1;
  call.c = x2;
  call.d = y2;
  call.color = color;
  calls.push_back(call);
}

void RecordingCanvas::SetDrawWidth(int pixels) {
  drawWidth_ = pixels;
  Call call = Stamp(Op::DrawWidth);
  call.color = static_cast<Color>(pixels);
  calls.push_back(call);
}

void RecordingCanvas::SetDrawStyle(int style) {
  drawStyle_ = style;
  Call call = Stamp(Op::DrawStyle);
  call.color = static_cast<Color>(style);
  calls.push_back(call);
}

void RecordingCanvas::SetFillStyle(int style) {
  fillStyle_ = style;
  Call call = Stamp(Op::FillStyle);
  call.color = static_cast<Color>(style);
  calls.push_back(call);
}

void RecordingCanvas::SetFillColor(Color color) {
  fillColor_ = color;
  Call call = Stamp(Op::FillColor);
  call.color = color;
  calls.push_back(call);
}

std::vector<Call> RecordingCanvas::Only(Op op) const {
  std::vector<Call> out;
  for (const Call& call : calls) {
    if (call.op == op) out.push_back(call);
  }
  return out;
}

std::vector<Call> RecordingCanvas::CirclesIn(Color color) const {
  std::vector<Call> out;
  for (const Call& call : calls) {
    if (call.op == Op::Circle && call.color == color) out.push_back(call);
  }
  return out;
}

}  // namespace wave::testing
