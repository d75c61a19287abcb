// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "raster/pixels/water_field.h"

// The water's loop, written once over a lane type L (a float, or four or
// eight of them) and compiled in each instruction set's file. L gives
// F (floats), M (masks) and these, each one IEEE operation per lane, so
// that every width gives the same bits: Set, Add, Sub, Mul, Sqrt, Abs,
// Le, Lt, Gt, Select(m, a, b), Trunc (to integer and back, for |x| < 2²²),
// Columns(x) (the centres of pixels x, x + 1, …), Store and kWidth.
namespace wave::lanes {
// Each file has its own copies: one compiled for AVX2 must never serve
// another's call.
namespace {

// cos 2πt for any float t: folded into a quarter turn, where an even
// polynomial of degree 8 is within 3·10⁻⁵ (a thousandth of a level).
template <class L>
typename L::F CosTurns(typename L::F t) {
  using F = typename L::F;
  const F zero = L::Set(0.f), half = L::Set(0.5f), one = L::Set(1.f);
  // Beyond 2²² a float holds no fraction of a turn.
  t = L::Select(L::Lt(L::Abs(t), L::Set(4194304.f)), t, zero);
  F u = L::Sub(t, L::Trunc(t));
  u = L::Select(L::Gt(u, half), L::Sub(u, one), u);
  u = L::Select(L::Lt(u, L::Set(-0.5f)), L::Add(u, one), u);
  const F a = L::Abs(u);
  const auto far = L::Gt(a, L::Set(0.25f));
  const F v = L::Select(far, L::Sub(half, a), a);
  const F w = L::Mul(v, v);
  F p = L::Set(60.2446397f);  // (2π)⁸/8!
  p = L::Add(L::Mul(p, w), L::Set(-85.4568172f));
  p = L::Add(L::Mul(p, w), L::Set(64.9393940f));
  p = L::Add(L::Mul(p, w), L::Set(-19.7392088f));
  p = L::Add(L::Mul(p, w), one);
  return L::Select(far, L::Sub(zero, p), p);
}

// One float at a time: the reference, and every row's last pixels.
struct Plain {
  using F = float;
  using M = bool;
  static constexpr int kWidth = 1;
  static void Store(float* to, F v) { *to = v; }
  static F Set(float v) { return v; }
  static F Add(F a, F b) { return a + b; }
  static F Sub(F a, F b) { return a - b; }
  static F Mul(F a, F b) { return a * b; }
  static F Sqrt(F a) { return std::sqrt(a); }
  static F Abs(F a) { return std::fabs(a); }
  static M Le(F a, F b) { return a <= b; }
  static M Lt(F a, F b) { return a < b; }
  static M Gt(F a, F b) { return a > b; }
  static F Select(M m, F a, F b) { return m ? a : b; }
  static F Trunc(F a) {
    return static_cast<float>(static_cast<std::int32_t>(a));
  }
  static F Columns(int x) { return static_cast<float>(x) + 0.5f; }
};

// What is constant along a row: the squared distance of its centres from
// each source's row.
struct WaterRow {
  float dyA2, dyB2;
};
inline WaterRow RowOf(const WaterField& f, int y) {
  const float cy = static_cast<float>(y) + 0.5f;
  const float dyA = cy - f.ay, dyB = cy - f.by;
  return {dyA * dyA, dyB * dyB};
}

template <class L>
void DistancesAt(const WaterField& f, const WaterRow& row, int x,
                 typename L::F& rA, typename L::F& rB) {
  using F = typename L::F;
  const F cx = L::Columns(x);
  const F dxA = L::Sub(cx, L::Set(f.ax)), dxB = L::Sub(cx, L::Set(f.bx));
  rA = L::Sqrt(L::Add(L::Mul(dxA, dxA), L::Set(row.dyA2)));
  rB = L::Sqrt(L::Add(L::Mul(dxB, dxB), L::Set(row.dyB2)));
}

// 127·v rounded half away from zero, as a float.
template <class L>
typename L::F Byte(typename L::F v) {
  const typename L::F scaled = L::Mul(v, L::Set(127.f));
  return L::Trunc(L::Add(scaled, L::Select(L::Le(L::Set(0.f), scaled),
                                           L::Set(0.5f), L::Set(-0.5f))));
}

// One source's kept pair for the pixels from x on: θ's cosine and sine, as
// bytes (in floats). The same operations as DistancesAt's for that source.
template <class L>
void PairAt(const WaterField& f, const WaterRow& row, bool b, int x,
            typename L::F out[kPairBytes]) {
  using F = typename L::F;
  const F dx = L::Sub(L::Columns(x), L::Set(b ? f.bx : f.ax));
  const F r = L::Sqrt(L::Add(L::Mul(dx, dx), L::Set(b ? row.dyB2 : row.dyA2)));
  const F t = L::Mul(r, L::Set(f.turnsPerPixel));
  out[0] = Byte<L>(CosTurns<L>(t));
  out[1] = Byte<L>(CosTurns<L>(L::Sub(t, L::Set(0.25f))));
}

// The amplitude's levels from x on where both waves have arrived:
// 2|cos 2π((rA − rB)·turnsPerPixel/2 + ¼·antiphase)|, as 0..255 in floats.
template <class L>
typename L::F AmplitudeAt(const WaterField& f, const WaterRow& row, int x) {
  using F = typename L::F;
  F rA, rB;
  DistancesAt<L>(f, row, x, rA, rB);
  const F half = L::Set(f.turnsPerPixel * 0.5f);
  const F c = L::Abs(CosTurns<L>(
      L::Add(L::Mul(L::Sub(rA, rB), half), L::Set(f.antiphase ? 0.25f : 0.f))));
  const F level =
      L::Trunc(L::Add(L::Mul(L::Add(c, c), L::Set(127.5f)), L::Set(0.5f)));
  return L::Select(L::Le(level, L::Set(255.f)), level, L::Set(255.f));
}

// One source's pairs of row y, pixels [x0, x0 + count), by any lanes:
// whole groups of L's width, the rest one by one.
template <class L>
void PhaseRowWith(const WaterField& f, bool b, int y, int x0, int count,
                  std::int8_t* out) {
  const WaterRow row = RowOf(f, y);
  int i = 0;
  for (; i + L::kWidth <= count; i += L::kWidth) {
    typename L::F bytes[kPairBytes];
    PairAt<L>(f, row, b, x0 + i, bytes);
    float lanes[kPairBytes][L::kWidth];
    for (int k = 0; k < kPairBytes; ++k) L::Store(lanes[k], bytes[k]);
    for (int j = 0; j < L::kWidth; ++j) {
      for (int k = 0; k < kPairBytes; ++k) {
        out[(i + j) * kPairBytes + k] = static_cast<std::int8_t>(lanes[k][j]);
      }
    }
  }
  for (; i < count; ++i) {
    float bytes[kPairBytes];
    PairAt<Plain>(f, row, b, x0 + i, bytes);
    for (int k = 0; k < kPairBytes; ++k) {
      out[i * kPairBytes + k] = static_cast<std::int8_t>(bytes[k]);
    }
  }
}

template <class L>
void AmplitudeRowWith(const WaterField& f, int y, int width,
                      std::uint8_t* out) {
  const WaterRow row = RowOf(f, y);
  int x = 0;
  for (; x + L::kWidth <= width; x += L::kWidth) {
    float levels[L::kWidth];
    L::Store(levels, AmplitudeAt<L>(f, row, x));
    for (int i = 0; i < L::kWidth; ++i) {
      out[x + i] = static_cast<std::uint8_t>(levels[i]);
    }
  }
  for (; x < width; ++x) {
    out[x] = static_cast<std::uint8_t>(AmplitudeAt<Plain>(f, row, x));
  }
}

}  // namespace
}  // namespace wave::lanes
