// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/literal_frame.h"

#include <cmath>

#include "canvas/text_to_number.h"

namespace wave::testing {
namespace {

// for c = start to end step s, the counter a running sum.
template <class Body>
void For(double start, double end, double step, Body body) {
  for (double c = start; step < 0 ? c >= end : c <= end; c += step) body(c);
}

void Hyperbolas(const WaveScene& s, Canvas& canvas, double p, Color c) {
  const double lambda = s.Wavelength;
  const double d = s.Separation;
  const double xM = 4000 + 250 * d;
  const double end = d / lambda;
  for (double a = p; a <= end; a += 1) {
    const double A = a * lambda / 2;
    const double A2 = A * A;
    const double B = std::sqrt(d * d / 4 - A2);
    double xp = A, yp = 0;
    for (double x = A; x <= 9; x += 0.05) {
      const double y = (B / A) * std::sqrt(x * x - A2);
      canvas.SetDrawWidth(2);
      canvas.Line(float(xM + 500 * xp), float(4000 - 500 * yp),
                  float(xM + 500 * x), float(4000 - 500 * y), c);
      canvas.Line(float(xM + 500 * xp), float(4000 + 500 * yp),
                  float(xM + 500 * x), float(4000 + 500 * y), c);
      canvas.Line(float(xM - 500 * xp), float(4000 - 500 * yp),
                  float(xM - 500 * x), float(4000 - 500 * y), c);
      canvas.Line(float(xM - 500 * xp), float(4000 + 500 * yp),
                  float(xM - 500 * x), float(4000 + 500 * y), c);
      xp = x;
      yp = y;
    }
  }
  canvas.SetDrawWidth(4);
  if (p == 1) canvas.Line(float(xM), 0, float(xM), 15000, c);
}

void Pairs(const WaveScene& s, Canvas& canvas, double s1, double s2, double w,
           double R, Color color) {
  const double d = s.Separation;
  For(s1, 0, w, [&](double r1) {
    For(s2, 0, w, [&](double r2) {
      const double x = (r1 * r1 - r2 * r2 + 250000 * (d * d)) / 1000 / d;
      if (r1 * r1 < x * x) return;
      const double y = std::sqrt(r1 * r1 - x * x);
      canvas.SetFillColor(color);
      canvas.SetFillStyle(0);
      canvas.Circle(float(4000 + x), float(4000 + y), float(R), color);
      canvas.Circle(float(4000 + x), float(4000 - y), float(R), color);
    });
  });
}

}  // namespace

void LiteralStepFrame(WaveScene& s, Canvas& canvas, FormControls& form) {
  const bool six = s.edition() == Edition::Six;
  canvas.Cls();
  canvas.SetDrawWidth(4);
  canvas.SetDrawStyle(2);
  s.Wavelength = float(TextToNumber(form.Text1()));
  s.Separation = TextToNumber(form.Text2());
  if (s.Wavelength == 0) s.Wavelength = 0.1f;
  if (s.Separation == 0) s.Separation = 0.1;
  const double lambda = s.Wavelength;
  const double d = s.Separation;
  const int ph = six ? 0 : s.Antiphase;
  if (ph == 0 && s.ShowAntinodal == 1) Hyperbolas(s, canvas, 1, 0x00B4B4);
  if (ph == 1 && s.ShowAntinodal == 1) Hyperbolas(s, canvas, 0.5, 0x00B4B4);
  if (ph == 0 && s.ShowNodal == 1) Hyperbolas(s, canvas, 0.5, 0x202020);
  if (ph == 1 && s.ShowNodal == 1) Hyperbolas(s, canvas, 1, 0x202020);
  s.FrontRadius += 100;
  const double front = double(s.FrontRadius);
  const double xB = 4000 + 500 * d;
  const double h = float(-250 * lambda);
  const double w = float(-500 * lambda);
  const double oB = float(250 * lambda * ph);
  const double oT = float(250 * lambda);
  const double oBT = float(250 * lambda * (1 - ph));
  canvas.SetFillStyle(1);
  For(front, 0, h, [&](double r) {
    canvas.Circle(4000, 4000, float(r), 0xFFFF00);
    canvas.Circle(float(xB), 4000, float(r), 0xFF20FF);
  });
  if (six) {
    For(front, 0, w, [&](double r) {
      canvas.Circle(4000, 4000, float(r), 0xFF0000);
      canvas.Circle(float(xB), 4000, float(r), 0x0000FF);
    });
  } else {
    For(front, 0, w,
        [&](double r) { canvas.Circle(4000, 4000, float(r), 0xFF0000); });
    For(front - oB, 0, w,
        [&](double r) { canvas.Circle(float(xB), 4000, float(r), 0x0000FF); });
  }
  canvas.Circle(4000, 4000, 20, 0);
  canvas.Circle(float(xB), 4000, 20, 0);
  if (s.ShowCrossings == 1) {
    const double R = TextToNumber(form.Text3());
    Pairs(s, canvas, front, front - oB, w, R, 0x00FF00);
    Pairs(s, canvas, front - oT, front - oBT, w, R, 0x005000);
  }
  form.SetLabel5Left(float(3900 + 500 * d));
}

}  // namespace wave::testing
